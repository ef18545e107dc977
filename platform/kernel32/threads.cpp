// Threads: CreateThread runs the routine on a detached POSIX thread whose kernel object records the
// exit code and signals waiters when it ends. ExitThread unwinds the thread to its start. Since a
// POSIX thread cannot be killed safely, TerminateThread asks the thread to end, and it does so with
// the given code at its next wait or Sleep (at once when it terminates itself).
#include <pthread.h>
#include <sched.h>

#include <atomic>

#include "platform/kernel32/thread_object.h"

namespace platform::kernel {
namespace {

thread_local DWORD currentThreadId = 0;
std::atomic<DWORD> lastThreadId{0};

// Thread identifiers are non-zero multiples of four, as Windows hands them out.
DWORD NextThreadId() { return lastThreadId.fetch_add(4) + 4; }

void Finish(ThreadObject& thread, DWORD code) {
  std::lock_guard<std::mutex> lock(DispatchLock());
  thread.finished = true;
  thread.exitCode = code;
  DispatchChanged().notify_all();
}

void* ThreadStart(void* arg) {
  std::shared_ptr<ThreadObject> self(std::move(*static_cast<std::shared_ptr<ThreadObject>*>(arg)));
  delete static_cast<std::shared_ptr<ThreadObject>*>(arg);
  SetCurrentThreadObject(self.get());
  currentThreadId = self->id;
  DWORD code;
  try {
    {
      std::unique_lock<std::mutex> lock(DispatchLock());
      DispatchChanged().wait(lock, [&] { return self->suspendCount == 0 || self->terminateRequested; });
      if (self->terminateRequested) throw ThreadExitUnwind{self->terminateCode};
    }
    code = self->routine(self->parameter);
  } catch (const ThreadExitUnwind& exit) {
    code = exit.code;
  }
  SetCurrentThreadObject(nullptr);
  Finish(*self, code);
  return nullptr;
}

}  // namespace

}  // namespace platform::kernel

using namespace platform::kernel;

HANDLE CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, SIZE_T dwStackSize,
                    LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter, DWORD dwCreationFlags,
                    LPDWORD lpThreadId) {
  (void)lpThreadAttributes;
  if (!lpStartAddress || (dwCreationFlags & ~(CREATE_SUSPENDED | 0x00010000u /* STACK_SIZE_PARAM_IS_A_RESERVATION */))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto thread = std::make_shared<ThreadObject>();
  thread->routine = lpStartAddress;
  thread->parameter = lpParameter;
  thread->id = NextThreadId();
  thread->suspendCount = (dwCreationFlags & CREATE_SUSPENDED) ? 1 : 0;
  HANDLE handle = HandleInsert(thread);
  if (!handle) return nullptr;

  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  if (dwStackSize != 0) {
    size_t minimum = static_cast<size_t>(PTHREAD_STACK_MIN);
    pthread_attr_setstacksize(&attributes, dwStackSize < minimum ? minimum : dwStackSize);
  }
  // The identifier is known before the thread runs, so the routine may read it from the caller's variable.
  if (lpThreadId) *lpThreadId = thread->id;
  auto* start = new std::shared_ptr<ThreadObject>(thread);
  pthread_t posixThread;
  int error = pthread_create(&posixThread, &attributes, ThreadStart, start);
  pthread_attr_destroy(&attributes);
  if (error != 0) {
    delete start;
    HandleRemove(handle, KindBit(ObjectKind::Thread));
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return handle;
}

void ExitThread(DWORD dwExitCode) {
  if (CurrentThreadObject()) throw ThreadExitUnwind{dwExitCode};
  // A thread that CreateThread did not make (the main thread, say) has no record to fill in.
  pthread_exit(nullptr);
}

BOOL TerminateThread(HANDLE hThread, DWORD dwExitCode) {
  std::shared_ptr<ThreadObject> thread = HandleGet<ThreadObject>(hThread);
  if (!thread) return FALSE;
  if (thread.get() == CurrentThreadObject()) throw ThreadExitUnwind{dwExitCode};
  std::lock_guard<std::mutex> lock(DispatchLock());
  if (!thread->finished && !thread->terminateRequested) {
    thread->terminateRequested = true;
    thread->terminateCode = dwExitCode;
    DispatchChanged().notify_all();
  }
  return TRUE;
}

DWORD ResumeThread(HANDLE hThread) {
  std::shared_ptr<ThreadObject> thread = HandleGet<ThreadObject>(hThread);
  if (!thread) return static_cast<DWORD>(-1);
  std::lock_guard<std::mutex> lock(DispatchLock());
  DWORD previous = thread->suspendCount;
  if (previous > 0 && --thread->suspendCount == 0) DispatchChanged().notify_all();
  return previous;
}

BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
  std::shared_ptr<ThreadObject> thread = HandleGet<ThreadObject>(hThread);
  if (!thread) return FALSE;
  if (!lpExitCode) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(DispatchLock());
  *lpExitCode = thread->finished ? thread->exitCode : STILL_ACTIVE;
  return TRUE;
}

DWORD GetCurrentThreadId(void) {
  if (currentThreadId == 0) currentThreadId = NextThreadId();
  return currentThreadId;
}
