// The typed handle table of GDI objects and the stock objects. A handle kept after DeleteObject no
// longer finds anything (it does not find the slot's next tenant).
#include <cstring>

#include "platform/gdi32/gdi_objects.h"
#include "platform/handle_table.h"
#include "platform/kernel32/allocation_faults.h"

namespace platform {

DWORD GdiLiveObjectCount() {
  GdiGuard guard(GdiLock());
  return gdi::LiveCount();
}

namespace gdi {
namespace {

// A GDI handle has bit 30 set and bit 31 clear; 65535 slots, 12 bits of generation.
struct Table {
  HandleTable<std::unique_ptr<Object>, 16, 0x40000000u> handles;
  DWORD live = 0;
};

Table& TheTable() {
  static Table table;
  return table;
}

uintptr_t ValueOf(HGDIOBJ h) { return reinterpret_cast<uintptr_t>(h); }

LOGFONTA DefaultLogFont(LONG height, BYTE charSet, BYTE pitchAndFamily) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = charSet;
  lf.lfPitchAndFamily = pitchAndFamily;
  return lf;
}

std::unique_ptr<Object> MakeStock(int index) {
  auto solidBrush = [](COLORREF color) {
    auto brush = std::make_unique<Brush>();
    brush->color = color;
    return brush;
  };
  auto pen = [](int style, COLORREF color) {
    auto p = std::make_unique<Pen>();
    p->style = style;
    p->color = color;
    return p;
  };
  auto font = [](const LOGFONTA& lf) {
    auto f = std::make_unique<Font>();
    f->logfont = lf;
    return f;
  };
  switch (index) {
    case WHITE_BRUSH: return solidBrush(0xFFFFFF);
    case LTGRAY_BRUSH: return solidBrush(0xC0C0C0);
    case GRAY_BRUSH: return solidBrush(0x808080);
    case DKGRAY_BRUSH: return solidBrush(0x404040);
    case BLACK_BRUSH: return solidBrush(0x000000);
    case NULL_BRUSH: {
      auto brush = std::make_unique<Brush>();
      brush->style = BS_NULL;
      return brush;
    }
    case WHITE_PEN: return pen(PS_SOLID, 0xFFFFFF);
    case BLACK_PEN: return pen(PS_SOLID, 0x000000);
    case NULL_PEN: return pen(PS_NULL, 0x000000);
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT: return font(DefaultLogFont(16, SHIFTJIS_CHARSET, FIXED_PITCH | FF_MODERN));
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT: return font(DefaultLogFont(16, SHIFTJIS_CHARSET, VARIABLE_PITCH));
    case DEFAULT_GUI_FONT: return font(DefaultLogFont(-12, SHIFTJIS_CHARSET, VARIABLE_PITCH));
    default: return nullptr;
  }
}

constexpr int kStockCount = DEFAULT_GUI_FONT + 1;

const char* NameOf(Kind kind) {
  switch (kind) {
    case Kind::Bitmap: return "GDI bitmap";
    case Kind::Pen: return "GDI pen";
    case Kind::Brush: return "GDI brush";
    case Kind::Font: return "GDI font";
    case Kind::MemoryDc: return "GDI memory DC";
    case Kind::DisplayDc: return "GDI display DC";
  }
  return "GDI object";
}

}  // namespace

HGDIOBJ Insert(std::unique_ptr<Object> object) {
  Table& table = TheTable();
  const bool counted = !object->stock;
  // Stock objects exist from the start on Windows: only the objects a caller makes can fail.
  if (counted && AllocationFails(AllocationKind::kGdiObject, NameOf(object->kind))) return nullptr;
  const uint32_t value = table.handles.Insert(std::move(object));
  if (value == 0) return nullptr;
  if (counted) ++table.live;
  return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(value));
}

Object* Find(HGDIOBJ h) {
  std::unique_ptr<Object>* object = TheTable().handles.Find(ValueOf(h));
  return object != nullptr ? object->get() : nullptr;
}

Dc* FindDc(HGDIOBJ h) {
  Object* object = Find(h);
  if (object == nullptr || (object->kind != Kind::MemoryDc && object->kind != Kind::DisplayDc)) return nullptr;
  return static_cast<Dc*>(object);
}

void Erase(HGDIOBJ h) {
  Table& table = TheTable();
  std::unique_ptr<Object> object = table.handles.Remove(ValueOf(h));
  if (object && !object->stock) --table.live;
}

DWORD LiveCount() { return TheTable().live; }

HGDIOBJ Stock(int index) {
  static HGDIOBJ handles[kStockCount] = {};
  if (index < 0 || index >= kStockCount) return nullptr;
  if (handles[index] == nullptr) {
    std::unique_ptr<Object> object = MakeStock(index);
    if (!object) return nullptr;
    object->stock = true;
    handles[index] = Insert(std::move(object));
  }
  return handles[index];
}

HBITMAP StockBitmap() {
  static HBITMAP handle = nullptr;
  if (handle == nullptr) {
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->width = 1;
    bitmap->height = 1;
    bitmap->bitsPixel = 1;
    bitmap->pixels.assign(1, 0x000000);
    bitmap->stock = true;
    handle = static_cast<HBITMAP>(Insert(std::move(bitmap)));
  }
  return handle;
}

Canvas CanvasOf(const Dc& dc) {
  Canvas canvas;
  if (dc.kind == Kind::DisplayDc) {
    if (dc.surface != nullptr && dc.surface->bits != nullptr && dc.surface->width > 0 && dc.surface->height > 0) {
      canvas.bits = dc.surface->bits;
      canvas.width = dc.surface->width;
      canvas.height = dc.surface->height;
    }
    return canvas;
  }
  Bitmap* bitmap = FindBitmap(dc.bitmap);
  if (bitmap != nullptr && !bitmap->pixels.empty()) {
    canvas.bits = bitmap->pixels.data();
    canvas.width = bitmap->width;
    canvas.height = bitmap->height;
  }
  return canvas;
}

void NotifyChanged(const Dc& dc) {
  if (dc.kind == Kind::DisplayDc && dc.surface != nullptr && dc.surface->changed != nullptr) {
    dc.surface->changed(dc.surface);
  }
}

}  // namespace gdi
}  // namespace platform
