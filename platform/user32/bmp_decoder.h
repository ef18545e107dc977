// The BMP decoder behind LoadImageA: a pure function from a file's bytes to 32-bpp pixels.
//
// It reads the core (12-byte), info (40), V2/V3 (52, 56), V4 (108) and V5 (124) headers; 1, 4, 8,
// 16, 24 and 32 bits per pixel; BI_RGB, BI_RLE4, BI_RLE8 and BI_BITFIELDS; bottom-up and top-down
// rows; palettes shorter than 2^bpp. A malformed, hostile or truncated file is refused with a status
// and no pixels: nothing is decoded only half-way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// The largest width or height accepted: far beyond any screen, small enough that a row's byte
// count and an RLE run position stay well inside 32 bits.
inline constexpr int32_t kBmpMaxDimension = 16384;
// The largest decoded picture, in bytes of 32-bpp pixels (a 8192 x 8192 picture): a file header
// of a few bytes must not make us allocate more than this.
inline constexpr uint64_t kBmpMaxPixelBytes = 256ull << 20;

enum class BmpStatus {
  kOk,
  kNotBmp,         // no "BM" signature
  kTruncated,      // the file ends before its headers, palette or pixels do
  kBadHeader,      // a header field that no valid BMP has (size, offset, width, height, masks)
  kUnsupported,    // a header size, bit count or compression that Windows does not read either
  kTooLarge,       // dimensions or pixel bytes above the caps
};

struct BmpImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;  // 0x00BBGGRR, rows top-down, width pixels a row
};

// Decodes `size` bytes of a BMP file. On kOk `out` holds the picture; otherwise it is left empty.
// Pixels that an RLE stream leaves untouched (by "delta", "end of line" or "end of bitmap") are
// black; palette indexes beyond the palette's real length are black too.
BmpStatus BmpDecode(const uint8_t* data, size_t size, BmpImage& out);

const char* BmpStatusName(BmpStatus status);

}  // namespace platform
