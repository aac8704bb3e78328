// QGaussInv over the ranges of p where its three Newton steps are returned as
// they are, about their ends and between them, against the deviate solved
// in extended precision from the C library's erf and erfc (Q(x) =
// erfc(x/√2)/2): within 1e-12 relative everywhere, and within what QGauss's
// own accuracy allows Newton's steps on it; and decreasing in p throughout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "specfun/specfun.hpp"
#include "tests/gauss_tolerances.hpp"

namespace {

using specfun::QGaussInv;

// The y >= 0 with Q(y) = q for 0 < q <= 1/2, by Newton's method in long
// double: on 1/2 - q = erf(y/√2)/2 near the centre, where 1/2 - q is exact,
// else on ln Q(y) = ln q, which is concave, so the steps close in on the
// root from above after the first.
long double UpperDeviate(double q) {
  const long double rootTwo = std::sqrt(2.0L);
  const long double rootTwoPi = std::sqrt(2.0L * 3.14159265358979323846264338327950288L);
  const auto density = [&](long double y) { return std::exp(-y * y / 2) / rootTwoPi; };
  if (q > 0.3) {
    const long double centre = 0.5L - q;
    long double y = centre * rootTwoPi;
    for (int step = 0; step < 8; ++step) y -= (std::erf(y / rootTwo) / 2 - centre) / density(y);
    return y;
  }
  const long double logQ = std::log(static_cast<long double>(q));
  long double y = std::sqrt(-2.0L * logQ);
  for (int step = 0; step < 60; ++step) {
    const long double tail = std::erfc(y / rootTwo) / 2;
    const long double next = y + (std::log(tail) - logQ) * tail / density(y);
    if (next == y) break;
    y = next;
  }
  return y;
}

double Deviate(double p) {
  return p <= 0.5 ? static_cast<double>(UpperDeviate(p))
                  : -static_cast<double>(UpperDeviate(1.0 - p));
}

// The worst relative error met, and where.
struct Worst {
  double error = 0.0;
  double p = 0.0;
} worst;

void ExpectAccurate(double p) {
  if (!(p > 0.0 && p < 1.0)) return;
  const double reference = Deviate(p);
  const double error = std::fabs(QGaussInv(p) - reference);
  if (reference != 0.0 && error / std::fabs(reference) > worst.error) {
    worst = {error / std::fabs(reference), p};
  }
  EXPECT_LE(error, 1e-12 * std::fabs(reference) + 1e-17) << "p = " << p;
  EXPECT_LE(error, testing_support::QGaussInvAbsoluteTolerance(p, reference)) << "p = " << p;
}

struct Range {
  double from;
  double to;
};

// Smaller tails whose deviates lie from 2.2 to 3.1, about the switch of
// QGauss's fractions at 2.25, where the steps come nearest 1e-12; and all
// of (0, 1/2].
constexpr Range kRanges[] = {{0.00097, 0.0139}, {1e-300, 0.5}};
// Ends of the ranges of smaller tails whose steps are returned as they are.
constexpr double kKeptRangeEnds[] = {5e-5, 0.0101, 0.0123, 0.0135, 0.30, 0.46};

TEST(QGaussInv, WithinItsBoundsWhereItsStepsAreKeptAndBeyond) {
  std::mt19937_64 rng(20261207);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (const Range& range : kRanges) {
    const double logFrom = std::log(range.from);
    const double logTo = std::log(range.to);
    for (int k = 0; k < 30000; ++k) {
      const double tail = k % 2 == 0 ? range.from + unit(rng) * (range.to - range.from)
                                     : std::exp(logFrom + unit(rng) * (logTo - logFrom));
      ExpectAccurate(tail);
      ExpectAccurate(1.0 - tail);
    }
  }
  ExpectAccurate(0.5);
  // The doubles about each end, on both sides of 1/2.
  for (const double end : kKeptRangeEnds) {
    double tail = end;
    for (int k = 0; k < 200; ++k) tail = std::nextafter(tail, 0.0);
    for (int k = 0; k < 400; ++k) {
      ExpectAccurate(tail);
      ExpectAccurate(1.0 - tail);
      tail = std::nextafter(tail, 1.0);
    }
  }
  std::printf("QGaussInv worst %.3g relative at p = %.17g\n", worst.error, worst.p);
}

// Where the kept steps and the refined deviates meet, QGaussInv jumps by at
// most 1e-12 relative; over steps of p of one part in 1e7 it still falls,
// on both sides of 1/2.
TEST(QGaussInv, DecreasesWithTheProbability) {
  std::vector<double> tails;
  for (double p = 1e-300; p < 0.5; p *= 1.01) tails.insert(tails.end(), {p, p * (1 + 1e-7)});
  for (const double end : kKeptRangeEnds) {
    tails.insert(tails.end(), {end * (1 - 1e-7), end, end * (1 + 1e-7), end * (1 + 2e-7)});
  }
  std::sort(tails.begin(), tails.end());
  for (std::size_t i = 1; i < tails.size(); ++i) {
    const double smaller = tails[i - 1], larger = tails[i];
    EXPECT_GT(QGaussInv(smaller), QGaussInv(larger)) << "p = " << smaller << ", " << larger;
    // Near 1 the two may round to the same double.
    if (1.0 - larger == 1.0 - smaller) continue;
    EXPECT_GT(QGaussInv(1.0 - larger), QGaussInv(1.0 - smaller))
        << "p = " << 1.0 - larger << ", " << 1.0 - smaller;
  }
}

}  // namespace
