// The picture type of the tools and the tests: COLORREF pixels (0x00BBGGRR), rows top-down, as
// GetPixel gives them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct PixelImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00BBGGRR, width * height, rows top-down

  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  // The rectangle at (x, y), width x height, which must lie inside the image.
  PixelImage Crop(int x, int y, int w, int h) const {
    PixelImage out{w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h)};
    for (int row = 0; row < h; ++row)
      for (int col = 0; col < w; ++col) out.pixels[static_cast<size_t>(row) * w + col] = At(x + col, y + row);
    return out;
  }
};
