// Global memory: fixed and moveable blocks, lock counts, zero fill, resizing.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32.h"

namespace {

TEST(GlobalMemory, FixedBlockLocksToTheSameAddressWithoutCounting) {
  HGLOBAL block = GlobalAlloc(GMEM_FIXED, 10);
  ASSERT_NE(block, nullptr);
  void* first = GlobalLock(block);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GlobalLock(block), first);
  EXPECT_TRUE(GlobalUnlock(block));
  EXPECT_EQ(GlobalSize(block), 10u);
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(GlobalSize(block), 0u);
  EXPECT_EQ(GlobalFree(block), block);  // a second free fails by giving the handle back
}

TEST(GlobalMemory, MoveableBlockCountsItsLocks) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 32);
  ASSERT_NE(block, nullptr);
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GetLastError(), ERROR_NOT_LOCKED);
  char* p = static_cast<char*>(GlobalLock(block));
  ASSERT_NE(p, nullptr);
  std::strcpy(p, "clipboard");
  EXPECT_EQ(GlobalLock(block), p);
  EXPECT_TRUE(GlobalUnlock(block));   // still locked once
  EXPECT_FALSE(GlobalUnlock(block));  // now unlocked
  EXPECT_EQ(GetLastError(), NO_ERROR);
  EXPECT_STREQ(static_cast<char*>(GlobalLock(block)), "clipboard");
  GlobalUnlock(block);
  EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemory, ZeroInitZeroesEvenReusedStorage) {
  for (UINT flags : {UINT{GMEM_FIXED}, UINT{GMEM_MOVEABLE}}) {
    HGLOBAL dirty = GlobalAlloc(flags, 300);
    std::memset(GlobalLock(dirty), 0xEE, 300);
    GlobalUnlock(dirty);
    GlobalFree(dirty);
    HGLOBAL clean = GlobalAlloc(flags | GMEM_ZEROINIT, 300);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(clean));
    ASSERT_NE(bytes, nullptr);
    for (int i = 0; i < 300; i++) ASSERT_EQ(bytes[i], 0) << "byte " << i;
    GlobalUnlock(clean);
    GlobalFree(clean);
  }
}

TEST(GlobalMemory, ReAllocKeepsContentsAndRespectsLocks) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 4);
  auto* locked = static_cast<char*>(GlobalLock(block));
  std::memcpy(locked, "abcd", 4);
  // Locked, it may not move: growing it either fails or happens where it stands (whether there is
  // room depends on the heap's layout).
  HGLOBAL grown = GlobalReAlloc(block, 4096, 0);
  if (grown == nullptr) {
    EXPECT_EQ(GlobalSize(block), 4u);
  } else {
    EXPECT_EQ(grown, block);
    EXPECT_EQ(GlobalSize(block), 4096u);
    EXPECT_EQ(GlobalLock(block), locked) << "a locked block moved";
    GlobalUnlock(block);
  }
  EXPECT_EQ(std::memcmp(locked, "abcd", 4), 0);
  GlobalUnlock(block);
  // Unlocked, it may move; the contents go with it and the new part is zero.
  ASSERT_EQ(GlobalReAlloc(block, 8192, GMEM_ZEROINIT), block);
  EXPECT_EQ(GlobalSize(block), 8192u);
  auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
  EXPECT_EQ(std::memcmp(bytes, "abcd", 4), 0);
  EXPECT_EQ(bytes[8191], 0);
  GlobalUnlock(block);
  GlobalFree(block);
}

TEST(GlobalMemory, EmptyMoveableBlockHasNoAddress) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 0);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalLock(block), nullptr);
  EXPECT_EQ(GlobalSize(block), 0u);
  EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemory, ImpossibleSizeIsRefused) {
  EXPECT_EQ(GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(-1)), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
}

}  // namespace
