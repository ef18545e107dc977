// Text: the console font's cell, where glyph pixels land, and the background modes.
#include <cstring>
#include <set>
#include <utility>

#include "gdi_test.h"

namespace {

class Text : public GdiTest {};

constexpr COLORREF kPaper = RGB(0, 0, 0);
constexpr COLORREF kInk = RGB(255, 255, 0);
constexpr COLORREF kBack = RGB(0, 0, 160);

LOGFONTA ConsoleFont() {
  LOGFONTA lf{};
  lf.lfHeight = -16;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lf.lfPitchAndFamily = FIXED_PITCH;
  std::strcpy(lf.lfFaceName, "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E");
  return lf;
}

using Points = std::set<std::pair<int, int>>;

Points PixelsOf(HDC dc, int width, int height, COLORREF color) {
  Points points;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (GetPixel(dc, x, y) == color) points.insert({x, y});
  return points;
}

// Draws `text` at (x, y) on a 48 x 32 canvas of paper colour with the console font and returns the canvas.
struct Drawn {
  Points ink, back, paper;
};
Drawn DrawText(const char* text, int x, int y, int mode) {
  Canvas canvas(48, 32);
  canvas.Fill(kPaper);
  LOGFONTA lf = ConsoleFont();
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(canvas.dc(), font);
  SetTextColor(canvas.dc(), kInk);
  SetBkColor(canvas.dc(), kBack);
  SetBkMode(canvas.dc(), mode);
  EXPECT_TRUE(TextOutA(canvas.dc(), x, y, text, static_cast<int>(std::strlen(text))));
  SelectObject(canvas.dc(), old);
  DeleteObject(font);
  Drawn drawn{PixelsOf(canvas.dc(), 48, 32, kInk), PixelsOf(canvas.dc(), 48, 32, kBack),
              PixelsOf(canvas.dc(), 48, 32, kPaper)};
  EXPECT_EQ(drawn.ink.size() + drawn.back.size() + drawn.paper.size(), 48u * 32u) << "1-bit glyphs: no other colours";
  return drawn;
}

bool Inside(const Points& points, int x0, int y0, int x1, int y1) {
  for (const auto& [x, y] : points)
    if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
  return true;
}

// GetTextExtentPoint32A of `length` bytes of `text` in the console font.
SIZE ConsoleExtent(const char* text, int length) {
  Canvas canvas(8, 8);
  LOGFONTA lf = ConsoleFont();
  Selected selected(canvas.dc(), CreateFontIndirectA(&lf));
  SIZE size{-1, -1};
  EXPECT_TRUE(GetTextExtentPoint32A(canvas.dc(), text, length, &size));
  return size;
}

// Runs on our stack only: under Wine the console face is IPAGothic, whose cell is 8 x 17.
TEST_F(Text, TheConsoleFontMeasuresEightBySixteen) {
  Canvas canvas(8, 8);
  LOGFONTA lf = ConsoleFont();
  HFONT font = CreateFontIndirectA(&lf);
  Selected selected(canvas.dc(), font);
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32A(canvas.dc(), " ", 1, &size));
  EXPECT_EQ(size.cx, 8);
  EXPECT_EQ(size.cy, 16);
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(canvas.dc(), &tm));
  EXPECT_EQ(tm.tmHeight, 16);
  EXPECT_EQ(tm.tmAscent + tm.tmDescent, 16);
  EXPECT_EQ(tm.tmAveCharWidth, 8);
  ASSERT_TRUE(GetTextExtentPoint32A(canvas.dc(), "\x82\xA0", 2, &size)) << "hiragana a";
  EXPECT_EQ(size.cx, 16) << "a double-byte character is two cells wide";
  ASSERT_TRUE(GetTextExtentPoint32A(canvas.dc(), "AB\x82\xA0" "C", 5, &size));
  EXPECT_EQ(size.cx, 40);
  ASSERT_TRUE(GetTextExtentPoint32A(canvas.dc(), "", 0, &size));
  EXPECT_EQ(size.cx, 0);
}

// Runs on our stack only: under Wine the console face is IPAGothic, whose cell is 8 x 17.
TEST_F(Text, OpaqueTextFillsItsCellsAndPutsGlyphPixelsInsideThem) {
  Drawn drawn = DrawText("A", 5, 3, OPAQUE);
  EXPECT_FALSE(drawn.ink.empty());
  EXPECT_EQ(drawn.ink.size() + drawn.back.size(), 8u * 16u) << "the whole 8 x 16 cell is ink or background";
  EXPECT_TRUE(Inside(drawn.ink, 5, 3, 13, 19));
  EXPECT_TRUE(Inside(drawn.back, 5, 3, 13, 19));
}

TEST_F(Text, TransparentTextLeavesTheBackgroundAndDrawsTheSameGlyphPixels) {
  Drawn opaque = DrawText("A", 5, 3, OPAQUE);
  Drawn transparent = DrawText("A", 5, 3, TRANSPARENT);
  EXPECT_TRUE(transparent.back.empty());
  EXPECT_EQ(transparent.ink, opaque.ink);
}

TEST_F(Text, GlyphPixelsMoveWithThePosition) {
  Drawn here = DrawText("g", 2, 1, TRANSPARENT);
  Drawn there = DrawText("g", 9, 12, TRANSPARENT);
  Points moved;
  for (const auto& [x, y] : here.ink) moved.insert({x + 7, y + 11});
  EXPECT_FALSE(here.ink.empty());
  EXPECT_EQ(there.ink, moved);
}

TEST_F(Text, DifferentCharactersDrawDifferentGlyphs) {
  EXPECT_NE(DrawText("A", 0, 0, TRANSPARENT).ink, DrawText("B", 0, 0, TRANSPARENT).ink);
  EXPECT_TRUE(DrawText(" ", 0, 0, TRANSPARENT).ink.empty()) << "a space has no ink";
}

// Runs on our stack only: under Wine the console face is IPAGothic, whose cell is 8 x 17.
TEST_F(Text, ADoubleByteCharacterTakesTwoCells) {
  Drawn drawn = DrawText("\x82\xA0", 4, 2, OPAQUE);  // hiragana a
  EXPECT_FALSE(drawn.ink.empty());
  EXPECT_EQ(drawn.ink.size() + drawn.back.size(), 16u * 16u);
  EXPECT_TRUE(Inside(drawn.ink, 4, 2, 20, 18));
  // Its ink reaches into the second cell: it is one wide glyph, not two narrow ones.
  bool secondCell = false;
  for (const auto& [x, y] : drawn.ink) secondCell |= x >= 12;
  EXPECT_TRUE(secondCell);
}

// Runs on our stack only: under Wine the console face is IPAGothic, whose cell is 8 x 17.
TEST_F(Text, ALoneLeadByteAtTheEndIsOneCharacter) {
  // It neither swallows a byte beyond the string nor vanishes: one more single cell.
  Drawn drawn = DrawText("A\x82", 0, 0, OPAQUE);
  EXPECT_EQ(drawn.ink.size() + drawn.back.size(), 16u * 16u);
  EXPECT_TRUE(Inside(drawn.back, 0, 0, 16, 16));
  EXPECT_EQ(ConsoleExtent("A\x82\xA0", 2).cx, 16);
}

TEST_F(Text, TextIsClippedToTheBitmap) {
  Drawn drawn = DrawText("WWWWWWWW", -20, 24, OPAQUE);
  EXPECT_FALSE(drawn.ink.empty());
  EXPECT_TRUE(Inside(drawn.back, 0, 24, 44, 32));
}

TEST_F(Text, TheDefaultSystemFontDrawsText) {
  Canvas canvas(64, 32);
  canvas.Fill(kPaper);
  SetTextColor(canvas.dc(), kInk);
  SetBkMode(canvas.dc(), TRANSPARENT);
  EXPECT_TRUE(TextOutA(canvas.dc(), 0, 0, "Hi", 2));
  EXPECT_FALSE(PixelsOf(canvas.dc(), 64, 32, kInk).empty());
  TEXTMETRICA tm{};
  EXPECT_TRUE(GetTextMetricsA(canvas.dc(), &tm));
  EXPECT_GT(tm.tmHeight, 0);
}

TEST_F(Text, BadArgumentsFail) {
  Canvas canvas(8, 8);
  SIZE size{};
  EXPECT_FALSE(GetTextExtentPoint32A(canvas.dc(), "A", 1, nullptr));
  EXPECT_FALSE(GetTextExtentPoint32A(nullptr, "A", 1, &size));
  EXPECT_FALSE(TextOutA(canvas.dc(), 0, 0, nullptr, 3));
  EXPECT_FALSE(TextOutA(canvas.dc(), 0, 0, "A", -1));
  EXPECT_FALSE(GetTextMetricsA(canvas.dc(), nullptr));
}

}  // namespace
