// Rendered glyphs: 1-bit masks, inside their cells, shaped like their characters.
#include <gtest/gtest.h>

#include "tests/font/font_fixtures.h"

using namespace font_test;

namespace {

// Checks that the glyph's mask is 0/1 only, sized width × height, and inside the cell of the placed
// character: columns [x, x + advance) and rows [-ascent, descent) around the baseline.
void ExpectInsideCell(const platform::PlacedGlyph& placed, const platform::FontMetrics& m,
                      const std::string& what) {
  const platform::GlyphImage& g = *placed.glyph;
  ASSERT_EQ(g.mask.size(), static_cast<size_t>(g.width) * g.height) << what;
  for (uint8_t pixel : g.mask) ASSERT_LE(pixel, 1) << what;
  if (g.width == 0 || g.height == 0) return;
  EXPECT_GE(g.left, 0) << what;
  EXPECT_LE(g.left + g.width, placed.advance) << what;
  EXPECT_LE(g.top, m.ascent) << what;
  EXPECT_LE(g.height - g.top, m.descent) << what;
}

// The lit pixels of one column or one row of a glyph.
int ColumnCount(const platform::GlyphImage& g, int x) {
  int lit = 0;
  for (int y = 0; y < g.height; ++y) lit += g.mask[y * g.width + x];
  return lit;
}
int RowCount(const platform::GlyphImage& g, int y) {
  int lit = 0;
  for (int x = 0; x < g.width; ++x) lit += g.mask[y * g.width + x];
  return lit;
}

}  // namespace

TEST(FontGlyphs, EveryCharacterIsOneBitAndInsideItsCell) {
  for (LONG height : {-16, -11, 24}) {
    auto face = platform::FontOpen(ConsoleFontOfHeight(height));
    platform::FontMetrics m = platform::FontGetMetrics(*face);
    std::string text;
    for (int b = 0; b < 256; ++b) text.push_back(static_cast<char>(b));
    // Every lead byte with a spread of trail bytes, decodable or not.
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (lead > 0x9F && lead < 0xE0) continue;
      for (int trail = 0x40; trail <= 0xFC; trail += 3) {
        text.push_back(static_cast<char>(lead));
        text.push_back(static_cast<char>(trail));
      }
    }
    Layout layout = LayOut(*face, text);
    for (const platform::PlacedGlyph& placed : layout.glyphs) {
      ExpectInsideCell(placed, m, "height " + std::to_string(height) + " at x " + std::to_string(placed.x));
      if (HasFatalFailure()) return;
    }
  }
}

TEST(FontGlyphs, GlyphsHaveTheShapesOfTheirCharacters) {
  auto face = platform::FontOpen(ConsoleFont());
  // "L": a full-height stem on the left, a foot along the bottom, nothing at the top right.
  const platform::GlyphImage& l = GlyphOf(*face, "L");
  ASSERT_GE(l.width, 4);
  ASSERT_GE(l.height, 8);
  EXPECT_GE(ColumnCount(l, 0), l.height - 1);
  EXPECT_GE(RowCount(l, l.height - 1), l.width - 1);
  EXPECT_EQ(l.mask[l.width - 1], 0);
  // "-" is wider than high and lies above the baseline; "|" is higher than wide.
  const platform::GlyphImage& dash = GlyphOf(*face, "-");
  EXPECT_GT(dash.width, dash.height);
  EXPECT_GT(dash.top - dash.height, 0);
  const platform::GlyphImage& bar = GlyphOf(*face, "|");
  EXPECT_GT(bar.height, bar.width);
  // "g" descends below the baseline, "A" does not.
  const platform::GlyphImage& g = GlyphOf(*face, "g");
  EXPECT_GT(g.height, g.top);
  const platform::GlyphImage& a = GlyphOf(*face, "A");
  EXPECT_LE(a.height, a.top);
  // The kanji for "one" is a single horizontal stroke across most of its two cells.
  const platform::GlyphImage& one = GlyphOf(*face, "\x88\xEA");
  EXPECT_GE(one.width, 12);
  EXPECT_LE(one.height, 3);
}

TEST(FontGlyphs, DifferentCharactersHaveDifferentImages) {
  auto face = platform::FontOpen(ConsoleFont());
  EXPECT_FALSE(SameImage(GlyphOf(*face, "A"), GlyphOf(*face, "B")));
  EXPECT_FALSE(SameImage(GlyphOf(*face, "\xB1"), GlyphOf(*face, "\xB2")));
  EXPECT_FALSE(SameImage(GlyphOf(*face, "\x8A\xBF"), GlyphOf(*face, "\x8E\x9A")));
}

TEST(FontGlyphs, CachedGlyphsStayPutWhileMoreAreRendered) {
  auto face = platform::FontOpen(ConsoleFontOfHeight(-19));
  const platform::GlyphImage* first = &GlyphOf(*face, "Q");
  platform::GlyphImage copy = *first;
  std::string many;
  for (int trail = 0x40; trail <= 0xFC; ++trail) {
    for (int lead : {0x88, 0x89, 0x8A, 0x8B}) {
      many.push_back(static_cast<char>(lead));
      many.push_back(static_cast<char>(trail));
    }
  }
  LayOut(*face, many);
  EXPECT_TRUE(SameImage(*first, copy));
  EXPECT_EQ(&GlyphOf(*face, "Q"), first);
}
