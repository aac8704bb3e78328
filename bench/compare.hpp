// One comparison per routine: our scalar call, our batch call, R's
// standalone math library and Boost.Math, each timed on the same named set of
// arguments. A routine is added with one call of Compare; its batch form,
// where it has one, is the argument after our scalar call ({} where none):
//
//   bench::Compare("QGauss", kDeviates,
//                  [](const double* v) { return specfun::QGauss(v[0]); },
//                  bench::BatchOf(specfun::QGaussBatch),
//                  [](const double* v) { return pnorm(v[0], 0, 1, 0, 0); },
//                  [](const double* v) { return cdf(complement(kNormal, v[0])); });
//
// and the chi-square forms with their tail selector, e.g.
// bench::BatchOf(specfun::ChiSquareBatch, specfun::kLowerTail).
#pragma once

#include <Rmath.h>

#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "specfun/diagnostics.hpp"

namespace bench {

// A named set of arguments the benchmarks cycle through; each row holds a
// call's arguments in order (unused ones zero).
struct ArgumentSet {
  std::string name;
  std::vector<std::array<double, 3>> rows;
};

// Elements per call of a batch routine.
inline constexpr std::size_t kBatchLength = 1024;

// A batch routine over the argument columns (one array per parameter).
using BatchCall =
    std::function<void(const std::vector<double>* columns, double* result, std::size_t count)>;

inline BatchCall BatchOf(void (*batch)(const double*, double*, std::size_t)) {
  return
      [batch](const std::vector<double>* c, double* r, std::size_t n) { batch(c[0].data(), r, n); };
}
inline BatchCall BatchOf(void (*batch)(const double*, const double*, double*, std::size_t)) {
  return [batch](const std::vector<double>* c, double* r, std::size_t n) {
    batch(c[0].data(), c[1].data(), r, n);
  };
}
inline BatchCall BatchOf(void (*batch)(const double*, const double*, const double*, double*,
                                       std::size_t)) {
  return [batch](const std::vector<double>* c, double* r, std::size_t n) {
    batch(c[0].data(), c[1].data(), c[2].data(), r, n);
  };
}
// The chi-square forms, with their tail selector.
inline BatchCall BatchOf(void (*batch)(const double*, const double*, std::int32_t, double*,
                                       std::size_t),
                         std::int32_t tail) {
  return [batch, tail](const std::vector<double>* c, double* r, std::size_t n) {
    batch(c[0].data(), c[1].data(), tail, r, n);
  };
}
inline BatchCall BatchOf(void (*batch)(const double*, const double*, const double*, std::int32_t,
                                       double*, std::size_t),
                         std::int32_t tail) {
  return [batch, tail](const std::vector<double>* c, double* r, std::size_t n) {
    batch(c[0].data(), c[1].data(), c[2].data(), tail, r, n);
  };
}

// Benchmark names are "<routine>/<who>"; who is one of these.
inline const char* const kOurs = "ours";
inline const char* const kOursBatch = "ours_batch";
inline const char* const kR = "R";
inline const char* const kBoost = "Boost";

// Records each routine's argument set for the summary.
void NoteArgumentSet(const std::string& routine, const ArgumentSet& set);

void RegisterBatch(const std::string& routine, const ArgumentSet& set, BatchCall batch);

// Repetitions and timing common to every benchmark.
void ConfigureScalar(benchmark::internal::Benchmark* benchmark);

// Times `call` cycling through the set's rows, one call per iteration.
template <class Call>
void RegisterScalar(const std::string& routine, const char* who, const ArgumentSet& set,
                    Call call) {
  ConfigureScalar(benchmark::RegisterBenchmark(
      (routine + "/" + who).c_str(), [set, call](benchmark::State& state) {
        // The routines' reports are not timed.
        const specfun::ScopedDiagnosticSink quiet(specfun::kSilentSink);
        const std::size_t n = set.rows.size();
        std::size_t i = 0;
        for (auto _ : state) {
          benchmark::DoNotOptimize(call(set.rows[i].data()));
          i = i + 1 == n ? 0 : i + 1;
        }
        state.counters["calls"] = 1;
      }));
}

// Registers the four timings of one routine; batch may be empty.
template <class Ours, class RCall, class BoostCall>
bool Compare(const std::string& routine, const ArgumentSet& set, Ours ours, BatchCall batch,
             RCall r, BoostCall boost) {
  NoteArgumentSet(routine, set);
  RegisterScalar(routine, kOurs, set, ours);
  if (batch) RegisterBatch(routine, set, std::move(batch));
  RegisterScalar(routine, kR, set, r);
  RegisterScalar(routine, kBoost, set, boost);
  return true;
}

}  // namespace bench
