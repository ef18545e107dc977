// The numeric routines beside the platform maths library on the same arguments. The interesting
// figures are ratios: NumLog far from 1 against NumLog near 1 (the exponent search must not cost more
// with the exponent), and each routine against its library counterpart.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "runtime/numeric.h"

namespace {

// One benchmark per call; the arguments pass through DoNotOptimize so nothing is folded at compile time.
#define NUMERIC_BENCH(name, x0, y0, expr)             \
  void name(benchmark::State& state) {                \
    double x = x0, y = y0;                            \
    for (auto _ : state) {                            \
      benchmark::DoNotOptimize(x);                    \
      benchmark::DoNotOptimize(y);                    \
      double r = expr;                                \
      benchmark::DoNotOptimize(r);                    \
    }                                                 \
  }                                                   \
  BENCHMARK(name)

double NumFrexpMantissa(double x) {
  int32_t e;
  double m = NumFrexp(x, &e);
  benchmark::DoNotOptimize(e);
  return m;
}
double StdFrexpMantissa(double x) {
  int e;
  double m = std::frexp(x, &e);
  benchmark::DoNotOptimize(e);
  return m;
}

NUMERIC_BENCH(NumLog_1e300, 1e300, 0.0, NumLog(x));
NUMERIC_BENCH(std_log_1e300, 1e300, 0.0, std::log(x));
NUMERIC_BENCH(NumLog_3, 3.0, 0.0, NumLog(x));
NUMERIC_BENCH(std_log_3, 3.0, 0.0, std::log(x));
NUMERIC_BENCH(NumExp_10, 10.0, 0.0, NumExp(x));
NUMERIC_BENCH(std_exp_10, 10.0, 0.0, std::exp(x));
NUMERIC_BENCH(NumPow_10_half, 10.0, 0.5, NumPow(x, y));
NUMERIC_BENCH(std_pow_10_half, 10.0, 0.5, std::pow(x, y));
NUMERIC_BENCH(NumFrexp_1e300, 1e300, 0.0, NumFrexpMantissa(x));
NUMERIC_BENCH(std_frexp_1e300, 1e300, 0.0, StdFrexpMantissa(x));

}  // namespace
