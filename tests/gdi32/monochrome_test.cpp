// Monochrome bitmaps meeting colour: pattern brushes made from them paint 0 bits in the DC's text colour
// and 1 bits in its background colour, read each time the brush paints; blits convert in both directions.
#include "gdi_test.h"

namespace {

class MonoBrushes : public GdiTest {};

// DPon, ~(pattern | destination): the operation the recorded pictures use.
constexpr DWORD kDpon = 0x000500A9;
constexpr COLORREF kGrey = RGB(0xCC, 0xCC, 0xCC);

// An 8 x 8 monochrome checkerboard (rows 0xAA, 0x55: pixel (x, y) is 1 where x + y is even) and a brush
// made from it; the bitmap is deleted at once, the brush keeps its bits.
HBRUSH CheckerBrush() {
  const uint8_t bits[16] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
  HBITMAP mono = CreateBitmap(8, 8, 1, 1, bits);
  HBRUSH brush = CreatePatternBrush(mono);
  DeleteObject(mono);
  return brush;
}

// A memory DC holding a width x height monochrome bitmap (a Canvas whose own bitmap is set aside).
struct MonoCanvas : Canvas {
  MonoCanvas(int width, int height, const void* bits = nullptr) : Canvas(1, 1) {
    mono = CreateBitmap(width, height, 1, 1, bits);
    previous = SelectObject(dc(), mono);
  }
  ~MonoCanvas() {
    SelectObject(dc(), previous);
    DeleteObject(mono);
  }
  HBITMAP mono;
  HGDIOBJ previous;
};

COLORREF Checker(int x, int y, COLORREF zero, COLORREF one) { return (x + y) % 2 == 0 ? one : zero; }

// The colours are those of the DC when the brush paints, not when it was made or selected.
TEST_F(MonoBrushes, ZeroBitsTakeTheTextColourAndOneBitsTheBackgroundColourWhenTheyPaint) {
  Canvas canvas(8, 8);
  canvas.Fill(kGrey);
  Selected brush(canvas.dc(), CheckerBrush());
  SetTextColor(canvas.dc(), RGB(5, 10, 250));
  SetBkColor(canvas.dc(), RGB(40, 80, 120));
  ASSERT_TRUE(PatBlt(canvas.dc(), 0, 0, 8, 8, kDpon));
  // Over a 0 bit: ~(RGB(5, 10, 250) | 0xCC) per channel, as recorded on Windows (not ~0xCC, which a
  // black pattern would give).
  EXPECT_EQ(GetPixel(canvas.dc(), 1, 0), RGB(0x32, 0x31, 0x01));
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 0), RGB(~(40 | 0xCC) & 0xFF, ~(80 | 0xCC) & 0xFF, ~(120 | 0xCC) & 0xFF));
  SetTextColor(canvas.dc(), RGB(0, 255, 0));
  SetBkColor(canvas.dc(), RGB(9, 9, 9));
  PatBlt(canvas.dc(), 0, 0, 8, 8, PATCOPY);
  EXPECT_TRUE(DcShows(canvas.dc(), 8, 8, [](int x, int y) { return Checker(x, y, RGB(0, 255, 0), RGB(9, 9, 9)); }));
}

// Every figure that paints with the brush goes through the same rule: a rectangle's interior, a flood
// fill, and a blit whose operation reads the pattern (MERGECOPY: pattern & source).
TEST_F(MonoBrushes, RectanglesFloodFillsAndBlitsPaintTheBitsInTheDcColours) {
  const COLORREF zero = RGB(200, 30, 60);
  const COLORREF one = RGB(20, 220, 90);
  Canvas canvas(8, 8);
  Selected brush(canvas.dc(), CheckerBrush());
  SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
  SetTextColor(canvas.dc(), zero);
  SetBkColor(canvas.dc(), one);
  Rectangle(canvas.dc(), 0, 0, 5, 5);  // without a pen: [0, 4) x [0, 4)
  EXPECT_TRUE(DcShows(canvas.dc(), 8, 8, [&](int x, int y) { return x < 4 && y < 4 ? Checker(x, y, zero, one) : 0u; }));

  canvas.Fill(0);
  ExtFloodFill(canvas.dc(), 3, 3, 0, FLOODFILLSURFACE);
  EXPECT_TRUE(DcShows(canvas.dc(), 8, 8, [&](int x, int y) { return Checker(x, y, zero, one); }));

  Canvas source(8, 8);
  source.Fill(RGB(255, 255, 255));
  ASSERT_TRUE(BitBlt(canvas.dc(), 0, 0, 8, 8, source.dc(), 0, 0, MERGECOPY));
  EXPECT_TRUE(DcShows(canvas.dc(), 8, 8, [&](int x, int y) { return Checker(x, y, zero, one); }));
}

// On a monochrome bitmap the bits go in as they are, whatever the DC's colours.
TEST_F(MonoBrushes, OnAMonochromeBitmapTheBitsAreCopied) {
  MonoCanvas target(8, 8);
  Selected brush(target.dc(), CheckerBrush());
  SetTextColor(target.dc(), RGB(255, 0, 0));
  SetBkColor(target.dc(), RGB(0, 0, 255));
  PatBlt(target.dc(), 0, 0, 8, 8, PATCOPY);
  EXPECT_TRUE(DcShows(target.dc(), 8, 8, [](int x, int y) { return Checker(x, y, 0x000000, 0xFFFFFF); }));
}

class MonoBlits : public GdiTest {};

// One row of a monochrome bitmap: 1 0 1 0 0 0 0 0.
const uint8_t kRowBits[2] = {0xA0, 0};

// The destination's colours count, not the source's.
TEST_F(MonoBlits, AMonochromeSourceTakesTheDestinationsTextAndBackgroundColours) {
  MonoCanvas mono(8, 1, kRowBits);
  SetTextColor(mono.dc(), RGB(1, 2, 3));
  SetBkColor(mono.dc(), RGB(4, 5, 6));
  Canvas canvas(8, 1);
  SetTextColor(canvas.dc(), RGB(255, 0, 0));
  SetBkColor(canvas.dc(), RGB(0, 0, 255));
  ASSERT_TRUE(BitBlt(canvas.dc(), 0, 0, 8, 1, mono.dc(), 0, 0, SRCCOPY));
  EXPECT_TRUE(DcShows(canvas.dc(), 8, 1, [](int x, int) { return x == 0 || x == 2 ? RGB(0, 0, 255) : RGB(255, 0, 0); }));
  // Stretched alike: each source bit doubled.
  ASSERT_TRUE(StretchBlt(canvas.dc(), 0, 0, 8, 1, mono.dc(), 0, 0, 4, 1, SRCCOPY));
  EXPECT_TRUE(DcShows(canvas.dc(), 8, 1, [](int x, int) { return x / 2 == 0 || x / 2 == 2 ? RGB(0, 0, 255) : RGB(255, 0, 0); }));
}

// A colour source becomes white exactly where it is the source DC's background colour: white itself
// becomes black when the background colour is another.
TEST_F(MonoBlits, AColourSourceBecomesWhiteWhereItMatchesTheSourcesBackgroundColour) {
  Canvas canvas(4, 1);
  const COLORREF background = RGB(10, 20, 30);
  SetPixel(canvas.dc(), 0, 0, background);
  SetPixel(canvas.dc(), 1, 0, RGB(255, 255, 255));
  SetPixel(canvas.dc(), 2, 0, RGB(10, 20, 31));
  SetPixel(canvas.dc(), 3, 0, background);
  SetBkColor(canvas.dc(), background);
  MonoCanvas mono(8, 1, kRowBits);
  ASSERT_TRUE(BitBlt(mono.dc(), 0, 0, 4, 1, canvas.dc(), 0, 0, SRCCOPY));
  EXPECT_TRUE(DcShows(mono.dc(), 4, 1, [](int x, int) { return x == 0 || x == 3 ? 0xFFFFFFu : 0x000000u; }));
}

}  // namespace
