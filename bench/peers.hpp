// The peers every routine is measured against: R's standalone math library
// and Boost.Math, each on the same arguments as ours.
#pragma once

#include <Rmath.h>

#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>

namespace bench {

// Cycles through a fixed set of arguments so that no call is folded away.
template <std::size_t N, class Call>
void Sweep(benchmark::State& state, const std::array<double, N>& arguments, Call call) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(call(arguments[i]));
    i = i + 1 == N ? 0 : i + 1;
  }
}

}  // namespace bench
