// An endless program ends on SIGINT (with "Break in <line>") and on SIGTERM, at its next jump; every
// wait is bounded (10 s) and how long the ending took is printed, not asserted.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/basic/child_process.h"

namespace {

struct Running {
  pid_t pid;
  int in;   // write end of the child's standard input, kept open so an INPUT waits
  int out;  // read end of the child's standard output
  int err;
};

constexpr int kBoundMs = 10000;

// Starts `tilebasic --headless [file]` in `dir` (no file: direct mode), its standard streams on pipes.
Running Spawn(const std::string& dir, const char* file) {
  int in[2], out[2], err[2];
  EXPECT_EQ(pipe(in), 0);
  EXPECT_EQ(pipe(out), 0);
  EXPECT_EQ(pipe(err), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    close(in[1]);
    close(out[0]);
    close(err[0]);
    if (chdir(dir.c_str()) != 0) _exit(126);
    execl(TILEBASIC_PROGRAM, TILEBASIC_PROGRAM, "--headless", file, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  return Running{pid, in[1], out[0], err[0]};
}

// Waits (bounded) until the program has written and closed the file STARTED in `dir`; `watch` is an
// inotify descriptor set up before the program could make it.
bool WaitForStarted(int watch, const std::string& dir) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBoundMs);
  while (!std::filesystem::exists(dir + "/STARTED")) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{watch, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    char events[4096];
    if (read(watch, events, sizeof events) < 0) break;
  }
  close(watch);
  return std::filesystem::exists(dir + "/STARTED");
}

int WatchFolder(const std::string& dir) {
  const int watch = inotify_init1(IN_CLOEXEC);
  EXPECT_GE(watch, 0);
  EXPECT_GE(inotify_add_watch(watch, dir.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO), 0);
  return watch;
}

// Starts tilebasic on `program`, which makes the file STARTED first, and waits (bounded) for that file,
// so the program is past its start-up and running its own lines.
Running Start(const std::string& program, const std::string& label) {
  const std::string dir = ScratchFolder(label);
  std::ofstream(dir + "/PROG.BAS") << "1 OPEN \"STARTED\" FOR OUTPUT AS #1: CLOSE #1\n" << program;
  const int watch = WatchFolder(dir);
  Running r = Spawn(dir, "PROG.BAS");
  EXPECT_TRUE(WaitForStarted(watch, dir));
  return r;
}

// Ends the child if a failed assertion leaves the test before it was waited for: an endless program
// must not outlive its test.
struct ChildGuard {
  pid_t& pid;
  ~ChildGuard() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }
};

// Waits (bounded) for the child to end, on a descriptor of the process itself; its status, and how
// long the wait took.
int WaitEnd(pid_t& pid, double& seconds) {
  const auto start = std::chrono::steady_clock::now();
  const int process = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  EXPECT_GE(process, 0) << "pidfd_open";
  pollfd p{process, POLLIN, 0};
  const bool ended = process >= 0 && poll(&p, 1, kBoundMs) == 1;
  if (process >= 0) close(process);
  int status = -1;
  if (!ended) kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  pid = 0;
  return ended ? status : -1;
}

std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
  close(fd);
  return text;
}

void Finish(Running& r) {
  close(r.in);
  ReadAll(r.out);
}

const char kEndless[] = "10 PRINT \"RUNNING\"\n20 X = X + 1\n30 GOTO 20\n";

TEST(Signals, SigintBreaksAnEndlessLoopWithBreakInItsLineAndExitCodeOne) {
  Running r = Start(kEndless, "sigint");
  ChildGuard guard{r.pid};
  kill(r.pid, SIGINT);
  double seconds;
  const int status = WaitEnd(r.pid, seconds);
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const std::string err = ReadAll(r.err);
  EXPECT_TRUE(err == "Break in 20\n" || err == "Break in 30\n") << err;
  Finish(r);
  std::printf("SIGINT: ended %.3f s after the signal\n", seconds);
}

TEST(Signals, SigintBreaksAProgramThatLoadsAndRunsItselfAgain) {
  Running r = Start("10 LOAD \"PROG.BAS\",R\n", "sigint-load");
  ChildGuard guard{r.pid};
  kill(r.pid, SIGINT);
  double seconds;
  const int status = WaitEnd(r.pid, seconds);
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(ReadAll(r.err), "Break in 10\n");
  Finish(r);
}

TEST(Signals, SigtermEndsAnEndlessLoopAsTheSignalDoes) {
  Running r = Start(kEndless, "sigterm");
  ChildGuard guard{r.pid};
  kill(r.pid, SIGTERM);
  double seconds;
  const int status = WaitEnd(r.pid, seconds);
  ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  ReadAll(r.err);
  Finish(r);
  std::printf("SIGTERM: ended %.3f s after the signal\n", seconds);
}

TEST(Signals, SigtermEndsAProgramWaitingForInput) {
  Running r = Start("10 PRINT \"ASK\"\n20 INPUT A\n", "sigterm-input");
  ChildGuard guard{r.pid};
  kill(r.pid, SIGTERM);
  double seconds;
  const int status = WaitEnd(r.pid, seconds);
  ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  ReadAll(r.err);
  Finish(r);
}

}  // namespace

namespace {

TEST(Signals, SigintInDirectModeBreaksTheRunAndTheSessionGoesOn) {
  const std::string dir = ScratchFolder("sigint-direct");
  const int watch = WatchFolder(dir);
  Running r = Spawn(dir, nullptr);
  ChildGuard guard{r.pid};
  const std::string program = "10 OPEN \"STARTED\" FOR OUTPUT AS #1: CLOSE #1\n20 GOTO 20\nRUN\n";
  ASSERT_EQ(write(r.in, program.data(), program.size()), static_cast<ssize_t>(program.size()));
  ASSERT_TRUE(WaitForStarted(watch, dir));
  kill(r.pid, SIGINT);
  const std::string rest = "PRINT \"AFTER\"\nSYSTEM\n";
  ASSERT_EQ(write(r.in, rest.data(), rest.size()), static_cast<ssize_t>(rest.size()));
  close(r.in);
  double seconds;
  const int status = WaitEnd(r.pid, seconds);
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadAll(r.out), "Ok\nOk\nAFTER\nOk\n");
  EXPECT_EQ(ReadAll(r.err), "Break in 20\n");
}

}  // namespace
