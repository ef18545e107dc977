// The metrics a face reports for its LOGFONTA: cell size, ascent and descent, pitch, weight.
#include <gtest/gtest.h>

#include <climits>

#include "tests/font/font_fixtures.h"

using namespace font_test;

TEST(FontMetrics, TheConsoleFontMeasuresEightBySixteen) {
  auto face = platform::FontOpen(ConsoleFont());
  platform::FontMetrics m = platform::FontGetMetrics(*face);
  EXPECT_EQ(m.height, 16);
  EXPECT_EQ(m.ascent, 14);
  EXPECT_EQ(m.descent, 2);
  EXPECT_EQ(m.internalLeading, 0);
  EXPECT_EQ(m.aveCharWidth, 8);
  EXPECT_EQ(m.maxCharWidth, 16);
  EXPECT_EQ(LayOut(*face, " ").width, 8);
}

TEST(FontMetrics, TheConsoleFontReportsFixedPitchShiftJisAndNormalWeight) {
  platform::FontMetrics m = platform::FontGetMetrics(*platform::FontOpen(ConsoleFont()));
  EXPECT_EQ(m.pitchAndFamily & 0x01, 0) << "the low bit set would mean variable pitch";
  EXPECT_EQ(m.pitchAndFamily & 0xF0, FF_MODERN);
  EXPECT_EQ(m.charSet, SHIFTJIS_CHARSET);
  EXPECT_EQ(m.weight, FW_NORMAL);
}

TEST(FontMetrics, NegativeHeightIsTheCharacterHeightScalingTheDesignExtent) {
  // The face's ascent and descent are 1802 and 246 units of a 2048-unit em.
  platform::FontMetrics m = platform::FontGetMetrics(*platform::FontOpen(ConsoleFontOfHeight(-32)));
  EXPECT_EQ(m.ascent, 28);
  EXPECT_EQ(m.descent, 4);
  EXPECT_EQ(m.height, 32);
  EXPECT_EQ(m.aveCharWidth, 16);
  m = platform::FontGetMetrics(*platform::FontOpen(ConsoleFontOfHeight(-12)));
  EXPECT_EQ(m.ascent, 11);
  EXPECT_EQ(m.descent, 1);
  EXPECT_EQ(m.aveCharWidth, 6);
}

TEST(FontMetrics, PositiveHeightIsTheWholeCellHeight) {
  for (LONG cell : {1, 7, 13, 16, 25, 100}) {
    platform::FontMetrics m = platform::FontGetMetrics(*platform::FontOpen(ConsoleFontOfHeight(cell)));
    EXPECT_EQ(m.height, cell) << "cell height " << cell;
    EXPECT_EQ(m.ascent + m.descent, cell) << "cell height " << cell;
    EXPECT_GE(m.ascent, m.descent) << "cell height " << cell;
  }
}

TEST(FontMetrics, ZeroHeightIsTheDefaultCharacterHeightOfSixteen) {
  platform::FontMetrics zero = platform::FontGetMetrics(*platform::FontOpen(ConsoleFontOfHeight(0)));
  EXPECT_EQ(zero.height, 16);
  EXPECT_EQ(zero.ascent, 14);
  EXPECT_EQ(zero.aveCharWidth, 8);
}

TEST(FontMetrics, AGivenWidthScalesTheCellHorizontallyOnly) {
  LOGFONTA lf = ConsoleFont();
  lf.lfWidth = 4;
  auto face = platform::FontOpen(lf);
  platform::FontMetrics m = platform::FontGetMetrics(*face);
  EXPECT_EQ(m.aveCharWidth, 4);
  EXPECT_EQ(m.height, 16);
  EXPECT_EQ(LayOut(*face, "AB").width, 8);
  EXPECT_EQ(LayOut(*face, "\x8A\xBF").width, 8);
  EXPECT_LE(GlyphOf(*face, "W").width, 4);
}

TEST(FontMetrics, AbsurdSizesAreClampedAndStillDraw) {
  for (LONG height : {LONG{INT32_MIN}, LONG{INT32_MAX}, LONG{-100000}}) {
    LOGFONTA lf = ConsoleFontOfHeight(height);
    lf.lfWidth = INT32_MIN;
    auto face = platform::FontOpen(lf);
    ASSERT_NE(face, nullptr);
    platform::FontMetrics m = platform::FontGetMetrics(*face);
    EXPECT_GE(m.height, 1);
    EXPECT_LE(m.height, 2048);
    EXPECT_GE(m.aveCharWidth, 1);
    EXPECT_LE(m.aveCharWidth, 2048);
    EXPECT_EQ(LayOut(*face, "A").width, m.aveCharWidth);
  }
}

TEST(FontMetrics, BoldIsEmboldenedAndReportedWhenTheFaceHasNoBoldStyle) {
  LOGFONTA bold = ConsoleFont();
  bold.lfWeight = FW_BOLD;
  auto boldFace = platform::FontOpen(bold);
  auto regularFace = platform::FontOpen(ConsoleFont());
  EXPECT_EQ(platform::FontGetMetrics(*boldFace).weight, FW_BOLD);
  EXPECT_GT(LitPixels(GlyphOf(*boldFace, "H")), LitPixels(GlyphOf(*regularFace, "H")));
  EXPECT_GT(LitPixels(GlyphOf(*boldFace, "\x8A\xBF")), LitPixels(GlyphOf(*regularFace, "\x8A\xBF")));
  EXPECT_EQ(LayOut(*boldFace, "H\x8A\xBF").width, 24) << "bold keeps the cells of the face";
}

TEST(FontMetrics, ItalicSlantsTheGlyphs) {
  LOGFONTA italic = ConsoleFont();
  italic.lfItalic = 1;
  const platform::GlyphImage& slanted = GlyphOf(*platform::FontOpen(italic), "l");
  const platform::GlyphImage& upright = GlyphOf(*platform::FontOpen(ConsoleFont()), "l");
  EXPECT_FALSE(SameImage(slanted, upright));
}
