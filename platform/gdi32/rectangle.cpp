// Rectangle: the outline with the pen, the interior with the brush.
#include <algorithm>

#include "platform/gdi32/spans.h"

using namespace platform;
using namespace platform::gdi;

namespace {


// Paints [x0, x1) x [y0, y1), clipped to the canvas, with the brush (PATCOPY).
void FillBox(const Canvas& canvas, int64_t x0, int64_t y0, int64_t x1, int64_t y1, const Brush& brush, POINT origin) {
  const Box box = canvas.Clip(x0, y0, x1, y1);
  if (box.Empty()) return;
  for (int y = box.y0; y < box.y1; ++y) BrushSpan(canvas, box.x0, box.x1, y, brush, origin, kRopPatCopy);
}

}  // namespace

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  GdiGuard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  if (dc == nullptr) return FALSE;
  int64_t l = std::min(left, right), r = std::max(left, right);
  int64_t t = std::min(top, bottom), b = std::max(top, bottom);
  Canvas canvas = CanvasOf(*dc);
  // The figure covers [l, r - 1] x [t, b - 1]: its outline is the closed path through those corners,
  // which is empty for a 1 x 1 rectangle (every side has length zero).
  if (canvas.bits == nullptr || r - l < 1 || b - t < 1 || (r - l == 1 && b - t == 1)) return TRUE;
  Pen* pen = FindPen(dc->pen);
  Brush* brush = FindBrush(dc->brush);
  const bool outlined = pen != nullptr && pen->style != PS_NULL;
  if (brush != nullptr) {
    // Without an outline the interior takes its place, except on the right and bottom edges.
    if (outlined) {
      FillBox(canvas, l + 1, t + 1, r - 1, b - 1, *brush, dc->brushOrigin);
    } else {
      FillBox(canvas, l, t, r - 1, b - 1, *brush, dc->brushOrigin);
    }
  }
  if (outlined) {
    Brush ink;
    ink.color = pen->color;
    FillBox(canvas, l, t, r, t + 1, ink, POINT{0, 0});
    FillBox(canvas, l, b - 1, r, b, ink, POINT{0, 0});
    FillBox(canvas, l, t, l + 1, b, ink, POINT{0, 0});
    FillBox(canvas, r - 1, t, r, b, ink, POINT{0, 0});
  }
  NotifyChanged(*dc);
  return TRUE;
}
