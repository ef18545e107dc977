// Posting, sending and retrieving messages; WM_PAINT when the queue is empty; waiting without spinning.
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/common/thread_state.h"
#include "window_harness.h"

using namespace harness;

namespace {

class MessageQueue : public ::testing::Test {
 protected:
  void SetUp() override { PrepareWindows(); }
};

TEST_F(MessageQueue, PaintComesOnlyWhenThePostedMessagesAreDoneAndOnlyWhileInvalid) {
  // Everything runs on this thread: post, invalidate, then read the queue by hand.
  PrepareWindows();
  HWND w = CreateWindowExA(0, kRedrawClass, "t", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr, nullptr,
                           nullptr);
  ASSERT_NE(w, nullptr);
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));  // hidden and nothing posted
  ShowWindow(w, SW_SHOW);
  PostMessageA(w, WM_USER + 1, 0, 0);
  PostMessageA(w, WM_USER + 2, 0, 0);
  std::vector<UINT> order;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    order.push_back(m.message);
    DispatchMessageA(&m);
  }
  std::vector<UINT> expected = {WM_USER + 1, WM_USER + 2, WM_PAINT};
  EXPECT_EQ(order, expected);
  // The default painting validated the window: no further WM_PAINT until it is invalidated again.
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  RECT part{10, 10, 20, 20};
  InvalidateRect(w, &part, FALSE);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_PAINT);
  PAINTSTRUCT ps;
  ASSERT_NE(BeginPaint(w, &ps), nullptr);
  EXPECT_EQ(ps.rcPaint.left, 10);
  EXPECT_EQ(ps.rcPaint.bottom, 20);
  EndPaint(w, &ps);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  DestroyWindow(w);
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
  }
}

TEST_F(MessageQueue, QuitComesAfterPostedMessagesWithItsExitCode) {
  HWND w = CreateWindowExA(0, kRedrawClass, "t", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  PostMessageA(w, WM_USER, 0, 0);
  PostQuitMessage(7);
  MSG m;
  ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
  EXPECT_EQ(m.message, WM_USER);
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_EQ(GetMessageA(&m, reinterpret_cast<HWND>(0x3FFFFFFF), 0, 0), -1);  // no such window
  DestroyWindow(w);
}

TEST_F(MessageQueue, SendFromTheSameThreadIsADirectCallAndFromAnotherRunsOnTheOwner) {
  WindowThread ui;
  HWND w = ui.Create();
  std::thread::id ranOn;
  SetHook([&](HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT* result) {
    if (msg != WM_USER + 5) return false;
    ranOn = std::this_thread::get_id();
    *result = static_cast<LRESULT>(wParam * 2);
    return true;
  });
  EXPECT_EQ(SendMessageA(w, WM_USER + 5, 21, 0), 42);
  EXPECT_EQ(ranOn, ui.Id());
  ui.Call([&] {
    // Direct: the procedure has run before SendMessageA returns, without the queue.
    EXPECT_EQ(SendMessageA(w, WM_USER + 5, 5, 0), 10);
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, w, WM_USER + 5, WM_USER + 5, PM_NOREMOVE));
  });
}

TEST_F(MessageQueue, TwoThreadsSendingToEachOtherDoNotDeadlock) {
  WindowThread a, b;
  HWND wa = a.Create(), wb = b.Create();
  SetHook([&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT* result) {
    if (msg == WM_USER + 7 && hwnd == wa) {
      *result = SendMessageA(wb, WM_USER + 8, 0, 0) + 1;  // a waits on b, which sends back to a
      return true;
    }
    if (msg == WM_USER + 8 && hwnd == wb) {
      *result = SendMessageA(wa, WM_USER + 9, 0, 0) + 10;
      return true;
    }
    if (msg == WM_USER + 9 && hwnd == wa) {
      *result = 100;
      return true;
    }
    return false;
  });
  EXPECT_EQ(SendMessageA(wa, WM_USER + 7, 0, 0), 111);
}

TEST_F(MessageQueue, GetMessageWaitsWithoutADeadline) {
  WindowThread ui;
  HWND w = ui.Create();
  std::atomic<pid_t> tid{0};
  SetHook([&](HWND, UINT msg, WPARAM, LPARAM, LRESULT*) {
    if (msg == WM_USER + 20) tid = static_cast<pid_t>(syscall(SYS_gettid));
    return false;
  });
  PostMessageA(w, WM_USER + 20, 0, 0);
  ASSERT_TRUE(SupportWaitIdle(w));
  ASSERT_NE(tid.load(), 0);
  // Idle in GetMessageA, the window's thread sleeps until a message comes: no time-out that would
  // wake it to look again, no spinning.
  bool waits = false;
  for (int look = 0; look < 500 && !(waits = ThreadWaitsWithoutDeadline(getpid(), tid)); ++look)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(waits);
}

TEST_F(MessageQueue, AHiddenWindowIsNotPaintedAndThreadMessagesHaveNoWindow) {
  WindowThread ui;
  HWND w = ui.Create(kRedrawClass, CW_USEDEFAULT, CW_USEDEFAULT, false);
  InvalidateRect(w, nullptr, TRUE);
  ASSERT_TRUE(SupportWaitIdle(w));
  EXPECT_TRUE(LogOf(w, WM_PAINT).empty());
  UpdateWindow(w);  // nothing due while hidden
  EXPECT_TRUE(LogOf(w, WM_PAINT).empty());

  PostMessageA(nullptr, WM_USER + 3, 1, 2);  // to this thread
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
  EXPECT_EQ(m.hwnd, nullptr);
  EXPECT_EQ(m.message, WM_USER + 3u);
  EXPECT_EQ(DispatchMessageA(&m), 0);
}

TEST_F(MessageQueue, UpdateWindowPaintsAtOnceWhenInvalid) {
  WindowThread ui;
  HWND w = ui.Create();
  ASSERT_TRUE(SupportWaitIdle(w));
  size_t before = LogOf(w, WM_PAINT).size();
  ui.Call([&] {
    InvalidateRect(w, nullptr, FALSE);
    UpdateWindow(w);
    EXPECT_EQ(LogOf(w, WM_PAINT).size(), before + 1);
    UpdateWindow(w);  // valid now: no second paint
    EXPECT_EQ(LogOf(w, WM_PAINT).size(), before + 1);
  });
}

}  // namespace
