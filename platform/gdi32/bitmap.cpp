// Bitmaps: creation from device-dependent bits, compatible bitmaps, and reading them back as a DIB.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/gdi32/gdi_objects.h"
#include "platform/kernel32/allocation_faults.h"

using namespace platform;
using namespace platform::gdi;

namespace {


// Larger bitmaps are refused rather than allocated: 64 M pixels is 256 MB, far beyond any screen.
constexpr int64_t kMaxBitmapPixels = int64_t{1} << 26;
constexpr int kMaxBitmapSide = 1 << 16;

// In memory a pixel is 0x00BBGGRR; device-dependent and DIB bits are B, G, R, X bytes.
uint32_t FromBgrx(uint32_t bgrx) { return ((bgrx & 0xFF) << 16) | (bgrx & 0xFF00) | ((bgrx >> 16) & 0xFF); }
uint32_t ToBgrx(uint32_t rgb) { return FromBgrx(rgb); }

std::unique_ptr<Bitmap> NewBitmap(int width, int height, int bitsPixel) {
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) return nullptr;
  if (int64_t{width} * height > kMaxBitmapPixels) return nullptr;
  if (AllocationFails(AllocationKind::kHeap, "bitmap pixels")) return nullptr;
  auto bitmap = std::make_unique<Bitmap>();
  bitmap->width = width;
  bitmap->height = height;
  bitmap->bitsPixel = bitsPixel;
  // Black, as every new bitmap starts.
  if (!bitmap->pixels.Allocate(static_cast<size_t>(width) * static_cast<size_t>(height))) return nullptr;
  return bitmap;
}

// Device-dependent rows are padded to a multiple of two bytes.
size_t DdbStride(int width, int bitCount) { return ((static_cast<size_t>(width) * bitCount + 15) / 16) * 2; }

// One row of device-dependent bits into pixels; the format is chosen once a row, not once a pixel.
void LoadRow(uint32_t* out, const uint8_t* row, int width, int bitCount) {
  switch (bitCount) {
    case 1:
      for (int x = 0; x < width; ++x) out[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFF : 0x000000;
      return;
    case 24:
      for (int x = 0; x < width; ++x)
        out[x] = (uint32_t{row[3 * x + 2]}) | (uint32_t{row[3 * x + 1]} << 8) | (uint32_t{row[3 * x]} << 16);
      return;
    default:
      for (int x = 0; x < width; ++x) {
        uint32_t bgrx;
        std::memcpy(&bgrx, row + 4 * static_cast<size_t>(x), 4);
        out[x] = FromBgrx(bgrx);
      }
  }
}

void LoadBits(Bitmap& bitmap, int bitCount, const uint8_t* bits) {
  size_t stride = DdbStride(bitmap.width, bitCount);
  uint32_t* pixels = bitmap.pixels.Overwrite();  // every pixel is loaded
  for (int y = 0; y < bitmap.height; ++y) {
    LoadRow(pixels + static_cast<size_t>(y) * static_cast<size_t>(bitmap.width), bits + stride * static_cast<size_t>(y),
            bitmap.width, bitCount);
  }
}

}  // namespace

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits) {
  GdiGuard guard(GdiLock());
  if (nWidth == 0 || nHeight == 0) return StockBitmap();
  if (nPlanes != 1 || (nBitCount != 1 && nBitCount != 24 && nBitCount != 32)) return nullptr;
  auto bitmap = NewBitmap(nWidth, nHeight, static_cast<int>(nBitCount));
  if (!bitmap) return nullptr;
  if (lpBits != nullptr) LoadBits(*bitmap, static_cast<int>(nBitCount), static_cast<const uint8_t*>(lpBits));
  return static_cast<HBITMAP>(Insert(std::move(bitmap)));
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  GdiGuard guard(GdiLock());
  // A null DC stands for the screen; every device here is 32 bits a pixel.
  if (hdc != nullptr && FindDc(hdc) == nullptr) return nullptr;
  if (cx == 0 || cy == 0) return StockBitmap();
  auto bitmap = NewBitmap(cx, cy, 32);
  if (!bitmap) return nullptr;
  return static_cast<HBITMAP>(Insert(std::move(bitmap)));
}

int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi, UINT usage) {
  GdiGuard guard(GdiLock());
  Bitmap* bitmap = FindBitmap(hbm);
  if (FindDc(hdc) == nullptr || bitmap == nullptr || lpbmi == nullptr || usage != DIB_RGB_COLORS) return 0;
  BITMAPINFOHEADER& header = lpbmi->bmiHeader;
  if (header.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  if (lpvBits == nullptr) {
    // Only the format is asked for: describe the bitmap as it is stored.
    header.biWidth = bitmap->width;
    header.biHeight = bitmap->height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(bitmap->width) * 4u * static_cast<DWORD>(bitmap->height);
    return bitmap->height;
  }
  if (header.biCompression != BI_RGB || (header.biBitCount != 32 && header.biBitCount != 24)) return 0;
  if (header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT32_MIN) return 0;
  const bool topDown = header.biHeight < 0;
  const int64_t dibHeight = topDown ? -int64_t{header.biHeight} : header.biHeight;
  const int width = static_cast<int>(std::min<int64_t>(header.biWidth, bitmap->width));
  const size_t stride = ((static_cast<size_t>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
  int copied = 0;
  for (int64_t line = start; line < int64_t{start} + cLines && line < dibHeight; ++line) {
    // Scan line 0 of a bottom-up DIB is the bitmap's last row.
    int64_t y = topDown ? line : dibHeight - 1 - line;
    uint8_t* out = static_cast<uint8_t*>(lpvBits) + stride * static_cast<size_t>(line - start);
    std::memset(out, 0, stride);
    if (y < bitmap->height) {
      const uint32_t* row = bitmap->pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(bitmap->width);
      for (int x = 0; x < width; ++x) {
        uint32_t bgrx = ToBgrx(row[x]);
        if (header.biBitCount == 32) {
          std::memcpy(out + 4 * static_cast<size_t>(x), &bgrx, 4);
        } else {
          std::memcpy(out + 3 * static_cast<size_t>(x), &bgrx, 3);
        }
      }
    }
    ++copied;
  }
  return copied;
}
