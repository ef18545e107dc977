// The composition window: what the input method composes for a window is drawn by IMM32 at the
// composition window's point in the composition font, and the display shows it over the window.
#include "platform/display/headless_display.h"
#include "platform/user32/user_internal.h"
#include "window_harness.h"

using namespace harness;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFu, kBlack = 0, kNavy = 0x800000u;  // 0x00BBGGRR

class Composition : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareWindows();
    ui = std::make_unique<WindowThread>();
    window = ui->Create();
    HIMC context = ImmGetContext(window);
    ASSERT_NE(context, nullptr);
    LOGFONTA font{};
    font.lfHeight = -16;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH;
    ASSERT_TRUE(ImmSetCompositionFontA(context, &font));
    Place(24, 32);
    ImmReleaseContext(window, context);
  }
  void TearDown() override { Compose("", -1, 0, 0); }

  void Place(int x, int y) {
    HIMC context = ImmGetContext(window);
    COMPOSITIONFORM form{};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos = POINT{x, y};
    ASSERT_TRUE(ImmSetCompositionWindow(context, &form));
    ImmReleaseContext(window, context);
  }
  // As the display reports it.
  void Compose(const char* utf8, int cursor, int selectionStart, int selectionLength) {
    platform::user32::DisplayEventSink().Composition(window, utf8, cursor, selectionStart, selectionLength);
  }
  platform::display::OverlayImage Shown() { return platform::display::Headless()->Composition(window); }
  static uint32_t At(const platform::display::OverlayImage& image, int x, int y) {
    return image.pixels[static_cast<size_t>(y) * image.width + x];
  }
  // How many pixels of the column range [x0, x1) of row y are `color`.
  static int Count(const platform::display::OverlayImage& image, int x0, int x1, int y0, int y1, uint32_t color) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += At(image, x, y) == color;
    return n;
  }

  std::unique_ptr<WindowThread> ui;  // made once the headless display is chosen
  HWND window = nullptr;
};

TEST_F(Composition, TheStringIsDrawnBlackOnWhiteUnderlinedWithTheCursorAtItsPoint) {
  EXPECT_TRUE(Shown().pixels.empty());
  Compose("かんじ", 3, 0, 0);
  auto image = Shown();
  ASSERT_FALSE(image.pixels.empty());
  EXPECT_EQ(image.at.x, 24);
  EXPECT_EQ(image.at.y, 32);
  ASSERT_EQ(image.height, 16);        // the composition font's height
  ASSERT_EQ(image.width, 3 * 16 + 2);  // three full-width characters and the cursor bar
  for (int c = 0; c < 3; ++c) {
    const int x0 = c * 16, x1 = x0 + 16;
    EXPECT_GT(Count(image, x0, x1, 0, 15, kBlack), 10) << "character " << c << " is drawn";
    EXPECT_GT(Count(image, x0, x1, 0, 15, kWhite), 100) << "character " << c << " is on white";
    EXPECT_EQ(Count(image, x0, x1, 15, 16, kBlack), 16) << "character " << c << " is underlined";
  }
  EXPECT_EQ(Count(image, 48, 50, 0, 16, kBlack), 32) << "the cursor bar after the last character";

  // The cursor moved back one character.
  Compose("かんじ", 2, 0, 0);
  EXPECT_EQ(Count(Shown(), 32, 34, 0, 16, kBlack), 32);
}

TEST_F(Composition, TheClauseBeingConvertedIsHighlightedAndHasNoCursor) {
  Compose("漢字を", -1, 0, 2);
  auto image = Shown();
  ASSERT_EQ(image.width, 3 * 16);
  EXPECT_GT(Count(image, 0, 32, 0, 16, kNavy), 300) << "white on the selection colour";
  EXPECT_GT(Count(image, 0, 32, 0, 16, kWhite), 10);
  EXPECT_GT(Count(image, 32, 48, 0, 15, kWhite), 150) << "the rest stays black on white";
  EXPECT_EQ(Count(image, 32, 48, 15, 16, kBlack), 16);
}

TEST_F(Composition, ItFollowsTheCompositionWindowAndGoesWhenTheCompositionEnds) {
  Compose("a", 1, 0, 0);
  ASSERT_EQ(Shown().width, 8 + 2);  // a half-width character
  Place(40, 48);
  EXPECT_EQ(Shown().at.x, 40);
  EXPECT_EQ(Shown().at.y, 48);
  Compose("", -1, 0, 0);
  EXPECT_TRUE(Shown().pixels.empty());
}

// A long composition in a large font is drawn only as far as the window shows it, never as a picture
// of its whole length (which could run to hundreds of megabytes).
TEST_F(Composition, OnlyThePartInsideTheWindowIsDrawn) {
  HIMC context = ImmGetContext(window);
  LOGFONTA font{};
  font.lfHeight = -400;
  font.lfCharSet = SHIFTJIS_CHARSET;
  ASSERT_TRUE(ImmSetCompositionFontA(context, &font));
  ImmReleaseContext(window, context);
  RECT client{};
  ASSERT_TRUE(GetClientRect(window, &client));
  Compose("かんじかんじかんじかんじかんじかんじ", 18, 0, 0);  // 18 characters 400 pixels wide each
  auto image = Shown();
  ASSERT_FALSE(image.pixels.empty());
  EXPECT_EQ(image.at.x, 24);
  EXPECT_EQ(image.width, client.right - 24);
  EXPECT_EQ(image.height, std::min<int>(client.bottom - 32, 400));
  // Placed above and left of the window, it keeps the part that shows, from the client's corner.
  Place(-1000, -100);
  image = Shown();
  EXPECT_EQ(image.at.x, 0);
  EXPECT_EQ(image.at.y, 0);
  EXPECT_EQ(image.width, client.right);
  EXPECT_GT(Count(image, 0, image.width, 0, image.height, kBlack), 100) << "the characters are drawn";
}

TEST_F(Composition, ItIsShownForTheWindowWithTheFocus) {
  HWND other = ui->Create();
  ui->Call([&] { SetFocus(window); });
  platform::user32::DisplayEventSink().Composition(other, "か", 1, 0, 0);
  EXPECT_FALSE(Shown().pixels.empty());
  EXPECT_TRUE(platform::display::Headless()->Composition(other).pixels.empty());
}

}  // namespace
