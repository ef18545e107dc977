// Inside GDI32 only: what a pen wider than one pixel draws. As on Windows, a line is a solid band as wide
// as the pen, and every end and every corner gets a round disc as wide as the pen; the figure is the
// union of those pieces, painted once in the pen's colour.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi32/gdi_objects.h"

namespace platform::gdi {

// Wider pens draw this wide. A disc costs time in proportion to its width; this is twice the side of the
// largest bitmap, so the clamp only shows for a pen that is wider than anything it could be drawn on.
constexpr int kMaxPenWidth = 1 << 17;

// Whether a pen is drawn as an outline of this file rather than as 1-pixel lines.
inline bool IsWidePen(const Pen& pen) { return pen.style != PS_NULL && pen.width > 1; }

class WideOutline {
 public:
  // `width` at least 2; wider than kMaxPenWidth counts as kMaxPenWidth.
  explicit WideOutline(int width);

  // The band of the segment from a to b, without the discs at its ends. A segment of length zero adds
  // nothing.
  void AddSegment(int64_t ax, int64_t ay, int64_t bx, int64_t by);
  // A round end or corner centred on the pixel (x, y).
  void AddDisc(int64_t x, int64_t y);

  // Paints every pixel of the union that lies on the canvas in `color`.
  void Paint(const Canvas& canvas, uint32_t color) const;

 private:
  struct Point {
    int64_t x, y;
  };
  // A segment's band: an axis-aligned box [x0, x1) x [y0, y1), or a quadrilateral filled as a polygon.
  struct Band {
    bool box;
    Point corner[4];  // box: corner[0] = (x0, y0), corner[1] = (x1, y1)
  };
  struct Interval {
    int64_t x0, x1;
  };

  // Adds to `out` the columns of row y that the piece covers.
  void BandRow(const Band& band, int64_t y, std::vector<Interval>& out) const;
  void DiscRow(const Point& centre, int64_t y, std::vector<Interval>& out) const;

  int width_;
  std::vector<int> discInset_;  // per row of a disc, top first: the pixels left out at each side
  std::vector<Band> bands_;
  std::vector<Point> discs_;
};

}  // namespace platform::gdi
