// Inside the platform layer only: the pixels of a window (or of the screen) as the display shows them,
// and the lock that guards every surface.
//
// GDI makes a display DC over a surface and draws into it like into a bitmap, clipped to the surface's
// current size; after every call that changed its pixels GDI calls the `changed` hook (still under
// the lock), so the display can present them from whichever thread drew them. The display reads the
// pixels under the same lock to present them.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/display/lock_order.h"

namespace platform {

class DisplaySurface {
 public:
  uint32_t* bits = nullptr;  // 0x00BBGGRR, rows top-down, `width` pixels a row; null when empty
  int width = 0;             // the drawable size: drawing is clipped to it
  int height = 0;
  void (*changed)(DisplaySurface* surface) = nullptr;  // may be null
  void* owner = nullptr;                               // the owner's own pointer (a window)

  // Gives the surface pixels of the new size, keeping what overlaps; new pixels are black. A size of
  // 0 releases them. Called under SurfaceLock().
  void Resize(int newWidth, int newHeight);

 private:
  std::vector<uint32_t> pixels_;
};

// The one lock that guards every display surface; GDI's process-wide lock is this lock.
RankedMutex& SurfaceLock();

}  // namespace platform
