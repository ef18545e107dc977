// What the routines give outside their exact ranges, and the two places where the plain algorithm
// would give NaN for a value that has an obvious answer.
#include <algorithm>
#include <cmath>
#include <limits>

#include "bits.h"
#include "runtime/numeric.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kTiny = std::numeric_limits<double>::denorm_min();

// Distance in units in the last place between two finite doubles of the same sign.
int64_t UlpDistance(double a, double b) {
  int64_t d = static_cast<int64_t>(BitsOf(a)) - static_cast<int64_t>(BitsOf(b));
  return d < 0 ? -d : d;
}

TEST(NumToIntOutsideItsRange, SaturatesAndMapsNaNToZero) {
  EXPECT_EQ(NumToInt(kNaN), 0);
  EXPECT_EQ(NumToInt(-kNaN), 0);
  EXPECT_EQ(NumToInt(2147483648.0), 2147483647);
  EXPECT_EQ(NumToInt(1e300), 2147483647);
  EXPECT_EQ(NumToInt(kInf), 2147483647);
  EXPECT_EQ(NumToInt(-2147483648.5), -2147483648);
  EXPECT_EQ(NumToInt(-1e300), -2147483648);
  EXPECT_EQ(NumToInt(-kInf), -2147483648);
}

TEST(NumLdexpOfZeroOrInfinity, KeepsTheValueWhereTheFactorsWouldMakeNaN) {
  for (int32_t n : {1024, 1025, 4096, 2147483647}) {
    EXPECT_TRUE(SameBits(NumLdexp(0.0, n), 0.0)) << n;
    EXPECT_TRUE(SameBits(NumLdexp(-0.0, n), -0.0)) << n;
  }
  for (int32_t n : {-2048, -2049, -100000, -2147483647}) {
    EXPECT_TRUE(SameBits(NumLdexp(kInf, n), kInf)) << n;
    EXPECT_TRUE(SameBits(NumLdexp(-kInf, n), -kInf)) << n;
  }
}

TEST(NumLdexpOfTheMostNegativeExponent, ScalesToZeroKeepingTheSign) {
  constexpr int32_t kMin = -2147483647 - 1;
  EXPECT_TRUE(SameBits(NumLdexp(1.0, kMin), 0.0));
  EXPECT_TRUE(SameBits(NumLdexp(-kMax, kMin), -0.0));
  EXPECT_TRUE(SameBits(NumLdexp(kInf, kMin), kInf));
  EXPECT_TRUE(std::isnan(NumLdexp(kNaN, kMin)));
}

TEST(NumFrexpOutsideItsRange, GivesTheTrueMantissaAndExponent) {
  struct Case {
    double x, mantissa;
    int32_t exponent;
  };
  const Case cases[] = {
      {0x1p1023, 0.5, 1024},
      {kMax, 0.9999999999999999, 1024},
      {-kMax, -0.9999999999999999, 1024},
      {std::nextafter(0x1p-1024, 0.0), 0x1.ffffffffffff8p-1, -1024},
      {kTiny, 0.5, -1073},
      {-3 * kTiny, -0.75, -1072},
  };
  for (const Case& c : cases) {
    int32_t e = 0;
    EXPECT_TRUE(SameBits(NumFrexp(c.x, &e), c.mantissa)) << Describe(c.x);
    EXPECT_EQ(e, c.exponent) << Describe(c.x);
  }
}

TEST(NumFrexpOutsideItsRange, RebuildsEveryValueExactly) {
  for (uint64_t bits = 1; bits < BitsOf(0x1p-1024); bits = bits * 3 + 1) {
    int32_t e = 0;
    double m = NumFrexp(FromBits(bits), &e);
    EXPECT_TRUE(std::fabs(m) >= 0.5 && std::fabs(m) < 1) << Describe(FromBits(bits));
    EXPECT_TRUE(SameBits(std::ldexp(m, e), FromBits(bits)));
  }
  for (double x = 0x1p1023; x < kInf; x = x * 1.0001) {
    int32_t e = 0;
    double m = NumFrexp(x, &e);
    EXPECT_EQ(e, 1024);
    EXPECT_TRUE(SameBits(std::ldexp(m, e), x));
  }
}

TEST(NumFrexpOfInfinity, ReturnsTheInfinityWithExponentZero) {
  int32_t e = 5;
  EXPECT_TRUE(SameBits(NumFrexp(kInf, &e), kInf));
  EXPECT_EQ(e, 0);
  e = 5;
  EXPECT_TRUE(SameBits(NumFrexp(-kInf, &e), -kInf));
  EXPECT_EQ(e, 0);
}

TEST(NumExpOutsideItsRange, OverflowsToInfinityAndUnderflowsToZero) {
  EXPECT_TRUE(SameBits(NumExp(1488522235.5), kInf));
  EXPECT_TRUE(SameBits(NumExp(1e300), kInf));
  EXPECT_TRUE(SameBits(NumExp(kMax), kInf));
  EXPECT_TRUE(SameBits(NumExp(kInf), kInf));
  EXPECT_TRUE(SameBits(NumExp(-1488522235.5), 0.0));
  EXPECT_TRUE(SameBits(NumExp(-1e300), 0.0));
  EXPECT_TRUE(SameBits(NumExp(-kInf), 0.0));
}

TEST(NumLogOutsideItsRange, StaysAsAccurateAsInside) {
  EXPECT_TRUE(SameBits(NumLog(kInf), kInf));
  // Beyond the top of the range and down among the small subnormals, within a few units of the
  // correctly rounded logarithm, like the values inside.
  int64_t worst = 0;
  for (double x = 1.2711610061536464e308; x < kInf; x = x * 1.00001) {
    worst = std::max(worst, UlpDistance(NumLog(x), std::log(x)));
  }
  for (double x = 7.866824069956793e-309; x > kTiny; x = std::min(x * 0.99, std::nextafter(x, 0.0))) {
    worst = std::max(worst, UlpDistance(NumLog(x), std::log(x)));
  }
  EXPECT_LE(worst, 4);
  EXPECT_LE(UlpDistance(NumLog(kMax), 709.782712893384), 2);
  EXPECT_LE(UlpDistance(NumLog(kTiny), -744.4400719213812), 2);
}

TEST(NumPowOutsideItsRange, FollowsTheExponentialOfTheLogarithm) {
  EXPECT_TRUE(SameBits(NumPow(2.0, kInf), kInf));
  EXPECT_TRUE(SameBits(NumPow(0.5, kInf), 0.0));
  EXPECT_TRUE(SameBits(NumPow(2.0, -kInf), 0.0));
  EXPECT_TRUE(SameBits(NumPow(kInf, 0.5), kInf));
  EXPECT_TRUE(SameBits(NumPow(kInf, -0.5), 0.0));
  EXPECT_TRUE(SameBits(NumPow(kInf, 2.0), kInf));
  EXPECT_TRUE(std::isnan(NumPow(2.0, kNaN)));
  EXPECT_TRUE(std::isnan(NumPow(1.0, kInf)));
  EXPECT_TRUE(SameBits(NumPow(-2.0, kNaN), 0.0));
  EXPECT_TRUE(SameBits(NumPow(-2.0, kInf), 0.0));
  EXPECT_LE(UlpDistance(NumPow(kMax, 0.5), std::sqrt(kMax)), 4);
  EXPECT_TRUE(SameBits(NumPow(2.0, 1e300), kInf));
}

}  // namespace
