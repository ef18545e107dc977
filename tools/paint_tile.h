// The paint tile of the default picture: an 8 x 8 square of four coloured quarters crossed by a dark
// diagonal, so a tile fill shows its repeat and its anchoring at once. Shared by the picture's
// generator (make-tile-test) and the icon's (make-icon). Pixels are COLORREF values (0x00BBGGRR).
#pragma once

#include <cstdint>

namespace paint_tile {

constexpr int kSize = 8;

constexpr uint32_t Rgb(int r, int g, int b) {
  return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
}

// The tile's pixel at (x, y), both in 0..kSize-1.
constexpr uint32_t Pixel(int x, int y) {
  if (x == y) return Rgb(20, 20, 70);  // the diagonal
  const bool right = x >= kSize / 2;
  const bool bottom = y >= kSize / 2;
  if (!right && !bottom) return Rgb(220, 50, 40);
  if (right && !bottom) return Rgb(240, 190, 30);
  if (!right && bottom) return Rgb(30, 150, 160);
  return Rgb(140, 60, 190);
}

}  // namespace paint_tile
