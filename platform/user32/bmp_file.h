// Reading a picture file whole, for LoadImageA.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32_types.h"

namespace platform {

// The largest BMP file read: the biggest picture the decoder accepts (32 bits a pixel, at the pixel
// cap) plus room for the largest headers and colour table. A longer file cannot be one we decode.
inline constexpr uint64_t kBmpMaxFileBytes = (256ull << 20) + (64u << 10);

// Reads the whole file `path` (CP932) into `bytes`, opened for reading with FILE_SHARE_READ as
// LoadImageA opens it. On failure returns false with the Win32 error code in `error`.
bool BmpReadFile(LPCSTR path, uint64_t maxBytes, std::vector<uint8_t>& bytes, DWORD& error);

}  // namespace platform
