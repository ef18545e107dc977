// Programs run through a session on the console screen of the headless display; the graphics layer
// is read back with POINT's own source, the back buffer.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "basic/console_screen.h"
#include "basic/headless_screen.h"
#include "basic/session.h"
#include "basic/tile_pattern.h"
#include "console/console_state.h"
#include "graphics/primitives.h"
#include "program/program_main.h"
#include "support/display.h"

namespace {

TEST(TileStringTest, EachByteIsOnePlaneOfARowWithTheLeftmostPixelInTheHighBit) {
  TilePattern tile;
  // Row 0: blue at pixel 0, red at pixel 1, green at pixel 2; pixel 7 in all three planes (white).
  ASSERT_TRUE(DecodeTile(std::string("\x81\x41\x21", 3), tile));
  ASSERT_EQ(tile.rows, 1);
  const std::array<uint8_t, 8> row0 = {1, 2, 4, 0, 0, 0, 0, 7};
  EXPECT_EQ(tile.indexes[0], row0);

  // Four bytes: a second row whose red and green planes are missing, padded with zeros.
  ASSERT_TRUE(DecodeTile(std::string("\x00\x00\x00\xF0", 4), tile));
  ASSERT_EQ(tile.rows, 2);
  const std::array<uint8_t, 8> row1 = {1, 1, 1, 1, 0, 0, 0, 0};
  EXPECT_EQ(tile.indexes[1], row1);

  EXPECT_FALSE(DecodeTile("", tile));
  EXPECT_TRUE(DecodeTile(std::string(64, '\xFF'), tile));
  EXPECT_EQ(tile.rows, 22);
  EXPECT_FALSE(DecodeTile(std::string(65, '\xFF'), tile));
}

// One console window for the whole suite, on a virtual screen the size of the program's screen.
class ScreenTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static bool started = false;
    if (!started) {
      ASSERT_TRUE(SupportUseHeadlessDisplay(kScreenWidth, kScreenHeight));
      ProgramStartup();
      started = true;
    }
  }

  // Runs the program; what it prints goes to `output`, its errors to `errors`.
  SessionEnd Run(const std::string& program) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    HeadlessScreen mirror(out, stdin, {});
    GraphicsLayer graphics;
    ConsoleScreen screen(graphics, &mirror);
    SessionEnd end;
    {
      Session session(screen, err);
      int error;
      int32_t line;
      EXPECT_TRUE(session.Load("1 CLS\n" + program, error, line)) << "line " << line;
      end = session.RunProgram();
      column_ = screen.Column();
      row_ = screen.Row();
    }
    mirror.Flush();
    // The interface thread has printed everything before the next program, or the process's end.
    EXPECT_TRUE(SupportWaitIdle(console.consoleWindow));
    output = ReadAll(out);
    errors = ReadAll(err);
    return end;
  }

  static std::string ReadAll(std::FILE* f) {
    std::string text;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
    std::fclose(f);
    return text;
  }

  // The palette index of a pixel of the graphics layer, -1 for a colour outside the palette.
  static int At(int x, int y) {
    const COLORREF c = GetPixel(console.backBuffer, x, y);
    for (int i = 0; i < 8; ++i)
      if (ColorFromIndex(i) == c) return i;
    return -1;
  }

  std::string output, errors;
  int column_ = 0, row_ = 0;
};

TEST_F(ScreenTest, ATileStringRepeatsOnTheScreenGridWhereverTheFillStarts) {
  // Two rows: blue/red alternating pixels, then blue on the left half; the box starts off the grid.
  ASSERT_EQ(Run("10 LINE (13, 21)-(60, 50), 7, B\n"
                "20 PAINT (30, 30), CHR$(&HAA) + CHR$(&H55) + CHR$(0) + CHR$(&HF0), 7\n"),
            SessionEnd::Normal)
      << errors;
  for (int y = 22; y < 50; ++y)
    for (int x = 14; x < 60; ++x) {
      const int expected = y % 2 == 0 ? (x % 2 == 0 ? 1 : 2) : (x % 8 < 4 ? 1 : 0);
      ASSERT_EQ(At(x, y), expected) << "at " << x << ", " << y;
    }
  // The border and what lies outside it are untouched.
  EXPECT_EQ(At(13, 30), 7);
  EXPECT_EQ(At(12, 30), 0);
  EXPECT_EQ(At(30, 51), 0);
}

TEST_F(ScreenTest, LinesIncludeBothEndsAndGoOnFromTheLastPoint) {
  ASSERT_EQ(Run("10 LINE (10, 10)-(20, 15), 4\n"
                "20 LINE -(30, 15), 2\n"           // from (20, 15)
                "30 PSET (50, 50), 1: LINE -STEP(5, 0), 6\n"  // from the point PSET set
                "40 LINE (70, 40)-(60, 30), 3, BF\n"          // corners in any order
                "50 LINE (100, 100)-STEP(-10, -10), 5, B\n"   // STEP from the first point
                "60 PRINT POINT(10, 10); POINT(20, 15); POINT(30, 15); POINT(700, 0)\n"),
            SessionEnd::Normal)
      << errors;
  EXPECT_EQ(At(10, 10), 4);
  EXPECT_EQ(At(9, 10), 0);
  EXPECT_EQ(At(21, 15), 2);
  EXPECT_EQ(At(30, 15), 2);
  EXPECT_EQ(At(31, 15), 0);
  EXPECT_EQ(At(50, 50), 6);
  EXPECT_EQ(At(55, 50), 6);
  EXPECT_EQ(At(56, 50), 0);
  EXPECT_EQ(At(60, 30), 3);
  EXPECT_EQ(At(65, 35), 3);
  EXPECT_EQ(At(70, 40), 3);
  EXPECT_EQ(At(71, 40), 0);
  EXPECT_EQ(At(90, 90), 5);
  EXPECT_EQ(At(100, 100), 5);
  EXPECT_EQ(At(95, 95), 0);
  EXPECT_EQ(output, " 4  2  2 -1 \n");
}

TEST_F(ScreenTest, PaintStopsOnlyAtTheBorderColour) {
  ASSERT_EQ(Run("10 LINE (10, 10)-(50, 50), 2, B\n"
                "20 LINE (20, 12)-(20, 48), 4\n"  // another colour inside: painted over
                "30 PAINT (30, 30), 1, 2\n"
                "40 CIRCLE (200, 100), 30, 3\n"
                "50 PAINT (200, 100), 3\n"        // the border defaults to the paint colour
                "60 PAINT (10, 10), 5, 2\n"),     // starting on the border paints nothing
            SessionEnd::Normal)
      << errors;
  EXPECT_EQ(At(30, 30), 1);
  EXPECT_EQ(At(20, 30), 1);
  EXPECT_EQ(At(11, 11), 1);
  EXPECT_EQ(At(10, 10), 2);
  EXPECT_EQ(At(9, 30), 0);
  EXPECT_EQ(At(200, 100), 3);
  EXPECT_EQ(At(200, 129), 3);
  EXPECT_EQ(At(200, 131), 0);
  EXPECT_EQ(At(100, 100), 0);
}

TEST_F(ScreenTest, TheTextCursorFollowsLocateAndWrapsAtEightyColumns) {
  ASSERT_EQ(Run("10 LOCATE 5, 10: PRINT \"AB\";: C = POS(0): R = CSRLIN\n"
                "20 PRINT STRING$(100, \"X\");: D = POS(0): E = CSRLIN\n"
                "30 PRINT: PRINT C; R; D; E\n"),
            SessionEnd::Normal)
      << errors;
  // The 100 do not fit after column 11: they start on row 6, whose 80 columns take 80 of them.
  EXPECT_NE(output.find("\n 12  5  21  7 \n"), std::string::npos) << output;
  EXPECT_EQ(row_, 9);
  EXPECT_EQ(column_, 0);
}

TEST_F(ScreenTest, BadArgumentsAreTheFamilysErrors) {
  EXPECT_EQ(Run("10 PSET (1, 1), 8\n"), SessionEnd::Error);
  EXPECT_EQ(errors, "Illegal function call in 10\n");
  EXPECT_EQ(Run("10 PICTURE (0, 0), \"NO SUCH PICTURE.BMP\"\n"), SessionEnd::Error);
  EXPECT_EQ(errors, "File not found in 10\n");
  EXPECT_EQ(Run("10 PAINT (5, 5), \"\"\n"), SessionEnd::Error);
  EXPECT_EQ(errors, "Illegal function call in 10\n");
  EXPECT_EQ(Run("10 LOCATE 26, 1\n"), SessionEnd::Error);
  EXPECT_EQ(errors, "Illegal function call in 10\n");
  EXPECT_EQ(Run("10 LINE (0, 0)-(40000, 0)\n"), SessionEnd::Error);
  EXPECT_EQ(errors, "Overflow in 10\n");
  EXPECT_EQ(Run("10 LINE (0, 0)-(5, 5), 1, C\n"), SessionEnd::Error);
  EXPECT_EQ(errors, "Syntax error in 10\n10 LINE (0, 0)-(5, 5), 1, C\n");
}

}  // namespace
