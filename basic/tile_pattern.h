// The tile string of PAINT: the screen's 8-colour planar layout. Each tile row is 8 pixels wide and
// takes 3 bytes, one per colour plane: byte 0 holds bit 0 of every pixel's colour index (blue),
// byte 1 bit 1 (red), byte 2 bit 2 (green), the leftmost pixel in the most significant bit. A short
// last row is padded with zero bytes. On the screen the rows repeat from the origin: pixel (x, y)
// takes tile row y mod rows, column x mod 8.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

constexpr int kTileWidth = 8;
constexpr int kTilePlanes = 3;
// The longest tile string the family takes.
constexpr size_t kMaxTileBytes = 64;

struct TilePattern {
  int rows = 0;
  std::vector<std::array<uint8_t, kTileWidth>> indexes;  // palette index of each pixel, row by row
};

// False for an empty string or one longer than kMaxTileBytes (Illegal function call).
bool DecodeTile(std::string_view bytes, TilePattern& tile);
