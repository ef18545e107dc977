// Signals that close a windowed program: the first runs the closing on a thread of its own, a second
// one during the closing ends the process by the signal itself. Each case in a process of its own.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

#include "platform/display/close_signals.h"

namespace {

std::atomic<bool> closing{false};

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
        platform::display::CloseOnSignals([] {
          closing = true;
          for (;;) pause();  // a closing that never ends
        });
        raise(signal);
        while (!closing) usleep(1000);
        raise(signal);
        for (;;) pause();
      },
      ::testing::KilledBySignal(signal), "");
}

INSTANTIATE_TEST_SUITE_P(Signals, CloseSignals, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

}  // namespace
