// How PRINT and STR$ write numbers. Each result starts with a space for a value that is not negative
// and with '-' for a negative one; none ends with a space (PRINT adds the trailing space, STR$ does not).
//
// A single shows at most 7 significant digits and a double at most 16, rounded to nearest. A value is
// written without an exponent when it needs no more digit positions than that ("1234567", ".0000001",
// ".5"); otherwise with one, E for singles and D for doubles, at least two exponent digits:
// "1E+07", "1.234568E-05", "1D+16".
#pragma once

#include <cstdint>
#include <string>

std::string FormatInteger(int32_t v);
std::string FormatSingle(float v);
std::string FormatDouble(double v);

// The significant decimal digits of abs(v) rounded to at most maxDigits digits, without trailing zeros
// ("1234" for 12.34), and the decimal exponent of the first one (1 for 12.34, -2 for 0.001234), so
// that abs(v) = 0.<digits> * 10^exponent. Zero gives "0" and exponent 1. Shared with PRINT USING.
struct DecimalDigits {
  std::string digits;
  int exponent;
};
DecimalDigits ToDecimalDigits(double v, int maxDigits);
