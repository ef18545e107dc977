// Inside KERNEL32 only: the kernel object of a thread made by CreateThread.
#pragma once

#include "platform/kernel32/dispatcher.h"

namespace platform::kernel {

struct ThreadObject : Waitable {
  static constexpr ObjectKind kKind = ObjectKind::Thread;
  ThreadObject() : Waitable(kKind) {}
  bool Signaled() const override { return finished; }

  LPTHREAD_START_ROUTINE routine = nullptr;
  LPVOID parameter = nullptr;
  DWORD id = 0;
  // Guarded by DispatchLock:
  DWORD suspendCount = 0;
  bool finished = false;
  DWORD exitCode = STILL_ACTIVE;
  bool terminateRequested = false;
  DWORD terminateCode = 0;
};

// The record of the calling thread if CreateThread made it, else null; set by the thread's start.
ThreadObject* CurrentThreadObject();
void SetCurrentThreadObject(ThreadObject* thread);

}  // namespace platform::kernel
