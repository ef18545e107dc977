// ExtFloodFill: finds the 4-connected region around the seed first, then paints it with the brush.
// Finding works span by span with an explicit stack, so a region of any shape and size needs no
// recursion; because nothing is painted until the region is known, a brush whose pattern contains the
// border colour cannot change the region.
#include <vector>

#include "platform/gdi32/spans.h"

using namespace platform;
using namespace platform::gdi;

namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

struct Span {
  int y, x0, x1;  // columns [x0, x1)
};

class RegionFinder {
 public:
  RegionFinder(const Canvas& canvas, COLORREF color, UINT type)
      : canvas_(canvas), color_(color & 0x00FFFFFFu), surface_(type == FLOODFILLSURFACE),
        visited_(static_cast<size_t>(canvas.width) * static_cast<size_t>(canvas.height), 0) {}

  // Whether the pixel belongs to a region: not the border colour, or exactly the surface colour.
  bool Inside(int x, int y) const { return ((canvas_.Row(y)[x] & 0x00FFFFFFu) == color_) == surface_; }

  std::vector<Span> Find(int seedX, int seedY) {
    std::vector<Span> spans;
    stack_.push_back({seedX, seedY});
    while (!stack_.empty()) {
      Seed seed = stack_.back();
      stack_.pop_back();
      if (Visited(seed.x, seed.y)) continue;
      int x0 = seed.x;
      int x1 = seed.x + 1;
      while (x0 > 0 && Open(x0 - 1, seed.y)) --x0;
      while (x1 < canvas_.width && Open(x1, seed.y)) ++x1;
      uint8_t* mark = VisitedRow(seed.y);
      std::fill(mark + x0, mark + x1, uint8_t{1});
      spans.push_back({seed.y, x0, x1});
      if (seed.y > 0) PushRuns(seed.y - 1, x0, x1);
      if (seed.y + 1 < canvas_.height) PushRuns(seed.y + 1, x0, x1);
    }
    return spans;
  }

 private:
  struct Seed {
    int x, y;
  };

  uint8_t* VisitedRow(int y) { return visited_.data() + static_cast<size_t>(y) * static_cast<size_t>(canvas_.width); }
  bool Visited(int x, int y) { return VisitedRow(y)[x] != 0; }
  bool Open(int x, int y) { return !Visited(x, y) && Inside(x, y); }

  // One seed for each run of open pixels of row y within [x0, x1).
  void PushRuns(int y, int x0, int x1) {
    int x = x0;
    while (x < x1) {
      if (!Open(x, y)) {
        ++x;
        continue;
      }
      stack_.push_back({x, y});
      while (x < x1 && Open(x, y)) ++x;
    }
  }

  Canvas canvas_;
  uint32_t color_;
  bool surface_;
  std::vector<uint8_t> visited_;
  std::vector<Seed> stack_;
};

}  // namespace

BOOL ExtFloodFill(HDC hdc, int x, int y, COLORREF color, UINT type) {
  Guard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  if (dc == nullptr || (type != FLOODFILLBORDER && type != FLOODFILLSURFACE)) return FALSE;
  Canvas canvas = CanvasOf(*dc);
  if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return FALSE;
  RegionFinder finder(canvas, color, type);
  if (!finder.Inside(x, y)) return FALSE;
  std::vector<Span> region = finder.Find(x, y);
  Brush* brush = FindBrush(dc->brush);
  if (brush != nullptr) {
    for (const Span& span : region) BrushSpan(canvas, span.x0, span.x1, span.y, *brush, dc->brushOrigin, kRopPatCopy);
  }
  NotifyChanged(*dc);
  return TRUE;
}
