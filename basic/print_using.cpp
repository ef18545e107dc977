#include "basic/print_using.h"

#include <algorithm>
#include <cmath>

#include "basic/errors.h"
#include "basic/number_format.h"

namespace {

constexpr int kMaxFieldDigits = 24;
constexpr int kSingleDigits = 7;
constexpr int kDoubleDigits = 16;

enum class FieldKind { None, FirstChar, FixedString, WholeString, Number };

struct Field {
  FieldKind kind = FieldKind::None;
  size_t end = 0;        // format position after the field
  int stringWidth = 0;   // FixedString
  // Number:
  bool leadingPlus = false, trailingPlus = false, trailingMinus = false;
  bool asteriskFill = false, dollar = false, comma = false, point = false, exponent = false;
  int wholePositions = 0;  // places before the point, counting **, $ and commas
  int fractionDigits = 0;
};

bool At(std::string_view s, size_t i, char c) { return i < s.size() && s[i] == c; }

bool StartsNumber(std::string_view f, size_t i) {
  if (At(f, i, '#')) return true;
  if (At(f, i, '.') && At(f, i + 1, '#')) return true;
  if (At(f, i, '*') && At(f, i + 1, '*')) return true;
  if (At(f, i, '$') && At(f, i + 1, '$')) return true;
  return false;
}

Field ParseNumberField(std::string_view f, size_t i) {
  Field field;
  field.kind = FieldKind::Number;
  if (At(f, i, '+')) {
    field.leadingPlus = true;
    ++i;
  }
  if (At(f, i, '*') && At(f, i + 1, '*')) {
    field.asteriskFill = true;
    field.wholePositions += 2;
    i += 2;
    if (At(f, i, '$')) {
      field.dollar = true;
      ++field.wholePositions;
      ++i;
    }
  } else if (At(f, i, '$') && At(f, i + 1, '$')) {
    field.dollar = true;
    field.wholePositions += 2;
    i += 2;
  }
  while (At(f, i, '#') || At(f, i, ',')) {
    if (f[i] == ',') field.comma = true;
    ++field.wholePositions;
    ++i;
  }
  if (At(f, i, '.')) {
    field.point = true;
    ++i;
    while (At(f, i, '#')) {
      ++field.fractionDigits;
      ++i;
    }
  }
  if (f.substr(i, 4) == "^^^^") {
    field.exponent = true;
    i += 4;
  }
  if (!field.leadingPlus && (At(f, i, '+') || At(f, i, '-'))) {
    (f[i] == '+' ? field.trailingPlus : field.trailingMinus) = true;
    ++i;
  }
  field.end = i;
  return field;
}

// Copies the literal text from pos into literal and returns the next field (kind None at the end).
Field NextField(std::string_view f, size_t pos, std::string* literal) {
  size_t i = pos;
  while (i < f.size()) {
    const char c = f[i];
    if (c == '!' || c == '&') {
      Field field;
      field.kind = c == '!' ? FieldKind::FirstChar : FieldKind::WholeString;
      field.end = i + 1;
      return field;
    }
    if (c == '\\') {
      size_t j = i + 1;
      while (At(f, j, ' ')) ++j;
      if (At(f, j, '\\')) {
        Field field;
        field.kind = FieldKind::FixedString;
        field.stringWidth = static_cast<int>(j - i + 1);
        field.end = j + 1;
        return field;
      }
    }
    if (StartsNumber(f, i) || (c == '+' && StartsNumber(f, i + 1))) return ParseNumberField(f, i);
    if (c == '_' && i + 1 < f.size()) ++i;
    if (literal) *literal += f[i];
    ++i;
  }
  Field none;
  none.end = f.size();
  return none;
}

// Rounds digits (abs(v) = 0.<digits> * 10^exponent) half away from zero so that none is left below
// the 10^-fractionDigits place.
void RoundToPlaces(DecimalDigits& d, int fractionDigits) {
  const int keep = d.exponent + fractionDigits;  // digits left of the cut
  const int n = static_cast<int>(d.digits.size());
  if (keep >= n) return;
  if (keep < 0) {
    d = DecimalDigits{"0", 1};
    return;
  }
  const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
  d.digits.resize(static_cast<size_t>(keep));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') d.digits[static_cast<size_t>(i--)] = '0';
    if (i >= 0) {
      ++d.digits[static_cast<size_t>(i)];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exponent;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d = DecimalDigits{"0", 1};
}

// The digit at place p (1 = units, 0 = tenths...) of 0.<digits> * 10^exponent.
char DigitAt(const DecimalDigits& d, int place) {
  const int index = d.exponent - place;
  if (index < 0 || index >= static_cast<int>(d.digits.size())) return '0';
  return d.digits[static_cast<size_t>(index)];
}

bool IsZero(const DecimalDigits& d) { return d.digits == "0"; }

std::string WithCommas(const std::string& whole) {
  std::string out;
  const size_t n = whole.size();
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += ',';
    out += whole[i];
  }
  return out;
}

char TrailingSign(const Field& field, bool negative) {
  if (field.trailingPlus) return negative ? '-' : '+';
  return negative ? '-' : ' ';
}

void FormatFixed(const Field& field, double value, int typeDigits, std::string& out) {
  DecimalDigits d = ToDecimalDigits(value, typeDigits);
  RoundToPlaces(d, field.fractionDigits);
  const bool negative = value < 0 && !IsZero(d);
  const bool signInFront = field.leadingPlus || (negative && !field.trailingPlus && !field.trailingMinus);

  std::string whole;
  for (int place = d.exponent; place >= 1; --place) whole += DigitAt(d, place);
  if (field.comma) whole = WithCommas(whole);

  const int width = field.wholePositions + (field.leadingPlus ? 1 : 0);
  std::string left;
  if (signInFront) left += negative ? '-' : '+';
  if (field.dollar) left += '$';
  // A zero whole part shows as "0" where the field has a place left for it.
  if (whole.empty() && static_cast<int>(left.size()) < width) whole.push_back('0');
  left += whole;

  const bool overflow = static_cast<int>(left.size()) > width;
  if (overflow) out += '%';
  else out.append(static_cast<size_t>(width) - left.size(), field.asteriskFill ? '*' : ' ');
  out += left;
  if (field.point) {
    out += '.';
    for (int place = 0; place > -field.fractionDigits; --place) out += DigitAt(d, place);
  }
  if (field.trailingPlus || field.trailingMinus) out += TrailingSign(field, negative);
}

void FormatExponent(const Field& field, double value, bool isDouble, int typeDigits, std::string& out) {
  const bool explicitSign = field.leadingPlus || field.trailingPlus || field.trailingMinus;
  // Without an explicit sign, one place before the point holds a space or the minus sign.
  const int before = std::max(0, field.wholePositions - (explicitSign ? 0 : 1));
  const int wanted = std::max(1, before + field.fractionDigits);
  DecimalDigits d = ToDecimalDigits(value, std::min(wanted, typeDigits));
  const bool zero = IsZero(d);
  const bool negative = value < 0 && !zero;
  d.digits.resize(static_cast<size_t>(wanted), '0');

  if (field.leadingPlus) out += negative ? '-' : '+';
  else if (!explicitSign && (field.wholePositions > 0 || negative)) out += negative ? '-' : ' ';
  out.append(d.digits, 0, static_cast<size_t>(before));
  if (field.point) {
    out += '.';
    out.append(d.digits, static_cast<size_t>(before), std::string::npos);
  }
  const int power = zero ? 0 : d.exponent - before;
  out += isDouble ? 'D' : 'E';
  out += power < 0 ? '-' : '+';
  const int magnitude = power < 0 ? -power : power;
  if (magnitude < 10) out += '0';
  out += std::to_string(magnitude);
  if (field.trailingPlus || field.trailingMinus) out += TrailingSign(field, negative);
}

int FormatItem(const Field& field, const UsingItem& item, std::string& out) {
  if (field.kind == FieldKind::Number) {
    if (item.isString) return kErrTypeMismatch;
    if (field.wholePositions + field.fractionDigits > kMaxFieldDigits) return kErrIllegalFunctionCall;
    double value = item.number;
    if (std::isnan(value)) value = 0;
    const int typeDigits = item.isDouble ? kDoubleDigits : kSingleDigits;
    if (field.exponent) FormatExponent(field, value, item.isDouble, typeDigits, out);
    else FormatFixed(field, value, typeDigits, out);
    return 0;
  }
  if (!item.isString) return kErrTypeMismatch;
  const std::string_view text = item.text;
  if (field.kind == FieldKind::WholeString) {
    out += text;
    return 0;
  }
  const size_t width = field.kind == FieldKind::FirstChar ? 1 : static_cast<size_t>(field.stringWidth);
  const std::string_view shown = text.substr(0, std::min(width, text.size()));
  out += shown;
  out.append(width - shown.size(), ' ');
  return 0;
}

}  // namespace

int FormatUsing(std::string_view format, const std::vector<UsingItem>& items, std::string& out) {
  if (NextField(format, 0, nullptr).kind == FieldKind::None) return kErrIllegalFunctionCall;
  size_t pos = 0;
  for (const UsingItem& item : items) {
    Field field = NextField(format, pos, &out);
    if (field.kind == FieldKind::None) {
      // Items remain at the format's end: start it again.
      field = NextField(format, 0, &out);
    }
    if (const int error = FormatItem(field, item, out)) return error;
    pos = field.end;
  }
  if (!items.empty()) NextField(format, pos, &out);
  return 0;
}
