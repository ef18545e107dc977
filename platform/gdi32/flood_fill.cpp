// ExtFloodFill: finds the 4-connected region around the seed first, then paints it with the brush.
// Finding works span by span through a list of the spans found, so a region of any shape and size needs no
// recursion; because nothing is painted until the region is known, a brush whose pattern contains the
// border colour cannot change the region.
//
// A span is a maximal run of inside pixels of one row, so two spans never overlap and a pixel lies in a
// known span exactly when the whole run around it was already found. What the finder remembers is
// therefore the spans themselves, per row, sorted: its memory and its work grow with the region, not
// with the canvas, and a pixel inside a known span is never looked at again.
#include <algorithm>
#include <vector>

#include "platform/gdi32/spans.h"

using namespace platform;
using namespace platform::gdi;

namespace {


struct Span {
  int y, x0, x1;  // columns [x0, x1)
};

struct Run {
  int x0, x1;
};

class RegionFinder {
 public:
  RegionFinder(const Canvas& canvas, COLORREF color, UINT type)
      : canvas_(canvas), color_(color & 0x00FFFFFFu), surface_(type == FLOODFILLSURFACE) {}

  // Whether the pixel belongs to a region: not the border colour, or exactly the surface colour.
  bool Inside(uint32_t pixel) const { return ((pixel & 0x00FFFFFFu) == color_) == surface_; }
  bool Inside(int x, int y) const { return Inside(canvas_.Row(y)[x]); }

  // The spans of the region around the seed, which must be inside.
  std::vector<Span> Find(int seedX, int seedY) {
    seedY_ = seedY;
    AddSpan(seedY, seedX, RowRuns(seedY).begin());
    // Every span found is visited once, in the order found, to look for its neighbours.
    for (size_t i = 0; i < spans_.size(); ++i) {
      const Span span = spans_[i];
      if (span.y > 0) Scan(span.y - 1, span.x0, span.x1);
      if (span.y + 1 < canvas_.height) Scan(span.y + 1, span.x0, span.x1);
    }
    return std::move(spans_);
  }

 private:
  // The runs found so far in row y, sorted by column. Rows are kept outwards from the seed row, as far
  // as the region has reached.
  std::vector<Run>& RowRuns(int y) {
    std::vector<std::vector<Run>>& side = y >= seedY_ ? below_ : above_;
    const size_t index = static_cast<size_t>(y >= seedY_ ? y - seedY_ : seedY_ - 1 - y);
    if (index >= side.size()) side.resize(index + 1);
    return side[index];
  }

  // Records the span of row y through the inside pixel x, which no known run holds; `at` is where it
  // goes in the row's sorted runs. Returns the position after it.
  std::vector<Run>::iterator AddSpan(int y, int x, std::vector<Run>::iterator at) {
    const uint32_t* row = canvas_.Row(y);
    int x0 = x;
    int x1 = x + 1;
    while (x0 > 0 && Inside(row[x0 - 1])) --x0;
    while (x1 < canvas_.width && Inside(row[x1])) ++x1;
    spans_.push_back({y, x0, x1});
    return std::next(RowRuns(y).insert(at, {x0, x1}));
  }

  // Finds the spans of row y that touch columns [x0, x1) and are not known yet.
  void Scan(int y, int x0, int x1) {
    const uint32_t* row = canvas_.Row(y);
    std::vector<Run>* runs = &RowRuns(y);
    auto next = std::partition_point(runs->begin(), runs->end(), [x0](const Run& r) { return r.x1 <= x0; });
    int x = x0;
    while (x < x1) {
      if (next != runs->end() && next->x0 <= x) {
        x = next->x1;  // the whole run is known
        ++next;
      } else if (!Inside(row[x])) {
        ++x;
      } else {
        next = AddSpan(y, x, next);
        x = std::prev(next)->x1;
      }
    }
  }

  Canvas canvas_;
  uint32_t color_;
  bool surface_;
  int seedY_ = 0;
  std::vector<std::vector<Run>> below_;  // rows seedY_, seedY_ + 1, ...
  std::vector<std::vector<Run>> above_;  // rows seedY_ - 1, seedY_ - 2, ...
  std::vector<Span> spans_;  // in the order found
};

}  // namespace

BOOL ExtFloodFill(HDC hdc, int x, int y, COLORREF color, UINT type) {
  GdiGuard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  if (dc == nullptr || (type != FLOODFILLBORDER && type != FLOODFILLSURFACE)) return FALSE;
  Canvas canvas = CanvasOf(*dc);
  if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return FALSE;
  RegionFinder finder(canvas, color, type);
  if (!finder.Inside(x, y)) return FALSE;
  std::vector<Span> region = finder.Find(x, y);
  Brush* brush = FindBrush(dc->brush);
  if (brush != nullptr) {
    const BrushPaint paint = PaintIn(*dc, *brush);
    for (const Span& span : region) BrushSpan(canvas, span.x0, span.x1, span.y, paint, kRopPatCopy);
  }
  NotifyChanged(*dc);
  return TRUE;
}
