#include "graphics/himetric.h"

namespace {
constexpr int kHiMetricPerInch = 2540;
}

void HiMetricToPixel(const SIZE* himetric, SIZE* pixels) {
  HDC screen = GetDC(nullptr);
  const int pixelsPerInchX = GetDeviceCaps(screen, LOGPIXELSX);
  const int pixelsPerInchY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  pixels->cx = MulDiv(himetric->cx, pixelsPerInchX, kHiMetricPerInch);
  pixels->cy = MulDiv(himetric->cy, pixelsPerInchY, kHiMetricPerInch);
}
