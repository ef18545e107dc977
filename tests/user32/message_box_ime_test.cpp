// Message boxes on the headless display, and the input context of a window.
#include "window_harness.h"

using namespace harness;

namespace {

class MessageBoxes : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareWindows();
    SupportTakeMessageBoxes();
  }
};

TEST_F(MessageBoxes, AMessageBoxIsAnsweredWithOkAndRecorded) {
  WindowThread ui;
  HWND w = ui.Create();
  std::string text = Cp932("ピクセル情報の取得に失敗。"), caption = Cp932("エラー");
  EXPECT_EQ(MessageBoxA(w, text.c_str(), caption.c_str(), MB_ICONERROR), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "second", nullptr, MB_OK), IDOK);
  auto boxes = SupportTakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].owner, w);
  EXPECT_EQ(boxes[0].text, text);
  EXPECT_EQ(boxes[0].caption, caption);
  EXPECT_EQ(boxes[0].type, MB_ICONERROR);
  EXPECT_EQ(boxes[1].caption, "Error");
  EXPECT_TRUE(SupportTakeMessageBoxes().empty());
  ui.Call([&] { DestroyWindow(w); });
  EXPECT_EQ(MessageBoxA(w, "gone", "x", MB_OK), 0);  // a stale owner
}

TEST_F(MessageBoxes, TheCompositionWindowAndFontAreSetThroughTheWindowsContext) {
  WindowThread ui;
  HWND w = ui.Create();
  HIMC imc = ImmGetContext(w);
  ASSERT_NE(imc, nullptr);
  EXPECT_FALSE(SupportGetInputMethod(w).placed);
  LOGFONTA font{};
  font.lfHeight = -16;
  font.lfCharSet = SHIFTJIS_CHARSET;
  EXPECT_TRUE(ImmSetCompositionFontA(imc, &font));
  COMPOSITIONFORM form{};
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos = POINT{24, 32};
  EXPECT_TRUE(ImmSetCompositionWindow(imc, &form));
  EXPECT_TRUE(ImmReleaseContext(w, imc));
  SupportInputMethod im = SupportGetInputMethod(w);
  EXPECT_TRUE(im.placed);
  EXPECT_EQ(im.point.x, 24);
  EXPECT_EQ(im.point.y, 32);
  EXPECT_TRUE(im.hasFont);
  EXPECT_EQ(im.font.lfHeight, -16);
  EXPECT_EQ(im.textInputRect.left, 24);
  EXPECT_EQ(im.textInputRect.top, 32);
  EXPECT_EQ(im.textInputRect.bottom, 48);  // as tall as the composition font
  ui.Call([&] { DestroyWindow(w); });
  EXPECT_EQ(ImmGetContext(w), nullptr);
  EXPECT_FALSE(ImmSetCompositionWindow(imc, &form));
}

}  // namespace
