// The BMP decoder's colour-mask step: which bits of a 16- or 32-bit pixel hold red, green and blue.
#include <bit>

#include "platform/imaging/bmp_context.h"

namespace platform::bmp {

namespace {

// A mask must be one contiguous run of bits (or empty, for a channel that is always 0).
bool MakeChannel(uint32_t mask, ChannelMask& channel) {
  channel = ChannelMask{};
  if (mask == 0) return true;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  const uint64_t run = (uint64_t{1} << bits) - 1;
  if ((static_cast<uint64_t>(mask) >> shift) != run) return false;
  channel = ChannelMask{mask, shift, bits};
  return true;
}

}  // namespace

BmpStatus ReadColorMasks(Context& ctx) {
  ctx.tableOffset = kFileHeaderSize + static_cast<uint64_t>(ctx.headerSize);
  uint32_t masks[3] = {0, 0, 0};
  if (ctx.compression == kBitfields) {
    if (ctx.headerSize == kInfoHeaderSize) {
      // A plain info header keeps its three masks right behind it, before the colour table.
      ByteReader& in = ctx.reader;
      if (!in.U32(ctx.rawMasks[0]) || !in.U32(ctx.rawMasks[1]) || !in.U32(ctx.rawMasks[2])) {
        return BmpStatus::kTruncated;
      }
      ctx.tableOffset += 12;
    }
    for (int i = 0; i < 3; ++i) masks[i] = ctx.rawMasks[i];
  } else if (ctx.bitCount == 16) {
    masks[0] = 0x7C00;  // 5-5-5, the top bit unused
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  } else if (ctx.bitCount == 32) {
    masks[0] = 0x00FF0000;  // the high byte is ignored
    masks[1] = 0x0000FF00;
    masks[2] = 0x000000FF;
  }
  for (int i = 0; i < 3; ++i) {
    if (!MakeChannel(masks[i], ctx.masks[i])) return BmpStatus::kBadHeader;
  }
  return BmpStatus::kOk;
}

}  // namespace platform::bmp
