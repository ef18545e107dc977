#include "platform/display/pixel_replication.h"

#include <algorithm>
#include <cstring>

namespace platform::display {

void ReplicatePixels(const uint32_t* src, int srcWidth, int srcHeight, int scale, uint32_t* dst, int dstWidth,
                     int dstHeight, int dstPitch) {
  scale = std::max(scale, 1);
  const int coveredW = std::clamp(srcWidth * scale, 0, std::max(dstWidth, 0));
  const int coveredH = std::clamp(srcHeight * scale, 0, std::max(dstHeight, 0));
  for (int y = 0; y < coveredH; ++y) {
    uint32_t* row = dst + static_cast<size_t>(y) * dstPitch;
    if (y % scale != 0) {
      // Every row of a block is the block's first row.
      std::memcpy(row, row - dstPitch, coveredW * sizeof(uint32_t));
    } else {
      const uint32_t* in = src + static_cast<size_t>(y / scale) * srcWidth;
      for (int x = 0; x < coveredW; ++x) row[x] = in[x / scale];
    }
    std::fill(row + coveredW, row + dstWidth, 0u);
  }
  for (int y = coveredH; y < dstHeight; ++y)
    std::fill_n(dst + static_cast<size_t>(y) * dstPitch, dstWidth, 0u);
}

}  // namespace platform::display
