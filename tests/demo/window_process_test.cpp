// The real program under a virtual X server: after 3 s its window shows, in the top-left 640 x 400 of
// its client area, the same pixels as the headless snapshot of the finished script.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/common/image_compare.h"
#include "tests/demo/demo_runner.h"

extern char** environ;

namespace {

// A child process of the test, ended (by its own id) and reaped when the object goes.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv, const std::string& dir) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    // posix_spawn has no working-directory attribute everywhere: change there around the spawn.
    const std::filesystem::path back = std::filesystem::current_path();
    if (!dir.empty()) std::filesystem::current_path(dir);
    if (posix_spawn(&pid_, args[0], nullptr, nullptr, args.data(), envp.data()) != 0) pid_ = -1;
    std::filesystem::current_path(back);
  }
  ~Child() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    // A program that turns the request into an event of its own may not end on it: give it 2 s.
    int status = 0;
    for (int i = 0; i < 40; ++i) {
      if (waitpid(pid_, &status, WNOHANG) != 0) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
  }
  bool started() const { return pid_ > 0; }
  bool running() {
    int status = 0;
    return pid_ > 0 && waitpid(pid_, &status, WNOHANG) == 0;
  }

 private:
  pid_t pid_ = -1;
};

std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  pclose(pipe);
  return out;
}

// A display number whose socket does not exist yet.
int FreeDisplay() {
  for (int n = 40 + static_cast<int>(getpid() % 50);; ++n) {
    if (!std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n)) &&
        !std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock"))
      return n;
  }
}

TEST(DemoWindow, ShowsTheSnapshotsPixelsAfterThreeSeconds) {
  const std::string program = BinaryPath("tilepaint");
  for (const char* tool : {"/usr/bin/Xvfb", "/usr/bin/import", "/usr/bin/xdotool"})
    if (!std::filesystem::exists(tool)) GTEST_SKIP() << tool << " is not installed";
  if (!std::filesystem::exists(program)) GTEST_SKIP() << "the program " << program << " is not built";

  const std::string display = ":" + std::to_string(FreeDisplay());
  Child server({"/usr/bin/Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, {}, "");
  ASSERT_TRUE(server.started());
  const std::string socket = "/tmp/.X11-unix/X" + display.substr(1);
  for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_TRUE(std::filesystem::exists(socket)) << "Xvfb did not start on " << display;

  Child demo({program}, {"DISPLAY=" + display}, SourcePath("assets"));
  ASSERT_TRUE(demo.started());
  std::this_thread::sleep_for(std::chrono::seconds(3));
  ASSERT_TRUE(demo.running()) << "tilepaint ended early";

  const std::string window = Output("DISPLAY=" + display + " /usr/bin/xdotool search --name 'BASIC PROMPT' | head -1");
  ASSERT_FALSE(window.empty()) << "no window captioned BASIC PROMPT";
  const std::string shot = std::filesystem::absolute("demo-window.png").string();
  const std::string grab = "/usr/bin/import -display " + display + " -window " + window.substr(0, window.find('\n')) +
                           " '" + shot + "'";
  ASSERT_EQ(std::system(grab.c_str()), 0) << grab;

  PixelImage screen;
  std::string error;
  ASSERT_TRUE(ReadPngFile(shot, &screen, &error)) << error;
  ASSERT_GE(screen.width, 640);
  ASSERT_GE(screen.height, 400);
  DemoDirectory directory(true);
  const PixelImage snapshot = SnapshotAfterStep(directory, 11);
  ASSERT_GE(snapshot.width, 640);
  EXPECT_TRUE(ImagesMatch(snapshot.Crop(0, 0, 640, 400), screen.Crop(0, 0, 640, 400),
                          std::filesystem::absolute("demo-window-640x400.actual.png").string()));
}

}  // namespace
