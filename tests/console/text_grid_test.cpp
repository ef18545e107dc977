// The text grid: printing, tab stops, line breaks, colours, the edges of a row and of the grid,
// scrolling and drawing over the graphics layer.
#include "tests/console/console_fixture.h"

#include "console/console_requests.h"
#include "console/text_grid.h"
#include "runtime/strings.h"

#include <string>

namespace {
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const std::string kKanji = "\x8A\xBF";  // one double-byte character
}  // namespace

TEST_F(ConsoleTest, TabsMoveToTheNextStopOfEight) {
  Print("\t");
  EXPECT_EQ(console.cursorCol, 8);
  Print("\r\nabcde\t");
  EXPECT_EQ(console.cursorCol, 8);
  EXPECT_EQ(RowText(1), "abcde   ");
  Print("\r\n12345678\t");
  EXPECT_EQ(console.cursorCol, 16);
  EXPECT_EQ(RowText(2), "12345678        ");
}

TEST_F(ConsoleTest, TabFilledCellsKeepTheirColoursAndCoverTheGraphicsLayer) {
  FillBackBuffer(0, 0, 640, 400, kWhite);
  SetColor(RGB(255, 0, 0), RGB(0, 0, 255));
  Print("\t");
  // Never-written cells: black text on opaque black, drawn over the white graphics layer.
  EXPECT_EQ(console.rowFore[0][3], 0u);
  EXPECT_EQ(console.rowBack[0][3], 0);
  EXPECT_EQ(CellPixels(0, 3, kBlack), kCell * RowHeight());
  // Right of the row's text the graphics layer shows.
  EXPECT_EQ(CellPixels(0, 9, kWhite), kCell * RowHeight());
}

TEST_F(ConsoleTest, OnlyCarriageReturnLineFeedBreaksTheLine) {
  Print("a\rb\nc\n\rd");
  EXPECT_EQ(RowText(0), "a\rb\nc\n\rd");
  EXPECT_EQ(console.cursorRow, 0);
  EXPECT_EQ(console.cursorCol, 8);
  Print("e\r\n");
  EXPECT_EQ(console.cursorRow, 1);
  EXPECT_EQ(console.cursorCol, 0);
  EXPECT_EQ(RowText(1), "");
}

TEST_F(ConsoleTest, CellsTakeTheColoursOfTheirPrint) {
  SetColor(RGB(255, 255, 0), 0x123456);
  Print("A");
  SetColor(RGB(0, 255, 0), -1);
  Print("B");
  EXPECT_EQ(console.rowFore[0][0], RGB(255, 255, 0));
  EXPECT_EQ(console.rowBack[0][0], 0x123456);
  EXPECT_EQ(console.rowFore[0][1], RGB(0, 255, 0));
  EXPECT_EQ(console.rowBack[0][1], -1);
  EXPECT_GT(CellPixels(0, 0, 0x123456), 0);
  EXPECT_GT(CellPixels(0, 0, RGB(255, 255, 0)), 0);
}

TEST_F(ConsoleTest, ATransparentBackgroundLeavesTheGraphicsLayerAroundTheGlyph) {
  FillBackBuffer(0, 0, 640, 400, RGB(0, 0, 255));
  SetColor(kWhite, -1);
  Print("W");
  const int glyph = CellPixels(0, 0, kWhite);
  EXPECT_GT(glyph, 0);
  EXPECT_EQ(CellPixels(0, 0, RGB(0, 0, 255)), kCell * RowHeight() - glyph);
}

TEST_F(ConsoleTest, ADoubleByteCharacterIsDrawnInItsLeadCellsColours) {
  SetColor(RGB(255, 0, 0), RGB(0, 128, 0));
  Print(kKanji.substr(0, 1));
  SetColor(RGB(0, 0, 255), RGB(128, 0, 0));
  Print(kKanji.substr(1));
  EXPECT_EQ(RowText(0), kKanji);
  // Both cells carry the lead cell's background and text colour; the trail's colours are unused.
  EXPECT_GT(CellPixels(0, 1, RGB(0, 128, 0)), 0);
  EXPECT_EQ(CellPixels(0, 1, RGB(128, 0, 0)), 0);
  EXPECT_EQ(CellPixels(0, 0, RGB(0, 0, 255)) + CellPixels(0, 1, RGB(0, 0, 255)), 0);
  EXPECT_GT(CellPixels(0, 0, RGB(255, 0, 0)) + CellPixels(0, 1, RGB(255, 0, 0)), 0);
}

TEST_F(ConsoleTest, CellsAfterTheFirstZeroByteAreNotDrawn) {
  FillBackBuffer(0, 0, 640, 400, kWhite);
  Print("ab");
  console.rowChars[0][1] = 0;
  console.rowChars[0][2] = 'c';
  Repaint();
  EXPECT_EQ(CellPixels(0, 1, kWhite), kCell * RowHeight());
  EXPECT_EQ(CellPixels(0, 2, kWhite), kCell * RowHeight());
}

TEST_F(ConsoleTest, ARowWrapsAfter254CharactersAndKeepsItsZeroByte) {
  Print(std::string(300, 'a'));
  EXPECT_EQ(RowText(0), std::string(254, 'a'));
  EXPECT_EQ(console.rowChars[0][254], 0);
  EXPECT_EQ(RowText(1), std::string(46, 'a'));
  EXPECT_EQ(console.cursorRow, 1);
  EXPECT_EQ(console.cursorCol, 46);
}

TEST_F(ConsoleTest, ADoubleByteCharacterIsNeverSplitAcrossRows) {
  Print(std::string(253, 'a') + kKanji);
  EXPECT_EQ(RowText(0), std::string(253, 'a'));
  EXPECT_EQ(RowText(1), kKanji);

  // The same when the two bytes arrive in separate prints, as the editor echoes them; a trail byte
  // whose value could also lead is still taken as the trail.
  const std::string trailThatCouldLead = "\x88\x9F";
  Print("\r\n" + std::string(251, 'b') + trailThatCouldLead.substr(0, 1));
  Print(trailThatCouldLead.substr(1));
  EXPECT_EQ(RowText(2), std::string(251, 'b') + trailThatCouldLead);
  Print(trailThatCouldLead.substr(0, 1));
  Print(trailThatCouldLead.substr(1));
  EXPECT_EQ(RowText(2).size(), 253u);
  EXPECT_EQ(RowText(3), trailThatCouldLead);
}

TEST_F(ConsoleTest, ATabAtTheRightEdgeStopsBeforeTheRowsLastCell) {
  Print(std::string(250, 'a') + "\t");
  EXPECT_EQ(RowText(0), std::string(250, 'a') + "    ");
  EXPECT_EQ(console.rowChars[0][254], 0);
  Print("z\t");
  EXPECT_EQ(RowText(1), "z       ");
}

TEST_F(ConsoleTest, PrintingAnEmptyStringChangesNothing) {
  Print("abc");
  Print("");
  EXPECT_EQ(RowText(0), "abc");
  EXPECT_EQ(console.cursorCol, 3);
}

TEST_F(ConsoleTest, ScrollsOnceWhenTheCursorLeavesATenRowWindow) {
  SetClientSize(640, 10 * RowHeight());
  for (int r = 0; r < 10; ++r) Print(std::string(1, static_cast<char>('0' + r)) + "\r\n");
  Print("x");
  // The print's own redraw scrolled: row 0 is gone, old row 10 is row 9.
  EXPECT_EQ(console.cursorRow, 9);
  EXPECT_EQ(RowText(0), "1");
  EXPECT_EQ(RowText(8), "9");
  EXPECT_EQ(RowText(9), "x");
  EXPECT_GT(CellPixels(9, 0, kWhite), 0);
}

TEST_F(ConsoleTest, AClientLowerThanOneRowScrollsUntilTheCursorIsOnRowZero) {
  Print("a\r\nb\r\nc");
  SetClientSize(640, 10);
  Repaint();
  EXPECT_EQ(console.cursorRow, 0);
  EXPECT_EQ(RowText(0), "c");
  // The rows that scrolled off do not come back.
  SetClientSize(640, 400);
  EXPECT_EQ(RowText(1), "");
}

TEST_F(ConsoleTest, ManyLineBreaksInOnePrintScrollInsteadOfLeavingTheGrid) {
  std::string text;
  for (int i = 0; i < 150; ++i) text += "\r\n";
  Print("top" + text + "z");
  EXPECT_EQ(console.cursorRow, 400 / RowHeight() - 1);
  EXPECT_EQ(RowText(console.cursorRow), "z");
  for (int r = 0; r < kTextRows; ++r) EXPECT_NE(RowText(r), "top") << "row " << r;
}

TEST_F(ConsoleTest, PrintingANullStringChangesNothing) {
  Print("abc");
  ConsolePrint(nullptr);
  Idle();
  EXPECT_EQ(RowText(0), "abc");
  EXPECT_EQ(console.cursorCol, 3);
}

// The rows a scroll step makes come from the runtime heap; when it has nothing left, the runtime's
// exhaustion rule ends the program (code 3, with a message) instead of a null row being written.
TEST_F(ConsoleTest, AScrollWithoutMemoryForTheNewRowEndsTheProgramAsTheStringStoreDoes) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        // A small fixed-size heap, filled up, serves as the runtime heap; row 0, which the scroll
        // step frees first, holds three one-byte blocks of it, too small to make room for a row.
        HANDLE tight = HeapCreate(0, 0, 64 * 1024);
        for (void** row : {reinterpret_cast<void**>(&console.rowChars[0]), reinterpret_cast<void**>(&console.rowFore[0]),
                           reinterpret_cast<void**>(&console.rowBack[0])})
          *row = HeapAlloc(tight, 0, 1);
        for (SIZE_T size = 32 * 1024; size > 0; size /= 2)
          while (HeapAlloc(tight, 0, size) != nullptr) {
          }
        stringRegistry.heap = tight;
        ScrollGridUp();
      },
      testing::ExitedWithCode(3), "cannot allocate a block of 255 bytes");
}

TEST_F(ConsoleTest, ATransparentCellPrintedOverAnotherShowsOnlyTheNewGlyph) {
  FillBackBuffer(0, 0, 640, 400, RGB(0, 0, 255));
  SetColor(kWhite, -1);
  Print("W");
  // The cursor back to the start of the row, through the console's own request.
  ASSERT_EQ(ConsoleLocate(0, 0), 1);
  Print(".");
  Idle();
  const int dot = CellPixels(0, 0, kWhite);
  EXPECT_GT(dot, 0);
  EXPECT_LT(dot, 8) << "the W printed before still shows under the transparent cell";
}
