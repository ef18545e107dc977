#include "platform/gdi32/pixel_bitmap.h"

#include <algorithm>

#include "platform/gdi32/gdi_objects.h"

namespace platform {

HBITMAP GdiCreateBitmapFromPixels(int width, int height, std::vector<uint32_t>& pixels) {
  if (width <= 0 || height <= 0 || pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
    return nullptr;
  }
  // CreateCompatibleBitmap applies GDI's size caps; the pixels then replace its zeroed ones.
  HBITMAP handle = CreateCompatibleBitmap(nullptr, width, height);
  if (handle == nullptr) return nullptr;
  GdiGuard guard(GdiLock());
  gdi::Bitmap* bitmap = gdi::FindBitmap(handle);
  if (bitmap == nullptr) return nullptr;  // deleted meanwhile by a caller that guessed the handle
  std::copy(pixels.begin(), pixels.end(), bitmap->pixels.Overwrite());
  pixels.clear();
  return handle;
}

}  // namespace platform
