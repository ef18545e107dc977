#include "basic/interpreter.h"

#include <algorithm>
#include <string>

#include "basic/arrays.h"
#include "basic/errors.h"
#include "basic/file_access.h"
#include "basic/file_table.h"

std::atomic<int> basicStopRequest{0};

Interpreter::Interpreter(BasicScreen& screen, std::FILE* errors, RunLimits limits)
    : screen_(screen), errors_(errors), limits_(limits), files_(MakeFileTable()), budget_(limits.jumpBudget) {}

Interpreter::~Interpreter() { ClearState(); }

void Interpreter::ClearState() {
  for (TrackedString& s : strings_)
    if (s) StrRelease(s);
  for (auto& a : arrays_)
    if (a) ReleaseArray(*a);
  std::fill(numbers_.begin(), numbers_.end(), 0.0);
  std::fill(strings_.begin(), strings_.end(), nullptr);
  std::fill(functions_.begin(), functions_.end(), -1);
  arrayElements_ = 0;
  optionBase_ = 0;
  optionBaseFixed_ = false;
  forStack_.clear();
  gosubStack_.clear();
  whileStack_.clear();
  dataNext_ = 0;
  continuePc_ = -1;
  trap_ = kTrapOff;
  inHandler_ = false;
  errNumber_ = 0;
  errLineNumber_ = 0;
  CloseAllFiles(*files_);
}

void Interpreter::SyncSlots() {
  numbers_.resize(symbols_.numberTypes.size(), 0.0);
  strings_.resize(symbols_.strings.size(), nullptr);
  while (arrays_.size() < symbols_.arrayTypes.size()) {
    arrays_.push_back(std::make_unique<Array>());
    arrays_.back()->type = symbols_.arrayTypes[arrays_.size() - 1];
  }
  functions_.resize(symbols_.functions.size(), -1);
}

int32_t Interpreter::LineNumberOf(int32_t stmt) const {
  if (stmt < 0 || stmt >= static_cast<int32_t>(image_.stmts.size())) return kDirectLine;
  return image_.lines[image_.stmts[stmt].line].number;
}

void Interpreter::Raise(int code) {
  if (!error_) error_ = code;
}

// Division by zero and overflow of a floating-point result: the program goes on with the largest
// value, after a message; ON ERROR catches them like any other error.
void Interpreter::SoftError(int code) {
  if (trap_ >= 0 && !inHandler_) {
    Raise(code);
    return;
  }
  screen_.Flush();
  std::fprintf(errors_, "%s\n", ErrorMessage(code));
  std::fflush(errors_);
}

void Interpreter::ReportError(int code, int32_t line) {
  screen_.Flush();
  const int32_t number = line >= 0 ? image_.lines[line].number : kDirectLine;
  if (number == kDirectLine)
    std::fprintf(errors_, "%s\n", ErrorMessage(code));
  else
    std::fprintf(errors_, "%s in %d\n", ErrorMessage(code), number);
  // A syntax error shows the line, as the family's editor does.
  if (code == kErrSyntax && line >= 0) {
    if (number == kDirectLine)
      std::fprintf(errors_, "%s\n", image_.lines[line].text.c_str());
    else
      std::fprintf(errors_, "%d %s\n", number, image_.lines[line].text.c_str());
  }
  std::fflush(errors_);
}

// The error raised by the statement just run: to the ON ERROR handler, or reported. False when the
// run must stop.
bool Interpreter::HandleError() {
  const int code = error_;
  error_ = 0;
  const int32_t line = errorLine_ >= 0 ? errorLine_ : image_.stmts[current_].line;
  errorLine_ = -2;
  if (trap_ >= 0 && !inHandler_) {
    errNumber_ = code;
    errLineNumber_ = image_.lines[line].number == kDirectLine ? 65535 : image_.lines[line].number;
    errPc_ = current_;
    inHandler_ = true;
    pc_ = trap_;
    return true;
  }
  ReportError(code, line);
  stoppedLine_ = image_.lines[line].number;
  outcome_ = RunOutcome::Error;
  return false;
}

bool Interpreter::BackEdge() {
  if (--budget_ > 0 && basicStopRequest.load(std::memory_order_relaxed) == 0) return true;
  const int request = basicStopRequest.load(std::memory_order_relaxed);
  outcome_ = request == static_cast<int>(StopRequest::Terminate) ? RunOutcome::Terminated
             : request == static_cast<int>(StopRequest::Break)   ? RunOutcome::Break
                                                                  : RunOutcome::BudgetSpent;
  return false;
}

RunOutcome Interpreter::Run(int32_t pc) {
  SyncSlots();
  pc_ = pc;
  error_ = 0;
  finished_ = false;
  tracedLine_ = -1;
  outcome_ = RunOutcome::Ended;
  const Stmt* stmts = image_.stmts.data();
  const auto count = static_cast<int32_t>(image_.stmts.size());
  for (;;) {
    if (pc_ >= count || pc_ < 0) {
      // Off the end of the program.
      if (inHandler_) {
        current_ = count - 1;
        Raise(kErrNoResume);
        inHandler_ = false;
        trap_ = kTrapOff;
        HandleError();
        return outcome_;
      }
      stoppedLine_ = LineNumberOf(count - 1);
      return RunOutcome::Ended;
    }
    current_ = pc_;
    const Stmt& s = stmts[pc_];
    ++pc_;
    // TRON: each program line shows its number as it starts (again when a jump starts it again).
    if (trace_ && (s.line != tracedLine_ || current_ == image_.lines[s.line].firstStmt)) {
      tracedLine_ = s.line;
      const int32_t number = image_.lines[s.line].number;
      if (number != kDirectLine) {
        // Appended piece by piece: "[" + std::string inlines into a copy that mingw-w64's GCC 12 warns
        // of wrongly (GCC bug 105329).
        std::string mark(1, '[');
        mark += std::to_string(number);
        mark += ']';
        screen_.Write(mark);
      }
    }
    switch (s.kind) {
      case StmtKind::Nop: break;
      case StmtKind::Fail: Raise(s.a); break;
      case StmtKind::Let: Assign(s.a, s.b); break;
      case StmtKind::Print: ExecPrint(s); break;
      case StmtKind::Write: ExecWrite(s); break;
      case StmtKind::Goto:
        if (s.a == kNoTarget) {
          Raise(kErrUndefinedLine);
          break;
        }
        pc_ = s.a;
        if (!BackEdge()) finished_ = true;
        break;
      case StmtKind::Gosub: ExecGosub(s.a, pc_); break;
      case StmtKind::Return: ExecReturn(s); break;
      case StmtKind::IfFalse: {
        const double cond = Eval(s.a);
        if (!error_ && cond == 0) pc_ = s.b;
        break;
      }
      case StmtKind::Jump: pc_ = s.a; break;
      case StmtKind::For: ExecFor(s); break;
      case StmtKind::Next: ExecNext(s); break;
      case StmtKind::While: {
        if (s.e < 0) {
          Raise(kErrWhileWithoutWend);
          break;
        }
        const double cond = Eval(s.a);
        if (error_) break;
        if (cond != 0) {
          if (whileStack_.empty() || whileStack_.back() != current_) {
            if (whileStack_.size() >= kMaxWhileDepth) {
              Raise(kErrOutOfMemory);
              break;
            }
            whileStack_.push_back(current_);
          }
        } else {
          if (!whileStack_.empty() && whileStack_.back() == current_) whileStack_.pop_back();
          pc_ = s.e;
        }
        break;
      }
      case StmtKind::Wend:
        if (whileStack_.empty()) {
          Raise(kErrWendWithoutWhile);
          break;
        }
        pc_ = whileStack_.back();
        if (!BackEdge()) finished_ = true;
        break;
      case StmtKind::OnGoto: ExecOnGoto(s, false); break;
      case StmtKind::OnGosub: ExecOnGoto(s, true); break;
      case StmtKind::End:
        // a = 1: the end of the program before the statements typed in direct mode.
        if (s.a == 1 && inHandler_) {
          inHandler_ = false;
          trap_ = kTrapOff;
          Raise(kErrNoResume);
          break;
        }
        stoppedLine_ = LineNumberOf(current_);
        screen_.Flush();
        CloseAllFiles(*files_);
        return RunOutcome::Ended;
      case StmtKind::System:
        screen_.Flush();
        CloseAllFiles(*files_);
        return RunOutcome::System;
      case StmtKind::Stop:
        stoppedLine_ = LineNumberOf(current_);
        continuePc_ = pc_;
        return RunOutcome::Stopped;
      case StmtKind::Read: ExecRead(s); break;
      case StmtKind::Restore: dataNext_ = s.a < 0 ? 0 : static_cast<size_t>(s.a); break;
      case StmtKind::Swap: ExecSwap(s); break;
      case StmtKind::DefFn: functions_[s.a] = current_; break;
      case StmtKind::Randomize: ExecRandomize(s); break;
      case StmtKind::OnErrorGoto: ExecOnErrorGoto(s); break;
      case StmtKind::Resume: ExecResume(s); break;
      case StmtKind::Error: {
        int32_t code;
        if (!ToInteger(s.a, code)) break;
        if (code < 1 || code > 255)
          Raise(kErrIllegalFunctionCall);
        else
          Raise(code);
        break;
      }
      case StmtKind::Dim: ExecDim(s); break;
      case StmtKind::Erase: ExecErase(s); break;
      case StmtKind::OptionBase:
        if (optionBaseFixed_) {
          Raise(kErrDuplicateDefinition);
          break;
        }
        optionBase_ = s.a;
        optionBaseFixed_ = true;
        break;
      case StmtKind::Input: ExecInput(s); break;
      case StmtKind::LineInput: ExecLineInput(s); break;
      case StmtKind::Open: ExecOpen(s); break;
      case StmtKind::Close: ExecClose(s); break;
      case StmtKind::Kill: ExecKill(s); break;
      case StmtKind::MidAssign: ExecMidAssign(s); break;
      case StmtKind::Cls: screen_.Clear(); break;
      case StmtKind::Screen: ExecScreen(s); break;
      case StmtKind::Clear: {
        // CLEAR forgets the variables; the program goes on where it was.
        const int32_t next = pc_;
        ClearState();
        pc_ = next;
        break;
      }
      case StmtKind::Load:
      case StmtKind::Save:
        if (!ExecLoadSave(s)) break;
        // LOAD ...,R starts a program again, as RUN does: a jump back like any other (a program
        // that loads itself must still stop on a signal).
        if (s.kind == StmtKind::Load && s.b == 1 && !BackEdge()) {
          stoppedLine_ = LineNumberOf(current_);
          return outcome_;
        }
        command_ = s.kind == StmtKind::Load ? Command::Load : Command::Save;
        commandStmt_ = s;
        stoppedLine_ = LineNumberOf(current_);
        screen_.Flush();
        return RunOutcome::Ended;
      case StmtKind::Tron: trace_ = true; break;
      case StmtKind::Troff: trace_ = false; break;
      case StmtKind::Run:
        // Starting again is a jump back like any other.
        if (!BackEdge()) {
          stoppedLine_ = LineNumberOf(current_);
          return outcome_;
        }
        [[fallthrough]];
      case StmtKind::List:
      case StmtKind::New:
      case StmtKind::Cont:
      case StmtKind::Delete:
        command_ = s.kind == StmtKind::Run      ? Command::Run
                   : s.kind == StmtKind::List   ? Command::List
                   : s.kind == StmtKind::New    ? Command::New
                   : s.kind == StmtKind::Delete ? Command::Delete
                                                : Command::Cont;
        commandStmt_ = s;
        stoppedLine_ = LineNumberOf(current_);
        screen_.Flush();
        return RunOutcome::Ended;
    }
    if (error_ && !HandleError()) return outcome_;
    if (finished_) {
      stoppedLine_ = LineNumberOf(current_);
      continuePc_ = pc_;
      return outcome_;
    }
  }
}

void Interpreter::ExecFor(const Stmt& s) {
  const Node& var = image_.nodes[s.a];
  const int32_t slot = var.a;
  const VarType type = var.type;
  const double start = StoreValue(type, Eval(s.b));
  const double limit = StoreValue(type, Eval(s.c));
  const double step = s.d >= 0 ? StoreValue(type, Eval(s.d)) : 1.0;
  if (error_) return;
  numbers_[slot] = start;
  // A loop of the same variable that is still open ends here, with every loop inside it.
  for (size_t i = forStack_.size(); i-- > 0;)
    if (forStack_[i].slot == slot) {
      forStack_.resize(i);
      break;
    }
  if (step >= 0 ? start > limit : start < limit) {
    if (s.e < 0)
      Raise(kErrForWithoutNext);
    else
      pc_ = s.e;
    return;
  }
  if (forStack_.size() >= kMaxForDepth) {
    Raise(kErrOutOfMemory);
    return;
  }
  forStack_.push_back(ForFrame{slot, type, limit, step, pc_});
}

void Interpreter::ExecNext(const Stmt& s) {
  const int32_t names = std::max(s.c, 1);
  for (int32_t k = 0; k < names; ++k) {
    size_t frame;
    if (s.c == 0) {
      if (forStack_.empty()) {
        Raise(kErrNextWithoutFor);
        return;
      }
      frame = forStack_.size() - 1;
    } else {
      const int32_t slot = image_.nodes[image_.aux[s.b + k]].a;
      frame = forStack_.size();
      for (size_t i = forStack_.size(); i-- > 0;)
        if (forStack_[i].slot == slot) {
          frame = i;
          break;
        }
      if (frame == forStack_.size()) {
        Raise(kErrNextWithoutFor);
        return;
      }
      forStack_.resize(frame + 1);
    }
    const ForFrame& f = forStack_[frame];
    double& v = numbers_[f.slot];
    double next;
    switch (f.type) {
      case VarType::Double: next = v + f.step; break;
      case VarType::Single: next = static_cast<float>(v + f.step); break;
      default:
        next = v + f.step;
        if (next < -32768 || next > 32767) {
          Raise(kErrOverflow);
          return;
        }
        break;
    }
    v = next;
    if (f.step >= 0 ? next <= f.limit : next >= f.limit) {
      pc_ = f.body;
      if (!BackEdge()) finished_ = true;
      return;
    }
    forStack_.pop_back();
  }
}

void Interpreter::ExecGosub(int32_t target, int32_t returnPc) {
  if (target == kNoTarget) {
    Raise(kErrUndefinedLine);
    return;
  }
  if (gosubStack_.size() >= kMaxGosubDepth) {
    Raise(kErrOutOfMemory);
    return;
  }
  gosubStack_.push_back(GosubFrame{returnPc, forStack_.size(), whileStack_.size()});
  pc_ = target;
  if (!BackEdge()) finished_ = true;
}

void Interpreter::ExecReturn(const Stmt& s) {
  if (gosubStack_.empty()) {
    Raise(kErrReturnWithoutGosub);
    return;
  }
  if (s.b == 1 && s.a == kNoTarget) {
    Raise(kErrUndefinedLine);
    return;
  }
  const GosubFrame f = gosubStack_.back();
  gosubStack_.pop_back();
  // Loops opened inside the subroutine end with it.
  forStack_.resize(std::min(forStack_.size(), f.forDepth));
  whileStack_.resize(std::min(whileStack_.size(), f.whileDepth));
  pc_ = s.b == 1 ? s.a : f.returnPc;
  if (!BackEdge()) finished_ = true;
}

void Interpreter::ExecOnGoto(const Stmt& s, bool gosub) {
  int32_t n;
  if (!ToInteger(s.a, n)) return;
  if (n < 0 || n > 255) {
    Raise(kErrIllegalFunctionCall);
    return;
  }
  // 0 or past the list: on to the next statement.
  if (n == 0 || n > s.c) return;
  const int32_t target = image_.aux[s.b + n - 1];
  if (gosub) {
    ExecGosub(target, pc_);
    return;
  }
  if (target == kNoTarget) {
    Raise(kErrUndefinedLine);
    return;
  }
  pc_ = target;
  if (!BackEdge()) finished_ = true;
}

void Interpreter::ExecOnErrorGoto(const Stmt& s) {
  if (s.a == kTrapOff) {
    trap_ = kTrapOff;
    // Inside a handler: the error that brought the program there stops it now.
    if (inHandler_) {
      inHandler_ = false;
      Raise(errNumber_);
      for (size_t i = 0; i < image_.lines.size(); ++i)
        if (image_.lines[i].number == errLineNumber_) errorLine_ = static_cast<int32_t>(i);
    }
    return;
  }
  if (s.a == kNoTarget) {
    Raise(kErrUndefinedLine);
    return;
  }
  trap_ = s.a;
}

int32_t Interpreter::ResumeNext(int32_t pc) const {
  // After an IF whose condition failed, the rest of its line is skipped.
  if (image_.stmts[pc].kind == StmtKind::IfFalse) {
    const int32_t line = image_.stmts[pc].line;
    return line + 1 < static_cast<int32_t>(image_.lines.size()) ? image_.lines[line + 1].firstStmt
                                                                : static_cast<int32_t>(image_.stmts.size());
  }
  return pc + 1;
}

void Interpreter::ExecResume(const Stmt& s) {
  if (!inHandler_) {
    Raise(kErrResumeWithoutError);
    return;
  }
  int32_t target;
  switch (s.a) {
    case 0: target = errPc_; break;
    case 1: target = ResumeNext(errPc_); break;
    default:
      if (s.b == kNoTarget) {
        Raise(kErrUndefinedLine);
        return;
      }
      target = s.b;
      break;
  }
  inHandler_ = false;
  pc_ = target;
  if (!BackEdge()) finished_ = true;
}
