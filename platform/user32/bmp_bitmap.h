// Turning decoded pixels into a GDI bitmap, shared by LoadImageA and OleLoadPicture.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32_types.h"

namespace platform {

// A 32-bpp bitmap compatible with the display, made with CreateBitmap from `pixels` (0x00BBGGRR,
// rows top-down). CreateBitmap takes device bits, blue first in memory, so the pixels are
// reordered to that in place. Null when GDI refuses (its last-error code stays).
HBITMAP BmpCreateBitmap(int width, int height, std::vector<uint32_t>& pixels);

}  // namespace platform
