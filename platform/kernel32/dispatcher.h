// Inside KERNEL32 only: the one lock and condition under which every waitable object changes state
// and every wait looks at it. A change notifies all waiters; each one checks its own object again.
// A thread made by CreateThread can be asked to terminate; it does so at its next wait or Sleep.
#pragma once

#include <condition_variable>
#include <mutex>

#include "platform/kernel32/handle_table.h"

namespace platform::kernel {

std::mutex& DispatchLock();
std::condition_variable& DispatchChanged();

// An object a thread can wait for. Both calls are made with DispatchLock held.
struct Waitable : KernelObject {
  using KernelObject::KernelObject;
  virtual bool Signaled() const = 0;
  virtual void Acquire() {}  // a satisfied wait takes the object (an auto-reset event resets)
};

// Unwinds a thread made by CreateThread to its start, where it ends with `code` (ExitThread, and
// TerminateThread reaching the thread at a wait).
struct ThreadExitUnwind {
  DWORD code;
};

// Whether CreateThread made the calling thread (only such a thread can be asked to terminate).
bool CurrentThreadTerminable();

// With DispatchLock held: whether the calling thread has been asked to terminate, and with which code.
bool TerminationPending(DWORD* code);

}  // namespace platform::kernel
