// The documented values of each routine inside its exact range, compared bit for bit.
#include <cmath>
#include <limits>

#include "bits.h"
#include "runtime/numeric.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(NumToInt, RoundsTowardMinusInfinity) {
  EXPECT_EQ(NumToInt(2.5), 2);
  EXPECT_EQ(NumToInt(-2.5), -3);
  EXPECT_EQ(NumToInt(-0.5), -1);
  EXPECT_EQ(NumToInt(-2.0), -2);
  EXPECT_EQ(NumToInt(-0.0), 0);
  EXPECT_EQ(NumToInt(0x1p-1074), 0);
  EXPECT_EQ(NumToInt(-0x1p-1074), -1);
}

TEST(NumToInt, ReachesBothEndsOfTheIntegerRange) {
  EXPECT_EQ(NumToInt(2147483647.9), 2147483647);
  EXPECT_EQ(NumToInt(-2147483648.0), -2147483648);
  EXPECT_EQ(NumToInt(-2147483647.5), -2147483648);
}

TEST(NumAbs, NegatesOnlyValuesBelowZero) {
  EXPECT_TRUE(SameBits(NumAbs(-0.0), -0.0));
  EXPECT_TRUE(SameBits(NumAbs(-kInf), kInf));
  EXPECT_TRUE(SameBits(NumAbs(-3.5), 3.5));
  EXPECT_TRUE(SameBits(NumAbs(-0x1p-1074), 0x1p-1074));
  EXPECT_TRUE(SameBits(NumAbs(2.0), 2.0));
}

TEST(NumToDouble, ReturnsItsArgumentUnchanged) {
  EXPECT_TRUE(SameBits(NumToDouble(-0.0), -0.0));
  EXPECT_TRUE(SameBits(NumToDouble(0x1p-1074), 0x1p-1074));
  EXPECT_TRUE(SameBits(NumToDouble(FromBits(0x7FF8000000000123u)), FromBits(0x7FF8000000000123u)));
}

TEST(NumLdexp, ScalesByPowersOfTwo) {
  EXPECT_TRUE(SameBits(NumLdexp(3.0, -2), 0.75));
  EXPECT_TRUE(SameBits(NumLdexp(1.0, 1023), 8.98846567431158e307));
  EXPECT_TRUE(SameBits(NumLdexp(1.0, -1074), 4.9406564584124654e-324));
  EXPECT_TRUE(SameBits(NumLdexp(1.0, -1075), 0.0));
  EXPECT_TRUE(SameBits(NumLdexp(-5.0, 0), -5.0));
}

TEST(NumLdexp, AnInfiniteFactorOverflowsEvenWhereTheProductWouldFit) {
  EXPECT_TRUE(SameBits(NumLdexp(0.75, 1024), kInf));
  EXPECT_TRUE(SameBits(NumLdexp(0x1p-1000, 1024), kInf));
  EXPECT_TRUE(SameBits(NumLdexp(-0x1p-1000, 1030), -kInf));
}

TEST(NumLdexp, AZeroFactorUnderflowsEvenWhereTheProductWouldFit) {
  // 2^1000 * 2^-2048 = 2^-1048 is a subnormal, but the factor 0.5^2048 is already zero.
  EXPECT_TRUE(SameBits(NumLdexp(0x1p1000, -2048), 0.0));
  EXPECT_TRUE(SameBits(NumLdexp(-0x1p1000, -2048), -0.0));
  // The factor 0.5^1024 is still a subnormal.
  EXPECT_TRUE(SameBits(NumLdexp(0x1p1000, -1024), 0x1p-24));
}

TEST(NumLdexp, RoundsEachProductOnTheWayIntoSubnormals) {
  // Five smallest subnormals times 0.5 is 2.5 of them, rounded to 2 (even); times 0.25 is 0.5, rounded
  // to 0. One rounding of 5/8 would have given the smallest subnormal.
  EXPECT_TRUE(SameBits(NumLdexp(0x1.4p-1072, -3), 0.0));
  EXPECT_TRUE(SameBits(NumLdexp(-0x1.4p-1072, -3), -0.0));
  // From a normal value: 2^52 + 5 units, halved to 2^51 + 2 (even), quartered to 2^49 + 0.5, rounded
  // to 2^49; one rounding of 2^49 + 0.625 would have given 2^49 + 1 units.
  EXPECT_TRUE(SameBits(NumLdexp(0x1.0000000000005p-1022, -3), 0x1p-1025));
}

TEST(NumPowInt, RaisesByRepeatedSquaring) {
  EXPECT_TRUE(SameBits(NumPowInt(2.0, 10), 1024.0));
  EXPECT_TRUE(SameBits(NumPowInt(2.0, -2), 0.25));
  EXPECT_TRUE(SameBits(NumPowInt(-2.0, 3), -8.0));
  EXPECT_TRUE(SameBits(NumPowInt(-2.0, 2), 4.0));
}

TEST(NumPowInt, ExponentZeroGivesOneForEveryBase) {
  EXPECT_TRUE(SameBits(NumPowInt(0.0, 0), 1.0));
  EXPECT_TRUE(SameBits(NumPowInt(kNaN, 0), 1.0));
  EXPECT_TRUE(SameBits(NumPowInt(-kInf, 0), 1.0));
}

TEST(NumPowInt, ZeroBaseWithNegativeExponentGivesSignedInfinity) {
  EXPECT_TRUE(SameBits(NumPowInt(0.0, -1), kInf));
  EXPECT_TRUE(SameBits(NumPowInt(-0.0, -1), -kInf));
  EXPECT_TRUE(SameBits(NumPowInt(-0.0, -2), kInf));
}

TEST(NumPowInt, UsesTheFullMagnitudeOfTheMostNegativeExponent) {
  EXPECT_TRUE(SameBits(NumPowInt(2.0, -2147483647 - 1), 0.0));
  EXPECT_TRUE(SameBits(NumPowInt(0.5, -2147483647 - 1), kInf));
  EXPECT_TRUE(SameBits(NumPowInt(-1.0, -2147483647 - 1), 1.0));
  EXPECT_TRUE(SameBits(NumPowInt(-1.0, 2147483647), -1.0));
}

struct FrexpCase {
  double x;
  double mantissa;
  int32_t exponent;
};

TEST(NumFrexp, SplitsIntoMantissaAndExponent) {
  const FrexpCase cases[] = {
      {8.0, 0.5, 4},
      {-8.0, -0.5, 4},
      {1.0, 0.5, 1},
      {0.75, 0.75, 0},
      {0.1, 0.8, -3},
      {std::nextafter(0x1p1023, 0.0), 0.9999999999999999, 1023},
      {0x1p-1024, 0.5, -1023},
      {-0x1p-1024, -0.5, -1023},
      {0x1.8p-1023, 0.75, -1022},
      {0x1p-1022, 0.5, -1021},
  };
  for (const FrexpCase& c : cases) {
    int32_t e = 12345;
    EXPECT_TRUE(SameBits(NumFrexp(c.x, &e), c.mantissa)) << "x = " << Describe(c.x);
    EXPECT_EQ(e, c.exponent) << "x = " << Describe(c.x);
  }
}

TEST(NumFrexp, ZeroAndNaNGiveZeroWithExponentZero) {
  int32_t e = 7;
  EXPECT_TRUE(SameBits(NumFrexp(0.0, &e), 0.0));
  EXPECT_EQ(e, 0);
  e = 7;
  EXPECT_TRUE(SameBits(NumFrexp(kNaN, &e), 0.0));
  EXPECT_EQ(e, 0);
}

TEST(NumFrexp, NegativeZeroKeepsItsSign) {
  int32_t e = 7;
  EXPECT_TRUE(SameBits(NumFrexp(-0.0, &e), -0.0));
  EXPECT_EQ(e, 0);
}

TEST(NumExp, ZeroGivesExactlyOne) {
  EXPECT_TRUE(SameBits(NumExp(0.0), 1.0));
  EXPECT_TRUE(SameBits(NumExp(-0.0), 1.0));
}

TEST(NumExp, GivesTheDocumentedValues) {
  EXPECT_TRUE(SameBits(NumExp(1.0), 2.718281828459045));
  EXPECT_TRUE(SameBits(NumExp(0.5), 1.648721270700128));
  EXPECT_TRUE(SameBits(NumExp(-0.5), 0.6065306597126334));
  EXPECT_TRUE(SameBits(NumExp(-1.0), 0.36787944117144233));
  EXPECT_TRUE(SameBits(NumExp(10.0), 22026.46579480673));
}

TEST(NumExp, OverflowsFromKEqual1024On) {
  EXPECT_TRUE(SameBits(NumExp(709.4361393031039), 1.2711610061534667e308));
  EXPECT_TRUE(SameBits(NumExp(709.436139303104), kInf));
  EXPECT_TRUE(SameBits(NumExp(709.7), kInf));
}

TEST(NumExp, UnderflowsThroughSubnormalsToZero) {
  EXPECT_TRUE(SameBits(NumExp(-745.1332191019411), 4.9406564584124654e-324));
  EXPECT_TRUE(SameBits(NumExp(-745.1332191019412), 0.0));
  EXPECT_TRUE(SameBits(NumExp(-800.0), 0.0));
}

TEST(NumExp, NaNGivesNaN) { EXPECT_TRUE(std::isnan(NumExp(kNaN))); }

TEST(NumLog, GivesTheDocumentedValues) {
  EXPECT_TRUE(SameBits(NumLog(1.0), 0.0));
  EXPECT_TRUE(SameBits(NumLog(2.0), 0.6931471805599453));
  EXPECT_TRUE(SameBits(NumLog(0.5), -0.6931471805599453));
  EXPECT_TRUE(SameBits(NumLog(10.0), 2.3025850929940455));
  EXPECT_TRUE(SameBits(NumLog(2.718281828459045), 1.0));
  EXPECT_TRUE(SameBits(NumLog(3.0), 1.0986122886681096));
}

TEST(NumLog, ValuesNotAboveZeroAndNaNGiveZero) {
  EXPECT_TRUE(SameBits(NumLog(0.0), 0.0));
  EXPECT_TRUE(SameBits(NumLog(-0.0), 0.0));
  EXPECT_TRUE(SameBits(NumLog(-1.0), 0.0));
  EXPECT_TRUE(SameBits(NumLog(-kInf), 0.0));
  EXPECT_TRUE(SameBits(NumLog(kNaN), 0.0));
}

TEST(NumPow, WholeExponentsUsePowerBySquaring) {
  EXPECT_TRUE(SameBits(NumPow(2.0, 10.0), 1024.0));
  EXPECT_TRUE(SameBits(NumPow(10.0, -2.0), 0.01));
  EXPECT_TRUE(SameBits(NumPow(0.0, 0.0), 1.0));
  EXPECT_TRUE(SameBits(NumPow(kNaN, 0.0), 1.0));
  EXPECT_TRUE(SameBits(NumPow(0.0, -1.0), kInf));
  EXPECT_TRUE(SameBits(NumPow(-2.0, 3.0), -8.0));
  EXPECT_TRUE(SameBits(NumPow(2.0, 2147483647.0), kInf));
  EXPECT_TRUE(SameBits(NumPow(2.0, -2147483647.0), 0.0));
}

TEST(NumPow, NonPositiveBaseWithFractionalExponentGivesZero) {
  EXPECT_TRUE(SameBits(NumPow(0.0, 0.5), 0.0));
  EXPECT_TRUE(SameBits(NumPow(0.0, -0.5), 0.0));
  EXPECT_TRUE(SameBits(NumPow(-8.0, 1.0 / 3.0), 0.0));
  EXPECT_TRUE(SameBits(NumPow(kNaN, 0.5), 0.0));
}

TEST(NumPow, WholeExponentsBeyondTheBoundsNeedAPositiveBase) {
  EXPECT_TRUE(SameBits(NumPow(-2.0, 2147483648.0), 0.0));
  EXPECT_TRUE(SameBits(NumPow(-2.0, -2147483648.0), 0.0));
  EXPECT_TRUE(SameBits(NumPow(1.0, 3e9), 1.0));
}

TEST(NumPow, FractionalExponentsGoThroughTheLogarithm) {
  EXPECT_TRUE(SameBits(NumPow(2.0, 0.5), 1.414213562373095));
  EXPECT_TRUE(SameBits(NumPow(10.0, 0.5), 3.162277660168379));
  EXPECT_TRUE(SameBits(NumPow(9.0, 0.5), 3.0));
}

}  // namespace
