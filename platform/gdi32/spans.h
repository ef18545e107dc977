// Inside GDI32 only: the span primitives that every figure and blit is made of. They work on one row
// at a time and trust their arguments: callers clip first.
#pragma once

#include <cstdint>

#include "platform/gdi32/gdi_objects.h"

namespace platform::gdi {

// The index byte of a ternary raster operation (bits 16-23 of its code).
inline uint8_t RopIndex(DWORD rop) { return static_cast<uint8_t>((rop >> 16) & 0xFF); }
// Whether the result depends on the pattern, the source, the destination.
inline bool RopUsesPattern(uint8_t rop) { return ((rop >> 4) & 0x0F) != (rop & 0x0F); }
inline bool RopUsesSource(uint8_t rop) { return ((rop >> 2) & 0x33) != (rop & 0x33); }
inline bool RopUsesDest(uint8_t rop) { return ((rop >> 1) & 0x55) != (rop & 0x55); }

constexpr uint8_t kRopPatCopy = 0xF0;
constexpr uint8_t kRopSrcCopy = 0xCC;

// dst[0, n) = color.
void SolidSpan(uint32_t* dst, int n, uint32_t color);

// A brush as it paints in one DC: its pattern anchored at the DC's brush origin, and the colours a
// monochrome pattern takes there, read from the DC each time it paints (as Windows does, so changing
// the text or background colour changes what an existing brush paints).
struct BrushPaint {
  const Brush& brush;
  POINT origin;
  uint32_t zeroColor;  // a monochrome pattern's 0 bits: the DC's text colour
  uint32_t oneColor;   // its 1 bits: the DC's background colour
};
// How `brush` paints in `dc`. On a monochrome bitmap the bits are copied as they are (0 black, 1 white).
BrushPaint PaintIn(const Dc& dc, const Brush& brush);

// dst[0, n) = the brush's colours for device pixels (x, y) ... (x + n - 1, y). Not for the null brush.
void PatternSpan(uint32_t* dst, int n, const BrushPaint& paint, int x, int y);

// dst[i] = rop(pattern[i], source[i], dst[i]) for i in [0, n). `source` and `pattern` may be null when
// the operation does not use them. `source` may alias `dst` exactly.
void Rop3Row(uint32_t* dst, const uint32_t* source, const uint32_t* pattern, int n, uint8_t rop);

// Paints columns [x0, x1) of row y of `canvas` with the brush under `rop` (no source). The null brush
// paints nothing.
void BrushSpan(const Canvas& canvas, int x0, int x1, int y, const BrushPaint& paint, uint8_t rop);

// The non-negative remainder of a / b for b > 0.
inline int PositiveMod(int64_t a, int b) {
  int64_t r = a % b;
  return static_cast<int>(r < 0 ? r + b : r);
}

}  // namespace platform::gdi
