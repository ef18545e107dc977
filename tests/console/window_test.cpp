// The console window: start-up, the back buffer and the cell, painting, the caret, resizing.
#include "tests/console/console_fixture.h"

#include "support/display.h"

// Under Wine the console font is replaced by IPAGothic, whose metrics give a 17-pixel cell; this one
// is left out there.
TEST_F(ConsoleTest, StartUpMeasuresAnEightBySixteenCell) {
  EXPECT_EQ(console.cellWidth, kCell);
  EXPECT_EQ(console.cellHeight, 16);
}

TEST_F(ConsoleTest, StartUpMakesAScreenSizedBackBuffer) {
  EXPECT_EQ(console.screenWidth, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(console.screenHeight, GetSystemMetrics(SM_CYSCREEN));
  BITMAP bitmap = {};
  ASSERT_NE(GetObjectA(console.backBitmap, sizeof bitmap, &bitmap), 0);
  EXPECT_EQ(bitmap.bmWidth, 1024);
  EXPECT_EQ(bitmap.bmHeight, 768);
  EXPECT_NE(console.consoleFontHandle, nullptr);
  EXPECT_EQ(console.inputLength.load(), -1);
}

TEST_F(ConsoleTest, OnlyTheThirtyTwoSlotStringsStayRegisteredBetweenMessages) {
  // Counted between messages only: a real windowing system (Wine's) may hand the window a message of
  // its own at any moment, and while it runs its echo string is registered too. A leak stays; that
  // one goes.
  const auto settlesAtThirtyTwo = [] {
    int count = 0;
    for (int look = 0; look < 500; ++look) {
      if ((count = RegisteredStrings()) == 32) return ::testing::AssertionSuccess();
      Sleep(10);
    }
    return ::testing::AssertionFailure() << count << " strings registered, not 32";
  };
  EXPECT_TRUE(settlesAtThirtyTwo());
  StartLine();
  Chars("abc\t");
  Char(8);
  SetClipboardText("xy");
  SupportPressKey(Window(), 'V', true);
  Idle();
  Char(13);
  Print("hello\r\n");
  Repaint();
  EXPECT_TRUE(settlesAtThirtyTwo());
}

TEST_F(ConsoleTest, EveryPaintRaisesReadyFlagAgain) {
  console.readyFlag.store(0);
  Repaint();
  EXPECT_EQ(console.readyFlag.load(), 1);
  console.readyFlag.store(0);
  Repaint();
  EXPECT_EQ(console.readyFlag.load(), 1);
}

TEST_F(ConsoleTest, FocusWithoutALineRequestShowsNoCaret) {
  PostMessageA(Window(), WM_SETFOCUS, 0, 0);
  Idle();
  EXPECT_FALSE(SupportGetCaret(Window()).exists);
}

TEST_F(ConsoleTest, FocusDuringALineRequestShowsANineBySixCaretAtTheFootOfTheCursorCell) {
  Print("\r\n\r\nabc");
  StartLine();
  SupportCaret caret = SupportGetCaret(Window());
  ASSERT_TRUE(caret.exists);
  EXPECT_TRUE(caret.shown);
  EXPECT_EQ(caret.rect.left, 3 * kCell);
  EXPECT_EQ(caret.rect.top, 3 * RowHeight() - 7);
  EXPECT_EQ(caret.rect.right - caret.rect.left, 9);
  EXPECT_EQ(caret.rect.bottom - caret.rect.top, 6);

  // The caret follows each typed byte and is gone after Enter.
  Chars("xy");
  caret = SupportGetCaret(Window());
  EXPECT_EQ(caret.rect.left, 5 * kCell);
  Char(13);
  EXPECT_FALSE(SupportGetCaret(Window()).exists);

  // Losing the focus without a caret changes nothing visible.
  PostMessageA(Window(), WM_KILLFOCUS, 0, 0);
  Idle();
  EXPECT_FALSE(SupportGetCaret(Window()).exists);
}

TEST_F(ConsoleTest, EnlargingTheWindowShowsWhatWasDrawnOutsideIt) {
  // The enlarged window, frame included, stays within the 1024 x 768 screen: Windows keeps a window
  // to the largest size it can be tracked to.
  SetClientSize(200, 150);
  FillBackBuffer(900, 600, 20, 20, RGB(255, 0, 0));
  SetClientSize(1000, 700);
  EXPECT_EQ(WindowPixel(905, 605), RGB(255, 0, 0));
  EXPECT_EQ(WindowPixel(895, 605), RGB(0, 0, 0));
}
