// Rectangle: the outline with the pen, the interior with the brush.
#include <algorithm>

#include "platform/gdi32/spans.h"
#include "platform/gdi32/wide_pen.h"

using namespace platform;
using namespace platform::gdi;

namespace {


// Paints [x0, x1) x [y0, y1), clipped to the canvas, with the brush (PATCOPY).
void FillBox(const Canvas& canvas, int64_t x0, int64_t y0, int64_t x1, int64_t y1, const BrushPaint& paint) {
  const Box box = canvas.Clip(x0, y0, x1, y1);
  if (box.Empty()) return;
  for (int y = box.y0; y < box.y1; ++y) BrushSpan(canvas, box.x0, box.x1, y, paint, kRopPatCopy);
}

// The figure covers [l, r - 1] x [t, b - 1]: a 1-pixel outline is the closed path through those corners.
void ThinRectangle(const Canvas& canvas, int64_t l, int64_t t, int64_t r, int64_t b, const Pen* pen,
                   const BrushPaint* interior) {
  const bool outlined = pen != nullptr && pen->style != PS_NULL;
  if (interior != nullptr) {
    // Without an outline the interior takes its place, except on the right and bottom edges.
    if (outlined) {
      FillBox(canvas, l + 1, t + 1, r - 1, b - 1, *interior);
    } else {
      FillBox(canvas, l, t, r - 1, b - 1, *interior);
    }
  }
  if (outlined) {
    Brush ink;
    ink.color = pen->color;
    const BrushPaint paint{ink, POINT{0, 0}, 0, 0};
    FillBox(canvas, l, t, r, t + 1, paint);
    FillBox(canvas, l, b - 1, r, b, paint);
    FillBox(canvas, l, t, l + 1, b, paint);
    FillBox(canvas, r - 1, t, r, b, paint);
  }
}

// A wide pen runs along the same closed path, centred on it, with a round disc at each corner, and
// covers the interior's edge: the brush shows where the pen's outline leaves [l, r - 1) x [t, b - 1). A
// 1 x 1 rectangle is a single disc.
void WideRectangle(const Canvas& canvas, int64_t l, int64_t t, int64_t r, int64_t b, const Pen& pen,
                   const BrushPaint* interior) {
  if (interior != nullptr) FillBox(canvas, l, t, r - 1, b - 1, *interior);
  const int64_t xs[4] = {r - 1, l, l, r - 1};
  const int64_t ys[4] = {t, t, b - 1, b - 1};
  WideOutline outline(pen.width);
  for (int i = 0; i < 4; ++i) {
    outline.AddSegment(xs[i], ys[i], xs[(i + 1) % 4], ys[(i + 1) % 4]);
    outline.AddDisc(xs[i], ys[i]);
  }
  outline.Paint(canvas, pen.color);
}

}  // namespace

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  GdiGuard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  if (dc == nullptr) return FALSE;
  int64_t l = std::min(left, right), r = std::max(left, right);
  int64_t t = std::min(top, bottom), b = std::max(top, bottom);
  Canvas canvas = CanvasOf(*dc);
  if (canvas.bits == nullptr || r - l < 1 || b - t < 1) return TRUE;
  Pen* pen = FindPen(dc->pen);
  const bool wide = pen != nullptr && IsWidePen(*pen);
  // Without a wide pen a 1 x 1 rectangle draws nothing: every side of its outline has length zero.
  if (!wide && r - l == 1 && b - t == 1) return TRUE;
  Brush* brush = FindBrush(dc->brush);
  const Brush noBrush;
  const BrushPaint paint = PaintIn(*dc, brush != nullptr ? *brush : noBrush);
  const BrushPaint* interior = brush != nullptr ? &paint : nullptr;
  if (wide) {
    WideRectangle(canvas, l, t, r, b, *pen, interior);
  } else {
    ThinRectangle(canvas, l, t, r, b, pen, interior);
  }
  NotifyChanged(*dc);
  return TRUE;
}
