// tilebasic in its window on an X server of its own: the window shows what --snapshot writes, direct
// mode typed with xdotool, the demonstration as a program, and closing during an endless loop.
#include <algorithm>
#include <fstream>

#include "tests/process/process_fixture.h"

namespace process_test {
namespace {

const std::string kExamples = std::string(TILEPAINT_SOURCE_DIR) + "/examples";

// The text row where the console's caret (a white 9 x 6 block lifted 1 pixel off the row's bottom)
// stands, or -1 while no line is being typed.
int CaretRow(const PixelImage& shown) {
  for (int row = 0; (row + 1) * 16 <= shown.height; ++row)
    for (int x = 0; x + 9 <= shown.width; ++x) {
      bool block = true;
      for (int y = (row + 1) * 16 - 7; y < (row + 1) * 16 - 1 && block; ++y)
        for (int dx = 0; dx < 9 && block; ++dx) block = shown.At(x + dx, y) == 0xFFFFFF;
      if (block) return row;
    }
  return -1;
}

class TilebasicTest : public ProcessTest {
 protected:
  static void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

  // `tilebasic --headless --snapshot` in `dir`, with `input` on standard input; its exit code.
  int Snapshot(const std::string& dir, const std::string& program, const std::string& png,
               const std::string& input = "") {
    WriteFile(dir + "/input.txt", input);
    return RunCommand({"sh", "-c",
                       "cd '" + dir + "' && '" + Program("tilebasic") + "' --headless --snapshot '" + png + "' " +
                           program + " < input.txt > output.txt"},
                      "");
  }

  // Waits until the window's top rows (`rows` text rows of 16 pixels) show those of the PNG.
  ::testing::AssertionResult Shows(Window window, const std::string& png, int rows = 25) {
    const PixelImage expected = LoadPngOrFail(png).Crop(0, 0, 640, rows * 16);
    PixelImage shown;
    WaitUntil(
        [&] {
          shown = session_.Capture(window);
          if (shown.width < expected.width || shown.height < expected.height) return false;
          shown = shown.Crop(0, 0, expected.width, expected.height);
          return shown.pixels == expected.pixels;
        },
        kWindowMs);
    return ImagesMatch(expected, shown, png + ".window.png");
  }
};

TEST_F(TilebasicTest, TheDemonstrationAsAProgramDrawsWhatTheSnapshotToolDraws) {
  const std::string dir = ScratchDir("tilebasic-demo", true);
  ASSERT_EQ(Snapshot(dir, "'" + kExamples + "/tile_paint.bas'", dir + "/program.png"), 0);
  ASSERT_EQ(RunCommand({"sh", "-c", "cd '" + dir + "' && '" + Program("tilepaint-snapshot") + "' --screen 640x400 demo.png"}, ""), 0);
  EXPECT_TRUE(ImagesMatch(LoadPngOrFail(dir + "/demo.png"), LoadPngOrFail(dir + "/program.png"), dir + "/program.actual.png"));
}

TEST_F(TilebasicTest, TheWindowShowsWhatTheSnapshotWritesAndStaysOpenUntilClosed) {
  const std::string dir = ScratchDir("tilebasic-window");
  const std::string program = kExamples + "/harbour.bas";
  ASSERT_EQ(Snapshot(dir, "'" + program + "'", dir + "/harbour.png"), 0);
  Child child = Spawn({Program("tilebasic"), program}, session_.name(), dir);
  ChildGuard guard{child};
  const Window window = ShownWindow();
  ASSERT_NE(window, 0u);
  EXPECT_TRUE(Shows(window, dir + "/harbour.png"));
  // The program has ended and the window stays: it closes with exit code 0 when asked to.
  EXPECT_EQ(WaitExit(child, 0), -1);
  EXPECT_EQ(EndAndTime(child, "tilebasic, close button", [&] { session_.RequestClose(window); }), 0);
}

TEST_F(TilebasicTest, DirectModeTypedInTheWindowStoresRunsAndListsLines) {
  if (!ProgramAvailable("xdotool")) GTEST_SKIP() << "xdotool is not installed";
  const std::string dir = ScratchDir("tilebasic-direct");
  const std::vector<std::string> lines = {"10 FOR I = 1 TO 3", "20 PRINT \"LINE\"; I * 2", "30 NEXT", "RUN", "LIST 20-"};
  std::string typed;
  for (const std::string& line : lines) typed += line + "\n";
  ASSERT_EQ(Snapshot(dir, "", dir + "/direct.png", typed), 0);
  // What headless direct mode printed: the lines ran and LIST showed them.
  std::ifstream output(dir + "/output.txt");
  const std::string printed((std::istreambuf_iterator<char>(output)), std::istreambuf_iterator<char>());
  EXPECT_NE(printed.find("LINE 2 \nLINE 4 \nLINE 6 \nOk\n"), std::string::npos) << printed;
  EXPECT_NE(printed.find("20 PRINT \"LINE\"; I * 2\n30 NEXT\nOk\n"), std::string::npos) << printed;

  Child child = Spawn({Program("tilebasic")}, session_.name(), dir);
  ChildGuard guard{child};
  const Window window = ShownWindow();
  ASSERT_NE(window, 0u);
  const std::string& d = session_.name();
  RunCommand({"xdotool", "windowfocus", "--sync", std::to_string(window)}, d);
  // Each line is typed once the editor asks for it (its caret stands on a row below the last one's):
  // what is typed before goes to INKEY$, not to the line.
  int lastRow = -1;
  for (const std::string& line : lines) {
    int row = -1;
    ASSERT_TRUE(WaitUntil([&] { return (row = CaretRow(session_.Capture(window))) > lastRow; }, kWindowMs))
        << "no line asked for before \"" << line << "\"";
    lastRow = row;
    RunCommand({"xdotool", "type", "--delay", "20", line}, d);
    RunCommand({"xdotool", "key", "Return"}, d);
  }
  // The window shows what the snapshot of the same session shows, down to the last "Ok" (the row
  // below it holds the caret, which the snapshot's pixels never do): 1 + 5 typed + 3 run + 1 + 2 + 1.
  EXPECT_TRUE(Shows(window, dir + "/direct.png", 13));
  ASSERT_TRUE(WaitUntil([&] { return CaretRow(session_.Capture(window)) > lastRow; }, kWindowMs));
  EXPECT_EQ(EndAndTime(child, "tilebasic, SYSTEM", [&] {
              RunCommand({"xdotool", "type", "SYSTEM"}, d);
              RunCommand({"xdotool", "key", "Return"}, d);
            }),
            0);
}

TEST_F(TilebasicTest, ClosingTheWindowDuringAnEndlessLoopEndsTheProcessAtOnce) {
  const std::string dir = ScratchDir("tilebasic-loop");
  // One loop draws, the other prints as fast as it can (the text must not pile up before the close).
  WriteFile(dir + "/DRAW.BAS", "10 PSET (RND * 640, RND * 400), 7\n20 GOTO 10\n");
  WriteFile(dir + "/PRINT.BAS", "10 PRINT STRING$(70, \"#\"); I: I = I + 1: GOTO 10\n");
  for (const bool bySignal : {false, true})
  for (const char* program : {"DRAW.BAS", "PRINT.BAS"}) {
    SCOPED_TRACE(program);
    Child child = Spawn({Program("tilebasic"), program}, session_.name(), dir);
    ChildGuard guard{child};
    const Window window = ShownWindow();
    ASSERT_NE(window, 0u);
    // The loop draws: white points appear.
    ASSERT_TRUE(WaitUntil(
        [&] {
          const PixelImage shown = session_.Capture(window);
          return std::count(shown.pixels.begin(), shown.pixels.end(), 0xFFFFFFu) > 20;
        },
        kWindowMs));
    const auto start = Clock::now();
    const int code = bySignal ? EndAndTime(child, "tilebasic loop, SIGTERM", [&] { kill(child.pid, SIGTERM); })
                              : EndAndTime(child, "tilebasic loop, close button", [&] { session_.RequestClose(window); });
    EXPECT_EQ(code, 0);
    EXPECT_LT(MsSince(start), kSanitized ? 10000 : 2000);
  }
}

TEST_F(TilebasicTest, AProgramStoppedOnAnErrorShowsItAndClosesWithExitCodeOne) {
  const std::string dir = ScratchDir("tilebasic-error");
  WriteFile(dir + "/ERR.BAS", "10 PRINT \"DRAWING\"\n20 PICTURE (0, 0), \"NONE.BMP\"\n");
  Child child = Spawn({Program("tilebasic"), "ERR.BAS"}, session_.name(), dir);
  ChildGuard guard{child};
  const Window window = ShownWindow();
  ASSERT_NE(window, 0u);
  EXPECT_EQ(ReadLine(child.err, kWindowMs), "File not found in 20\n");
  ASSERT_EQ(Snapshot(dir, "ERR.BAS", dir + "/error.png"), 1);
  EXPECT_TRUE(Shows(window, dir + "/error.png"));
  EXPECT_EQ(EndAndTime(child, "tilebasic after an error, close button", [&] { session_.RequestClose(window); }), 1);
}

TEST_F(TilebasicTest, SystemInAProgramClosesItsWindowWithExitCodeZero) {
  const std::string dir = ScratchDir("tilebasic-system");
  WriteFile(dir + "/BYE.BAS", "10 PRINT \"BYE\"\n20 SYSTEM\n30 GOTO 30\n");
  Child child = Spawn({Program("tilebasic"), "BYE.BAS"}, session_.name(), dir);
  ChildGuard guard{child};
  EXPECT_EQ(WaitExit(child, kWindowMs), 0);
}

}  // namespace
}  // namespace process_test
