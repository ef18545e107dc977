// Inside the SDL backend: SDL key codes as Windows virtual-key codes.
#pragma once

#include <SDL.h>

namespace platform::display {

// The virtual-key code of an SDL key, or 0 for a key that Windows has no code for.
int VirtualKeyFromSdl(SDL_Keycode key);

}  // namespace platform::display
