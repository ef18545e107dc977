// The dispatcher: its lock and condition, and the record of the calling thread that waits and sleeps
// consult to see whether they must end it.
#include "platform/kernel32/thread_object.h"

namespace platform::kernel {
namespace {

thread_local ThreadObject* currentThread = nullptr;

}  // namespace

std::mutex& DispatchLock() {
  static std::mutex* lock = new std::mutex;  // outlives static destruction, as threads may
  return *lock;
}

std::condition_variable& DispatchChanged() {
  static std::condition_variable* changed = new std::condition_variable;
  return *changed;
}

ThreadObject* CurrentThreadObject() { return currentThread; }

void SetCurrentThreadObject(ThreadObject* thread) { currentThread = thread; }

bool CurrentThreadTerminable() { return currentThread != nullptr; }

bool TerminationPending(DWORD* code) {
  if (!currentThread || !currentThread->terminateRequested) return false;
  *code = currentThread->terminateCode;
  return true;
}

}  // namespace platform::kernel
