// The BMP decoder: runs the steps in order and stops at the first problem.
#include "platform/imaging/bmp_decoder.h"

#include "platform/imaging/bmp_context.h"

namespace platform {

namespace {

BmpStatus RunSteps(bmp::Context& ctx) {
  BmpStatus status = bmp::ReadFileHeader(ctx);
  if (status == BmpStatus::kOk) status = bmp::ReadDibHeader(ctx);
  if (status == BmpStatus::kOk) status = bmp::ReadColorMasks(ctx);
  if (status == BmpStatus::kOk) status = bmp::ReadColorTable(ctx);
  if (status == BmpStatus::kOk) {
    const bool rle = ctx.compression == bmp::kRle8 || ctx.compression == bmp::kRle4;
    status = rle ? bmp::DecodeRle(ctx) : bmp::DecodeRows(ctx);
  }
  return status;
}

}  // namespace

BmpStatus BmpDecode(const uint8_t* data, size_t size, DecodedImage& out) {
  out = DecodedImage{};
  if (data == nullptr) return BmpStatus::kNotBmp;
  bmp::Context ctx(data, size);
  const BmpStatus status = RunSteps(ctx);
  if (status != BmpStatus::kOk) return status;
  ctx.image.width = ctx.width;
  ctx.image.height = ctx.height;
  out = std::move(ctx.image);
  return BmpStatus::kOk;
}

const char* BmpStatusName(BmpStatus status) {
  switch (status) {
    case BmpStatus::kOk: return "ok";
    case BmpStatus::kNotBmp: return "not a BMP";
    case BmpStatus::kTruncated: return "truncated";
    case BmpStatus::kBadHeader: return "bad header";
    case BmpStatus::kUnsupported: return "unsupported";
    case BmpStatus::kTooLarge: return "too large";
  }
  return "?";
}

}  // namespace platform
