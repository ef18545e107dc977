#include "reference.h"

namespace reference {

namespace {
constexpr double kLn2 = 0.6931471805599453;
constexpr double kSqrt2 = 1.4142135623730951;
}  // namespace

int32_t ToInt(double x) {
  int32_t t = static_cast<int32_t>(x);
  if (x < 0 && x < t) t = t - 1;
  return t;
}

double Abs(double x) {
  if (x < 0) return x * (-1);
  return x;
}

double ToDouble(double x) { return x; }

double Ldexp(double x, int32_t n) {
  double p;
  if (n >= 0) {
    p = 2.0;
  } else {
    p = 0.5;
    n = -n;
  }
  while (n != 0) {
    if (n % 2 != 0) x = x * p;
    p = p * p;
    n = n / 2;
  }
  return x;
}

double PowInt(double x, int32_t n) {
  int64_t m = static_cast<int64_t>(Abs(static_cast<double>(n)));
  double acc = 1.0;
  while (m != 0) {
    if (m % 2 != 0) acc = acc * x;
    x = x * x;
    m = m / 2;
  }
  if (n >= 0) return acc;
  return 1.0 / acc;
}

double Frexp(double x, int32_t* e) {
  if (x == 0 || x != x) {
    *e = 0;
    return 0.0;
  }
  *e = 0;
  bool upward = Abs(x) >= 1;
  for (;;) {
    double m = x / PowInt(2.0, *e);
    if (0.5 <= Abs(m) && Abs(m) < 1) return m;
    if (upward) {
      *e = *e + 1;
    } else {
      *e = *e - 1;
    }
  }
}

double Exp(double x) {
  double v = x / kLn2;
  int32_t k;
  if (x >= 0) {
    k = ToInt(v + 0.5);
  } else {
    k = -ToInt(0.5 - v);
  }
  double r = x - (k * kLn2);
  double w = r * r;
  double t = w / 22;
  const int terms[] = {18, 14, 10, 6};
  for (int i : terms) t = w / (i + t);
  double T = t + 2;
  double q = (T + r) / (T - r);
  return Ldexp(q, k);
}

double Log(double x) {
  if (!(x > 0)) return 0.0;
  int32_t e;
  Frexp(x / kSqrt2, &e);
  double z = x / Ldexp(1.0, e) - 1;
  double s = 0.0;
  for (int i = 9; i >= 1; --i) s = (i * z) / (2 + (i * z) / ((2 * i + 1) + s));
  return (e * kLn2) + z / (1 + s);
}

double Pow(double x, double y) {
  if (-2147483647 <= y && y <= 2147483647 && y == ToDouble(ToInt(y))) {
    return PowInt(x, static_cast<int32_t>(y));
  }
  if (x > 0) return Exp(y * Log(x));
  return 0.0;
}

}  // namespace reference
