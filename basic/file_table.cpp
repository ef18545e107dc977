#include "basic/file_table.h"

#include <cerrno>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "basic/errors.h"

namespace {

constexpr int kCtrlZ = 26;

bool ValidName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
  }
  return true;
}

int OpenFailure(FileMode mode) {
  if (errno == ENOENT) return mode == FileMode::Input ? kErrFileNotFound : kErrPathNotFound;
  return kErrPathFileAccess;
}

bool IsLineEnd(int c) { return c == '\r' || c == '\n'; }

}  // namespace

FileTable::Slot* FileTable::Find(int number, bool forReading, int* error) {
  if (number < 1 || number > kMaxFiles || slots_[number - 1].file == nullptr) {
    *error = kErrBadFileNumber;
    return nullptr;
  }
  Slot& slot = slots_[number - 1];
  if ((slot.mode == FileMode::Input) != forReading) {
    *error = kErrBadFileMode;
    return nullptr;
  }
  *error = 0;
  return &slot;
}

int FileTable::Open(int number, std::string_view name, FileMode mode) {
  if (number < 1 || number > kMaxFiles) return kErrBadFileNumber;
  if (slots_[number - 1].file != nullptr) return kErrFileAlreadyOpen;
  if (!ValidName(name)) return kErrBadFileName;
  for (const Slot& other : slots_) {
    if (other.file != nullptr && other.name == name &&
        (mode != FileMode::Input || other.mode != FileMode::Input)) {
      return kErrFileAlreadyOpen;
    }
  }
  const std::string path(name);
  const char* how = mode == FileMode::Input ? "rb" : mode == FileMode::Output ? "wb" : "ab";
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), how);
  if (file == nullptr) return OpenFailure(mode);
  if (mode == FileMode::Input) {
    // Some systems open a folder for reading; the first read then fails.
    const int first = std::getc(file);
    if (first == EOF && std::ferror(file)) {
      std::fclose(file);
      return kErrPathFileAccess;
    }
    if (first != EOF) std::ungetc(first, file);
  }
  Slot& slot = slots_[number - 1];
  slot.file = file;
  slot.mode = mode;
  slot.name = path;
  slot.column = 1;
  slot.ended = false;
  return 0;
}

int FileTable::Close(int number) {
  if (number < 1 || number > kMaxFiles) return kErrBadFileNumber;
  Slot& slot = slots_[number - 1];
  if (slot.file != nullptr) std::fclose(slot.file);
  slot = Slot{};
  return 0;
}

void FileTable::CloseAll() {
  for (int number = 1; number <= kMaxFiles; ++number) Close(number);
}

int FileTable::Write(int number, std::string_view bytes) {
  int error = 0;
  Slot* slot = Find(number, false, &error);
  if (slot == nullptr) return error;
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), slot->file) != bytes.size()) {
    return errno == ENOSPC ? kErrDiskFull : kErrDeviceIo;
  }
  for (const char c : bytes) slot->column = IsLineEnd(c) ? 1 : slot->column + 1;
  return 0;
}

int FileTable::Column(int number, int& column) {
  int error = 0;
  Slot* slot = Find(number, false, &error);
  if (slot == nullptr) return error;
  column = slot->column;
  return 0;
}

// The next byte without taking it, or EOF at the end of the file or at a Ctrl+Z.
int FileTable::Peek(Slot& slot) {
  if (slot.ended) return EOF;
  const int c = std::getc(slot.file);
  if (c == EOF) return EOF;
  if (c == kCtrlZ) {
    slot.ended = true;
    return EOF;
  }
  std::ungetc(c, slot.file);
  return c;
}

void FileTable::Skip(Slot& slot) {
  if (!slot.ended) std::getc(slot.file);
}

// A line end is CR LF, LF, or a CR alone.
void FileTable::SkipLineEnd(Slot& slot) {
  const int c = Peek(slot);
  if (c == '\r') {
    Skip(slot);
    if (Peek(slot) == '\n') Skip(slot);
  } else if (c == '\n') {
    Skip(slot);
  }
}

int FileTable::ReadItem(int number, bool stringWanted, std::string& out) {
  int error = 0;
  Slot* found = Find(number, true, &error);
  if (found == nullptr) return error;
  Slot& slot = *found;
  out.clear();
  int c = Peek(slot);
  while (c == ' ' || IsLineEnd(c)) {
    Skip(slot);
    c = Peek(slot);
  }
  if (c == EOF) return kErrInputPastEnd;

  if (stringWanted && c == '"') {
    Skip(slot);
    for (c = Peek(slot); c != EOF && c != '"'; c = Peek(slot)) {
      if (out.size() < kMaxItem) out += static_cast<char>(c);
      Skip(slot);
    }
    if (c == '"') Skip(slot);
    // Blanks after the closing quote belong to no item.
    while (Peek(slot) == ' ') Skip(slot);
  } else if (stringWanted) {
    for (c = Peek(slot); c != EOF && c != ',' && !IsLineEnd(c) && out.size() < kMaxItem; c = Peek(slot)) {
      out += static_cast<char>(c);
      Skip(slot);
    }
  } else {
    for (c = Peek(slot); c != EOF && c != ',' && c != ' ' && !IsLineEnd(c); c = Peek(slot)) {
      if (out.size() < kMaxItem) out += static_cast<char>(c);
      Skip(slot);
    }
    while (Peek(slot) == ' ') Skip(slot);
  }
  c = Peek(slot);
  if (c == ',') Skip(slot);
  else SkipLineEnd(slot);
  return 0;
}

int FileTable::ReadLine(int number, std::string& out) {
  int error = 0;
  Slot* found = Find(number, true, &error);
  if (found == nullptr) return error;
  Slot& slot = *found;
  out.clear();
  int c = Peek(slot);
  if (c == EOF) return kErrInputPastEnd;
  for (; c != EOF && !IsLineEnd(c) && out.size() < kMaxItem; c = Peek(slot)) {
    out += static_cast<char>(c);
    Skip(slot);
  }
  SkipLineEnd(slot);
  return 0;
}

int FileTable::AtEnd(int number, bool& atEnd) {
  int error = 0;
  Slot* slot = Find(number, true, &error);
  if (slot == nullptr) return error;
  atEnd = Peek(*slot) == EOF;
  return 0;
}

bool FileTable::IsOpen(std::string_view name) const {
  for (const Slot& slot : slots_) {
    if (slot.file != nullptr && slot.name == name) return true;
  }
  return false;
}

int FileTable::Kill(std::string_view name) {
  if (!ValidName(name)) return kErrBadFileName;
  const std::string path(name);
  errno = 0;
  // unlink, unlike remove, never deletes a folder.
#ifdef _WIN32
  const int result = _unlink(path.c_str());
#else
  const int result = unlink(path.c_str());
#endif
  if (result == 0) return 0;
  return errno == ENOENT ? kErrFileNotFound : kErrPathFileAccess;
}
