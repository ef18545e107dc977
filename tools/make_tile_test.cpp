// make-tile-test OUT.bmp: writes the demonstration's default picture, 160 x 120 pixels, 24 bits, as
// checked in at assets/TILE_TEST.bmp.
//
// The top-left 8 x 8 corner, which the demonstration cuts as its paint tile, is the tile of
// tools/paint_tile.h. The rest is a soft gradient with rings. No pixel is pure white: the demonstration's fills stop only at their own
// white outlines.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "tools/bmp_file.h"
#include "tools/paint_tile.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr int kTile = paint_tile::kSize;

uint32_t PicturePixel(int x, int y) {
  if (x < kTile && y < kTile) return paint_tile::Pixel(x, y);
  const double dx = x - 100.0;
  const double dy = y - 60.0;
  const double ring = 0.5 + 0.5 * std::cos(std::sqrt(dx * dx + dy * dy) / 4.0);
  const int r = 30 + x * 120 / kWidth;
  const int g = 40 + static_cast<int>(100.0 * ring);
  const int b = 90 + y * 100 / kHeight;
  return paint_tile::Rgb(r, g, b);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-tile-test OUT.bmp\n");
    return 2;
  }
  std::vector<uint32_t> pixels;
  pixels.reserve(static_cast<size_t>(kWidth) * kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) pixels.push_back(PicturePixel(x, y));
  }
  if (!WriteBmp24(argv[1], kWidth, kHeight, pixels)) {
    std::fprintf(stderr, "make-tile-test: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
