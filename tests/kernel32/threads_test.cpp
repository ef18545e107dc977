// Threads: creation, exit codes, ExitThread, TerminateThread, suspended start, and waits on threads.
#include <gtest/gtest.h>
#include <time.h>

#include <atomic>
#include <chrono>

#include "platform/win32.h"

namespace {

struct Gate {
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> stage{0};
  std::atomic<DWORD> seenId{0};
  ~Gate() { CloseHandle(release); }
};

DWORD WINAPI WaitForGate(LPVOID arg) {
  auto* gate = static_cast<Gate*>(arg);
  gate->seenId = GetCurrentThreadId();
  gate->stage = 1;
  WaitForSingleObject(gate->release, INFINITE);
  gate->stage = 2;
  return 42;
}

DWORD WINAPI ExitEarly(LPVOID arg) {
  auto* gate = static_cast<Gate*>(arg);
  gate->stage = 1;
  ExitThread(7);
  gate->stage = 99;  // never reached
  return 0;
}

DWORD WINAPI SleepInRows(LPVOID arg) {
  auto* gate = static_cast<Gate*>(arg);
  for (;;) {
    gate->stage++;
    Sleep(1);
  }
}

// Polls the gate until the thread has reached `stage`, for 10 s at the most; whether it did.
bool Reaches(const Gate& gate, int stage) {
  for (int waited = 0; gate.stage.load() < stage; ++waited) {
    if (waited == 10000) return false;
    Sleep(1);
  }
  return true;
}

double ThreadCpuMilliseconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

TEST(Threads, RoutineRunsWithItsParameterAndReturnsItsExitCode) {
  Gate gate;
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, WaitForGate, &gate, 0, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, GetCurrentThreadId());

  // Running: a zero time-out times out and the exit code is STILL_ACTIVE.
  ASSERT_TRUE(Reaches(gate, 1));
  EXPECT_EQ(gate.seenId.load(), id);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, STILL_ACTIVE);

  // Ended: the wait succeeds, at once and again, and the code is the routine's result.
  SetEvent(gate.release);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
  EXPECT_EQ(gate.stage.load(), 2);
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_TRUE(CloseHandle(thread));
}

TEST(Threads, ExitThreadEndsTheThreadWithItsCode) {
  Gate gate;
  HANDLE thread = CreateThread(nullptr, 0, ExitEarly, &gate, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 7u);
  EXPECT_EQ(gate.stage.load(), 1);
  CloseHandle(thread);
}

TEST(Threads, FiniteTimeOutExpiresOnARunningThread) {
  Gate gate;
  HANDLE thread = CreateThread(nullptr, 0, WaitForGate, &gate, 0, nullptr);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(WaitForSingleObject(thread, 50), WAIT_TIMEOUT);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
  SetEvent(gate.release);
  EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  CloseHandle(thread);
}

TEST(Threads, WaitingUsesNoProcessorTime) {
  Gate gate;
  HANDLE thread = CreateThread(nullptr, 0, WaitForGate, &gate, 0, nullptr);
  double before = ThreadCpuMilliseconds();
  EXPECT_EQ(WaitForSingleObject(thread, 300), WAIT_TIMEOUT);
  Sleep(100);
  // A busy loop would burn the whole 400 ms.
  EXPECT_LT(ThreadCpuMilliseconds() - before, 100.0);
  SetEvent(gate.release);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
}

TEST(Threads, TerminateEndsASleepingThreadWithTheGivenCode) {
  Gate gate;
  HANDLE thread = CreateThread(nullptr, 0, SleepInRows, &gate, 0, nullptr);
  ASSERT_TRUE(Reaches(gate, 3));
  ASSERT_TRUE(TerminateThread(thread, 1));
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 1u);
  int stageAtEnd = gate.stage.load();
  Sleep(20);
  EXPECT_EQ(gate.stage.load(), stageAtEnd);  // it really stopped
  CloseHandle(thread);
}

// Wine overwrites the exit code of a thread that has already ended; Windows keeps the code the thread
// ended with. Left out under Wine for that reason.
TEST(Threads, TerminatingAnEndedThreadKeepsItsExitCode) {
  Gate gate;
  HANDLE thread = CreateThread(nullptr, 0, SleepInRows, &gate, 0, nullptr);
  ASSERT_TRUE(Reaches(gate, 3));
  ASSERT_TRUE(TerminateThread(thread, 1));
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  // Terminating a thread that has ended succeeds and changes nothing.
  EXPECT_TRUE(TerminateThread(thread, 5));
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 1u);
  CloseHandle(thread);
}

TEST(Threads, TerminateReachesAThreadBlockedInAnInfiniteWait) {
  Gate gate;
  HANDLE thread = CreateThread(nullptr, 0, WaitForGate, &gate, 0, nullptr);
  ASSERT_TRUE(Reaches(gate, 1));
  ASSERT_TRUE(TerminateThread(thread, 9));
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeThread(thread, &code);
  EXPECT_EQ(code, 9u);
  EXPECT_EQ(gate.stage.load(), 1);
  CloseHandle(thread);
}

TEST(Threads, SuspendedThreadStartsOnResume) {
  Gate gate;
  SetEvent(gate.release);
  HANDLE thread = CreateThread(nullptr, 0, WaitForGate, &gate, CREATE_SUSPENDED, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 30), WAIT_TIMEOUT);
  EXPECT_EQ(gate.stage.load(), 0);
  EXPECT_EQ(ResumeThread(thread), 1u);
  EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(gate.stage.load(), 2);
  EXPECT_EQ(ResumeThread(thread), 0u);
  CloseHandle(thread);
}

TEST(Threads, ClosingTheHandleLetsTheThreadRunOn) {
  Gate gate;
  HANDLE thread = CreateThread(nullptr, 0, WaitForGate, &gate, 0, nullptr);
  ASSERT_TRUE(CloseHandle(thread));
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_FAILED);
  ASSERT_TRUE(Reaches(gate, 1));
  SetEvent(gate.release);
  ASSERT_TRUE(Reaches(gate, 2));
}

// Our layer's own checks. Windows creates a thread with a null start address, which faults when it runs
// and ends the whole process, and writes the exit code through a null pointer. Runs on our stack only.
TEST(Threads, BadArgumentsAreRefused) {
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  Gate gate;
  SetEvent(gate.release);
  HANDLE thread = CreateThread(nullptr, 0, WaitForGate, &gate, 0, nullptr);
  EXPECT_FALSE(GetExitCodeThread(thread, nullptr));
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
}

TEST(Threads, CurrentThreadIdIsStableAndDistinct) {
  DWORD mine = GetCurrentThreadId();
  EXPECT_NE(mine, 0u);
  EXPECT_EQ(GetCurrentThreadId(), mine);
}

}  // namespace
