// The program's open files, by number 1..15: sequential text files read and written through C stdio,
// so the same code serves every platform. Names are used as given, relative to the current directory.
//
// Lines are written as the caller formats them; the statements end each line with kFileLineEnd (CR LF),
// as the dialect's files do. Reads accept LF or CR LF line ends and stop at a Ctrl+Z byte as the end
// of the file.
//
// Every operation returns 0 or a BASIC error number (basic/errors.h): 52 for a number outside 1..15 or
// not open, 54 for a read of a file opened for writing or the reverse, and those listed at each.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

enum class FileMode { Input, Output, Append };

inline constexpr std::string_view kFileLineEnd = "\r\n";

class FileTable {
 public:
  static constexpr int kMaxFiles = 15;
  // INPUT # and LINE INPUT # keep at most this many bytes of an item (a string's limit); the rest of
  // an over-long unquoted item or line is left for the next read.
  static constexpr size_t kMaxItem = 255;

  FileTable() = default;
  ~FileTable() { CloseAll(); }
  FileTable(const FileTable&) = delete;
  FileTable& operator=(const FileTable&) = delete;

  // 55 when the number is in use, or the file is already open and either use would write to it;
  // 64 for an empty name or one with control characters; 53 for a missing file to read; 76 when the
  // folder of a file to write does not exist; 75 when the system refuses otherwise (a folder, no
  // permission).
  int Open(int number, std::string_view name, FileMode mode);
  // Closing a number that is not open is fine (0); 52 only for a number outside 1..15.
  int Close(int number);
  void CloseAll();
  // Raw bytes; 61 when the disk is full, 57 for another write failure.
  int Write(int number, std::string_view bytes);
  // The 1-based column the next byte written goes to (1 after a line end), for TAB and print zones.
  int Column(int number, int& column);
  // One INPUT # item. Spaces, CRs and LFs before it are skipped. A string item that starts with '"'
  // runs to the next '"' (the quotes are not part of it); any other string item runs to a comma or a
  // line end; a number item (returned as its text) runs to a space, comma or line end. The comma or
  // line end after the item is consumed. 62 (Input past end) when no item is left.
  int ReadItem(int number, bool stringWanted, std::string& out);
  // One LINE INPUT # line without its line end; 62 when the file is at its end.
  int ReadLine(int number, std::string& out);
  // EOF(): whether nothing is left to read.
  int AtEnd(int number, bool& atEnd);
  // Whether some number has this file open (KILL of an open file is 55, File already open).
  bool IsOpen(std::string_view name) const;
  // Deletes a file: 0, 64 for a bad name, 53 when there is no such file, 75 when it cannot be deleted
  // (a folder, no permission).
  static int Kill(std::string_view name);

 private:
  struct Slot {
    std::FILE* file = nullptr;
    FileMode mode = FileMode::Input;
    std::string name;
    int column = 1;
    bool ended = false;  // a Ctrl+Z byte was met
  };

  // The open slot for number, checked for the direction wanted; error through *error.
  Slot* Find(int number, bool forReading, int* error);
  static int Peek(Slot& slot);
  static void Skip(Slot& slot);
  static void SkipLineEnd(Slot& slot);

  std::array<Slot, kMaxFiles> slots_{};
};
