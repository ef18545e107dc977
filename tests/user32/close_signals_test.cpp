// Signals that close a windowed program: the first runs the closing on a thread of its own, a second
// one during the closing ends the process by the signal itself. Each case in a process of its own.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/display/close_signals.h"

namespace {

int closingStarted[2] = {-1, -1};  // a pipe: the closing writes one byte when it begins

class CloseSignals : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_P(CloseSignals, TheFirstSignalRunsTheClosing) {
  const int signal = GetParam();
  EXPECT_EXIT(
      {
        platform::display::CloseOnSignals([] { std::_Exit(7); });
        raise(signal);
        for (;;) pause();
      },
      ::testing::ExitedWithCode(7), "");
}

TEST_P(CloseSignals, ASecondSignalWhileClosingEndsTheProcessAtOnce) {
  const int signal = GetParam();
  EXPECT_EXIT(
      {
        if (pipe(closingStarted) != 0) std::_Exit(2);
        platform::display::CloseOnSignals([] {
          const char byte = 1;
          if (write(closingStarted[1], &byte, 1) != 1) std::_Exit(3);
          for (;;) pause();  // a closing that never ends
        });
        raise(signal);
        char byte = 0;
        if (read(closingStarted[0], &byte, 1) != 1) std::_Exit(4);  // the closing has begun
        raise(signal);
        for (;;) pause();
      },
      ::testing::KilledBySignal(signal), "");
}

// nohup, or a shell that puts a job in the background: the program was started with the signal
// ignored, and it stays ignored (a handler would run the closing).
TEST_P(CloseSignals, ASignalIgnoredAtStartStaysIgnored) {
  const int signal = GetParam();
  EXPECT_EXIT(
      {
        ::signal(signal, SIG_IGN);
        platform::display::CloseOnSignals([] { std::_Exit(7); });
        struct sigaction now = {};
        sigaction(signal, nullptr, &now);
        raise(signal);
        std::_Exit(now.sa_handler == SIG_IGN ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(Signals, CloseSignals, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

}  // namespace
