#include "basic/session.h"

#include <cctype>

#include "basic/errors.h"
#include "basic/number_parse.h"
#include "basic/parser.h"
#include "basic/tokenizer.h"

namespace {

// The longest line the family's editor takes.
constexpr size_t kMaxLineLength = 255;
constexpr int32_t kMaxLineNumber = 65529;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Splits "  10 PRINT" into 10 and "PRINT". False when the text does not start with a number.
bool SplitNumber(std::string_view line, int32_t& number, std::string_view& rest, bool& tooBig) {
  size_t i = 0;
  while (i < line.size() && line[i] == ' ') ++i;
  if (i == line.size() || !IsDigit(line[i])) return false;
  int64_t n = 0;
  tooBig = false;
  while (i < line.size() && IsDigit(line[i])) {
    n = n * 10 + (line[i++] - '0');
    if (n > kMaxLineNumber) tooBig = true;
    if (n > 1000000) n = 1000000;
  }
  if (i < line.size() && line[i] == ' ') ++i;
  number = static_cast<int32_t>(n);
  rest = line.substr(i);
  return true;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.remove_suffix(1);
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return s;
}

}  // namespace

Session::Session(BasicScreen& screen, std::FILE* errors, RunLimits limits)
    : interpreter_(screen, errors, limits), errors_(errors) {}

bool Session::Load(std::string_view text, int& error, int32_t& errorLine) {
  // A Ctrl+Z ends the text, as the family's files may carry one.
  const size_t eof = text.find('\x1A');
  if (eof != std::string_view::npos) text = text.substr(0, eof);
  error = 0;
  errorLine = kDirectLine;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (Trimmed(line).empty()) continue;
    int32_t number;
    std::string_view rest;
    bool tooBig;
    if (!SplitNumber(line, number, rest, tooBig)) {
      error = kErrDirectStatementInFile;
      return false;
    }
    if (tooBig) {
      error = kErrSyntax;
      return false;
    }
    if (line.size() > kMaxLineLength) {
      error = kErrLineBufferOverflow;
      errorLine = number;
      return false;
    }
    lines_[number] = std::string(rest);
  }
  return true;
}

// The image of the program, and of a typed line after it (behind an END that stops the program from
// running on into it).
void Session::Build(std::string_view directLine) {
  ProgramImage& image = interpreter_.image();
  image.Clear();
  interpreter_.symbols().ResetTypes();
  Parser parser(image, interpreter_.symbols());
  for (const auto& [number, text] : lines_) parser.AddLine(number, text);
  if (direct_) {
    parser.AddLine(kDirectLine, "");
    image.stmts.push_back(Stmt{StmtKind::End, static_cast<int32_t>(image.lines.size() - 1), 1});
    parser.AddLine(kDirectLine, directLine);
  }
  parser.Resolve();
  wholeNameLines_.clear();
  for (const LineInfo& line : image.lines)
    if (line.wholeNames) wholeNameLines_.insert(line.number);
}

// Runs from `pc` and handles what the run hands back. False when the session must end.
bool Session::Execute(int32_t pc) {
  for (;;) {
    const RunOutcome outcome = interpreter_.Run(pc);
    switch (outcome) {
      case RunOutcome::System: end_ = SessionEnd::System; return false;
      case RunOutcome::Terminated: end_ = SessionEnd::Terminated; return false;
      case RunOutcome::Break:
      case RunOutcome::Stopped:
      case RunOutcome::BudgetSpent: {
        interpreter_.screen().Flush();
        const int32_t line = interpreter_.StoppedLine();
        if (outcome != RunOutcome::BudgetSpent) {
          if (line == kDirectLine)
            std::fprintf(errors_, "Break\n");
          else
            std::fprintf(errors_, "Break in %d\n", line);
          std::fflush(errors_);
        }
        if (outcome == RunOutcome::Break) {
          basicStopRequest.store(0);
          if (!direct_) end_ = SessionEnd::Break;
        }
        return direct_;
      }
      case RunOutcome::Error:
        if (!direct_) end_ = SessionEnd::Error;
        return direct_;
      case RunOutcome::Ended: break;
    }
    const Interpreter::Command command = interpreter_.PendingCommand();
    const Stmt s = interpreter_.CommandStatement();
    interpreter_.ClearCommand();
    switch (command) {
      case Interpreter::Command::None: return true;
      case Interpreter::Command::Run:
        // The image already holds the program (a run cannot change its text), so RUN starts it
        // again with every variable cleared.
        interpreter_.ClearState();
        if (s.b == 1) {
          if (s.a == kNoTarget) {
            interpreter_.ReportError(kErrUndefinedLine, -1);
            return direct_;
          }
          pc = s.a;
        } else {
          pc = 0;
        }
        continue;
      case Interpreter::Command::List: List(s.a, s.b); return true;
      case Interpreter::Command::New:
        lines_.clear();
        interpreter_.ClearState();
        interpreter_.symbols().Clear();
        return true;
      case Interpreter::Command::Cont:
        if (interpreter_.ContinuePoint() < 0) {
          interpreter_.ReportError(kErrCantContinue, -1);
          if (!direct_) end_ = SessionEnd::Error;
          return direct_;
        }
        pc = interpreter_.ContinuePoint();
        interpreter_.ForgetContinuePoint();
        continue;
      case Interpreter::Command::Load: {
        // The program goes, with its variables and open files, as NEW takes them.
        const std::string text = interpreter_.LoadedText();
        lines_.clear();
        interpreter_.ClearState();
        interpreter_.symbols().Clear();
        int error;
        int32_t errorLine;
        if (!Load(text, error, errorLine)) {
          interpreter_.ReportError(error, -1);
          if (!direct_) end_ = SessionEnd::Error;
          return direct_;
        }
        if (s.b != 1) return true;
        Build("");
        pc = 0;
        continue;
      }
      case Interpreter::Command::Delete: {
        // DELETE takes the lines of its range; a range that holds none is an illegal function call.
        const auto first = lines_.lower_bound(s.a);
        const auto last = lines_.upper_bound(s.b);
        if (first == last) {
          interpreter_.ReportError(kErrIllegalFunctionCall, -1);
          if (!direct_) end_ = SessionEnd::Error;
          return direct_;
        }
        lines_.erase(first, last);
        interpreter_.ClearState();
        return true;
      }
      case Interpreter::Command::Save:
        if (!Save(interpreter_.CommandFile())) {
          interpreter_.ReportError(kErrPathFileAccess, -1);
          if (!direct_) end_ = SessionEnd::Error;
          return direct_;
        }
        return true;
    }
  }
}

SessionEnd Session::RunProgram() {
  direct_ = false;
  Build("");
  Execute(0);
  interpreter_.screen().Flush();
  return end_;
}

// A line as LIST shows it: names and reserved words in upper case and `?` as PRINT, as the family's
// editor keeps them; strings, remarks and DATA text as they were typed.
std::string Session::Listed(const std::string& text, bool wholeNames) {
  std::string out;
  size_t i = 0;
  auto copyRest = [&](char until) {
    bool quoted = false;
    while (i < text.size() && (quoted || text[i] != until)) {
      if (text[i] == '"') quoted = !quoted;
      out += text[i++];
    }
  };
  bool afterFn = false;  // the name of a user function is copied whole (FNTOTAL)
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c != ' ' && !IsLetter(c)) afterFn = false;
    if (c == '"') {
      const size_t close = text.find('"', i + 1);
      const size_t end = close == std::string::npos ? text.size() : close + 1;
      out.append(text, i, end - i);
      i = end;
    } else if (c == '\'') {
      out.append(text, i, std::string::npos);
      break;
    } else if (c == '?') {
      if (!out.empty() && (IsLetter(out.back()) || IsDigit(out.back()))) out += ' ';
      out += "PRINT";
      ++i;
      if (i < text.size() && (IsLetter(text[i]) || IsDigit(text[i]))) out += ' ';
    } else if (IsDigit(c) || c == '.' || c == '&') {
      // A number as typed, whatever letters it holds (&HDEF, 1E5).
      const size_t length = ParseNumericConstant(std::string_view(text).substr(i)).length;
      const size_t take = length > 0 ? length : 1;
      out.append(text, i, take);
      i += take;
    } else if (IsLetter(c)) {
      // A reserved word stands apart from the names and numbers next to it (FORI=1TO9 lists as
      // FOR I=1 TO 9); a name is copied whole, whatever it holds. A line read with whole names (see
      // Tokenize) keeps its spacing, so that it reads the same way again.
      Kw kw = afterFn ? Kw::None : KeywordAt(text, i);
      if (wholeNames && kw != Kw::Rem && kw != Kw::Data) kw = Kw::None;
      afterFn = kw == Kw::Fn;
      if (kw == Kw::None) {
        while (i < text.size() && (IsLetter(text[i]) || IsDigit(text[i]) || text[i] == '.'))
          out += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i++])));
        continue;
      }
      const std::string_view name = KeywordName(kw);
      if (!out.empty() && (IsLetter(out.back()) || IsDigit(out.back()))) out += ' ';
      out += name;
      i += name.size();
      if (kw == Kw::Rem) copyRest('\0');
      if (kw == Kw::Data) copyRest(':');
      if (kw != Kw::Fn && i < text.size() && (IsLetter(text[i]) || IsDigit(text[i]))) out += ' ';
    } else if (((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && i + 1 < text.size()) {
      out.append(text, i, 2);
      i += 2;
    } else {
      out += text[i++];
    }
  }
  return out;
}

void Session::List(int32_t from, int32_t to) {
  BasicScreen& screen = interpreter_.screen();
  for (auto it = lines_.lower_bound(from); it != lines_.end() && it->first <= to; ++it) {
    const bool wholeNames = wholeNameLines_.count(it->first) > 0;
    screen.Write(std::to_string(it->first) + " " + Listed(it->second, wholeNames));
    screen.NewLine();
  }
}

// The program as text, each line as LIST shows it and ending in CR LF, as the family's files do.
bool Session::Save(const std::string& file) {
  std::FILE* f = std::fopen(file.c_str(), "wb");
  if (!f) return false;
  bool ok = true;
  for (const auto& [number, text] : lines_) {
    const std::string line =
        std::to_string(number) + " " + Listed(text, wholeNameLines_.count(number) > 0) + "\r\n";
    ok = ok && std::fwrite(line.data(), 1, line.size(), f) == line.size();
  }
  return std::fclose(f) == 0 && ok;
}

void Session::Prompt() {
  BasicScreen& screen = interpreter_.screen();
  if (screen.Column() > 0) screen.NewLine();
  screen.Write("Ok");
  screen.NewLine();
}

bool Session::Enter(std::string_view typed) {
  direct_ = true;
  std::string_view line = Trimmed(typed);
  if (line.empty()) return true;
  int32_t number;
  std::string_view rest;
  bool tooBig;
  if (SplitNumber(line, number, rest, tooBig)) {
    if (tooBig) {
      interpreter_.ReportError(kErrSyntax, -1);
      return true;
    }
    // A program edit: the variables go, and CONT can no longer go on.
    if (Trimmed(rest).empty())
      lines_.erase(number);
    else
      lines_[number] = std::string(rest);
    interpreter_.ClearState();
    return true;
  }
  if (line.size() > kMaxLineLength) {
    interpreter_.ReportError(kErrLineBufferOverflow, -1);
    Prompt();
    return true;
  }
  const std::string text(line);
  Build(text);
  // A RUN typed at the prompt starts afresh.
  const bool more = Execute(interpreter_.image().lines.back().firstStmt);
  if (more) Prompt();
  return more;
}

SessionEnd Session::DirectMode() {
  direct_ = true;
  Prompt();
  std::string line;
  for (;;) {
    if (!interpreter_.screen().ReadCommand(line)) {
      // Ctrl+C at the prompt abandons the line being typed; the session goes on.
      if (basicStopRequest.load() == static_cast<int>(StopRequest::Break)) {
        basicStopRequest.store(0);
        Prompt();
        continue;
      }
      break;
    }
    if (!Enter(line)) break;
  }
  if (basicStopRequest.load() == static_cast<int>(StopRequest::Terminate)) end_ = SessionEnd::Terminated;
  interpreter_.screen().Flush();
  return end_;
}
