#include "platform/kernel32/handle_table.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace platform::kernel {
namespace {

constexpr unsigned kSlotBits = 20;  // a million live kernel objects
constexpr uint32_t kSlotMask = (1u << kSlotBits) - 1;
constexpr uint32_t kGenerationMask = (1u << (32 - 2 - kSlotBits)) - 1;
constexpr size_t kMaxSlots = kSlotMask;  // slot + 1 must fit in the slot bits

struct Slot {
  uint32_t generation = 0;
  std::shared_ptr<KernelObject> object;
};

struct Table {
  std::mutex mutex;
  std::vector<Slot> slots;
  std::vector<uint32_t> freeSlots;
};

Table& TheTable() {
  static Table* table = new Table;  // never destroyed: handles stay valid during static destruction
  return *table;
}

HANDLE Encode(uint32_t slot, uint32_t generation) {
  uint32_t value = ((generation & kGenerationMask) << (kSlotBits + 2)) | ((slot + 1) << 2);
  return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value));
}

// The slot a handle names, or false when the value cannot be one of ours or is stale.
bool Decode(const Table& table, HANDLE handle, uint32_t* slot) {
  uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  if (value == 0 || value > UINT32_MAX || (value & 3) != 0) return false;
  uint32_t index = static_cast<uint32_t>((value >> 2) & kSlotMask);
  uint32_t generation = static_cast<uint32_t>(value >> (kSlotBits + 2));
  if (index == 0 || index > table.slots.size()) return false;
  const Slot& s = table.slots[index - 1];
  if (!s.object || (s.generation & kGenerationMask) != generation) return false;
  *slot = index - 1;
  return true;
}

}  // namespace

HANDLE HandleInsert(std::shared_ptr<KernelObject> object) {
  Table& table = TheTable();
  std::lock_guard<std::mutex> lock(table.mutex);
  uint32_t slot;
  if (!table.freeSlots.empty()) {
    slot = table.freeSlots.back();
    table.freeSlots.pop_back();
  } else if (table.slots.size() < kMaxSlots) {
    slot = static_cast<uint32_t>(table.slots.size());
    table.slots.emplace_back();
  } else {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  table.slots[slot].object = std::move(object);
  return Encode(slot, table.slots[slot].generation);
}

std::shared_ptr<KernelObject> HandleLookupAny(HANDLE handle) {
  Table& table = TheTable();
  std::lock_guard<std::mutex> lock(table.mutex);
  uint32_t slot;
  if (!Decode(table, handle, &slot)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return table.slots[slot].object;
}

std::shared_ptr<KernelObject> HandleLookup(HANDLE handle, ObjectKind kind) {
  std::shared_ptr<KernelObject> object = HandleLookupAny(handle);
  if (object && object->kind != kind) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return object;
}

std::shared_ptr<KernelObject> HandleRemove(HANDLE handle, unsigned kindMask) {
  std::shared_ptr<KernelObject> object;
  {
    Table& table = TheTable();
    std::lock_guard<std::mutex> lock(table.mutex);
    uint32_t slot;
    if (!Decode(table, handle, &slot) || !(kindMask & KindBit(table.slots[slot].object->kind))) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
    object = std::move(table.slots[slot].object);
    table.slots[slot].object.reset();
    table.slots[slot].generation++;
    table.freeSlots.push_back(slot);
  }
  // The caller drops the last reference outside the table's lock: a file's destructor takes locks.
  return object;
}

}  // namespace platform::kernel
