// Inside the platform layer only: enlarging pixels by an integer factor, each one an N x N block.
#pragma once

#include <cstdint>

namespace platform::display {

// Writes `src` (srcWidth x srcHeight, rows of srcWidth pixels) enlarged `scale` times into `dst`
// (dstWidth x dstHeight, rows `dstPitch` pixels apart): source pixel (x, y) fills the block from
// (x * scale, y * scale). What falls outside `dst` is cut off; the part of `dst` that no source pixel
// covers is made black.
void ReplicatePixels(const uint32_t* src, int srcWidth, int srcHeight, int scale, uint32_t* dst, int dstWidth,
                     int dstHeight, int dstPitch);

}  // namespace platform::display
