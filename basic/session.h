// A BASIC session: the program's numbered lines, loading them from a file, running them, and direct
// mode (lines typed at the "Ok" prompt: numbered ones edit the program, others run at once).
#pragma once

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "basic/interpreter.h"

// How the session ended, as the process reports it.
// System: the program or a typed line said SYSTEM, which also closes a window that would stay open.
enum class SessionEnd { Normal, System, Error, Break, Terminated };

class Session {
 public:
  Session(BasicScreen& screen, std::FILE* errors, RunLimits limits = {});

  // Loads program text (code page 932, LF or CR LF line ends; every line numbered). False with the
  // error number when a line has no number (66), is too long (23) or has a number out of range (2).
  bool Load(std::string_view text, int& error, int32_t& errorLine);
  // Runs the loaded program from its first line.
  SessionEnd RunProgram();
  // Reads lines from the screen until its input ends or SYSTEM.
  SessionEnd DirectMode();
  // The line a run stopped in, for the break message.
  int32_t StoppedLine() const { return interpreter_.StoppedLine(); }

  // One typed line: stored in the program when it starts with a number, run at once otherwise. Returns
  // false when the session is over (SYSTEM, or a stop that ends the process).
  bool Enter(std::string_view line);
  SessionEnd end() const { return end_; }

 private:
  void Build(std::string_view directLine);
  bool Execute(int32_t pc);
  void List(int32_t from, int32_t to);
  bool Save(const std::string& file);
  static std::string Listed(const std::string& text, bool wholeNames);
  void Prompt();

  Interpreter interpreter_;
  std::FILE* errors_;
  std::map<int32_t, std::string> lines_;
  std::set<int32_t> wholeNameLines_;  // lines read with reserved words inside names (Tokenize)
  SessionEnd end_ = SessionEnd::Normal;
  bool direct_ = false;
};
