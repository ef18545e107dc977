// Inside the platform layer only: a bitmap made from pixels already in GDI's own order, for the
// picture loaders (LoadImageA, OleLoadPicture).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32_types.h"

namespace platform {

// A 32-bpp bitmap compatible with the display that takes over `pixels` (0x00BBGGRR, rows top-down,
// width x height of them), leaving `pixels` empty. Null when the size is refused, as
// CreateCompatibleBitmap refuses it.
HBITMAP GdiCreateBitmapFromPixels(int width, int height, std::vector<uint32_t>& pixels);

}  // namespace platform
