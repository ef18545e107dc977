// The runner's number and file primitives: how numbers print, how constants and typed numbers read,
// PRINT USING's fields, and the open-file table's reads and errors.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "basic/errors.h"
#include "basic/file_table.h"
#include "basic/number_format.h"
#include "basic/number_parse.h"
#include "basic/print_using.h"

namespace {

TEST(NumberFormat, SinglesUseFixedFormWhileSevenDigitPositionsSuffice) {
  EXPECT_EQ(FormatSingle(9999999), " 9999999");
  EXPECT_EQ(FormatSingle(1e7f), " 1E+07");
  EXPECT_EQ(FormatSingle(12345678), " 1.234568E+07");
  EXPECT_EQ(FormatSingle(1e-7f), " .0000001");
  EXPECT_EQ(FormatSingle(1.1e-7f), " 1.1E-07");
  EXPECT_EQ(FormatSingle(-1.234568e-5f), "-1.234568E-05");
  EXPECT_EQ(FormatSingle(.5f), " .5");
  EXPECT_EQ(FormatSingle(-0.0f), " 0");
  EXPECT_EQ(FormatSingle(0.1f + 0.2f), " .3");
}

TEST(NumberFormat, DoublesShowSixteenDigitsAndADExponent) {
  EXPECT_EQ(FormatDouble(1e16), " 1D+16");
  EXPECT_EQ(FormatDouble(1e15), " 1000000000000000");
  EXPECT_EQ(FormatDouble(static_cast<double>(2.04f)), " 2.039999961853027");
  EXPECT_EQ(FormatDouble(-1e-100), "-1D-100");
  EXPECT_EQ(FormatInteger(-32768), "-32768");
  EXPECT_EQ(FormatInteger(0), " 0");
}

TEST(NumberParse, ConstantsTakeTheTypeTheirFormGives) {
  struct Case {
    const char* text;
    NumberKind kind;
    double value;
    size_t length;
  };
  const Case cases[] = {
      {"32767", NumberKind::Integer, 32767, 5},   {"32768", NumberKind::Single, 32768, 5},
      {"1.5", NumberKind::Single, 1.5, 3},        {"12345678", NumberKind::Double, 12345678, 8},
      {"1D2", NumberKind::Double, 100, 3},        {"1E2:", NumberKind::Single, 100, 3},
      {"2#", NumberKind::Double, 2, 2},           {"7%", NumberKind::Integer, 7, 2},
      {"&HFFFF", NumberKind::Integer, -1, 6},     {"&o17", NumberKind::Integer, 15, 4},
      {"&17", NumberKind::Integer, 15, 3},        {"3ELSE", NumberKind::Integer, 3, 1},
  };
  for (const Case& c : cases) {
    const ParsedNumber n = ParseNumericConstant(c.text);
    EXPECT_EQ(n.kind, c.kind) << c.text;
    EXPECT_EQ(n.value, c.value) << c.text;
    EXPECT_EQ(n.length, c.length) << c.text;
    EXPECT_EQ(n.error, 0) << c.text;
  }
  EXPECT_EQ(ParseNumericConstant("0.1").value, static_cast<double>(0.1f));
  EXPECT_EQ(ParseNumericConstant("&H10000").error, kErrOverflow);
  EXPECT_EQ(ParseNumericConstant("40000%").error, kErrOverflow);
  EXPECT_EQ(ParseNumericConstant("1E39").error, kErrOverflow);
  EXPECT_EQ(ParseNumericConstant("1D400").error, kErrOverflow);
  EXPECT_EQ(ParseNumericConstant("1E-60").value, 0);
}

TEST(NumberParse, ValReadsTheLongestNumberAndInputRejectsTrailingText) {
  EXPECT_EQ(ParseVal("  -3"), -3);
  EXPECT_EQ(ParseVal("1 2 3"), 123);
  EXPECT_EQ(ParseVal("12abc"), 12);
  EXPECT_EQ(ParseVal("abc"), 0);
  EXPECT_EQ(ParseVal("&HFF"), 255);
  double v = -1;
  EXPECT_TRUE(ParseInputNumber(" -3.5 ", v));
  EXPECT_EQ(v, -3.5);
  EXPECT_FALSE(ParseInputNumber("12abc", v));
  EXPECT_FALSE(ParseInputNumber("1 2", v));
  EXPECT_TRUE(ParseInputNumber("", v));
  EXPECT_EQ(v, 0);
}

std::string Using(const char* format, std::vector<double> values, int* error = nullptr) {
  std::vector<UsingItem> items;
  for (double x : values) items.push_back({false, x, false, {}});
  std::string out;
  const int e = FormatUsing(format, items, out);
  if (error) *error = e;
  return out;
}

TEST(PrintUsing, NumericFieldsRoundSignFillAndOverflow) {
  EXPECT_EQ(Using("##.##   ", {10.2, .234}), "10.20    0.23   ");
  EXPECT_EQ(Using("+##.##", {2.4}), " +2.40");
  EXPECT_EQ(Using("##.##-", {-7.01}), " 7.01-");
  EXPECT_EQ(Using("**#.#", {-0.9}), "*-0.9");
  EXPECT_EQ(Using("$$###.##", {456.78}), " $456.78");
  EXPECT_EQ(Using("**$##.##", {2.34}), "***$2.34");
  EXPECT_EQ(Using("####,.##", {1234.5}), "1,234.50");
  EXPECT_EQ(Using("##.##^^^^", {234.56}), " 2.35E+02");
  EXPECT_EQ(Using("+.##^^^^", {123}), "+.12E+03");
  EXPECT_EQ(Using(".##", {.999}), "%1.00");
  EXPECT_EQ(Using("_!##_!", {12}), "!12!");
  EXPECT_EQ(Using("###", {99.5}), "100");
  EXPECT_EQ(Using("#########.##", {123456789}), "123456800.00");  // a single's 7 digits
}

TEST(PrintUsing, StringFieldsAndErrors) {
  std::vector<UsingItem> items = {{true, 0, false, "LOOK"}, {true, 0, false, "OUT"}};
  std::string out;
  EXPECT_EQ(FormatUsing("!", items, out), 0);
  EXPECT_EQ(out, "LO");
  out.clear();
  EXPECT_EQ(FormatUsing("\\  \\|", items, out), 0);
  EXPECT_EQ(out, "LOOK|OUT |");
  out.clear();
  EXPECT_EQ(FormatUsing("##", items, out), kErrTypeMismatch);
  int error = 0;
  Using("no field", {1}, &error);
  EXPECT_EQ(error, kErrIllegalFunctionCall);
  Using("#########################", {1}, &error);
  EXPECT_EQ(error, kErrIllegalFunctionCall);
}

class Files : public testing::Test {
 protected:
  std::string Path(const char* name) { return testing::TempDir() + "basic_format_test_" + name; }
  void Put(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  FileTable table;
};

TEST_F(Files, ItemsFollowQuotesCommasAndLineEndsUntilCtrlZ) {
  const std::string path = Path("items");
  Put(path, "  \"a, b\" , plain text,12 -3\r\n4\nlast\x1Ahidden\r\n");
  ASSERT_EQ(table.Open(1, path, FileMode::Input), 0);
  std::string item;
  const std::vector<std::pair<bool, std::string>> expected = {
      {true, "a, b"}, {true, "plain text"}, {false, "12"}, {false, "-3"}, {false, "4"}, {true, "last"}};
  for (const auto& [wantString, text] : expected) {
    ASSERT_EQ(table.ReadItem(1, wantString, item), 0);
    EXPECT_EQ(item, text);
  }
  bool atEnd = false;
  EXPECT_EQ(table.AtEnd(1, atEnd), 0);
  EXPECT_TRUE(atEnd);
  EXPECT_EQ(table.ReadItem(1, true, item), kErrInputPastEnd);
  EXPECT_EQ(table.ReadLine(1, item), kErrInputPastEnd);
  std::remove(path.c_str());
}

TEST_F(Files, WrittenLinesReadBackAndModesAreChecked) {
  const std::string path = Path("lines");
  ASSERT_EQ(table.Open(2, path, FileMode::Output), 0);
  EXPECT_EQ(table.Open(2, path, FileMode::Output), kErrFileAlreadyOpen);
  EXPECT_EQ(table.Open(3, path, FileMode::Input), kErrFileAlreadyOpen);
  EXPECT_EQ(table.Write(2, std::string("one") + std::string(kFileLineEnd) + "tw"), 0);
  int column = 0;
  EXPECT_EQ(table.Column(2, column), 0);
  EXPECT_EQ(column, 3);
  std::string line;
  EXPECT_EQ(table.ReadLine(2, line), kErrBadFileMode);
  EXPECT_EQ(table.Close(2), 0);
  EXPECT_EQ(table.Close(2), 0);
  ASSERT_EQ(table.Open(2, path, FileMode::Append), 0);
  EXPECT_EQ(table.Write(2, "o\r\n"), 0);
  table.CloseAll();
  ASSERT_EQ(table.Open(16, path, FileMode::Input), kErrBadFileNumber);
  ASSERT_EQ(table.Open(15, path, FileMode::Input), 0);
  EXPECT_EQ(table.Write(15, "x"), kErrBadFileMode);
  EXPECT_TRUE(table.IsOpen(path));
  ASSERT_EQ(table.ReadLine(15, line), 0);
  EXPECT_EQ(line, "one");
  ASSERT_EQ(table.ReadLine(15, line), 0);
  EXPECT_EQ(line, "two");
  EXPECT_EQ(table.ReadLine(15, line), kErrInputPastEnd);
  EXPECT_EQ(table.ReadLine(14, line), kErrBadFileNumber);
  table.CloseAll();
  EXPECT_EQ(FileTable::Kill(path), 0);
  EXPECT_EQ(FileTable::Kill(path), kErrFileNotFound);
  EXPECT_EQ(table.Open(1, path, FileMode::Input), kErrFileNotFound);
  EXPECT_EQ(table.Open(1, "", FileMode::Output), kErrBadFileName);
  EXPECT_EQ(table.Open(1, Path("no_such_folder/x"), FileMode::Output), kErrPathNotFound);
}

TEST(Errors, MessagesFollowTheNumbers) {
  EXPECT_STREQ(ErrorMessage(kErrNextWithoutFor), "NEXT without FOR");
  EXPECT_STREQ(ErrorMessage(kErrSyntax), "Syntax error");
  EXPECT_STREQ(ErrorMessage(kErrInputPastEnd), "Input past end");
  EXPECT_STREQ(ErrorMessage(28), "Unprintable error");
  EXPECT_STREQ(ErrorMessage(255), "Unprintable error");
  EXPECT_STREQ(ErrorMessage(-1), "Unprintable error");
}

}  // namespace
