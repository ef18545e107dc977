// The display's scale: the setting, the desktop's dpi, and the headless display at a scale.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/display/display_scale.h"
#include "platform/display/headless_display.h"

using namespace platform;
using namespace platform::display;

namespace {

TEST(DisplayScale, TheSettingIsAWholeNumberFromOneToEightOrNothing) {
  int scale = -1;
  for (int n = 1; n <= 8; ++n) {
    const std::string value = std::to_string(n);
    ASSERT_TRUE(ParseScaleSetting(value.c_str(), &scale)) << value;
    EXPECT_EQ(scale, n);
  }
  EXPECT_TRUE(ParseScaleSetting(nullptr, &scale));
  EXPECT_EQ(scale, 0);
  EXPECT_TRUE(ParseScaleSetting("", &scale));
  EXPECT_EQ(scale, 0);
  for (const char* bad : {"0", "9", "10", "02", "-1", "+2", "2x", " 2", "2 ", "1.5", "two"})
    EXPECT_FALSE(ParseScaleSetting(bad, &scale)) << '"' << bad << '"';
}

TEST(DisplayScale, XftDpiIsReadFromTheResourceString) {
  EXPECT_EQ(XftDpiOf("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"), 192);
  EXPECT_EQ(XftDpiOf("Xft.dpi: 144.5"), 144.5);               // no final newline, a space
  EXPECT_EQ(XftDpiOf("Xft.dpi:\t96\nXft.dpi:\t288\n"), 288);  // the last one holds
  EXPECT_EQ(XftDpiOf(""), 0);
  EXPECT_EQ(XftDpiOf("Xcursor.size:\t48\n"), 0);
  EXPECT_EQ(XftDpiOf("Xft.dpi:\thigh\n"), 0);
  EXPECT_EQ(XftDpiOf("Xft.dpi:\t192px\n"), 0);
  EXPECT_EQ(XftDpiOf("Xft.dpi:\t-192\n"), 0);
  EXPECT_EQ(XftDpiOf("myXft.dpi:\t192\n"), 0);
}

TEST(DisplayScale, TheDpiGivesWholeMultiplesOf96RoundedDown) {
  const std::pair<double, int> cases[] = {{0, 1},   {72, 1},      {96, 1},  {143.9, 1}, {144, 1},
                                          {191, 1}, {192, 2},     {287, 2}, {288, 3},   {384, 4},
                                          {768, 8}, {100000, 8}};
  for (auto [dpi, scale] : cases) EXPECT_EQ(ScaleForDpi(dpi), scale) << dpi;
}

// TILEPAINT_SCALE set for one test, as the user's environment would hold it.
class ScaleSetting : public ::testing::Test {
 protected:
  void Set(const char* value) { setenv("TILEPAINT_SCALE", value, 1); }
  void TearDown() override { unsetenv("TILEPAINT_SCALE"); }
};

TEST_F(ScaleSetting, OverridesAndIsRefusedWithTheValueNamed) {
  int scale = 0;
  Set("3");
  EXPECT_TRUE(ChooseDisplayScale(nullptr, &scale));
  EXPECT_EQ(scale, 3);
  Set("");
  EXPECT_TRUE(ChooseDisplayScale(nullptr, &scale));
  EXPECT_EQ(scale, 1);  // no X server to ask
  Set("12");
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(ChooseDisplayScale(nullptr, &scale));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find(
                ": TILEPAINT_SCALE must be a whole number from 1 to 8, not \"12\""),
            std::string::npos);
}

TEST_F(ScaleSetting, TheHeadlessScreenIsThePhysicalOneDividedAndWindowsAreShownEnlarged) {
  Set("2");
  std::unique_ptr<DisplayBackend> display(OpenHeadlessDisplay(2560, 1600));
  ASSERT_NE(display, nullptr);
  auto* headless = static_cast<HeadlessDisplay*>(display.get());
  EXPECT_EQ(headless->Scale(), 2);
  EXPECT_EQ(headless->ScreenWidth(), 1280);
  EXPECT_EQ(headless->ScreenHeight(), 800);

  DisplaySurface surface;
  {
    std::lock_guard<RankedMutex> lock(SurfaceLock());
    surface.Resize(3, 2);
    for (int i = 0; i < 6; ++i) surface.bits[i] = 0x010101u * (i + 1);
  }
  HWND hwnd = reinterpret_cast<HWND>(0x1234);
  ASSERT_TRUE(headless->CreateNativeWindow(hwnd, "C", "t", 3, 2, &surface));
  WindowFrame shown = headless->Shown(hwnd);
  ASSERT_EQ(shown.width, 6);
  ASSERT_EQ(shown.height, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(shown.pixels[y * 6 + x], 0x010101u * ((y / 2) * 3 + x / 2 + 1)) << x << "," << y;
  headless->DestroyNativeWindow(hwnd);
  EXPECT_TRUE(headless->Shown(hwnd).pixels.empty());

  Set("0");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(OpenHeadlessDisplay(640, 400), nullptr);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("not \"0\""), std::string::npos);
}

}  // namespace
