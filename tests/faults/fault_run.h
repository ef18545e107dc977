// One run of the demonstration, set-up and script on the headless display, with one allocation made
// to fail, in a process of its own. The run tells its parent what happened through a record in memory
// that both share.
#pragma once

#include <atomic>
#include <cstdint>

#include "support/allocation_faults.h"

// Where the main thread is: start-up, set-up, script step k (kScriptStep + k - 1), the checks after.
enum RunPhase : int32_t { kPhaseStartUp = 0, kPhaseSetUp = 1, kPhaseScriptStep = 2, kPhaseChecks = 13 };

struct RunRecord {
  std::atomic<int32_t> phase{kPhaseStartUp};
  // Set as the chosen allocation fails.
  std::atomic<int32_t> failed{0};
  std::atomic<int32_t> failedPhase{-1};
  std::atomic<int32_t> failedOnMainThread{0};
  char failedWhat[40] = {};
  // Set once the demonstration has run, before the run closes its window.
  std::atomic<int32_t> finished{0};
  int32_t idle = 0;           // the window's thread went idle
  uint64_t heapAllocations = 0;
  uint64_t gdiObjectsMade = 0;
  uint32_t liveGdiObjects = 0;
  int32_t liveStrings = -1;   // entries in the string registry once idle
  int32_t leaks = 0;          // LeakSanitizer found unreachable blocks (ASan builds)
  uint64_t pictureHash = 0;   // of the window's client area
};

// The child's whole life: runs the demonstration in the current directory with the nth allocation
// of `kind` failing (n = 0: none), and with kThatOneAndLater every later one too; fills `record`,
// then closes the window, which ends the process with code 0. Any other end is the run's failure
// result: an exit code of its own, a signal, a hang.
[[noreturn]] void RunDemoUnderFault(SupportAllocation kind, uint64_t n, SupportFailing failing, RunRecord* record);
