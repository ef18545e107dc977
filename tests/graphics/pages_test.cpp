// The pages: capturing the back buffer into workPage, showing it, and showing it line-doubled.
#include <gtest/gtest.h>

#include "console/console_state.h"
#include "graphics/pages.h"
#include "tests/common/image_compare.h"
#include "tests/graphics/graphics_fixture.h"

namespace {

// A distinct colour for every back-buffer row 0..399, so a misplaced row shows.
COLORREF RowColor(int row) { return RGB(row & 0xFF, 0x40 + (row >> 8) * 0x40, 0x80); }

class PagesTest : public GraphicsTest {
 protected:
  void PaintRows() {
    for (int row = 0; row < kPageHeight; ++row) FillBack(0, row, kPageWidth, 1, RowColor(row));
  }
};

TEST_F(PagesTest, CaptureWorkPageTakesTheBackBuffersTopLeft640x400) {
  PaintRows();
  ASSERT_EQ(CaptureWorkPage(), 1);
  PixelImage page = BitmapPixels(SurfaceGetBitmap(&workPage));
  EXPECT_TRUE(ImagesMatch(BackPixels(0, 0, kPageWidth, kPageHeight), page));
}

TEST_F(PagesTest, ShowWorkPageRightAfterACaptureLeavesTheBackBufferUnchanged) {
  PaintRows();
  const PixelImage before = BackPixels(0, 0, kPageWidth + 10, kPageHeight + 10);
  CaptureWorkPage();
  EXPECT_NE(ShowWorkPage(), 0);
  EXPECT_TRUE(ImagesMatch(before, BackPixels(0, 0, kPageWidth + 10, kPageHeight + 10)));
  EXPECT_TRUE(ImagesMatch(before.Crop(0, 0, kPageWidth, kPageHeight), WindowPixels(0, 0, kPageWidth, kPageHeight)));
}

TEST_F(PagesTest, ShowDoubledPageShowsRowRAtRows2rAnd2rPlus1) {
  PaintRows();
  CaptureWorkPage();
  EXPECT_NE(ShowDoubledPage(), 0);
  const PixelImage window = WindowPixels(0, 0, kPageWidth, kPageHeight);
  const PixelImage back = BackPixels(0, 0, kPageWidth, kPageHeight);
  // Rows 200..399 of workPage are not shown.
  for (int r = 0; r < kHalfPageHeight; ++r) {
    for (int x : {0, 1, 333, kPageWidth - 1}) {
      ASSERT_EQ(window.At(x, 2 * r), RowColor(r)) << "row " << 2 * r << " column " << x;
      ASSERT_EQ(window.At(x, 2 * r + 1), RowColor(r)) << "row " << 2 * r + 1 << " column " << x;
    }
  }
  EXPECT_TRUE(ImagesMatch(window, back));
}

TEST_F(PagesTest, ADoubledPictureCapturedAgainIsDoubledOnceMore) {
  PaintRows();
  CaptureWorkPage();
  ShowDoubledPage();
  CaptureWorkPage();
  ShowDoubledPage();
  const PixelImage window = WindowPixels(0, 0, kPageWidth, kPageHeight);
  for (int y = 0; y < kPageHeight; ++y) ASSERT_EQ(window.At(17, y), RowColor(y / 4)) << "row " << y;
}

TEST_F(PagesTest, ThePagesKeepTheirSizes) {
  PaintRows();
  CaptureWorkPage();
  ShowDoubledPage();
  BITMAP info = {};
  GetObjectA(SurfaceGetBitmap(&halfPage), sizeof info, &info);
  EXPECT_EQ(info.bmWidth, kPageWidth);
  EXPECT_EQ(info.bmHeight, kHalfPageHeight);
  GetObjectA(SurfaceGetBitmap(&showPage), sizeof info, &info);
  EXPECT_EQ(info.bmHeight, kPageHeight);
}

}  // namespace
