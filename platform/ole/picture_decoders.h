// Inside OLE: the decoders behind OleLoadPicture, pure functions from a file's bytes to 32-bpp
// pixels, and the picture object that owns the resulting bitmap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/win32_types.h"

struct IPicture;

namespace platform::ole {

// The same caps as the BMP loader: no side longer than 16384 pixels and no picture larger than
// 256 MiB of 32-bpp pixels, whatever a file's header claims.
inline constexpr int32_t kMaxPictureDimension = 16384;
inline constexpr uint64_t kMaxPicturePixelBytes = 256ull << 20;
// The most OleLoadPicture reads from a stream: a file of the largest picture we decode fits.
inline constexpr uint64_t kMaxPictureStreamBytes = 256ull << 20;
// A progressive JPEG may carry any number of scans, each a pass over the whole picture; real
// encoders write about ten. A file with more is made to waste time, not to show a picture.
inline constexpr int kMaxJpegScans = 256;
// Memory libjpeg may use beyond the output (a progressive picture's coefficients).
inline constexpr long kMaxJpegWorkBytes = 512l << 20;

struct DecodedPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;  // 0x00BBGGRR, rows top-down
};

inline bool PictureSizeAllowed(uint64_t width, uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureDimension && height <= kMaxPictureDimension &&
         width * height * 4u <= kMaxPicturePixelBytes;
}

// Baseline and progressive JPEG, greyscale, YCbCr, RGB and CMYK. A file whose data ends before its
// picture does (at the end of the file or at a marker) is refused, where libjpeg would make up the
// rest; other recoverable damage is decoded the way libjpeg recovers from it.
bool JpegDecode(const uint8_t* data, size_t size, DecodedPicture& out);

// The first frame of a GIF, composed over its logical screen. The screen starts in the background
// colour of the global colour table (black without one); the frame's transparent pixels leave it
// showing. A file that ends inside the first frame is refused.
bool GifDecode(const uint8_t* data, size_t size, DecodedPicture& out);

// A new picture (one reference) that owns `bitmap` and deletes it on its final Release; its size
// is given in pixels and reported in HIMETRIC at 96 DPI.
IPicture* CreateBitmapPicture(HBITMAP bitmap, int widthPixels, int heightPixels);

}  // namespace platform::ole
