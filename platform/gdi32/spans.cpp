// The span primitives: solid and pattern fills and the row copy under a ternary raster operation.
#include "platform/gdi32/spans.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform::gdi {
namespace {

constexpr uint32_t kColorMask = 0x00FFFFFFu;

// The general case: the result bit for pattern p, source s and destination d is bit (p s d) of the
// index byte, evaluated on all 24 colour bits at once as a sum of minterms.
inline uint32_t Rop3Pixel(uint32_t p, uint32_t s, uint32_t d, uint8_t rop) {
  uint32_t result = 0;
  for (int term = 0; term < 8; ++term) {
    if (((rop >> term) & 1) == 0) continue;
    result |= ((term & 4) ? p : ~p) & ((term & 2) ? s : ~s) & ((term & 1) ? d : ~d);
  }
  return result & kColorMask;
}

template <typename Op>
void ForEach(uint32_t* dst, const uint32_t* source, const uint32_t* pattern, int n, Op op) {
  for (int i = 0; i < n; ++i) {
    uint32_t p = pattern != nullptr ? pattern[i] : 0;
    uint32_t s = source != nullptr ? source[i] : 0;
    dst[i] = op(p, s, dst[i]) & kColorMask;
  }
}

std::vector<uint32_t>& Scratch(size_t n) {
  thread_local std::vector<uint32_t> buffer;
  if (buffer.size() < n) buffer.resize(n);
  return buffer;
}

}  // namespace

void SolidSpan(uint32_t* dst, int n, uint32_t color) { std::fill(dst, dst + n, color & kColorMask); }

BrushPaint PaintIn(const Dc& dc, const Brush& brush) {
  if (HoldsMonochrome(dc)) return BrushPaint{brush, dc.brushOrigin, 0x000000, 0xFFFFFF};
  return BrushPaint{brush, dc.brushOrigin, dc.textColor & kColorMask, dc.bkColor & kColorMask};
}

void PatternSpan(uint32_t* dst, int n, const BrushPaint& paint, int x, int y) {
  const Brush& brush = paint.brush;
  if (brush.style != BS_PATTERN) {
    SolidSpan(dst, n, brush.color);
    return;
  }
  const int w = brush.patternWidth;
  const int py = PositiveMod(int64_t{y} - paint.origin.y, brush.patternHeight);
  const uint32_t* row = brush.pattern.data() + static_cast<size_t>(py) * static_cast<size_t>(w);
  int px = PositiveMod(int64_t{x} - paint.origin.x, w);
  int done = 0;
  while (done < n) {
    int chunk = std::min(w - px, n - done);
    if (brush.monochrome) {
      for (int i = 0; i < chunk; ++i) dst[done + i] = row[px + i] != 0 ? paint.oneColor : paint.zeroColor;
    } else {
      std::memcpy(dst + done, row + px, static_cast<size_t>(chunk) * sizeof(uint32_t));
    }
    done += chunk;
    px = 0;
  }
}

void Rop3Row(uint32_t* dst, const uint32_t* source, const uint32_t* pattern, int n, uint8_t rop) {
  switch (rop) {
    case 0x00: SolidSpan(dst, n, 0); return;
    case 0xFF: SolidSpan(dst, n, kColorMask); return;
    case 0xAA: return;  // the destination itself
    case kRopSrcCopy:
      if (source != dst) std::memmove(dst, source, static_cast<size_t>(n) * sizeof(uint32_t));
      return;
    case kRopPatCopy: std::memcpy(dst, pattern, static_cast<size_t>(n) * sizeof(uint32_t)); return;
    case 0x55: ForEach(dst, source, pattern, n, [](uint32_t, uint32_t, uint32_t d) { return ~d; }); return;
    case 0x5A: ForEach(dst, source, pattern, n, [](uint32_t p, uint32_t, uint32_t d) { return p ^ d; }); return;
    case 0x66: ForEach(dst, source, pattern, n, [](uint32_t, uint32_t s, uint32_t d) { return s ^ d; }); return;
    case 0x88: ForEach(dst, source, pattern, n, [](uint32_t, uint32_t s, uint32_t d) { return s & d; }); return;
    case 0xEE: ForEach(dst, source, pattern, n, [](uint32_t, uint32_t s, uint32_t d) { return s | d; }); return;
    case 0x33: ForEach(dst, source, pattern, n, [](uint32_t, uint32_t s, uint32_t) { return ~s; }); return;
    default:
      ForEach(dst, source, pattern, n, [rop](uint32_t p, uint32_t s, uint32_t d) { return Rop3Pixel(p, s, d, rop); });
  }
}

void BrushSpan(const Canvas& canvas, int x0, int x1, int y, const BrushPaint& paint, uint8_t rop) {
  if (x1 <= x0 || paint.brush.style == BS_NULL) return;
  uint32_t* dst = canvas.Row(y) + x0;
  const int n = x1 - x0;
  if (rop == kRopPatCopy) {
    PatternSpan(dst, n, paint, x0, y);
    return;
  }
  uint32_t* pattern = nullptr;
  if (RopUsesPattern(rop)) {
    pattern = Scratch(static_cast<size_t>(n)).data();
    PatternSpan(pattern, n, paint, x0, y);
  }
  Rop3Row(dst, nullptr, pattern, n, rop);
}

}  // namespace platform::gdi
