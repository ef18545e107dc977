// Which face a LOGFONTA gets, and which LOGFONTAs share one.
#include <gtest/gtest.h>

#include "tests/font/font_fixtures.h"

using namespace font_test;

namespace {

LOGFONTA NamedFont(const char* faceName, BYTE charSet) {
  LOGFONTA lf = ConsoleFont();
  std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
  std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
  lf.lfCharSet = charSet;
  return lf;
}

}  // namespace

TEST(FontChoice, TheConsoleFaceIsAliasedToIpaGothic) {
  EXPECT_EQ(platform::FontFamilyName(*platform::FontOpen(ConsoleFont())), "IPAGothic");
}

TEST(FontChoice, TheLatinSpellingOfTheConsoleFaceIsAliasedToo) {
  EXPECT_EQ(platform::FontFamilyName(*platform::FontOpen(NamedFont("MS Gothic", ANSI_CHARSET))), "IPAGothic");
}

TEST(FontChoice, AnInstalledFamilyIsFoundByItsOwnName) {
  auto face = platform::FontOpen(NamedFont("IPAPGothic", SHIFTJIS_CHARSET));
  EXPECT_EQ(platform::FontFamilyName(*face), "IPAPGothic");
  // A proportional face lays out by the glyphs' own advances and says it is variable pitch.
  EXPECT_NE(platform::FontGetMetrics(*face).pitchAndFamily & 0x01, 0);
  EXPECT_LT(LayOut(*face, "i").width, LayOut(*face, "W").width);
}

TEST(FontChoice, AnUnknownJapaneseFamilyFallsBackToAFaceWithKanji) {
  auto face = platform::FontOpen(NamedFont("No Such Family 12345", SHIFTJIS_CHARSET));
  EXPECT_FALSE(platform::FontFamilyName(*face).empty());
  // A kanji must not come out as the unknown-character box that an undecodable pair gives.
  EXPECT_FALSE(SameImage(GlyphOf(*face, "\x8A\xBF"), GlyphOf(*face, "\x85\x40")));
}

TEST(FontChoice, EqualLogfontsShareOneFaceAndDifferentOnesDoNot) {
  LOGFONTA a = ConsoleFont();
  LOGFONTA b = ConsoleFont();
  // Bytes after the face name's terminator do not make a different font.
  b.lfFaceName[20] = 'x';
  EXPECT_EQ(platform::FontOpen(a), platform::FontOpen(b));
  EXPECT_NE(platform::FontOpen(a), platform::FontOpen(ConsoleFontOfHeight(-17)));
  LOGFONTA bold = ConsoleFont();
  bold.lfWeight = FW_BOLD;
  EXPECT_NE(platform::FontOpen(a), platform::FontOpen(bold));
}

TEST(FontChoice, AFaceOutlivesTheCacheThatHandedItOut) {
  auto kept = platform::FontOpen(ConsoleFontOfHeight(-21));
  const platform::GlyphImage* glyph = &GlyphOf(*kept, "\x8A\xBF");
  platform::GlyphImage copy = *glyph;
  // Open many other fonts so that the cache lets go of ours.
  for (LONG height = -40; height > -120; --height) platform::FontOpen(ConsoleFontOfHeight(height));
  EXPECT_TRUE(SameImage(*glyph, copy));
  EXPECT_EQ(LayOut(*kept, "\x8A\xBF").glyphs[0].glyph, glyph);
}

TEST(FontChoice, AFaceNameWithoutTerminatorOrValidCp932StillOpensAFace) {
  LOGFONTA unterminated = ConsoleFont();
  std::memset(unterminated.lfFaceName, 'A', LF_FACESIZE);
  auto face = platform::FontOpen(unterminated);
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(LayOut(*face, "A").width, platform::FontGetMetrics(*face).aveCharWidth);

  // A lone lead byte in the name cannot be converted; the default face is used.
  auto undecodable = platform::FontOpen(NamedFont("\x82", SHIFTJIS_CHARSET));
  ASSERT_NE(undecodable, nullptr);
  EXPECT_GE(platform::FontGetMetrics(*undecodable).height, 16);
}

TEST(FontChoice, AnEmptyFaceNameGetsADefaultFace) {
  auto face = platform::FontOpen(NamedFont("", SHIFTJIS_CHARSET));
  EXPECT_FALSE(platform::FontFamilyName(*face).empty());
  EXPECT_EQ(platform::FontGetMetrics(*face).height, 16);
}
