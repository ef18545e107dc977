// numeric.cpp must give the same bits on every machine, so its build forbids fusing a multiply with an
// add (and the other liberties of fast maths). This suite builds a second copy of numeric.cpp for
// processors with fused multiply-add, with the same options, and checks it against the reference: were
// the options missing, the compiler would fuse steps such as x - k*ln2 and the results would differ.
#include <cmath>
#include <cstdint>

#include "bits.h"
#include "inputs.h"
#include "reference.h"

#ifdef NUMERIC_FMA_COPY
double FmaNumExp(double x);
double FmaNumLog(double x);
double FmaNumPow(double x, double y);
#endif

namespace {

#ifdef NUMERIC_FMA_COPY

bool CpuHasFma() {
#if defined(__x86_64__) || defined(__i386__)
  return __builtin_cpu_supports("fma");
#else
  return false;
#endif
}

TEST(NumericBuild, CopyBuiltForFusedMultiplyAddStillMatchesTheReference) {
  if (!CpuHasFma()) GTEST_SKIP() << "this processor has no fused multiply-add";
  InputSource in(11);
  int64_t expDiffs = 0, logDiffs = 0, powDiffs = 0;
  std::string firstExp, firstLog, firstPow;
  for (int i = 0; i < 100000; ++i) {
    double x = in.Uniform(-740.0, 705.0);
    if (BitsOf(FmaNumExp(x)) != BitsOf(reference::Exp(x)) && expDiffs++ == 0) {
      firstExp = "NumExp(" + Describe(x) + "): " + Describe(FmaNumExp(x)) + " vs " + Describe(reference::Exp(x));
    }
    // Binades close to 1 keep the step-by-step reference quick.
    double y = in.PositiveByBits(0x1p-60, 0x1p60);
    if (BitsOf(FmaNumLog(y)) != BitsOf(reference::Log(y)) && logDiffs++ == 0) {
      firstLog = "NumLog(" + Describe(y) + "): " + Describe(FmaNumLog(y)) + " vs " + Describe(reference::Log(y));
    }
    double p = in.Uniform(-30.0, 30.0);
    if (BitsOf(FmaNumPow(y, p)) != BitsOf(reference::Pow(y, p)) && powDiffs++ == 0) {
      firstPow = "NumPow(" + Describe(y) + ", " + Describe(p) + "): " + Describe(FmaNumPow(y, p)) + " vs " +
                 Describe(reference::Pow(y, p));
    }
  }
  EXPECT_EQ(expDiffs, 0) << firstExp;
  EXPECT_EQ(logDiffs, 0) << firstLog;
  EXPECT_EQ(powDiffs, 0) << firstPow;
}

#else

TEST(NumericBuild, CopyBuiltForFusedMultiplyAddStillMatchesTheReference) {
  GTEST_SKIP() << "the compiler cannot target fused multiply-add";
}

#endif

}  // namespace
