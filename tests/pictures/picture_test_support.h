// Shared pieces of the picture tests: a writer for every BMP variant, scratch files, and the fixture
// that proves each test leaves no GDI object behind; pictures are compared with
// tests/common/image_compare.h.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/common/gdi_leak_test.h"
#include "tests/common/image_compare.h"

using Bytes = std::vector<uint8_t>;

// The pixels of a bitmap handle, read back through a memory DC and GetPixel.
PixelImage ReadBitmap(HBITMAP bitmap);

// A BMP file laid out field by field, so a test can write every variant and every kind of damage.
struct BmpLayout {
  uint32_t headerSize = 40;        // 12, 40, 52, 56, 108 or 124
  int32_t width = 0;
  int32_t height = 0;              // negative for top-down rows
  uint16_t bitCount = 24;
  uint32_t compression = 0;        // BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS
  uint32_t colorsUsed = 0;
  std::vector<uint32_t> palette;   // COLORREFs, written as RGBQUAD (RGBTRIPLE for a core header)
  uint32_t masks[3] = {0, 0, 0};   // written after a 40-byte header with BI_BITFIELDS, inside V2+
  uint32_t gapBeforePixels = 0;    // unused bytes between the colour table and the pixels
  int64_t pixelOffset = -1;        // bfOffBits; -1 computes the true offset
  Bytes pixels;                    // the pixel data exactly as stored
};
Bytes BuildBmp(const BmpLayout& layout);

// A layout of RLE pixels (BI_RLE8 for 8 bits, BI_RLE4 for 4): `stream` is the compressed data.
BmpLayout RleLayout(int width, int height, uint16_t bitCount, std::vector<uint32_t> palette, uint32_t colorsUsed,
                    Bytes stream);

// Rows of `value(x, y)` (y counted from the top) packed at `bitCount` bits, padded to 32 bits, in
// file order: bottom-up unless `topDown`. Values of 1-8 bits are palette indexes, 16 and 32 raw
// pixels, 24 a COLORREF written as blue, green, red.
Bytes PackRows(int width, int height, int bitCount, bool topDown, const std::function<uint32_t(int, int)>& value);

// Scratch files in a directory of their own, removed with it.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  std::string Write(const std::string& name, const Bytes& bytes) const;
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

 private:
  std::string dir_;
};

Bytes ReadFileBytes(const std::string& path);

using PictureTest = GdiLeakTest;
