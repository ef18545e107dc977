// The clipboard: CF_TEXT handed over and read back unchanged, owned by the clipboard, opened by one
// thread at a time; and the conversion of its text to and from the system clipboard.
#include <cstring>

#include "platform/display/cp932_codec.h"
#include "platform/kernel32/cp932.h"
#include "window_harness.h"

using namespace harness;

namespace {

class Clipboard : public ::testing::Test {
 protected:
  void SetUp() override { PrepareWindows(); }
};

HGLOBAL Text(const std::string& text) {
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
  GlobalUnlock(mem);
  return mem;
}

std::string Read(HANDLE mem) {
  const char* p = static_cast<const char*>(GlobalLock(mem));
  std::string text = p ? p : "";
  GlobalUnlock(mem);
  return text;
}

TEST_F(Clipboard, TextWithCrLfComesBackUnchanged) {
  std::string text = "ab\r\n" + Cp932("漢字") + "\r\ncd";
  ASSERT_TRUE(OpenClipboard(nullptr));
  ASSERT_TRUE(EmptyClipboard());
  HGLOBAL mem = Text(text);
  EXPECT_EQ(SetClipboardData(CF_TEXT, mem), mem);
  ASSERT_TRUE(CloseClipboard());

  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE got = GetClipboardData(CF_TEXT);
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(Read(got), text);
  EXPECT_EQ(GetClipboardData(CF_TEXT + 1), nullptr);
  ASSERT_TRUE(EmptyClipboard());
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  ASSERT_TRUE(CloseClipboard());
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST_F(Clipboard, ItMustBeOpenedAndOnlyOneThreadHasItOpen) {
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
  EXPECT_EQ(SetClipboardData(CF_TEXT, Text("x")), nullptr);
  EXPECT_FALSE(CloseClipboard());

  WindowThread ui;
  HWND w = ui.Create();
  ASSERT_TRUE(OpenClipboard(nullptr));
  ui.Call([&] { EXPECT_FALSE(OpenClipboard(w)); });
  ASSERT_TRUE(CloseClipboard());
  ui.Call([&] {
    EXPECT_TRUE(OpenClipboard(w));
    EXPECT_TRUE(CloseClipboard());
  });
}

TEST_F(Clipboard, SettingAFormatAgainFreesTheOldHandle) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, Text("one"));
  HGLOBAL second = Text("two");
  SetClipboardData(CF_TEXT, second);
  EXPECT_EQ(Read(GetClipboardData(CF_TEXT)), "two");
  EmptyClipboard();
  CloseClipboard();
}

TEST(ClipboardText, SystemTextUsesUtf8AndLfAndOursCp932AndCrLf) {
  using namespace platform::display;
  using platform::Cp932ToUtf8;
  EXPECT_EQ(ClipboardTextToSystem("a\r\n" + platform::Utf8ToCp932("漢") + "\r\nb"), "a\n漢\nb");
  EXPECT_EQ(ClipboardTextToSystem("lone\rcr and lone\nlf"), "lone\rcr and lone\nlf");
  EXPECT_EQ(ClipboardTextFromSystem("a\nb\r\nc\rd"), "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(ClipboardTextFromSystem("字"), "\x8E\x9A");
  EXPECT_EQ(Cp932ToUtf8("\x82\xA0"), "あ");
  EXPECT_EQ(Cp932ToUtf8("ok\x82"), "ok?");  // a lead byte cut off at the end
}

}  // namespace
