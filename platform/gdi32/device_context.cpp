// Device contexts: memory DCs, display DCs over a USER32 surface, object selection and device caps.
#include <utility>

#include "platform/gdi32/gdi_objects.h"

namespace platform {
namespace gdi {
namespace {

void Hold(HGDIOBJ h) {
  if (Object* object = Find(h)) ++object->selections;
}

void Drop(HGDIOBJ h) {
  if (Object* object = Find(h); object != nullptr && object->selections > 0) --object->selections;
}

// A new DC with Windows' defaults: black pen, white brush, system font, black text on opaque white.
std::unique_ptr<Dc> NewDc(Kind kind) {
  auto dc = std::make_unique<Dc>(kind);
  dc->pen = static_cast<HPEN>(Stock(BLACK_PEN));
  dc->brush = static_cast<HBRUSH>(Stock(WHITE_BRUSH));
  dc->font = static_cast<HFONT>(Stock(SYSTEM_FONT));
  Hold(dc->pen);
  Hold(dc->brush);
  Hold(dc->font);
  if (kind == Kind::MemoryDc) {
    dc->bitmap = StockBitmap();
    Hold(dc->bitmap);
  }
  return dc;
}

void DestroyDc(HDC h, Dc* dc) {
  Drop(dc->pen);
  Drop(dc->brush);
  Drop(dc->font);
  Drop(dc->bitmap);
  Erase(h);
}

// Replaces the handle in `slot` with `h` and returns the previous one.
template <typename H>
HGDIOBJ Swap(H& slot, HGDIOBJ h) {
  H previous = slot;
  if (previous == static_cast<H>(h)) return previous;
  Hold(h);
  Drop(previous);
  slot = static_cast<H>(h);
  return previous;
}

HGDIOBJ SelectBitmap(Dc& dc, HGDIOBJ h, Bitmap& bitmap) {
  if (dc.kind != Kind::MemoryDc) return nullptr;
  if (dc.bitmap == h) return h;
  // A bitmap lives in one DC at a time; only the stock bitmap is shared by every new memory DC.
  if (!bitmap.stock && bitmap.selections > 0) return nullptr;
  return Swap(dc.bitmap, h);
}

}  // namespace
}  // namespace gdi

HDC GdiCreateDisplayDC(DisplaySurface* surface) {
  GdiGuard guard(GdiLock());
  if (surface == nullptr) return nullptr;
  auto dc = gdi::NewDc(gdi::Kind::DisplayDc);
  dc->surface = surface;
  return static_cast<HDC>(gdi::Insert(std::move(dc)));
}

void GdiDeleteDisplayDC(HDC h) {
  GdiGuard guard(GdiLock());
  gdi::Dc* dc = gdi::FindDc(h);
  if (dc != nullptr && dc->kind == gdi::Kind::DisplayDc) gdi::DestroyDc(h, dc);
}

}  // namespace platform

using namespace platform;
using namespace platform::gdi;

HDC CreateCompatibleDC(HDC hdc) {
  GdiGuard guard(GdiLock());
  int deviceWidth = 0;
  int deviceHeight = 0;
  if (hdc != nullptr) {
    Dc* source = FindDc(hdc);
    if (source == nullptr) return nullptr;
    if (source->kind == Kind::DisplayDc && source->surface != nullptr) {
      deviceWidth = source->surface->width;
      deviceHeight = source->surface->height;
    } else {
      deviceWidth = source->deviceWidth;
      deviceHeight = source->deviceHeight;
    }
  }
  auto dc = NewDc(Kind::MemoryDc);
  dc->deviceWidth = deviceWidth;
  dc->deviceHeight = deviceHeight;
  return static_cast<HDC>(Insert(std::move(dc)));
}

BOOL DeleteDC(HDC hdc) {
  GdiGuard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  // A display DC goes back through ReleaseDC or EndPaint.
  if (dc == nullptr || dc->kind != Kind::MemoryDc) return FALSE;
  DestroyDc(hdc, dc);
  return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  GdiGuard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  Object* object = Find(h);
  if (dc == nullptr || object == nullptr) return nullptr;
  switch (object->kind) {
    case Kind::Pen: return Swap(dc->pen, h);
    case Kind::Brush: return Swap(dc->brush, h);
    case Kind::Font: return Swap(dc->font, h);
    case Kind::Bitmap: return SelectBitmap(*dc, h, *static_cast<Bitmap*>(object));
    default: return nullptr;
  }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  GdiGuard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  if (dc == nullptr) return nullptr;
  switch (type) {
    case OBJ_PEN: return dc->pen;
    case OBJ_BRUSH: return dc->brush;
    case OBJ_FONT: return dc->font;
    case OBJ_BITMAP: return dc->bitmap;
    default: return nullptr;
  }
}

int GetDeviceCaps(HDC hdc, int index) {
  GdiGuard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  if (dc == nullptr) return 0;
  int width = dc->deviceWidth;
  int height = dc->deviceHeight;
  if (dc->kind == Kind::DisplayDc && dc->surface != nullptr) {
    width = dc->surface->width;
    height = dc->surface->height;
  } else if (width == 0 || height == 0) {
    // A memory DC made without a device: its bitmap is all the device it has.
    Canvas canvas = CanvasOf(*dc);
    width = canvas.width;
    height = canvas.height;
  }
  switch (index) {
    case HORZRES: return width;
    case VERTRES: return height;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    default: return 0;
  }
}

namespace {

// Sets one of a DC's settings and gives the previous value; `failure` for a bad DC or an invalid value.
template <typename T>
T SwapSetting(HDC hdc, T Dc::*field, T value, bool valid, T failure) {
  GdiGuard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  if (dc == nullptr || !valid) return failure;
  return std::exchange(dc->*field, value);
}

template <typename T>
T ReadSetting(HDC hdc, T Dc::*field, T failure) {
  GdiGuard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  return dc != nullptr ? dc->*field : failure;
}

}  // namespace

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  return SwapSetting(hdc, &Dc::textColor, color & 0x00FFFFFFu, true, CLR_INVALID);
}
COLORREF GetTextColor(HDC hdc) { return ReadSetting(hdc, &Dc::textColor, CLR_INVALID); }
COLORREF SetBkColor(HDC hdc, COLORREF color) {
  return SwapSetting(hdc, &Dc::bkColor, color & 0x00FFFFFFu, true, CLR_INVALID);
}
COLORREF GetBkColor(HDC hdc) { return ReadSetting(hdc, &Dc::bkColor, CLR_INVALID); }
int SetBkMode(HDC hdc, int mode) {
  return SwapSetting(hdc, &Dc::bkMode, mode, mode == OPAQUE || mode == TRANSPARENT, 0);
}
int GetBkMode(HDC hdc) { return ReadSetting(hdc, &Dc::bkMode, 0); }
int SetStretchBltMode(HDC hdc, int mode) {
  return SwapSetting(hdc, &Dc::stretchMode, mode, mode >= BLACKONWHITE && mode <= HALFTONE, 0);
}
int GetStretchBltMode(HDC hdc) { return ReadSetting(hdc, &Dc::stretchMode, 0); }

namespace {

// Moves one of a DC's points, giving the previous one through `previous` when asked.
BOOL SwapPoint(HDC hdc, POINT Dc::*field, POINT value, LPPOINT previous) {
  GdiGuard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  if (dc == nullptr) return FALSE;
  const POINT old = std::exchange(dc->*field, value);
  if (previous != nullptr) *previous = old;
  return TRUE;
}

}  // namespace

BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt) { return SwapPoint(hdc, &Dc::brushOrigin, POINT{x, y}, lppt); }

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) { return SwapPoint(hdc, &Dc::position, POINT{x, y}, lppt); }
