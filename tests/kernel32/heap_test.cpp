// Heaps: the process heap and private heaps.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstring>

#include "platform/win32.h"

namespace {

TEST(Heap, PrivateHeapsAreIndependent) {
  HANDLE a = HeapCreate(0, 0, 0);
  HANDLE b = HeapCreate(0, 0, 0);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  ASSERT_NE(a, b);
  void* inA = HeapAlloc(a, 0, 64);
  void* inB = HeapAlloc(b, 0, 64);
  ASSERT_NE(inA, nullptr);
  ASSERT_NE(inB, nullptr);

  // A block belongs to the heap that made it: the other heap neither frees nor measures it.
  EXPECT_FALSE(HeapFree(b, 0, inA));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(HeapSize(b, 0, inA), static_cast<SIZE_T>(-1));

  // Destroying one heap leaves the other's blocks alive and usable.
  std::memset(inB, 0x5A, 64);
  ASSERT_TRUE(HeapDestroy(a));
  EXPECT_EQ(HeapSize(b, 0, inB), 64u);
  EXPECT_EQ(static_cast<unsigned char*>(inB)[63], 0x5A);
  EXPECT_TRUE(HeapFree(b, 0, inB));
  EXPECT_TRUE(HeapDestroy(b));
}

TEST(Heap, DestroyFreesEveryBlockStillAllocated) {
  // Without a sanitizer the C library's own count shows it; under one, its leak check does.
  size_t before = mallinfo2().uordblks;
  HANDLE heap = HeapCreate(0, 0, 0);
  ASSERT_NE(heap, nullptr);
  for (int i = 0; i < 64; i++) ASSERT_NE(HeapAlloc(heap, 0, 64 * 1024), nullptr);
  size_t during = mallinfo2().uordblks;
  ASSERT_TRUE(HeapDestroy(heap));
  size_t after = mallinfo2().uordblks;
  if (during == before) GTEST_SKIP() << "the allocator does not report its use here";
  EXPECT_GE(during - before, 64u * 64 * 1024);
  EXPECT_LT(after, before + 64 * 1024);
}

TEST(Heap, DestroyedHeapHandleIsRefused) {
  HANDLE heap = HeapCreate(0, 0, 0);
  void* block = HeapAlloc(heap, 0, 16);
  ASSERT_TRUE(HeapDestroy(heap));
  EXPECT_EQ(HeapAlloc(heap, 0, 16), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(HeapFree(heap, 0, block));
  EXPECT_FALSE(HeapDestroy(heap));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Heap, ZeroMemoryFlagZeroesEvenReusedStorage) {
  HANDLE heap = GetProcessHeap();
  for (int round = 0; round < 8; round++) {
    auto* dirty = static_cast<unsigned char*>(HeapAlloc(heap, 0, 200));
    ASSERT_NE(dirty, nullptr);
    std::memset(dirty, 0xCD, 200);
    ASSERT_TRUE(HeapFree(heap, 0, dirty));
    auto* clean = static_cast<unsigned char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 200));
    ASSERT_NE(clean, nullptr);
    for (int i = 0; i < 200; i++) ASSERT_EQ(clean[i], 0) << "byte " << i;
    ASSERT_TRUE(HeapFree(heap, 0, clean));
  }
}

TEST(Heap, ReAllocKeepsContentsAndZeroesOnlyTheGrowth) {
  HANDLE heap = HeapCreate(0, 0, 0);
  auto* block = static_cast<unsigned char*>(HeapAlloc(heap, 0, 1));
  ASSERT_NE(block, nullptr);
  block[0] = 0x77;
  // Grow step by step, as the string registry does, filling each new byte.
  for (SIZE_T size = 2; size <= 4096; size *= 2) {
    block = static_cast<unsigned char*>(HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, size));
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(HeapSize(heap, 0, block), size);
    EXPECT_EQ(block[0], 0x77);
    for (SIZE_T i = size / 2; i < size; i++) ASSERT_EQ(block[i], 0) << "byte " << i << " of " << size;
    std::memset(block + size / 2, 0x11, size / 2);
  }
  block = static_cast<unsigned char*>(HeapReAlloc(heap, 0, block, 3));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[0], 0x77);
  EXPECT_EQ(block[2], 0x11);
  EXPECT_EQ(HeapSize(heap, 0, block), 3u);
  EXPECT_TRUE(HeapDestroy(heap));
}

TEST(Heap, ReAllocOfAForeignPointerFailsAndLeavesItAlone) {
  HANDLE heap = HeapCreate(0, 0, 0);
  char local[16] = "untouched";
  EXPECT_EQ(HeapReAlloc(heap, 0, local, 64), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_STREQ(local, "untouched");
  EXPECT_EQ(HeapReAlloc(heap, 0, nullptr, 64), nullptr);
  EXPECT_TRUE(HeapDestroy(heap));
}

TEST(Heap, InPlaceOnlyReAllocMayShrinkButNotGrow) {
  HANDLE heap = HeapCreate(0, 0, 0);
  void* block = HeapAlloc(heap, 0, 100);
  EXPECT_EQ(HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, block, 200), nullptr);
  EXPECT_EQ(HeapSize(heap, 0, block), 100u);
  EXPECT_EQ(HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, block, 50), block);
  EXPECT_EQ(HeapSize(heap, 0, block), 50u);
  EXPECT_TRUE(HeapDestroy(heap));
}

TEST(Heap, FixedSizeHeapRefusesWhatExceedsItsMaximum) {
  HANDLE heap = HeapCreate(0, 0, 1000);
  ASSERT_NE(heap, nullptr);
  void* first = HeapAlloc(heap, 0, 600);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(HeapAlloc(heap, 0, 600), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(HeapReAlloc(heap, 0, first, 1200), nullptr);
  // Freeing makes room again.
  ASSERT_TRUE(HeapFree(heap, 0, first));
  EXPECT_NE(HeapAlloc(heap, 0, 900), nullptr);
  EXPECT_TRUE(HeapDestroy(heap));
}

TEST(Heap, BlockLargerThanA32BitProcessCouldHoldIsRefused) {
  EXPECT_EQ(HeapAlloc(GetProcessHeap(), 0, SIZE_T{0x80000000}), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(-5)), nullptr);
}

TEST(Heap, ProcessHeapIsStableAndCannotBeDestroyed) {
  HANDLE heap = GetProcessHeap();
  ASSERT_NE(heap, nullptr);
  EXPECT_EQ(GetProcessHeap(), heap);
  EXPECT_FALSE(HeapDestroy(heap));
  void* block = HeapAlloc(heap, 0, 8);
  EXPECT_NE(block, nullptr);
  EXPECT_TRUE(HeapFree(heap, 0, block));
  EXPECT_TRUE(HeapFree(heap, 0, nullptr));
}

TEST(Heap, ZeroByteBlocksAreDistinctAndFreeable) {
  HANDLE heap = HeapCreate(0, 0, 0);
  void* a = HeapAlloc(heap, 0, 0);
  void* b = HeapAlloc(heap, 0, 0);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_EQ(HeapSize(heap, 0, a), 0u);
  EXPECT_TRUE(HeapFree(heap, 0, a));
  EXPECT_FALSE(HeapFree(heap, 0, a));  // already freed
  EXPECT_TRUE(HeapDestroy(heap));
}

}  // namespace
