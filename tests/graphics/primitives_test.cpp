// The palette, DrawLine and PaintTile.
#include <gtest/gtest.h>

#include "console/console_state.h"
#include "graphics/image_object.h"
#include "graphics/pages.h"
#include "graphics/primitives.h"
#include "tests/common/image_compare.h"
#include "tests/graphics/graphics_fixture.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlue = 0xFF0000;
constexpr COLORREF kRed = 0x0000FF;
constexpr int32_t kSentinel = kLastPointSentinel;

int CountColor(const PixelImage& image, COLORREF color) {
  int count = 0;
  for (uint32_t p : image.pixels) count += p == color;
  return count;
}

class PrimitivesTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    lastPoint = {0, 0};
  }
};

TEST(ColorFromIndex, MapsTheEightIndexesAndBlackensEveryOther) {
  EXPECT_EQ(ColorFromIndex(0), 0x000000u);
  EXPECT_EQ(ColorFromIndex(1), 0xFF0000u);  // bit 0 is blue
  EXPECT_EQ(ColorFromIndex(2), 0x0000FFu);
  EXPECT_EQ(ColorFromIndex(3), 0xFF00FFu);
  EXPECT_EQ(ColorFromIndex(4), 0x00FF00u);
  EXPECT_EQ(ColorFromIndex(5), 0xFFFF00u);
  EXPECT_EQ(ColorFromIndex(6), 0x00FFFFu);
  EXPECT_EQ(ColorFromIndex(7), 0xFFFFFFu);
  EXPECT_EQ(ColorFromIndex(8), 0u);
  EXPECT_EQ(ColorFromIndex(-1), 0u);
  EXPECT_EQ(ColorFromIndex(INT32_MIN), 0u);
}

TEST_F(PrimitivesTest, ALineIncludesBothEnds) {
  DrawLine(0, 0, 0, 10, 0, kWhite, 0, 0, false);
  EXPECT_EQ(CountColor(WindowPixels(0, 0, 20, 3), kWhite), 11);
  EXPECT_EQ(CountColor(BackPixels(0, 0, 20, 3), kWhite), 11);
  EXPECT_EQ(GetPixel(console.backBuffer, 10, 0), kWhite);
  EXPECT_EQ(GetPixel(console.backBuffer, 11, 0), 0u);
}

TEST_F(PrimitivesTest, ALineFromAPointToItselfSetsThatOnePixel) {
  DrawLine(5, 7, 0, 5, 7, kWhite, 0, 0, false);
  const PixelImage back = BackPixels(0, 0, 16, 16);
  EXPECT_EQ(CountColor(back, kWhite), 1);
  EXPECT_EQ(back.At(5, 7), kWhite);
}

TEST_F(PrimitivesTest, AnAbsoluteBoxIsOrderedAndLastPointIsItsBottomRight) {
  DrawLine(60, 60, 0, 9, 9, kWhite, 1, kWhite, false);
  const PixelImage reversed = BackPixels(0, 0, 80, 80);
  EXPECT_EQ(lastPoint.x, 60);
  EXPECT_EQ(lastPoint.y, 60);
  FillBack(0, 0, 80, 80, 0);
  DrawLine(9, 9, 0, 60, 60, kWhite, 1, kWhite, false);
  EXPECT_EQ(lastPoint.x, 60);
  EXPECT_EQ(lastPoint.y, 60);
  const PixelImage ordered = BackPixels(0, 0, 80, 80);
  EXPECT_TRUE(ImagesMatch(ordered, reversed));
  // The outline covers columns and rows 9 to 60, both inclusive.
  EXPECT_EQ(ordered.At(9, 9), kWhite);
  EXPECT_EQ(ordered.At(60, 60), kWhite);
  EXPECT_EQ(ordered.At(61, 60), 0u);
  EXPECT_EQ(ordered.At(60, 61), 0u);
  EXPECT_EQ(CountColor(ordered, kWhite), 4 * 51);
}

TEST_F(PrimitivesTest, ARelativeBoxIsNotReordered) {
  // Rectangle(10, 10, 6, 6): the corners are swapped by Rectangle itself, which then covers 6..9.
  DrawLine(10, 10, 1, -5, -5, kWhite, 1, kWhite, false);
  EXPECT_EQ(lastPoint.x, 5);
  EXPECT_EQ(lastPoint.y, 5);
  const PixelImage back = BackPixels(0, 0, 16, 16);
  EXPECT_EQ(back.At(6, 6), kWhite);
  EXPECT_EQ(back.At(9, 9), kWhite);
  EXPECT_EQ(back.At(5, 5), 0u);
  EXPECT_EQ(back.At(10, 10), 0u);
}

TEST_F(PrimitivesTest, TheSentinelStartIsLastPoint) {
  // Before any line, lastPoint is (0, 0).
  DrawLine(kSentinel, kSentinel, 1, 5, 0, kWhite, 0, 0, false);
  EXPECT_EQ(lastPoint.x, 5);
  EXPECT_EQ(lastPoint.y, 0);
  EXPECT_EQ(CountColor(BackPixels(0, 0, 16, 4), kWhite), 6);
  DrawLine(kSentinel, kSentinel, 1, 0, 3, kBlue, 0, 0, false);
  EXPECT_EQ(lastPoint.x, 5);
  EXPECT_EQ(lastPoint.y, 3);
  EXPECT_EQ(GetPixel(console.backBuffer, 5, 3), kBlue);
  EXPECT_EQ(GetPixel(console.backBuffer, 5, 1), kBlue);
}

TEST_F(PrimitivesTest, AStartWithOnlyOneSentinelCoordinateIsUsedUnchanged) {
  lastPoint = {3, 3};
  DrawLine(kSentinel, 4, 1, 0, 0, kWhite, 0, 0, true);
  EXPECT_EQ(lastPoint.x, kSentinel);
  EXPECT_EQ(lastPoint.y, 4);
}

TEST_F(PrimitivesTest, ABufferedPrimitiveLeavesTheWindowAloneAndRefreshesWorkPage) {
  DrawLine(20, 20, 0, 40, 30, kWhite, 2, kRed, true);
  for (uint32_t p : WindowPixels(0, 0, 64, 64).pixels) ASSERT_EQ(p, 0u);
  const PixelImage page = BitmapPixels(SurfaceGetBitmap(&workPage));
  EXPECT_TRUE(ImagesMatch(BackPixels(0, 0, kPageWidth, kPageHeight), page));
  EXPECT_EQ(page.At(20, 20), kWhite);
  EXPECT_EQ(page.At(30, 25), kRed);
}

TEST_F(PrimitivesTest, ModeTwoFillsTheBoxAndModeOneKeepsItsInterior) {
  FillBack(0, 0, 100, 40, kBlue);
  DrawLine(10, 10, 0, 30, 30, kWhite, 1, kRed, false);
  EXPECT_EQ(GetPixel(console.backBuffer, 20, 20), kBlue);
  DrawLine(50, 10, 0, 70, 30, kWhite, 2, kRed, false);
  EXPECT_EQ(GetPixel(console.backBuffer, 60, 20), kRed);
  EXPECT_EQ(GetPixel(console.backBuffer, 50, 20), kWhite);
  EXPECT_EQ(GetPixel(console.backBuffer, 70, 30), kWhite);
  const PixelImage window = WindowPixels(0, 0, 100, 40);
  EXPECT_EQ(window.At(60, 20), kRed);
  EXPECT_EQ(window.At(20, 20), 0u);  // the window was black inside the outline
}

TEST_F(PrimitivesTest, ThePrimitivesGiveBackEveryPenBrushAndDC) {
  HGDIOBJ penBefore = GetCurrentObject(console.backBuffer, OBJ_PEN);
  HGDIOBJ brushBefore = GetCurrentObject(console.backBuffer, OBJ_BRUSH);
  const DWORD objects = GdiObjects();
  DrawLine(1, 1, 0, 9, 9, kWhite, 2, kRed, false);
  DrawLine(1, 1, 0, 9, 9, kWhite, 0, kRed, false);
  EXPECT_EQ(GetCurrentObject(console.backBuffer, OBJ_PEN), penBefore);
  EXPECT_EQ(GetCurrentObject(console.backBuffer, OBJ_BRUSH), brushBefore);
  EXPECT_EQ(GdiObjects(), objects);
}

// PaintTile with a tile image holding a 2 x 2 tile of four colours.
class PaintTileTest : public PrimitivesTest {
 protected:
  void SetUp() override {
    PrimitivesTest::SetUp();
    ImageInit(&tileImage);
    ImageSetScanDelay(&tileImage, -1);
    SurfaceBind(&tileImage);
  }
  void TearDown() override {
    ImageDestroy(&tileImage);
    PrimitivesTest::TearDown();
  }
  void MakeTile() {
    SetPixel(console.backBuffer, 0, 0, kTile[0]);
    SetPixel(console.backBuffer, 1, 0, kTile[1]);
    SetPixel(console.backBuffer, 0, 1, kTile[2]);
    SetPixel(console.backBuffer, 1, 1, kTile[3]);
    ImageCaptureAndScan(&tileImage, 0, 0, 2, 2);
    FillBack(0, 0, 2, 2, 0);
  }
  static COLORREF TileAt(int x, int y) { return kTile[(y % 2) * 2 + x % 2]; }
  static constexpr COLORREF kTile[4] = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
};

TEST_F(PaintTileTest, FillsTheBoundedRegionWithThePatternAnchoredAtTheOrigin) {
  MakeTile();
  DrawLine(9, 9, 0, 30, 30, kWhite, 1, kWhite, true);
  PaintTile(15, 12, 7, true);
  const PixelImage back = BackPixels(0, 0, 40, 40);
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 30; ++x) ASSERT_EQ(back.At(x, y), TileAt(x, y)) << "(" << x << ", " << y << ")";
  EXPECT_EQ(back.At(9, 9), kWhite);
  EXPECT_EQ(back.At(31, 20), 0u);
  EXPECT_TRUE(ImagesMatch(back, BitmapPixels(SurfaceGetBitmap(&workPage)).Crop(0, 0, 40, 40)));
}

TEST_F(PaintTileTest, TwoFillsFromDifferentPointsOfOneRegionAreSeamless) {
  MakeTile();
  DrawLine(9, 9, 0, 30, 30, kWhite, 1, kWhite, true);
  PaintTile(10, 10, 7, true);
  const PixelImage once = BackPixels(0, 0, 40, 40);
  FillBack(10, 10, 20, 20, 0x00AA00);
  PaintTile(27, 18, 7, true);
  EXPECT_TRUE(ImagesMatch(once, BackPixels(0, 0, 40, 40)));
}

TEST_F(PaintTileTest, StartedOnABorderPixelItFillsNothing) {
  MakeTile();
  DrawLine(9, 9, 0, 30, 30, kWhite, 1, kWhite, true);
  const PixelImage before = BackPixels(0, 0, 40, 40);
  PaintTile(9, 15, 7, true);
  EXPECT_TRUE(ImagesMatch(before, BackPixels(0, 0, 40, 40)));
}

TEST_F(PaintTileTest, UnbufferedItFillsTheWindowAsWell) {
  MakeTile();
  DrawLine(9, 9, 0, 20, 20, kWhite, 1, kWhite, false);
  PaintTile(12, 12, 7, false);
  EXPECT_EQ(GetPixel(console.backBuffer, 13, 14), TileAt(13, 14));
  EXPECT_EQ(WindowPixels(13, 14, 1, 1).At(0, 0), TileAt(13, 14));
}

TEST_F(PaintTileTest, WithoutATileBitmapTheFillIsSkipped) {
  DrawLine(9, 9, 0, 30, 30, kWhite, 1, kWhite, true);
  // A brush left selected in the back buffer must not be what fills the box.
  HBRUSH stray = CreateSolidBrush(kRed);
  HGDIOBJ kept = SelectObject(console.backBuffer, stray);
  PaintTile(15, 15, 7, true);
  SelectObject(console.backBuffer, kept);
  DeleteObject(stray);
  EXPECT_EQ(CountColor(BackPixels(0, 0, 40, 40), kRed), 0);
}

}  // namespace
