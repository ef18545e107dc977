// Surfaces: capture, draw, blit between surfaces, and the ownership of their bitmaps.
#include <gtest/gtest.h>

#include "console/console_state.h"
#include "graphics/pages.h"
#include "graphics/surface.h"
#include "tests/common/image_compare.h"
#include "tests/graphics/graphics_fixture.h"

namespace {

constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kGreen = 0x00FF00;

class SurfaceTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    SurfaceInit(&surface);
    SurfaceBind(&surface);
  }
  void TearDown() override {
    SurfaceDeleteBitmap(&surface);
    SurfaceDestroy(&surface);
    GraphicsTest::TearDown();
  }
  Surface surface = {};
};

int32_t BitmapWidth(HBITMAP bitmap) {
  BITMAP info = {};
  GetObjectA(bitmap, sizeof info, &info);
  return info.bmWidth;
}

TEST_F(SurfaceTest, BindingTakesTheConsoleWindowAndBackBuffer) {
  EXPECT_EQ(surface.window, console.consoleWindow);
  EXPECT_EQ(surface.bufferDC, console.backBuffer);
  EXPECT_EQ(surface.mirrorFlag, 1);
}

TEST_F(SurfaceTest, CaptureCopiesTheBackBufferNotTheWindow) {
  FillBack(10, 20, 4, 3, kRed);  // the back buffer only; the window stays black
  ASSERT_EQ(SurfaceCapture(&surface, 10, 20, 4, 3), 1);
  PixelImage captured = BitmapPixels(SurfaceGetBitmap(&surface));
  ASSERT_EQ(captured.width, 4);
  ASSERT_EQ(captured.height, 3);
  for (uint32_t p : captured.pixels) EXPECT_EQ(p, kRed);
}

TEST_F(SurfaceTest, CaptureWithoutMirrorReadsTheWindow) {
  FillBack(0, 0, 8, 8, kRed);
  surface.mirrorFlag = 0;
  ASSERT_EQ(SurfaceCapture(&surface, 0, 0, 8, 8), 1);
  for (uint32_t p : BitmapPixels(SurfaceGetBitmap(&surface)).pixels) EXPECT_EQ(p, 0u);
}

TEST_F(SurfaceTest, ACaptureOfAnotherSizeReplacesAndDeletesTheOldBitmap) {
  SurfaceCapture(&surface, 0, 0, 16, 16);
  HBITMAP old = SurfaceGetBitmap(&surface);
  const DWORD objects = GdiObjects();
  SurfaceCapture(&surface, 0, 0, 32, 8);
  EXPECT_EQ(BitmapWidth(SurfaceGetBitmap(&surface)), 32);
  EXPECT_EQ(GdiObjects(), objects);
  BITMAP info = {};
  if (SurfaceGetBitmap(&surface) != old) {
    EXPECT_EQ(GetObjectA(old, sizeof info, &info), 0);
  }
}

// Runs on our stack only: Wine's GetGuiResources is a stub that answers 0.
TEST_F(SurfaceTest, SetBitmapTakesOwnershipAndDeletesTheOneItReplaces) {
  SurfaceCapture(&surface, 0, 0, 4, 4);
  const DWORD objects = GdiObjects();
  HDC screen = GetDC(nullptr);
  HBITMAP replacement = CreateCompatibleBitmap(screen, 5, 5);
  ReleaseDC(nullptr, screen);
  SurfaceSetBitmap(&surface, replacement);
  EXPECT_EQ(SurfaceGetBitmap(&surface), replacement);
  EXPECT_EQ(GdiObjects(), objects);
  SurfaceDeleteBitmap(&surface);
  EXPECT_EQ(SurfaceGetBitmap(&surface), nullptr);
  EXPECT_EQ(GdiObjects(), objects - 1);
}

TEST_F(SurfaceTest, DrawOnTheWindowIsMirroredIntoTheBackBuffer) {
  FillBack(0, 0, 6, 4, kGreen);
  SurfaceCapture(&surface, 0, 0, 6, 4);
  FillBack(0, 0, 6, 4, 0);
  EXPECT_NE(SurfaceDraw(&surface, 100, 50, 12, 0, 0, nullptr), 0);  // height fitted: 8
  PixelImage window = WindowPixels(100, 50, 13, 9);
  PixelImage back = BackPixels(100, 50, 13, 9);
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 13; ++x) {
      const uint32_t expected = (x < 12 && y < 8) ? kGreen : 0u;
      EXPECT_EQ(window.At(x, y), expected) << "window (" << x << ", " << y << ")";
      EXPECT_EQ(back.At(x, y), expected) << "back buffer (" << x << ", " << y << ")";
    }
  }
}

TEST_F(SurfaceTest, DrawOntoAGivenDCNeverTouchesTheWindowOrTheBackBuffer) {
  FillBack(0, 0, 4, 4, kRed);
  SurfaceCapture(&surface, 0, 0, 4, 4);
  FillBack(0, 0, 4, 4, 0);
  HDC memory = CreateCompatibleDC(console.backBuffer);
  HBITMAP target = CreateCompatibleBitmap(console.backBuffer, 8, 8);
  HGDIOBJ kept = SelectObject(memory, target);
  EXPECT_NE(SurfaceDraw(&surface, 2, 2, 0, 0, 0, memory), 0);
  EXPECT_EQ(GetPixel(memory, 3, 3), kRed);
  SelectObject(memory, kept);
  DeleteDC(memory);
  DeleteObject(target);
  for (uint32_t p : WindowPixels(0, 0, 8, 8).pixels) EXPECT_EQ(p, 0u);
  for (uint32_t p : BackPixels(0, 0, 8, 8).pixels) EXPECT_EQ(p, 0u);
}

TEST_F(SurfaceTest, ASurfaceWithoutABitmapDrawsNothing) {
  EXPECT_EQ(SurfaceDraw(&surface, 0, 0, 0), 0);
  for (uint32_t p : BackPixels(0, 0, 16, 16).pixels) EXPECT_EQ(p, 0u);
}

TEST_F(SurfaceTest, BlitToItselfOrBetweenTwoEmptySurfacesIsRefused) {
  Surface other = {};
  SurfaceInit(&other);
  SurfaceBind(&other);
  EXPECT_EQ(SurfaceBlitTo(&surface, 0, 0, 0, 0, 0, &other), 0);  // both without a bitmap
  SurfaceCapture(&surface, 0, 0, 4, 4);
  EXPECT_EQ(SurfaceBlitTo(&surface, 0, 0, 0, 0, 0, &surface), 0);
  EXPECT_EQ(SurfaceDrawToBitmap(&surface, 0, 0, 0, 0, 0, SurfaceGetBitmap(&surface)), 0);
  // A destination without a bitmap cannot be selected into a DC.
  EXPECT_EQ(SurfaceBlitTo(&surface, 0, 0, 0, 0, 0, &other), 0);
  EXPECT_EQ(SurfaceGetBitmap(&other), nullptr);
  SurfaceDestroy(&other);
}

TEST_F(SurfaceTest, BlitToClipsToTheDestinationsSize) {
  FillBack(0, 0, 8, 8, kRed);
  SurfaceCapture(&surface, 0, 0, 8, 8);
  Surface small = {};
  SurfaceInit(&small);
  SurfaceBind(&small);
  FillBack(0, 0, 8, 8, kGreen);
  SurfaceCapture(&small, 0, 0, 4, 4);
  EXPECT_NE(SurfaceBlitTo(&surface, 2, 2, 0, 0, 0, &small), 0);
  PixelImage result = BitmapPixels(SurfaceGetBitmap(&small));
  ASSERT_EQ(result.width, 4);
  EXPECT_EQ(result.At(1, 1), kGreen);
  EXPECT_EQ(result.At(2, 2), kRed);
  EXPECT_EQ(result.At(3, 3), kRed);
  SurfaceDeleteBitmap(&small);
  SurfaceDestroy(&small);
}

TEST_F(SurfaceTest, AnUnboundSurfaceRefusesToCaptureOrDraw) {
  Surface unbound = {};
  SurfaceInit(&unbound);
  EXPECT_EQ(SurfaceCapture(&unbound, 0, 0, 4, 4), 0);
  EXPECT_EQ(SurfaceGetBitmap(&unbound), nullptr);
  // Given a bitmap, it still does not paint the screen.
  HDC screen = GetDC(nullptr);
  SurfaceSetBitmap(&unbound, CreateCompatibleBitmap(screen, 4, 4));
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(SurfaceDraw(&unbound, 0, 0, 0), 0);
  EXPECT_EQ(SurfaceBlitTo(&unbound, 0, 0, 0, 0, 0, &surface), 0);
  SurfaceDeleteBitmap(&unbound);
  SurfaceDestroy(&unbound);
}

}  // namespace
