// Events: manual-reset and auto-reset, waits with time-outs, and names.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/win32.h"

namespace {

struct Relay {
  HANDLE go;
  HANDLE done;
  std::atomic<int> woken{0};
};

DWORD WINAPI WaitThenSignal(LPVOID arg) {
  auto* relay = static_cast<Relay*>(arg);
  if (WaitForSingleObject(relay->go, INFINITE) != WAIT_OBJECT_0) return 1;
  relay->woken++;
  SetEvent(relay->done);
  return 0;
}

TEST(Events, ManualResetStaysSignaledUntilReset) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  ASSERT_TRUE(SetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
  ASSERT_TRUE(ResetEvent(event));
  EXPECT_EQ(WaitForSingleObject(event, 20), WAIT_TIMEOUT);
  CloseHandle(event);
}

TEST(Events, AutoResetReleasesOneWaitAndResets) {
  HANDLE event = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  SetEvent(event);
  SetEvent(event);  // setting twice does not count twice
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  CloseHandle(event);
}

TEST(Events, SetEventWakesAWaiterOnAnotherThread) {
  Relay relay{CreateEventA(nullptr, FALSE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  HANDLE thread = CreateThread(nullptr, 0, WaitThenSignal, &relay, 0, nullptr);
  EXPECT_EQ(WaitForSingleObject(relay.done, 30), WAIT_TIMEOUT);
  EXPECT_EQ(relay.woken.load(), 0);
  SetEvent(relay.go);
  EXPECT_EQ(WaitForSingleObject(relay.done, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(relay.woken.load(), 1);
  EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  // The auto-reset event was taken by the waiter.
  EXPECT_EQ(WaitForSingleObject(relay.go, 0), WAIT_TIMEOUT);
  CloseHandle(thread);
  CloseHandle(relay.go);
  CloseHandle(relay.done);
}

TEST(Events, AutoResetWakesExactlyOneOfTwoWaiters) {
  Relay relay{CreateEventA(nullptr, FALSE, FALSE, nullptr), CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  HANDLE a = CreateThread(nullptr, 0, WaitThenSignal, &relay, 0, nullptr);
  HANDLE b = CreateThread(nullptr, 0, WaitThenSignal, &relay, 0, nullptr);
  Sleep(20);
  SetEvent(relay.go);
  ASSERT_EQ(WaitForSingleObject(relay.done, 10000), WAIT_OBJECT_0);
  Sleep(30);
  EXPECT_EQ(relay.woken.load(), 1);
  SetEvent(relay.go);
  ASSERT_EQ(WaitForSingleObject(relay.done, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(a, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(b, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(relay.woken.load(), 2);
  for (HANDLE h : {a, b, relay.go, relay.done}) CloseHandle(h);
}

TEST(Events, SameNameOpensTheSameEvent) {
  HANDLE first = CreateEventA(nullptr, TRUE, FALSE, "kernel-test-event");
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  HANDLE second = CreateEventA(nullptr, TRUE, FALSE, "kernel-test-event");
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  ASSERT_NE(second, first);
  SetEvent(first);
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
  // The event outlives its first handle.
  CloseHandle(first);
  ResetEvent(second);
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_TIMEOUT);
  CloseHandle(second);
}

}  // namespace
