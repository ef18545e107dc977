// What the process tests share: a private X server per test, the programs, scratch folders, and the
// bounds of every wait.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "tests/common/image_compare.h"
#include "tests/process/x_session.h"

namespace process_test {

using Clock = std::chrono::steady_clock;

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif

// Bounds for conditions that come in well under a second on an idle machine; a loaded machine, or a
// sanitizer build of the programs, may take many times longer.
inline constexpr int kWindowMs = 30000;
inline constexpr int kEndMs = 20000;

inline const std::string kBinDir = TILEPAINT_BIN_DIR;

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

inline std::string ScratchDir(const std::string& name, bool withPicture = false) {
  auto dir = std::filesystem::temp_directory_path() / ("console-process-" + std::to_string(getpid()) + "-" + name);
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  if (withPicture)
    std::filesystem::copy_file(std::string(TILEPAINT_SOURCE_DIR) + "/assets/TILE_TEST.bmp", dir / "TILE_TEST.bmp");
  return dir.string();
}

inline long long MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// The image with every pixel made a `scale` x `scale` block.
inline PixelImage Enlarged(const PixelImage& image, int scale) {
  PixelImage out{image.width * scale, image.height * scale, {}};
  out.pixels.resize(static_cast<size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) out.pixels[static_cast<size_t>(y) * out.width + x] = image.At(x / scale, y / scale);
  return out;
}

// The left edge of the console's caret on its first text row (a white 9 x 6 block lifted 1 pixel
// off the row's bottom), or -1 while it is not shown.
inline int CaretLeft(const PixelImage& shown) {
  for (int x = 0; x + 9 <= shown.width && shown.height >= 16; ++x) {
    bool block = true;
    for (int y = 16 - 7; y < 16 - 1 && block; ++y)
      for (int dx = 0; dx < 9 && block; ++dx) block = shown.At(x + dx, y) == 0xFFFFFF;
    if (block) return x;
  }
  return -1;
}

class ProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!session_.Start()) GTEST_SKIP() << "No X server for process tests: " << session_.error();
  }

  static std::string Program(const std::string& name) {
    const std::string path = kBinDir + "/" + name;
    EXPECT_TRUE(std::filesystem::exists(path)) << path << " is not built";
    return path;
  }

  // The program's window, once it is shown.
  Window ShownWindow() {
    Window window = session_.FindWindow("BASIC PROMPT", kWindowMs);
    if (window == 0) return 0;
    return WaitUntil([&] { return session_.Viewable(window); }, kWindowMs) ? window : 0;
  }

  // Waits until the top-left 640 x 400 of the window shows what the snapshot tool draws in `dir`,
  // every pixel of it as a `scale` x `scale` block.
  ::testing::AssertionResult ShowsTheSnapshot(Window window, const std::string& dir, int scale = 1) {
    const std::string png = dir + "/snapshot.png";
    if (RunCommand({"sh", "-c", "cd '" + dir + "' && '" + Program("tilepaint-snapshot") + "' '" + png + "'"}, "") != 0)
      return ::testing::AssertionFailure() << "tilepaint-snapshot failed in " << dir;
    const PixelImage snapshot = Enlarged(LoadPngOrFail(png).Crop(0, 0, 640, 400), scale);
    PixelImage shown;
    WaitUntil(
        [&] {
          shown = session_.Capture(window);
          if (shown.width < snapshot.width || shown.height < snapshot.height) return false;
          shown = shown.Crop(0, 0, snapshot.width, snapshot.height);
          return shown.pixels == snapshot.pixels;
        },
        kWindowMs);
    return ImagesMatch(snapshot, shown, dir + "/window.actual.png");
  }

  // Sends the signal (or does the deed) and waits for the end: the exit code, -2 for a death by
  // signal, -1 when it did not end in time.
  int EndAndTime(Child& child, const char* how, const std::function<void()>& deed) {
    const auto start = Clock::now();
    deed();
    const int code = WaitExit(child, kEndMs);
    std::printf("%s: exit code %d after %lld ms\n", how, code, MsSince(start));
    return code;
  }

  XSession session_;
};

}  // namespace process_test
