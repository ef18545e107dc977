// The BMP decoder behind LoadImageA and OleLoadPicture: a pure function from a file's bytes to 32-bpp pixels.
//
// It reads the core (12-byte), info (40), V2/V3 (52, 56), V4 (108) and V5 (124) headers; 1, 4, 8,
// 16, 24 and 32 bits per pixel; BI_RGB, BI_RLE4, BI_RLE8 and BI_BITFIELDS; bottom-up and top-down
// rows; palettes shorter than 2^bpp. A malformed, hostile or truncated file is refused with a status
// and no pixels: nothing is decoded only half-way.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/imaging/decoded_image.h"

namespace platform {

enum class BmpStatus {
  kOk,
  kNotBmp,         // no "BM" signature
  kTruncated,      // the file ends before its headers, palette or pixels do
  kBadHeader,      // a header field that no valid BMP has (size, offset, width, height, masks)
  kUnsupported,    // a header size, bit count or compression that Windows does not read either
  kTooLarge,       // dimensions or pixel bytes above the caps
};

// Decodes `size` bytes of a BMP file. On kOk `out` holds the picture; otherwise it is left empty.
// Pixels that an RLE stream leaves untouched (by "delta", "end of line" or "end of bitmap") are
// black; palette indexes beyond the palette's real length are black too.
BmpStatus BmpDecode(const uint8_t* data, size_t size, DecodedImage& out);

const char* BmpStatusName(BmpStatus status);

}  // namespace platform
