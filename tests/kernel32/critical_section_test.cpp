// Critical sections: recursive ownership and mutual exclusion.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/win32.h"

namespace {

TEST(CriticalSection, OwnerMayEnterAgainAndOthersWaitUntilFullyLeft) {
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  EnterCriticalSection(&section);
  EnterCriticalSection(&section);
  EXPECT_TRUE(TryEnterCriticalSection(&section));

  auto tryFromAnotherThread = [&] {
    bool got = false;
    std::thread other([&] {
      got = TryEnterCriticalSection(&section);
      if (got) LeaveCriticalSection(&section);
    });
    other.join();
    return got;
  };
  LeaveCriticalSection(&section);
  LeaveCriticalSection(&section);
  EXPECT_FALSE(tryFromAnotherThread());  // still held once
  LeaveCriticalSection(&section);
  EXPECT_TRUE(tryFromAnotherThread());
  DeleteCriticalSection(&section);
}

TEST(CriticalSection, KeepsTwoThreadsOutOfEachOther) {
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  long counter = 0;  // plain on purpose: only the section guards it
  std::atomic<bool> overlap{false};
  std::atomic<int> inside{0};
  auto work = [&] {
    for (int i = 0; i < 20000; i++) {
      EnterCriticalSection(&section);
      if (inside.fetch_add(1) != 0) overlap = true;
      counter++;
      inside.fetch_sub(1);
      LeaveCriticalSection(&section);
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_FALSE(overlap.load());
  EXPECT_EQ(counter, 40000);
  DeleteCriticalSection(&section);
}

}  // namespace
