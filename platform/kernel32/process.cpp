// The process: its pseudo-handle, its module handle, and ExitProcess.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/kernel32/kernel32.h"
#include "platform/kernel32/process_exit.h"

namespace {

// The image base that a 32-bit executable is linked at: any non-null value would do.
const HMODULE kModuleHandle = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x00400000));

struct ExitHooks {
  std::mutex mutex;
  std::vector<void (*)()> hooks;
  std::thread::id exitingThread;  // set once, by the first ExitProcess
  bool exiting = false;
};

ExitHooks& Hooks() {
  static auto* hooks = new ExitHooks;  // must survive static destruction: a hook may run during it
  return *hooks;
}

// Flushes stdout and stderr. Another thread may hold a stream's lock for ever (blocked on a full pipe,
// say), and the process must end all the same, so each stream gets a short while and is then left.
void FlushStandardStreams() {
  for (FILE* stream : {stdout, stderr}) {
    for (int attempt = 0; attempt < 100; attempt++) {
      if (ftrylockfile(stream) == 0) {
        fflush_unlocked(stream);
        funlockfile(stream);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
}

}  // namespace

void KernelAtExitProcess(void (*hook)()) {
  ExitHooks& hooks = Hooks();
  std::lock_guard<std::mutex> lock(hooks.mutex);
  hooks.hooks.push_back(hook);
}

HANDLE GetCurrentProcess(void) { return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)); }
DWORD GetCurrentProcessId(void) { return static_cast<DWORD>(getpid()); }

HMODULE GetModuleHandleA(LPCSTR lpModuleName) {
  if (lpModuleName == nullptr) return kModuleHandle;
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

void ExitProcess(UINT uExitCode) {
  ExitHooks& hooks = Hooks();
  std::vector<void (*)()> toRun;
  {
    std::unique_lock<std::mutex> lock(hooks.mutex);
    if (hooks.exiting) {
      // Called again from a hook: end now. Called from another thread: the first caller ends the
      // process shortly; this thread must not run on meanwhile.
      bool reentered = hooks.exitingThread == std::this_thread::get_id();
      lock.unlock();
      if (reentered) {
        FlushStandardStreams();
        _exit(static_cast<int>(uExitCode));
      }
      for (;;) pause();
    }
    hooks.exiting = true;
    hooks.exitingThread = std::this_thread::get_id();
    toRun.assign(hooks.hooks.rbegin(), hooks.hooks.rend());
  }
  FlushStandardStreams();
  for (void (*hook)() : toRun) hook();
  FlushStandardStreams();
  _exit(static_cast<int>(uExitCode));
}
