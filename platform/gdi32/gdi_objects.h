// Inside GDI32 only: the objects behind GDI handles and the typed handle table that holds them.
//
// Every function here expects the caller to hold GdiLock().
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi32/bitmap_pixels.h"
#include "platform/gdi32/display_dc.h"
#include "platform/gdi32/font_engine.h"
#include "platform/gdi32/gdi32.h"

namespace platform::gdi {

enum class Kind : uint8_t { Bitmap, Pen, Brush, Font, MemoryDc, DisplayDc };

struct Object {
  explicit Object(Kind k) : kind(k) {}
  virtual ~Object() = default;
  Kind kind;
  bool stock = false;    // stock objects are never deleted and not counted as live
  int selections = 0;    // how many DCs hold this object right now
};

struct Bitmap : Object {
  Bitmap() : Object(Kind::Bitmap) {}
  int width = 0;
  int height = 0;
  int bitsPixel = 32;            // what GetObjectA reports; the pixels are always 32 bits
  PixelStore pixels;             // 0x00BBGGRR, rows top-down
};

// The bit a pixel of a monochrome bitmap stands for: 0 for black, 1 for white. A colour drawn on such a
// bitmap counts as the nearer of the two.
inline uint32_t MonochromeBit(uint32_t pixel) {
  const uint32_t sum = (pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF);
  return sum * 2 > 3 * 255 ? 1u : 0u;
}

struct Pen : Object {
  Pen() : Object(Kind::Pen) {}
  int style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
};

struct Brush : Object {
  Brush() : Object(Kind::Brush) {}
  UINT style = BS_SOLID;
  COLORREF color = 0;
  // BS_PATTERN: the brush's own copy of the bitmap's pixels. A brush made from a monochrome bitmap
  // keeps its bits instead (0 or 1 a pixel), which take their colours from the DC it paints in.
  int patternWidth = 0;
  int patternHeight = 0;
  bool monochrome = false;
  std::vector<uint32_t> pattern;
};

struct Font : Object {
  Font() : Object(Kind::Font) {}
  LOGFONTA logfont{};
  std::shared_ptr<FontFace> face;  // opened on first use by a text call
  FontMetrics metrics;             // valid once `face` is set
};

struct Dc : Object {
  explicit Dc(Kind k) : Object(k) {}
  DisplaySurface* surface = nullptr;  // display DCs
  HBITMAP bitmap = nullptr;           // memory DCs: the selected bitmap
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  HFONT font = nullptr;
  COLORREF textColor = 0x000000;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  int stretchMode = BLACKONWHITE;
  POINT position{0, 0};
  POINT brushOrigin{0, 0};
  int deviceWidth = 0;   // HORZRES/VERTRES of the device this DC is compatible with (0: unknown)
  int deviceHeight = 0;
};

// Adds `object` to the table and returns its handle (null when the table is full).
HGDIOBJ Insert(std::unique_ptr<Object> object);
// The object behind `h`, or null for a null, stale or foreign handle.
Object* Find(HGDIOBJ h);
// Removes and destroys the object behind `h`.
void Erase(HGDIOBJ h);
// Live objects that are not stock objects.
DWORD LiveCount();

template <typename T>
T* FindAs(HGDIOBJ h, Kind kind) {
  Object* object = Find(h);
  return object != nullptr && object->kind == kind ? static_cast<T*>(object) : nullptr;
}
inline Bitmap* FindBitmap(HGDIOBJ h) { return FindAs<Bitmap>(h, Kind::Bitmap); }
inline Pen* FindPen(HGDIOBJ h) { return FindAs<Pen>(h, Kind::Pen); }
inline Brush* FindBrush(HGDIOBJ h) { return FindAs<Brush>(h, Kind::Brush); }
inline Font* FindFont(HGDIOBJ h) { return FindAs<Font>(h, Kind::Font); }
// Memory or display DC.
Dc* FindDc(HGDIOBJ h);
// Whether the DC draws on a monochrome bitmap.
inline bool HoldsMonochrome(const Dc& dc) {
  const Bitmap* bitmap = dc.kind == Kind::MemoryDc ? FindBitmap(dc.bitmap) : nullptr;
  return bitmap != nullptr && bitmap->bitsPixel == 1;
}

// Stock objects, made on first use. `index` as for GetStockObject; null for an unknown index.
HGDIOBJ Stock(int index);
// The 1 x 1 monochrome bitmap that a new memory DC holds.
HBITMAP StockBitmap();

// Device pixels [x0, x1) x [y0, y1).
struct Box {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

// Where a DC's drawing lands: the pixels of its bitmap or display surface, already bounded by their size.
// A figure clips once, at its edge, and its inner loops trust the box they are given.
struct Canvas {
  uint32_t* bits = nullptr;
  int width = 0;
  int height = 0;
  uint32_t* Row(int y) const { return bits + static_cast<size_t>(y) * static_cast<size_t>(width); }
  bool Contains(int64_t x, int64_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  // The part of [x0, x1) x [y0, y1) that lies on the canvas (coordinates of any size).
  Box Clip(int64_t x0, int64_t y0, int64_t x1, int64_t y1) const {
    auto bound = [](int64_t v, int limit) { return static_cast<int>(v < 0 ? 0 : v > limit ? limit : v); };
    return Box{bound(x0, width), bound(y0, height), bound(x1, width), bound(y1, height)};
  }
};
Canvas CanvasOf(const Dc& dc);
// Tells the display surface behind `dc` (if any) that its pixels changed.
void NotifyChanged(const Dc& dc);

}  // namespace platform::gdi
