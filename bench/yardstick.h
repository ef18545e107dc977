// The yardstick that the benchmarks of each program are read against: a memcpy of the bytes they
// write, measured in the same run, so that a busy machine slows both alike.
#pragma once

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

inline void Memcpy(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(state.range(0));
  std::vector<char> from(bytes, 1), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// One 640 x 400 page of 32-bit pixels.
constexpr int kPageBytes = 640 * 400 * 4;
