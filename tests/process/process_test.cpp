// The real programs on a private X server: the window a person sees, idling, typing, and every usual
// way of ending them. Every wait is for a condition (a window shown, a frame drawn, a line printed, a
// process ended) with a generous bound; how long the endings took is printed, not asserted.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "tests/common/thread_state.h"
#include "tests/process/process_fixture.h"

namespace {

using namespace process_test;

TEST_F(ProcessTest, TilepaintDrawsTheSnapshotWithThePictureIdlesAndClosesWithExitCodeZero) {
  const std::string dir = ScratchDir("with-picture", true);
  Child child = Spawn({Program("tilepaint")}, session_.name(), dir);
  ChildGuard guard{child};
  const Window window = ShownWindow();
  ASSERT_NE(window, 0u) << "no window titled BASIC PROMPT";
  EXPECT_NE(session_.WindowClass(window).find("PROMPT"), std::string::npos) << session_.WindowClass(window);
  EXPECT_TRUE(ShowsTheSnapshot(window, dir));

  // Outside the demonstration's 640 x 400 page everything is the black graphics layer.
  const PixelImage shown = session_.Capture(window);
  int lit = 0;
  for (int y = 0; y < shown.height; ++y)
    for (int x = 0; x < shown.width; ++x)
      if ((x >= 640 || y >= 400) && shown.At(x, y) != 0) ++lit;
  EXPECT_EQ(lit, 0);

  // Parked, the program waits for events only: no thread polls or sleeps for a while. (A sanitizer's
  // runtime has threads of its own that do.)
  if (!kSanitized) {
    std::string busy;
    EXPECT_TRUE(WaitUntil([&] { return (busy = ThreadsNotIdle(child.pid)).empty(); }, kWindowMs))
        << "threads with a deadline or running: " << busy;
  }

  EXPECT_EQ(EndAndTime(child, "tilepaint, close button", [&] { session_.RequestClose(window); }), 0);
}

TEST_F(ProcessTest, TilepaintWithoutThePictureDrawsOnlyTheBoxOutlines) {
  const std::string dir = ScratchDir("without-picture");
  Child child = Spawn({Program("tilepaint")}, session_.name(), dir);
  ChildGuard guard{child};
  const Window window = ShownWindow();
  ASSERT_NE(window, 0u);
  EXPECT_TRUE(ShowsTheSnapshot(window, dir));
  // The left edge of the first box outline, doubled twice, is there, white.
  EXPECT_EQ(session_.Capture(window).At(9, 100), 0xFFFFFFu);
  EXPECT_EQ(EndAndTime(child, "tilepaint without picture, close button", [&] { session_.RequestClose(window); }), 0);
}

struct Ending {
  const char* program;
  int signal;
};

class EndingBySignal : public ProcessTest, public ::testing::WithParamInterface<Ending> {};

// Ctrl+C in a terminal, `kill`, a closed terminal: each closes the program as its close button would.
TEST_P(EndingBySignal, ClosesTheWindowAndEndsWithExitCodeZero) {
  const Ending ending = GetParam();
  Child child = Spawn({Program(ending.program)}, session_.name(), ScratchDir(ending.program, true));
  ChildGuard guard{child};
  ASSERT_NE(ShownWindow(), 0u);
  const std::string how = std::string(ending.program) + ", " + strsignal(ending.signal);
  EXPECT_EQ(EndAndTime(child, how.c_str(), [&] { kill(child.pid, ending.signal); }), 0);
}

INSTANTIATE_TEST_SUITE_P(Programs, EndingBySignal,
                         ::testing::Values(Ending{"tilepaint", SIGINT}, Ending{"tilepaint", SIGTERM},
                                           Ending{"tilepaint", SIGHUP}, Ending{"prompt-echo", SIGINT},
                                           Ending{"prompt-echo", SIGTERM}, Ending{"prompt-echo", SIGHUP},
                                           Ending{"tilebasic", SIGINT}, Ending{"tilebasic", SIGTERM},
                                           Ending{"tilebasic", SIGHUP}),
                         [](const auto& info) {
                           std::string name = std::string(info.param.program) + "_" + sigabbrev_np(info.param.signal);
                           name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                           return name;
                         });

// `nohup tilepaint`: started with SIGHUP ignored, the program leaves it ignored (a closed terminal does
// not close it); the other signals still close it.
TEST_F(ProcessTest, ASignalIgnoredWhenTheProgramStartsStaysIgnored) {
  Child child = Spawn({"/usr/bin/nohup", Program("tilepaint")}, session_.name(), ScratchDir("nohup", true));
  ChildGuard guard{child};
  ASSERT_NE(ShownWindow(), 0u);
  const auto mask = [&](const char* field) {
    std::ifstream status("/proc/" + std::to_string(child.pid) + "/status");
    std::string line;
    while (std::getline(status, line))
      if (line.rfind(field, 0) == 0) return std::stoull(line.substr(std::strlen(field)), nullptr, 16);
    return 0ull;
  };
  const unsigned long long hup = 1ull << (SIGHUP - 1), term = 1ull << (SIGTERM - 1);
  EXPECT_TRUE(mask("SigIgn:") & hup) << "SIGHUP is no longer ignored";
  EXPECT_FALSE(mask("SigCgt:") & hup);
  EXPECT_TRUE(mask("SigCgt:") & term) << "SIGTERM still closes the program";
  EXPECT_EQ(EndAndTime(child, "nohup tilepaint, SIGTERM", [&] { kill(child.pid, SIGTERM); }), 0);
}

TEST_F(ProcessTest, AWindowDestroyedByAnotherClientEndsTheProgramWithExitCodeZero) {
  for (const char* program : {"tilepaint", "prompt-echo"}) {
    Child child = Spawn({Program(program)}, session_.name(), ScratchDir(program, true));
    ChildGuard guard{child};
    const Window window = ShownWindow();
    ASSERT_NE(window, 0u);
    const std::string how = std::string(program) + ", window destroyed";
    EXPECT_EQ(EndAndTime(child, how.c_str(), [&] { session_.Destroy(window); }), 0);
    EXPECT_EQ(ReadAvailable(child.err, 100), "") << "nothing to report: the program closed as it should";
  }
}

TEST_F(ProcessTest, TilepaintWithoutADisplaySaysSoAndFailsAtOnce) {
  Child child = Spawn({Program("tilepaint")}, "", ScratchDir("nodisplay"));
  ChildGuard guard{child};
  const int code = EndAndTime(child, "tilepaint, DISPLAY unset", [] {});
  EXPECT_EQ(code, 1);
  const std::string message = ReadAvailable(child.err, 100);
  EXPECT_NE(message.find("tilepaint: cannot open a display (DISPLAY is not set)"), std::string::npos) << message;
}

// SDL would fall back to a display that shows nothing; only real ones are tried.
TEST_F(ProcessTest, TilepaintOnADisplayWithoutAServerNamesItAndFailsAtOnce) {
  const std::string nowhere = ":" + std::to_string(600 + getpid() % 300);
  Child child = Spawn({Program("tilepaint")}, nowhere, ScratchDir("noserver"));
  ChildGuard guard{child};
  const int code = EndAndTime(child, ("tilepaint, DISPLAY=" + nowhere + " without a server").c_str(), [] {});
  EXPECT_EQ(code, 1);
  const std::string message = ReadAvailable(child.err, 100);
  EXPECT_NE(message.find("tilepaint: cannot open the display " + nowhere), std::string::npos) << message;
}

// Without the Japanese font every character would be a box: one line says what to install, and the
// program runs all the same.
TEST_F(ProcessTest, AMissingConsoleFontIsNamedWithItsPackageAndTheProgramStillRuns) {
  const std::string noFonts = ScratchDir("nofonts-root");
  Child child = Spawn({Program("prompt-echo")}, session_.name(), ScratchDir("nofonts"),
                      {"FONTCONFIG_SYSROOT=" + noFonts});
  ChildGuard guard{child};
  ASSERT_NE(ShownWindow(), 0u);
  const std::string line = ReadLine(child.err, kWindowMs);
  EXPECT_NE(line.find("\"ＭＳ ゴシック\""), std::string::npos) << line;
  EXPECT_NE(line.find("IPAGothic"), std::string::npos) << line;
  EXPECT_NE(line.find("fonts-ipafont-gothic"), std::string::npos) << line;
  EXPECT_EQ(ReadAvailable(child.err, 100), "") << "one line only";
  EXPECT_EQ(EndAndTime(child, "prompt-echo without fonts, SIGTERM", [&] { kill(child.pid, SIGTERM); }), 0);
}

// Whether the caret, a 9 x 6 block in white over the black of the prompt's end, shows in row 0.
TEST_F(ProcessTest, PromptEchoPrintsBackWhatWasTypedPastedAndErased) {
  for (const char* tool : {"xdotool", "xclip"}) {
    if (!ProgramAvailable(tool)) GTEST_SKIP() << tool << " is not installed";
  }
  Child child = Spawn({Program("prompt-echo")}, session_.name(), ScratchDir("echo"));
  ChildGuard guard{child};
  const Window window = ShownWindow();
  ASSERT_NE(window, 0u);
  // The line request is on once its caret blinks at the end of the prompt.
  ASSERT_TRUE(WaitUntil([&] { return CaretLeft(session_.Capture(window)) >= 0; }, kWindowMs)) << "no caret";

  // The clipboard's owner: xclip in the foreground, so that it can be ended by its own id.
  int toClip[2];
  ASSERT_EQ(pipe(toClip), 0);
  const pid_t clip = fork();
  if (clip == 0) {
    dup2(toClip[0], 0);
    close(toClip[1]);
    setenv("DISPLAY", session_.name().c_str(), 1);
    execlp("xclip", "xclip", "-selection", "clipboard", "-quiet", nullptr);
    _exit(127);
  }
  close(toClip[0]);
  const std::string clipText = "漢字XY";
  ASSERT_EQ(write(toClip[1], clipText.data(), clipText.size()), static_cast<ssize_t>(clipText.size()));
  close(toClip[1]);
  const std::string& d = session_.name();
  ASSERT_TRUE(WaitUntil(
      [&] { return RunCommand({"sh", "-c", "[ \"$(xclip -selection clipboard -o 2>/dev/null)\" = " + clipText + " ]"}, d) == 0; },
      kWindowMs))
      << "xclip does not hold the clipboard";

  const std::string id = std::to_string(window);
  RunCommand({"xdotool", "windowfocus", "--sync", id}, d);
  RunCommand({"xdotool", "type", "--delay", "30", "abcd"}, d);
  RunCommand({"xdotool", "key", "BackSpace"}, d);
  // Kanji come pasted: xdotool types a character without a key by remapping a spare key for a
  // moment, which a loaded machine can read after the remapping is undone. Typed Japanese is the
  // input method's (tests/ime).
  RunCommand({"xdotool", "key", "ctrl+v"}, d);
  RunCommand({"xdotool", "key", "Return"}, d);

  EXPECT_EQ(ReadLine(child.out, kWindowMs), "abc漢字XY\n");
  kill(clip, SIGTERM);
  waitpid(clip, nullptr, 0);

  // The line was printed back into the window, in the echo's light green (0x80FF80 is its COLORREF).
  const auto greenPixels = [&] {
    int green = 0;
    for (uint32_t p : session_.Capture(window).pixels) green += p == 0x80FF80 ? 1 : 0;
    return green;
  };
  EXPECT_TRUE(WaitUntil([&] { return greenPixels() > 50; }, kWindowMs)) << greenPixels() << " green pixels";

  EXPECT_EQ(EndAndTime(child, "prompt-echo, empty line", [&] { RunCommand({"xdotool", "key", "Return"}, d); }), 0);
}

}  // namespace
