// The BMP decoder's colour-table step.
#include <algorithm>

#include "platform/imaging/bmp_context.h"

namespace platform::bmp {

namespace {

// How many entries the colour table of a paletted picture has. biClrUsed may name fewer than
// 2^bpp (a short palette) but never more: extra entries are not used. A core header has no such
// field; a core file whose pixels start before a full table ends has a short table too.
uint64_t TableEntries(const Context& ctx) {
  const uint64_t full = uint64_t{1} << ctx.bitCount;
  if (ctx.core) {
    if (ctx.pixelOffset != 0 && ctx.pixelOffset >= ctx.tableOffset) {
      return std::min(full, (ctx.pixelOffset - ctx.tableOffset) / 3);
    }
    return full;
  }
  return ctx.colorsUsed == 0 ? full : std::min<uint64_t>(full, ctx.colorsUsed);
}

}  // namespace

BmpStatus ReadColorTable(Context& ctx) {
  ByteReader& in = ctx.reader;
  ctx.tableEnd = ctx.tableOffset;
  if (ctx.bitCount <= 8) {
    const uint64_t entries = TableEntries(ctx);
    const uint64_t entrySize = ctx.core ? 3 : 4;
    if (!in.Seek(ctx.tableOffset)) return BmpStatus::kTruncated;
    const uint8_t* table = in.Bytes(entries * entrySize);
    if (table == nullptr) return BmpStatus::kTruncated;
    ctx.palette.resize(static_cast<size_t>(entries));
    for (uint64_t i = 0; i < entries; ++i) {
      const uint8_t* entry = table + i * entrySize;  // blue, green, red (, reserved)
      ctx.palette[static_cast<size_t>(i)] = Rgb(entry[2], entry[1], entry[0]);
    }
    ctx.tableEnd += entries * entrySize;
  }
  // The pixels start at bfOffBits, which may not point back into the headers. Without it they
  // follow the colour table.
  if (ctx.pixelOffset == 0) {
    ctx.pixelOffset = static_cast<uint32_t>(ctx.tableEnd);
  } else if (ctx.pixelOffset < ctx.tableOffset) {
    return BmpStatus::kBadHeader;
  }
  if (!in.Seek(ctx.pixelOffset)) return BmpStatus::kTruncated;
  return BmpStatus::kOk;
}

}  // namespace platform::bmp
