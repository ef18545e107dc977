// PRINT USING (and PRINT # USING): values laid out by a format string of fields and literal text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct UsingItem {
  bool isString;
  double number;     // a numeric item's value
  bool isDouble;     // a double shows up to 16 significant digits, any other number up to 7
  std::string_view text;  // a string item's bytes
};

// Formats every item in order with the next field of the format, going back to the format's start
// when items remain; the literal text between fields is copied (`_` makes the next character literal),
// and after the last item the literal text up to the next field or the format's end is copied too.
// Numeric fields: # digits, one '.', leading or trailing '+', trailing '-', leading ** (asterisk
// fill), $$ (floating dollar), **$, ',' before the point (thousands separators), ^^^^ (exponent form).
// A number too wide for its field is written whole after a '%'. String fields: ! (first character),
// \ n spaces \ (n + 2 characters, padded with spaces), & (the whole string).
// Returns 0, or a BASIC error number: 5 (Illegal function call) when the format has no field or a
// field has more than 24 digits, 13 (Type mismatch) for a string in a numeric field or the reverse.
// On an error, out holds what was formatted before the failing item.
int FormatUsing(std::string_view format, const std::vector<UsingItem>& items, std::string& out);
