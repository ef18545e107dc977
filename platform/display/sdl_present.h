// Inside the platform layer only: how the SDL display puts a window's pixels on screen.
#pragma once

#include <SDL.h>

#include "platform/display/display_surface.h"
#include "platform/win32_types.h"

namespace platform::display {

// What is drawn over a window's pixels on screen, never into them.
struct Overlay {
  RECT caret = {0, 0, 0, 0};
  bool caretShown = false;  // and in the visible half of its blink
};

// Copies the surface's pixels (under SurfaceLock()) to the SDL window, draws the overlay over the
// copy and shows it. Does nothing while the window is hidden.
void PresentSurface(SDL_Window* window, const DisplaySurface& surface, const Overlay& overlay);

}  // namespace platform::display
