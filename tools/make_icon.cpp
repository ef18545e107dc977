// make-icon OUT.png: writes the program's 64 x 64 desktop icon, a miniature of the demonstration: a
// console window (title bar, black client area) holding a white box flood-filled with the paint tile
// of the default picture (tools/paint_tile.h), repeated every 8 pixels.
// The install step builds it and puts it under share/icons/hicolor/64x64/apps/.
#include <cstdint>
#include <cstdio>
#include <string>

#include "tools/paint_tile.h"
#include "tools/png_file.h"

namespace {

constexpr int kSize = 64;
constexpr int kTitleBottom = 12;               // rows 0..11: the window's frame and title bar
constexpr int kBoxLeft = 12, kBoxTop = 20;     // the white outline, inclusive
constexpr int kBoxRight = 51, kBoxBottom = 57;

uint32_t IconPixel(int x, int y) {
  const bool frame = x < 2 || y < 2 || x >= kSize - 2 || y >= kSize - 2;
  if (frame) return paint_tile::Rgb(70, 80, 100);
  if (y < kTitleBottom) return paint_tile::Rgb(40, 90, 170);
  const bool insideBox = x >= kBoxLeft && x <= kBoxRight && y >= kBoxTop && y <= kBoxBottom;
  if (!insideBox) return paint_tile::Rgb(0, 0, 0);
  const bool outline = x == kBoxLeft || x == kBoxRight || y == kBoxTop || y == kBoxBottom;
  if (outline) return paint_tile::Rgb(255, 255, 255);
  // The fill is anchored on the window's grid, as a pattern brush is.
  return paint_tile::Pixel(x % paint_tile::kSize, y % paint_tile::kSize);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-icon OUT.png\n");
    return 2;
  }
  PixelImage icon{kSize, kSize, {}};
  icon.pixels.reserve(static_cast<size_t>(kSize) * kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) icon.pixels.push_back(IconPixel(x, y));
  std::string error;
  if (!WritePngFile(argv[1], icon, &error)) {
    std::fprintf(stderr, "make-icon: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
