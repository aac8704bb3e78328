// Runs every comparison (or those the filter selects) and ends with a summary
// table of median nanoseconds per call and their ratios:
//   ours/R, ours/Boost   our scalar call against the peers' scalar calls;
//   batch/scalar         our batch routine per element against our scalar call;
//   batch/R              our batch routine per element against R's scalar call.
// A ratio below 1 means ours is faster.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "bench/compare.hpp"

namespace bench {
namespace {

constexpr int kRepetitions = 5;
constexpr double kMinSecondsPerRepetition = 0.05;

std::vector<std::pair<std::string, std::string>>& ArgumentSets() {
  static std::vector<std::pair<std::string, std::string>> sets;
  return sets;
}

void Configure(benchmark::internal::Benchmark* b) {
  b->Repetitions(kRepetitions)->MinTime(kMinSecondsPerRepetition)->ReportAggregatesOnly(true);
}

// Median nanoseconds per call, by routine and by who.
using Medians = std::map<std::string, std::map<std::string, double>>;

double Nanoseconds(double time, benchmark::TimeUnit unit) {
  switch (unit) {
    case benchmark::kSecond:
      return time * 1e9;
    case benchmark::kMillisecond:
      return time * 1e6;
    case benchmark::kMicrosecond:
      return time * 1e3;
    default:
      return time;
  }
}

// The benchmark library's warning that it was itself compiled without
// optimisation (as Debian's package is); it says nothing of this project.
constexpr std::string_view kDebugWarning = "Library was built as DEBUG";

// Colour only on a terminal, so that redirected output stays plain text.
benchmark::ConsoleReporter::OutputOptions PlainUnlessTerminal() {
  return ::isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular
                                 : benchmark::ConsoleReporter::OO_Tabular;
}

class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  SummaryReporter() : ConsoleReporter(PlainUnlessTerminal()) {}

  // The context as the library writes it, noting whether it carries the
  // library's DEBUG warning.
  bool ReportContext(const Context& context) override {
    std::ostream& errors = GetErrorStream();
    std::ostringstream text;
    SetErrorStream(&text);
    const bool ok = ConsoleReporter::ReportContext(context);
    SetErrorStream(&errors);
    errors << text.str();
    debugWarning_ = text.str().find(kDebugWarning) != std::string::npos;
    return ok;
  }

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median") continue;
      const std::string& name = run.run_name.function_name;
      const std::size_t slash = name.find('/');
      const auto calls = run.counters.find("calls");
      const double perIteration = calls == run.counters.end() ? 1.0 : double(calls->second);
      medians_[name.substr(0, slash)][name.substr(slash + 1)] =
          Nanoseconds(run.GetAdjustedCPUTime(), run.time_unit) / perIteration;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  const Medians& medians() const { return medians_; }
  bool debugWarning() const { return debugWarning_; }

 private:
  Medians medians_;
  bool debugWarning_ = false;
};

void PrintCell(const std::map<std::string, double>& row, const char* who) {
  const auto it = row.find(who);
  if (it == row.end()) {
    std::printf(" %9s", "-");
  } else {
    std::printf(" %9.1f", it->second);
  }
}

void PrintRatio(const std::map<std::string, double>& row, const char* top, const char* bottom) {
  const auto a = row.find(top);
  const auto b = row.find(bottom);
  if (a == row.end() || b == row.end() || !(b->second > 0.0)) {
    std::printf(" %9s", "-");
  } else {
    std::printf(" %9.2f", a->second / b->second);
  }
}

// Wide enough for the longest routine name with its argument set's label.
constexpr int kNameWidth = 24;

void PrintSummary(const Medians& medians, bool debugWarning) {
  std::printf("\nArgument sets cycled through:\n");
  for (const auto& [routine, set] : ArgumentSets()) {
    if (medians.count(routine) == 0) continue;
    std::printf("  %-*s %s\n", kNameWidth, routine.c_str(), set.c_str());
  }
  std::printf(
      "\nSummary: median ns per call (one core; batches of %zu elements); ratios below 1"
      " mean ours is faster\n",
      kBatchLength);
  std::printf("%-*s %9s %9s %9s %9s %9s %9s %9s %9s\n", kNameWidth, "routine", "ours", "batch",
              "R", "Boost", "ours/R", "ours/Bst", "batch/scl", "batch/R");
  for (const auto& [routine, set] : ArgumentSets()) {
    const auto found = medians.find(routine);
    if (found == medians.end()) continue;
    const auto& row = found->second;
    std::printf("%-*s", kNameWidth, routine.c_str());
    for (const char* who : {kOurs, kOursBatch, kR, kBoost}) PrintCell(row, who);
    PrintRatio(row, kOurs, kR);
    PrintRatio(row, kOurs, kBoost);
    PrintRatio(row, kOursBatch, kOurs);
    PrintRatio(row, kOursBatch, kR);
    std::printf("\n");
  }
  if (debugWarning) {
    std::printf(
        "\nThe warning \"%s\" at the start is the benchmark library's own:\n"
        "the distribution's package of that library is compiled so. The routines measured\n"
        "are built as this build configured them (Release under make bench).\n",
        std::string(kDebugWarning).c_str());
  }
}

}  // namespace

void NoteArgumentSet(const std::string& routine, const ArgumentSet& set) {
  ArgumentSets().emplace_back(routine, set.name);
}

void RegisterBatch(const std::string& routine, const ArgumentSet& set, BatchCall batch) {
  // The set's rows repeated to one batch, by columns.
  std::vector<std::vector<double>> columns(3);
  for (std::size_t i = 0; i < kBatchLength; ++i) {
    for (std::size_t k = 0; k < 3; ++k) columns[k].push_back(set.rows[i % set.rows.size()][k]);
  }
  Configure(benchmark::RegisterBenchmark(
      (routine + "/" + kOursBatch).c_str(), [columns, batch](benchmark::State& state) {
        const specfun::ScopedDiagnosticSink quiet(specfun::kSilentSink);
        std::vector<double> result(kBatchLength);
        for (auto _ : state) {
          batch(columns.data(), result.data(), kBatchLength);
          benchmark::DoNotOptimize(result.data());
          benchmark::ClobberMemory();
        }
        state.counters["calls"] = double(kBatchLength);
      }));
}

void ConfigureScalar(benchmark::internal::Benchmark* b) { Configure(b); }

}  // namespace bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  bench::SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  bench::PrintSummary(reporter.medians(), reporter.debugWarning());
  benchmark::Shutdown();
  return 0;
}
