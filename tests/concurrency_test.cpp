// Every routine called from several threads at once gives the results it
// gives on one thread, bit for bit; diagnostics may be emitted concurrently.
// Run under ThreadSanitizer by `make test`.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "specfun/specfun.hpp"

namespace {

using namespace specfun;

// One evaluation per routine and argument set, including arguments that
// make QGaussInv and BETAF report.
std::vector<double> EvaluateAll() {
  std::vector<double> results;
  const double probabilities[] = {1e-12, 0.001, 0.05, 0.5, 0.95, -0.1, 1.5};
  const double values[] = {0.0, 0.3, 1.0, 2.5, 7.0, 40.0};
  const double degrees[] = {0.7, 1.0, 2.0, 5.0, 30.0, 300.0};
  for (double p : probabilities) {
    results.push_back(QGaussInv(p));
    for (double nu : degrees) {
      results.push_back(StudentInv(p, nu));
      results.push_back(FDistInv(p, nu, 3.0));
      results.push_back(ChiSquareInv(p, nu));
      results.push_back(BetaInv(p, nu, 2.0));
    }
  }
  for (double x : values) {
    results.push_back(LnGamma(x));
    results.push_back(QGauss(x));
    results.push_back(QGauss(-x));
    for (double nu : degrees) {
      results.push_back(StudentA(x, nu));
      results.push_back(StudentAQ(x, nu));
      results.push_back(FDistP(x, nu, 4.0));
      results.push_back(FDistQ(x, nu, 4.0));
      results.push_back(ChiSquare(x, nu, kLowerTail));
      results.push_back(ChiSquare(x, nu, kUpperTail));
      results.push_back(NCChiSquare(x, nu, 3.0, kLowerTail));
      results.push_back(NCChiSquare(x, nu, 3.0, kUpperTail));
      results.push_back(BinomP(0.3, 2.0, x + 2.0));
      results.push_back(BinomQ(0.3, 2.0, x + 2.0));
      results.push_back(BETAF(x / 40.0, nu, 2.5));
    }
  }
  results.push_back(BETAF(0.5, 300.0, 300.0));    // reports its iteration count
  results.push_back(BETAF(0.5, 1000.0, 1000.0));  // reports slow convergence
  return results;
}

bool BitIdentical(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

void Count(Report, void* counter) { static_cast<std::atomic<int>*>(counter)->fetch_add(1); }

TEST(Concurrency, EveryRoutineIsThreadSafe) {
  std::atomic<int> diagnostics{0};
  const ScopedDiagnosticSink counting({&Count, &diagnostics});
  const std::vector<double> expected = EvaluateAll();
  const int perRun = diagnostics.load();
  ASSERT_GT(perRun, 0);

  constexpr int kThreads = 4;
  constexpr int kRunsPerThread = 3;
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int run = 0; run < kRunsPerThread; ++run) {
        if (!BitIdentical(EvaluateAll(), expected)) mismatches.fetch_add(1);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches.load(), 0);
  EXPECT_EQ(diagnostics.load(), perRun * (1 + kThreads * kRunsPerThread));
}

}  // namespace
