// Reading pixels back through Win32: a rectangle of any DC (copied with BitBlt into a memory bitmap,
// then read with GetDIBits) or a whole bitmap. Header-only, shared by the tools and the tests.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32.h"
#include "tools/png_file.h"

namespace dc_pixels {

// GetDIBits rows of a 32-bit top-down DIB hold 0x00RRGGBB; COLORREF is 0x00BBGGRR.
inline uint32_t ToColorRef(uint32_t dib) {
  return ((dib & 0xFF) << 16) | (dib & 0xFF00) | ((dib >> 16) & 0xFF);
}

inline bool ReadBits(HDC dc, HBITMAP bitmap, int width, int height, PixelImage* image) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  image->width = width;
  image->height = height;
  image->pixels.assign(static_cast<size_t>(width) * height, 0);
  if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), image->pixels.data(), &info, DIB_RGB_COLORS) != height)
    return false;
  for (uint32_t& p : image->pixels) p = ToColorRef(p);
  return true;
}

}  // namespace dc_pixels

// The width x height pixels at (x, y) of `dc`. False when they cannot be read.
inline bool ReadDCPixels(HDC dc, int x, int y, int width, int height, PixelImage* image) {
  HDC memoryDC = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
  HGDIOBJ old = SelectObject(memoryDC, bitmap);
  bool ok = BitBlt(memoryDC, 0, 0, width, height, dc, x, y, SRCCOPY) != 0;
  // GetDIBits wants a bitmap that no DC holds.
  SelectObject(memoryDC, old);
  ok = ok && dc_pixels::ReadBits(memoryDC, bitmap, width, height, image);
  DeleteDC(memoryDC);
  DeleteObject(bitmap);
  return ok;
}

// Every pixel of `bitmap`, which must not be selected into a DC.
inline bool ReadBitmapPixels(HBITMAP bitmap, PixelImage* image) {
  BITMAP info = {};
  if (GetObjectA(bitmap, sizeof info, &info) == 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memoryDC = CreateCompatibleDC(screen);
  const bool ok = dc_pixels::ReadBits(memoryDC, bitmap, info.bmWidth, info.bmHeight, image);
  DeleteDC(memoryDC);
  ReleaseDC(nullptr, screen);
  return ok;
}

// The client area of `window`, as the window shows it.
inline bool ReadClientPixels(HWND window, PixelImage* image) {
  RECT client = {};
  if (!GetClientRect(window, &client)) return false;
  HDC windowDC = GetDC(window);
  const bool ok = ReadDCPixels(windowDC, 0, 0, client.right - client.left, client.bottom - client.top, image);
  ReleaseDC(window, windowDC);
  return ok;
}
