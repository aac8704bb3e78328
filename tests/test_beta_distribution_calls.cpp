// The F, t and binomial distributions are the incomplete beta function at
// their share (A&S 26.6.2, 26.7.1, 26.5.24): wherever BETAF takes its
// continued fraction, each routine gives BETAF's value at the share, bit for
// bit, or its complement, with BETAF's reports.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "specfun/specfun.hpp"
#include "tests/diagnostic_capture.hpp"

namespace {

using testing_support::DiagnosticCapture;

// Below this the complement of a share is formed directly (s/(r + s)).
constexpr double kTinyComplementRatio = 0x1p-20;

std::uint64_t Bits(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

// BETAF of the share r/(s + r) at a, b, given complementRatio = s/r.
double BetaOfShare(double r, double s, double a, double b, double complementRatio) {
  if (complementRatio < kTinyComplementRatio) {
    return 1.0 - specfun::BETAF(complementRatio / (1.0 + complementRatio), b, a);
  }
  return specfun::BETAF(r / (s + r), a, b);
}

// Returns the number of records the routine made.
std::size_t ExpectSameAs(const std::string& call, const std::function<double()>& routine,
                         const std::function<double()>& beta) {
  DiagnosticCapture routineCapture;
  const double value = routine();
  const std::vector<std::string> routineLines = routineCapture.lines();
  routineCapture.clear();
  const double expected = beta();
  EXPECT_EQ(Bits(value), Bits(expected)) << call << ": " << value << " vs " << expected;
  EXPECT_EQ(routineLines, routineCapture.lines()) << call;
  return routineLines.size();
}

struct Draw {
  double argument;
  double nu1;
  double nu2;
};

TEST(BetaDistributionCalls, AreBetafAtTheirShareBitForBit) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const auto degrees = [&] {
    // Whole and half degrees of freedom; now and then near 600, where the
    // fraction at the mean reports its iterations or its slow convergence.
    switch (rng() % 4) {
      case 0:
        return std::floor(1.0 + unit(rng) * 60.0);
      case 1:
        return 0.5 * std::floor(1.0 + unit(rng) * 400.0);
      case 2:
        return 560.0 + std::floor(unit(rng) * 2000.0);
      default:
        return std::exp(unit(rng) * 9.0 - 2.0);
    }
  };
  std::size_t records = 0;
  for (int k = 0; k < 4000; ++k) {
    const Draw d{std::exp(unit(rng) * 30.0 - 15.0), degrees(), degrees()};
    const double f = d.argument;
    const double t = (rng() % 2 ? 1.0 : -1.0) * std::sqrt(f);
    const std::string args = std::to_string(f) + ", " + std::to_string(d.nu1) + ", " +
                             std::to_string(d.nu2);
    records += ExpectSameAs(
        "FDistP(" + args + ")", [&] { return specfun::FDistP(f, d.nu1, d.nu2); },
        [&] { return BetaOfShare(d.nu1 * f, d.nu2, d.nu1 / 2, d.nu2 / 2, d.nu2 / d.nu1 / f); });
    records += ExpectSameAs(
        "FDistQ(" + args + ")", [&] { return specfun::FDistQ(f, d.nu1, d.nu2); },
        [&] { return BetaOfShare(d.nu2, d.nu1 * f, d.nu2 / 2, d.nu1 / 2, d.nu1 * f / d.nu2); });
    records += ExpectSameAs(
        "StudentA(" + args + ")", [&] { return specfun::StudentA(t, d.nu1); },
        [&] {
          const double m = std::fabs(t);
          return BetaOfShare(t * t, d.nu1, 0.5, d.nu1 / 2, d.nu1 / m / m);
        });
    records += ExpectSameAs(
        "StudentAQ(" + args + ")", [&] { return specfun::StudentAQ(t, d.nu1); },
        [&] { return BetaOfShare(d.nu1, t * t, d.nu1 / 2, 0.5, t * t / d.nu1); });
    const double n = std::floor(d.nu2);
    const double a = std::floor(unit(rng) * n) + 1.0;
    const double p = unit(rng);
    records += ExpectSameAs(
        "BinomP(" + args + ")", [&] { return specfun::BinomP(p, a, n); },
        [&] { return specfun::BETAF(1.0 - p, n - a + 1.0, a); });
    records += ExpectSameAs(
        "BinomQ(" + args + ")", [&] { return specfun::BinomQ(p, a, n); },
        [&] { return specfun::BETAF(p, a, n - a + 1.0); });
  }
  EXPECT_GT(records, 0u) << "no draw made BETAF report";
}

}  // namespace
