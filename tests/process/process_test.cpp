// The real programs on a private X server: the window a person sees, closing it, idling, typing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/process/x_session.h"

namespace {
// The program must end within a second of the close request. A sanitizer build of it runs many times
// slower (its display thread leaves SDL under instrumentation), so there it gets longer; the exit
// code is checked the same.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr int kCloseWithinMs = 10000;
#else
constexpr int kCloseWithinMs = 1000;
#endif
}  // namespace

namespace {

using Clock = std::chrono::steady_clock;

const std::string kBinDir = TILEPAINT_BIN_DIR;

// Ends a child that a failed test left running (only the one this test started).
struct ChildGuard {
  Child& child;
  ~ChildGuard() {
    if (child.pid > 0) {
      kill(child.pid, SIGKILL);
      waitpid(child.pid, nullptr, 0);
    }
    if (child.out >= 0) close(child.out);
    if (child.err >= 0) close(child.err);
  }
};

std::string ScratchDir(const std::string& name) {
  auto dir = std::filesystem::temp_directory_path() / ("console-process-" + std::to_string(getpid()) + "-" + name);
  std::filesystem::create_directories(dir);
  return dir.string();
}

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class ProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!session_.Start()) GTEST_SKIP() << "No X server for process tests: " << session_.error();
  }
  XSession session_;
};

TEST_F(ProcessTest, TilepaintOpensABlackPromptWindowIdlesAndClosesWithExitCodeZero) {
  const std::string program = kBinDir + "/tilepaint";
  if (!std::filesystem::exists(program)) GTEST_SKIP() << "tilepaint is not built in " << kBinDir;
  // No TILE_TEST.bmp here: the demonstration draws only its white box outlines on the black window.
  Child child = Spawn({program}, session_.name(), ScratchDir("tilepaint"));
  ChildGuard guard{child};

  ASSERT_NE(session_.FindWindow("BASIC PROMPT", 10000), 0u) << "no window titled BASIC PROMPT";
  // The demonstration pauses twice for a second; afterwards the main thread parks.
  Sleep(3500);
  const Window window = session_.FindWindow("BASIC PROMPT", 1000);
  ASSERT_NE(window, 0u);
  EXPECT_NE(session_.WindowClass(window).find("PROMPT"), std::string::npos) << session_.WindowClass(window);
  int width = 0, height = 0;
  const auto pixels = session_.Capture(window, width, height);
  ASSERT_GE(width, 640);
  ASSERT_GE(height, 400);
  RunCommand({"sh", "-c", "import -window root " + ScratchDir("tilepaint") + "/screen.png 2>/dev/null"},
             session_.name());
  // Outside the demonstration's 640 x 400 page everything is the black graphics layer.
  int lit = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if ((x >= 640 || y >= 400) && pixels[static_cast<size_t>(y) * width + x] != 0) ++lit;
  EXPECT_EQ(lit, 0);
  // The left edge of the first box outline, doubled twice, is there, white.
  EXPECT_EQ(pixels[static_cast<size_t>(100) * width + 9], 0xFFFFFFu);

  const long cpuBefore = CpuMilliseconds(child.pid);
  Sleep(2000);
  const long cpuUsed = CpuMilliseconds(child.pid) - cpuBefore;
  std::printf("tilepaint CPU while waiting: %ld ms over 2000 ms\n", cpuUsed);
  EXPECT_LE(cpuUsed, 40);

  const auto closing = Clock::now();
  session_.RequestClose(window);
  const int code = WaitExit(child, kCloseWithinMs);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - closing).count();
  std::printf("tilepaint ended %lld ms after the close request\n", static_cast<long long>(took));
  EXPECT_EQ(code, 0);
}

TEST_F(ProcessTest, TilepaintWithoutADisplaySaysSoAndFailsAtOnce) {
  const std::string program = kBinDir + "/tilepaint";
  if (!std::filesystem::exists(program)) GTEST_SKIP() << "tilepaint is not built in " << kBinDir;
  const auto start = Clock::now();
  Child child = Spawn({program}, "", ScratchDir("nodisplay"));
  ChildGuard guard{child};
  const int code = WaitExit(child, 3000);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  EXPECT_GT(code, 0);
  EXPECT_LT(took, 3000);
  const std::string message = ReadAvailable(child.err, 100);
  EXPECT_FALSE(message.empty());
  std::printf("without a display (%lld ms): %s", static_cast<long long>(took), message.c_str());
}

TEST_F(ProcessTest, PromptEchoPrintsBackWhatWasTypedPastedAndErased) {
  for (const char* tool : {"xdotool", "xclip"}) {
    if (!ProgramAvailable(tool)) GTEST_SKIP() << tool << " is not installed";
  }
  const std::string program = kBinDir + "/prompt-echo";
  ASSERT_TRUE(std::filesystem::exists(program)) << program;
  Child child = Spawn({program}, session_.name(), ScratchDir("echo"));
  ChildGuard guard{child};
  ASSERT_NE(session_.FindWindow("BASIC PROMPT", 10000), 0u);
  // The display may replace its first window while it sets up; take the one that stays.
  Sleep(800);
  const Window window = session_.FindWindow("BASIC PROMPT", 1000);
  ASSERT_NE(window, 0u);

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
  ASSERT_EQ(write(toClip[1], "XY", 2), 2);
  close(toClip[1]);
  Sleep(300);

  const std::string id = std::to_string(window);
  const std::string& d = session_.name();
  RunCommand({"xdotool", "windowfocus", "--sync", id}, d);
  RunCommand({"xdotool", "type", "--delay", "30", "abcd"}, d);
  RunCommand({"xdotool", "key", "BackSpace"}, d);
  RunCommand({"xdotool", "type", "--delay", "30", "漢字"}, d);
  RunCommand({"xdotool", "key", "ctrl+v"}, d);
  Sleep(300);
  RunCommand({"xdotool", "key", "Return"}, d);

  const std::string line = ReadLine(child.out, 5000);
  EXPECT_EQ(line, "abc漢字XY\n");
  kill(clip, SIGTERM);
  waitpid(clip, nullptr, 0);

  // The line was printed back into the window, in the echo's light green.
  Sleep(300);
  RunCommand({"sh", "-c", "import -window root " + ScratchDir("echo") + "/screen.png 2>/dev/null"}, d);
  int width = 0, height = 0;
  const auto pixels = session_.Capture(window, width, height);
  int green = 0;
  for (uint32_t p : pixels) green += p == 0x80FF80 ? 1 : 0;
  EXPECT_GT(green, 50);

  RunCommand({"xdotool", "key", "Return"}, d);
  EXPECT_EQ(WaitExit(child, 3000), 0);
}

}  // namespace
