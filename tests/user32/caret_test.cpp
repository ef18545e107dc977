// The caret: created hidden, shown and hidden by count, moved, destroyed; never in the window's pixels.
#include <climits>

#include "window_harness.h"

using namespace harness;

namespace {

class CaretTest : public ::testing::Test {
 protected:
  void SetUp() override { PrepareWindows(); }
};

TEST_F(CaretTest, ACaretIsCreatedHiddenThenShownWhereItWasPut) {
  WindowThread ui;
  HWND w = ui.Create();
  EXPECT_FALSE(SupportGetCaret(w).exists);
  ui.Call([&] {
    ASSERT_TRUE(CreateCaret(w, nullptr, 9, 6));
    EXPECT_TRUE(SupportGetCaret(w).exists);
    EXPECT_FALSE(SupportGetCaret(w).shown);
    ASSERT_TRUE(SetCaretPos(16, 25));
    ASSERT_TRUE(ShowCaret(w));
  });
  SupportCaret c = SupportGetCaret(w);
  EXPECT_TRUE(c.exists);
  EXPECT_TRUE(c.shown);
  EXPECT_EQ(c.rect.left, 16);
  EXPECT_EQ(c.rect.top, 25);
  EXPECT_EQ(c.rect.right, 25);
  EXPECT_EQ(c.rect.bottom, 31);
  ui.Call([&] {
    POINT p{};
    EXPECT_TRUE(GetCaretPos(&p));
    EXPECT_EQ(p.x, 16);
  });
}

// A caret at the end of the int range reaches to its end, where position plus size would overflow.
TEST_F(CaretTest, ACaretAtTheEdgeOfTheRangeIsClampedToIt) {
  WindowThread ui;
  HWND w = ui.Create();
  ui.Call([&] {
    ASSERT_TRUE(CreateCaret(w, nullptr, 9, 6));
    ASSERT_TRUE(SetCaretPos(INT_MAX - 2, INT_MAX));
  });
  const RECT r = SupportGetCaret(w).rect;
  EXPECT_EQ(r.left, INT_MAX - 2);
  EXPECT_EQ(r.right, INT_MAX);
  EXPECT_EQ(r.bottom, INT_MAX);
}

TEST_F(CaretTest, HidingNestsAndDestroyingEndsIt) {
  WindowThread ui;
  HWND w = ui.Create();
  ui.Call([&] {
    CreateCaret(w, nullptr, 9, 6);
    ShowCaret(w);
    HideCaret(w);
    HideCaret(w);
    ShowCaret(w);
    EXPECT_FALSE(SupportGetCaret(w).shown);  // hidden twice, shown once
    ShowCaret(w);
    EXPECT_TRUE(SupportGetCaret(w).shown);
    EXPECT_TRUE(DestroyCaret());
    EXPECT_FALSE(SupportGetCaret(w).exists);
    // With no caret every call fails and nothing changes.
    EXPECT_FALSE(DestroyCaret());
    EXPECT_FALSE(HideCaret(w));
    EXPECT_FALSE(ShowCaret(w));
    EXPECT_FALSE(SetCaretPos(1, 1));
  });
}

TEST_F(CaretTest, TheCaretBelongsToItsThreadAndWindow) {
  WindowThread ui;
  HWND w = ui.Create();
  HWND other = ui.Create();
  EXPECT_FALSE(CreateCaret(w, nullptr, 2, 2));  // not this thread's window
  ui.Call([&] {
    CreateCaret(w, nullptr, 2, 2);
    EXPECT_FALSE(ShowCaret(other));
    EXPECT_TRUE(ShowCaret(nullptr));  // null means the caret's own window
  });
  EXPECT_FALSE(SupportGetCaret(other).exists);
  EXPECT_TRUE(SupportGetCaret(w).shown);
  // Destroying the window takes its caret with it.
  ui.Call([&] { DestroyWindow(w); });
  ui.Call([&] { EXPECT_FALSE(SetCaretPos(0, 0)); });
}

TEST_F(CaretTest, TheCaretIsNeverWrittenIntoTheWindowsPixels) {
  WindowThread ui;
  HWND w = ui.Create();
  ASSERT_TRUE(SupportWaitIdle(w));
  HDC dc = GetDC(w);
  SetPixel(dc, 3, 3, RGB(40, 50, 60));
  ui.Call([&] {
    CreateCaret(w, nullptr, 9, 6);
    SetCaretPos(0, 0);
    ShowCaret(w);
  });
  EXPECT_EQ(GetPixel(dc, 3, 3), RGB(40, 50, 60));
  EXPECT_EQ(GetPixel(dc, 5, 5), 0u);
  ReleaseDC(w, dc);
}

}  // namespace
