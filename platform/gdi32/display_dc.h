// Inside the platform layer only: how GDI draws on a window's client area or on the screen.
//
// The display owns the pixels of each window (and of the screen) as a DisplaySurface; GDI makes a
// display DC over one and draws into it like into a bitmap, clipped to the surface's current size.
// After every call that changed pixels of a display surface, GDI calls its `changed` hook (still under
// the GDI lock), so the display can present the pixels from whichever thread drew them.
#pragma once

#include <mutex>

#include "platform/display/display_surface.h"
#include "platform/win32_types.h"

namespace platform {

// The one process-wide lock that makes every GDI call atomic: the display's surface lock, so the
// display reads a window's pixels under it and USER32 resizes them under it. A plain lock, first in
// the lock order (see platform/display/lock_order.h).
using GdiMutex = RankedMutex;
inline GdiMutex& GdiLock() { return SurfaceLock(); }
using GdiGuard = std::lock_guard<GdiMutex>;

// A DC over `surface`: 32 bits a pixel, so CreateCompatibleDC/Bitmap from it give 32-bpp bitmaps.
// Released with GdiDeleteDisplayDC (by ReleaseDC and EndPaint), never with DeleteDC.
HDC GdiCreateDisplayDC(DisplaySurface* surface);
void GdiDeleteDisplayDC(HDC dc);

// The number of live GDI objects (DCs, bitmaps, pens, brushes, fonts; not stock objects), for
// GetGuiResources(GR_GDIOBJECTS).
DWORD GdiLiveObjectCount();

}  // namespace platform
