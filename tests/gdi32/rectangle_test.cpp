// Rectangle: outline and interior, corner ordering and degenerate sizes.
#include "gdi_test.h"

namespace {

class Rectangles : public GdiTest {};

constexpr COLORREF kPen = RGB(255, 0, 0);
constexpr COLORREF kBrush = RGB(0, 0, 255);

// Draws one rectangle on a black 8 x 6 canvas with a red pen and a blue brush (or the given ones)
// and returns the picture: 'P' pen, 'B' brush, '.' untouched.
std::string Draw(int l, int t, int r, int b, HGDIOBJ pen = nullptr, HGDIOBJ brush = nullptr) {
  Canvas canvas(8, 6);
  HPEN ownPen = pen == nullptr ? CreatePen(PS_SOLID, 1, kPen) : nullptr;
  HBRUSH ownBrush = brush == nullptr ? CreateSolidBrush(kBrush) : nullptr;
  HGDIOBJ oldPen = SelectObject(canvas.dc(), pen != nullptr ? pen : ownPen);
  HGDIOBJ oldBrush = SelectObject(canvas.dc(), brush != nullptr ? brush : ownBrush);
  EXPECT_TRUE(Rectangle(canvas.dc(), l, t, r, b));
  SelectObject(canvas.dc(), oldPen);
  SelectObject(canvas.dc(), oldBrush);
  if (ownPen != nullptr) DeleteObject(ownPen);
  if (ownBrush != nullptr) DeleteObject(ownBrush);
  std::string out;
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) {
      COLORREF c = GetPixel(canvas.dc(), x, y);
      out += c == kPen ? 'P' : c == kBrush ? 'B' : c == 0 ? '.' : '?';
    }
    out += '\n';
  }
  return out;
}

TEST_F(Rectangles, OutlineCoversRightAndBottomExclusiveAndTheBrushFillsInside) {
  EXPECT_EQ(Draw(1, 1, 6, 5),
            "........\n"
            ".PPPPP..\n"
            ".PBBBP..\n"
            ".PBBBP..\n"
            ".PPPPP..\n"
            "........\n");
}

TEST_F(Rectangles, ReversedCornersAreOrderedFirst) {
  std::string expected = Draw(1, 1, 6, 5);
  EXPECT_EQ(Draw(6, 5, 1, 1), expected);
  EXPECT_EQ(Draw(6, 1, 1, 5), expected);
  EXPECT_EQ(Draw(1, 5, 6, 1), expected);
}

TEST_F(Rectangles, DegenerateSizes) {
  const std::string blank = "........\n........\n........\n........\n........\n........\n";
  EXPECT_EQ(Draw(2, 2, 3, 3), blank) << "1 x 1 draws nothing";
  EXPECT_EQ(Draw(2, 2, 2, 4), blank) << "zero width draws nothing";
  EXPECT_EQ(Draw(2, 1, 3, 4),
            "........\n"
            "..P.....\n"
            "..P.....\n"
            "..P.....\n"
            "........\n"
            "........\n")
      << "one pixel wide is a line";
  EXPECT_EQ(Draw(0, 0, 2, 2),
            "PP......\n"
            "PP......\n"
            "........\n"
            "........\n"
            "........\n"
            "........\n");
}

TEST_F(Rectangles, TheNullBrushKeepsTheInterior) {
  EXPECT_EQ(Draw(0, 0, 4, 4, nullptr, GetStockObject(NULL_BRUSH)),
            "PPPP....\n"
            "P..P....\n"
            "P..P....\n"
            "PPPP....\n"
            "........\n"
            "........\n");
}

TEST_F(Rectangles, WithoutAnOutlineTheInteriorStopsShortOfRightAndBottom) {
  EXPECT_EQ(Draw(1, 1, 5, 4, GetStockObject(NULL_PEN)),
            "........\n"
            ".BBB....\n"
            ".BBB....\n"
            "........\n"
            "........\n"
            "........\n");
}

TEST_F(Rectangles, AreClippedToTheBitmap) {
  EXPECT_EQ(Draw(-3, 4, 20, 9),
            "........\n"
            "........\n"
            "........\n"
            "........\n"
            "PPPPPPPP\n"
            "BBBBBBBB\n");
  EXPECT_EQ(Draw(-2000000000, -2000000000, 2000000000, 2000000000),
            "BBBBBBBB\nBBBBBBBB\nBBBBBBBB\nBBBBBBBB\nBBBBBBBB\nBBBBBBBB\n");
}

}  // namespace
