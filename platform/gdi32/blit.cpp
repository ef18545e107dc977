// PatBlt, BitBlt and StretchBlt: rectangles of pixels under a ternary raster operation.
//
// StretchBlt maps each destination index d of an axis with S source and D destination pixels to the
// source index floor(((2d + 1) * S - 1) / (2D)): the source pixel under the centre of the destination
// pixel, an exact boundary going to the lower index. That holds for enlarging (640 -> 1280 doubles
// every pixel) and for reducing (each destination pixel takes exactly one source pixel, no blending).
// Every stretch mode uses this mapping.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi32/spans.h"

using namespace platform;
using namespace platform::gdi;

namespace {


// One axis of a blit after normalisation: destination [dest, dest + destSize) and source
// [src, src + srcSize), mirrored when exactly one of the two sizes was negative.
struct Axis {
  int64_t dest, destSize, src, srcSize;
  bool mirrored;
};

// A negative size runs from the given pixel backwards and includes it: x = 9 with width -3 covers
// 7, 8 and 9, so that a mirror of a w-pixel strip is drawn from x + w - 1 with width -w.
Axis Normalise(int dest, int destSize, int src, int srcSize) {
  Axis axis{dest, destSize, src, srcSize, false};
  if (axis.destSize < 0) {
    axis.dest += axis.destSize + 1;
    axis.destSize = -axis.destSize;
    axis.mirrored = !axis.mirrored;
  }
  if (axis.srcSize < 0) {
    axis.src += axis.srcSize + 1;
    axis.srcSize = -axis.srcSize;
    axis.mirrored = !axis.mirrored;
  }
  return axis;
}

int64_t SourceIndex(const Axis& axis, int64_t d) {
  if (axis.mirrored) d = axis.destSize - 1 - d;
  if (axis.srcSize == axis.destSize) return d;  // what the formula gives at 1:1, without dividing
  // The product stays below 2^62 while the destination is below 2^30 pixels (the source is at most 2^31).
  if (axis.destSize < (int64_t{1} << 30)) return ((2 * d + 1) * axis.srcSize - 1) / (2 * axis.destSize);
  // Both factors reach 2^32 for extreme arguments: the product needs more than 64 bits.
  using Wide = __int128;
  return static_cast<int64_t>(((2 * Wide{d} + 1) * axis.srcSize - 1) / (2 * Wide{axis.destSize}));
}

// Builds, for the destination pixels of one axis that land on the destination canvas and read a pixel
// inside the source canvas, the source coordinate of each. `first` receives the first destination
// coordinate; an empty result means nothing to do.
std::vector<int> MapAxis(const Axis& axis, int destLimit, int srcLimit, int64_t& first) {
  std::vector<int> map;
  int64_t d0 = std::max<int64_t>(0, -axis.dest);
  int64_t d1 = std::min<int64_t>(axis.destSize, destLimit - axis.dest);
  // The mapping is monotonic, so the destination pixels with a source inside the canvas are contiguous.
  while (d0 < d1) {
    int64_t s = axis.src + SourceIndex(axis, d0);
    if (s >= 0 && s < srcLimit) break;
    ++d0;
    if (!axis.mirrored && s >= srcLimit) d0 = d1;  // every later index lies further out
  }
  while (d1 > d0) {
    int64_t s = axis.src + SourceIndex(axis, d1 - 1);
    if (s >= 0 && s < srcLimit) break;
    --d1;
  }
  first = axis.dest + d0;
  map.reserve(static_cast<size_t>(std::max<int64_t>(d1 - d0, 0)));
  for (int64_t d = d0; d < d1; ++d) map.push_back(static_cast<int>(axis.src + SourceIndex(axis, d)));
  return map;
}

// The bitmap selected into a memory DC; null for a display DC.
Bitmap* BitmapOf(const Dc& dc) { return dc.kind == Kind::MemoryDc ? FindBitmap(dc.bitmap) : nullptr; }

// What a blit between a monochrome bitmap and a colour canvas does to the source pixels, as Windows
// does: a monochrome source's 0 bits become the destination DC's text colour and its 1 bits the
// destination's background colour; a colour source blitted onto a monochrome bitmap becomes white where
// it is exactly the source DC's background colour and black everywhere else.
struct Conversion {
  enum Mode { None, FromMonochrome, ToMonochrome } mode = None;
  uint32_t zero = 0, one = 0;  // FromMonochrome
  uint32_t background = 0;     // ToMonochrome

  static Conversion Between(const Dc& source, const Dc& dest) {
    Conversion c;
    const bool from = HoldsMonochrome(source), to = HoldsMonochrome(dest);
    if (from && !to) {
      c.mode = FromMonochrome;
      c.zero = dest.textColor & 0x00FFFFFFu;
      c.one = dest.bkColor & 0x00FFFFFFu;
    } else if (to && !from) {
      c.mode = ToMonochrome;
      c.background = source.bkColor & 0x00FFFFFFu;
    }
    return c;
  }

  void Apply(uint32_t* pixels, int n) const {
    for (int i = 0; i < n; ++i) {
      const uint32_t p = pixels[i] & 0x00FFFFFFu;
      pixels[i] = mode == FromMonochrome ? (MonochromeBit(p) != 0 ? one : zero)
                                         : (p == background ? 0xFFFFFFu : 0x000000u);
    }
  }
};

// The size of the DC's canvas, without touching its pixels.
Canvas SizeOf(const Dc& dc) {
  if (Bitmap* bitmap = BitmapOf(dc)) return Canvas{nullptr, bitmap->width, bitmap->height};
  return CanvasOf(dc);
}

// Called when the rectangle [x0, x0 + w) x [y0, y0 + h), already clipped, is about to be written under
// `rop`: when that is every pixel of a memory DC's bitmap and none is read first, the bitmap's owed
// clear is pointless. Only then: a blit that leaves any pixel alone must leave it black.
void OverwritingWhole(const Dc& dc, int64_t x0, int64_t y0, int64_t w, int64_t h, uint8_t rop) {
  Bitmap* bitmap = BitmapOf(dc);
  if (bitmap == nullptr || RopUsesDest(rop)) return;
  if (x0 == 0 && y0 == 0 && w == bitmap->width && h == bitmap->height) bitmap->pixels.Overwrite();
}

// Runs a raster operation that reads no source over [x0, x1) x [y0, y1) of the DC's canvas.
BOOL PatternBlit(Dc& dc, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint8_t rop) {
  const Canvas size = SizeOf(dc);
  x0 = std::max<int64_t>(x0, 0);
  y0 = std::max<int64_t>(y0, 0);
  x1 = std::min<int64_t>(x1, size.width);
  y1 = std::min<int64_t>(y1, size.height);
  if (x0 >= x1 || y0 >= y1) return TRUE;
  Brush* brush = FindBrush(dc.brush);
  if (RopUsesPattern(rop) && (brush == nullptr || brush->style == BS_NULL)) return TRUE;
  OverwritingWhole(dc, x0, y0, x1 - x0, y1 - y0, rop);
  Canvas canvas = CanvasOf(dc);
  if (canvas.bits == nullptr) return TRUE;
  if (RopUsesPattern(rop)) {
    const BrushPaint paint = PaintIn(dc, *brush);
    for (int64_t y = y0; y < y1; ++y) {
      BrushSpan(canvas, static_cast<int>(x0), static_cast<int>(x1), static_cast<int>(y), paint, rop);
    }
  } else {
    for (int64_t y = y0; y < y1; ++y) {
      Rop3Row(canvas.Row(static_cast<int>(y)) + x0, nullptr, nullptr, static_cast<int>(x1 - x0), rop);
    }
  }
  NotifyChanged(dc);
  return TRUE;
}

BOOL Blit(Dc& dest, int xDest, int yDest, int wDest, int hDest, Dc* source, int xSrc, int ySrc, int wSrc, int hSrc,
          DWORD ropCode) {
  const uint8_t rop = RopIndex(ropCode);
  if (!RopUsesSource(rop)) {
    Axis x = Normalise(xDest, wDest, 0, 0);
    Axis y = Normalise(yDest, hDest, 0, 0);
    return PatternBlit(dest, x.dest, y.dest, x.dest + x.destSize, y.dest + y.destSize, rop);
  }
  if (source == nullptr) return FALSE;
  if (wDest == 0 || hDest == 0) return TRUE;
  if (wSrc == 0 || hSrc == 0) return FALSE;
  Canvas from = CanvasOf(*source);
  const Canvas size = SizeOf(dest);
  if (from.bits == nullptr) return TRUE;

  int64_t x0 = 0, y0 = 0;
  std::vector<int> xs = MapAxis(Normalise(xDest, wDest, xSrc, wSrc), size.width, from.width, x0);
  std::vector<int> ys = MapAxis(Normalise(yDest, hDest, ySrc, hSrc), size.height, from.height, y0);
  if (xs.empty() || ys.empty()) return TRUE;
  const int n = static_cast<int>(xs.size());
  Brush* brush = FindBrush(dest.brush);
  const bool usesPattern = RopUsesPattern(rop);
  if (usesPattern && (brush == nullptr || brush->style == BS_NULL)) return TRUE;
  OverwritingWhole(dest, x0, y0, n, static_cast<int64_t>(ys.size()), rop);
  Canvas target = CanvasOf(dest);
  if (target.bits == nullptr) return TRUE;

  // Reading from the canvas being written: work from a copy of the source rows it reads.
  std::vector<uint32_t> copy;
  int copyTop = 0;
  if (from.bits == target.bits) {
    copyTop = *std::min_element(ys.begin(), ys.end());
    int copyBottom = *std::max_element(ys.begin(), ys.end());
    copy.assign(from.Row(copyTop), from.Row(copyBottom) + from.width);
    from.bits = copy.data() - static_cast<size_t>(copyTop) * static_cast<size_t>(from.width);
  }

  const bool straight = xs.back() - xs.front() == n - 1 && xs.front() <= xs.back();  // 1:1, not mirrored
  const Conversion conversion = Conversion::Between(*source, dest);
  const bool gather = !straight || conversion.mode != Conversion::None;
  std::vector<uint32_t> gathered(gather ? static_cast<size_t>(n) : 0);
  std::vector<uint32_t> pattern(usesPattern ? static_cast<size_t>(n) : 0);
  const bool rowRepeats = rop == kRopSrcCopy;  // a repeated source row gives the same destination row
  const Brush noBrush;  // stands in when the operation reads no pattern
  const BrushPaint paint = PaintIn(dest, usesPattern ? *brush : noBrush);

  for (size_t j = 0; j < ys.size(); ++j) {
    const int y = static_cast<int>(y0 + static_cast<int64_t>(j));
    uint32_t* out = target.Row(y) + x0;
    if (rowRepeats && j > 0 && ys[j] == ys[j - 1]) {
      std::memcpy(out, out - target.width, static_cast<size_t>(n) * sizeof(uint32_t));
      continue;
    }
    const uint32_t* row = from.Row(ys[j]);
    const uint32_t* src = row + xs.front();
    if (gather) {
      for (int i = 0; i < n; ++i) gathered[static_cast<size_t>(i)] = row[xs[static_cast<size_t>(i)]];
      if (conversion.mode != Conversion::None) conversion.Apply(gathered.data(), n);
      src = gathered.data();
    }
    if (usesPattern) PatternSpan(pattern.data(), n, paint, static_cast<int>(x0), y);
    Rop3Row(out, src, usesPattern ? pattern.data() : nullptr, n, rop);
  }
  NotifyChanged(dest);
  return TRUE;
}

}  // namespace

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  GdiGuard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  if (dc == nullptr || RopUsesSource(RopIndex(rop))) return FALSE;
  Axis ax = Normalise(x, w, 0, 0);
  Axis ay = Normalise(y, h, 0, 0);
  return PatternBlit(*dc, ax.dest, ay.dest, ax.dest + ax.destSize, ay.dest + ay.destSize, RopIndex(rop));
}

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  GdiGuard guard(GdiLock());
  Dc* dest = FindDc(hdc);
  if (dest == nullptr) return FALSE;
  Dc* source = hdcSrc != nullptr ? FindDc(hdcSrc) : nullptr;
  if (hdcSrc != nullptr && source == nullptr) return FALSE;
  return Blit(*dest, x, y, cx, cy, source, x1, y1, cx, cy, rop);
}

BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop) {
  GdiGuard guard(GdiLock());
  Dc* dest = FindDc(hdcDest);
  if (dest == nullptr) return FALSE;
  Dc* source = hdcSrc != nullptr ? FindDc(hdcSrc) : nullptr;
  if (hdcSrc != nullptr && source == nullptr) return FALSE;
  return Blit(*dest, xDest, yDest, wDest, hDest, source, xSrc, ySrc, wSrc, hSrc, rop);
}
