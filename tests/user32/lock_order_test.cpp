// The platform's lock order, as every build that runs the tests enforces it: a thread that takes the
// GDI lock while holding the USER lock, takes a lock it already holds, or waits for the display while
// holding one, ends the process with a message naming the locks, instead of deadlocking some day later.
// A build made with TILEPAINT_UNCHECKED_LOCKS keeps no record, so these tests skip there.
#include <gtest/gtest.h>

#include <condition_variable>
#include <thread>

#include "platform/display/lock_order.h"
#include "platform/gdi32/display_dc.h"
#include "platform/user32/user_internal.h"

namespace {

using platform::GdiGuard;
using platform::GdiLock;
using platform::user32::UserGuard;
using platform::user32::UserLock;

class LockOrder : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform::LockOrderChecked()) GTEST_SKIP() << "this build keeps no record of the locks held";
    // The process has other threads (the test harness's, maybe a display's): fork-only death tests
    // would be unsafe.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
  }
};

TEST_F(LockOrder, TheOrderGdiThenUserIsKeptAcrossUnlockAndRelock) {
  GdiGuard gdi(GdiLock());
  platform::user32::UserUniqueLock user(UserLock());
  // A condition wait lets go of the USER lock and takes it again; the record follows it.
  std::condition_variable_any cv;
  bool done = false;
  std::thread other([&] {
    UserGuard lock(UserLock());
    done = true;
    cv.notify_all();
  });
  cv.wait(user, [&] { return done; });
  user.unlock();
  other.join();
  // With the USER lock let go, the GDI lock alone is held: taking the USER lock again is in order.
  UserGuard again(UserLock());
  SUCCEED();
}

TEST_F(LockOrder, TakingTheGdiLockUnderTheUserLockEndsTheProcess) {
  EXPECT_DEATH(
      {
        UserGuard user(UserLock());
        GdiGuard gdi(GdiLock());
      },
      "lock order broken: taking the GDI lock while holding the USER lock");
}

TEST_F(LockOrder, TakingALockTwiceEndsTheProcessInsteadOfHanging) {
  EXPECT_DEATH(
      {
        GdiGuard first(GdiLock());
        GdiGuard second(GdiLock());
      },
      "lock order broken: taking the GDI lock while holding the GDI lock");
}

TEST_F(LockOrder, WaitingForTheDisplayUnderALockEndsTheProcess) {
  platform::CheckMayWaitOnDisplay("a test");  // nothing held: allowed
  EXPECT_DEATH(
      {
        GdiGuard gdi(GdiLock());
        UserGuard user(UserLock());
        platform::CheckMayWaitOnDisplay("a message box");
      },
      "lock order broken: waiting for the display \\(a message box\\) while holding the USER lock");
}

TEST_F(LockOrder, ALockReleasedOnAnotherPathIsForgotten) {
  {
    UserGuard user(UserLock());
  }
  // The USER lock is no longer held: the GDI lock may be taken and the display waited for after it.
  GdiGuard gdi(GdiLock());
  UserGuard user(UserLock());
  SUCCEED();
}

}  // namespace
