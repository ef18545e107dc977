// The BMP decoder's pixel step for uncompressed and bit-field rows.
#include "platform/imaging/bmp_context.h"

namespace platform::bmp {

namespace {

// A channel widened to 8 bits: narrower channels repeat their bits (a 5-bit v becomes
// v << 3 | v >> 2), wider ones keep their top 8 bits.
uint32_t WidenChannel(uint32_t pixel, const ChannelMask& channel) {
  if (channel.bits == 0) return 0;
  uint32_t value = (pixel & channel.mask) >> channel.shift;
  if (channel.bits >= 8) return value >> (channel.bits - 8);
  uint32_t widened = 0;
  int filled = 0;
  while (filled < 8) {
    widened = widened << channel.bits | value;
    filled += channel.bits;
  }
  return widened >> (filled - 8);
}

uint32_t MaskedColor(const Context& ctx, uint32_t pixel) {
  return Rgb(WidenChannel(pixel, ctx.masks[0]), WidenChannel(pixel, ctx.masks[1]),
             WidenChannel(pixel, ctx.masks[2]));
}

void DecodeIndexedRow(const Context& ctx, const uint8_t* row, uint32_t* out) {
  const int bits = ctx.bitCount;
  const int perByte = 8 / bits;
  const uint32_t indexMask = (1u << bits) - 1;
  for (int32_t x = 0; x < ctx.width; ++x) {
    const uint8_t byte = row[x / perByte];
    const int shift = 8 - bits * (x % perByte + 1);  // the leftmost pixel is in the high bits
    out[x] = PaletteColor(ctx, (byte >> shift) & indexMask);
  }
}

void DecodeDirectRow(const Context& ctx, const uint8_t* row, uint32_t* out) {
  for (int32_t x = 0; x < ctx.width; ++x) {
    switch (ctx.bitCount) {
      case 16: {
        const uint8_t* p = row + 2 * static_cast<size_t>(x);
        out[x] = MaskedColor(ctx, static_cast<uint32_t>(p[0] | p[1] << 8));
        break;
      }
      case 24: {
        const uint8_t* p = row + 3 * static_cast<size_t>(x);
        out[x] = Rgb(p[2], p[1], p[0]);
        break;
      }
      default: {
        const uint8_t* p = row + 4 * static_cast<size_t>(x);
        const uint32_t pixel = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
        out[x] = MaskedColor(ctx, pixel);
        break;
      }
    }
  }
}

}  // namespace

BmpStatus DecodeRows(Context& ctx) {
  const uint64_t rowBits = static_cast<uint64_t>(ctx.width) * ctx.bitCount;
  const uint64_t rowBytes = (rowBits + 7) / 8;
  const uint64_t stride = (rowBits + 31) / 32 * 4;
  // Every row but the last with its padding; the last one may end without it.
  const uint64_t needed = stride * static_cast<uint64_t>(ctx.height - 1) + rowBytes;
  const uint8_t* data = ctx.reader.Bytes(needed);
  if (data == nullptr) return BmpStatus::kTruncated;

  ctx.image.pixels.assign(static_cast<size_t>(ctx.width) * static_cast<size_t>(ctx.height), 0u);
  for (int32_t r = 0; r < ctx.height; ++r) {
    const int32_t outRow = ctx.topDown ? r : ctx.height - 1 - r;
    const uint8_t* row = data + stride * static_cast<uint64_t>(r);
    uint32_t* out = ctx.image.pixels.data() + static_cast<size_t>(outRow) * static_cast<size_t>(ctx.width);
    if (ctx.bitCount <= 8) {
      DecodeIndexedRow(ctx, row, out);
    } else {
      DecodeDirectRow(ctx, row, out);
    }
  }
  return BmpStatus::kOk;
}

}  // namespace platform::bmp
