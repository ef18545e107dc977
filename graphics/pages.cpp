#include "graphics/pages.h"

Surface workPage;
Surface halfPage;
Surface showPage;

int32_t CaptureWorkPage() { return SurfaceCapture(&workPage, 0, 0, kPageWidth, kPageHeight); }

int32_t ShowWorkPage() { return SurfaceDraw(&workPage, 0, 0, SRCCOPY); }

int32_t ShowDoubledPage() {
  // At natural size into the 200-row halfPage: rows 200..399 fall outside and are clipped.
  SurfaceBlitTo(&workPage, 0, 0, -1, -1, SRCCOPY, &halfPage);
  SurfaceBlitTo(&halfPage, 0, 0, kPageWidth, kPageHeight, SRCCOPY, &showPage);
  return SurfaceDraw(&showPage, 0, 0, SRCCOPY);
}
