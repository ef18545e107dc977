// Every case of tests/basic/cases/*.cases: the program runs as `tilebasic --headless PROG.BAS` (or, for
// a #direct case, is typed into direct mode) in a fresh folder, under LC_ALL=C so output bytes are
// unchanged, and must print exactly what the case says, exit as it says and leave the files it lists.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/basic/case_file.h"
#include "tests/basic/child_process.h"

namespace {

// Every run gets this long before it is killed and fails.
constexpr int kRunBoundMs = 20000;

const std::vector<BasicCase>& AllCases() {
  static const std::vector<BasicCase> cases = [] {
    std::vector<std::string> problems;
    auto all = ReadCaseFiles(TILEBASIC_CASES_DIR, problems);
    for (const std::string& p : problems) ADD_FAILURE() << p;
    return all;
  }();
  return cases;
}

// The first line where two texts differ, both shown.
std::string FirstDifference(const std::string& want, const std::string& got) {
  std::istringstream a(want), b(got);
  std::string x, y;
  for (int line = 1;; ++line) {
    const bool moreA = static_cast<bool>(std::getline(a, x));
    const bool moreB = static_cast<bool>(std::getline(b, y));
    if (!moreA && !moreB) return "the texts differ only in their last line end";
    if (!moreA || !moreB || x != y) {
      return "line " + std::to_string(line) + ": expected " + (moreA ? "\"" + x + "\"" : "nothing") + ", got " +
             (moreB ? "\"" + y + "\"" : "nothing");
    }
  }
}

std::string FolderName(const BasicCase& c) {
  std::string name = c.file + "-" + c.name;
  for (char& ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '-' && ch != '.') ch = '_';
  return name;
}

class CaseTest : public ::testing::TestWithParam<size_t> {};

TEST_P(CaseTest, PrintsExitsAndWritesAsTheCaseSays) {
  const BasicCase& c = AllCases()[GetParam()];
  SCOPED_TRACE(c.file + ": case " + c.name);
  const std::string dir = ScratchFolder(FolderName(c));
  for (const auto& [name, text] : c.setup) std::ofstream(dir + "/" + name, std::ios::binary) << text;
  std::vector<std::string> argv = {TILEBASIC_PROGRAM, "--headless"};
  std::string input = c.input;
  if (c.direct) {
    input = c.program + input;
  } else {
    std::ofstream(dir + "/PROG.BAS", std::ios::binary) << c.program;
    argv.push_back("PROG.BAS");
  }
  const ChildResult r = RunChild(argv, dir, {"LC_ALL=C"}, input, kRunBoundMs);
  ASSERT_FALSE(r.timedOut) << "still running after " << kRunBoundMs << " ms";
  ASSERT_EQ(r.signal, 0) << "ended by signal " << r.signal << "\nstderr:\n" << r.err;
  const std::string wantOut = c.hasOutput ? c.output : std::string();
  EXPECT_EQ(r.out, wantOut) << "standard output, " << FirstDifference(wantOut, r.out);
  const std::string wantErr = c.hasErrors ? c.errors : std::string();
  EXPECT_EQ(r.err, wantErr) << "standard error, " << FirstDifference(wantErr, r.err);
  EXPECT_EQ(r.exitCode, c.exitCode);
  for (const auto& [name, text] : c.files) {
    std::ifstream in(dir + "/" + name, std::ios::binary);
    ASSERT_TRUE(in) << "no file " << name;
    std::stringstream got;
    got << in.rdbuf();
    EXPECT_EQ(got.str(), text) << "file " << name << ", " << FirstDifference(text, got.str());
  }
  std::filesystem::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Cases, CaseTest, ::testing::Range<size_t>(0, AllCases().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                           std::string name = FolderName(AllCases()[info.param]);
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

}  // namespace
