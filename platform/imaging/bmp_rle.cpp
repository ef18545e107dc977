// The BMP decoder's pixel step for RLE8 and RLE4 streams.
//
// The stream paints rows from the bottom up. Every write is clipped to the picture, so runs and
// deltas that overshoot a row or the picture write nothing outside it; pixels the stream never
// paints stay black. The stream ends with "end of bitmap", or once it has moved past the top row;
// running out of data before either is a truncated file.
#include <algorithm>

#include "platform/imaging/bmp_context.h"

namespace platform::bmp {

namespace {

// Escape codes: a zero count followed by one of these.
constexpr uint8_t kEndOfLine = 0;
constexpr uint8_t kEndOfBitmap = 1;
constexpr uint8_t kDelta = 2;

struct RleCursor {
  int64_t x = 0;
  int64_t y = 0;  // counted from the bottom row
};

class RlePainter {
 public:
  explicit RlePainter(Context& ctx) : ctx_(ctx) {}

  // How many of `count` pixels from the cursor fall inside the row; none once past the top.
  int64_t Visible(const RleCursor& at, int64_t count) const {
    if (at.y >= ctx_.height || at.x >= ctx_.width) return 0;
    return std::min<int64_t>(count, ctx_.width - at.x);
  }
  void Put(const RleCursor& at, int64_t offset, uint32_t index) {
    const int64_t outRow = ctx_.height - 1 - at.y;
    ctx_.image.pixels[static_cast<size_t>(outRow * ctx_.width + at.x + offset)] = PaletteColor(ctx_, index);
  }

 private:
  Context& ctx_;
};

// An absolute run: `count` literal indexes, padded to a 16-bit boundary.
bool AbsoluteRun(Context& ctx, RlePainter& painter, RleCursor& at, uint8_t count) {
  const bool four = ctx.compression == kRle4;
  const uint64_t bytes = four ? (count + 1u) / 2u : count;
  const uint8_t* literal = ctx.reader.Bytes(bytes + (bytes & 1u));
  if (literal == nullptr) return false;
  const int64_t visible = painter.Visible(at, count);
  for (int64_t i = 0; i < visible; ++i) {
    const uint32_t index = four ? (i % 2 == 0 ? literal[i / 2] >> 4 : literal[i / 2] & 0x0F) : literal[i];
    painter.Put(at, i, index);
  }
  at.x += count;
  return true;
}

// An encoded run: `count` pixels of one index (RLE8) or of two alternating indexes (RLE4).
void EncodedRun(const Context& ctx, RlePainter& painter, RleCursor& at, uint8_t count, uint8_t value) {
  const bool four = ctx.compression == kRle4;
  const int64_t visible = painter.Visible(at, count);
  for (int64_t i = 0; i < visible; ++i) {
    const uint32_t index = four ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value;
    painter.Put(at, i, index);
  }
  at.x += count;
}

}  // namespace

BmpStatus DecodeRle(Context& ctx) {
  ctx.image.pixels.assign(static_cast<size_t>(ctx.width) * static_cast<size_t>(ctx.height), 0u);
  RlePainter painter(ctx);
  RleCursor at;
  ByteReader& in = ctx.reader;
  while (at.y < ctx.height) {
    uint8_t count = 0, value = 0;
    if (!in.U8(count) || !in.U8(value)) return BmpStatus::kTruncated;
    if (count > 0) {
      EncodedRun(ctx, painter, at, count, value);
      continue;
    }
    if (value == kEndOfLine) {
      at.x = 0;
      ++at.y;
    } else if (value == kEndOfBitmap) {
      break;
    } else if (value == kDelta) {
      uint8_t dx = 0, dy = 0;
      if (!in.U8(dx) || !in.U8(dy)) return BmpStatus::kTruncated;
      at.x += dx;
      at.y += dy;
    } else if (!AbsoluteRun(ctx, painter, at, value)) {
      return BmpStatus::kTruncated;
    }
  }
  return BmpStatus::kOk;
}

}  // namespace platform::bmp
