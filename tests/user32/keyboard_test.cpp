// Key presses and text from the display, TranslateMessage, and the keyboard focus.
#include "window_harness.h"

using namespace harness;

namespace {

class Keyboard : public ::testing::Test {
 protected:
  void SetUp() override { PrepareWindows(); }

  // The WM_KEYDOWN and WM_CHAR values that `w` received, as "D<vk>" and "C<char>".
  static std::vector<std::string> Keys(HWND w) {
    std::vector<std::string> out;
    for (auto& s : Log()) {
      if (s.hwnd != w) continue;
      if (s.message == WM_KEYDOWN) out.push_back("D" + std::to_string(s.wParam));
      if (s.message == WM_CHAR) out.push_back("C" + std::to_string(s.wParam));
    }
    return out;
  }
};

TEST_F(Keyboard, ControlKeysBecomeKeyDownAndTheirCharacters) {
  WindowThread ui;
  HWND w = ui.Create();
  ASSERT_TRUE(SupportWaitIdle(w));
  SupportPressKey(w, VK_BACK);
  SupportPressKey(w, VK_TAB);
  SupportPressKey(w, VK_RETURN);
  SupportPressKey(w, VK_ESCAPE);
  ASSERT_TRUE(SupportWaitIdle(w));
  std::vector<std::string> expected = {"D8", "C8", "D9", "C9", "D13", "C13", "D27", "C27"};
  EXPECT_EQ(Keys(w), expected);
  EXPECT_EQ(LogOf(w, WM_KEYUP).size(), 4u);
}

TEST_F(Keyboard, ControlLettersGiveOneToTwentySixAndPlainLettersNoCharacter) {
  WindowThread ui;
  HWND w = ui.Create();
  ASSERT_TRUE(SupportWaitIdle(w));
  SupportPressKey(w, 'V', true);
  SupportPressKey(w, 'A', true);
  SupportPressKey(w, 'Z', true);
  SupportPressKey(w, 'V');  // the character of a plain key comes as text, not from the key
  ASSERT_TRUE(SupportWaitIdle(w));
  std::vector<std::string> expected = {"D17", "D86", "C22", "D17", "D65", "C1", "D17", "D90", "C26", "D86"};
  EXPECT_EQ(Keys(w), expected);
}

TEST_F(Keyboard, TypedTextArrivesAsCp932BytesLeadByteFirst) {
  WindowThread ui;
  HWND w = ui.Create();
  ASSERT_TRUE(SupportWaitIdle(w));
  SupportTypeText(w, "漢字a");
  ASSERT_TRUE(SupportWaitIdle(w));
  // 漢 is 8A BF and 字 is 8E 9A in code page 932.
  std::vector<std::string> expected = {"C138", "C191", "C142", "C154", "C97"};
  EXPECT_EQ(Keys(w), expected);
  ClearLog();
  SupportTypeText(w, "\xF0\x9F\x98\x80");  // not in code page 932
  ASSERT_TRUE(SupportWaitIdle(w));
  EXPECT_EQ(Keys(w), std::vector<std::string>{"C63"});
}

TEST_F(Keyboard, InputGoesToTheFocusWindowAndFocusChangesAreSentToBoth) {
  WindowThread ui;
  HWND first = ui.Create();
  HWND second = ui.Create();  // shown last, so it has the focus
  ASSERT_TRUE(SupportWaitIdle(second));
  ui.Call([&] { EXPECT_EQ(GetFocus(), second); });
  SupportPressKey(first, VK_RETURN);
  ASSERT_TRUE(SupportWaitIdle(second));
  EXPECT_TRUE(Keys(first).empty());
  EXPECT_EQ(Keys(second).size(), 2u);

  ClearLog();
  SupportSetFocus(first, true);
  ASSERT_TRUE(SupportWaitIdle(first));
  auto kill = LogOf(second, WM_KILLFOCUS);
  auto set = LogOf(first, WM_SETFOCUS);
  ASSERT_EQ(kill.size(), 1u);
  ASSERT_EQ(set.size(), 1u);
  EXPECT_EQ(reinterpret_cast<HWND>(kill[0].wParam), first);
  EXPECT_EQ(reinterpret_cast<HWND>(set[0].wParam), second);
  EXPECT_EQ(set[0].thread, ui.Id());

  SupportSetFocus(first, false);
  ASSERT_TRUE(SupportWaitIdle(first));
  EXPECT_EQ(LogOf(first, WM_KILLFOCUS).size(), 1u);
  ui.Call([&] { EXPECT_EQ(GetFocus(), nullptr); });
}

}  // namespace
