// Pens wider than one pixel: each line a solid band with a round cap at both ends, rectangles outlined
// by the same bands with round corners.
#include "gdi_test.h"

#include <climits>

namespace {

class WidePens : public GdiTest {};

constexpr COLORREF kInk = RGB(255, 0, 0);
constexpr COLORREF kFill = RGB(0, 0, 255);

// Draws one line with a `width` pen on a black canvas and returns its picture ('#' ink).
std::string Line(int width, int canvasWidth, int canvasHeight, int x0, int y0, int x1, int y1) {
  Canvas canvas(canvasWidth, canvasHeight);
  Selected pen(canvas.dc(), CreatePen(PS_SOLID, width, kInk));
  MoveToEx(canvas.dc(), x0, y0, nullptr);
  EXPECT_TRUE(LineTo(canvas.dc(), x1, y1));
  POINT at{};
  MoveToEx(canvas.dc(), 0, 0, &at);
  EXPECT_EQ(at.x, x1) << "the current position moves to the end point";
  EXPECT_EQ(at.y, y1);
  return Picture(canvas.dc(), canvasWidth, canvasHeight, kInk);
}

TEST_F(WidePens, ALineOfLengthZeroIsARoundDotAsWideAsThePen) {
  // Width 7: rows of 3, 5, 7, 7, 7, 5 and 3 pixels around the point.
  EXPECT_EQ(Line(7, 9, 9, 4, 4, 4, 4),
            ".........\n"
            "...###...\n"
            "..#####..\n"
            ".#######.\n"
            ".#######.\n"
            ".#######.\n"
            "..#####..\n"
            "...###...\n"
            ".........\n");
  // An even width reaches one pixel further up and left than down and right.
  EXPECT_EQ(Line(4, 6, 6, 3, 3, 3, 3),
            "......\n"
            "..##..\n"
            ".####.\n"
            ".####.\n"
            "..##..\n"
            "......\n");
}

TEST_F(WidePens, AHorizontalLineIsABandWithRoundCapsOnBothEnds) {
  // The band covers [4, 8) x [4 - 3, 4 + 4); each end point carries the 7-pixel dot.
  const std::string picture =
      ".............\n"
      "...#######...\n"
      "..#########..\n"
      ".###########.\n"
      ".###########.\n"
      ".###########.\n"
      "..#########..\n"
      "...#######...\n"
      ".............\n";
  EXPECT_EQ(Line(7, 13, 9, 4, 4, 8, 4), picture);
  EXPECT_EQ(Line(7, 13, 9, 8, 4, 4, 4), picture) << "the direction makes no difference";
}

// A slanted line is the quadrilateral whose sides run half the width off the line on either side,
// rounded to whole pixels (for width 3 at 45 degrees: one pixel on one side, two on the other), filled
// from the first pixel at or right of its left edge up to the first at or right of its right edge.
TEST_F(WidePens, ASlantedLineIsAFilledQuadrilateralBetweenItsCaps) {
  EXPECT_EQ(Line(3, 10, 9, 2, 2, 6, 6),
            "..........\n"
            "..###.....\n"
            ".#####....\n"
            ".######...\n"
            "..######..\n"
            "...####...\n"
            "....####..\n"
            "......#...\n"
            "..........\n");
}

TEST_F(WidePens, LinesAreClippedAtTheCanvas) {
  EXPECT_EQ(Line(3, 6, 4, -2000000000, 1, 2000000000, 1), "######\n######\n######\n......\n");
}

// Windows keeps device coordinates within 2^27; ours takes end points anywhere in the 32-bit range and
// draws the part of the line that crosses the canvas, without visiting the rest.
TEST_F(WidePens, LinesAcrossTheWholeCoordinateRangeOurOwnChoice) {
  // At 45 degrees a 5-pixel band reaches 4 pixels either side of the diagonal along each row.
  EXPECT_EQ(Line(5, 6, 6, INT_MIN, INT_MIN, INT_MAX, INT_MAX),
            "####..\n"
            "#####.\n"
            "######\n"
            "######\n"
            "######\n"
            ".#####\n");
}

// Windows draws a pen of any width; ours draws those wider than 2^17 pixels 2^17 wide, which still
// covers any canvas from a point on it.
TEST_F(WidePens, AnEnormousPenCoversTheCanvasOurOwnChoice) {
  EXPECT_EQ(Line(INT_MAX, 4, 3, 1, 1, 2, 1), "####\n####\n####\n");
}

// Draws Rectangle(l, t, r, b) with a `width` pen and a blue brush on a black canvas: 'P' pen, 'B' brush.
std::string Box(int width, int canvasWidth, int canvasHeight, int l, int t, int r, int b) {
  Canvas canvas(canvasWidth, canvasHeight);
  Selected pen(canvas.dc(), CreatePen(PS_SOLID, width, kInk));
  Selected brush(canvas.dc(), CreateSolidBrush(kFill));
  EXPECT_TRUE(Rectangle(canvas.dc(), l, t, r, b));
  std::string out;
  for (int y = 0; y < canvasHeight; ++y) {
    for (int x = 0; x < canvasWidth; ++x) {
      COLORREF c = GetPixel(canvas.dc(), x, y);
      out += c == kInk ? 'P' : c == kFill ? 'B' : c == 0 ? '.' : '?';
    }
    out += '\n';
  }
  return out;
}

// The outline runs along the path through (l, t) and (r - 1, b - 1), centred on it, with the pen's dot
// at each corner; the brush shows inside what the pen leaves of [l, r - 1) x [t, b - 1).
TEST_F(WidePens, ARectangleIsOutlinedByBandsWithRoundCornersAroundItsInterior) {
  const std::string picture =
      "............\n"
      "..PPPPPPPP..\n"
      ".PPPPPPPPPP.\n"
      ".PPPPPPPPPP.\n"
      ".PPPBBBBPPP.\n"
      ".PPPBBBBPPP.\n"
      ".PPPPPPPPPP.\n"
      ".PPPPPPPPPP.\n"
      "..PPPPPPPP..\n"
      "............\n";
  EXPECT_EQ(Box(3, 12, 10, 2, 2, 10, 8), picture);
  EXPECT_EQ(Box(3, 12, 10, 10, 8, 2, 2), picture) << "corners in any order";
}

TEST_F(WidePens, AOnePixelRectangleIsADotAndAnEmptyOneNothing) {
  EXPECT_EQ(Box(3, 5, 5, 2, 2, 3, 3), ".....\n..P..\n.PPP.\n..P..\n.....\n");
  EXPECT_EQ(Box(3, 5, 5, 2, 2, 2, 4), ".....\n.....\n.....\n.....\n.....\n") << "zero width draws nothing";
}

}  // namespace
