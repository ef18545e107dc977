// Files: opening with dispositions and share modes, reading, writing, seeking and sizes.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/win32.h"
#include "tests/kernel32/temp_dir.h"

namespace {

void WriteHostFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

HANDLE OpenForReading(const std::string& path, DWORD share) {
  return CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(Files, ShareModeZeroRefusesASecondOpenerWhileTheFirstHoldsTheFile) {
  TempDir dir;
  std::string path = dir.File("TILE_TEST.bmp");
  WriteHostFile(path, "BM......");
  HANDLE first = OpenForReading(path, 0);
  ASSERT_NE(first, INVALID_HANDLE_VALUE);

  EXPECT_EQ(OpenForReading(path, 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  // Even an opener that would share everything is refused: the first one shares nothing.
  EXPECT_EQ(OpenForReading(path, FILE_SHARE_READ | FILE_SHARE_WRITE), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);

  ASSERT_TRUE(CloseHandle(first));
  HANDLE again = OpenForReading(path, 0);
  EXPECT_NE(again, INVALID_HANDLE_VALUE);
  CloseHandle(again);
}

TEST(Files, ShareModeIsCheckedBothWays) {
  TempDir dir;
  std::string path = dir.File("shared.dat");
  WriteHostFile(path, "x");
  HANDLE reader = OpenForReading(path, FILE_SHARE_READ);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  // Another reader that shares reading may join.
  HANDLE second = OpenForReading(path, FILE_SHARE_READ);
  EXPECT_NE(second, INVALID_HANDLE_VALUE);
  // A writer may not: the readers do not share writing.
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  // A reader that does not share reading may not join readers either.
  EXPECT_EQ(OpenForReading(path, 0), INVALID_HANDLE_VALUE);
  CloseHandle(reader);
  CloseHandle(second);
}

TEST(Files, RefusedOpenerDoesNotTruncate) {
  TempDir dir;
  std::string path = dir.File("keep.dat");
  WriteHostFile(path, "precious");
  HANDLE holder = OpenForReading(path, 0);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSize(holder, nullptr), 8u);
  CloseHandle(holder);
}

TEST(Files, ReadSeekAndSize) {
  TempDir dir;
  std::string path = dir.File("data.bin");
  WriteHostFile(path, std::string("0123456789\0AB", 13));
  HANDLE file = OpenForReading(path, FILE_SHARE_READ);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD high = 99;
  EXPECT_EQ(GetFileSize(file, &high), 13u);
  EXPECT_EQ(high, 0u);

  char buffer[16] = {};
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(file, buffer, 4, &read, nullptr));
  EXPECT_EQ(read, 4u);
  EXPECT_EQ(std::string(buffer, 4), "0123");

  EXPECT_EQ(SetFilePointer(file, 8, nullptr, FILE_BEGIN), 8u);
  ASSERT_TRUE(ReadFile(file, buffer, 16, &read, nullptr));
  EXPECT_EQ(read, 5u);  // a short read at the end still succeeds
  EXPECT_EQ(std::string(buffer, 5), std::string("89\0AB", 5));
  ASSERT_TRUE(ReadFile(file, buffer, 16, &read, nullptr));
  EXPECT_EQ(read, 0u);  // at the end: success, nothing read

  EXPECT_EQ(SetFilePointer(file, -3, nullptr, FILE_END), 10u);
  EXPECT_EQ(SetFilePointer(file, -2, nullptr, FILE_CURRENT), 8u);
  EXPECT_EQ(SetFilePointer(file, -9, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 8u);  // a refused move leaves it
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  LONG highPart = 0;
  EXPECT_EQ(SetFilePointer(file, 100, &highPart, FILE_BEGIN), 100u);  // past the end is allowed
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  CloseHandle(file);
}

TEST(Files, EachHandleHasItsOwnPosition) {
  TempDir dir;
  std::string path = dir.File("two.bin");
  WriteHostFile(path, "abcdef");
  HANDLE a = OpenForReading(path, FILE_SHARE_READ);
  HANDLE b = OpenForReading(path, FILE_SHARE_READ);
  char x = 0, y = 0;
  DWORD n;
  SetFilePointer(a, 3, nullptr, FILE_BEGIN);
  ReadFile(a, &x, 1, &n, nullptr);
  ReadFile(b, &y, 1, &n, nullptr);
  EXPECT_EQ(x, 'd');
  EXPECT_EQ(y, 'a');
  CloseHandle(a);
  CloseHandle(b);
}

TEST(Files, DispositionsCreateOpenAndTruncate) {
  TempDir dir;
  std::string path = dir.File("new.txt");
  EXPECT_EQ(OpenForReading(path, 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

  HANDLE created = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(created, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(created, "hello", 5, &written, nullptr));
  EXPECT_EQ(written, 5u);
  char byte;
  DWORD read = 9;
  EXPECT_FALSE(ReadFile(created, &byte, 1, &read, nullptr));  // opened for writing only
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  CloseHandle(created);

  EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);

  HANDLE opened = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(GetFileSize(opened, nullptr), 5u);
  EXPECT_FALSE(WriteFile(opened, "x", 1, &written, nullptr));
  CloseHandle(opened);

  HANDLE truncated = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(GetFileSize(truncated, nullptr), 0u);
  CloseHandle(truncated);
}

TEST(Files, WindowsPathsInCodePage932ReachTheHostFile) {
  TempDir dir;
  // "表.txt": the trail byte of 表 is 0x5C, which must not be taken for a backslash.
  WriteHostFile(dir.File("\xE8\xA1\xA8.txt"), "kanji");
  std::string windowsPath = dir.path().string() + "\\\x95\x5C.txt";
  HANDLE file = OpenForReading(windowsPath, 0);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSize(file, nullptr), 5u);
  CloseHandle(file);
}

TEST(Files, DirectoriesAndBadArgumentsAreRefused) {
  TempDir dir;
  EXPECT_EQ(OpenForReading(dir.path().string(), 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateFileA(dir.File("a").c_str(), GENERIC_READ, 0, nullptr, 0, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(CreateFileA(dir.File("missing/a").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

}  // namespace
