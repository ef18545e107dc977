// The console's requests from other threads before the console window exists, and after: a process of
// its own, since every other suite starts the console before its first test.
#include <gtest/gtest.h>

#include <cstring>

#include "console/console_requests.h"
#include "console/console_state.h"
#include "program/program_main.h"
#include "runtime/strings.h"
#include "support/display.h"

namespace {

int32_t Registered() {
  EnterCriticalSection(&stringRegistry.lock);
  const int32_t count = stringRegistry.count;
  LeaveCriticalSection(&stringRegistry.lock);
  return count;
}

TrackedString Text(const char* bytes) {
  const int32_t length = static_cast<int32_t>(std::strlen(bytes));
  TrackedString s = StrNew(length);
  std::memcpy(s, bytes, static_cast<size_t>(length));
  return s;
}

TEST(ConsoleRequests, BeforeTheWindowExistsTheyAreRefusedWithoutALeakAndAfterwardsHandedOver) {
  StrInit();
  const int32_t before = Registered();
  EXPECT_EQ(ConsolePrint(Text("early")), 0);
  EXPECT_EQ(Registered(), before) << "a refused text is still consumed";
  EXPECT_EQ(ConsoleSetColor(0x00FFFF, -1), 0);
  TrackedString line = ConsoleReadLine();  // would wait for ever for a window that never answers
  EXPECT_EQ(StrLength(line), 0);
  StrRelease(line);
  EXPECT_EQ(Registered(), before);

  ASSERT_TRUE(SupportUseHeadlessDisplay(1024, 768));
  ProgramStartup();
  EXPECT_EQ(ConsoleSetColor(0x00FFFF, -1), 1);
  EXPECT_EQ(ConsolePrint(Text("late")), 1);
  ASSERT_TRUE(SupportWaitIdle(console.consoleWindow));
  EXPECT_STREQ(console.rowChars[0], "late");
  EXPECT_EQ(console.rowFore[0][0], 0x00FFFFu);
}

}  // namespace
