#include "basic/tokenizer.h"

#include "basic/number_text.h"

namespace {

bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// Keywords that may be run together with a line number after them, as in GOTO100.
bool TakesLineNumber(Kw kw) {
  return kw == Kw::Goto || kw == Kw::Gosub || kw == Kw::Then || kw == Kw::Else || kw == Kw::Return ||
         kw == Kw::Restore || kw == Kw::Resume || kw == Kw::Run || kw == Kw::List || kw == Kw::To ||
         kw == Kw::Step || kw == Kw::Delete;
}

bool IsNameChar(char c) { return IsLetter(c) || IsDigit(c) || c == '.'; }

// A reserved word that starts a statement.
bool StartsStatement(Kw kw) {
  if (kw == Kw::Then || kw == Kw::Else || kw == Kw::To || kw == Kw::Step || kw == Kw::As ||
      kw == Kw::Append || kw == Kw::Output || kw == Kw::Base || kw == Kw::Using || kw == Kw::Off)
    return false;
  return kw <= Kw::Screen || kw == Kw::Load || kw == Kw::Save || kw == Kw::Delete;
}

// With whole names, a reserved word at the start of a longer name is part of it (TOTAL), except one
// that starts a statement where a statement starts (FORI, IFLENGTH; but ONE = 1 assigns), REM, DATA and
// FN, and a word that takes a line number with its digits run on (GOTO100).
bool StandsApart(std::string_view s, size_t pos, Kw kw, bool statementStart) {
  if (kw == Kw::Rem || kw == Kw::Data || kw == Kw::Fn) return true;
  if (statementStart && StartsStatement(kw)) {
    // ONE = 1 is an assignment; FORI = 1 and IFX = 1 are not.
    if (kw == Kw::For || kw == Kw::Let || kw == Kw::If || kw == Kw::While || kw == Kw::Print) return true;
    size_t end = pos;
    while (end < s.size() && IsNameChar(s[end])) ++end;
    if (end < s.size() && (s[end] == '%' || s[end] == '!' || s[end] == '#' || s[end] == '$')) ++end;
    while (end < s.size() && s[end] == ' ') ++end;
    return end >= s.size() || s[end] != '=';
  }
  const std::string_view name = KeywordName(kw);
  if (name.back() == '$') return true;
  size_t end = pos + name.size();
  if (end >= s.size() || !IsNameChar(s[end])) return true;
  if (!TakesLineNumber(kw)) return false;
  while (end < s.size() && IsDigit(s[end])) ++end;
  return end >= s.size() || !IsNameChar(s[end]);
}

// The reserved word read at text[pos] where a name would start, or Kw::None.
Kw ReservedWordAt(std::string_view text, size_t pos, bool wholeNames, bool statementStart) {
  const Kw kw = KeywordAt(text, pos);
  if (kw == Kw::None || !wholeNames || StandsApart(text, pos, kw, statementStart)) return kw;
  return Kw::None;
}

class Tokenizer {
 public:
  Tokenizer(std::string_view line, bool wholeNames) : s_(line), wholeNames_(wholeNames) {}

  std::vector<Token> Run() {
    while (pos_ < s_.size()) {
      const char c = s_[pos_];
      if (c == ' ' || c == '\t') {
        ++pos_;
      } else if (IsDigit(c) || c == '.' || c == '&') {
        Number();
      } else if (c == '"') {
        String();
      } else if (IsLetter(c)) {
        Word();
      } else if (c == '\'') {
        // A remark to the end of the line, which may follow a statement without a colon.
        break;
      } else if (c == '?') {
        ++pos_;
        PushKeyword(Kw::Print);
      } else {
        Symbol();
      }
    }
    out_.emplace_back();
    return std::move(out_);
  }

 private:
  void PushKeyword(Kw kw) {
    Token t;
    t.kind = TokKind::Keyword;
    t.kw = kw;
    out_.push_back(std::move(t));
  }

  void Number() {
    const ParsedNumber n = ParseNumericConstant(s_.substr(pos_));
    if (n.length == 0) {  // a lone '.' or '&'
      Token t;
      t.kind = TokKind::Symbol;
      t.symbol = s_[pos_++];
      out_.push_back(std::move(t));
      return;
    }
    Token t;
    t.kind = TokKind::Number;
    t.number = n.value;
    t.integerConstant = n.kind == NumberKind::Integer;
    t.doubleConstant = n.kind == NumberKind::Double;
    t.numberError = n.error;
    pos_ += n.length;
    out_.push_back(std::move(t));
  }

  void String() {
    ++pos_;
    Token t;
    t.kind = TokKind::String;
    while (pos_ < s_.size() && s_[pos_] != '"') {
      if (IsLead(static_cast<unsigned char>(s_[pos_])) && pos_ + 1 < s_.size()) t.text += s_[pos_++];
      t.text += s_[pos_++];
    }
    if (pos_ < s_.size()) ++pos_;  // the closing quote; a string may also end with the line
    out_.push_back(std::move(t));
  }

  // The rest of the line (REM, ') or of the statement (DATA, up to a colon outside quotes), raw.
  void Rest(Kw kw) {
    PushKeyword(kw);
    Token t;
    t.kind = TokKind::Raw;
    bool quoted = false;
    while (pos_ < s_.size()) {
      const char c = s_[pos_];
      if (kw == Kw::Data && !quoted && c == ':') break;
      if (c == '"') quoted = !quoted;
      if (IsLead(static_cast<unsigned char>(c)) && pos_ + 1 < s_.size()) t.text += s_[pos_++];
      t.text += s_[pos_++];
    }
    out_.push_back(std::move(t));
  }

  // A name, or the reserved word it starts with. Reserved words need no space around them: where a
  // name would start, the longest reserved word spelled there is taken (FORI=1TO9 is FOR I = 1 TO 9,
  // GOTO100 is GOTO 100, TOTAL is TO TAL), while one inside a name is part of it (ATOTAL, SCORE).
  // TAB and SPC are reserved only before a parenthesis, so TABLE is a name.
  void Word() {
    const Kw kw = ReservedWordAt(s_, pos_, wholeNames_, StatementStart());
    if (kw != Kw::None) {
      pos_ += KeywordName(kw).size();
      if (kw == Kw::Rem || kw == Kw::Data) {
        Rest(kw);
        return;
      }
      PushKeyword(kw);
      // The name of a user function is a name whatever it holds (FNTOTAL).
      if (kw == Kw::Fn && pos_ < s_.size() && IsLetter(s_[pos_])) Name();
      return;
    }
    Name();
  }

  // Whether the next token starts a statement: the first of the line, or after a colon, THEN or ELSE.
  bool StatementStart() const {
    if (out_.empty()) return true;
    const Token& t = out_.back();
    return (t.kind == TokKind::Symbol && t.symbol == ':') ||
           (t.kind == TokKind::Keyword && (t.kw == Kw::Then || t.kw == Kw::Else));
  }

  void Name() {
    std::string word;
    while (pos_ < s_.size() && (IsLetter(s_[pos_]) || IsDigit(s_[pos_]) || s_[pos_] == '.'))
      word += Upper(s_[pos_++]);
    Token t;
    t.kind = TokKind::Name;
    t.text = std::move(word);
    if (pos_ < s_.size()) {
      switch (s_[pos_]) {
        case '%': t.hasSuffix = true; t.suffix = VarType::Integer; break;
        case '!': t.hasSuffix = true; t.suffix = VarType::Single; break;
        case '#': t.hasSuffix = true; t.suffix = VarType::Double; break;
        case '$': t.hasSuffix = true; t.suffix = VarType::String; break;
        default: break;
      }
      if (t.hasSuffix) ++pos_;
    }
    out_.push_back(std::move(t));
  }

  void Symbol() {
    Token t;
    t.kind = TokKind::Symbol;
    const char c = s_[pos_++];
    const char next = pos_ < s_.size() ? s_[pos_] : 0;
    t.symbol = c;
    // <= =< >= => <> ><
    if ((c == '<' && next == '=') || (c == '=' && next == '<')) t.symbol = kSymLessEqual;
    if ((c == '>' && next == '=') || (c == '=' && next == '>')) t.symbol = kSymGreaterEqual;
    if ((c == '<' && next == '>') || (c == '>' && next == '<')) t.symbol = kSymNotEqual;
    if (t.symbol != c) ++pos_;
    out_.push_back(std::move(t));
  }

  std::string_view s_;
  bool wholeNames_;
  size_t pos_ = 0;
  std::vector<Token> out_;
};

}  // namespace

std::vector<Token> Tokenize(std::string_view line, bool wholeNames) {
  return Tokenizer(line, wholeNames).Run();
}
