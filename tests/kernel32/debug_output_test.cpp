// OutputDebugStringA: UTF-8 on stderr, and the given bytes to a capture.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "platform/win32.h"
#include "support/debug_output.h"

namespace {

TEST(DebugOutput, CaptureHoldsTheBytesGivenInOrder) {
  SupportStartDebugCapture();
  OutputDebugStringA("first\r\n");
  OutputDebugStringA("\x93\xfa\x96\x7b");  // 日本
  OutputDebugStringA(nullptr);
  EXPECT_EQ(SupportTakeDebugOutput(), "first\r\n\x93\xfa\x96\x7b");
  EXPECT_EQ(SupportTakeDebugOutput(), "");  // taken
  OutputDebugStringA("more");
  EXPECT_EQ(SupportTakeDebugOutput(), "more");
  SupportStopDebugCapture();
  OutputDebugStringA("not captured");
  SupportStartDebugCapture();
  EXPECT_EQ(SupportTakeDebugOutput(), "");
  SupportStopDebugCapture();
}

// The echo on standard error is an addition of our own layer; Windows hands the text to a debugger
// only. Runs on our stack only.
TEST(DebugOutput, StderrGetsUtf8) {
  testing::internal::CaptureStderr();
  OutputDebugStringA("\x93\xfa\x96\x7b\r\n");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "\xE6\x97\xA5\xE6\x9C\xAC\r\n");
}

TEST(DebugOutput, CaptureCollectsFromEveryThread) {
  SupportStartDebugCapture();
  std::thread a([] {
    for (int i = 0; i < 50; i++) OutputDebugStringA("a");
  });
  std::thread b([] {
    for (int i = 0; i < 50; i++) OutputDebugStringA("b");
  });
  a.join();
  b.join();
  std::string captured = SupportTakeDebugOutput();
  SupportStopDebugCapture();
  EXPECT_EQ(captured.size(), 100u);
  EXPECT_EQ(std::count(captured.begin(), captured.end(), 'a'), 50);
}

}  // namespace
