// Waits and sleeps. Every wait blocks on the dispatcher's condition (no spinning) and wakes when an
// object changes state, its time runs out, or its thread is asked to terminate.
#include <sched.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/kernel32/dispatcher.h"

namespace platform::kernel {

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point DeadlineAfter(DWORD milliseconds) {
  return Clock::now() + std::chrono::milliseconds(milliseconds);
}

// Sleep of a thread that nobody can terminate: the main thread and threads made without CreateThread.
void PlainSleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
  } else if (milliseconds == INFINITE) {
    for (;;) pause();  // no deadline: an idle process is woken by nothing but a signal
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
}

}  // namespace
}  // namespace platform::kernel

using namespace platform::kernel;

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  std::shared_ptr<KernelObject> any = HandleLookupAny(hHandle);
  if (!any) return WAIT_FAILED;
  if (any->kind != ObjectKind::Thread && any->kind != ObjectKind::Event) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  auto* object = static_cast<Waitable*>(any.get());
  Clock::time_point deadline = dwMilliseconds == INFINITE ? Clock::time_point::max() : DeadlineAfter(dwMilliseconds);
  std::unique_lock<std::mutex> lock(DispatchLock());
  for (;;) {
    if (object->Signaled()) {
      object->Acquire();
      return WAIT_OBJECT_0;
    }
    DWORD code;
    if (TerminationPending(&code)) {
      lock.unlock();
      throw ThreadExitUnwind{code};
    }
    if (dwMilliseconds == 0) return WAIT_TIMEOUT;
    if (dwMilliseconds == INFINITE) {
      DispatchChanged().wait(lock);
    } else if (DispatchChanged().wait_until(lock, deadline) == std::cv_status::timeout) {
      if (object->Signaled()) continue;
      return WAIT_TIMEOUT;
    }
  }
}

void Sleep(DWORD dwMilliseconds) {
  if (!CurrentThreadTerminable()) {
    PlainSleep(dwMilliseconds);
    return;
  }
  DWORD code;
  Clock::time_point deadline = DeadlineAfter(dwMilliseconds == INFINITE ? 0 : dwMilliseconds);
  {
    std::unique_lock<std::mutex> lock(DispatchLock());
    if (dwMilliseconds != 0) {
      auto asked = [] {
        DWORD ignored;
        return TerminationPending(&ignored);
      };
      if (dwMilliseconds == INFINITE) {
        DispatchChanged().wait(lock, asked);
      } else {
        DispatchChanged().wait_until(lock, deadline, asked);
      }
    }
    if (!TerminationPending(&code)) {
      lock.unlock();
      if (dwMilliseconds == 0) sched_yield();
      return;
    }
  }
  throw ThreadExitUnwind{code};
}
