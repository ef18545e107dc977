// prompt-echo with a real Japanese input method (IBus with anthy), typed into as a person would:
// romaji composed into kana at the cursor, converted into kanji from the candidate window that opens
// at the cursor cell, committed into the line. Each test runs in a session of its own (an X server,
// a D-Bus session, IBus, and an anthy that has learnt nothing) that ime_session.sh starts.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/process/process_fixture.h"

namespace {

using namespace process_test;

constexpr int kCell = 16;  // the console's text rows, and its full-width characters

class ImeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    ASSERT_TRUE(std::getenv("IME_SESSION") && display)
        << "these tests need the session of tests/ime/ime_session.sh (IBus, anthy, an X server)";
    ASSERT_TRUE(session_.Attach(display)) << session_.error();
    child_ = Spawn({kBinDir + "/prompt-echo"}, display, ScratchDir("ime"),
                   {"SDL_IM_MODULE=ibus", "XMODIFIERS=@im=ibus"});
    window_ = session_.FindWindow("BASIC PROMPT", kWindowMs, true);
    ASSERT_NE(window_, 0u) << ReadAvailable(child_.err, 100);
    ASSERT_TRUE(session_.RootPosition(window_, &windowX_, &windowY_));
    Run({"xdotool", "windowfocus", "--sync", std::to_string(window_)});
    // The line request is on once its caret blinks at the end of the prompt.
    ASSERT_TRUE(WaitUntil([&] { return (cursor_ = CaretLeft(session_.Capture(window_))) >= 0; }, kWindowMs));
  }
  void TearDown() override {
    if (HasFailure() && child_.err >= 0) std::printf("prompt-echo's stderr:\n%s\n", ReadAvailable(child_.err, 500).c_str());
    if (child_.pid > 0) {
      kill(child_.pid, SIGKILL);
      waitpid(child_.pid, nullptr, 0);
    }
  }

  void Run(const std::vector<std::string>& argv) { ASSERT_EQ(RunCommand(argv, session_.name()), 0); }
  // Keys about 30 ms apart: with none between them SDL may deliver a Return that the input method
  // passed on before the text it committed just before.
  void Type(const std::string& text) { Run({"xdotool", "type", "--delay", "30", text}); }
  void Keys(const std::vector<std::string>& keys) {
    std::vector<std::string> argv = {"xdotool", "key", "--delay", "30"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    Run(argv);
  }

  // How many pixels of the cursor row's top line are white over `cells` full-width cells from `left`:
  // the composition window's background there, the console's black otherwise (glyphs leave it blank).
  int WhiteOnTop(int left, int cells) {
    const PixelImage shown = session_.Capture(window_);
    int white = 0;
    for (int x = left; x < left + cells * kCell && x < shown.width; ++x) white += shown.At(x, 0) == 0xFFFFFF;
    return white;
  }
  bool CompositionShown(int left, int cells) {
    return WaitUntil([&] { return WhiteOnTop(left, cells) >= cells * kCell - 2; }, kWindowMs);
  }
  bool CompositionGone(int left, int cells) {
    return WaitUntil([&] { return WhiteOnTop(left, cells) <= cells * 4; }, kWindowMs);
  }
  bool NoLineYet() { return ReadAvailable(child_.out, 200).empty(); }
  // Waits until the committed text stands in the line: the caret moved `cells` full-width cells on.
  // A person sees it before ending the line; a Return typed at once may overtake it (SDL hands over
  // what the input method committed after the X events read with it).
  bool Committed(int cells) {
    return WaitUntil([&] { return CaretLeft(session_.Capture(window_)) == cursor_ + cells * kCell; }, kWindowMs);
  }

  XSession session_;
  Child child_;
  Window window_ = 0;
  int windowX_ = 0, windowY_ = 0;
  int cursor_ = -1;  // the left edge of the cursor cell, in the window
};

TEST_F(ImeTest, KanjiConvertedFromTheCandidateWindowAtTheCursorCommitsTheLine) {
  EXPECT_TRUE(CompositionGone(cursor_, 3)) << WhiteOnTop(cursor_, 3);
  Type("kanji");
  EXPECT_TRUE(CompositionShown(cursor_, 3)) << "かんじ is not shown at the cursor: " << WhiteOnTop(cursor_, 3);
  EXPECT_TRUE(NoLineYet());

  Keys({"space", "space"});
  const Window candidates = session_.FindWindow("ibus-ui-gtk3", kWindowMs, true);
  ASSERT_NE(candidates, 0u) << "no candidate window";
  int x = 0, y = 0;
  ASSERT_TRUE(session_.RootPosition(candidates, &x, &y));
  EXPECT_EQ(x, windowX_ + cursor_) << "the candidates open at the cursor cell's left edge";
  EXPECT_EQ(y, windowY_ + kCell) << "and below its bottom edge";

  Keys({"Return"});
  ASSERT_TRUE(Committed(2)) << "漢字 did not arrive in the line";
  Keys({"Return"});
  EXPECT_EQ(ReadLine(child_.out, kWindowMs), "漢字\n");
}

TEST_F(ImeTest, KanaCommittedWithoutConversion) {
  Type("kanji");
  EXPECT_TRUE(CompositionShown(cursor_, 3));
  Keys({"Return"});
  EXPECT_TRUE(CompositionGone(cursor_, 3)) << "the composition stays after its commit";
  ASSERT_TRUE(Committed(3)) << "かんじ did not arrive in the line";
  Keys({"Return"});
  EXPECT_EQ(ReadLine(child_.out, kWindowMs), "かんじ\n");
}

// Backspace and Escape while composing edit the composition; the line before it keeps its あ.
TEST_F(ImeTest, BackspaceAndEscapeWhileComposingStayWithTheInputMethod) {
  Type("a");
  Keys({"Return"});
  const int after = cursor_ + kCell;
  ASSERT_TRUE(Committed(1)) << "あ did not arrive in the line";
  Type("kanji");
  EXPECT_TRUE(CompositionShown(after, 3));
  Keys({"BackSpace"});
  EXPECT_TRUE(CompositionGone(after + 2 * kCell, 1)) << "かん is left";
  EXPECT_TRUE(CompositionShown(after, 2));
  Keys({"Escape"});
  EXPECT_TRUE(CompositionGone(after, 2)) << "Escape cancels the composition";
  EXPECT_TRUE(NoLineYet());
  Keys({"Return"});
  EXPECT_EQ(ReadLine(child_.out, kWindowMs), "あ\n");
}

}  // namespace
