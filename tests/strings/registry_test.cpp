// The registry: creation, release, double and foreign releases, and the items array.
#include <gtest/gtest.h>

#include <cstring>

#include "support/debug_output.h"
#include "tests/strings/string_store.h"

namespace {

const std::string kUnknownRelease =
    "\x96\xa2\x92\x6d\x82\xcc\x95\xb6\x8e\x9a\x97\xf1\x82\xaa\x89\xf0\x95\xfa\x82\xb3\x82\xea\x82\xe6"
    "\x82\xa4\x82\xc6\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\r\n";

class Registry : public testing::Test {
 protected:
  void SetUp() override {
    EnsureStringStore();
    SupportStartDebugCapture();
  }
  void TearDown() override { SupportStopDebugCapture(); }
};

TEST_F(Registry, InitUsesTheProcessHeap) {
  EXPECT_EQ(stringRegistry.heap, GetProcessHeap());
  EXPECT_NE(stringRegistry.items, nullptr);
}

TEST_F(Registry, NewStringIsZeroFilledLengthPrefixedAndTerminated) {
  TrackedString s = StrNew(5);
  int32_t stored;
  std::memcpy(&stored, s - 4, 4);
  EXPECT_EQ(stored, 5);
  EXPECT_EQ(StrLength(s), 5);
  for (int i = 0; i <= 5; i++) EXPECT_EQ(s[i], 0) << "byte " << i;
  // The block is exactly n + 5 bytes and starts 4 bytes before the text.
  EXPECT_EQ(HeapSize(GetProcessHeap(), 0, s - 4), 10u);
  StrRelease(s);
}

TEST_F(Registry, EmptyStringHasLengthZeroAndReleasingItRemovesExactlyOneEntry) {
  int32_t before = RegistryCount();
  TrackedString s = StrNew(0);
  EXPECT_EQ(StrLength(s), 0);
  EXPECT_EQ(s[0], 0);
  EXPECT_EQ(RegistryCount(), before + 1);
  StrRelease(s);
  EXPECT_EQ(RegistryCount(), before);
  EXPECT_EQ(SupportTakeDebugOutput(), "");
}

TEST_F(Registry, ItemsKeepCreationOrderAndReleaseClosesTheGap) {
  int32_t base = RegistryCount();
  TrackedString a = StrNew(1), b = StrNew(1), c = StrNew(1);
  ASSERT_EQ(RegistryCount(), base + 3);
  EXPECT_EQ(stringRegistry.items[base], a);
  EXPECT_EQ(stringRegistry.items[base + 1], b);
  EXPECT_EQ(stringRegistry.items[base + 2], c);
  StrRelease(b);
  ASSERT_EQ(RegistryCount(), base + 2);
  EXPECT_EQ(stringRegistry.items[base], a);
  EXPECT_EQ(stringRegistry.items[base + 1], c);
  StrRelease(a);
  StrRelease(c);
}

TEST_F(Registry, ItemsArrayIsReallocatedToExactlyOneMoreEntryAndNeverShrunk) {
  TrackedString s = StrNew(3);
  SIZE_T afterCreate = HeapSize(GetProcessHeap(), 0, stringRegistry.items);
  EXPECT_EQ(afterCreate, static_cast<SIZE_T>(RegistryCount()) * sizeof(TrackedString));
  StrRelease(s);
  EXPECT_EQ(HeapSize(GetProcessHeap(), 0, stringRegistry.items), afterCreate);
}

TEST_F(Registry, DoubleReleaseFreesOnceAndWritesTheMessageOnce) {
  TrackedString keep = StrNew(2);  // a neighbour whose entry must survive
  int32_t before = RegistryCount();
  TrackedString s = StrNew(4);
  StrRelease(s);
  EXPECT_EQ(SupportTakeDebugOutput(), "");
  StrRelease(s);
  EXPECT_EQ(SupportTakeDebugOutput(), kUnknownRelease);
  EXPECT_EQ(RegistryCount(), before);
  EXPECT_TRUE(Registered(keep));
  StrRelease(keep);
  EXPECT_EQ(SupportTakeDebugOutput(), "");
}

TEST_F(Registry, ForeignPointerIsNotFreedAndIsReported) {
  char foreign[8] = "abc";
  int32_t before = RegistryCount();
  StrRelease(foreign + 4);
  EXPECT_EQ(SupportTakeDebugOutput(), kUnknownRelease);
  EXPECT_EQ(RegistryCount(), before);
  EXPECT_STREQ(foreign, "abc");
}

TEST_F(Registry, ReleaseOfNullIsSilent) {
  int32_t before = RegistryCount();
  StrRelease(nullptr);
  EXPECT_EQ(SupportTakeDebugOutput(), "");
  EXPECT_EQ(RegistryCount(), before);
}

TEST_F(Registry, FreshGrowsTheRegistryByExactlyOne) {
  int32_t before = RegistryCount();
  TrackedString s = StrFresh(6);
  EXPECT_EQ(RegistryCount(), before + 1);
  EXPECT_EQ(StrLength(s), 6);
  EXPECT_EQ(Contents(s), std::string(6, '\0'));
  EXPECT_EQ(SupportTakeDebugOutput(), "");
  StrRelease(s);
}

TEST_F(Registry, MemAllocIsZeroedAndUnregistered) {
  int32_t before = RegistryCount();
  auto* block = static_cast<unsigned char*>(MemAlloc(100));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 100; i++) ASSERT_EQ(block[i], 0);
  EXPECT_EQ(RegistryCount(), before);
  EXPECT_EQ(HeapSize(GetProcessHeap(), 0, block), 100u);
  MemFree(block);
}

}  // namespace
