// The outline of a wide pen: bands, discs and their union, row by row.
//
// The pieces follow Windows' own construction, pixel for pixel:
// - a horizontal segment from x0 to x1 on row y covers [min, max) x [y - w/2, y - w/2 + w), a vertical
//   one likewise across; the end points' columns (or rows) are left to the discs;
// - any other segment is the quadrilateral whose two sides run along the line at w/2 on either side,
//   rounded to whole pixels, filled as a polygon region is: on each row, from the first pixel at or
//   right of the left edge up to, not including, the first pixel at or right of the right edge;
// - a disc is the elliptic region w pixels square around its centre (for w = 7 its rows hold 3, 5, 7,
//   7, 7, 5 and 3 pixels).
#include "platform/gdi32/wide_pen.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/gdi32/spans.h"

namespace platform::gdi {
namespace {

using Wide = __int128;

// ceil(n / d) for d > 0.
int64_t CeilDiv(Wide n, Wide d) {
  Wide q = n / d;
  if (n % d != 0 && n > 0) ++q;
  return static_cast<int64_t>(q);
}

// A non-negative length rounded to the nearest pixel, a half going up.
int64_t RoundLength(double f) { return static_cast<int64_t>(f + 0.5); }

// The rows of a w x w elliptic region: for each row, top first, how many pixels it leaves out at each
// side. The error-term walk of the midpoint ellipse runs from the middle row down to the bottom one, one
// column or one row a step; the upper half mirrors the lower.
std::vector<int> DiscInsets(int w) {
  std::vector<int> inset(static_cast<size_t>(w), 0);
  const int64_t a = w - 1;
  const Wide growth = 8 * Wide{a} * a;  // how much each increment grows a step
  Wide acrossStep = 4 * Wide{a} * a * (1 - a);
  Wide downStep = 4 * Wide{a} * a * (1 + a % 2);
  Wide err = acrossStep + downStep + Wide{a} * a * (a % 2);
  int x = 0;
  int y = w / 2;
  while (x <= w / 2) {
    const Wide doubled = 2 * err;
    if (doubled >= acrossStep) {
      ++x;
      acrossStep += growth;
      err += acrossStep;
    }
    if (doubled <= downStep) {
      ++y;
      downStep += growth;
      err += downStep;
      if (y < w) inset[static_cast<size_t>(y)] = x;
    }
  }
  for (int i = 0; i < w / 2; ++i) inset[static_cast<size_t>(i)] = inset[static_cast<size_t>(w - 1 - i)];
  return inset;
}

}  // namespace

WideOutline::WideOutline(int width) : width_(std::min(width, kMaxPenWidth)), discInset_(DiscInsets(width_)) {}

void WideOutline::AddSegment(int64_t ax, int64_t ay, int64_t bx, int64_t by) {
  const int64_t dx = bx - ax;
  const int64_t dy = by - ay;
  const int64_t half = width_ / 2;
  if (dx == 0 && dy == 0) return;
  if (dy == 0) {
    bands_.push_back(Band{true, {{std::min(ax, bx), ay - half}, {std::max(ax, bx), ay - half + width_}, {}, {}}});
    return;
  }
  if (dx == 0) {
    bands_.push_back(Band{true, {{ax - half, std::min(ay, by)}, {ax - half + width_, std::max(ay, by)}, {}, {}}});
    return;
  }
  // How far the band reaches across the line, along each axis: one side gets the rounded half, the other
  // the rounded half of one pixel more, so that the two together make the width.
  const double length = std::hypot(static_cast<double>(dx), static_cast<double>(dy));
  const double acrossX = width_ * std::fabs(static_cast<double>(dy)) / length;
  const double acrossY = width_ * std::fabs(static_cast<double>(dx)) / length;
  Point narrow{RoundLength(acrossX / 2), RoundLength(acrossY / 2)};
  Point broad{RoundLength((acrossX + 1) / 2), RoundLength((acrossY + 1) / 2)};
  if (dx < 0) {
    narrow.y = -narrow.y;
    broad.y = -broad.y;
  }
  if (dy < 0) {
    std::swap(narrow, broad);
    narrow.x = -narrow.x;
    broad.x = -broad.x;
  }
  bands_.push_back(Band{false,
                        {{ax - narrow.x, ay + narrow.y},
                         {ax + broad.x, ay - broad.y},
                         {bx + broad.x, by - broad.y},
                         {bx - narrow.x, by + narrow.y}}});
}

void WideOutline::AddDisc(int64_t x, int64_t y) { discs_.push_back(Point{x, y}); }

void WideOutline::BandRow(const Band& band, int64_t y, std::vector<Interval>& out) const {
  if (band.box) {
    if (y >= band.corner[0].y && y < band.corner[1].y) out.push_back({band.corner[0].x, band.corner[1].x});
    return;
  }
  // Each edge that is not horizontal crosses the rows [upper y, lower y); sorted, the crossings pair up
  // into the spans inside.
  int64_t crossing[4];
  int count = 0;
  for (int i = 0; i < 4; ++i) {
    Point upper = band.corner[i];
    Point lower = band.corner[(i + 1) % 4];
    if (upper.y == lower.y) continue;
    if (upper.y > lower.y) std::swap(upper, lower);
    if (y < upper.y || y >= lower.y) continue;
    crossing[count++] = upper.x + CeilDiv(Wide{y - upper.y} * (lower.x - upper.x), lower.y - upper.y);
  }
  for (int i = 1; i < count; ++i) {  // at most four: an insertion sort
    for (int j = i; j > 0 && crossing[j - 1] > crossing[j]; --j) std::swap(crossing[j - 1], crossing[j]);
  }
  for (int i = 0; i + 1 < count; i += 2) out.push_back({crossing[i], crossing[i + 1]});
}

void WideOutline::DiscRow(const Point& centre, int64_t y, std::vector<Interval>& out) const {
  const int64_t row = y - (centre.y - width_ / 2);
  if (row < 0 || row >= width_) return;
  const int64_t left = centre.x - width_ / 2;
  const int inset = discInset_[static_cast<size_t>(row)];
  out.push_back({left + inset, left + width_ - inset});
}

void WideOutline::Paint(const Canvas& canvas, uint32_t color) const {
  if (canvas.bits == nullptr) return;
  int64_t top = std::numeric_limits<int64_t>::max();
  int64_t bottom = std::numeric_limits<int64_t>::min();
  for (const Band& band : bands_) {
    const int corners = band.box ? 2 : 4;
    for (int i = 0; i < corners; ++i) {
      top = std::min(top, band.corner[i].y);
      bottom = std::max(bottom, band.corner[i].y);
    }
  }
  for (const Point& centre : discs_) {
    top = std::min(top, centre.y - width_ / 2);
    bottom = std::max(bottom, centre.y - width_ / 2 + width_);
  }
  const Box rows = canvas.Clip(0, top, canvas.width, bottom);
  std::vector<Interval> spans;
  for (int y = rows.y0; y < rows.y1; ++y) {
    spans.clear();
    for (const Band& band : bands_) BandRow(band, y, spans);
    for (const Point& centre : discs_) DiscRow(centre, y, spans);
    std::sort(spans.begin(), spans.end(), [](const Interval& p, const Interval& q) { return p.x0 < q.x0; });
    // Overlapping and touching spans merge into runs, so every pixel is painted once.
    auto paintRun = [&](int64_t x0, int64_t x1) {
      const Box run = canvas.Clip(x0, y, x1, y + 1);
      if (!run.Empty()) SolidSpan(canvas.Row(y) + run.x0, run.x1 - run.x0, color);
    };
    for (size_t i = 0; i < spans.size();) {
      const int64_t x0 = spans[i].x0;
      int64_t x1 = spans[i].x1;
      for (++i; i < spans.size() && spans[i].x0 <= x1; ++i) x1 = std::max(x1, spans[i].x1);
      paintRun(x0, x1);
    }
  }
}

}  // namespace platform::gdi
