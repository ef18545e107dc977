// One line of program text into tokens. Code page 932 aware: a lead byte and its trail byte stay
// together inside strings, REM and DATA, so a trail byte is never read as a quote or a colon.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "basic/keywords.h"
#include "basic/value_type.h"

enum class TokKind : uint8_t { End, Number, String, Name, Keyword, Symbol, Raw };

// Symbols of two characters get a letter of their own.
constexpr char kSymLessEqual = 'L';
constexpr char kSymGreaterEqual = 'G';
constexpr char kSymNotEqual = 'N';

struct Token {
  TokKind kind = TokKind::End;
  Kw kw = Kw::None;         // Keyword
  char symbol = 0;          // Symbol: one of + - * / ^ \ = < > ( ) , ; : # or a two-character code above;
                            // any other byte stands for itself and is a syntax error where it appears
  bool hasSuffix = false;   // Name: ended in % ! # or $
  VarType suffix = VarType::Single;
  bool integerConstant = false;  // Number: typed integer by its spelling
  bool doubleConstant = false;   // Number: typed double by its spelling
  int numberError = 0;      // Number: 0, or the error its text gives (Overflow)
  double number = 0;        // Number
  std::string text;         // Name (upper case, no suffix), String (the bytes between the quotes),
                            // Raw (the rest of a REM, or the text of a DATA statement)
};

// The tokens of `line` (the text after the line number), ending in one End token. Where a name would
// start, the reserved word spelled there is read (FORI is FOR I, TOTAL is TO TAL); with `wholeNames`, a
// reserved word that a longer name starts with is part of the name (TOTAL) unless it starts a statement
// where one starts (FORI), for a line that does not parse the first way.
std::vector<Token> Tokenize(std::string_view line, bool wholeNames = false);
