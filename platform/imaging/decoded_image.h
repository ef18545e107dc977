// Inside the platform layer only: what the picture decoders (BMP, JPEG, GIF) produce, and the caps
// that every one of them applies whatever a file's header claims. The decoders are pure functions
// from a file's bytes to pixels; USER32 (LoadImageA) and OLE (OleLoadPicture) make bitmaps of them.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// The largest width or height accepted: far beyond any screen, small enough that a row's byte count
// and an RLE run position stay well inside 32 bits.
inline constexpr int32_t kMaxImageDimension = 16384;
// The largest decoded picture, in bytes of 32-bpp pixels (a 8192 x 8192 picture): a file header of a
// few bytes must not make us allocate more than this.
inline constexpr uint64_t kMaxImagePixelBytes = 256ull << 20;

struct DecodedImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;  // 0x00BBGGRR, rows top-down, width pixels a row
};

inline bool ImageSizeAllowed(uint64_t width, uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageDimension && height <= kMaxImageDimension &&
         width * height * 4u <= kMaxImagePixelBytes;
}

}  // namespace platform
