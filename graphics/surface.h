// A surface owns one bitmap and knows the console window and its back buffer: it captures rectangles
// of the back buffer (or of the window) into its bitmap, and draws that bitmap, stretched or fitted to
// its aspect ratio, onto the window and the back buffer, onto any DC, or into another surface.
#pragma once

#include <cstdint>

#include "platform/win32.h"

struct Surface {
  HANDLE heap;         // private growable heap; a plain surface allocates nothing from it
  HBITMAP bitmap;      // owned; null when there is none
  HWND window;         // borrowed from ConsoleState; null until SurfaceBind
  HDC bufferDC;        // the back buffer, borrowed from ConsoleState; null until SurfaceBind
  int32_t mirrorFlag;  // 1: capture from the back buffer and repeat window draws into it
};

void SurfaceInit(Surface* surface);
void SurfaceBind(Surface* surface);

// Replaces the bitmap with a width x height copy of the rectangle at (x, y) of the back buffer (with
// mirrorFlag 1) or of the window. An unbound surface refuses (0) and keeps its bitmap: the screen is
// not ours to read.
int32_t SurfaceCapture(Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height);

// Stretches the whole bitmap to width x height at (x, y) of `target`, or of the window (mirrored into
// the back buffer with mirrorFlag 1) when `target` is null. A missing side (below 1) is fitted by
// FitSize; a raster operation of 0 means SRCCOPY. 0 without a bitmap, and 0 for an unbound surface
// asked to draw on the window.
int32_t SurfaceDraw(Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height, DWORD rop,
                    HDC target);
// The short form: natural size, on the window.
int32_t SurfaceDraw(Surface* surface, int32_t x, int32_t y, DWORD rop);

// Draws into `target` (never the window or the back buffer). 0 when the target is the surface's own
// bitmap, cannot be selected, or the surface is unbound.
int32_t SurfaceDrawToBitmap(Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height, DWORD rop,
                            HBITMAP target);
// Draws into the destination surface's bitmap; 0 when both hold the same bitmap (both null included).
int32_t SurfaceBlitTo(Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height, DWORD rop,
                      Surface* destination);

HBITMAP SurfaceGetBitmap(const Surface* surface);
void SurfaceSetBitmap(Surface* surface, HBITMAP bitmap);  // takes ownership
void SurfaceDeleteBitmap(Surface* surface);
void SurfaceDestroy(Surface* surface);  // the private heap only; a bitmap still held stays

// Completes a missing width or height (below 1) from the natural aspect ratio, in double precision,
// truncating toward zero.
void FitSize(int32_t& width, int32_t& height, int32_t naturalWidth, int32_t naturalHeight);
