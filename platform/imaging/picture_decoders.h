// Inside the platform layer only: the JPEG and GIF decoders behind OleLoadPicture, through
// libjpeg-turbo and giflib.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/imaging/decoded_image.h"

namespace platform {

// The most a decoder takes in: a file of the largest picture we decode fits.
inline constexpr uint64_t kMaxPictureFileBytes = 256ull << 20;
// A progressive JPEG may carry any number of scans, each a pass over the whole picture; real
// encoders write about ten. A file with more is made to waste time, not to show a picture.
inline constexpr int kMaxJpegScans = 256;
// Memory libjpeg may use beyond the output (a progressive picture's coefficients).
inline constexpr long kMaxJpegWorkBytes = 512l << 20;

// Baseline and progressive JPEG, greyscale, YCbCr, RGB and CMYK. A file whose data ends before its
// picture does (at the end of the file or at a marker) is refused, where libjpeg would make up the
// rest; other recoverable damage is decoded the way libjpeg recovers from it.
bool JpegDecode(const uint8_t* data, size_t size, DecodedImage& out);

// The first frame of a GIF, composed over its logical screen. The screen starts in the background
// colour of the global colour table (black without one); the frame's transparent pixels leave it
// showing. A file that ends inside the first frame is refused.
bool GifDecode(const uint8_t* data, size_t size, DecodedImage& out);

}  // namespace platform
