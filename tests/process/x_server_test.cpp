// The programs and their X server: a server that goes away, one reached over TCP that does not answer,
// and the clipboard shared with another client.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <atomic>
#include <thread>

#include "tests/common/thread_state.h"
#include "tests/process/process_fixture.h"

namespace {

using namespace process_test;

// The X server dies under the program: it ends with exit code 0 as closing its window would, and ends
// at once. No thread of it waits out a time-out meanwhile (the display thread once waited for itself).
TEST_F(ProcessTest, ALostXServerEndsTheProgramAtOnceWithExitCodeZero) {
  Child child = Spawn({Program("tilepaint")}, session_.name(), ScratchDir("lost-server", true));
  ChildGuard guard{child};
  ASSERT_NE(ShownWindow(), 0u);
  // The script has run and the program waits for events only (sanitizer runtimes excepted).
  if (!kSanitized) {
    ASSERT_TRUE(WaitUntil([&] { return ThreadsNotIdle(child.pid).empty(); }, kWindowMs));
  }
  const auto start = Clock::now();
  session_.EndServer();
  std::string waited;
  int code = -1;
  while (code == -1 && MsSince(start) < kEndMs) {
    // A sanitizer's runtime has threads of its own that wait with time-outs.
    if (!kSanitized && waited.empty()) waited = ThreadsWaitingWithDeadline(child.pid);
    code = WaitExit(child, 1);
  }
  std::printf("tilepaint, X server gone: exit code %d after %lld ms\n", code, MsSince(start));
  EXPECT_EQ(code, 0);
  EXPECT_EQ(waited, "") << "threads that waited with a time-out while the program ended";
}

// A server that accepts TCP connections and closes each at once, counting them: an X server that is
// not there.
class ClosingServer {
 public:
  ClosingServer() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    for (number_ = 300 + getpid() % 50; number_ < 400; ++number_) {
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_port = htons(static_cast<uint16_t>(6000 + number_));
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) break;
    }
    if (number_ >= 400 || listen(listener_, 8) != 0) return;
    thread_ = std::thread([this] {
      while (!stop_) {
        pollfd p{listener_, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0) continue;
        const int connection = accept(listener_, nullptr, nullptr);
        if (connection < 0) continue;
        ++accepted_;
        close(connection);
      }
    });
  }
  ~ClosingServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    close(listener_);
  }
  bool listening() const { return thread_.joinable(); }
  std::string display() const { return "127.0.0.1:" + std::to_string(number_); }
  int accepted() const { return accepted_; }

 private:
  int listener_ = -1;
  int number_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int> accepted_{0};
};

// Each attempt on a remote server that does not answer costs the user a connection time-out: the
// program asks once, then says it cannot open the display.
TEST_F(ProcessTest, ADisplayOverTcpIsAskedOnce) {
  ClosingServer server;
  ASSERT_TRUE(server.listening());
  Child child = Spawn({Program("tilepaint")}, server.display(), ScratchDir("tcp-display"));
  ChildGuard guard{child};
  EXPECT_EQ(EndAndTime(child, ("tilepaint, DISPLAY=" + server.display()).c_str(), [] {}), 1);
  const std::string message = ReadAvailable(child.err, 100);
  EXPECT_NE(message.find("tilepaint: cannot open the display " + server.display()), std::string::npos) << message;
  EXPECT_EQ(server.accepted(), 1);
}

// Asking whether text is there must not use it up: text that another client copied is there, and then
// it is what GetClipboardData gives.
TEST_F(ProcessTest, AskingForTheClipboardsTextLeavesItToBeTaken) {
  if (!ProgramAvailable("xclip")) GTEST_SKIP() << "xclip is not installed";
  const std::string& d = session_.name();
  const std::string text = "from another program";
  // The clipboard's owner: xclip in the foreground, so that it can be ended by its own id.
  int toClip[2];
  ASSERT_EQ(pipe(toClip), 0);
  const pid_t clip = fork();
  if (clip == 0) {
    dup2(toClip[0], 0);
    close(toClip[1]);
    setenv("DISPLAY", d.c_str(), 1);
    execlp("xclip", "xclip", "-selection", "clipboard", "-quiet", nullptr);
    _exit(127);
  }
  close(toClip[0]);
  ASSERT_EQ(write(toClip[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
  close(toClip[1]);
  const std::string holds = "[ \"$(xclip -selection clipboard -o 2>/dev/null)\" = '" + text + "' ]";
  ASSERT_TRUE(WaitUntil([&] { return RunCommand({"sh", "-c", holds}, d) == 0; }, kWindowMs))
      << "xclip does not hold the clipboard";
  Child child = Spawn({Program("clipboard-probe")}, d, ScratchDir("clipboard"));
  ChildGuard guard{child};
  EXPECT_EQ(ReadLine(child.out, kWindowMs), "available=1\n");
  EXPECT_EQ(ReadLine(child.out, kWindowMs), "data=" + text + "\n");
  EXPECT_EQ(WaitExit(child, kEndMs), 0);
  kill(clip, SIGTERM);
  waitpid(clip, nullptr, 0);
}

}  // namespace
