#include "basic/tile_pattern.h"

bool DecodeTile(std::string_view bytes, TilePattern& tile) {
  if (bytes.empty() || bytes.size() > kMaxTileBytes) return false;
  tile.rows = static_cast<int>((bytes.size() + kTilePlanes - 1) / kTilePlanes);
  tile.indexes.assign(static_cast<size_t>(tile.rows), {});
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto plane = static_cast<int>(i % kTilePlanes);
    const auto byte = static_cast<uint8_t>(bytes[i]);
    auto& row = tile.indexes[i / kTilePlanes];
    for (int x = 0; x < kTileWidth; ++x)
      if (byte & (0x80 >> x)) row[x] |= static_cast<uint8_t>(1 << plane);
  }
  return true;
}
