// The process: ExitProcess with its hooks, the module handle, the process pseudo-handle.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

#include "platform/kernel32/process_exit.h"
#include "platform/win32.h"

namespace {

void FirstHook() { std::fputs("[first hook]", stderr); }
void SecondHook() { std::fputs("[second hook]", stderr); }
void ReenteringHook() {
  std::fputs("[reentering]", stderr);
  ExitProcess(9);
}

class Process : public testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(Process, ExitProcessEndsWithTheCodeAfterRunningHooksInReverseOrder) {
  EXPECT_EXIT(
      {
        KernelAtExitProcess(FirstHook);
        KernelAtExitProcess(SecondHook);
        ExitProcess(5);
      },
      testing::ExitedWithCode(5), "\\[second hook\\]\\[first hook\\]");
}

TEST_F(Process, ExitProcessFlushesBufferedOutputFirst) {
  EXPECT_EXIT(
      {
        static char buffer[4096];
        std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
        std::fputs("buffered text", stderr);
        ExitProcess(0);
      },
      testing::ExitedWithCode(0), "buffered text");
}

TEST_F(Process, ExitProcessDoesNotWaitForOtherThreads) {
  EXPECT_EXIT(
      {
        static std::mutex held;
        held.lock();
        // One thread blocked for ever, one spinning, one holding stdout's lock: none may keep the
        // process alive.
#ifndef __SANITIZE_THREAD__
        // (ThreadSanitizer's own exit path flushes stdout and would wait for this lock.)
        static std::atomic<bool> stdoutTaken{false};
        std::thread holdingStdout([] {
          flockfile(stdout);
          stdoutTaken = true;
          for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
        });
        holdingStdout.detach();
        while (!stdoutTaken) std::this_thread::sleep_for(std::chrono::milliseconds(1));
#endif
        std::thread blocked([] { std::lock_guard<std::mutex> never(held); });
        std::thread spinning([] {
          std::atomic<unsigned long> spins{0};
          for (;;) spins.fetch_add(1, std::memory_order_relaxed);
        });
        blocked.detach();
        spinning.detach();
        ExitProcess(4);
      },
      testing::ExitedWithCode(4), "");
}

TEST_F(Process, HookThatExitsAgainEndsAtOnceWithItsCode) {
  EXPECT_EXIT(
      {
        KernelAtExitProcess(FirstHook);
        KernelAtExitProcess(ReenteringHook);
        ExitProcess(1);
      },
      testing::ExitedWithCode(9), "\\[reentering\\]$");
}

TEST(ModuleAndProcess, OwnModuleHandleIsNonNullAndOthersAreNotFound) {
  HMODULE self = GetModuleHandleA(nullptr);
  EXPECT_NE(self, nullptr);
  EXPECT_EQ(GetModuleHandleA(nullptr), self);
  EXPECT_EQ(GetModuleHandleA("no-such-module.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_NE(GetCurrentProcess(), nullptr);
  EXPECT_TRUE(CloseHandle(GetCurrentProcess()));
}

}  // namespace
