// The BMP decoder's header steps: the file header and the DIB header with its checks and caps.
#include "platform/imaging/bmp_context.h"

namespace platform::bmp {

namespace {

bool IsKnownHeaderSize(uint32_t size) {
  return size == kCoreHeaderSize || size == kInfoHeaderSize || size == kV2HeaderSize ||
         size == kV3HeaderSize || size == kV4HeaderSize || size == kV5HeaderSize;
}

BmpStatus ReadCoreFields(Context& ctx) {
  ByteReader& in = ctx.reader;
  uint16_t width = 0, height = 0, planes = 0, bitCount = 0;
  if (!in.U16(width) || !in.U16(height) || !in.U16(planes) || !in.U16(bitCount)) return BmpStatus::kTruncated;
  ctx.core = true;
  ctx.width = width;
  ctx.height = height;
  ctx.bitCount = bitCount;
  ctx.compression = kRgb;
  // Core headers predate 16- and 32-bit pixels.
  if (bitCount == 16 || bitCount == 32) return BmpStatus::kUnsupported;
  return BmpStatus::kOk;
}

BmpStatus ReadInfoFields(Context& ctx) {
  ByteReader& in = ctx.reader;
  int32_t width = 0, height = 0, xPelsPerMeter = 0, yPelsPerMeter = 0;
  uint16_t planes = 0, bitCount = 0;
  uint32_t compression = 0, sizeImage = 0, colorsUsed = 0, colorsImportant = 0;
  if (!in.S32(width) || !in.S32(height) || !in.U16(planes) || !in.U16(bitCount) || !in.U32(compression) ||
      !in.U32(sizeImage) || !in.S32(xPelsPerMeter) || !in.S32(yPelsPerMeter) || !in.U32(colorsUsed) ||
      !in.U32(colorsImportant)) {
    return BmpStatus::kTruncated;
  }
  // -2^31 has no positive counterpart: negating it would overflow.
  if (height == INT32_MIN) return BmpStatus::kBadHeader;
  ctx.width = width;
  ctx.topDown = height < 0;
  ctx.height = height < 0 ? -height : height;
  ctx.bitCount = bitCount;
  ctx.compression = compression;
  ctx.colorsUsed = colorsUsed;
  // From the V2 header on, the masks are part of the header itself.
  if (ctx.headerSize >= kV2HeaderSize) {
    if (!in.U32(ctx.rawMasks[0]) || !in.U32(ctx.rawMasks[1]) || !in.U32(ctx.rawMasks[2])) {
      return BmpStatus::kTruncated;
    }
  }
  return BmpStatus::kOk;
}

// Which bit counts each compression admits; top-down rows cannot be compressed.
BmpStatus CheckFormat(const Context& ctx) {
  switch (ctx.compression) {
    case kRgb:
      if (ctx.bitCount == 1 || ctx.bitCount == 4 || ctx.bitCount == 8 || ctx.bitCount == 16 ||
          ctx.bitCount == 24 || ctx.bitCount == 32) {
        return BmpStatus::kOk;
      }
      return BmpStatus::kUnsupported;
    case kRle8:
      if (ctx.bitCount != 8) return BmpStatus::kBadHeader;
      return ctx.topDown ? BmpStatus::kBadHeader : BmpStatus::kOk;
    case kRle4:
      if (ctx.bitCount != 4) return BmpStatus::kBadHeader;
      return ctx.topDown ? BmpStatus::kBadHeader : BmpStatus::kOk;
    case kBitfields:
      return (ctx.bitCount == 16 || ctx.bitCount == 32) ? BmpStatus::kOk : BmpStatus::kBadHeader;
    default:
      return BmpStatus::kUnsupported;  // embedded JPEG or PNG, and anything unknown
  }
}

BmpStatus CheckDimensions(const Context& ctx) {
  if (ctx.width <= 0 || ctx.height <= 0) return BmpStatus::kBadHeader;
  if (ctx.width > kMaxImageDimension || ctx.height > kMaxImageDimension) return BmpStatus::kTooLarge;
  const uint64_t pixelBytes = static_cast<uint64_t>(ctx.width) * static_cast<uint64_t>(ctx.height) * 4u;
  if (pixelBytes > kMaxImagePixelBytes) return BmpStatus::kTooLarge;
  return BmpStatus::kOk;
}

}  // namespace

BmpStatus ReadFileHeader(Context& ctx) {
  ByteReader& in = ctx.reader;
  uint8_t b = 0, m = 0;
  if (!in.U8(b) || !in.U8(m) || b != 'B' || m != 'M') return BmpStatus::kNotBmp;
  uint32_t fileSize = 0;
  uint16_t reserved1 = 0, reserved2 = 0;
  // bfSize is often wrong in files found in the wild, and Windows does not trust it either.
  if (!in.U32(fileSize) || !in.U16(reserved1) || !in.U16(reserved2) || !in.U32(ctx.pixelOffset)) {
    return BmpStatus::kTruncated;
  }
  return BmpStatus::kOk;
}

BmpStatus ReadDibHeader(Context& ctx) {
  ByteReader& in = ctx.reader;
  if (!in.U32(ctx.headerSize)) return BmpStatus::kTruncated;
  if (!IsKnownHeaderSize(ctx.headerSize)) return BmpStatus::kUnsupported;
  BmpStatus status = ctx.headerSize == kCoreHeaderSize ? ReadCoreFields(ctx) : ReadInfoFields(ctx);
  if (status != BmpStatus::kOk) return status;
  // The rest of a V4 or V5 header (colour space, gamma, profile) does not change the pixels we make.
  if (!in.Seek(kFileHeaderSize + static_cast<uint64_t>(ctx.headerSize))) return BmpStatus::kTruncated;
  if ((status = CheckFormat(ctx)) != BmpStatus::kOk) return status;
  if ((status = CheckDimensions(ctx)) != BmpStatus::kOk) return status;
  return BmpStatus::kOk;
}

}  // namespace platform::bmp
