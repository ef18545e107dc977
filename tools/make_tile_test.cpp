// make-tile-test OUT.bmp: writes the demonstration's default picture, 160 x 120 pixels, 24 bits, as
// checked in at assets/TILE_TEST.bmp.
//
// The top-left 8 x 8 corner, which the demonstration cuts as its paint tile, is four coloured quarters
// crossed by a dark diagonal, so a tile fill shows its repeat and its anchoring at once. The rest is a
// soft gradient with rings. No pixel is pure white: the demonstration's fills stop only at their own
// white outlines.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr int kTile = 8;

struct Rgb {
  uint8_t r, g, b;
};

Rgb TilePixel(int x, int y) {
  if (x == y) return {20, 20, 70};  // the diagonal
  const bool right = x >= kTile / 2;
  const bool bottom = y >= kTile / 2;
  if (!right && !bottom) return {220, 50, 40};
  if (right && !bottom) return {240, 190, 30};
  if (!right && bottom) return {30, 150, 160};
  return {140, 60, 190};
}

Rgb PicturePixel(int x, int y) {
  if (x < kTile && y < kTile) return TilePixel(x, y);
  const double dx = x - 100.0;
  const double dy = y - 60.0;
  const double ring = 0.5 + 0.5 * std::cos(std::sqrt(dx * dx + dy * dy) / 4.0);
  const int r = 30 + x * 120 / kWidth;
  const int g = 40 + static_cast<int>(100.0 * ring);
  const int b = 90 + y * 100 / kHeight;
  return {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-tile-test OUT.bmp\n");
    return 2;
  }
  const uint32_t rowBytes = (kWidth * 3 + 3) & ~3u;
  const uint32_t pixelBytes = rowBytes * kHeight;
  const uint32_t headerBytes = 14 + 40;

  std::vector<uint8_t> out;
  // BITMAPFILEHEADER
  Put16(out, 0x4D42);
  Put32(out, headerBytes + pixelBytes);
  Put32(out, 0);
  Put32(out, headerBytes);
  // BITMAPINFOHEADER: bottom-up rows, 24 bits, BI_RGB, 96 DPI
  Put32(out, 40);
  Put32(out, kWidth);
  Put32(out, kHeight);
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);
  Put32(out, pixelBytes);
  Put32(out, 3780);
  Put32(out, 3780);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = kHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kWidth; ++x) {
      const Rgb p = PicturePixel(x, y);
      out.push_back(p.b);
      out.push_back(p.g);
      out.push_back(p.r);
    }
    for (uint32_t pad = kWidth * 3; pad < rowBytes; ++pad) out.push_back(0);
  }

  FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr || std::fwrite(out.data(), 1, out.size(), file) != out.size() || std::fclose(file) != 0) {
    std::fprintf(stderr, "make-tile-test: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
