// Inside the platform layer only: how the SDL display puts a window's pixels on screen.
#pragma once

#include <SDL.h>

#include "platform/display/window_frame.h"

namespace platform::display {

// Shows the window's frame (its surface with the overlay drawn over a copy), every pixel as a
// `scale` x `scale` block. Does nothing while the window is hidden.
void PresentSurface(SDL_Window* window, const DisplaySurface& surface, const Overlay& overlay, int scale);

}  // namespace platform::display
