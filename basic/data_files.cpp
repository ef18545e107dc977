// READ from DATA, the file statements, SWAP and MID$ as a statement.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "basic/errors.h"
#include "basic/file_access.h"
#include "basic/file_table.h"
#include "basic/interpreter.h"
#include "basic/number_text.h"

namespace {

void Drop(StrValue& v) {
  if (v.owned && v.s) StrRelease(v.s);
  v = StrValue{};
}

}  // namespace

std::unique_ptr<FileTable> MakeFileTable() { return std::make_unique<FileTable>(); }
void CloseAllFiles(FileTable& files) { files.CloseAll(); }
int FileAtEnd(FileTable& files, int number, bool& atEnd) { return files.AtEnd(number, atEnd); }

void Interpreter::ExecRead(const Stmt& s) {
  for (int32_t k = 0; k < s.c && !error_; ++k) {
    if (dataNext_ >= image_.data.size()) {
      Raise(kErrOutOfData);
      return;
    }
    const DataItem& item = image_.data[dataNext_++];
    const int32_t target = image_.aux[s.b + k];
    if (image_.nodes[target].type == VarType::String) {
      AssignField(target, item.text, item.quoted);
      continue;
    }
    // A number is wanted: an item that is not one is a syntax error of the DATA line.
    double value = 0;
    if (item.quoted || !ParseInputNumber(item.text, value)) {
      Raise(kErrSyntax);
      errorLine_ = item.line;
      return;
    }
    AssignNumber(target, value);
  }
}

void Interpreter::ExecOpen(const Stmt& s) {
  StrValue name = EvalStr(s.a);
  StrValue mode = EvalStr(s.b);
  int32_t number = 0;
  const bool numbered = ToInteger(s.c, number);
  const std::string_view m = mode.View();
  FileMode fileMode = FileMode::Input;
  int code = 0;
  if (!numbered || error_) {
    code = 0;
  } else if (!limits_.allowFiles) {
    code = kErrPermissionDenied;
  } else if (m.empty()) {
    code = kErrBadFileMode;
  } else {
    switch (m[0]) {
      case 'I': case 'i': fileMode = FileMode::Input; break;
      case 'O': case 'o': fileMode = FileMode::Output; break;
      case 'A': case 'a': fileMode = FileMode::Append; break;
      default: code = kErrBadFileMode; break;
    }
    if (!code && (number < 1 || number > FileTable::kMaxFiles)) code = kErrBadFileNumber;
    if (!code) code = files_->Open(number, name.View(), fileMode);
  }
  if (code) Raise(code);
  Drop(name);
  Drop(mode);
}

void Interpreter::ExecClose(const Stmt& s) {
  if (s.c == 0) {
    files_->CloseAll();
    return;
  }
  for (int32_t k = 0; k < s.c && !error_; ++k) {
    int32_t number;
    if (!ToInteger(image_.aux[s.b + k], number)) return;
    const int code = files_->Close(number);
    if (code) Raise(code);
  }
}

void Interpreter::ExecKill(const Stmt& s) {
  StrValue name = EvalStr(s.a);
  if (!error_) {
    int code;
    if (!limits_.allowFiles)
      code = kErrPermissionDenied;
    else if (files_->IsOpen(name.View()))
      code = kErrFileAlreadyOpen;
    else
      code = FileTable::Kill(name.View());
    if (code) Raise(code);
  }
  Drop(name);
}

void Interpreter::ExecSwap(const Stmt& s) {
  if (image_.nodes[s.a].type == VarType::String) {
    TrackedString* a = StringTarget(s.a);
    TrackedString* b = a ? StringTarget(s.b) : nullptr;
    if (a && b) std::swap(*a, *b);
    return;
  }
  double* a = NumberTarget(s.a);
  double* b = a ? NumberTarget(s.b) : nullptr;
  if (a && b) std::swap(*a, *b);
}

// MID$(v$, n[, m]) = x$: replaces characters of v$ in place; its length never changes.
void Interpreter::ExecMidAssign(const Stmt& s) {
  int32_t start, length = 255;
  if (!ToInteger(s.b, start)) return;
  if (s.c >= 0 && !ToInteger(s.c, length)) return;
  if (start < 1 || start > 255 || length < 0 || length > 255) {
    Raise(kErrIllegalFunctionCall);
    return;
  }
  StrValue value = EvalStr(s.d);
  TrackedString* target = error_ ? nullptr : StringTarget(s.a);
  if (target) {
    const int32_t have = StrLength(*target);
    if (start > have) {
      Raise(kErrIllegalFunctionCall);
    } else {
      const std::string_view v = value.View();
      const size_t n = std::min({static_cast<size_t>(length), v.size(), static_cast<size_t>(have - start + 1)});
      // The variable's own string may be shared with nobody else: every value is a copy of its own.
      std::memcpy(*target + start - 1, v.data(), n);
    }
  }
  Drop(value);
}

// LOAD and SAVE: the name, and for LOAD the program text, taken here so that a missing file is an
// error of the statement (ON ERROR catches it); the session replaces or writes the program after.
bool Interpreter::ExecLoadSave(const Stmt& s) {
  StrValue name = EvalStr(s.a);
  std::string file(name.View());
  Drop(name);
  if (error_) return false;
  if (!limits_.allowFiles) {
    Raise(kErrPermissionDenied);
    return false;
  }
  if (file.empty()) {
    Raise(kErrBadFileName);
    return false;
  }
  // A name without an extension gets ".BAS", as the manual says.
  const size_t base = file.find_last_of("/\\");
  if (file.find('.', base == std::string::npos ? 0 : base + 1) == std::string::npos) file += ".BAS";
  commandFile_ = file;
  loadedText_.clear();
  if (s.kind != StmtKind::Load) return true;
  std::FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) {
    Raise(kErrFileNotFound);
    return false;
  }
  char buffer[65536];
  size_t n;
  // A program of the family's size is far below this; a larger file is not a program.
  constexpr size_t kMaxProgramBytes = 16u << 20;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0 && loadedText_.size() < kMaxProgramBytes)
    loadedText_.append(buffer, n);
  std::fclose(f);
  if (loadedText_.size() >= kMaxProgramBytes) {
    loadedText_.clear();
    Raise(kErrOutOfMemory);
    return false;
  }
  return true;
}
