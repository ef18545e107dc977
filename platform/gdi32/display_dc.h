// Inside the platform layer only: how USER32 lets GDI draw on a window's client area or on the screen.
//
// USER32 owns the pixels of each window (and of the screen) as a DisplaySurface; GDI makes a display
// DC over one and draws into it like into a bitmap, clipped to the surface's current size. After
// every call that changed pixels of a display surface, GDI calls its `changed` hook (still under the
// GDI lock), so the display backend can present the pixels from whichever thread drew them.
#pragma once

#include <cstdint>
#include <mutex>

#include "platform/win32_types.h"

namespace platform {

struct DisplaySurface {
  uint32_t* bits = nullptr;  // 0x00BBGGRR, rows top-down, `width` pixels a row
  int width = 0;             // the drawable size: drawing is clipped to it
  int height = 0;
  void (*changed)(DisplaySurface* surface) = nullptr;  // may be null
  void* owner = nullptr;                               // USER32's own pointer (the window)
};

// The one process-wide lock that makes every GDI call atomic. USER32 holds it while it resizes or
// reallocates a DisplaySurface's pixels, and the display backend while it reads them to present.
using GdiMutex = std::recursive_mutex;
GdiMutex& GdiLock();
using GdiGuard = std::lock_guard<GdiMutex>;

// A DC over `surface`: 32 bits a pixel, so CreateCompatibleDC/Bitmap from it give 32-bpp bitmaps.
// Released with GdiDeleteDisplayDC (by ReleaseDC and EndPaint), never with DeleteDC.
HDC GdiCreateDisplayDC(DisplaySurface* surface);
void GdiDeleteDisplayDC(HDC dc);

// The number of live GDI objects (DCs, bitmaps, pens, brushes, fonts; not stock objects), for
// GetGuiResources(GR_GDIOBJECTS).
DWORD GdiLiveObjectCount();

}  // namespace platform
