// A test hook over our own platform layer only (the Windows stack has none): make one chosen
// allocation fail, as it would when the system has no memory, and learn what was allocated.
#pragma once

#include <cstdint>
#include <string>

enum class SupportAllocation {
  kHeap,       // HeapAlloc, HeapReAlloc, GlobalAlloc, GlobalReAlloc, a bitmap's pixels, a pattern's copy
  kGdiObject,  // CreatePen, CreateCompatibleDC, GetDC, ...: any GDI object but the stock ones
};

enum class SupportFailing {
  kThatOne,           // the nth allocation fails, the later ones succeed
  kThatOneAndLater,   // the nth and every later one of its kind fail: memory has run out
};

// From now on the nth allocation of `kind` (counting from 1, on any thread) fails, and with
// kThatOneAndLater every later one of that kind too; the others succeed. n = 0 only counts. Until
// this is called nothing is counted and nothing fails. `onFail` hears of the nth failure as it
// happens, on the failing thread, with the allocation's name; it runs inside the allocator and must
// not call Win32.
void SupportFailAllocation(SupportAllocation kind, uint64_t n, SupportFailing failing = SupportFailing::kThatOne,
                           void (*onFail)(const char* what) = nullptr);

struct SupportAllocationReport {
  uint64_t heap = 0;         // allocations of each kind since SupportFailAllocation
  uint64_t gdiObjects = 0;
  bool failed = false;       // the chosen one was reached, and failed
  std::string failedWhat;    // "HeapAlloc", "GDI pen", "bitmap pixels", ...
  bool failedOnCallingThread = false;  // on the thread that called SupportFailAllocation
  uint64_t failures = 0;     // allocations made to fail, the nth included
};

// Stops counting and failing, and says what happened since SupportFailAllocation.
SupportAllocationReport SupportStopAllocationFaults();
