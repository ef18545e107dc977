// The allocation-failure hook itself: exactly the chosen allocation fails (and, when memory has run
// out, every later one of its kind), each with the failure result Windows gives, and nothing else
// changes. These calls start no thread and leave nothing behind, so the walks' processes, forked
// from this one, start as they would without them.
#include <gtest/gtest.h>

#include "platform/win32.h"
#include "support/allocation_faults.h"

namespace {

TEST(AllocationFaultHook, OnlyTheChosenHeapAllocationFailsAndItFailsAsWindowsSays) {
  HANDLE heap = GetProcessHeap();
  SupportFailAllocation(SupportAllocation::kHeap, 2);
  void* first = HeapAlloc(heap, 0, 16);
  SetLastError(0);
  void* second = HeapAlloc(heap, HEAP_ZERO_MEMORY, 16);
  const DWORD error = GetLastError();
  void* third = HeapAlloc(heap, 0, 16);
  const SupportAllocationReport report = SupportStopAllocationFaults();

  EXPECT_NE(first, nullptr);
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(error, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_NE(third, nullptr);
  EXPECT_EQ(report.heap, 3u);
  EXPECT_TRUE(report.failed);
  EXPECT_EQ(report.failedWhat, "HeapAlloc");
  EXPECT_TRUE(report.failedOnCallingThread);
  EXPECT_EQ(report.failures, 1u);
  HeapFree(heap, 0, first);
  HeapFree(heap, 0, third);
}

TEST(AllocationFaultHook, WhenMemoryRunsOutEveryLaterAllocationFailsAndAFailedResizeKeepsTheBlock) {
  HANDLE heap = GetProcessHeap();
  SupportFailAllocation(SupportAllocation::kHeap, 3, SupportFailing::kThatOneAndLater);
  void* block = HeapAlloc(heap, 0, 8);
  HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 8);
  void* grown = HeapReAlloc(heap, 0, block, 4096);
  HGLOBAL globalGrown = GlobalReAlloc(global, 4096, GMEM_MOVEABLE);
  void* another = HeapAlloc(heap, 0, 8);
  const SupportAllocationReport report = SupportStopAllocationFaults();

  ASSERT_NE(block, nullptr);
  ASSERT_NE(global, nullptr);
  EXPECT_EQ(grown, nullptr);
  EXPECT_EQ(globalGrown, nullptr);
  EXPECT_EQ(another, nullptr);
  EXPECT_EQ(HeapSize(heap, 0, block), 8u);  // both blocks are as they were
  EXPECT_EQ(GlobalSize(global), 8u);
  EXPECT_EQ(report.failedWhat, "HeapReAlloc");
  EXPECT_EQ(report.failures, 3u);
  HeapFree(heap, 0, block);
  GlobalFree(global);
}

TEST(AllocationFaultHook, GdiObjectsAndBitmapPixelsFailButStockObjectsNever) {
  SupportFailAllocation(SupportAllocation::kGdiObject, 1);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  HGDIOBJ stock = GetStockObject(WHITE_PEN);
  HDC dc = CreateCompatibleDC(nullptr);
  SupportAllocationReport report = SupportStopAllocationFaults();
  EXPECT_EQ(pen, nullptr);
  EXPECT_NE(stock, nullptr);
  EXPECT_NE(dc, nullptr);
  EXPECT_EQ(report.gdiObjects, 2u);
  EXPECT_EQ(report.failedWhat, "GDI pen");

  // A bitmap's pixels are a heap allocation: without them there is no bitmap, and no pattern.
  SupportFailAllocation(SupportAllocation::kHeap, 1);
  HBITMAP none = CreateCompatibleBitmap(dc, 4, 4);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);
  HBRUSH pattern = CreatePatternBrush(bitmap);
  report = SupportStopAllocationFaults();
  EXPECT_EQ(none, nullptr);
  EXPECT_NE(bitmap, nullptr);
  EXPECT_NE(pattern, nullptr);
  EXPECT_EQ(report.failedWhat, "bitmap pixels");
  EXPECT_EQ(report.gdiObjects, 2u);  // the bitmap that was made and the brush

  SupportFailAllocation(SupportAllocation::kHeap, 1);
  HBRUSH noPattern = CreatePatternBrush(bitmap);
  report = SupportStopAllocationFaults();
  EXPECT_EQ(noPattern, nullptr);
  EXPECT_EQ(report.failedWhat, "pattern brush pixels");
  DeleteObject(pattern);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(AllocationFaultHook, StoppedItCountsAndFailsNothing) {
  SupportFailAllocation(SupportAllocation::kHeap, 1);
  SupportStopAllocationFaults();
  void* block = HeapAlloc(GetProcessHeap(), 0, 16);
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  const SupportAllocationReport report = SupportStopAllocationFaults();
  EXPECT_NE(block, nullptr);
  EXPECT_NE(pen, nullptr);
  EXPECT_EQ(report.heap, 0u);
  EXPECT_EQ(report.gdiObjects, 0u);
  EXPECT_FALSE(report.failed);
  HeapFree(GetProcessHeap(), 0, block);
  DeleteObject(pen);
}

}  // namespace
