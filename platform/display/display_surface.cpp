#include "platform/display/display_surface.h"

#include <algorithm>
#include <cstring>

namespace platform {

void DisplaySurface::Resize(int newWidth, int newHeight) {
  newWidth = std::max(newWidth, 0);
  newHeight = std::max(newHeight, 0);
  std::vector<uint32_t> pixels(static_cast<size_t>(newWidth) * newHeight, 0);
  const int keepW = std::min(newWidth, width), keepH = std::min(newHeight, height);
  for (int y = 0; y < keepH; ++y)
    std::memcpy(&pixels[static_cast<size_t>(y) * newWidth], &pixels_[static_cast<size_t>(y) * width],
                keepW * sizeof(uint32_t));
  pixels_.swap(pixels);
  width = newWidth;
  height = newHeight;
  bits = pixels_.empty() ? nullptr : pixels_.data();
}

RankedMutex& SurfaceLock() {
  static auto* lock = new RankedMutex(LockRank::kGdi);
  return *lock;
}

}  // namespace platform
