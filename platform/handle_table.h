// Inside the platform layer only: the table of objects behind handle values, one per kind of handle
// (KERNEL objects, GDI objects, windows).
//
// A handle value is Tag | generation << (SlotBits + 2) | (slot + 1) << 2: a non-zero multiple of four
// that fits in 32 bits. A slot's generation moves on when its object is removed, so a handle kept after
// its object was closed does not find the slot's next tenant. The table has no lock of its own: each
// owner guards it with the lock under which it uses the objects.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace platform {

template <typename Pointer, unsigned SlotBits, uint32_t Tag = 0>
class HandleTable {
  static constexpr unsigned kGenerationShift = SlotBits + 2;
  static_assert(SlotBits >= 8 && kGenerationShift < 30, "room is left for a generation");
  static_assert((uint64_t{Tag} & ((uint64_t{1} << kGenerationShift) - 1)) == 0, "the tag lies above the slots");
  // The generation takes the bits from kGenerationShift up to the tag's lowest bit (or bit 31).
  static constexpr uint64_t kTagLow = Tag == 0 ? uint64_t{1} << 32 : uint64_t{Tag} & (~uint64_t{Tag} + 1);
  static constexpr uint32_t kGenerationMask = static_cast<uint32_t>((kTagLow >> kGenerationShift) - 1);
  static constexpr uint32_t kSlotMask = (1u << SlotBits) - 1;

 public:
  // Slot numbers run from 1, so the slot field of a valid handle is never 0.
  static constexpr size_t kMaxSlots = kSlotMask;

  // Enters `object`; 0 when every slot is taken.
  uint32_t Insert(Pointer object) {
    uint32_t slot;
    if (!free_.empty()) {
      slot = free_.back();
      free_.pop_back();
    } else if (slots_.size() < kMaxSlots) {
      slot = static_cast<uint32_t>(slots_.size());
      slots_.emplace_back();
    } else {
      return 0;
    }
    slots_[slot].object = std::move(object);
    return Tag | (slots_[slot].generation << kGenerationShift) | ((slot + 1) << 2);
  }

  // The object behind `value`; null for 0, a value that cannot be ours, or a stale handle.
  Pointer* Find(uintptr_t value) {
    Slot* slot = SlotOf(value);
    return slot != nullptr ? &slot->object : nullptr;
  }

  // Takes the object out of its slot and makes the handle stale; an empty pointer when there was none.
  Pointer Remove(uintptr_t value) {
    Slot* slot = SlotOf(value);
    if (slot == nullptr) return Pointer();
    Pointer object = std::move(slot->object);
    slot->object = Pointer();
    slot->generation = (slot->generation + 1) & kGenerationMask;
    free_.push_back(static_cast<uint32_t>(slot - slots_.data()));
    return object;
  }

  // Calls f(object) for every live object, in slot order.
  template <typename F>
  void ForEach(F&& f) const {
    for (const Slot& slot : slots_)
      if (slot.object) f(slot.object);
  }

 private:
  struct Slot {
    uint32_t generation = 0;
    Pointer object;
  };

  Slot* SlotOf(uintptr_t value) {
    if (value == 0 || value > UINT32_MAX || (value & 3) != 0) return nullptr;
    const uint32_t bits = static_cast<uint32_t>(value);
    if ((static_cast<uint64_t>(bits) & ~(kTagLow - 1)) != Tag) return nullptr;
    const uint32_t number = (bits >> 2) & kSlotMask;
    const uint32_t generation = (bits >> kGenerationShift) & kGenerationMask;
    if (number == 0 || number > slots_.size()) return nullptr;
    Slot& slot = slots_[number - 1];
    if (!slot.object || slot.generation != generation) return nullptr;
    return &slot;
  }

  std::vector<Slot> slots_;
  std::vector<uint32_t> free_;
};

}  // namespace platform
