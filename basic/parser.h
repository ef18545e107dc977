// Program text into a ProgramImage: each line's tokens become statements and expression nodes with
// variables already turned into slots (through Symbols); Resolve() then turns line numbers into
// statement indexes and pairs every FOR with its NEXT and every WHILE with its WEND.
//
// A line that does not parse still runs up to the statement that failed, which raises the error
// (a syntax error, a type mismatch, an expression too deep) when it is reached, as the family does.
#pragma once

#include <string_view>
#include <vector>

#include "basic/program_image.h"
#include "basic/tokenizer.h"

// Expressions nested deeper than this (parentheses, function arguments, signs, NOT) are "Out of
// memory", as the family's stack would run out.
constexpr int kMaxExpressionDepth = 100;
// Nodes deeper than this are "Out of memory" too: the evaluator walks the nodes recursively, so this
// bounds its C++ stack whatever the line holds (a line of 255 bytes stays well inside it).
constexpr int kMaxNodeDepth = 300;

class Parser {
 public:
  Parser(ProgramImage& image, Symbols& symbols);

  // Appends the statements of one line (number kDirectLine for a typed statement). Lines are added in
  // ascending order.
  void AddLine(int32_t number, std::string_view text);
  // Line targets, loop pairs and RESTORE targets; once, after the last line.
  void Resolve();

 private:
  // Tokens
  const Token& Peek() const { return tokens_[pos_]; }
  const Token& Take() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }
  bool AtSymbol(char c) const { return Peek().kind == TokKind::Symbol && Peek().symbol == c; }
  bool AtKeyword(Kw kw) const { return Peek().kind == TokKind::Keyword && Peek().kw == kw; }
  bool AcceptSymbol(char c);
  bool AcceptKeyword(Kw kw);
  bool ExpectSymbol(char c);
  bool ExpectKeyword(Kw kw);
  bool AtStatementEnd() const;
  void Fail(int code);
  bool Failed() const { return failCode_ != 0; }

  // Statements
  int32_t Emit(StmtKind kind, int32_t a = -1, int32_t b = -1, int32_t c = -1, int32_t d = -1, int32_t e = -1);
  void StatementList(bool insideIf);
  void Statement();
  void Assignment();
  void PrintStatement(bool write);
  void InputStatement(bool lineInput);
  void IfStatement();
  void ForStatement();
  void NextStatement();
  void OnStatement();
  void GotoLike(StmtKind kind);
  void ReadStatement();
  void RestoreStatement();
  void DefStatement();
  void DefTypeStatement(VarType type);
  void DimStatement();
  void EraseStatement();
  void ResumeStatement();
  void OpenStatement();
  void CloseStatement();
  void MidStatement();
  void ParseLine(std::string_view text, bool wholeNames);
  void ListStatement(StmtKind kind);
  void LoadStatement(bool run);
  void DataStatement();
  void ScreenStatement(Kw kw);  // screen_statements.cpp
  void SkipStatement();
  int32_t FileNumber();  // after '#'
  int32_t LineNumber();  // a line number token, or -1 with a syntax error
  void TargetField(int32_t stmt, int field, int32_t lineNumber);

  // Expressions: each returns a node index, or -1 after Fail.
  int32_t Expression();
  int32_t NumericExpression();
  int32_t StringExpression();
  int32_t Imp();
  int32_t Binary(int level);
  int32_t Negation();
  int32_t Relation();
  int32_t Additive();
  int32_t Modulo();
  int32_t IntDivision();
  int32_t Multiplicative();
  int32_t Unary();
  int32_t Power();
  int32_t Atom();
  int32_t Builtin(Kw kw);
  int32_t UserFunctionCall();
  int32_t Variable(bool forArrayBounds = false);
  int32_t Arithmetic(Op op, int32_t left, int32_t right);
  int32_t Compare(char symbol, int32_t left, int32_t right);
  int32_t Logical(Op op, int32_t left, int32_t right);
  int32_t MakeNode(Node node, int32_t depth);
  int32_t Constant(double value, VarType type);
  int32_t StringConstant(std::string_view text);
  int32_t Depth(int32_t node) const { return node < 0 ? 0 : depth_[node]; }
  VarType TypeOf(int32_t node) const { return image_.nodes[node].type; }

  VarType NameType(const Token& name) const;
  int32_t ScalarNode(const std::string& name, VarType type);
  int32_t ArrayId(const std::string& name, VarType type);

  ProgramImage& image_;
  Symbols& symbols_;
  std::vector<Token> tokens_;
  size_t pos_ = 0;
  int32_t lineIndex_ = 0;
  int failCode_ = 0;
  int nesting_ = 0;  // recursive descent depth inside one expression
  std::vector<int32_t> depth_;  // by node
  // Parameters of the DEF FN being parsed: their names resolve to these nodes.
  std::vector<std::pair<std::pair<std::string, VarType>, int32_t>> params_;

  struct Fixup {
    int32_t stmt;  // statement whose field holds a line number, or -1 for an aux entry
    int field;     // 0..4 = a..e, or the aux index
    bool data;     // RESTORE: the line's first DATA item instead of its first statement
  };
  std::vector<Fixup> fixups_;
  VarType typesBefore_[26];  // DEFINT and the rest as the line being parsed found them
};
