// Inside the platform layer only: what a display shows for a window, in the window's own (logical)
// pixels: its surface with the caret and the input method's composition drawn over a copy, never
// into the surface itself.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/display/display_surface.h"
#include "platform/win32_types.h"

namespace platform::display {

// A picture placed over a window's pixels, such as the composition window that IMM32 draws.
struct OverlayImage {
  POINT at = {0, 0};  // its top-left in client pixels
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00BBGGRR like a surface, width x height; empty: nothing shown
};

struct Overlay {
  RECT caret = {0, 0, 0, 0};
  bool caretShown = false;  // and in the visible half of its blink
  OverlayImage composition;
};

struct WindowFrame {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00BBGGRR
};

// The surface's pixels (read under SurfaceLock()) with the overlay over them: the caret inverts the
// pixels under it, the composition covers them. Both are clipped to the frame.
WindowFrame ComposeWindowFrame(const DisplaySurface& surface, const Overlay& overlay);

// The two halves of it, for a caller that holds SurfaceLock() already: the surface's pixels, and the
// overlay drawn over them.
WindowFrame CopySurfaceLocked(const DisplaySurface& surface);
void DrawOverlay(WindowFrame* frame, const Overlay& overlay);

}  // namespace platform::display
