// The executor: runs a ProgramImage over a screen. One loop with a dispatch on the statement kind;
// numbers are plain doubles in slots, strings tracked strings of the runtime's store. An error is a
// value (a number and the statement it happened in) that the loop hands to ON ERROR or reports.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "basic/program_image.h"
#include "basic/screen.h"

class FileTable;

// Set from a signal handler or another thread; the executor looks at it on every jump and loop.
enum class StopRequest : int { None = 0, Break = 1, Terminate = 2 };
extern std::atomic<int> basicStopRequest;

// How a run ended.
enum class RunOutcome { Ended, System, Stopped, Error, Break, Terminated, BudgetSpent };

struct RunLimits {
  int64_t jumpBudget = INT64_MAX;  // jumps and loop turns before the run is cut short (the fuzzer's bound)
  bool allowFiles = true;          // OPEN and KILL; refused with "Permission Denied" when false
};

// Caps of the explicit stacks and of the arrays: past them a program gets "Out of memory".
constexpr size_t kMaxGosubDepth = 10000;
constexpr size_t kMaxForDepth = 10000;
constexpr size_t kMaxWhileDepth = 10000;
constexpr int kMaxFunctionDepth = 40;           // DEF FN calls inside DEF FN calls
constexpr int64_t kMaxArrayElements = 8 << 20;  // all arrays together

struct StrValue {
  TrackedString s = nullptr;
  bool owned = false;  // a temporary: whoever takes it releases it
  std::string_view View() const { return {s ? s : "", static_cast<size_t>(StrLength(s))}; }
};

// A new tracked string holding `bytes`; null (which reads as the empty string) for none.
TrackedString NewString(std::string_view bytes);

class Interpreter {
 public:
  Interpreter(BasicScreen& screen, std::FILE* errors, RunLimits limits);
  ~Interpreter();

  ProgramImage& image() { return image_; }
  Symbols& symbols() { return symbols_; }

  // Forgets every variable, array, function definition, open file and stack (RUN, NEW, CLEAR).
  void ClearState();
  // Makes room for the slots the parser has handed out since the last call.
  void SyncSlots();
  // Runs from statement `pc` until the program ends, an error stops it, or a stop is requested.
  RunOutcome Run(int32_t pc);
  // The line number of the statement where the last run stopped (kDirectLine for a typed line).
  int32_t StoppedLine() const { return stoppedLine_; }
  // Where CONT goes on after STOP or a break, or -1.
  int32_t ContinuePoint() const { return continuePc_; }
  void ForgetContinuePoint() { continuePc_ = -1; }
  // Direct-mode commands that the run loop hands back to its caller.
  enum class Command { None, Run, List, New, Cont, Load, Save, Delete };
  Command PendingCommand() const { return command_; }
  const Stmt& CommandStatement() const { return commandStmt_; }
  void ClearCommand() { command_ = Command::None; }
  // LOAD and SAVE: the file's name (".BAS" added when it has no extension), and for LOAD the text
  // read from it.
  const std::string& CommandFile() const { return commandFile_; }
  const std::string& LoadedText() const { return loadedText_; }
  BasicScreen& screen() { return screen_; }
  void ReportError(int code, int32_t line);

 private:
  friend class PrintWriter;

  // The run loop's helpers (interpreter.cpp)
  bool HandleError();
  bool BackEdge();
  int32_t LineNumberOf(int32_t stmt) const;
  void Raise(int code);
  void SoftError(int code);
  void ExecFor(const Stmt& s);
  void ExecNext(const Stmt& s);
  void ExecGosub(int32_t target, int32_t returnPc);
  void ExecReturn(const Stmt& s);
  void ExecOnGoto(const Stmt& s, bool gosub);
  void ExecResume(const Stmt& s);
  void ExecOnErrorGoto(const Stmt& s);
  int32_t ResumeNext(int32_t pc) const;

  // Values (values.cpp)
  double Eval(int32_t node);
  StrValue EvalStr(int32_t node);
  double Fit(VarType type, double value);
  bool ToInteger(double value, int32_t& out);  // CINT's rounding, Overflow outside -32768..32767
  bool ToInteger(int32_t node, int32_t& out);
  double StoreValue(VarType type, double value);
  double* NumberTarget(int32_t node);
  TrackedString* StringTarget(int32_t node);
  void Assign(int32_t target, int32_t value);
  void AssignNumber(int32_t target, double value);
  void AssignString(int32_t target, StrValue value);
  double CallNumber(const Node& n);
  StrValue CallString(const Node& n);
  bool BindArguments(const Node& n, const Stmt*& def, double* savedNumbers, TrackedString* savedStrings);
  void UnbindArguments(const Stmt& def, const double* savedNumbers, const TrackedString* savedStrings);
  double Relation(const Node& n);
  double Logic(const Node& n);
  double Power(const Node& n);
  double Divide(const Node& n);

  // Arrays (arrays.cpp)
  struct Array;
  bool Dimension(int32_t node, bool implicit, Array*& out);
  int64_t ElementIndex(const Node& n, Array*& array);
  void ExecDim(const Stmt& s);
  void ExecErase(const Stmt& s);
  void ReleaseArray(Array& a);

  // Functions (builtins.cpp)
  double NumberBuiltin(const Node& n);
  StrValue StringBuiltin(const Node& n);
  double Random(double x, bool hasArgument);
  void Reseed(double seed);

  // Statements with text (print_input.cpp, data_files.cpp)
  void ExecPrint(const Stmt& s);
  void ExecWrite(const Stmt& s);
  void ExecInput(const Stmt& s);
  void ExecLineInput(const Stmt& s);
  bool ReadTypedLine(const Stmt& s, bool question, std::string& line);
  void ExecRandomize(const Stmt& s);
  void ExecRead(const Stmt& s);
  void ExecOpen(const Stmt& s);
  void ExecClose(const Stmt& s);
  void ExecKill(const Stmt& s);
  bool ExecLoadSave(const Stmt& s);
  void ExecMidAssign(const Stmt& s);
  void ExecSwap(const Stmt& s);
  // The console's statements and POINT (screen_statements.cpp)
  void ExecScreen(const Stmt& s);
  double PointFunction(const Node& n);
  bool FileArgument(int32_t node, int32_t& number);
  std::string FormatNumber(VarType type, double value) const;
  bool SplitInput(std::string_view line, const Stmt& s, std::vector<std::string>& fields);
  bool AssignField(int32_t target, std::string_view text, bool quoted);

  BasicScreen& screen_;
  std::FILE* errors_;
  RunLimits limits_;
  ProgramImage image_;
  Symbols symbols_;
  std::unique_ptr<FileTable> files_;

  // Variables
  std::vector<double> numbers_;
  std::vector<TrackedString> strings_;
  std::vector<std::unique_ptr<Array>> arrays_;
  std::vector<int32_t> functions_;  // by function id: the DEF statement last run, or -1
  int64_t arrayElements_ = 0;
  int optionBase_ = 0;
  bool optionBaseFixed_ = false;
  int functionDepth_ = 0;

  // Control
  struct ForFrame {
    int32_t slot;
    VarType type;
    double limit, step;
    int32_t body;
  };
  struct GosubFrame {
    int32_t returnPc;
    size_t forDepth, whileDepth;
  };
  std::vector<ForFrame> forStack_;
  std::vector<GosubFrame> gosubStack_;
  std::vector<int32_t> whileStack_;
  int32_t pc_ = 0;
  int32_t current_ = 0;
  int64_t budget_;
  size_t dataNext_ = 0;
  int32_t continuePc_ = -1;
  int32_t stoppedLine_ = kDirectLine;
  RunOutcome outcome_ = RunOutcome::Ended;
  bool finished_ = false;
  Command command_ = Command::None;
  bool trace_ = false;      // TRON
  int32_t tracedLine_ = -1; // the line index last shown by the trace
  Stmt commandStmt_{StmtKind::Nop, 0};
  std::string commandFile_;
  std::string loadedText_;

  // Errors
  int error_ = 0;             // raised in the current statement, 0 when none
  int32_t errorLine_ = -2;    // the line index to report instead of the statement's own (a DATA line)
  int32_t trap_ = kTrapOff;   // ON ERROR GOTO target
  bool inHandler_ = false;
  int errNumber_ = 0;         // ERR
  int32_t errLineNumber_ = 0; // ERL
  int32_t errPc_ = 0;         // the statement RESUME goes back to

  // RND
  uint32_t seed_ = 0x50000;
  double lastRandom_ = 0;
};
