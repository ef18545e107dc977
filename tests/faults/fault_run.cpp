#include "tests/faults/fault_run.h"

#include <cstring>

#include "console/console_state.h"
#include "platform/win32.h"
#include "program/demo.h"
#include "program/program_main.h"
#include "runtime/strings.h"
#include "support/display.h"
#include "tools/dc_pixels.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

RunRecord* theRecord = nullptr;
DWORD mainThread = 0;

void OnAllocationFailed(const char* what) {
  std::strncpy(theRecord->failedWhat, what, sizeof theRecord->failedWhat - 1);
  theRecord->failedPhase = theRecord->phase.load();
  theRecord->failedOnMainThread = GetCurrentThreadId() == mainThread ? 1 : 0;
  theRecord->failed = 1;
}

int32_t LiveStrings() {
  EnterCriticalSection(&stringRegistry.lock);
  const int32_t count = stringRegistry.count;
  LeaveCriticalSection(&stringRegistry.lock);
  return count;
}

uint64_t PictureHash(HWND window) {
  PixelImage image;
  if (!ReadClientPixels(window, &image)) return 0;
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (uint32_t pixel : image.pixels) hash = (hash ^ pixel) * 1099511628211ull;
  return hash ^ (static_cast<uint64_t>(image.width) << 32 | static_cast<uint32_t>(image.height));
}

// Whether LeakSanitizer finds a block that nothing points to any more.
int32_t LeakCheck() {
#if defined(__SANITIZE_ADDRESS__)
  return __lsan_do_recoverable_leak_check() != 0 ? 1 : 0;
#else
  return 0;
#endif
}

}  // namespace

void RunDemoUnderFault(SupportAllocation kind, uint64_t n, SupportFailing failing, RunRecord* record) {
  theRecord = record;
  mainThread = GetCurrentThreadId();
  SupportUseHeadlessDisplay();
  SupportFailAllocation(kind, n, failing, &OnAllocationFailed);
  ProgramStartup();
  record->phase = kPhaseSetUp;
  DemoSetUp();
  for (int step = 1; step <= kDemoLastStep; ++step) {
    record->phase = kPhaseScriptStep + step - 1;
    DemoRunStep(step, false);
  }
  record->phase = kPhaseChecks;
  record->idle = SupportWaitIdle(console.consoleWindow) ? 1 : 0;
  const SupportAllocationReport seen = SupportStopAllocationFaults();
  record->heapAllocations = seen.heap;
  record->gdiObjectsMade = seen.gdiObjects;
  record->liveGdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  record->liveStrings = LiveStrings();
  record->pictureHash = PictureHash(console.consoleWindow);
  record->leaks = LeakCheck();
  record->finished = 1;
  // The documented end: the user closes the window, and the window's thread ends the process.
  SupportCloseWindow(console.consoleWindow);
  Sleep(INFINITE);
  ExitProcess(4);
}
