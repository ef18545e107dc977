// Inside the BMP decoder: the decoding context that the steps advance one after another.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/imaging/bmp_decoder.h"
#include "platform/imaging/bmp_reader.h"

namespace platform::bmp {

// Header sizes that name the DIB header versions.
inline constexpr uint32_t kCoreHeaderSize = 12;
inline constexpr uint32_t kInfoHeaderSize = 40;
inline constexpr uint32_t kV2HeaderSize = 52;  // info + RGB masks
inline constexpr uint32_t kV3HeaderSize = 56;  // info + RGBA masks
inline constexpr uint32_t kV4HeaderSize = 108;
inline constexpr uint32_t kV5HeaderSize = 124;
inline constexpr uint32_t kFileHeaderSize = 14;

// Compression values of biCompression.
inline constexpr uint32_t kRgb = 0;
inline constexpr uint32_t kRle8 = 1;
inline constexpr uint32_t kRle4 = 2;
inline constexpr uint32_t kBitfields = 3;

// One colour channel of a 16- or 32-bit pixel: a contiguous run of `bits` bits at `shift`.
struct ChannelMask {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
};

struct Context {
  Context(const uint8_t* data, size_t size) : reader(data, size) {}

  ByteReader reader;

  uint32_t pixelOffset = 0;  // bfOffBits; 0 means "right after the colour table"
  uint32_t headerSize = 0;
  bool core = false;          // BITMAPCOREHEADER: 16-bit sizes and 3-byte palette entries
  int32_t width = 0;
  int32_t height = 0;         // always positive here; topDown holds the sign
  bool topDown = false;
  uint16_t bitCount = 0;
  uint32_t compression = kRgb;
  uint32_t colorsUsed = 0;
  uint32_t rawMasks[3] = {0, 0, 0};  // red, green, blue as the file gives them
  ChannelMask masks[3];
  uint64_t tableOffset = 0;   // where the colour table starts
  uint64_t tableEnd = 0;      // first byte after the headers, masks and colour table
  std::vector<uint32_t> palette;  // 0x00BBGGRR

  DecodedImage image;
};

// The steps, in order. Each returns kOk or the first problem it found.
BmpStatus ReadFileHeader(Context& ctx);
BmpStatus ReadDibHeader(Context& ctx);
BmpStatus ReadColorMasks(Context& ctx);
BmpStatus ReadColorTable(Context& ctx);
BmpStatus DecodeRows(Context& ctx);
BmpStatus DecodeRle(Context& ctx);

// The colour of palette index `index`, black beyond the palette's real length.
inline uint32_t PaletteColor(const Context& ctx, uint32_t index) {
  return index < ctx.palette.size() ? ctx.palette[index] : 0u;
}

inline uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | g << 8 | b << 16; }

}  // namespace platform::bmp
