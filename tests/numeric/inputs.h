// Input generators for the numeric property tests: deterministic, spread over whole ranges by bit
// pattern (so every binade, subnormals included, is as likely as any other) or by value.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>

#include "bits.h"

class InputSource {
 public:
  explicit InputSource(uint64_t seed) : engine_(seed) {}

  uint64_t Bits() { return engine_(); }
  bool Coin() { return (engine_() & 1) != 0; }
  // Uniform in [0, count).
  uint64_t Below(uint64_t count) { return std::uniform_int_distribution<uint64_t>(0, count - 1)(engine_); }
  int64_t IntBetween(int64_t low, int64_t high) {
    return std::uniform_int_distribution<int64_t>(low, high)(engine_);
  }
  double Uniform(double low, double high) { return std::uniform_real_distribution<double>(low, high)(engine_); }

  // Any double, NaNs and infinities included.
  double AnyDouble() { return FromBits(Bits()); }
  // A positive double whose bit pattern lies in [BitsOf(low), BitsOf(high)): log-uniform over the range.
  double PositiveByBits(double low, double high) {
    return FromBits(BitsOf(low) + Below(BitsOf(high) - BitsOf(low)));
  }
  double SignedByBits(double low, double high) {
    double x = PositiveByBits(low, high);
    return Coin() ? -x : x;
  }
  // A value a few units in the last place away from x.
  double Near(double x, int units) {
    int64_t step = IntBetween(-units, units);
    return FromBits(BitsOf(x) + static_cast<uint64_t>(step));
  }

 private:
  std::mt19937_64 engine_;
};

// Where the property tests run under a sanitizer they check fewer inputs (the step-by-step reference
// is slow there); everywhere else at least a million per routine.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int64_t kPropertyInputs = 1'000'000 / 8;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr int64_t kPropertyInputs = 1'000'000 / 8;
#else
constexpr int64_t kPropertyInputs = 1'000'000;
#endif
#else
constexpr int64_t kPropertyInputs = 1'000'000;
#endif
