#include "platform/kernel32/handle_table.h"

#include <mutex>

#include "platform/handle_table.h"

namespace platform::kernel {
namespace {

struct Table {
  std::mutex mutex;
  HandleTable<std::shared_ptr<KernelObject>, 20> handles;  // a million live kernel objects
};

Table& TheTable() {
  static Table* table = new Table;  // never destroyed: handles stay valid during static destruction
  return *table;
}

uintptr_t ValueOf(HANDLE handle) { return reinterpret_cast<uintptr_t>(handle); }

}  // namespace

HANDLE HandleInsert(std::shared_ptr<KernelObject> object) {
  Table& table = TheTable();
  std::lock_guard<std::mutex> lock(table.mutex);
  const uint32_t value = table.handles.Insert(std::move(object));
  if (value == 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value));
}

std::shared_ptr<KernelObject> HandleLookupAny(HANDLE handle) {
  Table& table = TheTable();
  std::lock_guard<std::mutex> lock(table.mutex);
  std::shared_ptr<KernelObject>* object = table.handles.Find(ValueOf(handle));
  if (object == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return *object;
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
    std::shared_ptr<KernelObject>* found = table.handles.Find(ValueOf(handle));
    if (found == nullptr || !(kindMask & KindBit((*found)->kind))) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
    object = table.handles.Remove(ValueOf(handle));
  }
  // The caller drops the last reference outside the table's lock: a file's destructor takes locks.
  return object;
}

}  // namespace platform::kernel
