// The handler only counts the signal and writes a byte into a pipe; a watcher thread, blocked on the
// pipe's other end, does the closing outside signal context.
#include "platform/display/close_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <thread>

namespace platform::display {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<int> signalsSeen{0};
int wakeWrite = -1;
void (*closeAction)() = nullptr;

void OnSignal(int signal) {
  if (signalsSeen.fetch_add(1) > 0) {
    // Closing did not end the process (yet): this one ends it the way the signal would have.
    ::signal(signal, SIG_DFL);
    raise(signal);  // delivered when the handler returns
    return;
  }
  const int saved = errno;
  const char byte = static_cast<char>(signal);
  while (write(wakeWrite, &byte, 1) < 0 && errno == EINTR) {
  }
  errno = saved;
}

void Watch(int wakeRead) {
  char byte;
  for (;;) {
    const ssize_t n = read(wakeRead, &byte, 1);
    if (n == 1) break;
    if (n < 0 && errno == EINTR) continue;
    return;
  }
  closeAction();
}

}  // namespace

void CloseOnSignals(void (*close)()) {
  static std::once_flag once;
  std::call_once(once, [close] {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    wakeWrite = fds[1];
    closeAction = close;
    std::thread(Watch, fds[0]).detach();
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int s : kSignals) sigaddset(&action.sa_mask, s);  // one handler at a time
    action.sa_flags = SA_RESTART;
    for (int s : kSignals) {
      // A signal the program was started with ignored (SIGHUP under nohup, SIGINT in a job that a
      // non-interactive shell put in the background) stays ignored, as the one who started it wants.
      struct sigaction old = {};
      if (sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
      sigaction(s, &action, nullptr);
    }
  });
}

}  // namespace platform::display
