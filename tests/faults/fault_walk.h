// Running the demonstration under an allocation failure, once per failure point, each run in a
// process of its own, a few at a time, each within a time bound; and judging how each run ended.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/faults/fault_run.h"

// How a run ended. Every end but kUndocumented is one that our docs/architecture.md gives.
enum class Ending {
  kCompleted,              // the demonstration ran to its end and the window closed with code 0
  kRuntimeHeapExhausted,   // the runtime said it cannot allocate and ended with code 3
  kConsoleCannotStart,     // the console said what it cannot create and ended with code 1
  kUndocumented,           // anything else: a signal, a sanitizer's report, a hang, another code
};
const char* EndingName(Ending ending);

struct RunResult {
  SupportAllocation kind = SupportAllocation::kHeap;
  uint64_t n = 0;
  bool started = true;     // false: no process could be made for it
  int status = 0;          // as waitpid gives it
  bool hung = false;       // killed after the time bound
  std::string output;      // what the run wrote on stdout and stderr
  // A copy of the run's record.
  bool failed = false;
  int32_t failedPhase = -1;
  bool failedOnMainThread = false;
  std::string failedWhat;
  bool finished = false;
  bool idle = false;
  uint64_t heapAllocations = 0;
  uint64_t gdiObjectsMade = 0;
  uint32_t liveGdiObjects = 0;
  int32_t liveStrings = -1;
  bool leaks = false;
  uint64_t pictureHash = 0;
};

// The runs of `points` of one kind, at most `parallel` at a time, in `directory` (where the picture
// is), each killed after `boundMs` and then counted as hung. In the order of `points`.
std::vector<RunResult> RunPoints(SupportAllocation kind, SupportFailing failing, const std::vector<uint64_t>& points,
                                 const std::string& directory, int parallel, int boundMs);

// How `run` ended, judged against the run without any failure (`clean`); `why` says what was wrong
// with an undocumented end.
Ending Judge(const RunResult& run, const RunResult& clean, std::string* why);

// "start-up", "set-up", "script step 3", ...
std::string PhaseName(int32_t phase);
