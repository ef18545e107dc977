// The typed handle table of GDI objects and the stock objects.
//
// A handle is 32 bits: a tag bit, a generation count and a slot index. A slot that is reused gets a new
// generation, so a handle kept after DeleteObject no longer finds anything (it does not find the
// slot's next tenant).
#include <cstring>

#include "platform/gdi32/gdi_objects.h"

namespace platform {

GdiMutex& GdiLock() {
  static GdiMutex lock;
  return lock;
}

DWORD GdiLiveObjectCount() {
  GdiGuard guard(GdiLock());
  return gdi::LiveCount();
}

namespace gdi {
namespace {

constexpr uint32_t kTag = 0x40000000u;
constexpr uint32_t kIndexBits = 16;
constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;  // slot 0 is never used: no handle is kTag alone
constexpr uint32_t kGenerationMask = 0x3FFFu;

struct Slot {
  uint32_t generation = 0;
  std::unique_ptr<Object> object;
};

struct Table {
  std::vector<Slot> slots = std::vector<Slot>(1);
  std::vector<uint32_t> freeSlots;
  DWORD live = 0;
};

Table& TheTable() {
  static Table table;
  return table;
}

uint32_t HandleValue(HGDIOBJ h) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(h)); }

// Splits a handle into its slot; null when it cannot be one of ours.
Slot* SlotOf(HGDIOBJ h) {
  uintptr_t raw = reinterpret_cast<uintptr_t>(h);
  if (raw > 0xFFFFFFFFu || (raw & kTag) == 0 || (raw & 0x80000000u) != 0) return nullptr;
  uint32_t value = HandleValue(h);
  uint32_t index = value & kIndexMask;
  uint32_t generation = (value >> kIndexBits) & kGenerationMask;
  Table& table = TheTable();
  if (index == 0 || index >= table.slots.size()) return nullptr;
  Slot& slot = table.slots[index];
  if (!slot.object || slot.generation != generation) return nullptr;
  return &slot;
}

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

}  // namespace

HGDIOBJ Insert(std::unique_ptr<Object> object) {
  Table& table = TheTable();
  uint32_t index;
  if (!table.freeSlots.empty()) {
    index = table.freeSlots.back();
    table.freeSlots.pop_back();
  } else {
    if (table.slots.size() > kIndexMask) return nullptr;
    index = static_cast<uint32_t>(table.slots.size());
    table.slots.emplace_back();
  }
  Slot& slot = table.slots[index];
  slot.generation = (slot.generation + 1) & kGenerationMask;
  if (!object->stock) ++table.live;
  slot.object = std::move(object);
  uint32_t value = kTag | (slot.generation << kIndexBits) | index;
  return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(value));
}

Object* Find(HGDIOBJ h) {
  Slot* slot = SlotOf(h);
  return slot != nullptr ? slot->object.get() : nullptr;
}

Dc* FindDc(HGDIOBJ h) {
  Object* object = Find(h);
  if (object == nullptr || (object->kind != Kind::MemoryDc && object->kind != Kind::DisplayDc)) return nullptr;
  return static_cast<Dc*>(object);
}

void Erase(HGDIOBJ h) {
  Slot* slot = SlotOf(h);
  if (slot == nullptr) return;
  Table& table = TheTable();
  if (!slot->object->stock) --table.live;
  slot->object.reset();
  table.freeSlots.push_back(HandleValue(h) & kIndexMask);
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
