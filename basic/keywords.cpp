#include "basic/keywords.h"

namespace {

// In the order of the enumeration.
constexpr std::string_view kNames[] = {
    "PRINT", "LET", "GOTO", "GOSUB", "RETURN", "IF", "THEN", "ELSE", "FOR", "TO", "STEP", "NEXT", "WHILE", "WEND",
    "ON", "END", "STOP", "SYSTEM", "DATA", "READ", "RESTORE", "SWAP", "DEF", "RANDOMIZE", "ERROR", "RESUME", "DIM",
    "ERASE", "OPTION", "BASE", "INPUT", "LINE", "REM", "OPEN", "CLOSE", "WRITE", "KILL", "AS", "APPEND", "OUTPUT",
    "DEFINT", "DEFSNG", "DEFDBL", "DEFSTR", "CLS", "CLEAR", "BEEP", "USING", "RUN", "LIST", "NEW", "CONT", "TRON",
    "TROFF", "WIDTH", "LOCATE", "COLOR", "KEY", "OFF", "SCREEN",
    "NOT", "AND", "OR", "XOR", "EQV", "IMP", "MOD",
    "ABS", "INT", "FIX", "SGN", "SQR", "SIN", "COS", "TAN", "ATN", "EXP", "LOG", "RND", "CINT", "CSNG", "CDBL", "LEN",
    "LEFT$", "RIGHT$", "MID$", "CHR$", "ASC", "STR$", "VAL", "STRING$", "SPACE$", "INSTR", "HEX$", "OCT$", "POS",
    "CSRLIN", "INKEY$", "TIMER", "ERR", "ERL", "EOF", "TAB", "SPC", "FN", "LOF", "FRE", "INPUT$", "LPOS",
    "LOAD", "SAVE", "DELETE",
    "PSET", "PRESET", "CIRCLE", "PAINT", "PICTURE", "TILE", "SHOWPAGE", "SHOWDOUBLE", "POINT"};
static_assert(sizeof kNames / sizeof kNames[0] == static_cast<size_t>(Kw::Count));

}  // namespace

Kw LookUpKeyword(std::string_view word) {
  for (size_t i = 0; i < static_cast<size_t>(Kw::Count); ++i)
    if (kNames[i] == word) return static_cast<Kw>(i);
  return Kw::None;
}

std::string_view KeywordName(Kw kw) {
  if (kw == Kw::None || kw == Kw::Count) return "";
  return kNames[static_cast<size_t>(kw)];
}

Kw KeywordAt(std::string_view text, size_t pos) {
  Kw best = Kw::None;
  size_t bestLength = 0;
  for (size_t i = 0; i < static_cast<size_t>(Kw::Count); ++i) {
    const std::string_view name = kNames[i];
    if (name.size() <= bestLength || text.size() - pos < name.size()) continue;
    bool same = true;
    for (size_t k = 0; k < name.size() && same; ++k) {
      char c = text[pos + k];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
      same = c == name[k];
    }
    if (!same) continue;
    const Kw kw = static_cast<Kw>(i);
    if (kw == Kw::Tab || kw == Kw::Spc) {
      size_t next = pos + name.size();
      while (next < text.size() && text[next] == ' ') ++next;
      if (next >= text.size() || text[next] != '(') continue;
    }
    best = kw;
    bestLength = name.size();
  }
  return best;
}
