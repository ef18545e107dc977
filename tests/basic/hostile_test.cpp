// Programs from a stranger that are too big or not text at all: each gives an error or a run, at once,
// never a crash. (The small hostile programs are cases in cases/core_hostile.cases.)
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>

#include "tests/basic/child_process.h"

namespace {

constexpr int kBoundMs = 20000;

ChildResult RunProgramText(const std::string& text, const std::string& label) {
  const std::string dir = ScratchFolder(label);
  std::ofstream(dir + "/PROG.BAS", std::ios::binary) << text;
  return RunChild({TILEBASIC_PROGRAM, "--headless", "PROG.BAS"}, dir, {"LC_ALL=C"}, "", kBoundMs);
}

TEST(Hostile, BinaryGarbageEndsWithAMessageAndExitCodeOne) {
  std::mt19937 random(12345);
  for (int round = 0; round < 20; ++round) {
    std::string bytes(4096, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    // Half the rounds start like a program, so the garbage reaches the parser.
    if (round % 2) bytes.insert(0, "10 ");
    const ChildResult r = RunProgramText(bytes, "garbage");
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_FALSE(r.err.empty());
  }
}

TEST(Hostile, ALineOf100KilobytesIsLineBufferOverflow) {
  const ChildResult r = RunProgramText("10 PRINT \"" + std::string(100 * 1024, 'A') + "\"\n", "long-line");
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Line buffer overflow in 10\n");
}

TEST(Hostile, SixtyThousandLinesRun) {
  std::string text;
  for (int line = 1; line <= 60000; ++line) text += std::to_string(line) + " S = S + 1\n";
  text += "60001 PRINT S\n";
  const ChildResult r = RunProgramText(text, "many-lines");
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, " 60000 \n");
}

TEST(Hostile, SixtyThousandLinesOfJumpsRun) {
  std::string text = "1 GOTO 65000\n";
  for (int line = 2; line <= 60000; ++line) text += std::to_string(line) + " GOTO " + std::to_string(line + 1) + "\n";
  text += "65000 PRINT \"END\"\n";
  const ChildResult r = RunProgramText(text, "many-gotos");
  ASSERT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "END\n");
}

TEST(Hostile, AnUnreadableFileIsExitCodeTwoWithTheReason) {
  const std::string dir = ScratchFolder("unreadable");
  const ChildResult r = RunChild({TILEBASIC_PROGRAM, "--headless", "MISSING.BAS"}, dir, {}, "", kBoundMs);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("MISSING.BAS"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("No such file"), std::string::npos) << r.err;
}

TEST(Hostile, ABadOptionIsOneLineAndExitCodeTwo) {
  const ChildResult r = RunChild({TILEBASIC_PROGRAM, "--window-size"}, ScratchFolder("option"), {}, "", kBoundMs);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

}  // namespace
