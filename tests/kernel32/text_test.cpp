// Code page 932, string helpers, MulDiv and CompareStringA.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "platform/win32.h"

namespace {

TEST(CodePage, AnsiCodePageIs932AndItsLeadBytesAreKnown) {
  EXPECT_EQ(GetACP(), 932u);
  for (int b = 0; b < 256; b++) {
    bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    EXPECT_EQ(IsDBCSLeadByte(static_cast<BYTE>(b)) != FALSE, lead) << "byte 0x" << std::hex << b;
    EXPECT_EQ(IsDBCSLeadByteEx(932, static_cast<BYTE>(b)) != FALSE, lead);
    EXPECT_EQ(IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(b)) != FALSE, lead);
  }
}

TEST(CodePage, UnknownCodePagesAreRefused) {
  SetLastError(0);
  EXPECT_FALSE(IsDBCSLeadByteEx(12345, 0x81));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

// Our layer knows code page 932 only; Windows answers for every installed code page (FALSE for the
// single-byte 1252, without an error). Runs on our stack only.
TEST(CodePage, OtherCodePagesAreRefused) {
  SetLastError(0);
  EXPECT_FALSE(IsDBCSLeadByteEx(1252, 0x81));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(StringHelpers, LengthCopyAndMoveHandleTheirEdges) {
  EXPECT_EQ(lstrlenA("\x82\xa0x"), 3);
  EXPECT_EQ(lstrlenA(""), 0);
  EXPECT_EQ(lstrlenA(nullptr), 0);
  char buffer[8];
  EXPECT_EQ(lstrcpyA(buffer, "abc"), buffer);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(lstrcpyA(nullptr, "abc"), nullptr);
  EXPECT_EQ(lstrcpyA(buffer, nullptr), nullptr);
  // Overlapping moves keep the bytes.
  char overlap[] = "123456";
  RtlMoveMemory(overlap + 1, overlap, 4);
  EXPECT_STREQ(overlap, "112346");
}

TEST(MulDiv, RoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDiv(1, 1, 2), 1);
  EXPECT_EQ(MulDiv(-1, 1, 2), -1);
  EXPECT_EQ(MulDiv(1, -1, 2), -1);
  EXPECT_EQ(MulDiv(1, 1, -2), -1);
  EXPECT_EQ(MulDiv(-1, -1, -2), -1);
  EXPECT_EQ(MulDiv(5, 1, 3), 2);   // 1.67
  EXPECT_EQ(MulDiv(4, 1, 3), 1);   // 1.33
  EXPECT_EQ(MulDiv(-5, 1, 3), -2);
  EXPECT_EQ(MulDiv(0, 9, -4), 0);
  EXPECT_EQ(MulDiv(16, 96, 72), 21);  // a point size to pixels: 21.33
}

TEST(MulDiv, UsesA64BitProductAndFailsOutOfRange) {
  EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
  EXPECT_EQ(MulDiv(1 << 20, 1 << 20, 1 << 12), 1 << 28);
  EXPECT_EQ(MulDiv(INT_MAX, 2, 1), -1);
  EXPECT_EQ(MulDiv(INT_MIN, 1, 1), -1);  // not representable as a positive bound either
  EXPECT_EQ(MulDiv(INT_MIN, -1, 1), -1);
  EXPECT_EQ(MulDiv(10, 10, 0), -1);
}

int Compare(const char* a, int na, const char* b, int nb) {
  return CompareStringA(LOCALE_SYSTEM_DEFAULT, 0, a, na, b, nb);
}

TEST(CompareStringA, CollatesRatherThanComparingBytes) {
  // Bytes say 'a' (0x61) > 'B' (0x42); a collator says a < B.
  EXPECT_EQ(Compare("a", -1, "B", -1), CSTR_LESS_THAN);
  EXPECT_EQ(Compare("B", -1, "a", -1), CSTR_GREATER_THAN);
  EXPECT_EQ(Compare("same", -1, "same", -1), CSTR_EQUAL);
  EXPECT_EQ(Compare("a", -1, "A", -1), CSTR_LESS_THAN);  // lower case first
}

TEST(CompareStringA, DecodesCodePage932) {
  const char katakanaA[] = "\x83\x41";   // ア
  const char hiraganaI[] = "\x82\xa2";   // い
  // By bytes ア (0x83...) sorts after い (0x82...); in Japanese order a comes before i.
  EXPECT_EQ(Compare(katakanaA, -1, hiraganaI, -1), CSTR_LESS_THAN);
  // A kanji and the same kanji are equal, and differ from the one next to it.
  EXPECT_EQ(Compare("\x8a\xbf\x8e\x9a", -1, "\x8a\xbf\x8e\x9a", -1), CSTR_EQUAL);
}

TEST(CompareStringA, ExplicitLengthsIncludeEmbeddedZeros) {
  // Compared by length: a prefix is less than the longer string.
  EXPECT_EQ(Compare("ab", 2, "abc", 3), CSTR_LESS_THAN);
  EXPECT_EQ(Compare("abc", 2, "abd", 2), CSTR_EQUAL);
  // Bytes after an embedded zero take part.
  EXPECT_EQ(Compare("a\0b", 3, "a\0c", 3), CSTR_LESS_THAN);
  EXPECT_EQ(Compare("a\0c", 3, "a\0b", 3), CSTR_GREATER_THAN);
  // -1 stops at the terminator.
  EXPECT_EQ(Compare("a\0b", -1, "a", 1), CSTR_EQUAL);
  EXPECT_EQ(Compare("", 0, "", -1), CSTR_EQUAL);
}

TEST(CompareStringA, InvalidBytesKeepTheirIdentity) {
  // 0x80 and 0xFF are not characters of code page 932.
  EXPECT_NE(Compare("\x80", 1, "\xFF", 1), CSTR_EQUAL);
  EXPECT_EQ(Compare("\x80", 1, "\x80", 1), CSTR_EQUAL);
}

// Our layer's own choice: Windows leaves open what a lone lead byte at the end becomes, and maps
// different ones to the same character. Runs on our stack only.
TEST(CompareStringA, ALoneLeadByteKeepsItsIdentity) {
  EXPECT_NE(Compare("x\x81", 2, "x\x82", 2), CSTR_EQUAL);
  EXPECT_EQ(Compare("x\x81", 2, "x\x81", 2), CSTR_EQUAL);
}

TEST(CompareStringA, AnyNegativeLengthMeansZeroTerminated) {
  EXPECT_EQ(Compare("a", -2, "a", 1), CSTR_EQUAL);
  EXPECT_EQ(Compare("ab\0c", INT_MIN, "ab", 2), CSTR_EQUAL);
  EXPECT_EQ(Compare("ab", 2, "abc", -7), CSTR_LESS_THAN);
}

TEST(CompareStringA, FailsWithZeroOnBadArguments) {
  SetLastError(0);
  EXPECT_EQ(Compare(nullptr, 3, "a", 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  SetLastError(0);
  EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, 0x00100000u, "a", 1, "a", 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
  // The ANSI functions take LOCALE_USE_CP_ACP; the ANSI code page is the one they use anyway.
  EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, LOCALE_USE_CP_ACP, "a", 1, "b", 1), CSTR_LESS_THAN);
  EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, "abc", -1, "ABC", -1), CSTR_EQUAL);
}

// Our layer collates for the Japanese locale only; Windows compares for any installed locale.
// Runs on our stack only.
TEST(CompareStringA, OtherLocalesAreRefused) {
  SetLastError(0);
  EXPECT_EQ(CompareStringA(0x0409, 0, "a", 1, "a", 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
