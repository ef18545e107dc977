// Single pixels and lines with the DC's pen.
#include <cstdlib>

#include "platform/gdi32/gdi_objects.h"
#include "platform/gdi32/wide_pen.h"

using namespace platform;
using namespace platform::gdi;

namespace {


// Products of a 33-bit delta and a 33-bit step need more than 64 bits.
using Wide = __int128;

Wide FloorDiv(Wide a, Wide b) {
  Wide q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// num / den rounded to nearest, an exact half going down (den > 0).
int64_t RoundHalfDown(Wide num, Wide den) { return static_cast<int64_t>(-FloorDiv(-(2 * num - den), 2 * den)); }

// Draws the pixels of the line from (x0, y0) towards (x1, y1), leaving out the end point: n = the
// longer of |dx| and |dy| pixels, the step along the longer axis exact, the other coordinate rounded.
// Only the steps whose major coordinate lies on the canvas are visited, so a far-away end point costs
// nothing.
void DrawLine(const Canvas& canvas, int x0, int y0, int x1, int y1, uint32_t color) {
  const int64_t dx = int64_t{x1} - x0;
  const int64_t dy = int64_t{y1} - y0;
  const int64_t n = std::max(std::llabs(dx), std::llabs(dy));
  if (n == 0 || canvas.bits == nullptr) return;
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const int64_t majorStart = xMajor ? x0 : y0;
  const int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
  const int64_t minorStart = xMajor ? y0 : x0;
  const int64_t minorDelta = xMajor ? dy : dx;
  const int64_t majorLimit = xMajor ? canvas.width : canvas.height;
  // Steps i with 0 <= majorStart + i * majorStep < majorLimit.
  int64_t first = majorStep > 0 ? -majorStart : majorStart - majorLimit + 1;
  int64_t last = majorStep > 0 ? majorLimit - 1 - majorStart : majorStart;
  first = std::max<int64_t>(first, 0);
  last = std::min<int64_t>(last, n - 1);
  for (int64_t i = first; i <= last; ++i) {
    int64_t major = majorStart + i * majorStep;
    int64_t minor = minorStart + RoundHalfDown(Wide{minorDelta} * i, n);
    int64_t x = xMajor ? major : minor;
    int64_t y = xMajor ? minor : major;
    if (canvas.Contains(x, y)) canvas.Row(static_cast<int>(y))[x] = color;
  }
}

}  // namespace

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  GdiGuard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  if (dc == nullptr) return CLR_INVALID;
  Canvas canvas = CanvasOf(*dc);
  if (!canvas.Contains(x, y)) return CLR_INVALID;
  const uint32_t stored = color & 0x00FFFFFFu;
  canvas.Row(y)[x] = stored;
  NotifyChanged(*dc);
  return stored;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  GdiGuard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  if (dc == nullptr) return CLR_INVALID;
  Canvas canvas = CanvasOf(*dc);
  if (!canvas.Contains(x, y)) return CLR_INVALID;
  return canvas.Row(y)[x] & 0x00FFFFFFu;
}

BOOL LineTo(HDC hdc, int x, int y) {
  GdiGuard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  if (dc == nullptr) return FALSE;
  Pen* pen = FindPen(dc->pen);
  const POINT from = dc->position;
  dc->position = POINT{x, y};
  if (pen == nullptr || pen->style == PS_NULL) return TRUE;
  if (IsWidePen(*pen)) {
    // Both ends are drawn, each with a round cap; a line of length zero is a dot of the pen's width.
    WideOutline outline(pen->width);
    outline.AddDisc(from.x, from.y);
    outline.AddDisc(x, y);
    outline.AddSegment(from.x, from.y, x, y);
    outline.Paint(CanvasOf(*dc), pen->color);
  } else {
    DrawLine(CanvasOf(*dc), from.x, from.y, x, y, pen->color);
  }
  NotifyChanged(*dc);
  return TRUE;
}
