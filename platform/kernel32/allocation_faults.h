// Inside the platform layer only: the test hook that makes one chosen allocation fail, so that tests
// can walk every failure point of a run. Unarmed (always, unless a test arms it through
// support/allocation_faults.h) it costs one atomic load and changes nothing.
#pragma once

#include <cstdint>

namespace platform {

enum class AllocationKind : uint8_t {
  kHeap,       // HeapAlloc, HeapReAlloc, GlobalAlloc, GlobalReAlloc, a bitmap's pixels, a pattern's copy
  kGdiObject,  // the creation of a GDI object that is not a stock object (its memory and its handle)
};

// Called where an allocation of `kind` is about to be made; `what` names it for the report (a string
// with static storage). True when the hook is armed and this is the allocation chosen to fail: the
// caller then fails exactly as it does when the system has no memory.
bool AllocationFails(AllocationKind kind, const char* what);

// What the hook saw since it was armed.
struct AllocationFaultReport {
  uint64_t heapCount = 0;       // allocations of each kind made or failed
  uint64_t gdiObjectCount = 0;
  bool failed = false;          // the chosen allocation was reached and failed
  const char* failedWhat = nullptr;  // the chosen allocation, and on which thread
  bool failedOnArmingThread = false;
  uint64_t failures = 0;        // with `andLater`, the later ones too
};

// Arms the hook: from now on the `n`th allocation of `kind` (counting from 1) fails, and with
// `andLater` every later one of that kind too, as when memory has run out; the others succeed. With
// n = 0 nothing fails and the allocations are only counted. `onFail`, when given, is called with the
// allocation's name on the thread whose allocation fails, as the nth fails (inside the allocator,
// perhaps under GDI's lock: it must call nothing of ours).
void ArmAllocationFault(AllocationKind kind, uint64_t n, bool andLater, void (*onFail)(const char* what) = nullptr);
// Disarms it and says what it saw.
AllocationFaultReport DisarmAllocationFault();

}  // namespace platform
