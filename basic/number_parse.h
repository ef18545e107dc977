// Numbers read from text: the numeric constants of a program line, VAL's argument, and the fields
// that INPUT and INPUT # read.
#pragma once

#include <cstddef>
#include <string_view>

enum class NumberKind { Integer, Single, Double };

struct ParsedNumber {
  double value;     // for a Single, already rounded to single precision
  NumberKind kind;
  size_t length;    // bytes of the text the constant took; 0 when the text does not start one
  int error;        // 0, or 6 (Overflow) for a value beyond its type
};

// A numeric constant of program text starting at text[0], without a sign (a minus is an operator):
// decimal digits with an optional point, an optional exponent (E or D, with an optional sign), and an
// optional type suffix % ! #; or &H with hex digits, &O or & with octal digits (16-bit integers, so
// &HFFFF is -1). Its type: integer for a whole number within 0..32767 written without point or
// exponent, and for a % suffix; double for a # suffix, a D exponent, or more than 7 digits; single
// otherwise.
ParsedNumber ParseNumericConstant(std::string_view text);

// VAL's rule: blanks, tabs and line feeds before the number are skipped, then an optional sign and the
// longest numeric prefix (decimal with exponent, or &H/&O); blanks inside the number are ignored
// ("1 2" is 12). A text that starts no number gives 0.
double ParseVal(std::string_view text);

// Whether a field typed at INPUT (or read by INPUT #) is a number: after blanks around it are
// trimmed, the whole field must be one signed numeric constant (an empty field is 0). False means
// "?Redo from start".
bool ParseInputNumber(std::string_view field, double& value);
