#include "basic/parser.h"

#include <algorithm>
#include <cstring>

#include "basic/errors.h"

namespace {

// The highest line number a program may use.
constexpr double kMaxLineNumber = 65529;

// PRINT items in aux: a kind, then a node.
enum PrintItem : int32_t { kItemExpr, kItemComma, kItemSemicolon, kItemTab, kItemSpc };

int32_t& Field(Stmt& s, int field) {
  switch (field) {
    case 0: return s.a;
    case 1: return s.b;
    case 2: return s.c;
    case 3: return s.d;
    default: return s.e;
  }
}

}  // namespace

Parser::Parser(ProgramImage& image, Symbols& symbols) : image_(image), symbols_(symbols) {
  depth_.assign(image_.nodes.size(), 0);
}

// ---- tokens ----

bool Parser::AcceptSymbol(char c) {
  if (!AtSymbol(c)) return false;
  Take();
  return true;
}

bool Parser::AcceptKeyword(Kw kw) {
  if (!AtKeyword(kw)) return false;
  Take();
  return true;
}

bool Parser::ExpectSymbol(char c) {
  if (AcceptSymbol(c)) return true;
  Fail(kErrSyntax);
  return false;
}

bool Parser::ExpectKeyword(Kw kw) {
  if (AcceptKeyword(kw)) return true;
  Fail(kErrSyntax);
  return false;
}

bool Parser::AtStatementEnd() const {
  return Peek().kind == TokKind::End || AtSymbol(':') || AtKeyword(Kw::Else);
}

void Parser::Fail(int code) {
  if (!failCode_) failCode_ = code;
}

int32_t Parser::Emit(StmtKind kind, int32_t a, int32_t b, int32_t c, int32_t d, int32_t e) {
  image_.stmts.push_back(Stmt{kind, lineIndex_, a, b, c, d, e});
  return static_cast<int32_t>(image_.stmts.size() - 1);
}

void Parser::TargetField(int32_t stmt, int field, int32_t lineNumber) {
  if (stmt >= 0)
    Field(image_.stmts[stmt], field) = lineNumber;
  else
    image_.aux[field] = lineNumber;
  fixups_.push_back(Fixup{stmt, field, false});
}

int32_t Parser::LineNumber() {
  const Token& t = Peek();
  if (t.kind != TokKind::Number || t.number < 0 || t.number > kMaxLineNumber || t.number != static_cast<int32_t>(t.number)) {
    Fail(kErrSyntax);
    return -1;
  }
  Take();
  return static_cast<int32_t>(t.number);
}

// ---- lines ----

void Parser::AddLine(int32_t number, std::string_view text) {
  lineIndex_ = static_cast<int32_t>(image_.lines.size());
  image_.lines.push_back(LineInfo{number, static_cast<int32_t>(image_.stmts.size()), -1, std::string(text)});
  ParseLine(text, false);
  if (failCode_ == 0) return;
  // A line that does not parse with reserved words read at the start of names may be one whose
  // names start with one (TOTAL = 5): it is read again with whole names, and kept that way if that
  // mends it. A line the family reads is read as the family reads it.
  const size_t stmtMark = static_cast<size_t>(image_.lines[lineIndex_].firstStmt);
  size_t dataMark = image_.data.size();
  while (dataMark > 0 && image_.data[dataMark - 1].line == lineIndex_) --dataMark;
  VarType types[26];
  std::copy(std::begin(typesBefore_), std::end(typesBefore_), std::begin(types));
  auto undo = [&] {
    image_.stmts.resize(stmtMark);
    image_.data.resize(dataMark);
    fixups_.erase(std::remove_if(fixups_.begin(), fixups_.end(),
                                 [&](const Fixup& f) { return f.stmt >= static_cast<int32_t>(stmtMark); }),
                  fixups_.end());
    std::copy(std::begin(types), std::end(types), std::begin(symbols_.defaultType));
  };
  undo();
  ParseLine(text, true);
  if (failCode_ == 0) {
    image_.lines[lineIndex_].wholeNames = true;
    return;
  }
  undo();
  ParseLine(text, false);
}

void Parser::ParseLine(std::string_view text, bool wholeNames) {
  std::copy(std::begin(symbols_.defaultType), std::end(symbols_.defaultType), std::begin(typesBefore_));
  tokens_ = Tokenize(text, wholeNames);
  pos_ = 0;
  failCode_ = 0;
  StatementList(false);
}

void Parser::StatementList(bool insideIf) {
  for (;;) {
    while (AcceptSymbol(':')) {
    }
    if (Peek().kind == TokKind::End) return;
    if (AtKeyword(Kw::Else)) {
      if (insideIf) return;
      // ELSE outside an IF ends the line's work, as a remark would.
      pos_ = tokens_.size() - 1;
      return;
    }
    const auto mark = static_cast<int32_t>(image_.stmts.size());
    Statement();
    if (!Failed() && !AtStatementEnd()) Fail(kErrSyntax);
    if (Failed()) {
      // What the failed statement emitted goes; the failure stands in its place.
      image_.stmts.resize(mark);
      fixups_.erase(std::remove_if(fixups_.begin(), fixups_.end(), [&](const Fixup& f) { return f.stmt >= mark; }),
                    fixups_.end());
      Emit(StmtKind::Fail, failCode_);
      pos_ = tokens_.size() - 1;
      return;
    }
  }
}

void Parser::Statement() {
  const Token& t = Peek();
  if (t.kind == TokKind::Name) {
    Assignment();
    return;
  }
  if (t.kind != TokKind::Keyword) {
    Fail(kErrSyntax);
    return;
  }
  const Kw kw = t.kw;
  Take();
  switch (kw) {
    case Kw::Let: Assignment(); break;
    case Kw::Print: PrintStatement(false); break;
    case Kw::Write: PrintStatement(true); break;
    case Kw::Input: InputStatement(false); break;
    case Kw::Line:
      if (AcceptKeyword(Kw::Input))
        InputStatement(true);
      else
        ScreenStatement(Kw::Line);
      break;
    case Kw::If: IfStatement(); break;
    case Kw::For: ForStatement(); break;
    case Kw::Next: NextStatement(); break;
    case Kw::Goto: GotoLike(StmtKind::Goto); break;
    case Kw::Gosub: GotoLike(StmtKind::Gosub); break;
    case Kw::Return: {
      const int32_t s = Emit(StmtKind::Return);
      if (!AtStatementEnd()) {
        image_.stmts[s].b = 1;
        const int32_t n = LineNumber();
        if (n >= 0) TargetField(s, 0, n);
      }
      break;
    }
    case Kw::While: {
      const int32_t cond = NumericExpression();
      Emit(StmtKind::While, cond);
      break;
    }
    case Kw::Wend: Emit(StmtKind::Wend); break;
    case Kw::On: OnStatement(); break;
    case Kw::End: Emit(StmtKind::End); break;
    case Kw::Stop: Emit(StmtKind::Stop); break;
    case Kw::System: Emit(StmtKind::System); break;
    case Kw::Data: DataStatement(); break;
    case Kw::Read: ReadStatement(); break;
    case Kw::Restore: RestoreStatement(); break;
    case Kw::Swap: {
      const int32_t a = Variable();
      if (!ExpectSymbol(',')) break;
      const int32_t b = Variable();
      if (Failed()) break;
      if (TypeOf(a) != TypeOf(b)) {
        Fail(kErrTypeMismatch);
        break;
      }
      Emit(StmtKind::Swap, a, b);
      break;
    }
    case Kw::Def: DefStatement(); break;
    case Kw::Defint: DefTypeStatement(VarType::Integer); break;
    case Kw::Defsng: DefTypeStatement(VarType::Single); break;
    case Kw::Defdbl: DefTypeStatement(VarType::Double); break;
    case Kw::Defstr: DefTypeStatement(VarType::String); break;
    case Kw::Randomize: Emit(StmtKind::Randomize, AtStatementEnd() ? -1 : NumericExpression()); break;
    case Kw::Error: Emit(StmtKind::Error, NumericExpression()); break;
    case Kw::Resume: ResumeStatement(); break;
    case Kw::Dim: DimStatement(); break;
    case Kw::Erase: EraseStatement(); break;
    case Kw::Option: {
      if (!ExpectKeyword(Kw::Base)) break;
      const Token& n = Peek();
      if (n.kind != TokKind::Number || (n.number != 0 && n.number != 1)) {
        Fail(kErrSyntax);
        break;
      }
      Take();
      Emit(StmtKind::OptionBase, static_cast<int32_t>(n.number));
      break;
    }
    case Kw::Open: OpenStatement(); break;
    case Kw::Close: CloseStatement(); break;
    case Kw::Kill: Emit(StmtKind::Kill, StringExpression()); break;
    case Kw::MidS: MidStatement(); break;
    case Kw::Rem: Take(); Emit(StmtKind::Nop); break;
    case Kw::Cls: Emit(StmtKind::Cls); break;
    case Kw::Clear: SkipStatement(); Emit(StmtKind::Clear); break;
    case Kw::Run: {
      // RUN "name" loads a program and runs it, as LOAD "name",R does.
      if (Peek().kind != TokKind::Number && !AtStatementEnd()) {
        LoadStatement(true);
        break;
      }
      const int32_t s = Emit(StmtKind::Run);
      if (!AtStatementEnd()) {
        image_.stmts[s].b = 1;
        const int32_t n = LineNumber();
        if (n >= 0) TargetField(s, 0, n);
      }
      break;
    }
    case Kw::List: ListStatement(StmtKind::List); break;
    case Kw::Delete: ListStatement(StmtKind::Delete); break;
    case Kw::New: Emit(StmtKind::New); break;
    case Kw::Cont: Emit(StmtKind::Cont); break;
    case Kw::Load: LoadStatement(false); break;
    case Kw::Save: {
      // SAVE name[,A]: the program is always saved as text.
      const int32_t name = StringExpression();
      if (AcceptSymbol(',')) {
        const Token& a = Peek();
        if (a.kind != TokKind::Name || a.text != "A" || a.hasSuffix) {
          Fail(kErrSyntax);
          break;
        }
        Take();
      }
      Emit(StmtKind::Save, name);
      break;
    }
    case Kw::Tron: Emit(StmtKind::Tron); break;
    case Kw::Troff: Emit(StmtKind::Troff); break;
    // The console's statements (screen_statements.cpp); KEY, SCREEN and BEEP do nothing.
    case Kw::Width:
    case Kw::Locate:
    case Kw::Color:
    case Kw::Pset:
    case Kw::Preset:
    case Kw::Circle:
    case Kw::Paint:
    case Kw::Picture:
    case Kw::Tile:
    case Kw::Showpage:
    case Kw::Showdouble:
      ScreenStatement(kw);
      break;
    case Kw::Beep:
    case Kw::Key:
    case Kw::Screen:
      SkipStatement();
      Emit(StmtKind::Nop);
      break;
    default: Fail(kErrSyntax); break;
  }
}

void Parser::SkipStatement() {
  while (!AtStatementEnd()) Take();
}

void Parser::Assignment() {
  const int32_t target = Variable();
  if (Failed()) return;
  if (!ExpectSymbol('=')) return;
  const int32_t value = Expression();
  if (Failed()) return;
  if ((TypeOf(target) == VarType::String) != (TypeOf(value) == VarType::String)) {
    Fail(kErrTypeMismatch);
    return;
  }
  Emit(StmtKind::Let, target, value);
}

int32_t Parser::FileNumber() {
  AcceptSymbol('#');
  return NumericExpression();
}

void Parser::PrintStatement(bool write) {
  int32_t file = -1;
  if (AcceptSymbol('#')) {
    file = NumericExpression();
    if (Failed()) return;
    if (!AtStatementEnd() && !ExpectSymbol(',')) return;
  }
  if (write) {
    std::vector<int32_t> items;
    while (!AtStatementEnd() && !Failed()) {
      items.push_back(Expression());
      if (!AtStatementEnd()) ExpectSymbol(',');
    }
    if (Failed()) return;
    const int32_t start = static_cast<int32_t>(image_.aux.size());
    image_.aux.insert(image_.aux.end(), items.begin(), items.end());
    Emit(StmtKind::Write, file, start, static_cast<int32_t>(items.size()));
    return;
  }
  int32_t format = -1;
  if (AcceptKeyword(Kw::Using)) {
    format = StringExpression();
    if (Failed() || !ExpectSymbol(';')) return;
  }
  std::vector<int32_t> items;
  while (!AtStatementEnd() && !Failed()) {
    if (AcceptSymbol(',')) {
      items.insert(items.end(), {kItemComma, -1});
    } else if (AcceptSymbol(';')) {
      items.insert(items.end(), {kItemSemicolon, -1});
    } else if (format < 0 && (AtKeyword(Kw::Tab) || AtKeyword(Kw::Spc))) {
      const int32_t kind = AtKeyword(Kw::Tab) ? kItemTab : kItemSpc;
      Take();
      if (!ExpectSymbol('(')) return;
      const int32_t n = NumericExpression();
      if (!ExpectSymbol(')')) return;
      items.insert(items.end(), {kind, n});
    } else {
      items.insert(items.end(), {kItemExpr, Expression()});
    }
  }
  if (Failed()) return;
  const int32_t start = static_cast<int32_t>(image_.aux.size());
  image_.aux.insert(image_.aux.end(), items.begin(), items.end());
  Emit(StmtKind::Print, file, start, static_cast<int32_t>(items.size() / 2), format);
}

void Parser::InputStatement(bool lineInput) {
  int32_t file = -1, prompt = -1, flags = 0;
  if (AcceptSymbol('#')) {
    file = NumericExpression();
    if (!ExpectSymbol(',')) return;
  } else {
    if (AcceptSymbol(';')) flags |= 2;
    if (Peek().kind == TokKind::String) {
      prompt = StringConstant(Take().text);
      if (AcceptSymbol(';')) {
        if (!lineInput) flags |= 1;
      } else if (!ExpectSymbol(',')) {
        return;
      }
    } else if (!lineInput) {
      flags |= 1;
    }
  }
  std::vector<int32_t> targets;
  do {
    targets.push_back(Variable());
    if (Failed()) return;
  } while (!lineInput && AcceptSymbol(','));
  if (lineInput && TypeOf(targets[0]) != VarType::String) {
    Fail(kErrTypeMismatch);
    return;
  }
  const int32_t start = static_cast<int32_t>(image_.aux.size());
  image_.aux.insert(image_.aux.end(), targets.begin(), targets.end());
  Emit(lineInput ? StmtKind::LineInput : StmtKind::Input, file, start, static_cast<int32_t>(targets.size()), prompt,
       flags);
}

void Parser::IfStatement() {
  const int32_t cond = NumericExpression();
  if (Failed()) return;
  const int32_t test = Emit(StmtKind::IfFalse, cond);
  // THEN line, THEN statements, or GOTO line. A branch that fails has emitted its failing statement
  // (StatementList does that) or emits it here; either way the line ends with it.
  auto branch = [&](bool afterGoto) {
    if (afterGoto || Peek().kind == TokKind::Number) {
      const int32_t n = LineNumber();
      if (Failed()) return;
      TargetField(Emit(StmtKind::Goto), 0, n);
      return;
    }
    StatementList(true);
  };
  auto endWithFailure = [&]() {
    if (image_.stmts.back().kind != StmtKind::Fail) Emit(StmtKind::Fail, failCode_);
    failCode_ = 0;
    pos_ = tokens_.size() - 1;
  };
  if (AcceptKeyword(Kw::Goto)) {
    branch(true);
  } else if (AcceptKeyword(Kw::Then)) {
    branch(false);
  } else {
    Fail(kErrSyntax);
  }
  if (Failed()) {
    endWithFailure();
    image_.stmts[test].b = static_cast<int32_t>(image_.stmts.size());
    return;
  }
  // A colon may stand before ELSE.
  const size_t save = pos_;
  while (AcceptSymbol(':')) {
  }
  if (AcceptKeyword(Kw::Else)) {
    const int32_t skip = Emit(StmtKind::Jump);
    image_.stmts[test].b = static_cast<int32_t>(image_.stmts.size());
    branch(false);
    if (Failed()) endWithFailure();
    image_.stmts[skip].a = static_cast<int32_t>(image_.stmts.size());
  } else {
    pos_ = save;
    image_.stmts[test].b = static_cast<int32_t>(image_.stmts.size());
  }
}

void Parser::ForStatement() {
  const int32_t var = Variable();
  if (Failed()) return;
  const Node& v = image_.nodes[var];
  if (v.op != Op::Var) {
    Fail(v.op == Op::StrVar ? kErrTypeMismatch : kErrSyntax);
    return;
  }
  if (!ExpectSymbol('=')) return;
  const int32_t start = NumericExpression();
  if (!ExpectKeyword(Kw::To)) return;
  const int32_t limit = NumericExpression();
  int32_t step = -1;
  if (AcceptKeyword(Kw::Step)) step = NumericExpression();
  if (Failed()) return;
  Emit(StmtKind::For, var, start, limit, step);
}

void Parser::NextStatement() {
  std::vector<int32_t> vars;
  if (!AtStatementEnd()) {
    do {
      const int32_t v = Variable();
      if (Failed()) return;
      if (image_.nodes[v].op != Op::Var) {
        Fail(kErrSyntax);
        return;
      }
      vars.push_back(v);
    } while (AcceptSymbol(','));
  }
  const int32_t start = static_cast<int32_t>(image_.aux.size());
  image_.aux.insert(image_.aux.end(), vars.begin(), vars.end());
  Emit(StmtKind::Next, -1, start, static_cast<int32_t>(vars.size()));
}

void Parser::GotoLike(StmtKind kind) {
  const int32_t n = LineNumber();
  if (Failed()) return;
  TargetField(Emit(kind), 0, n);
}

void Parser::OnStatement() {
  if (AcceptKeyword(Kw::Error)) {
    if (!ExpectKeyword(Kw::Goto)) return;
    const int32_t n = LineNumber();
    if (Failed()) return;
    if (n == 0)
      Emit(StmtKind::OnErrorGoto, kTrapOff);
    else
      TargetField(Emit(StmtKind::OnErrorGoto), 0, n);
    return;
  }
  const int32_t selector = NumericExpression();
  if (Failed()) return;
  StmtKind kind;
  if (AcceptKeyword(Kw::Goto)) {
    kind = StmtKind::OnGoto;
  } else if (AcceptKeyword(Kw::Gosub)) {
    kind = StmtKind::OnGosub;
  } else {
    Fail(kErrSyntax);
    return;
  }
  std::vector<int32_t> numbers;
  do {
    numbers.push_back(LineNumber());
    if (Failed()) return;
  } while (AcceptSymbol(','));
  const int32_t start = static_cast<int32_t>(image_.aux.size());
  image_.aux.resize(image_.aux.size() + numbers.size());
  for (size_t i = 0; i < numbers.size(); ++i) TargetField(-1, start + static_cast<int32_t>(i), numbers[i]);
  Emit(kind, selector, start, static_cast<int32_t>(numbers.size()));
}

void Parser::DataStatement() {
  // The raw text: items split at commas outside quotes; unquoted items lose their outer blanks.
  const std::string text = Peek().kind == TokKind::Raw ? Take().text : std::string();
  std::string item;
  bool quoted = false, wasQuoted = false, afterQuote = false;
  auto finish = [&]() {
    if (!wasQuoted) {
      const size_t first = item.find_first_not_of(' ');
      const size_t last = item.find_last_not_of(' ');
      item = first == std::string::npos ? std::string() : item.substr(first, last - first + 1);
    }
    image_.data.push_back(DataItem{item, wasQuoted, lineIndex_});
    item.clear();
    wasQuoted = afterQuote = false;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (quoted) {
      if (c == '"') {
        quoted = false;
        afterQuote = true;
      } else {
        item += static_cast<char>(c);
      }
    } else if (c == ',') {
      finish();
    } else if (c == '"' && item.find_first_not_of(' ') == std::string::npos && !afterQuote) {
      quoted = wasQuoted = true;
      item.clear();
    } else if (!afterQuote) {
      item += static_cast<char>(c);
      if (((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && i + 1 < text.size()) item += text[++i];
    }
  }
  finish();
  Emit(StmtKind::Nop);
}

void Parser::ReadStatement() {
  std::vector<int32_t> targets;
  do {
    targets.push_back(Variable());
    if (Failed()) return;
  } while (AcceptSymbol(','));
  const int32_t start = static_cast<int32_t>(image_.aux.size());
  image_.aux.insert(image_.aux.end(), targets.begin(), targets.end());
  Emit(StmtKind::Read, -1, start, static_cast<int32_t>(targets.size()));
}

void Parser::RestoreStatement() {
  const int32_t s = Emit(StmtKind::Restore);
  if (AtStatementEnd()) return;
  const int32_t n = LineNumber();
  if (Failed()) return;
  image_.stmts[s].a = n;
  fixups_.push_back(Fixup{s, 0, true});
}

void Parser::ResumeStatement() {
  if (AcceptKeyword(Kw::Next)) {
    Emit(StmtKind::Resume, 1);
  } else if (AtStatementEnd()) {
    Emit(StmtKind::Resume, 0);
  } else {
    const int32_t n = LineNumber();
    if (Failed()) return;
    if (n == 0)
      Emit(StmtKind::Resume, 0);
    else
      TargetField(Emit(StmtKind::Resume, 2), 1, n);
  }
}

void Parser::DefStatement() {
  if (!ExpectKeyword(Kw::Fn)) return;
  const Token name = Peek();
  if (name.kind != TokKind::Name) {
    Fail(kErrSyntax);
    return;
  }
  Take();
  const VarType type = NameType(name);
  const auto key = std::make_pair(name.text, type);
  auto found = symbols_.functions.find(key);
  if (found == symbols_.functions.end())
    found = symbols_.functions.emplace(key, static_cast<int32_t>(symbols_.functions.size())).first;
  // Each parameter gets a slot of its own, named so that no program variable can meet it.
  std::vector<int32_t> params;
  params_.clear();
  if (AcceptSymbol('(')) {
    do {
      const Token p = Peek();
      if (p.kind != TokKind::Name) {
        Fail(kErrSyntax);
        return;
      }
      Take();
      const VarType ptype = NameType(p);
      const int32_t node = ScalarNode("FN " + name.text + " " + p.text, ptype);
      params_.push_back({{p.text, ptype}, node});
      params.push_back(node);
    } while (AcceptSymbol(','));
    if (!ExpectSymbol(')')) return;
  }
  if (!ExpectSymbol('=')) return;
  const int32_t body = Expression();
  params_.clear();
  if (Failed()) return;
  if ((TypeOf(body) == VarType::String) != (type == VarType::String)) {
    Fail(kErrTypeMismatch);
    return;
  }
  const int32_t start = static_cast<int32_t>(image_.aux.size());
  image_.aux.insert(image_.aux.end(), params.begin(), params.end());
  Emit(StmtKind::DefFn, found->second, start, static_cast<int32_t>(params.size()), body);
}

void Parser::DefTypeStatement(VarType type) {
  // Letters and ranges of letters; the types apply to the names the parser meets after them.
  do {
    const Token first = Peek();
    if (first.kind != TokKind::Name || first.text.size() != 1 || first.hasSuffix) {
      Fail(kErrSyntax);
      return;
    }
    Take();
    char last = first.text[0];
    if (AcceptSymbol('-')) {
      const Token to = Peek();
      if (to.kind != TokKind::Name || to.text.size() != 1 || to.hasSuffix) {
        Fail(kErrSyntax);
        return;
      }
      Take();
      last = to.text[0];
    }
    for (char c = first.text[0]; c <= last; ++c) symbols_.defaultType[c - 'A'] = type;
  } while (AcceptSymbol(','));
  Emit(StmtKind::Nop);
}

void Parser::DimStatement() {
  std::vector<int32_t> arrays;
  do {
    const int32_t a = Variable(true);
    if (Failed()) return;
    if (image_.nodes[a].op != Op::Element) {
      Fail(kErrSyntax);
      return;
    }
    arrays.push_back(a);
  } while (AcceptSymbol(','));
  const int32_t start = static_cast<int32_t>(image_.aux.size());
  image_.aux.insert(image_.aux.end(), arrays.begin(), arrays.end());
  Emit(StmtKind::Dim, -1, start, static_cast<int32_t>(arrays.size()));
}

void Parser::EraseStatement() {
  std::vector<int32_t> ids;
  do {
    const Token name = Peek();
    if (name.kind != TokKind::Name) {
      Fail(kErrSyntax);
      return;
    }
    Take();
    ids.push_back(ArrayId(name.text, NameType(name)));
  } while (AcceptSymbol(','));
  const int32_t start = static_cast<int32_t>(image_.aux.size());
  image_.aux.insert(image_.aux.end(), ids.begin(), ids.end());
  Emit(StmtKind::Erase, -1, start, static_cast<int32_t>(ids.size()));
}

void Parser::OpenStatement() {
  // OPEN mode$, #n, name$   or   OPEN name$ FOR INPUT|OUTPUT|APPEND AS #n
  const int32_t first = StringExpression();
  if (Failed()) return;
  if (AcceptSymbol(',')) {
    const int32_t number = FileNumber();
    if (!ExpectSymbol(',')) return;
    const int32_t name = StringExpression();
    if (Failed()) return;
    Emit(StmtKind::Open, name, first, number);
    return;
  }
  if (!ExpectKeyword(Kw::For)) return;
  const char* mode = nullptr;
  if (AcceptKeyword(Kw::Input))
    mode = "I";
  else if (AcceptKeyword(Kw::Output))
    mode = "O";
  else if (AcceptKeyword(Kw::Append))
    mode = "A";
  else {
    Fail(kErrSyntax);
    return;
  }
  if (!ExpectKeyword(Kw::As)) return;
  const int32_t number = FileNumber();
  if (Failed()) return;
  Emit(StmtKind::Open, first, StringConstant(mode), number);
}

void Parser::CloseStatement() {
  std::vector<int32_t> numbers;
  while (!AtStatementEnd() && !Failed()) {
    numbers.push_back(FileNumber());
    if (!AtStatementEnd()) ExpectSymbol(',');
  }
  if (Failed()) return;
  const int32_t start = static_cast<int32_t>(image_.aux.size());
  image_.aux.insert(image_.aux.end(), numbers.begin(), numbers.end());
  Emit(StmtKind::Close, -1, start, static_cast<int32_t>(numbers.size()));
}

void Parser::MidStatement() {
  // MID$(target$, start[, length]) = value$
  if (!ExpectSymbol('(')) return;
  const int32_t target = Variable();
  if (Failed()) return;
  if (TypeOf(target) != VarType::String) {
    Fail(kErrTypeMismatch);
    return;
  }
  if (!ExpectSymbol(',')) return;
  const int32_t start = NumericExpression();
  int32_t length = -1;
  if (AcceptSymbol(',')) length = NumericExpression();
  if (!ExpectSymbol(')') || !ExpectSymbol('=')) return;
  const int32_t value = StringExpression();
  if (Failed()) return;
  Emit(StmtKind::MidAssign, target, start, length, value);
}

void Parser::LoadStatement(bool run) {
  // LOAD name[,R], RUN name[,R]
  const int32_t name = StringExpression();
  if (AcceptSymbol(',')) {
    const Token& r = Peek();
    if (r.kind != TokKind::Name || r.text != "R" || r.hasSuffix) {
      Fail(kErrSyntax);
      return;
    }
    Take();
    run = true;
  }
  if (Failed()) return;
  Emit(StmtKind::Load, name, run ? 1 : 0);
}

void Parser::ListStatement(StmtKind kind) {
  // LIST [from][-[to]], DELETE [from][-[to]]
  int32_t from = 0, to = 65535;
  if (Peek().kind == TokKind::Number) from = to = LineNumber();
  if (AcceptSymbol('-')) {
    to = 65535;
    if (Peek().kind == TokKind::Number) to = LineNumber();
  } else if (kind == StmtKind::Delete && from == 0 && to == 65535) {
    // DELETE needs a line or a range: it never takes the whole program.
    Fail(kErrIllegalFunctionCall);
    return;
  }
  Emit(kind, from, to);
}

// ---- expressions ----

int32_t Parser::MakeNode(Node node, int32_t depth) {
  if (depth > kMaxNodeDepth) {
    Fail(kErrOutOfMemory);
    return -1;
  }
  image_.nodes.push_back(node);
  depth_.push_back(static_cast<int32_t>(depth));
  return static_cast<int32_t>(image_.nodes.size() - 1);
}

int32_t Parser::Constant(double value, VarType type) {
  Node n{Op::Const, type};
  n.num = value;
  return MakeNode(n, 1);
}

int32_t Parser::StringConstant(std::string_view text) {
  const auto length = static_cast<int32_t>(text.size());
  TrackedString s = StrNew(length);
  if (length) std::memcpy(s, text.data(), text.size());
  image_.constants.push_back(s);
  Node n{Op::StrConst, VarType::String};
  n.a = static_cast<int32_t>(image_.constants.size() - 1);
  return MakeNode(n, 1);
}

int32_t Parser::NumericExpression() {
  const int32_t e = Expression();
  if (e >= 0 && TypeOf(e) == VarType::String) {
    Fail(kErrTypeMismatch);
    return -1;
  }
  return e;
}

int32_t Parser::StringExpression() {
  const int32_t e = Expression();
  if (e >= 0 && TypeOf(e) != VarType::String) {
    Fail(kErrTypeMismatch);
    return -1;
  }
  return e;
}

int32_t Parser::Expression() {
  if (Failed()) return -1;
  // Every nested expression passes through here, so this bounds the parser's own recursion.
  if (++nesting_ > kMaxExpressionDepth) {
    --nesting_;
    Fail(kErrOutOfMemory);
    return -1;
  }
  const int32_t e = Imp();
  --nesting_;
  return Failed() ? -1 : e;
}

// IMP, EQV, XOR, OR, AND: left to right, loosest first.
int32_t Parser::Imp() { return Binary(0); }

int32_t Parser::Binary(int level) {
  static constexpr Kw kOps[] = {Kw::Imp, Kw::Eqv, Kw::Xor, Kw::Or, Kw::And};
  static constexpr Op kNodeOps[] = {Op::Imp, Op::Eqv, Op::Xor, Op::Or, Op::And};
  auto operand = [&]() -> int32_t { return level < 4 ? Binary(level + 1) : Negation(); };
  int32_t left = operand();
  while (!Failed() && AcceptKeyword(kOps[level])) {
    const int32_t right = operand();
    if (Failed()) return -1;
    left = Logical(kNodeOps[level], left, right);
  }
  return Failed() ? -1 : left;
}

// NOT binds looser than the relations.
int32_t Parser::Negation() {
  if (!AcceptKeyword(Kw::Not)) return Relation();
  if (++nesting_ > kMaxExpressionDepth) {
    Fail(kErrOutOfMemory);
    return -1;
  }
  const int32_t x = Negation();
  --nesting_;
  if (Failed()) return -1;
  return Logical(Op::Not, x, -1);
}

int32_t Parser::Logical(Op op, int32_t left, int32_t right) {
  if (TypeOf(left) == VarType::String || (right >= 0 && TypeOf(right) == VarType::String)) {
    Fail(kErrTypeMismatch);
    return -1;
  }
  Node n{op, VarType::Integer};
  n.a = left;
  n.b = right;
  return MakeNode(n, std::max(Depth(left), Depth(right)) + 1);
}

int32_t Parser::Relation() {
  int32_t left = Additive();
  for (;;) {
    if (Failed()) return -1;
    const Token& t = Peek();
    if (t.kind != TokKind::Symbol) return left;
    const char s = t.symbol;
    if (s != '=' && s != '<' && s != '>' && s != kSymLessEqual && s != kSymGreaterEqual && s != kSymNotEqual)
      return left;
    Take();
    const int32_t right = Additive();
    if (Failed()) return -1;
    left = Compare(s, left, right);
  }
}

int32_t Parser::Compare(char symbol, int32_t left, int32_t right) {
  const bool ls = TypeOf(left) == VarType::String, rs = TypeOf(right) == VarType::String;
  if (ls != rs) {
    Fail(kErrTypeMismatch);
    return -1;
  }
  Op op;
  switch (symbol) {
    case '=': op = ls ? Op::StrEq : Op::Eq; break;
    case '<': op = ls ? Op::StrLt : Op::Lt; break;
    case '>': op = ls ? Op::StrGt : Op::Gt; break;
    case kSymLessEqual: op = ls ? Op::StrLe : Op::Le; break;
    case kSymGreaterEqual: op = ls ? Op::StrGe : Op::Ge; break;
    default: op = ls ? Op::StrNe : Op::Ne; break;
  }
  Node n{op, VarType::Integer};
  n.a = left;
  n.b = right;
  return MakeNode(n, std::max(Depth(left), Depth(right)) + 1);
}

int32_t Parser::Additive() {
  int32_t left = Modulo();
  while (!Failed() && (AtSymbol('+') || AtSymbol('-'))) {
    const bool plus = Take().symbol == '+';
    const int32_t right = Modulo();
    if (Failed()) return -1;
    if (plus && TypeOf(left) == VarType::String && TypeOf(right) == VarType::String) {
      Node n{Op::Concat, VarType::String};
      n.a = left;
      n.b = right;
      left = MakeNode(n, std::max(Depth(left), Depth(right)) + 1);
    } else {
      left = Arithmetic(plus ? Op::Add : Op::Sub, left, right);
    }
  }
  return Failed() ? -1 : left;
}

int32_t Parser::Modulo() {
  int32_t left = IntDivision();
  while (!Failed() && AcceptKeyword(Kw::Mod)) left = Arithmetic(Op::Mod, left, IntDivision());
  return Failed() ? -1 : left;
}

int32_t Parser::IntDivision() {
  int32_t left = Multiplicative();
  while (!Failed() && AcceptSymbol('\\')) left = Arithmetic(Op::IntDiv, left, Multiplicative());
  return Failed() ? -1 : left;
}

int32_t Parser::Multiplicative() {
  int32_t left = Unary();
  while (!Failed() && (AtSymbol('*') || AtSymbol('/'))) {
    const bool times = Take().symbol == '*';
    left = Arithmetic(times ? Op::Mul : Op::Div, left, Unary());
  }
  return Failed() ? -1 : left;
}

int32_t Parser::Unary() {
  if (AtSymbol('-') || AtSymbol('+')) {
    const bool minus = Take().symbol == '-';
    if (++nesting_ > kMaxExpressionDepth) {
      Fail(kErrOutOfMemory);
      return -1;
    }
    const int32_t x = Unary();
    --nesting_;
    if (Failed()) return -1;
    if (TypeOf(x) == VarType::String) {
      Fail(kErrTypeMismatch);
      return -1;
    }
    if (!minus) return x;
    Node n{Op::Neg, TypeOf(x)};
    n.a = x;
    return MakeNode(n, Depth(x) + 1);
  }
  return Power();
}

int32_t Parser::Power() {
  int32_t left = Atom();
  while (!Failed() && AcceptSymbol('^')) {
    // The exponent may carry its own sign: 2^-1.
    int32_t right;
    if (AtSymbol('-') || AtSymbol('+'))
      right = Unary();
    else
      right = Atom();
    left = Arithmetic(Op::Pow, left, right);
  }
  return Failed() ? -1 : left;
}

int32_t Parser::Arithmetic(Op op, int32_t left, int32_t right) {
  if (Failed() || left < 0 || right < 0) return -1;
  if (TypeOf(left) == VarType::String || TypeOf(right) == VarType::String) {
    Fail(kErrTypeMismatch);
    return -1;
  }
  VarType type = WiderType(TypeOf(left), TypeOf(right));
  switch (op) {
    case Op::Div:
    case Op::Pow:
      if (type == VarType::Integer) type = VarType::Single;
      break;
    case Op::IntDiv:
    case Op::Mod: type = VarType::Integer; break;
    default: break;
  }
  Node n{op, type};
  n.a = left;
  n.b = right;
  return MakeNode(n, std::max(Depth(left), Depth(right)) + 1);
}

int32_t Parser::Atom() {
  if (Failed()) return -1;
  const Token& t = Peek();
  switch (t.kind) {
    case TokKind::Number: {
      Take();
      if (t.numberError) {
        Fail(t.numberError);
        return -1;
      }
      const VarType type = t.integerConstant ? VarType::Integer : t.doubleConstant ? VarType::Double : VarType::Single;
      return Constant(type == VarType::Single ? static_cast<double>(static_cast<float>(t.number)) : t.number, type);
    }
    case TokKind::String: return StringConstant(Take().text);
    case TokKind::Name: return Variable();
    case TokKind::Symbol:
      if (AcceptSymbol('(')) {
        const int32_t e = Expression();
        if (!ExpectSymbol(')')) return -1;
        return e;
      }
      break;
    case TokKind::Keyword: {
      const Kw kw = t.kw;
      if (kw == Kw::Fn) {
        Take();
        return UserFunctionCall();
      }
      Take();
      return Builtin(kw);
    }
    default: break;
  }
  Fail(t.kind == TokKind::End || AtSymbol(':') ? kErrMissingOperand : kErrSyntax);
  return -1;
}

int32_t Parser::Builtin(Kw kw) {
  // Functions without an argument list.
  auto plain = [&](VarType type) {
    Node n{Op::Builtin, type};
    n.fn = kw;
    return MakeNode(n, 1);
  };
  switch (kw) {
    case Kw::Csrlin: return plain(VarType::Integer);
    case Kw::InkeyS: return plain(VarType::String);
    case Kw::Timer: return plain(VarType::Single);
    case Kw::Err: return plain(VarType::Integer);
    case Kw::Erl: return plain(VarType::Single);
    case Kw::Rnd:
      if (!AtSymbol('(')) return plain(VarType::Single);
      break;
    default: break;
  }
  // Argument types: 'n' a number, 's' a string, '?' either; lower-case letters are optional.
  const char* shape = nullptr;
  VarType type = VarType::Single;
  switch (kw) {
    case Kw::Abs: case Kw::Int: case Kw::Fix: shape = "n"; break;
    case Kw::Sgn: case Kw::Cint: shape = "n"; type = VarType::Integer; break;
    case Kw::Sqr: case Kw::Sin: case Kw::Cos: case Kw::Tan: case Kw::Atn: case Kw::Exp: case Kw::Log: shape = "n"; break;
    case Kw::Rnd: shape = "n"; break;
    case Kw::Csng: shape = "n"; break;
    case Kw::Cdbl: shape = "n"; type = VarType::Double; break;
    case Kw::Len: case Kw::Asc: shape = "s"; type = VarType::Integer; break;
    case Kw::LeftS: case Kw::RightS: shape = "sn"; type = VarType::String; break;
    case Kw::MidS: shape = "snN"; type = VarType::String; break;
    case Kw::ChrS: case Kw::StrS: case Kw::SpaceS: case Kw::HexS: case Kw::OctS: shape = "n"; type = VarType::String; break;
    case Kw::Val: shape = "s"; break;
    case Kw::StringS: shape = "n?"; type = VarType::String; break;
    case Kw::Instr: shape = "??S"; type = VarType::Integer; break;
    case Kw::Pos: shape = "?"; type = VarType::Integer; break;
    case Kw::Eof: shape = "n"; type = VarType::Integer; break;
    case Kw::Fre: shape = "?"; break;
    case Kw::Lof: shape = "n"; break;
    case Kw::InputS: shape = "nN"; type = VarType::String; break;
    case Kw::Point: shape = "nn"; type = VarType::Integer; break;
    default: Fail(kErrSyntax); return -1;
  }
  if (!ExpectSymbol('(')) return -1;
  int32_t args[3] = {-1, -1, -1};
  int count = 0;
  for (const char* p = shape; *p; ++p) {
    const bool optional = *p == 'N' || *p == 'S';
    if (p != shape) {
      if (optional && !AtSymbol(',')) break;
      if (!ExpectSymbol(',')) return -1;
    }
    if (kw == Kw::InputS && p != shape) AcceptSymbol('#');
    args[count] = Expression();
    if (Failed()) return -1;
    const bool isString = TypeOf(args[count]) == VarType::String;
    if (((*p == 'n' || *p == 'N') && isString) || ((*p == 's' || *p == 'S') && !isString)) {
      Fail(kErrTypeMismatch);
      return -1;
    }
    ++count;
  }
  if (!ExpectSymbol(')')) return -1;
  // INSTR([start,] s, t): with two arguments both are strings.
  if (kw == Kw::Instr) {
    if (count == 2) {
      if (TypeOf(args[0]) != VarType::String || TypeOf(args[1]) != VarType::String) {
        Fail(kErrTypeMismatch);
        return -1;
      }
      args[2] = args[1];
      args[1] = args[0];
      args[0] = -1;
    } else if (TypeOf(args[0]) == VarType::String || TypeOf(args[1]) != VarType::String) {
      Fail(kErrTypeMismatch);
      return -1;
    }
  }
  // The results that follow their argument's type.
  if (kw == Kw::Abs || kw == Kw::Int || kw == Kw::Fix) type = TypeOf(args[0]);
  if ((kw == Kw::Sqr || kw == Kw::Sin || kw == Kw::Cos || kw == Kw::Tan || kw == Kw::Atn || kw == Kw::Exp ||
       kw == Kw::Log) && TypeOf(args[0]) == VarType::Double)
    type = VarType::Double;
  Node n{Op::Builtin, type};
  n.fn = kw;
  n.a = args[0];
  n.b = args[1];
  n.c = args[2];
  return MakeNode(n, std::max({Depth(args[0]), Depth(args[1]), Depth(args[2])}) + 1);
}

int32_t Parser::UserFunctionCall() {
  const Token name = Peek();
  if (name.kind != TokKind::Name) {
    Fail(kErrSyntax);
    return -1;
  }
  Take();
  const VarType type = NameType(name);
  const auto key = std::make_pair(name.text, type);
  auto found = symbols_.functions.find(key);
  if (found == symbols_.functions.end())
    found = symbols_.functions.emplace(key, static_cast<int32_t>(symbols_.functions.size())).first;
  std::vector<int32_t> args;
  int32_t depth = 0;
  if (AcceptSymbol('(')) {
    do {
      args.push_back(Expression());
      if (Failed()) return -1;
      depth = std::max(depth, Depth(args.back()));
    } while (AcceptSymbol(','));
    if (!ExpectSymbol(')')) return -1;
  }
  const int32_t start = static_cast<int32_t>(image_.aux.size());
  image_.aux.insert(image_.aux.end(), args.begin(), args.end());
  Node n{Op::UserFn, type};
  n.a = found->second;
  n.b = start;
  n.c = static_cast<int32_t>(args.size());
  return MakeNode(n, depth + 1);
}

VarType Parser::NameType(const Token& name) const {
  if (name.hasSuffix) return name.suffix;
  const char first = name.text.empty() ? 'A' : name.text[0];
  return first >= 'A' && first <= 'Z' ? symbols_.defaultType[first - 'A'] : VarType::Single;
}

int32_t Parser::ScalarNode(const std::string& name, VarType type) {
  const auto key = std::make_pair(name, type);
  Node n{type == VarType::String ? Op::StrVar : Op::Var, type};
  if (type == VarType::String) {
    auto it = symbols_.strings.find(key);
    if (it == symbols_.strings.end()) it = symbols_.strings.emplace(key, static_cast<int32_t>(symbols_.strings.size())).first;
    n.a = it->second;
  } else {
    auto it = symbols_.numbers.find(key);
    if (it == symbols_.numbers.end()) {
      it = symbols_.numbers.emplace(key, static_cast<int32_t>(symbols_.numberTypes.size())).first;
      symbols_.numberTypes.push_back(type);
    }
    n.a = it->second;
  }
  return MakeNode(n, 1);
}

int32_t Parser::ArrayId(const std::string& name, VarType type) {
  const auto key = std::make_pair(name, type);
  auto it = symbols_.arrays.find(key);
  if (it == symbols_.arrays.end()) {
    it = symbols_.arrays.emplace(key, static_cast<int32_t>(symbols_.arrayTypes.size())).first;
    symbols_.arrayTypes.push_back(type);
  }
  return it->second;
}

int32_t Parser::Variable(bool) {
  if (Failed()) return -1;
  const Token name = Peek();
  if (name.kind != TokKind::Name) {
    Fail(kErrSyntax);
    return -1;
  }
  Take();
  const VarType type = NameType(name);
  // Array names may be followed by ( or [.
  if (AtSymbol('(') || AtSymbol('[')) {
    const char close = Take().symbol == '(' ? ')' : ']';
    std::vector<int32_t> subs;
    int32_t depth = 0;
    do {
      subs.push_back(NumericExpression());
      if (Failed()) return -1;
      depth = std::max(depth, Depth(subs.back()));
    } while (AcceptSymbol(','));
    if (!ExpectSymbol(close)) return -1;
    const int32_t start = static_cast<int32_t>(image_.aux.size());
    image_.aux.insert(image_.aux.end(), subs.begin(), subs.end());
    Node n{Op::Element, type};
    n.a = ArrayId(name.text, type);
    n.b = start;
    n.c = static_cast<int32_t>(subs.size());
    return MakeNode(n, depth + 1);
  }
  for (const auto& [key, node] : params_)
    if (key.first == name.text && key.second == type) {
      Node n = image_.nodes[node];
      return MakeNode(n, 1);
    }
  return ScalarNode(name.text, type);
}

// ---- after the last line ----

void Parser::Resolve() {
  auto& lines = image_.lines;
  auto& stmts = image_.stmts;
  // The first DATA item of each line or of a later one.
  {
    std::vector<int32_t> firstItem(lines.size(), -1);
    for (size_t i = image_.data.size(); i-- > 0;) firstItem[image_.data[i].line] = static_cast<int32_t>(i);
    int32_t next = static_cast<int32_t>(image_.data.size());
    for (size_t i = lines.size(); i-- > 0;) {
      if (firstItem[i] >= 0) next = firstItem[i];
      lines[i].firstData = next;
    }
  }
  auto find = [&](int32_t number) -> int32_t {
    // Program lines are in ascending order; a typed line (kDirectLine) is never a target.
    auto it = std::lower_bound(lines.begin(), lines.end(), number, [](const LineInfo& l, int32_t n) {
      return l.number != kDirectLine && l.number < n;
    });
    if (it == lines.end() || it->number != number) return -1;
    return static_cast<int32_t>(it - lines.begin());
  };
  for (const Fixup& f : fixups_) {
    int32_t& slot = f.stmt >= 0 ? Field(stmts[f.stmt], f.field) : image_.aux[f.field];
    const int32_t line = find(slot);
    if (line < 0)
      slot = kNoTarget;
    else
      slot = f.data ? lines[line].firstData : lines[line].firstStmt;
  }
  // FOR with its NEXT and WHILE with its WEND, by nesting in program order.
  const int32_t count = static_cast<int32_t>(stmts.size());
  for (int32_t i = 0; i < count; ++i) {
    if (stmts[i].kind == StmtKind::For) {
      int32_t depth = 1, j = i + 1;
      for (; j < count; ++j) {
        if (stmts[j].kind == StmtKind::For) ++depth;
        if (stmts[j].kind == StmtKind::Next) depth -= std::max(stmts[j].c, 1);
        if (depth <= 0) break;
      }
      stmts[i].e = j < count ? j + 1 : -1;
    } else if (stmts[i].kind == StmtKind::While) {
      int32_t depth = 1, j = i + 1;
      for (; j < count; ++j) {
        if (stmts[j].kind == StmtKind::While) ++depth;
        if (stmts[j].kind == StmtKind::Wend && --depth == 0) break;
      }
      stmts[i].e = j < count ? j + 1 : -1;
    }
  }
}
