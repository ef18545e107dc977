// ExtFloodFill: 4-connected regions found first and painted afterwards, border and surface modes.
#include "gdi_test.h"

namespace {

class FloodFill : public GdiTest {};

constexpr COLORREF kBorder = RGB(255, 255, 255);
constexpr COLORREF kPaint = RGB(0, 128, 255);

// Parses a picture: '#' border colour, '.' black, 'r' red.
void Paint(Canvas& canvas, const char* rows) {
  int x = 0, y = 0;
  for (const char* p = rows; *p != '\0'; ++p) {
    if (*p == '\n') {
      ++y;
      x = 0;
      continue;
    }
    SetPixel(canvas.dc(), x++, y, *p == '#' ? kBorder : *p == 'r' ? RGB(255, 0, 0) : 0);
  }
}

std::string Show(Canvas& canvas) {
  std::string out;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      COLORREF c = GetPixel(canvas.dc(), x, y);
      out += c == kBorder ? '#' : c == kPaint ? '*' : c == 0 ? '.' : c == RGB(255, 0, 0) ? 'r' : '?';
    }
    out += '\n';
  }
  return out;
}

BOOL Fill(Canvas& canvas, int x, int y, COLORREF color, UINT type, COLORREF paint = kPaint) {
  HBRUSH brush = CreateSolidBrush(paint);
  Selected selected(canvas.dc(), brush);
  return ExtFloodFill(canvas.dc(), x, y, color, type);
}

TEST_F(FloodFill, BorderModeFillsEverythingUpToTheBorderColour) {
  Canvas canvas(8, 6);
  Paint(canvas,
        "........\n"
        ".######.\n"
        ".#..r.#.\n"
        ".#.##.#.\n"
        ".######.\n"
        "........\n");
  EXPECT_TRUE(Fill(canvas, 2, 2, kBorder, FLOODFILLBORDER));
  EXPECT_EQ(Show(canvas),
            "........\n"
            ".######.\n"
            ".#****#.\n"
            ".#*##*#.\n"
            ".######.\n"
            "........\n");
}

TEST_F(FloodFill, RegionsAreFourConnected) {
  Canvas canvas(6, 6);
  Paint(canvas,
        "...#..\n"
        "...#..\n"
        "####..\n"
        "......\n"
        "......\n"
        "......\n");
  // The top-left pocket touches the rest only diagonally, at (3, 2)-(4, 3): it does not leak.
  EXPECT_TRUE(Fill(canvas, 0, 0, kBorder, FLOODFILLBORDER));
  EXPECT_EQ(Show(canvas),
            "***#..\n"
            "***#..\n"
            "####..\n"
            "......\n"
            "......\n"
            "......\n");
}

TEST_F(FloodFill, SurfaceModeFillsTheConnectedPixelsOfExactlyThatColour) {
  Canvas canvas(6, 3);
  Paint(canvas,
        "..r...\n"
        "r.r.#.\n"
        "..r...\n");
  EXPECT_TRUE(Fill(canvas, 0, 0, 0, FLOODFILLSURFACE));
  EXPECT_EQ(Show(canvas),
            "**r...\n"
            "r*r.#.\n"
            "**r...\n");
}

TEST_F(FloodFill, ASeedOutsideOrOnTheBorderChangesNothing) {
  Canvas canvas(4, 4);
  Paint(canvas, "#...\n....\n....\n....\n");
  const std::string before = Show(canvas);
  EXPECT_FALSE(Fill(canvas, 0, 0, kBorder, FLOODFILLBORDER));
  EXPECT_FALSE(Fill(canvas, 4, 0, kBorder, FLOODFILLBORDER));
  EXPECT_FALSE(Fill(canvas, -1, 2, kBorder, FLOODFILLBORDER));
  EXPECT_FALSE(Fill(canvas, 1, 1, kBorder, FLOODFILLSURFACE)) << "the seed is not of the surface colour";
  EXPECT_EQ(Show(canvas), before);
}

TEST_F(FloodFill, APatternHoldingTheBorderColourDoesNotChangeTheRegion) {
  Canvas tile(2, 2);
  SetPixel(tile.dc(), 0, 0, kBorder);
  SetPixel(tile.dc(), 1, 0, kPaint);
  SetPixel(tile.dc(), 0, 1, kPaint);
  SetPixel(tile.dc(), 1, 1, kBorder);
  HBRUSH brush = CreatePatternBrush(tile.bitmap());
  Canvas canvas(9, 7);
  Paint(canvas,
        "#########\n"
        "#.......#\n"
        "#.......#\n"
        "#.......#\n"
        "#.......#\n"
        "#.......#\n"
        "#########\n");
  {
    Selected selected(canvas.dc(), brush);
    EXPECT_TRUE(ExtFloodFill(canvas.dc(), 4, 3, kBorder, FLOODFILLBORDER));
  }
  EXPECT_TRUE(ImagesMatch(MakeImage(9, 7, [](int x, int y) {
    bool inside = x >= 1 && x <= 7 && y >= 1 && y <= 5;
    if (!inside) return kBorder;
    return (x + y) % 2 == 0 ? kBorder : kPaint;
  }), DcPixels(canvas.dc(), 9, 7)));
}

TEST_F(FloodFill, FillsFromDifferentSeedsShareOneSeamlessPattern) {
  Canvas tile(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) SetPixel(tile.dc(), x, y, RGB(10 * x + 1, 10 * y + 1, 7));
  HBRUSH brush = CreatePatternBrush(tile.bitmap());
  Canvas canvas(11, 5);
  for (int y = 0; y < 5; ++y) SetPixel(canvas.dc(), 5, y, kBorder);
  {
    Selected selected(canvas.dc(), brush);
    ExtFloodFill(canvas.dc(), 1, 4, kBorder, FLOODFILLBORDER);
    ExtFloodFill(canvas.dc(), 9, 2, kBorder, FLOODFILLBORDER);
  }
  EXPECT_TRUE(ImagesMatch(MakeImage(11, 5, [](int x, int y) {
    return x == 5 ? kBorder : RGB(10 * (x % 3) + 1, 10 * (y % 3) + 1, 7);
  }), DcPixels(canvas.dc(), 11, 5)));
}

TEST_F(FloodFill, AWindingRegionOfAWholeScreenIsFilledWithoutRecursion) {
  // A comb of 16 corridors joined alternately at the top and the bottom: one region, 1024 x 768.
  Canvas canvas(1024, 768);
  HPEN pen = CreatePen(PS_SOLID, 1, kBorder);
  {
    Selected selected(canvas.dc(), pen);
    for (int wall = 1; wall < 16; ++wall) {
      int x = wall * 64;
      bool fromTop = wall % 2 == 1;
      MoveToEx(canvas.dc(), x, fromTop ? 0 : 767, nullptr);
      LineTo(canvas.dc(), x, fromTop ? 767 - 2 : 2);
    }
    // A grate of short bars in the first corridor: many one-pixel spans, all still connected.
    for (int y = 100; y < 700; ++y)
      if (y % 4 != 0)
        for (int x = 11; x < 50; x += 2) SetPixel(canvas.dc(), x, y, kBorder);
  }
  ASSERT_TRUE(Fill(canvas, 0, 0, kBorder, FLOODFILLBORDER));
  int unpainted = 0;
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x) {
      COLORREF c = GetPixel(canvas.dc(), x, y);
      if (c != kBorder && c != kPaint) ++unpainted;
    }
  EXPECT_EQ(unpainted, 0);
  EXPECT_EQ(GetPixel(canvas.dc(), 1023, 767), kPaint) << "the last corridor was reached";
}

}  // namespace
