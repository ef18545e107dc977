#include "platform/user32/bmp_bitmap.h"

#include "platform/gdi32/gdi32.h"

namespace platform {

HBITMAP BmpCreateBitmap(int width, int height, std::vector<uint32_t>& pixels) {
  if (width <= 0 || height <= 0 || pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
    return nullptr;
  }
  // 0x00BBGGRR to 0x00RRGGBB: in little-endian memory that is blue, green, red, unused.
  for (uint32_t& p : pixels) p = (p & 0x0000FF00u) | (p & 0xFFu) << 16 | (p >> 16 & 0xFFu);
  return CreateBitmap(width, height, 1, 32, pixels.data());
}

}  // namespace platform
