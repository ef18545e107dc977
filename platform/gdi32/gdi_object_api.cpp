// The object calls: stock objects, pens, brushes, fonts, and what every object shares (type, contents,
// deletion).
#include <algorithm>
#include <cstring>

#include "platform/gdi32/gdi_objects.h"
#include "platform/kernel32/allocation_faults.h"

using namespace platform;
using namespace platform::gdi;

namespace {


// Copies `value` into the caller's buffer as GetObjectA does: the size needed when there is no
// buffer, else as many bytes as fit.
template <typename T>
int CopyOut(const T& value, int c, LPVOID pv) {
  if (pv == nullptr) return static_cast<int>(sizeof(T));
  if (c <= 0) return 0;
  size_t n = std::min(static_cast<size_t>(c), sizeof(T));
  std::memcpy(pv, &value, n);
  return static_cast<int>(n);
}

}  // namespace

HGDIOBJ GetStockObject(int i) {
  GdiGuard guard(GdiLock());
  return Stock(i);
}

DWORD GetObjectType(HGDIOBJ h) {
  GdiGuard guard(GdiLock());
  Object* object = Find(h);
  if (object == nullptr) return 0;
  switch (object->kind) {
    case Kind::Bitmap: return OBJ_BITMAP;
    case Kind::Pen: return OBJ_PEN;
    case Kind::Brush: return OBJ_BRUSH;
    case Kind::Font: return OBJ_FONT;
    case Kind::MemoryDc: return OBJ_MEMDC;
    case Kind::DisplayDc: return OBJ_DC;
  }
  return 0;
}

int GetObjectA(HANDLE h, int c, LPVOID pv) {
  GdiGuard guard(GdiLock());
  Object* object = Find(h);
  if (object == nullptr) return 0;
  switch (object->kind) {
    case Kind::Bitmap: {
      auto* bitmap = static_cast<Bitmap*>(object);
      BITMAP info{};
      info.bmWidth = bitmap->width;
      info.bmHeight = bitmap->height;
      info.bmWidthBytes = bitmap->bitsPixel == 1 ? ((bitmap->width + 15) / 16) * 2 : bitmap->width * (bitmap->bitsPixel / 8);
      info.bmPlanes = 1;
      info.bmBitsPixel = static_cast<WORD>(bitmap->bitsPixel);
      // A BITMAP is all or nothing.
      if (pv != nullptr && c < static_cast<int>(sizeof(BITMAP))) return 0;
      return CopyOut(info, c, pv);
    }
    case Kind::Pen: {
      auto* pen = static_cast<Pen*>(object);
      LOGPEN info{static_cast<UINT>(pen->style), POINT{pen->width, 0}, pen->color};
      return CopyOut(info, c, pv);
    }
    case Kind::Brush: {
      auto* brush = static_cast<Brush*>(object);
      LOGBRUSH info{brush->style, brush->style == BS_SOLID ? brush->color : 0, 0};
      return CopyOut(info, c, pv);
    }
    case Kind::Font: return CopyOut(static_cast<Font*>(object)->logfont, c, pv);
    default: return 0;
  }
}

BOOL DeleteObject(HGDIOBJ ho) {
  GdiGuard guard(GdiLock());
  Object* object = Find(ho);
  if (object == nullptr || object->kind == Kind::MemoryDc || object->kind == Kind::DisplayDc) return FALSE;
  if (object->stock) return TRUE;
  // An object still selected into a DC stays alive; the caller must select it out first.
  if (object->selections > 0) return FALSE;
  Erase(ho);
  return TRUE;
}

HPEN CreatePen(int iStyle, int cWidth, COLORREF color) {
  GdiGuard guard(GdiLock());
  if (iStyle != PS_SOLID && iStyle != PS_NULL) return nullptr;
  auto pen = std::make_unique<Pen>();
  pen->style = iStyle;
  pen->width = std::max(cWidth, 0);
  pen->color = color & 0x00FFFFFFu;
  return static_cast<HPEN>(Insert(std::move(pen)));
}

HBRUSH CreateSolidBrush(COLORREF color) {
  GdiGuard guard(GdiLock());
  auto brush = std::make_unique<Brush>();
  brush->color = color & 0x00FFFFFFu;
  return static_cast<HBRUSH>(Insert(std::move(brush)));
}

HBRUSH CreatePatternBrush(HBITMAP hbm) {
  GdiGuard guard(GdiLock());
  Bitmap* bitmap = FindBitmap(hbm);
  if (bitmap == nullptr || bitmap->pixels.empty()) return nullptr;
  if (AllocationFails(AllocationKind::kHeap, "pattern brush pixels")) return nullptr;
  // The brush keeps its own copy: later changes to the bitmap, or its deletion, do not reach it.
  auto brush = std::make_unique<Brush>();
  brush->style = BS_PATTERN;
  brush->patternWidth = bitmap->width;
  brush->patternHeight = bitmap->height;
  brush->pattern = bitmap->pixels;
  if (bitmap->bitsPixel == 1) {
    // The bitmap's pixels are black or white unless something was drawn on it in colour; such a
    // pixel counts as the nearer of the two.
    brush->monochrome = true;
    for (uint32_t& pixel : brush->pattern) pixel = MonochromeBit(pixel);
  }
  return static_cast<HBRUSH>(Insert(std::move(brush)));
}

HFONT CreateFontIndirectA(const LOGFONTA* lplf) {
  GdiGuard guard(GdiLock());
  if (lplf == nullptr) return nullptr;
  // The face is found on first use by a text call, so making a font never touches the font files.
  auto font = std::make_unique<Font>();
  font->logfont = *lplf;
  font->logfont.lfFaceName[LF_FACESIZE - 1] = '\0';
  return static_cast<HFONT>(Insert(std::move(font)));
}
