#include "tests/graphics/graphics_fixture.h"

#include <filesystem>

#include "console/console_state.h"
#include "graphics/pages.h"
#include "program/program_main.h"
#include "support/display.h"
#include "tests/common/program_environment.h"
#include "tools/dc_pixels.h"

namespace {

class ConsoleEnvironment : public HeadlessProgramEnvironment {
 public:
  void SetUp() override {
    HeadlessProgramEnvironment::SetUp();
    ASSERT_NE(console.consoleWindow, nullptr);
    ASSERT_NE(console.backBuffer, nullptr);
  }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ConsoleEnvironment);

}  // namespace

DWORD GdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

void GraphicsTest::SetUp() {
  SupportWaitIdle(console.consoleWindow);
  GdiLeakTest::SetUp();
  FillBack(0, 0, console.screenWidth, console.screenHeight, 0, true);
  for (Surface* page : {&workPage, &halfPage, &showPage}) {
    SurfaceInit(page);
    SurfaceBind(page);
  }
  SurfaceCapture(&workPage, 0, 0, kPageWidth, kPageHeight);
  SurfaceCapture(&halfPage, 0, 0, kPageWidth, kHalfPageHeight);
  SurfaceCapture(&showPage, 0, 0, kPageWidth, kPageHeight);
}

void GraphicsTest::TearDown() {
  for (Surface* page : {&workPage, &halfPage, &showPage}) {
    SurfaceDeleteBitmap(page);
    SurfaceDestroy(page);
  }
  GdiLeakTest::TearDown();
  if (!tempDir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(tempDir_, ignored);
  }
}

PixelImage GraphicsTest::WindowPixels(int x, int y, int width, int height) {
  PixelImage image;
  HDC dc = GetDC(console.consoleWindow);
  EXPECT_TRUE(ReadDCPixels(dc, x, y, width, height, &image));
  ReleaseDC(console.consoleWindow, dc);
  return image;
}

PixelImage GraphicsTest::BackPixels(int x, int y, int width, int height) {
  PixelImage image;
  EXPECT_TRUE(ReadDCPixels(console.backBuffer, x, y, width, height, &image));
  return image;
}

PixelImage GraphicsTest::BitmapPixels(HBITMAP bitmap) {
  PixelImage image;
  EXPECT_TRUE(ReadBitmapPixels(bitmap, &image));
  return image;
}

void GraphicsTest::FillBack(int x, int y, int width, int height, COLORREF color, bool window) {
  HBRUSH brush = CreateSolidBrush(color);
  HGDIOBJ kept = SelectObject(console.backBuffer, brush);
  PatBlt(console.backBuffer, x, y, width, height, PATCOPY);
  SelectObject(console.backBuffer, kept);
  if (window) {
    HDC dc = GetDC(console.consoleWindow);
    SelectObject(dc, brush);
    PatBlt(dc, x, y, width, height, PATCOPY);
    ReleaseDC(console.consoleWindow, dc);
  }
  DeleteObject(brush);
}

std::string GraphicsTest::TempPath(const std::string& name) {
  if (tempDir_.empty()) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // The process id keeps runs of the suite at the same time (two builds, say) apart.
    tempDir_ = ::testing::TempDir() + "graphics-" + std::to_string(GetCurrentProcessId()) + "-" +
               info->test_suite_name() + "-" + info->name();
    std::filesystem::create_directories(tempDir_);
  }
  return tempDir_ + "/" + name;
}
