// SetPixel, GetPixel, MoveToEx and LineTo with the raster rules of the real thing.
#include <set>
#include <utility>

#include "gdi_test.h"

namespace {

class LinesAndPixels : public GdiTest {};

constexpr COLORREF kInk = RGB(255, 255, 255);

using Points = std::set<std::pair<int, int>>;

// The pixels that hold the ink after drawing one line with a white pen on black.
Points DrawnBy(int x0, int y0, int x1, int y1, int width = 16, int height = 16) {
  Canvas canvas(width, height);
  HPEN pen = CreatePen(PS_SOLID, 1, kInk);
  HGDIOBJ old = SelectObject(canvas.dc(), pen);
  MoveToEx(canvas.dc(), x0, y0, nullptr);
  LineTo(canvas.dc(), x1, y1);
  SelectObject(canvas.dc(), old);
  DeleteObject(pen);
  Points points;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (GetPixel(canvas.dc(), x, y) == kInk) points.insert({x, y});
  return points;
}

TEST_F(LinesAndPixels, GetPixelReturnsExactlyWhatSetPixelStored) {
  Canvas canvas(4, 4);
  EXPECT_EQ(SetPixel(canvas.dc(), 1, 2, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(canvas.dc(), 1, 2), RGB(1, 2, 3));
  EXPECT_EQ(SetPixel(canvas.dc(), 3, 3, 0xFEFDFCFB), 0x00FDFCFBu) << "the high byte is dropped";
  EXPECT_EQ(GetPixel(canvas.dc(), 3, 3), 0x00FDFCFBu);
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 0), 0u);
}

TEST_F(LinesAndPixels, PixelsOutsideTheBitmapAreInvalid) {
  Canvas canvas(4, 3);
  EXPECT_EQ(GetPixel(canvas.dc(), 4, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 3), CLR_INVALID);
  EXPECT_EQ(GetPixel(canvas.dc(), -1, 0), CLR_INVALID);
}

// Runs on our stack only: Wine's SetPixel answers the colour outside the bitmap, not -1.
TEST_F(LinesAndPixels, SetPixelOutsideTheBitmapFailsAndDrawsNothing) {
  Canvas canvas(4, 3);
  EXPECT_EQ(SetPixel(canvas.dc(), -1, 1, kInk), CLR_INVALID);
  EXPECT_EQ(SetPixel(canvas.dc(), 1, 3, kInk), CLR_INVALID);
  EXPECT_TRUE(ImagesMatch(MakeImage(4, 3, [](int, int) { return 0u; }), DcPixels(canvas.dc(), 4, 3)));
}

TEST_F(LinesAndPixels, LineToLeavesOutItsEndPoint) {
  EXPECT_EQ(DrawnBy(0, 0, 10, 0), (Points{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 0}, {9, 0}}));
  EXPECT_EQ(DrawnBy(3, 9, 3, 6), (Points{{3, 9}, {3, 8}, {3, 7}}));
}

TEST_F(LinesAndPixels, AZeroLengthLineDrawsNothing) { EXPECT_TRUE(DrawnBy(5, 5, 5, 5).empty()); }

TEST_F(LinesAndPixels, TheMinorCoordinateRoundsToNearestWithHalvesGoingDown) {
  // Along x, y goes 0, 0.5, 1, 1.5: the halves go to the smaller row.
  EXPECT_EQ(DrawnBy(0, 0, 4, 2), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  // Drawn the other way the exact values are 2, 1.5, 1, 0.5: again the smaller row.
  EXPECT_EQ(DrawnBy(4, 2, 0, 0), (Points{{4, 2}, {3, 1}, {2, 1}, {1, 0}}));
  // Steep: x goes 0, 1/3, 2/3.
  EXPECT_EQ(DrawnBy(0, 0, 1, 3), (Points{{0, 0}, {0, 1}, {1, 2}}));
  // Upwards to the left: x goes 6, 5.5, 5, 4.5 on rows 6, 5, 4, 3.
  EXPECT_EQ(DrawnBy(6, 6, 4, 2), (Points{{6, 6}, {5, 5}, {5, 4}, {4, 3}}));
}

TEST_F(LinesAndPixels, ALineCoversTheSamePixelsWhicheverWayItIsDrawn) {
  const int ends[][4] = {{0, 0, 7, 3}, {1, 2, 12, 7}, {0, 9, 5, 0}, {2, 1, 9, 14}, {0, 0, 13, 13}, {15, 0, 0, 6}};
  for (const auto& e : ends) {
    Points forward = DrawnBy(e[0], e[1], e[2], e[3]);
    Points backward = DrawnBy(e[2], e[3], e[0], e[1]);
    forward.insert({e[2], e[3]});
    backward.insert({e[0], e[1]});
    EXPECT_EQ(forward, backward) << "(" << e[0] << "," << e[1] << ") - (" << e[2] << "," << e[3] << ")";
    int64_t longer = std::max(std::abs(e[2] - e[0]), std::abs(e[3] - e[1]));
    EXPECT_EQ(static_cast<int64_t>(DrawnBy(e[0], e[1], e[2], e[3]).size()), longer);
  }
}

TEST_F(LinesAndPixels, TheCurrentPositionEndsAtTheEndPoint) {
  Canvas canvas(8, 8);
  POINT previous{-1, -1};
  MoveToEx(canvas.dc(), 1, 1, nullptr);
  LineTo(canvas.dc(), 6, 3);
  MoveToEx(canvas.dc(), 0, 0, &previous);
  EXPECT_EQ(previous.x, 6);
  EXPECT_EQ(previous.y, 3);
  LineTo(canvas.dc(), 5, 5);  // even a zero-length or invisible line moves it
  LineTo(canvas.dc(), 5, 5);
  MoveToEx(canvas.dc(), 0, 0, &previous);
  EXPECT_EQ(previous.x, 5);
  EXPECT_EQ(previous.y, 5);
}

TEST_F(LinesAndPixels, LinesAreClippedToTheBitmap) {
  EXPECT_EQ(DrawnBy(-5, 2, 20, 2, 8, 4), (Points{{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}, {6, 2}, {7, 2}}));
  // A far-away start costs no time and lands on the same pixels as the exact line would.
  EXPECT_EQ(DrawnBy(-2000000000, 1, 3, 1, 8, 4), (Points{{0, 1}, {1, 1}, {2, 1}}));
  EXPECT_EQ(DrawnBy(2, -2000000000, 2, 2000000000, 8, 4), (Points{{2, 0}, {2, 1}, {2, 2}, {2, 3}}));
  EXPECT_TRUE(DrawnBy(-10, -10, -1, 20, 8, 4).empty());
  // Nearly diagonal across the whole coordinate range: y = x - 0.5 - x / 4e9, exactly -0.5 at x = 0.
  EXPECT_EQ(DrawnBy(-2000000000, -2000000000, 2000000000, 1999999999, 8, 8),
            (Points{{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {7, 6}}));
}

TEST_F(LinesAndPixels, ANullPenDrawsNothing) {
  Canvas canvas(8, 8);
  SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
  MoveToEx(canvas.dc(), 0, 0, nullptr);
  EXPECT_TRUE(LineTo(canvas.dc(), 7, 7));
  EXPECT_TRUE(ImagesMatch(MakeImage(8, 8, [](int, int) { return 0u; }), DcPixels(canvas.dc(), 8, 8)));
}

}  // namespace
