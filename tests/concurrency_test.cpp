// Every routine called from several threads at once gives the results it
// gives on one thread, bit for bit; diagnostics may be emitted concurrently.
// Run under ThreadSanitizer by `make test`.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
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

// The batch routines share batches of 10,000 elements and more among the
// cores; each result is still the scalar call's, bit for bit, and every
// report comes in element order on the calling thread.
// Keeps each report as its lines.
void Keep(Report report, void* reports) {
  static_cast<std::vector<std::string>*>(reports)->push_back(FormatFreeFormReport(report));
}

TEST(Concurrency, LargeBatchesAreSharedAmongCoresInElementOrder) {
  constexpr std::size_t kCount = 30000;
  std::vector<double> p(kCount), x(kCount), a(kCount), b(kCount);
  for (std::size_t i = 0; i < kCount; ++i) {
    p[i] = (i % 997 == 5) ? -0.1 : (i % 1999 == 7 ? 1.5 : (i % 1000 + 0.5) / 1000.0);
    x[i] = (i % 13) / 12.0;
    a[i] = (i % 3001 == 11) ? 300.0 : 0.5 + (i % 17);
    b[i] = (i % 3001 == 11) ? 300.0 : 0.5 + (i % 23);
    if (a[i] == 300.0) x[i] = 0.5;
  }
  struct Case {
    const char* name;
    std::function<double(std::size_t)> scalar;
    std::function<void(double*)> batch;
  };
  const Case cases[] = {
      {"QGaussInv", [&](std::size_t i) { return QGaussInv(p[i]); },
       [&](double* r) { QGaussInvBatch(p.data(), r, kCount); }},
      {"BETAF", [&](std::size_t i) { return BETAF(x[i], a[i], b[i]); },
       [&](double* r) { BETAFBatch(x.data(), a.data(), b.data(), r, kCount); }},
      {"BetaInv", [&](std::size_t i) { return BetaInv(p[i], a[i], b[i]); },
       [&](double* r) { BetaInvBatch(p.data(), a.data(), b.data(), r, kCount); }},
      {"ChiSquareInv", [&](std::size_t i) { return ChiSquareInv(p[i], a[i]); },
       [&](double* r) { ChiSquareInvBatch(p.data(), a.data(), r, kCount); }},
  };
  for (const Case& c : cases) {
    std::vector<std::string> expectedReports;
    std::vector<double> expected(kCount);
    {
      const ScopedDiagnosticSink keep({&Keep, &expectedReports});
      for (std::size_t i = 0; i < kCount; ++i) expected[i] = c.scalar(i);
    }
    std::vector<std::string> reports;
    std::vector<double> result(kCount);
    {
      const ScopedDiagnosticSink keep({&Keep, &reports});
      c.batch(result.data());
    }
    EXPECT_TRUE(BitIdentical(result, expected)) << c.name;
    EXPECT_FALSE(expectedReports.empty()) << c.name;
    EXPECT_EQ(reports, expectedReports) << c.name;
  }
}

}  // namespace
