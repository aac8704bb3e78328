// The inverses beyond the tables' parameters: infinite, huge and subnormal
// degrees of freedom and parameters, and quantiles beyond the doubles'
// range. Expected values are limits in closed form or mpmath's quantiles of
// the limiting distributions (the chi-square with nu1 degrees of freedom for
// F with nu2 = ∞, the normal for t with nu = ∞).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "specfun/specfun.hpp"
#include "tests/diagnostic_capture.hpp"

namespace {

using namespace specfun;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kSmallestSubnormal = 4.9406564584124654e-324;

struct Case {
  const char* name;
  double value, expected, relativeTolerance;
};

TEST(InverseLimits, InfiniteAndHugeDegreesOfFreedom) {
  const testing_support::DiagnosticCapture quiet;
  // mpmath: the normal deviates of 0.025 and 5e-301; the chi-square(3)
  // quantiles 7.8147279032511799553 (upper 0.05) and 0.35184631774927139602
  // (lower 0.05).
  const Case cases[] = {
      {"StudentInv(0.05, inf)", StudentInv(0.05, kInf), 1.9599639845400542355, 1e-13},
      {"StudentInv(1e-300, inf)", StudentInv(1e-300, kInf), 37.06578788077213039, 1e-13},
      {"StudentInv(0.05, 1e16)", StudentInv(0.05, 1e16), 1.9599639845400542355, 1e-12},
      {"StudentInv(1e-300, 1e300)", StudentInv(1e-300, 1e300), 37.06578788077213039, 1e-12},
      {"FDistInv(0.5, inf, inf)", FDistInv(0.5, kInf, kInf), 1.0, 0.0},
      {"FDistInv(0.05, 3, inf)", FDistInv(0.05, 3.0, kInf), 7.8147279032511799553 / 3.0, 1e-12},
      {"FDistInv(0.05, inf, 3)", FDistInv(0.05, kInf, 3.0), 3.0 / 0.35184631774927139602,
       1e-12},
      {"FDistInv(0.5, 1e300, 1e300)", FDistInv(0.5, 1e300, 1e300), 1.0, 1e-14},
      {"FDistInv(0.3, max, max)", FDistInv(0.3, 1.7e308, 1.7e308), 1.0, 1e-14},
      {"ChiSquareInv(0.05, 1e160)", ChiSquareInv(0.05, 1e160), 1e160, 1e-14},
      {"ChiSquareInv(1e-300, 1e300)", ChiSquareInv(1e-300, 1e300), 1e300, 1e-14},
      {"BetaInv(0.3, 1e300, 1e300)", BetaInv(0.3, 1e300, 1e300), 0.5, 1e-14},
  };
  for (const Case& c : cases) {
    EXPECT_LE(std::fabs(c.value - c.expected), c.relativeTolerance * c.expected)
        << c.name << " gives " << c.value;
  }
  EXPECT_EQ(StudentInv(1.0, kInf), 0.0);
  EXPECT_EQ(StudentInv(0.0, kInf), kInf);
}

// Parameters that halve to 0 (a subnormal ν) or lie far below 1 gather the
// distribution at one end; quantiles beyond the doubles give 0 or +∞.
TEST(InverseLimits, SubnormalParametersAndQuantilesBeyondTheDoubles) {
  const testing_support::DiagnosticCapture quiet;
  struct Exact {
    const char* name;
    double value, expected;
  };
  const Exact cases[] = {
      {"StudentInv(0, min)", StudentInv(0.0, kSmallestSubnormal), kInf},
      {"StudentInv(0.5, min)", StudentInv(0.5, kSmallestSubnormal), kInf},
      {"FDistInv(1, min, 0.0578)", FDistInv(1.0, kSmallestSubnormal, 0.0578), 0.0},
      {"FDistInv(0.5, min, 1)", FDistInv(0.5, kSmallestSubnormal, 1.0), 0.0},
      {"FDistInv(0.5, 1, min)", FDistInv(0.5, 1.0, kSmallestSubnormal), kInf},
      {"BetaInv(0.7, 1e-320, 3e-320)", BetaInv(0.7, 1e-320, 3e-320), 0.0},
      {"BetaInv(0.8, 1e-320, 3e-320)", BetaInv(0.8, 1e-320, 3e-320), 1.0},
      // x = p^(1/a)·(a B)^(1/a) = 1e-6000, t and F beyond 1e308.
      {"BetaInv(1e-300, 0.05, 1)", BetaInv(1e-300, 0.05, 1.0), 0.0},
      {"StudentInv(1e-300, 0.1)", StudentInv(1e-300, 0.1), kInf},
      {"FDistInv(1e-300, 0.1, 1)", FDistInv(1e-300, 0.1, 1.0), kInf},
      {"ChiSquareInv(0.5, 0)", ChiSquareInv(0.5, 0.0), 0.0},
  };
  for (const Exact& c : cases) EXPECT_EQ(c.value, c.expected) << c.name;
  for (const double nu : {-1.0, std::nan("")}) {
    EXPECT_TRUE(std::isnan(StudentInv(0.5, nu))) << nu;
    EXPECT_TRUE(std::isnan(FDistInv(0.5, nu, 2.0))) << nu;
    EXPECT_TRUE(std::isnan(ChiSquareInv(0.5, nu))) << nu;
  }
}

// Far in the tails the result is finite and positive for every
// probability the dialogues accept and every parameter from subnormal to
// the largest double.
TEST(InverseLimits, SoundOverTheWholeRange) {
  const testing_support::DiagnosticCapture quiet;
  const double probabilities[] = {5e-324, 1e-300, 1e-30, 0.3, 0.5, 0.9, 1.0 - 1e-12,
                                  std::nextafter(1.0, 0.0)};
  const double parameters[] = {kSmallestSubnormal, 1e-300, 1e-10, 0.05, 0.5, 1.0, 7.0, 3e5,
                               2e6,                1e10,   1e100, 1.7e308};
  for (const double p : probabilities) {
    for (const double a : parameters) {
      const double chi = ChiSquareInv(p, a);
      EXPECT_TRUE(chi >= 0.0 && !std::isnan(chi)) << "ChiSquareInv(" << p << ", " << a << ")";
      const double t = StudentInv(p, a);
      EXPECT_TRUE(t >= 0.0 && !std::isnan(t)) << "StudentInv(" << p << ", " << a << ")";
      for (const double b : parameters) {
        const double x = BetaInv(p, a, b);
        EXPECT_TRUE(x >= 0.0 && x <= 1.0) << "BetaInv(" << p << ", " << a << ", " << b << ")";
        const double f = FDistInv(p, a, b);
        EXPECT_TRUE(f >= 0.0 && !std::isnan(f)) << "FDistInv(" << p << ", " << a << ", " << b << ")";
      }
    }
  }
}

}  // namespace
