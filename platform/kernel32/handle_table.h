// Inside KERNEL32 only: the typed, checked table behind every kernel handle.
//
// A handle value is (generation << 22) | (slot + 1) << 2 (platform/handle_table.h): a multiple of four
// that fits in 32 bits, never 0, never INVALID_HANDLE_VALUE, and stale once its object is closed.
// A lookup of a null, closed, foreign or wrong-kind handle fails with ERROR_INVALID_HANDLE.
#pragma once

#include <memory>

#include "platform/kernel32/kernel32.h"

namespace platform::kernel {

enum class ObjectKind { Heap, Thread, Event, File, Global };

struct KernelObject {
  explicit KernelObject(ObjectKind k) : kind(k) {}
  virtual ~KernelObject() = default;
  KernelObject(const KernelObject&) = delete;
  KernelObject& operator=(const KernelObject&) = delete;
  const ObjectKind kind;
};

// Enters an object; null (with ERROR_NOT_ENOUGH_MEMORY) when the table is full.
HANDLE HandleInsert(std::shared_ptr<KernelObject> object);

// The object behind a handle if it is of the given kind; otherwise null and ERROR_INVALID_HANDLE.
std::shared_ptr<KernelObject> HandleLookup(HANDLE handle, ObjectKind kind);

// Any object behind a handle, whatever its kind; null and ERROR_INVALID_HANDLE if none.
std::shared_ptr<KernelObject> HandleLookupAny(HANDLE handle);

// Removes the handle if it refers to an object of one of the kinds in `kindMask` (bits 1 << kind) and
// gives back the object; otherwise null and ERROR_INVALID_HANDLE. The object lives on while others
// still hold it.
std::shared_ptr<KernelObject> HandleRemove(HANDLE handle, unsigned kindMask);

constexpr unsigned KindBit(ObjectKind kind) { return 1u << static_cast<unsigned>(kind); }

template <class T>
std::shared_ptr<T> HandleGet(HANDLE handle) {
  return std::static_pointer_cast<T>(HandleLookup(handle, T::kKind));
}

}  // namespace platform::kernel
