// LOAD and SAVE: the program as a plain text file (each line as LIST shows it, code page 932, ending in
// CR LF as the family's files do; LOAD also takes LF). A name without an extension gets ".BAS".
#include <cstdio>
#include <fstream>
#include <sstream>

#include "basic/errors.h"
#include "basic/session.h"

namespace {

std::string ProgramFileName(std::string_view name) {
  std::string file(name);
  const size_t slash = file.find_last_of('/');
  if (file.find('.', slash == std::string::npos ? 0 : slash + 1) == std::string::npos) file += ".BAS";
  return file;
}

}  // namespace

// Evaluates the file name and hands the command to the session; a name that cannot be a program
// file, or a LOAD of a file that is not there, is an error of the statement.
bool Interpreter::TakeFileCommand(const Stmt& s) {
  StrValue name = EvalStr(s.a);
  if (error_) return false;
  std::string file = ProgramFileName(name.View());
  if (name.owned && name.s) StrRelease(name.s);
  if (!limits_.allowFiles) {
    Raise(kErrPermissionDenied);
    return false;
  }
  if (file == ".BAS" || file.find('\0') != std::string::npos) {
    Raise(kErrBadFileName);
    return false;
  }
  if (s.kind == StmtKind::Load) {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) {
      Raise(kErrFileNotFound);
      return false;
    }
    std::fclose(f);
  }
  command_ = s.kind == StmtKind::Load ? Command::Load : Command::Save;
  commandStmt_ = s;
  commandFile_ = std::move(file);
  stoppedLine_ = LineNumberOf(current_);
  screen_.Flush();
  return true;
}

bool Session::LoadFile(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  lines_.clear();
  interpreter_.ClearState();
  interpreter_.symbols().Clear();
  int error;
  int32_t line;
  if (file.bad() || !Load(text.str(), error, line)) {
    if (file.bad()) error = kErrDeviceIo;
    std::fprintf(errors_, "%s\n", ErrorMessage(error));
    std::fflush(errors_);
    return false;
  }
  return true;
}

void Session::SaveFile(const std::string& name) {
  std::string text;
  for (const auto& [number, line] : lines_) text += std::to_string(number) + " " + Listed(line) + "\r\n";
  std::FILE* f = std::fopen(name.c_str(), "wb");
  const bool written = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (f && std::fclose(f) != 0) f = nullptr;
  if (!written || !f) {
    std::fprintf(errors_, "%s\n", ErrorMessage(kErrPathFileAccess));
    std::fflush(errors_);
  }
}
