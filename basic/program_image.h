// A program ready to run: statements in program order whose variables are slot numbers and whose jump
// targets are statement indexes, and the expression nodes they evaluate. Built once by the parser
// from the program's text; the executor reads it and never looks anything up by name.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "basic/keywords.h"
#include "basic/value_type.h"
#include "runtime/strings.h"

// A jump to a line that does not exist: "Undefined line number" when it is taken.
constexpr int32_t kNoTarget = -1;
// ON ERROR GOTO 0.
constexpr int32_t kTrapOff = -2;
// The line number of a statement typed without one.
constexpr int32_t kDirectLine = -1;

enum class Op : uint8_t {
  Const,         // num
  StrConst,      // a: constant index
  Var,           // a: numeric slot
  StrVar,        // a: string slot
  Element,       // a: array id, b: first subscript in aux, c: subscript count (numeric or string by type)
  Neg, Add, Sub, Mul, Div, IntDiv, Mod, Pow,
  Eq, Ne, Lt, Gt, Le, Ge,          // numbers
  StrEq, StrNe, StrLt, StrGt, StrLe, StrGe,
  Not, And, Or, Xor, Eqv, Imp,
  Concat,
  Builtin,       // fn; a, b, c: arguments (or -1)
  UserFn,        // a: function id, b: first argument in aux, c: argument count
};

struct Node {
  Op op;
  VarType type;  // the value's type, fixed when the node is made
  Kw fn = Kw::None;
  int32_t a = -1, b = -1, c = -1;
  double num = 0;
};

enum class StmtKind : uint8_t {
  Nop,
  Fail,        // a: the error this statement raises (a syntax error found while parsing, ...)
  Let,         // a: target node, b: value node
  Print,       // a: file number node or -1, b: first item in aux, c: item count, d: USING format node or -1
  Write,       // a: file number node or -1, b: first item node in aux, c: count
  Goto,        // a: target
  Gosub,       // a: target
  Return,      // b: 1 when a line is given, a: its target
  IfFalse,     // a: condition node, b: where to go when it is false
  Jump,        // a: target (inside a line)
  For,         // a: variable node, b: start, c: limit, d: step or -1, e: the statement after its NEXT
  Next,        // b: first variable node in aux, c: count (0: the innermost loop)
  While,       // a: condition, e: the statement after its WEND (or -1: WHILE without WEND)
  Wend,        //
  OnGoto,      // a: selector node, b: first target in aux, c: count
  OnGosub,
  End,
  Stop,
  System,
  Read,        // b: first target node in aux, c: count
  Restore,     // a: first data item to read, or -1 (the start)
  Swap,        // a, b: target nodes
  DefFn,       // a: function id, b: first parameter node in aux (Var or StrVar of the parameter's
               // own slot), c: parameter count, d: body node
  Randomize,   // a: seed node or -1 (ask)
  OnErrorGoto, // a: target, kNoTarget, or kTrapOff
  Resume,      // a: 0 the failed statement, 1 NEXT, 2 a line; b: the target for 2
  Error,       // a: the error number node
  Dim,         // b: first array node in aux, c: count (array nodes: Element with bounds as subscripts)
  Erase,       // b: first array id in aux, c: count
  OptionBase,  // a: 0 or 1
  Input,       // a: file node or -1, b: targets in aux, c: count, d: prompt constant or -1,
               // e: flags (1: "; " after the prompt adds "? ", 2: INPUT; keeps the line)
  LineInput,   // as Input, with one target
  Open,        // a: name node, b: mode node (a string), c: file number node
  Close,       // b: file number nodes in aux, c: count (0: all)
  Kill,        // a: name node
  MidAssign,   // a: target node, b: start node, c: length node or -1, d: value node
  Cls,
  Clear,
  Run,         // b: 1 when a line is given, a: its target
  List,        // a: first line number, b: last line number
  New,
  Cont,
  Tron,
  Troff,
  Load,        // a: name node, b: 1 to run the program (,R)
  Save,        // a: name node
  Delete,      // a: first line number, b: last line number
  Screen,      // the console's statements: see screen_statements.cpp
};

struct Stmt {
  StmtKind kind;
  int32_t line;  // index into ProgramImage::lines
  int32_t a = -1, b = -1, c = -1, d = -1, e = -1;
};

struct LineInfo {
  int32_t number;      // kDirectLine for a typed statement
  int32_t firstStmt;
  int32_t firstData;   // the first DATA item of this line or after it
  std::string text;    // as written, after the line number (a syntax error shows it)
  bool wholeNames = false;  // read with reserved words inside names (TOTAL), see Tokenize
};

struct DataItem {
  std::string text;
  bool quoted;
  int32_t line;  // line index, for "Syntax error in <line>" when a number is wanted and the item is none
};


struct ProgramImage {
  std::vector<Stmt> stmts;
  std::vector<Node> nodes;
  std::vector<int32_t> aux;
  std::vector<LineInfo> lines;
  std::vector<DataItem> data;
  std::vector<TrackedString> constants;  // the string constants, tracked strings of the store

  ProgramImage() = default;
  ProgramImage(const ProgramImage&) = delete;
  ProgramImage& operator=(const ProgramImage&) = delete;
  ~ProgramImage() { Clear(); }
  void Clear() {
    // Newest first, as the store searches.
    for (auto it = constants.rbegin(); it != constants.rend(); ++it) StrRelease(*it);
    constants.clear();
    stmts.clear();
    nodes.clear();
    aux.clear();
    lines.clear();
    data.clear();
  }
};

// Names and their slots. They outlive one image: a typed statement in direct mode sees the variables
// the program left, so the same name must get the same slot again.
struct Symbols {
  std::map<std::pair<std::string, VarType>, int32_t> numbers;  // numeric scalars -> numeric slot
  std::map<std::pair<std::string, VarType>, int32_t> strings;  // string scalars -> string slot
  std::map<std::pair<std::string, VarType>, int32_t> arrays;   // arrays -> array id
  std::map<std::pair<std::string, VarType>, int32_t> functions;  // FN name -> function id
  std::vector<VarType> numberTypes;  // by numeric slot
  std::vector<VarType> arrayTypes;   // by array id
  VarType defaultType[26];           // DEFINT and the rest, by first letter

  Symbols() { ResetTypes(); }
  void ResetTypes() {
    for (VarType& t : defaultType) t = VarType::Single;
  }
  void Clear() {
    numbers.clear();
    strings.clear();
    arrays.clear();
    functions.clear();
    numberTypes.clear();
    arrayTypes.clear();
    ResetTypes();
  }
};
