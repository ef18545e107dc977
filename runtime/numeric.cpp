// The numeric routines. Each arithmetic step below is one double operation, rounded before the next
// one uses it; runtime/CMakeLists.txt builds this file so that the compiler keeps it that way.
// Three shortcuts replace slower step-by-step forms, each only where it gives the same bits: exponents
// read from the bit pattern instead of searched for, one exact scaling by a power of two instead of a
// chain of exact ones, and a product instead of a quotient that is only rounded to an integer.
#include "runtime/numeric.h"

#include <cstdint>

namespace {

constexpr double kLn2 = 0.6931471805599453;
constexpr double kSqrt2 = 1.4142135623730951;

constexpr uint64_t kSignMask = 0x8000000000000000u;
constexpr uint64_t kExponentMask = 0x7FF0000000000000u;
constexpr int kMantissaBits = 52;
constexpr int kExponentBias = 1023;
// Multiplying a subnormal by 2^54 makes it normal without rounding.
constexpr int kSubnormalLift = 54;

uint64_t BitsOf(double x) { return __builtin_bit_cast(uint64_t, x); }
double FromBits(uint64_t bits) { return __builtin_bit_cast(double, bits); }

constexpr uint64_t kInfinityBits = kExponentMask;

bool IsInfinite(double x) { return (BitsOf(x) & ~kSignMask) == kInfinityBits; }

int BiasedExponent(double x) { return static_cast<int>((BitsOf(x) & kExponentMask) >> kMantissaBits); }

// 2^n, exactly, for -1074 <= n <= 1023 (subnormal powers included).
double PowerOfTwo(int n) {
  if (n >= 1 - kExponentBias) {
    return FromBits(static_cast<uint64_t>(n + kExponentBias) << kMantissaBits);
  }
  return FromBits(uint64_t{1} << (n + 1074));
}

// The frexp exponent of a finite non-zero x: the e with 2^(e-1) <= abs(x) < 2^e.
int ExponentOf(double x) {
  int biased = BiasedExponent(x);
  if (biased != 0) return biased - (kExponentBias - 1);
  return BiasedExponent(x * PowerOfTwo(kSubnormalLift)) - (kExponentBias - 1) - kSubnormalLift;
}

// x * 2^n for a finite x whose product is a normal double, so every multiplication here is exact.
// Two steps where 2^n alone would not be a double.
double ScaleExact(double x, int n) {
  if (n > 1023) return x * PowerOfTwo(kSubnormalLift) * PowerOfTwo(n - kSubnormalLift);
  return x * PowerOfTwo(n);
}

// k of the exponential's reduction: v = x / ln 2 rounded to the nearest integer, halves away from zero
// (k = floor(v + 0.5) for x >= 0, -0.0 included, and -floor(0.5 - v) below). Only k is kept, so the
// division is skipped where it cannot matter: x * (1 / ln 2) lies within 2^-41 of the quotient for
// abs(x) < 1024, and where the sum built from it is at least 2^-30 away from an integer, the sum built
// from the quotient has the same floor.
int32_t NearestMultipleOfLn2(double x) {
  constexpr double kInvLn2 = 1.0 / kLn2;
  constexpr double kMargin = 0x1p-30;
  if (x > -1024.0 && x < 1024.0) {
    double estimate = x * kInvLn2;
    double sum = x >= 0 ? estimate + 0.5 : 0.5 - estimate;  // positive, below 1478
    int32_t whole = static_cast<int32_t>(sum);
    double fraction = sum - static_cast<double>(whole);
    if (fraction >= kMargin && fraction <= 1.0 - kMargin) return x >= 0 ? whole : -whole;
  }
  double v = x / kLn2;
  if (x >= 0) return NumToInt(v + 0.5);
  return -NumToInt(0.5 - v);
}

}  // namespace

int32_t NumToInt(double x) {
  if (x != x) return 0;
  if (x < -2147483648.0) return INT32_MIN;
  if (x >= 2147483648.0) return INT32_MAX;
  int32_t t = static_cast<int32_t>(x);
  // Truncation went toward zero; a negative value with a fraction needs one more step down.
  if (x < 0 && x < static_cast<double>(t)) t = t - 1;
  return t;
}

double NumAbs(double x) {
  if (x < 0) return x * -1.0;
  return x;
}

double NumToDouble(double x) { return x; }

double NumLdexp(double x, int32_t n) {
  // The factors below can reach infinity or zero; a zero or an infinite x must not meet the other one.
  if (x == 0 || IsInfinite(x)) return x;
  // A normal x whose result is normal, with factors no larger than 2^512: every partial product of the
  // loop below lies between x and the result, so each is exact and so is the single product here.
  int biased = BiasedExponent(x);
  if (biased != 0 && n >= 1 - kExponentBias && n <= kExponentBias && biased + n >= 1 &&
      biased + n <= 2 * kExponentBias) {
    return x * PowerOfTwo(n);
  }
  double p = 2.0;
  uint32_t m = static_cast<uint32_t>(n);
  if (n < 0) {
    p = 0.5;
    m = 0u - m;  // -2147483648 has a magnitude only as unsigned
  }
  while (m != 0) {
    if (m & 1u) x = x * p;
    p = p * p;
    m = m / 2;
  }
  return x;
}

double NumFrexp(double x, int32_t* exponent) {
  *exponent = 0;
  if (x == 0) return x;  // keeps the sign of -0.0
  if (x != x) return 0.0;
  if (IsInfinite(x)) return x;
  int e = ExponentOf(x);
  *exponent = e;
  // x / 2^e is exact, so this is the quotient on which a search stepping e one by one would stop.
  return ScaleExact(x, -e);
}

double NumPowInt(double x, int32_t n) {
  uint32_t m = static_cast<uint32_t>(n);
  if (n < 0) m = 0u - m;
  double acc = 1.0;
  while (m != 0) {
    if (m & 1u) acc = acc * x;
    x = x * x;
    m = m / 2;
  }
  if (n >= 0) return acc;
  return 1.0 / acc;
}

double NumExp(double x) {
  // From k = 1024 on (x >= 709.436139303104) the scaling's factors are infinite, and from about
  // x = -745.83 down the result is zero; these bounds also cover arguments whose k would not fit.
  if (x >= 1024.0) return FromBits(kInfinityBits);
  if (x <= -1024.0) return 0.0;
  int32_t k = NearestMultipleOfLn2(x);
  double kLn = static_cast<double>(k) * kLn2;
  double r = x - kLn;
  double w = r * r;
  // e^r = (T + r) / (T - r), T = 2 + r^2/(6 + r^2/(10 + r^2/(14 + r^2/(18 + r^2/22)))).
  double t = w / 22.0;
  t = w / (18.0 + t);
  t = w / (14.0 + t);
  t = w / (10.0 + t);
  t = w / (6.0 + t);
  double T = t + 2.0;
  double q = (T + r) / (T - r);
  return NumLdexp(q, k);
}

double NumLog(double x) {
  if (!(x > 0)) return 0.0;
  if (IsInfinite(x)) return x;
  int e = ExponentOf(x / kSqrt2);
  // x / 2^e, exact; z lies in [1/sqrt2 - 1, sqrt2 - 1).
  double z = ScaleExact(x, -e) - 1.0;
  // ln(1 + z) = z / (1 + 1z/(2 + 1z/(3 + 2z/(2 + 2z/(5 + ...))))), from the ninth level inward.
  double s = 0.0;
  for (int i = 9; i >= 1; --i) {
    double iz = static_cast<double>(i) * z;
    s = iz / (2.0 + iz / (static_cast<double>(2 * i + 1) + s));
  }
  double eLn = static_cast<double>(e) * kLn2;
  return eLn + z / (1.0 + s);
}

double NumPow(double x, double y) {
  if (y >= -2147483647.0 && y <= 2147483647.0 && y == NumToDouble(NumToInt(y))) {
    return NumPowInt(x, static_cast<int32_t>(y));
  }
  if (x > 0) return NumExp(y * NumLog(x));
  // A zero base with a positive exponent (true power 0) and no real power at all both give 0.0.
  return 0.0;
}
