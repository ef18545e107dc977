#include "graphics/surface.h"

#include <cmath>

#include "console/console_state.h"

namespace {

// double -> int32 by truncation toward zero. Values that do not fit give the integer-indefinite value
// that the x86 conversion instruction gives, rather than undefined behaviour.
int32_t TruncateToInt32(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace

void SurfaceInit(Surface* surface) {
  surface->heap = HeapCreate(0, 0, 0);
  surface->bitmap = nullptr;
  surface->window = nullptr;
  surface->bufferDC = nullptr;
  surface->mirrorFlag = 0;
}

void SurfaceBind(Surface* surface) {
  surface->window = console.consoleWindow;
  surface->bufferDC = console.backBuffer;
  surface->mirrorFlag = 1;
}

int32_t SurfaceCapture(Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height) {
  // GetDC(NULL) would give the whole screen's DC.
  if (surface->window == nullptr) return 0;
  SurfaceDeleteBitmap(surface);

  HDC windowDC = GetDC(surface->window);
  HDC memoryDC = CreateCompatibleDC(windowDC);
  surface->bitmap = CreateCompatibleBitmap(windowDC, width, height);
  int32_t result = SelectObject(memoryDC, surface->bitmap) != nullptr ? 1 : 0;
  if (surface->mirrorFlag == 1) {
    StretchBlt(memoryDC, 0, 0, width, height, surface->bufferDC, x, y, width, height, SRCCOPY);
  } else {
    result = StretchBlt(memoryDC, 0, 0, width, height, windowDC, x, y, width, height, SRCCOPY) ? 1 : 0;
  }
  DeleteDC(memoryDC);
  ReleaseDC(surface->window, windowDC);
  return result;
}

int32_t SurfaceDraw(Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height, DWORD rop,
                    HDC target) {
  if (surface->bitmap == nullptr) return 0;
  if (target == nullptr && surface->window == nullptr) return 0;
  if (rop == 0) rop = SRCCOPY;

  BITMAP info = {};
  GetObjectA(surface->bitmap, sizeof info, &info);
  FitSize(width, height, info.bmWidth, info.bmHeight);

  HDC windowDC = target == nullptr ? GetDC(surface->window) : nullptr;
  HDC destination = target != nullptr ? target : windowDC;
  HDC memoryDC = CreateCompatibleDC(destination);
  SelectObject(memoryDC, surface->bitmap);

  SetStretchBltMode(destination, COLORONCOLOR);
  int32_t result =
      StretchBlt(destination, x, y, width, height, memoryDC, 0, 0, info.bmWidth, info.bmHeight, rop) ? 1 : 0;
  // What the window shows is kept in the back buffer too, so that a repaint shows it again.
  if (surface->mirrorFlag == 1 && target == nullptr) {
    SetStretchBltMode(surface->bufferDC, COLORONCOLOR);
    StretchBlt(surface->bufferDC, x, y, width, height, memoryDC, 0, 0, info.bmWidth, info.bmHeight, rop);
  }

  DeleteDC(memoryDC);
  if (windowDC != nullptr) ReleaseDC(surface->window, windowDC);
  return result;
}

int32_t SurfaceDraw(Surface* surface, int32_t x, int32_t y, DWORD rop) {
  return SurfaceDraw(surface, x, y, 0, 0, rop, nullptr);
}

int32_t SurfaceDrawToBitmap(Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height, DWORD rop,
                            HBITMAP target) {
  if (target == surface->bitmap) return 0;
  if (surface->window == nullptr) return 0;

  HDC windowDC = GetDC(surface->window);
  HDC memoryDC = CreateCompatibleDC(windowDC);
  int32_t result = 0;
  if (SelectObject(memoryDC, target) != nullptr) {
    result = SurfaceDraw(surface, x, y, width, height, rop, memoryDC);
  }
  DeleteDC(memoryDC);
  ReleaseDC(surface->window, windowDC);
  return result;
}

int32_t SurfaceBlitTo(Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height, DWORD rop,
                      Surface* destination) {
  HBITMAP target = SurfaceGetBitmap(destination);
  if (target == surface->bitmap) return 0;
  return SurfaceDrawToBitmap(surface, x, y, width, height, rop, target);
}

HBITMAP SurfaceGetBitmap(const Surface* surface) { return surface->bitmap; }

void SurfaceSetBitmap(Surface* surface, HBITMAP bitmap) {
  if (surface->bitmap != nullptr) SurfaceDeleteBitmap(surface);
  surface->bitmap = bitmap;
}

void SurfaceDeleteBitmap(Surface* surface) {
  if (surface->bitmap == nullptr) return;
  DeleteObject(surface->bitmap);
  surface->bitmap = nullptr;
}

void SurfaceDestroy(Surface* surface) {
  HeapDestroy(surface->heap);
  surface->heap = nullptr;
}

void FitSize(int32_t& width, int32_t& height, int32_t naturalWidth, int32_t naturalHeight) {
  const bool widthMissing = width < 1;
  const bool heightMissing = height < 1;
  if (widthMissing && heightMissing) {
    width = naturalWidth;
    height = naturalHeight;
  } else if (heightMissing) {
    const double ratio = static_cast<double>(naturalHeight) / static_cast<double>(naturalWidth);
    height = TruncateToInt32(static_cast<double>(width) * ratio);
  } else if (widthMissing) {
    const double ratio = static_cast<double>(naturalWidth) / static_cast<double>(naturalHeight);
    width = TruncateToInt32(static_cast<double>(height) * ratio);
  }
}
