// The string operations: concatenation, comparison and the first byte, each consuming its operands.
#include <gtest/gtest.h>

#include "support/debug_output.h"
#include "tests/strings/string_store.h"

namespace {

class Operations : public testing::Test {
 protected:
  void SetUp() override {
    EnsureStringStore();
    SupportStartDebugCapture();
    before = RegistryCount();
  }
  void TearDown() override {
    // Nothing was released that the store did not know.
    EXPECT_EQ(SupportTakeDebugOutput(), "");
    SupportStopDebugCapture();
  }
  int32_t before = 0;
};

TEST_F(Operations, ConcatCopiesBothAndConsumesBoth) {
  TrackedString left = MakeString("abc");
  TrackedString right = MakeString(std::string("d\0e", 3));
  TrackedString joined = StrConcat(left, right);
  EXPECT_EQ(Contents(joined), std::string("abcd\0e", 6));
  EXPECT_EQ(joined[6], 0);
  EXPECT_FALSE(Registered(left));
  EXPECT_FALSE(Registered(right));
  EXPECT_TRUE(Registered(joined));
  EXPECT_EQ(RegistryCount(), before + 1);
  StrRelease(joined);
}

TEST_F(Operations, ConcatOfTwoEmptyStringsIsAnEmptyRegisteredString) {
  TrackedString left = StrNew(0);
  TrackedString right = StrNew(0);
  TrackedString joined = StrConcat(left, right);
  EXPECT_EQ(StrLength(joined), 0);
  EXPECT_EQ(joined[0], 0);
  EXPECT_TRUE(Registered(joined));
  EXPECT_EQ(RegistryCount(), before + 1);
  StrRelease(joined);
}

TEST_F(Operations, CompareUsesStoredLengthsAndConsumesBoth) {
  TrackedString two = MakeString("ab");
  TrackedString three = MakeString("abc");
  EXPECT_EQ(StrCompare(two, three), CSTR_LESS_THAN);
  EXPECT_EQ(RegistryCount(), before);

  EXPECT_EQ(StrCompare(MakeString("abc"), MakeString("ab")), CSTR_GREATER_THAN);
  EXPECT_EQ(StrCompare(MakeString("ab"), MakeString("ab")), CSTR_EQUAL);
  EXPECT_EQ(RegistryCount(), before);
}

TEST_F(Operations, CompareSeesBytesAfterAnEmbeddedZero) {
  EXPECT_EQ(StrCompare(MakeString(std::string("x\0a", 3)), MakeString(std::string("x\0b", 3))), CSTR_LESS_THAN);
  EXPECT_EQ(StrCompare(MakeString(std::string("x\0b", 3)), MakeString(std::string("x\0a", 3))), CSTR_GREATER_THAN);
}

TEST_F(Operations, CompareCollatesShiftJisText) {
  // ア (0x83 0x41) against い (0x82 0xA2): Japanese order, not byte order.
  EXPECT_EQ(StrCompare(MakeString("\x83\x41"), MakeString("\x82\xa2")), CSTR_LESS_THAN);
}

TEST_F(Operations, CompareKeepLeftReleasesOnlyTheRight) {
  TrackedString left = MakeString("key");
  TrackedString right = MakeString("key");
  EXPECT_EQ(StrCompareKeepLeft(left, right), CSTR_EQUAL);
  EXPECT_TRUE(Registered(left));
  EXPECT_FALSE(Registered(right));
  EXPECT_EQ(Contents(left), "key");
  StrRelease(left);
}

TEST_F(Operations, FirstByteIsUnsignedAndConsumesTheString) {
  EXPECT_EQ(StrFirstByte(MakeString("\x82\xa0")), 0x82u);
  EXPECT_EQ(StrFirstByte(MakeString("A")), 65u);
  EXPECT_EQ(StrFirstByte(StrNew(0)), 0u);
  EXPECT_EQ(RegistryCount(), before);
}

TEST_F(Operations, NullOperandsReadAsEmptyStrings) {
  TrackedString joined = StrConcat(nullptr, MakeString("z"));
  EXPECT_EQ(Contents(joined), "z");
  EXPECT_EQ(StrCompare(nullptr, StrNew(0)), CSTR_EQUAL);
  EXPECT_EQ(StrFirstByte(nullptr), 0u);
  EXPECT_EQ(StrLength(nullptr), 0);
  StrRelease(joined);
  EXPECT_EQ(RegistryCount(), before);
}

}  // namespace
