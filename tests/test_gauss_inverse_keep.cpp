// QGaussInv is the refinement of its three Newton steps from the rational
// start, bit for bit, also where it returns the steps without evaluating the
// refinement (over ranges of p where the refinement is known to keep them).
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "specfun/routines/gauss_inverse.hpp"
#include "specfun/specfun.hpp"

namespace {

// The start of A&S 26.2.23 and three Newton steps on QGauss, each with the
// density at the step's start.
double ThreeNewtonSteps(double p) {
  const double tail = p <= 0.5 ? p : 1.0 - p;
  const double t = std::sqrt(-2.0 * std::log(tail));
  const double numerator = 2.515517 + 0.802853 * t + 0.010328 * t * t;
  const double denominator = 1.0 + 1.432788 * t + 0.189269 * t * t + 0.001308 * t * t * t;
  double x = t - numerator / denominator;
  if (p > 0.5) x = -x;
  for (int step = 0; step < 3; ++step) {
    const double density = std::exp(-x * x / 2.0) * 0.3989422804014327;
    x = x + (specfun::QGauss(x) - p) / density;
  }
  return x;
}

void ExpectRefinedSteps(double p) {
  if (!(p > 0.0 && p < 1.0)) return;
  EXPECT_EQ(specfun::QGaussInv(p), specfun::detail::RefineGaussianDeviate(p, ThreeNewtonSteps(p)))
      << "p = " << p;
}

struct Range {
  double from;
  double to;
};

// Smaller tails whose deviates lie from 2.2 to 3.1, about the switch of
// QGauss's fractions at 2.25 and the refinement's deep fraction up to 3,
// where the steps come nearest the keep tolerance; and all of (0, 1/2].
constexpr Range kRanges[] = {{0.00097, 0.0139}, {1e-300, 0.5}};

TEST(QGaussInv, IsTheRefinementOfItsThreeNewtonSteps) {
  std::mt19937_64 rng(20261207);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (const Range& range : kRanges) {
    const double logFrom = std::log(range.from);
    const double logTo = std::log(range.to);
    for (int k = 0; k < 30000; ++k) {
      const double tail = k % 2 == 0 ? range.from + unit(rng) * (range.to - range.from)
                                     : std::exp(logFrom + unit(rng) * (logTo - logFrom));
      ExpectRefinedSteps(tail);
      ExpectRefinedSteps(1.0 - tail);
    }
  }
  // The centre, whose steps are kept near 0 without the refinement.
  ExpectRefinedSteps(0.5);
  // The ends of the ranges of smaller tails where the steps are returned at
  // once, and the doubles next to them.
  for (const double end : {5e-5, 0.0101, 0.0123, 0.0135, 0.30, 0.46}) {
    double tail = end;
    for (int k = 0; k < 200; ++k) tail = std::nextafter(tail, 0.0);
    for (int k = 0; k < 400; ++k) {
      ExpectRefinedSteps(tail);
      ExpectRefinedSteps(1.0 - tail);
      tail = std::nextafter(tail, 1.0);
    }
  }
}

}  // namespace
