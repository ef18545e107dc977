// LoadImageA: BMP files into 32-bpp bitmaps compatible with the display. There are no resources
// here, so only LR_LOADFROMFILE with IMAGE_BITMAP loads anything.
#include <vector>

#include "platform/gdi32/pixel_bitmap.h"
#include "platform/imaging/bmp_decoder.h"
#include "platform/kernel32/kernel32.h"
#include "platform/user32/bmp_file.h"
#include "platform/user32/user32.h"

namespace {

// Names below this value are resource ordinals (MAKEINTRESOURCE), not strings.
constexpr uintptr_t kMaxResourceOrdinal = 0xFFFF;

DWORD ErrorForStatus(platform::BmpStatus status) {
  return status == platform::BmpStatus::kTooLarge ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_DATA;
}

// The source pixel under the centre of destination pixel `d` when `source` pixels are stretched to
// `dest`, a centre on a boundary taking the lower one: StretchBlt's rule, so that a picture loaded at a
// size and one stretched to it show the same pixels.
int64_t SourceIndex(int64_t d, int64_t source, int64_t dest) { return ((2 * d + 1) * source - 1) / (2 * dest); }

// A desired size other than 0 x 0 stretches the picture.
platform::DecodedImage Stretch(const platform::DecodedImage& image, int cx, int cy) {
  platform::DecodedImage out;
  out.width = cx;
  out.height = cy;
  out.pixels.resize(static_cast<size_t>(cx) * static_cast<size_t>(cy));
  for (int y = 0; y < cy; ++y) {
    const int64_t sy = SourceIndex(y, image.height, cy);
    for (int x = 0; x < cx; ++x) {
      const int64_t sx = SourceIndex(x, image.width, cx);
      out.pixels[static_cast<size_t>(y) * cx + x] = image.pixels[static_cast<size_t>(sy * image.width + sx)];
    }
  }
  return out;
}

HBITMAP LoadBitmapFile(LPCSTR path, int cx, int cy) {
  std::vector<uint8_t> bytes;
  DWORD error = ERROR_SUCCESS;
  if (!platform::BmpReadFile(path, platform::kBmpMaxFileBytes, bytes, error)) {
    SetLastError(error);
    return nullptr;
  }
  platform::DecodedImage image;
  const platform::BmpStatus status = platform::BmpDecode(bytes.data(), bytes.size(), image);
  if (status != platform::BmpStatus::kOk) {
    SetLastError(ErrorForStatus(status));
    return nullptr;
  }
  const int width = cx != 0 ? cx : image.width;
  const int height = cy != 0 ? cy : image.height;
  if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4u > platform::kMaxImagePixelBytes) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (width != image.width || height != image.height) image = Stretch(image, width, height);
  return platform::GdiCreateBitmapFromPixels(image.width, image.height, image.pixels);
}

}  // namespace

HANDLE LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad) {
  (void)hInst;  // a module's resources are never consulted: files only
  if (name == nullptr || cx < 0 || cy < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!(fuLoad & LR_LOADFROMFILE) || reinterpret_cast<uintptr_t>(name) <= kMaxResourceOrdinal) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  if (type != IMAGE_BITMAP) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return LoadBitmapFile(name, cx, cy);
}
