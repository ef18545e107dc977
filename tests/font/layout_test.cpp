// Laying out CP932 text: cells, pairs, unknown characters and control bytes.
#include <gtest/gtest.h>

#include "tests/font/font_fixtures.h"

using namespace font_test;

namespace {

class FontLayoutTest : public testing::Test {
 protected:
  std::shared_ptr<platform::FontFace> face = platform::FontOpen(ConsoleFont());
};

bool IsLead(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

}  // namespace

TEST_F(FontLayoutTest, AsciiKatakanaAndKanjiTakeOneOneAndTwoCells) {
  EXPECT_EQ(LayOut(*face, "A").width, 8);
  EXPECT_EQ(LayOut(*face, "\xB1").width, 8);      // half-width katakana a
  EXPECT_EQ(LayOut(*face, "\x8A\xBF").width, 16);  // kanji
  EXPECT_EQ(LayOut(*face, "\x82\xA0").width, 16);  // hiragana a

  Layout mixed = LayOut(*face, "A\x8A\xBF\xB1\x82\xA0z");
  ASSERT_EQ(mixed.glyphs.size(), 5u);
  const int x[] = {0, 8, 24, 32, 48};
  const int advance[] = {8, 16, 8, 16, 8};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(mixed.glyphs[i].x, x[i]) << "character " << i;
    EXPECT_EQ(mixed.glyphs[i].advance, advance[i]) << "character " << i;
  }
  EXPECT_EQ(mixed.width, 56);
}

TEST_F(FontLayoutTest, EverySingleByteTakesOneCell) {
  for (unsigned b = 0; b < 256; ++b) {
    if (IsLead(b)) continue;
    Layout layout = LayOut(*face, std::string(1, static_cast<char>(b)));
    ASSERT_EQ(layout.glyphs.size(), 1u) << "byte " << b;
    EXPECT_EQ(layout.width, 8) << "byte " << b;
  }
}

TEST_F(FontLayoutTest, ALoneLeadByteAtTheEndIsOneUnknownCharacterOneCellWide) {
  Layout layout = LayOut(*face, "AB\x88");
  ASSERT_EQ(layout.glyphs.size(), 3u);
  EXPECT_EQ(layout.glyphs[2].x, 16);
  EXPECT_EQ(layout.glyphs[2].advance, 8);
  EXPECT_EQ(layout.width, 24);
  const platform::GlyphImage& unknown = *layout.glyphs[2].glyph;
  EXPECT_GT(LitPixels(unknown), 0) << "the unknown character is visible";
  // Every lone lead byte draws the same unknown character.
  EXPECT_TRUE(SameImage(unknown, GlyphOf(*face, "\x81")));
  EXPECT_TRUE(SameImage(unknown, GlyphOf(*face, "\xFC")));
}

TEST_F(FontLayoutTest, AnUndecodablePairIsOneUnknownCharacterTwoCellsWide) {
  Layout layout = LayOut(*face, "\x85\x40" "A");
  ASSERT_EQ(layout.glyphs.size(), 2u);
  EXPECT_EQ(layout.glyphs[0].advance, 16);
  EXPECT_EQ(layout.glyphs[1].x, 16);
  const platform::GlyphImage& unknown = *layout.glyphs[0].glyph;
  EXPECT_GT(LitPixels(unknown), 0);
  // A lead byte with an invalid trail byte, and a character the face has no glyph for (a user-defined
  // character), are the same unknown character.
  EXPECT_TRUE(SameImage(unknown, GlyphOf(*face, "\x81\x20")));
  EXPECT_TRUE(SameImage(unknown, GlyphOf(*face, "\xF0\x40")));
  EXPECT_FALSE(SameImage(unknown, GlyphOf(*face, "\x8A\xBF")));
}

TEST_F(FontLayoutTest, ALeadBytePairsWithWhateverFollowsIt) {
  // The trail byte is consumed even when it is a letter: three bytes, two characters.
  Layout layout = LayOut(*face, "\x88" "AB");
  ASSERT_EQ(layout.glyphs.size(), 2u);
  EXPECT_EQ(layout.width, 24);
}

TEST_F(FontLayoutTest, ControlBytesTakeOneCellAndDrawNothing) {
  for (const char* control : {"\t", "\r", "\n", "\x1B", "\x7F"}) {
    Layout layout = LayOut(*face, control);
    ASSERT_EQ(layout.glyphs.size(), 1u);
    EXPECT_EQ(layout.width, 8);
    EXPECT_EQ(LitPixels(*layout.glyphs[0].glyph), 0);
  }
}

TEST_F(FontLayoutTest, TheBackslashByteAndKatakanaAreDrawnNotUnknown) {
  const platform::GlyphImage& unknownOneCell = GlyphOf(*face, "\x81");
  for (const char* character : {"\x5C", "\x7E", "\xA1", "\xB1", "\xDF"}) {
    const platform::GlyphImage& glyph = GlyphOf(*face, character);
    EXPECT_GT(LitPixels(glyph), 0) << static_cast<int>(static_cast<unsigned char>(*character));
    EXPECT_FALSE(SameImage(glyph, unknownOneCell));
  }
}

TEST_F(FontLayoutTest, NothingToLayOutAppendsNothing) {
  std::vector<platform::PlacedGlyph> out;
  EXPECT_EQ(platform::FontLayout(*face, "abc", 0, out), 0);
  EXPECT_EQ(platform::FontLayout(*face, "abc", -5, out), 0);
  EXPECT_EQ(platform::FontLayout(*face, nullptr, 3, out), 0);
  EXPECT_TRUE(out.empty());
}

TEST_F(FontLayoutTest, LayoutAppendsToWhatTheCallerAlreadyHas) {
  std::vector<platform::PlacedGlyph> out;
  platform::FontLayout(*face, "ab", 2, out);
  int width = platform::FontLayout(*face, "\x8A\xBF", 2, out);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(width, 16);
  EXPECT_EQ(out[2].x, 0) << "positions count from the start of each string";
}

TEST_F(FontLayoutTest, TheSameCharacterGetsTheSameCachedGlyph) {
  Layout layout = LayOut(*face, "\x8A\xBF" "a\x8A\xBF" "a");
  ASSERT_EQ(layout.glyphs.size(), 4u);
  EXPECT_EQ(layout.glyphs[0].glyph, layout.glyphs[2].glyph);
  EXPECT_EQ(layout.glyphs[1].glyph, layout.glyphs[3].glyph);
  EXPECT_NE(layout.glyphs[0].glyph, layout.glyphs[1].glyph);
}
