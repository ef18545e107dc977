// Handles: every kernel call checks its handle, and a null, closed, foreign or wrong-kind handle gives
// the documented failure result with ERROR_INVALID_HANDLE.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/win32.h"

namespace {

DWORD WINAPI ReturnAtOnce(LPVOID) { return 0; }

TEST(Handles, ValuesFitIn32Bits) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE heap = HeapCreate(0, 0, 0);
  HGLOBAL global = GlobalAlloc(GMEM_FIXED, 4);
  HANDLE thread = CreateThread(nullptr, 0, ReturnAtOnce, nullptr, 0, nullptr);
  for (HANDLE h : {event, heap, static_cast<HANDLE>(global), thread, GetProcessHeap()}) {
    ASSERT_NE(h, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_LE(reinterpret_cast<uintptr_t>(h), uintptr_t{UINT32_MAX});
  }
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  GlobalFree(global);
  HeapDestroy(heap);
  CloseHandle(event);
}

TEST(Handles, NullHandleFailsEverywhere) {
  SetLastError(0);
  EXPECT_FALSE(CloseHandle(nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(SetEvent(nullptr));
  EXPECT_EQ(HeapAlloc(nullptr, 0, 4), nullptr);
  EXPECT_EQ(GlobalLock(nullptr), nullptr);
  EXPECT_EQ(GlobalSize(nullptr), 0u);
  DWORD code = 0;
  EXPECT_FALSE(GetExitCodeThread(nullptr, &code));
  EXPECT_FALSE(TerminateThread(nullptr, 1));
  DWORD read = 7;
  char buffer[4];
  EXPECT_FALSE(ReadFile(nullptr, buffer, 4, &read, nullptr));
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(GetFileSize(nullptr, nullptr), INVALID_FILE_SIZE);
  EXPECT_EQ(SetFilePointer(nullptr, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Handles, ClosedHandleFails) {
  HANDLE first = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  ASSERT_TRUE(CloseHandle(first));
  SetLastError(0);
  EXPECT_FALSE(CloseHandle(first));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(WaitForSingleObject(first, 0), WAIT_FAILED);
  EXPECT_FALSE(SetEvent(first));
}

// A guarantee of our own handle table: Windows hands a closed value out again to the next object,
// so on Windows the stale value reaches the new event. Runs on our stack only.
TEST(Handles, ClosedHandleIsStaleEvenWhenItsSlotIsReused) {
  HANDLE first = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  ASSERT_TRUE(CloseHandle(first));
  EXPECT_FALSE(CloseHandle(first));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(WaitForSingleObject(first, 0), WAIT_FAILED);

  // The next object may take the same slot; the old value must still not reach it.
  HANDLE second = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  EXPECT_NE(second, first);
  EXPECT_FALSE(SetEvent(first));
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_TIMEOUT);
  CloseHandle(second);
}

TEST(Handles, ForeignValuesAreRefusedWithoutTouchingMemory) {
  int local = 0;
  HANDLE pointer = &local;
  HANDLE unaligned = reinterpret_cast<HANDLE>(uintptr_t{0x1235});
  HANDLE unused = reinterpret_cast<HANDLE>(uintptr_t{0x7FFFFFFC});
  for (HANDLE h : {pointer, unaligned, unused, INVALID_HANDLE_VALUE}) {
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_FAILED);
    EXPECT_FALSE(SetEvent(h));
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(HeapAlloc(h, 0, 1), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  }
  EXPECT_EQ(local, 0);
}

TEST(Handles, WrongKindIsRefused) {
  HANDLE heap = HeapCreate(0, 0, 0);
  HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, 8);

  EXPECT_EQ(WaitForSingleObject(heap, 0), WAIT_FAILED);
  EXPECT_EQ(WaitForSingleObject(global, 0), WAIT_FAILED);
  EXPECT_EQ(HeapAlloc(event, 0, 4), nullptr);
  EXPECT_EQ(GlobalLock(event), nullptr);
  EXPECT_FALSE(SetEvent(heap));
  EXPECT_FALSE(TerminateThread(event, 0));
  char byte;
  DWORD read;
  EXPECT_FALSE(ReadFile(event, &byte, 1, &read, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  // Heaps and global memory are not closed with CloseHandle, and survive an attempt.
  EXPECT_FALSE(CloseHandle(heap));
  EXPECT_FALSE(CloseHandle(global));
  EXPECT_NE(HeapAlloc(heap, 0, 4), nullptr);
  EXPECT_NE(GlobalLock(global), nullptr);
  // Nor is an event freed as global memory.
  EXPECT_EQ(GlobalFree(event), event);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);

  GlobalUnlock(global);
  EXPECT_EQ(GlobalFree(global), nullptr);
  EXPECT_TRUE(HeapDestroy(heap));
  EXPECT_TRUE(CloseHandle(event));
}

}  // namespace
