// PatBlt, BitBlt and StretchBlt: every raster operation, clipping, overlap and the stretch mapping.
#include <vector>

#include "gdi_test.h"

namespace {

class Blits : public GdiTest {};

COLORREF Gray(int level) { return RGB(level, level, level); }

TEST_F(Blits, EveryTernaryRasterOperationCombinesPatternSourceAndDestination) {
  // With pattern 0xF0, source 0xCC and destination 0xAA in every channel, each result bit is the
  // operation's own index bit: the outcome is the index byte itself.
  Canvas source(2, 1);
  source.Fill(Gray(0xCC));
  Canvas dest(2, 1);
  HBRUSH brush = CreateSolidBrush(Gray(0xF0));
  Selected selected(dest.dc(), brush);
  int wrong = 0;
  for (int index = 0; index < 256; ++index) {
    SetPixel(dest.dc(), 0, 0, Gray(0xAA));
    SetPixel(dest.dc(), 1, 0, Gray(0xAA));
    const DWORD rop = static_cast<DWORD>(index) << 16;
    ASSERT_TRUE(BitBlt(dest.dc(), 0, 0, 2, 1, source.dc(), 0, 0, rop)) << index;
    if (GetPixel(dest.dc(), 0, 0) != Gray(index) || GetPixel(dest.dc(), 1, 0) != Gray(index)) {
      ADD_FAILURE() << "operation 0x" << std::hex << index << " gave 0x" << GetPixel(dest.dc(), 0, 0);
      ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_F(Blits, NamedOperationsHaveTheirUsualMeaning) {
  Canvas dest(1, 1);
  Canvas source(1, 1);
  SetPixel(source.dc(), 0, 0, RGB(0x0F, 0xF0, 0x33));
  struct Case {
    DWORD rop;
    COLORREF expected;
  };
  const COLORREF d = RGB(0x55, 0x55, 0xF0);
  const Case cases[] = {
      {SRCCOPY, RGB(0x0F, 0xF0, 0x33)},   {SRCPAINT, RGB(0x5F, 0xF5, 0xF3)}, {SRCAND, RGB(0x05, 0x50, 0x30)},
      {SRCINVERT, RGB(0x5A, 0xA5, 0xC3)}, {NOTSRCCOPY, RGB(0xF0, 0x0F, 0xCC)}, {DSTINVERT, RGB(0xAA, 0xAA, 0x0F)},
      {BLACKNESS, RGB(0, 0, 0)},          {WHITENESS, RGB(255, 255, 255)},   {PATCOPY, RGB(255, 255, 255)},
  };
  for (const Case& c : cases) {
    SetPixel(dest.dc(), 0, 0, d);
    BitBlt(dest.dc(), 0, 0, 1, 1, source.dc(), 0, 0, c.rop);
    EXPECT_EQ(GetPixel(dest.dc(), 0, 0), c.expected) << std::hex << c.rop;
  }
}

TEST_F(Blits, PatBltFillsWithTheBrushClippedToTheBitmap) {
  Canvas canvas(6, 4);
  HBRUSH brush = CreateSolidBrush(RGB(7, 8, 9));
  Selected selected(canvas.dc(), brush);
  EXPECT_TRUE(PatBlt(canvas.dc(), 4, 2, 10, 10, PATCOPY));
  EXPECT_TRUE(ImagesMatch(MakeImage(6, 4, [](int x, int y) { return x >= 4 && y >= 2 ? RGB(7, 8, 9) : 0u; }), DcPixels(canvas.dc(), 6, 4)));
  EXPECT_FALSE(PatBlt(canvas.dc(), 0, 0, 6, 4, SRCCOPY)) << "PatBlt has no source";
  EXPECT_TRUE(PatBlt(canvas.dc(), 0, 0, 6, 4, DSTINVERT));
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 3), 0xFFFFFFu);
}

// A negative size runs up or left from the given pixel and includes it, unlike the corners of a
// rectangle: (2, 1) with -2 x -1 covers (1, 1) and (2, 1).
TEST_F(Blits, PatBltWithNegativeSizesCoversTheStartingPixelAndThoseBeforeIt) {
  Canvas canvas(6, 4);
  HBRUSH brush = CreateSolidBrush(RGB(7, 8, 9));
  Selected selected(canvas.dc(), brush);
  EXPECT_TRUE(PatBlt(canvas.dc(), 2, 1, -2, -1, PATCOPY)) << "negative sizes extend up and left";
  EXPECT_TRUE(ImagesMatch(MakeImage(6, 4, [](int x, int y) { return x >= 1 && x <= 2 && y == 1 ? RGB(7, 8, 9) : 0u; }), DcPixels(canvas.dc(), 6, 4)));
  EXPECT_TRUE(PatBlt(canvas.dc(), 0, 3, -5, 1, PATCOPY)) << "clipped at the left";
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 3), RGB(7, 8, 9));
  EXPECT_EQ(GetPixel(canvas.dc(), 1, 3), 0u);
}

TEST_F(Blits, PatternBrushesAreAnchoredAtTheOriginWithAPositiveModulo) {
  Canvas tile(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) SetPixel(tile.dc(), x, y, RGB(x, y, 1));
  HBRUSH brush = CreatePatternBrush(tile.bitmap());
  Canvas canvas(10, 7);
  Selected selected(canvas.dc(), brush);
  PatBlt(canvas.dc(), 2, 1, 7, 5, PATCOPY);
  EXPECT_TRUE(ImagesMatch(MakeImage(10, 7, [](int x, int y) {
    return x >= 2 && x < 9 && y >= 1 && y < 6 ? RGB(x % 3, y % 2, 1) : 0u;
  }), DcPixels(canvas.dc(), 10, 7)));
  // A moved brush origin makes some offsets negative: they still wrap to the pattern's start.
  SetBrushOrgEx(canvas.dc(), 4, 3, nullptr);
  PatBlt(canvas.dc(), 0, 0, 10, 7, PATCOPY);
  EXPECT_TRUE(ImagesMatch(MakeImage(10, 7, [](int x, int y) {
    return RGB(((x - 4) % 3 + 3) % 3, ((y - 3) % 2 + 2) % 2, 1);
  }), DcPixels(canvas.dc(), 10, 7)));
  POINT previous{};
  SetBrushOrgEx(canvas.dc(), 0, 0, &previous);
  EXPECT_EQ(previous.x, 4);
  EXPECT_EQ(previous.y, 3);
}

TEST_F(Blits, BitBltCopiesARectangleClippedAtBothEnds) {
  Canvas source(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) SetPixel(source.dc(), x, y, RGB(x + 1, y + 1, 9));
  Canvas dest(5, 5);
  EXPECT_TRUE(BitBlt(dest.dc(), 2, 3, 4, 4, source.dc(), 0, 0, SRCCOPY));
  EXPECT_TRUE(ImagesMatch(MakeImage(5, 5, [](int x, int y) {
    return x >= 2 && y >= 3 ? RGB(x - 1, y - 2, 9) : 0u;
  }), DcPixels(dest.dc(), 5, 5)));
  dest.Fill(0);
  // The source rectangle hangs over the source's top-left: only the part inside is copied.
  EXPECT_TRUE(BitBlt(dest.dc(), 0, 0, 5, 5, source.dc(), -1, -2, SRCCOPY));
  EXPECT_TRUE(ImagesMatch(MakeImage(5, 5, [](int x, int y) {
    return x >= 1 && y >= 2 ? RGB(x, y - 1, 9) : 0u;
  }), DcPixels(dest.dc(), 5, 5)));
  EXPECT_FALSE(BitBlt(dest.dc(), 0, 0, 5, 5, nullptr, 0, 0, SRCCOPY)) << "a source operation needs a source";
  EXPECT_TRUE(BitBlt(dest.dc(), 0, 0, 5, 5, nullptr, 0, 0, BLACKNESS));
  EXPECT_EQ(GetPixel(dest.dc(), 4, 4), 0u);
}

TEST_F(Blits, BitBltWithinOneBitmapReadsTheSourceBeforeWriting) {
  Canvas canvas(6, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) SetPixel(canvas.dc(), x, y, RGB(x, y, 0));
  BitBlt(canvas.dc(), 1, 1, 5, 5, canvas.dc(), 0, 0, SRCCOPY);
  EXPECT_TRUE(ImagesMatch(MakeImage(6, 6, [](int x, int y) {
    return x >= 1 && y >= 1 ? RGB(x - 1, y - 1, 0) : RGB(x, y, 0);
  }), DcPixels(canvas.dc(), 6, 6)));
  BitBlt(canvas.dc(), 0, 0, 5, 5, canvas.dc(), 1, 1, SRCCOPY);
  EXPECT_TRUE(ImagesMatch(MakeImage(5, 5, [](int x, int y) { return RGB(x, y, 0); }), DcPixels(canvas.dc(), 5, 5)));
}

// Stretches a strip of `from` pixels, each coloured by its index, to `to` pixels along x, and returns
// the source index that each destination pixel took.
std::vector<int> StretchedColumns(int from, int to) {
  Canvas source(from, 1);
  for (int x = 0; x < from; ++x) SetPixel(source.dc(), x, 0, RGB(x, 0, 0));
  Canvas dest(std::abs(to), 1);
  SetStretchBltMode(dest.dc(), COLORONCOLOR);
  // Mirrored: from the last pixel, which a negative width includes, back to the first.
  StretchBlt(dest.dc(), to < 0 ? -to - 1 : 0, 0, to, 1, source.dc(), 0, 0, from, 1, SRCCOPY);
  std::vector<int> indices;
  for (int x = 0; x < std::abs(to); ++x) indices.push_back(static_cast<int>(GetRValue(GetPixel(dest.dc(), x, 0))));
  return indices;
}

TEST_F(Blits, StretchingMapsEachDestinationPixelToTheSourcePixelUnderItsCentre) {
  EXPECT_EQ(StretchedColumns(2, 4), (std::vector<int>{0, 0, 1, 1}));
  EXPECT_EQ(StretchedColumns(3, 5), (std::vector<int>{0, 0, 1, 2, 2}));
  EXPECT_EQ(StretchedColumns(3, 3), (std::vector<int>{0, 1, 2}));
  // A negative destination width mirrors.
  EXPECT_EQ(StretchedColumns(3, -3), (std::vector<int>{2, 1, 0}));
  // So does a negative source width, read from its starting pixel back.
  Canvas source(3, 1);
  for (int x = 0; x < 3; ++x) SetPixel(source.dc(), x, 0, RGB(x + 1, 0, 0));
  Canvas dest(3, 1);
  StretchBlt(dest.dc(), 0, 0, 3, 1, source.dc(), 2, 0, -3, 1, SRCCOPY);
  EXPECT_EQ(Picture(dest.dc(), 3, 1, RGB(3, 0, 0)), "#..\n");
  EXPECT_EQ(GetPixel(dest.dc(), 2, 0), RGB(1, 0, 0));
}

// COLORONCOLOR drops pixels when reducing, but which ones it keeps is not laid down. Ours takes the
// one under each destination pixel's centre, an exact boundary going to the lower index; a stack that
// steps through the source with an error term keeps others.
TEST_F(Blits, ReducingTakesTheSourcePixelUnderEachCentreOurOwnChoice) {
  EXPECT_EQ(StretchedColumns(4, 2), (std::vector<int>{0, 2}));
  EXPECT_EQ(StretchedColumns(5, 2), (std::vector<int>{1, 3}));
  EXPECT_EQ(StretchedColumns(7, 3), (std::vector<int>{1, 3, 5}));
}

TEST_F(Blits, StretchingTwoHundredRowsToFourHundredDoublesEveryRowExactly) {
  Canvas half(640, 200);
  for (int y = 0; y < 200; ++y) {
    HBRUSH brush = CreateSolidBrush(RGB(y, 255 - y, y / 2));
    Selected selected(half.dc(), brush);
    PatBlt(half.dc(), 0, y, 640, 1, PATCOPY);
  }
  for (int x = 0; x < 640; x += 7) SetPixel(half.dc(), x, x % 200, RGB(1, 2, 3));
  Canvas full(640, 400);
  SetStretchBltMode(full.dc(), COLORONCOLOR);
  ASSERT_TRUE(StretchBlt(full.dc(), 0, 0, 640, 400, half.dc(), 0, 0, 640, 200, SRCCOPY));
  EXPECT_TRUE(ImagesMatch(MakeImage(640, 400, [&](int x, int y) { return GetPixel(half.dc(), x, y / 2); }), DcPixels(full.dc(), 640, 400)));
}

TEST_F(Blits, StretchBltAtOneToOneIsACopyAndClipsLikeBitBlt) {
  Canvas source(640, 400);
  for (int y = 0; y < 400; y += 13)
    for (int x = 0; x < 640; x += 11) SetPixel(source.dc(), x, y, RGB(x % 256, y % 256, 5));
  Canvas dest(320, 200);
  StretchBlt(dest.dc(), 0, 0, 640, 400, source.dc(), 0, 0, 640, 400, SRCCOPY);
  EXPECT_TRUE(ImagesMatch(MakeImage(320, 200, [&](int x, int y) { return GetPixel(source.dc(), x, y); }), DcPixels(dest.dc(), 320, 200)));
}

}  // namespace
