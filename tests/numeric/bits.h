// Bit-for-bit comparison of doubles for the numeric tests.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>

inline uint64_t BitsOf(double x) { return std::bit_cast<uint64_t>(x); }
inline double FromBits(uint64_t bits) { return std::bit_cast<double>(bits); }

inline std::string Describe(double x) {
  char text[96];
  std::snprintf(text, sizeof text, "%.17g (%a, 0x%016llx)", x, x, static_cast<unsigned long long>(BitsOf(x)));
  return text;
}

// Passes only when both doubles have the same bit pattern: -0.0 differs from 0.0, and a NaN equals
// only the same NaN.
inline ::testing::AssertionResult SameBits(double actual, double expected) {
  if (BitsOf(actual) == BitsOf(expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got " << Describe(actual) << ", expected " << Describe(expected);
}
