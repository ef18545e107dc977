#include "basic/number_format.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace {

constexpr int kSingleDigits = 7;
constexpr int kDoubleDigits = 16;

// The mantissa digits and exponent in the manual's fixed form when it fits in maxDigits digit positions,
// else in exponent form with the given letter.
std::string Compose(bool negative, const DecimalDigits& d, int maxDigits, char exponentLetter) {
  std::string out(1, negative ? '-' : ' ');
  const int n = static_cast<int>(d.digits.size());
  const int e = d.exponent;
  const bool fixed = e > 0 ? e <= maxDigits : n - e <= maxDigits;
  if (fixed) {
    if (e <= 0) {
      out += '.';
      out.append(static_cast<size_t>(-e), '0');
      out += d.digits;
    } else if (n <= e) {
      out += d.digits;
      out.append(static_cast<size_t>(e - n), '0');
    } else {
      out.append(d.digits, 0, static_cast<size_t>(e));
      out += '.';
      out.append(d.digits, static_cast<size_t>(e), std::string::npos);
    }
    return out;
  }
  out += d.digits[0];
  if (n > 1) {
    out += '.';
    out.append(d.digits, 1, std::string::npos);
  }
  const int power = e - 1;
  out += exponentLetter;
  out += power < 0 ? '-' : '+';
  const int magnitude = power < 0 ? -power : power;
  if (magnitude < 10) out += '0';
  out += std::to_string(magnitude);
  return out;
}

}  // namespace

DecimalDigits ToDecimalDigits(double v, int maxDigits) {
  DecimalDigits result{"0", 1};
  if (!(v != 0) || !std::isfinite(v)) return result;
  // "d.ddddde-xx": to_chars rounds the exact binary value to nearest and ignores the locale.
  char buffer[64];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(v), std::chars_format::scientific,
                                     maxDigits - 1);
  if (written.ec != std::errc()) return result;
  const std::string_view text(buffer, static_cast<size_t>(written.ptr - buffer));
  const size_t ePos = text.find('e');
  std::string digits;
  for (size_t i = 0; i < ePos; ++i) {
    if (text[i] != '.') digits += text[i];
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int power = 0;
  const char* expStart = text.data() + ePos + 1;
  if (*expStart == '+') ++expStart;
  std::from_chars(expStart, text.data() + text.size(), power);
  result.digits = digits;
  result.exponent = power + 1;
  return result;
}

std::string FormatInteger(int32_t v) {
  std::string out(1, v < 0 ? '-' : ' ');
  const int64_t magnitude = v < 0 ? -static_cast<int64_t>(v) : v;
  out += std::to_string(magnitude);
  return out;
}

std::string FormatSingle(float v) {
  // An infinity only reaches here if a caller let an overflow through; it prints as the largest single.
  if (std::isinf(v)) v = std::copysign(std::numeric_limits<float>::max(), v);
  return Compose(std::signbit(v) && v != 0, ToDecimalDigits(v, kSingleDigits), kSingleDigits, 'E');
}

std::string FormatDouble(double v) {
  if (std::isinf(v)) v = std::copysign(std::numeric_limits<double>::max(), v);
  return Compose(std::signbit(v) && v != 0, ToDecimalDigits(v, kDoubleDigits), kDoubleDigits, 'D');
}
