#include "basic/number_parse.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <system_error>

#include "basic/errors.h"

namespace {

constexpr int kSingleDigitLimit = 7;
constexpr uint32_t kMaxWord = 0xFFFF;  // &H and &O constants are 16-bit

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  c = Upper(c);
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the text through a cursor that may step over blanks inside a number (VAL's rule) or not
// (program text, where the tokenizer has its own say about blanks).
class Cursor {
 public:
  Cursor(std::string_view text, bool skipBlanks) : text_(text), skipBlanks_(skipBlanks) { Settle(); }
  char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
  // The character after the current one, blanks skipped as for the current one.
  char PeekNext() const {
    size_t p = pos_ + 1;
    while (skipBlanks_ && p < text_.size() && IsBlank(text_[p])) ++p;
    return p < text_.size() ? text_[p] : '\0';
  }
  void Advance() {
    ++pos_;
    end_ = pos_;
    Settle();
  }
  size_t Consumed() const { return end_; }

 private:
  void Settle() {
    while (skipBlanks_ && pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  }
  std::string_view text_;
  bool skipBlanks_;
  size_t pos_ = 0;
  size_t end_ = 0;
};

// Whether a number text that is out of the double range ("123.4e400", ".001e-400") is too large
// rather than too small: its decimal exponent, counted from the first non-zero digit, is positive.
bool ExponentIsPositive(const std::string& clean) {
  const size_t e = clean.find('e');
  const std::string_view mantissa = std::string_view(clean).substr(0, e);
  const size_t point = mantissa.find('.');
  const std::string_view whole = mantissa.substr(0, point);
  long position = 0;  // abs(value) = 0.ddd * 10^(position + exponent)
  const size_t firstWhole = whole.find_first_not_of('0');
  if (firstWhole != std::string_view::npos) {
    position = static_cast<long>(whole.size() - firstWhole);
  } else if (point != std::string_view::npos) {
    const std::string_view fraction = mantissa.substr(point + 1);
    const size_t firstFraction = fraction.find_first_not_of('0');
    position = -static_cast<long>(firstFraction == std::string_view::npos ? fraction.size() : firstFraction);
  }
  long exponent = 0;
  if (e != std::string::npos) {
    size_t start = e + 1;
    if (start < clean.size() && clean[start] == '+') ++start;
    std::from_chars(clean.data() + start, clean.data() + clean.size(), exponent);
  }
  return position + exponent > 0;
}

// &H / &O / & constants: the cursor stands on '&'.
ParsedNumber ParseRadix(Cursor& c) {
  ParsedNumber result{0, NumberKind::Integer, 0, 0};
  c.Advance();
  int radix = 8;
  if (Upper(c.Peek()) == 'H') {
    radix = 16;
    c.Advance();
  } else if (Upper(c.Peek()) == 'O') {
    c.Advance();
  }
  uint32_t value = 0;
  bool overflow = false;
  for (;;) {
    const int digit = HexValue(c.Peek());
    if (digit < 0 || digit >= radix) break;
    value = value * static_cast<uint32_t>(radix) + static_cast<uint32_t>(digit);
    if (value > kMaxWord) {
      overflow = true;
      value = kMaxWord;
    }
    c.Advance();
  }
  result.length = c.Consumed();
  result.error = overflow ? kErrOverflow : 0;
  result.value = value > 0x7FFF ? static_cast<double>(value) - 65536.0 : value;
  return result;
}

// A decimal constant; the cursor stands on its first digit or point. Nothing consumed when there is
// no digit at all.
ParsedNumber ParseDecimal(Cursor& c, bool allowSuffix) {
  ParsedNumber result{0, NumberKind::Single, 0, 0};
  std::string clean;  // digits, point and exponent without blanks, for from_chars
  int significant = 0;
  bool anyDigit = false, point = false, exponent = false, doubleExponent = false;
  for (;;) {
    const char ch = c.Peek();
    if (IsDigit(ch)) {
      if (ch != '0' || significant > 0) ++significant;
      anyDigit = true;
      clean += ch;
    } else if (ch == '.' && !point) {
      point = true;
      clean += ch;
    } else {
      break;
    }
    c.Advance();
  }
  if (!anyDigit) return result;
  const char e = Upper(c.Peek());
  if (e == 'E' || e == 'D') {
    const char next = c.PeekNext();
    // The exponent letter belongs to the number only when digits (or a sign) follow it.
    if (IsDigit(next) || next == '+' || next == '-') {
      exponent = true;
      doubleExponent = e == 'D';
      c.Advance();
      std::string expText = "e";
      if (c.Peek() == '+' || c.Peek() == '-') {
        expText += c.Peek();
        c.Advance();
      }
      bool expDigits = false;
      const size_t digitsStart = expText.size();
      while (IsDigit(c.Peek())) {
        // Leading zeros add nothing; a huge exponent saturates instead of overflowing the parse.
        const bool leadingZero = c.Peek() == '0' && expText.size() == digitsStart;
        if (!leadingZero && expText.size() < digitsStart + 6) expText += c.Peek();
        expDigits = true;
        c.Advance();
      }
      if (expDigits && expText.size() == digitsStart) expText += '0';
      clean += expDigits ? expText : "";
    }
  }
  char suffix = '\0';
  if (allowSuffix && (c.Peek() == '%' || c.Peek() == '!' || c.Peek() == '#')) {
    suffix = c.Peek();
    c.Advance();
  }
  result.length = c.Consumed();

  double value = 0;
  const auto parsed = std::from_chars(clean.data(), clean.data() + clean.size(), value);
  if (parsed.ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone then; underflow reads as zero, only a large value overflows.
    value = ExponentIsPositive(clean) ? HUGE_VAL : 0;
  }

  if (suffix == '#' || (suffix == '\0' && (doubleExponent || significant > kSingleDigitLimit))) {
    result.kind = NumberKind::Double;
  } else if (suffix == '%' || (suffix == '\0' && !point && !exponent && value <= 32767)) {
    result.kind = NumberKind::Integer;
    value = std::round(value);
  }
  switch (result.kind) {
    case NumberKind::Integer:
      if (value > 32767) {
        result.error = kErrOverflow;
        value = 32767;
      }
      break;
    case NumberKind::Single: {
      float single = 0;
      std::from_chars(clean.data(), clean.data() + clean.size(), single);
      if (std::isinf(single) || value > 3.4028234663852886e38) {
        result.error = kErrOverflow;
        single = 3.4028234663852886e38f;
      }
      value = single;
      break;
    }
    case NumberKind::Double:
      if (std::isinf(value)) {
        result.error = kErrOverflow;
        value = 1.7976931348623157e308;
      }
      break;
  }
  result.value = value;
  return result;
}

ParsedNumber ParseUnsigned(Cursor& c, bool allowSuffix) {
  if (c.Peek() == '&') return ParseRadix(c);
  return ParseDecimal(c, allowSuffix);
}

}  // namespace

ParsedNumber ParseNumericConstant(std::string_view text) {
  Cursor c(text, false);
  return ParseUnsigned(c, true);
}

double ParseVal(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  Cursor c(text.substr(start), true);
  bool negative = false;
  if (c.Peek() == '+' || c.Peek() == '-') {
    negative = c.Peek() == '-';
    c.Advance();
  }
  const ParsedNumber number = ParseUnsigned(c, false);
  if (number.length == 0) return 0;
  return negative ? -number.value : number.value;
}

bool ParseInputNumber(std::string_view field, double& value) {
  size_t start = 0, end = field.size();
  while (start < end && IsBlank(field[start])) ++start;
  while (end > start && IsBlank(field[end - 1])) --end;
  field = field.substr(start, end - start);
  value = 0;
  if (field.empty()) return true;
  size_t signLength = 0;
  if (field[0] == '+' || field[0] == '-') signLength = 1;
  Cursor c(field.substr(signLength), false);
  const ParsedNumber number = ParseUnsigned(c, true);
  if (number.length == 0 || signLength + number.length != field.size()) return false;
  value = field[0] == '-' ? -number.value : number.value;
  return true;
}
