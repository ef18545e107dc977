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
         kw == Kw::Step;
}

class Tokenizer {
 public:
  explicit Tokenizer(std::string_view line) : s_(line) {}

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

  void Word() {
    const size_t start = pos_;
    std::string word;
    while (pos_ < s_.size() && (IsLetter(s_[pos_]) || IsDigit(s_[pos_]) || s_[pos_] == '.'))
      word += Upper(s_[pos_++]);
    // A keyword with a '$' of its own (LEFT$), then a keyword, then FN and a name.
    if (pos_ < s_.size() && s_[pos_] == '$') {
      const Kw kw = LookUpKeyword(word + "$");
      if (kw != Kw::None) {
        ++pos_;
        PushKeyword(kw);
        return;
      }
    }
    Kw kw = LookUpKeyword(word);
    if (kw == Kw::Rem || kw == Kw::Data) {
      Rest(kw);
      return;
    }
    if (kw != Kw::None) {
      PushKeyword(kw);
      return;
    }
    if (word.size() > 2 && word[0] == 'F' && word[1] == 'N' && IsLetter(word[2])) {
      PushKeyword(Kw::Fn);
      word.erase(0, 2);
    } else {
      // A keyword with its line number run on (GOTO100): the letters are the keyword.
      size_t letters = 0;
      while (letters < word.size() && IsLetter(word[letters])) ++letters;
      if (letters < word.size()) {
        bool digitsOnly = true;
        for (size_t i = letters; i < word.size(); ++i) digitsOnly = digitsOnly && IsDigit(word[i]);
        kw = LookUpKeyword(word.substr(0, letters));
        if (digitsOnly && kw != Kw::None && TakesLineNumber(kw)) {
          PushKeyword(kw);
          pos_ = start + letters;
          return;
        }
      }
    }
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
  size_t pos_ = 0;
  std::vector<Token> out_;
};

}  // namespace

std::vector<Token> Tokenize(std::string_view line) { return Tokenizer(line).Run(); }
