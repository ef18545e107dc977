// The production routines against the step-by-step reference, bit for bit, on at least a million
// inputs per routine spread over each routine's whole exact range, its limits and subnormals included.
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "bits.h"
#include "inputs.h"
#include "reference.h"
#include "runtime/numeric.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Counts disagreements and keeps the first few for the failure message.
class Tally {
 public:
  void Check(bool same, const std::function<std::string()>& describe) {
    ++checked_;
    if (same) return;
    if (++mismatched_ <= 5) examples_ += "\n  " + describe();
  }
  ::testing::AssertionResult Result() const {
    if (mismatched_ == 0 && checked_ >= kPropertyInputs) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << mismatched_ << " of " << checked_ << " inputs differ" << examples_;
  }

 private:
  int64_t checked_ = 0;
  int64_t mismatched_ = 0;
  std::string examples_;
};

std::string Pair(const char* name, double got, double want) {
  return std::string(name) + ": got " + Describe(got) + ", reference " + Describe(want);
}

// The exact range of NumLog: x / sqrt2 rounded within [2^-1024, 2^1023).
double LogLowerLimit() {
  double x = 0x1p-1024 * 1.4142135623730951;
  while (x / 1.4142135623730951 >= 0x1p-1024) x = std::nextafter(x, 0.0);
  while (x / 1.4142135623730951 < 0x1p-1024) x = std::nextafter(x, kInf);
  return x;
}
double LogUpperLimit() {  // first value beyond the range
  double x = 0x1p1022 * 1.4142135623730951 * 2.0;
  while (x / 1.4142135623730951 >= 0x1p1023) x = std::nextafter(x, 0.0);
  while (x / 1.4142135623730951 < 0x1p1023) x = std::nextafter(x, kInf);
  return x;
}

TEST(NumericProperty, NumToIntMatchesTheReferenceOverTheIntegerRange) {
  InputSource in(1);
  Tally tally;
  std::vector<double> inputs = {-2147483648.0, std::nextafter(-2147483648.0, 0.0), 2147483647.0,
                                2147483647.9, std::nextafter(2147483648.0, 0.0), -0.0, 0.0, -0.5, 0.5};
  while (static_cast<int64_t>(inputs.size()) < kPropertyInputs) {
    switch (in.Below(3)) {
      case 0: inputs.push_back(in.Uniform(-2147483648.0, 2147483648.0)); break;
      case 1: inputs.push_back(in.SignedByBits(0x1p-1074, 0x1p31)); break;
      default: {
        double whole = static_cast<double>(in.IntBetween(-2147483647, 2147483647));
        inputs.push_back(whole == 0 ? 0.0 : in.Near(whole, 1));
      }
    }
  }
  for (double x : inputs) {
    int32_t got = NumToInt(x), want = reference::ToInt(x);
    tally.Check(got == want, [&] { return "NumToInt(" + Describe(x) + ") = " + std::to_string(got) +
                                          ", reference " + std::to_string(want); });
  }
  EXPECT_TRUE(tally.Result());
}

TEST(NumericProperty, NumAbsAndNumToDoubleMatchTheReferenceOnEveryKindOfDouble) {
  InputSource in(2);
  Tally abs, same;
  for (int64_t i = 0; i < kPropertyInputs; ++i) {
    double x = i % 4 == 0 ? in.SignedByBits(0x1p-1074, 0x1p-1022) : in.AnyDouble();
    abs.Check(BitsOf(NumAbs(x)) == BitsOf(reference::Abs(x)),
              [&] { return Pair("NumAbs", NumAbs(x), reference::Abs(x)); });
    same.Check(BitsOf(NumToDouble(x)) == BitsOf(reference::ToDouble(x)),
               [&] { return Pair("NumToDouble", NumToDouble(x), x); });
  }
  EXPECT_TRUE(abs.Result());
  EXPECT_TRUE(same.Result());
}

// Exponents around the bits where NumLdexp's factors leave the double range, small ones, and any.
int32_t ScalingExponent(InputSource& in) {
  static const int32_t kBoundaries[] = {0, 1, 1022, 1023, 1024, 1025, 1074, 1075, 1076, 2047, 2048, 2049};
  switch (in.Below(3)) {
    case 0: return static_cast<int32_t>(in.IntBetween(-2200, 2200));
    case 1: return static_cast<int32_t>(in.IntBetween(-2147483647, 2147483647));
    default: {
      int32_t n = kBoundaries[in.Below(std::size(kBoundaries))] + static_cast<int32_t>(in.IntBetween(-1, 1));
      return in.Coin() ? -n : n;
    }
  }
}

TEST(NumericProperty, NumLdexpMatchesTheReferenceExceptWhereZeroMeetsInfinity) {
  InputSource in(3);
  Tally tally;
  for (int64_t i = 0; i < kPropertyInputs; ++i) {
    double x;
    int32_t n = ScalingExponent(in);
    switch (in.Below(5)) {
      case 0: x = in.AnyDouble(); break;
      case 1: x = in.SignedByBits(0x1p-1074, 0x1p-1022); break;
      case 2: x = in.Below(8) == 0 ? (in.Coin() ? -0.0 : 0.0) : (in.Coin() ? -kInf : kInf); break;
      case 3:
        // Normal values with only a few low mantissa bits, scaled down into the subnormals, where one
        // rounding per factor differs from a single rounding of the whole product.
        x = FromBits((static_cast<uint64_t>(in.IntBetween(1, 64)) << 52) | in.Below(256));
        n = static_cast<int32_t>(in.IntBetween(-80, -1));
        break;
      default: x = in.SignedByBits(0x1p-1074, kInf);
    }
    // The plain product would be 0 * infinity = NaN for these; the routine keeps x.
    double want = (x == 0 || std::isinf(x)) ? x : reference::Ldexp(x, n);
    double got = NumLdexp(x, n);
    tally.Check(BitsOf(got) == BitsOf(want),
                [&] { return "n = " + std::to_string(n) + ", x = " + Describe(x) + ": " + Pair("", got, want); });
  }
  EXPECT_TRUE(tally.Result());
}

TEST(NumericProperty, NumPowIntMatchesTheReferenceForEveryBaseAndExponent) {
  InputSource in(4);
  Tally tally;
  for (int64_t i = 0; i < kPropertyInputs; ++i) {
    double x;
    switch (in.Below(3)) {
      case 0: x = in.AnyDouble(); break;
      case 1: x = in.Uniform(0.5, 2.0) * (in.Coin() ? -1 : 1); break;
      default: x = in.Near(in.Coin() ? 1.0 : -1.0, 1 << 20);
    }
    int32_t n;
    switch (in.Below(3)) {
      case 0: n = static_cast<int32_t>(in.IntBetween(-1100, 1100)); break;
      case 1: n = static_cast<int32_t>(in.IntBetween(INT32_MIN, INT32_MAX)); break;
      default: n = in.Coin() ? INT32_MIN : INT32_MAX;
    }
    double got = NumPowInt(x, n), want = reference::PowInt(x, n);
    tally.Check(BitsOf(got) == BitsOf(want),
                [&] { return "n = " + std::to_string(n) + ", x = " + Describe(x) + ": " + Pair("", got, want); });
  }
  EXPECT_TRUE(tally.Result());
}

TEST(NumericProperty, NumFrexpMatchesTheStepByStepSearchOverItsWholeRange) {
  InputSource in(5);
  Tally tally;
  std::vector<double> inputs = {0.0, kNaN, -kNaN};
  // Every binade's ends, both signs.
  for (int k = -1024; k <= 1022; ++k) {
    for (double x : {std::ldexp(1.0, k), std::nextafter(std::ldexp(1.0, k), kInf),
                     std::nextafter(std::ldexp(1.0, k + 1), 0.0)}) {
      inputs.push_back(x);
      inputs.push_back(-x);
    }
  }
  while (static_cast<int64_t>(inputs.size()) < kPropertyInputs) inputs.push_back(in.SignedByBits(0x1p-1024, 0x1p1023));
  for (double x : inputs) {
    int32_t gotE = 99, wantE = 99;
    double got = NumFrexp(x, &gotE), want = reference::Frexp(x, &wantE);
    tally.Check(BitsOf(got) == BitsOf(want) && gotE == wantE, [&] {
      return "x = " + Describe(x) + ": e " + std::to_string(gotE) + " vs " + std::to_string(wantE) + ", " +
             Pair("m", got, want);
    });
  }
  EXPECT_TRUE(tally.Result());
}

TEST(NumericProperty, NumExpMatchesTheReferenceOverItsWholeRange) {
  InputSource in(6);
  Tally tally;
  constexpr double kLimit = 1488522235.5;
  std::vector<double> inputs = {0.0, -0.0, 709.4361393031039, 709.436139303104, -745.1332191019411,
                                -745.1332191019412, std::nextafter(kLimit, 0.0), -std::nextafter(kLimit, 0.0)};
  while (static_cast<int64_t>(inputs.size()) < kPropertyInputs) {
    switch (in.Below(5)) {
      case 0:
      case 1: inputs.push_back(in.Uniform(-750.0, 712.0)); break;
      case 2: inputs.push_back(in.SignedByBits(0x1p-1074, kLimit)); break;
      case 3:  // where k's rounding turns: (j + 1/2) ln 2
        inputs.push_back(in.Near((static_cast<double>(in.IntBetween(-1100, 1100)) + 0.5) * 0.6931471805599453, 4));
        break;
      default: inputs.push_back(in.Uniform(-kLimit, kLimit));
    }
  }
  for (double x : inputs) {
    double got = NumExp(x), want = reference::Exp(x);
    tally.Check(BitsOf(got) == BitsOf(want), [&] { return "x = " + Describe(x) + ": " + Pair("", got, want); });
  }
  EXPECT_TRUE(tally.Result());
}

TEST(NumericProperty, NumLogMatchesTheReferenceOverItsWholeRange) {
  InputSource in(7);
  Tally tally;
  const double low = LogLowerLimit(), high = LogUpperLimit();
  std::vector<double> inputs = {low, std::nextafter(high, 0.0), 1.0, 0.0, -0.0, -1.0, kNaN, -kInf};
  // Where the split's exponent turns: 2^k sqrt2.
  for (int k = -1023; k <= 1022; ++k) {
    double turn = std::ldexp(1.4142135623730951, k);
    for (int step = -2; step <= 2; ++step) {
      double x = FromBits(BitsOf(turn) + static_cast<uint64_t>(step));
      if (x >= low && x < high) inputs.push_back(x);
    }
  }
  while (static_cast<int64_t>(inputs.size()) < kPropertyInputs) {
    switch (in.Below(10)) {
      case 0: inputs.push_back(in.Near(1.0, 1 << 30)); break;
      case 1: inputs.push_back(-in.PositiveByBits(0x1p-1074, kInf)); break;
      default: inputs.push_back(in.PositiveByBits(low, high));
    }
  }
  for (double x : inputs) {
    double got = NumLog(x), want = reference::Log(x);
    tally.Check(BitsOf(got) == BitsOf(want), [&] { return "x = " + Describe(x) + ": " + Pair("", got, want); });
  }
  EXPECT_TRUE(tally.Result());
}

TEST(NumericProperty, NumPowMatchesTheReferenceOnWholeAndFractionalExponents) {
  InputSource in(8);
  Tally tally;
  const double low = LogLowerLimit(), high = LogUpperLimit();
  for (int64_t i = 0; i < kPropertyInputs; ++i) {
    double x, y;
    switch (in.Below(5)) {
      case 0:  // whole exponents within the bounds, any base
        x = in.Coin() ? in.AnyDouble() : in.Uniform(-3.0, 3.0);
        y = static_cast<double>(in.Coin() ? in.IntBetween(-1100, 1100) : in.IntBetween(-2147483647, 2147483647));
        break;
      case 1:  // no real power, or a zero base
        x = in.Coin() ? -in.PositiveByBits(0x1p-1074, kInf) : (in.Coin() ? 0.0 : kNaN);
        y = in.Uniform(-100.0, 100.0);
        break;
      default: {  // the exponential path, with y * ln x inside NumExp's range
        x = in.PositiveByBits(low, high);
        double span = 1.4e9 / std::max(std::fabs(std::log(x)), 1e-300);
        y = in.Coin() ? in.Uniform(-800.0, 800.0) / std::max(std::fabs(std::log(x)), 1e-3)
                      : in.SignedByBits(0x1p-1074, std::min(span, 0x1p60));
      }
    }
    double got = NumPow(x, y), want = reference::Pow(x, y);
    tally.Check(BitsOf(got) == BitsOf(want),
                [&] { return "x = " + Describe(x) + ", y = " + Describe(y) + ": " + Pair("", got, want); });
  }
  EXPECT_TRUE(tally.Result());
}

}  // namespace
