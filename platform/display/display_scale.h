// Inside the platform layer only: the display's integer scale. Every window pixel is shown as an
// N x N block (nearest neighbour, never blurred); the screen the windows see is the physical one
// divided by N, so everything above the display works in logical pixels.
#pragma once

#include <string>

namespace platform::display {

constexpr int kMaxDisplayScale = 8;

// TILEPAINT_SCALE's value: a whole number from 1 to 8 gives that scale; null or empty gives 0 (not
// set). Anything else is refused (false).
bool ParseScaleSetting(const char* value, int* scale);

// The value of Xft.dpi in an X resource database string ("name:\tvalue" lines, as the
// RESOURCE_MANAGER property holds them); 0 when it is absent or not a number.
double XftDpiOf(const std::string& resources);

// The scale for a desktop of `dpi` dots per inch: 96 gives 1, 192 gives 2, 288 gives 3, rounded
// down, at least 1 and at most kMaxDisplayScale. An unknown dpi (0) gives 1.
int ScaleForDpi(double dpi);

// The scale of this process: TILEPAINT_SCALE when it is set, else from the Xft.dpi resource of the X
// server `xDisplay` (null: no X server, scale 1). False, with the reason written to stderr, when
// TILEPAINT_SCALE holds something else than a whole number from 1 to 8. When the X server was asked
// and did not answer, *unreachable (if given) is set, so that nobody waits for it a second time (a
// server over TCP that is not there costs a connection time-out each time).
bool ChooseDisplayScale(const char* xDisplay, int* scale, bool* unreachable = nullptr);

}  // namespace platform::display
