// tilebasic: runs a BASIC program file, or direct mode over standard input.
#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "basic/errors.h"
#include "basic/headless_screen.h"
#include "basic/session.h"
#include "program/tilebasic_window.h"
#include "runtime/strings.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

// Programs longer than this are refused before reading (the family's memory holds far less).
constexpr std::streamoff kMaxProgramBytes = 16 << 20;

const char kHelp[] =
    "Usage: tilebasic [--headless [--snapshot FILE.png]] [PROGRAM.BAS]\n"
    "\n"
    "Runs a line-numbered BASIC program (code page 932 text, LF or CR LF line ends).\n"
    "Without a program, direct mode reads standard input (or the window): numbered lines are\n"
    "stored, RUN, LIST, NEW, CONT, DELETE, LOAD \"f\" and SAVE \"f\" act on them, other lines run\n"
    "at once, and \"Ok\" is printed after each.\n"
    "\n"
    "Without --headless the program runs in the console window \"BASIC PROMPT\" (640 x 400\n"
    "pixels, 80 x 25 characters), which stays open with its last screen until it is closed.\n"
    "\n"
    "  --headless  no window: PRINT writes standard output (UTF-8 under a UTF-8 locale, bytes\n"
    "              unchanged otherwise), INPUT reads standard input, errors go to standard\n"
    "              error. Graphics are drawn on a virtual screen.\n"
    "  --snapshot FILE.png\n"
    "              with --headless: the text goes to the virtual screen's console as well, and\n"
    "              when the program ends its screen is written to FILE.png as the window\n"
    "              would show it\n"
    "  --help      this text\n"
    "\n"
    "Exit codes: 0 when the program ends (END, SYSTEM, STOP or its last line), 1 after an error\n"
    "no ON ERROR caught or a break (Ctrl+C prints \"Break in <line>\"), 2 for a usage error or a\n"
    "program file that cannot be read. SIGTERM ends the run at once. The window closes on\n"
    "Ctrl+C, SIGTERM and SIGHUP; its exit code is then 0, or 1 after an error.\n";

// Written by the signal handler, so a wait for input sees a signal that came before it began.
int stopPipe[2] = {-1, -1};

void OnSignal(int signal) {
  basicStopRequest.store(static_cast<int>(signal == SIGTERM ? StopRequest::Terminate : StopRequest::Break));
  const char byte = 1;
  const ssize_t written = write(stopPipe[1], &byte, 1);
  (void)written;
}

// Standard input a byte at a time through a buffer of our own, waiting on both standard input and
// the stop pipe: -1 at the end of the input or when a stop has been requested.
int ReadStandardInput() {
  static char buffer[4096];
  static ssize_t length = 0, next = 0;
  if (next < length) return static_cast<unsigned char>(buffer[next++]);
  for (;;) {
    if (basicStopRequest.load() != 0) return -1;
    pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0 && errno != EINTR) return -1;
    if (fds[1].revents & POLLIN) {
      // A signal came: the request says whether it still stands (a break already handled does not).
      char drained[64];
      while (read(stopPipe[0], drained, sizeof drained) > 0) {
      }
      continue;
    }
    if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    length = read(STDIN_FILENO, buffer, sizeof buffer);
    if (length < 0 && errno == EINTR) continue;
    if (length <= 0) {
      length = next = 0;
      return -1;
    }
    next = 0;
    return static_cast<unsigned char>(buffer[next++]);
  }
}

void InstallSignals() {
  if (pipe(stopPipe) == 0) {
    fcntl(stopPipe[0], F_SETFL, O_NONBLOCK);
    fcntl(stopPipe[1], F_SETFL, O_NONBLOCK);
  }
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a read waiting for input returns, and the run sees the request
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool Utf8Terminal() {
  std::setlocale(LC_ALL, "");
  const char* codeset = nl_langinfo(CODESET);
  return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

int Finish(SessionEnd end) {
  std::fflush(stdout);
  switch (end) {
    case SessionEnd::Normal:
    case SessionEnd::System: return EndIfConsoleStarted(kExitOk);
    case SessionEnd::Error:
    case SessionEnd::Break: return EndIfConsoleStarted(kExitError);
    case SessionEnd::Terminated:
      // Ended as the signal ends a process, so the caller sees the signal.
      signal(SIGTERM, SIG_DFL);
      raise(SIGTERM);
      return kExitError;
  }
  return kExitError;
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = nullptr;
  const char* snapshot = nullptr;
  bool headless = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kHelp, stdout);
      return kExitOk;
    }
    if (arg == "--headless") {
      headless = true;
      continue;
    }
    if (arg == "--snapshot") {
      if (i + 1 == argc) {
        std::fprintf(stderr, "tilebasic: --snapshot needs a file name (try --help)\n");
        return kExitUsage;
      }
      snapshot = argv[++i];
      continue;
    }
    if (!arg.empty() && arg[0] == '-' && arg != "-") {
      std::fprintf(stderr, "tilebasic: unknown option %s (try --help)\n", arg.c_str());
      return kExitUsage;
    }
    if (path) {
      std::fprintf(stderr, "tilebasic: one program at a time (%s and %s given)\n", path, arg.c_str());
      return kExitUsage;
    }
    path = argv[i];
  }

  std::string text;
  if (path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "tilebasic: cannot read %s: %s\n", path, std::strerror(errno));
      return kExitUsage;
    }
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0) {
      std::fprintf(stderr, "tilebasic: cannot read %s: not a regular file\n", path);
      return kExitUsage;
    }
    if (size > kMaxProgramBytes) {
      std::fprintf(stderr, "tilebasic: cannot read %s: larger than %lld bytes\n", path,
                   static_cast<long long>(kMaxProgramBytes));
      return kExitUsage;
    }
    file.seekg(0);
    std::ostringstream contents;
    contents << file.rdbuf();
    if (file.bad()) {
      std::fprintf(stderr, "tilebasic: cannot read %s: %s\n", path, std::strerror(errno));
      return kExitUsage;
    }
    text = contents.str();
  }

  if (snapshot && !headless) {
    std::fprintf(stderr, "tilebasic: --snapshot goes with --headless (try --help)\n");
    return kExitUsage;
  }
  if (!headless) RunWindowMode(path, text);

  StrInit();
  InstallSignals();
  HeadlessScreen::Options options;
  options.utf8 = Utf8Terminal();
  options.echoInput = !isatty(STDIN_FILENO);
  options.readByte = ReadStandardInput;
  HeadlessGraphicsScreen screen(stdout, stdin, options);
  if (snapshot) {
    SessionEnd end;
    const bool written = RunSnapshotMode(path, text, screen, snapshot, end);
    screen.Flush();
    return written ? Finish(end) : kExitError;
  }
  Session session(screen, stderr);

  if (!path) return Finish(session.DirectMode());

  int error;
  int32_t line;
  if (!session.Load(text, error, line)) {
    if (line != kDirectLine)
      std::fprintf(stderr, "%s in %d\n", ErrorMessage(error), line);
    else
      std::fprintf(stderr, "%s\n", ErrorMessage(error));
    return kExitError;
  }
  const SessionEnd end = session.RunProgram();
  if (end == SessionEnd::Break) {
    // The session printed "Break in <line>".
  }
  return Finish(end);
}
