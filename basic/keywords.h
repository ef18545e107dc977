// The reserved words of the dialect and the operators made of more than one character, as the
// tokenizer hands them to the parser.
#pragma once

#include <cstdint>
#include <cstddef>
#include <string_view>

enum class Kw : int16_t {
  None = -1,
  // Statements
  Print, Let, Goto, Gosub, Return, If, Then, Else, For, To, Step, Next, While, Wend, On, End, Stop, System,
  Data, Read, Restore, Swap, Def, Randomize, Error, Resume, Dim, Erase, Option, Base, Input, Line, Rem,
  Open, Close, Write, Kill, As, Append, Output, Defint, Defsng, Defdbl, Defstr, Cls, Clear, Beep, Using,
  Run, List, New, Cont, Tron, Troff, Width, Locate, Color, Key, Off, Screen,
  // Operators spelled as words
  Not, And, Or, Xor, Eqv, Imp, Mod,
  // Functions
  Abs, Int, Fix, Sgn, Sqr, Sin, Cos, Tan, Atn, Exp, Log, Rnd, Cint, Csng, Cdbl, Len, LeftS, RightS, MidS,
  ChrS, Asc, StrS, Val, StringS, SpaceS, Instr, HexS, OctS, Pos, Csrlin, InkeyS, Timer, Err, Erl, Eof, Tab,
  Spc, Fn, Lof, Fre, InputS, Lpos, Load, Save, Delete,
  // The console's statements and POINT
  Pset, Preset, Circle, Paint, Picture, Tile, Showpage, Showdouble, Point,
  Count
};

// The keyword spelled exactly `word` (upper case, with its '$' where it has one), or Kw::None.
Kw LookUpKeyword(std::string_view word);
// The reserved word spelled at text[pos] (in any case), the longest where several are, or Kw::None.
// TAB and SPC count only before a parenthesis.
Kw KeywordAt(std::string_view text, size_t pos);
// The keyword's spelling, as LIST and messages show it.
std::string_view KeywordName(Kw kw);
