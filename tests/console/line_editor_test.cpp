// The line editor: typing, backspace, Enter, paste, the line's capacity, and the requester.
#include "tests/console/console_fixture.h"

#include <cstring>
#include <string>
#include <thread>

#include "console/console_requests.h"
#include "runtime/strings.h"
#include "support/display.h"

namespace {
const COLORREF kWhite = RGB(255, 255, 255);
const std::string kKanji = "\x8A\xBF";

std::string Line() { return std::string(console.inputBuffer, console.inputLength.load()); }
}  // namespace

TEST_F(ConsoleTest, WithoutARequestCharactersAreIgnoredAndKeysRemembered) {
  Chars("abc");
  EXPECT_EQ(RowText(0), "");
  EXPECT_EQ(console.inputLength.load(), -1);
  PostMessageA(Window(), WM_KEYDOWN, VK_F1, 0);
  Idle();
  EXPECT_EQ(console.lastKey, VK_F1);

  StartLine();
  PostMessageA(Window(), WM_KEYDOWN, VK_LEFT, 0);
  Idle();
  EXPECT_EQ(console.lastKey, VK_F1);
  EXPECT_EQ(console.inputLength.load(), 0);
}

TEST_F(ConsoleTest, TypedBytesGoToTheLineAndAreEchoedAtTheCursor) {
  Print("> ");
  StartLine();
  SupportTypeText(Window(), "hi\xE6\xBC\xA2");  // "hi漢"
  Idle();
  EXPECT_EQ(Line(), "hi" + kKanji);
  EXPECT_EQ(RowText(0), "> hi" + kKanji);
  EXPECT_EQ(console.cursorCol, 6);
}

TEST_F(ConsoleTest, EnterOnAnEmptyLineEndsItWithAZeroByte) {
  console.inputBuffer[0] = 'q';
  StartLine();
  Char(13);
  EXPECT_EQ(console.inputLength.load(), -1);
  EXPECT_EQ(console.inputBuffer[0], 0);
  EXPECT_EQ(console.cursorRow, 1);
  EXPECT_EQ(console.cursorCol, 0);
  EXPECT_FALSE(SupportGetCaret(Window()).exists);
}

TEST_F(ConsoleTest, BackspaceOnAnEmptyLineTakesNothingBack) {
  Print("ab");
  StartLine();
  Char(8);
  EXPECT_EQ(console.inputLength.load(), 0);
  EXPECT_EQ(RowText(0), "ab");
  EXPECT_EQ(console.cursorCol, 2);
  EXPECT_EQ(SupportGetCaret(Window()).rect.left, 2 * kCell);
}

TEST_F(ConsoleTest, BackspaceShowsTheGraphicsLayerWhereTheCharacterStood) {
  FillBackBuffer(0, 0, 640, 400, RGB(0, 0, 255));
  StartLine();
  Chars("W");
  EXPECT_GT(CellPixels(0, 0, kWhite), 0);
  Char(8);
  EXPECT_EQ(Line(), "");
  EXPECT_EQ(console.rowChars[0][0], 0);
  EXPECT_EQ(CellPixels(0, 0, kWhite), 0);
  // The caret covers the foot of the cell; above it the graphics layer is whole.
  HDC dc = GetDC(Window());
  int blue = 0;
  for (int y = 0; y < RowHeight() - 7; ++y)
    for (int x = 0; x < kCell; ++x) blue += GetPixel(dc, x, y) == RGB(0, 0, 255) ? 1 : 0;
  ReleaseDC(Window(), dc);
  EXPECT_EQ(blue, kCell * (RowHeight() - 7));
}

TEST_F(ConsoleTest, ADoubleByteCharacterNeedsTwoBackspaces) {
  StartLine();
  Chars("a" + kKanji);
  Char(8);
  EXPECT_EQ(Line(), "a" + kKanji.substr(0, 1));
  EXPECT_EQ(console.cursorCol, 2);
  Char(8);
  EXPECT_EQ(Line(), "a");
  EXPECT_EQ(RowText(0), "a");
  EXPECT_EQ(console.cursorCol, 1);
}

TEST_F(ConsoleTest, BackspaceAfterATabStepsBackOneColumnOnly) {
  StartLine();
  Chars("ab\t");
  EXPECT_EQ(console.cursorCol, 8);
  Char(8);
  EXPECT_EQ(Line(), "ab");
  EXPECT_EQ(console.cursorCol, 7);
  EXPECT_EQ(RowText(0), "ab     ");
}

TEST_F(ConsoleTest, APasteWithALineBreakGoesIntoTheLineAndKeepsItOpen) {
  StartLine();
  Chars("x");
  SetClipboardText("ab\r\ncd");
  SupportPressKey(Window(), 'V', true);
  Idle();
  EXPECT_EQ(Line(), "xab\r\ncd");
  EXPECT_EQ(RowText(0), "xab");
  EXPECT_EQ(RowText(1), "cd");
  EXPECT_EQ(console.inputLength.load(), 7);
  EXPECT_TRUE(SupportGetCaret(Window()).exists);

  // Backspace at column 0 takes the byte back but writes nothing before the row's start.
  Chars("\b\b\b");
  EXPECT_EQ(Line(), "xab\r");
  EXPECT_EQ(console.cursorRow, 1);
  EXPECT_EQ(console.cursorCol, 0);
  EXPECT_EQ(RowText(0), "xab");
}

TEST_F(ConsoleTest, APasteFromAnEmptyClipboardChangesNothing) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  StartLine();
  Char(22);
  EXPECT_EQ(console.inputLength.load(), 0);
  EXPECT_EQ(RowText(0), "");
}

TEST_F(ConsoleTest, AFullLineRefusesFurtherBytes) {
  StartLine();
  Chars(std::string(300, 'k'));
  EXPECT_EQ(console.inputLength.load(), 255);
  Char(13);
  EXPECT_EQ(console.inputBuffer[255], 0);
  EXPECT_EQ(std::strlen(console.inputBuffer), 255u);
}

TEST_F(ConsoleTest, ALeadByteWithoutRoomForItsTrailIsRefusedWithTheTrail) {
  StartLine();
  Chars(std::string(254, 'k'));
  Chars(kKanji);
  EXPECT_EQ(Line(), std::string(254, 'k'));
  Chars("z");
  EXPECT_EQ(Line(), std::string(254, 'k') + "z");
}

TEST_F(ConsoleTest, APasteIsCutToTheLineWithoutSplittingACharacter) {
  StartLine();
  Chars(std::string(250, 'k'));
  SetClipboardText("ab" + kKanji + kKanji + "cd");
  Char(22);
  EXPECT_EQ(Line(), std::string(250, 'k') + "ab" + kKanji);
  SetClipboardText(kKanji + "cd");
  Char(22);
  EXPECT_EQ(console.inputLength.load(), 254);
}

TEST_F(ConsoleTest, ReadLineReturnsTheTypedLineWithoutTheEnter) {
  bool requested = false;
  std::thread typist([&] {
    // The line request is on once the editor has a line; typed anyway after 10 s, so that the reader
    // is not left waiting if the request comes later still.
    for (int waited = 0; waited < 10000 && !(requested = console.inputLength.load() != -1); ++waited) Sleep(1);
    SupportTypeText(Window(), "ok \xE6\xBC\xA2");
    SupportPressKey(Window(), VK_RETURN);
  });
  TrackedString line = ConsoleReadLine();
  typist.join();
  EXPECT_TRUE(requested) << "the line request did not start within 10 s";
  EXPECT_EQ(std::string(line, StrLength(line)), "ok " + kKanji);
  StrRelease(line);
  EXPECT_EQ(console.inputLength.load(), -1);
}

TEST_F(ConsoleTest, KeysTypedWithoutARequestWaitInOrderForTheReaderAndAFullRingDropsTheNewest) {
  while (ConsoleTakeKey() != -1) {
  }
  Chars("ab");
  PostMessageA(Window(), WM_KEYDOWN, VK_UP, 0);
  PostMessageA(Window(), WM_KEYDOWN, VK_RIGHT, 0);
  Idle();
  EXPECT_EQ(ConsoleTakeKey(), 'a');
  EXPECT_EQ(ConsoleTakeKey(), 'b');
  EXPECT_EQ(ConsoleTakeKey(), 0x1E);
  EXPECT_EQ(ConsoleTakeKey(), 0x1C);
  EXPECT_EQ(ConsoleTakeKey(), -1);

  Chars(std::string(kKeyRingSize, 'x') + "y");
  EXPECT_EQ(ConsoleTakeKey(), 'x');
  int kept = 1;
  for (int32_t key; (key = ConsoleTakeKey()) != -1; ++kept) EXPECT_EQ(key, 'x');
  EXPECT_EQ(kept, static_cast<int>(kKeyRingSize));

  // What is typed into a line stays in the line.
  StartLine();
  Chars("z");
  EXPECT_EQ(Line(), "z");
  EXPECT_EQ(ConsoleTakeKey(), -1);
}
