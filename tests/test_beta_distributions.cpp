// The F, Student's t and binomial distributions: their known values and
// ends, complements, infinite arguments, large parameters, and the mpmath
// table tests/data/beta_distributions.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "specfun/specfun.hpp"
#include "tests/diagnostic_capture.hpp"
#include "tests/reference_table.hpp"

namespace {

using testing_support::DiagnosticCapture;
using namespace specfun;

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Known {
  const char* name;
  double value, expected, tolerance;
};

// The closed forms hold to about 1e-15: the prefactor's exp and log leave
// up to 2e-15 (0.5 - 1.1e-15 for FDistP(1, 2, 2), 0.5 + 1.9e-15 for
// StudentAQ(1, 1)).
TEST(BetaDistributionsKnownValues, MatchTheirClosedForms) {
  const Known cases[] = {
      {"FDistP(1,2,2)", FDistP(1.0, 2.0, 2.0), 0.5, 2e-15},
      {"FDistQ(1,2,2)", FDistQ(1.0, 2.0, 2.0), 0.5, 2e-15},
      {"StudentA(1,1)", StudentA(1.0, 1.0), 0.5, 2e-15},
      {"StudentAQ(1,1)", StudentAQ(1.0, 1.0), 0.5, 2e-15},
      {"BinomP(0.5,1,3)", BinomP(0.5, 1.0, 3.0), 0.125, 2e-15},
      {"BinomQ(0.5,1,3)", BinomQ(0.5, 1.0, 3.0), 0.875, 2e-15},
      // The 10 % two-sided point of t with 5 degrees of freedom.
      {"StudentA(2.015,5)", StudentA(2.015, 5.0), 0.9, 1e-4},
      // A tail below 1e-18 (mpmath: 8.3476062743464248e-11).
      {"StudentAQ(1e100,0.1)", StudentAQ(1e100, 0.1), 8.3476062743464248e-11, 1e-20},
  };
  for (const Known& c : cases) EXPECT_NEAR(c.value, c.expected, c.tolerance) << c.name;
}

TEST(BetaDistributionsEnds, ExactAtZeroAndSignBlind) {
  const DiagnosticCapture capture;
  for (const double nu : {0.3, 1.0, 2.0, 7.5, 40.0, 1e4}) {
    EXPECT_EQ(FDistP(0.0, nu, 3.0), 0.0) << nu;
    EXPECT_EQ(FDistQ(0.0, nu, 3.0), 1.0) << nu;
    EXPECT_EQ(StudentA(0.0, nu), 0.0) << nu;
    EXPECT_EQ(StudentAQ(0.0, nu), 1.0) << nu;
    for (const double t : {0.5, 1.0, 2.2, 30.0}) {
      EXPECT_EQ(StudentA(-t, nu), StudentA(t, nu)) << t << " " << nu;
      EXPECT_EQ(StudentAQ(-t, nu), StudentAQ(t, nu)) << t << " " << nu;
    }
  }
}

// An F or t whose square overflows stands for the limit: the whole mass is
// below it.
TEST(BetaDistributionsEnds, InfiniteOrOverflowingArgumentsGiveTheLimit) {
  const Known cases[] = {
      {"FDistP(inf,3,30)", FDistP(kInf, 3.0, 30.0), 1.0, 0.0},
      {"FDistQ(inf,3,30)", FDistQ(kInf, 3.0, 30.0), 0.0, 0.0},
      {"FDistP(1e308,10,10)", FDistP(1e308, 10.0, 10.0), 1.0, 0.0},
      {"StudentA(inf,5)", StudentA(kInf, 5.0), 1.0, 0.0},
      {"StudentAQ(inf,5)", StudentAQ(kInf, 5.0), 0.0, 0.0},
      {"StudentA(-1e200,5)", StudentA(-1e200, 5.0), 1.0, 0.0},
      {"BinomP(1.5,1,3)", BinomP(1.5, 1.0, 3.0), 0.0, 0.0},
      {"BinomQ(1.5,1,3)", BinomQ(1.5, 1.0, 3.0), 1.0, 0.0},
  };
  for (const Known& c : cases) EXPECT_EQ(c.value, c.expected) << c.name;
}

// P + Q = 1 to about the 1e-12 of the incomplete beta function's stopping
// test, at random arguments with moderate parameters. (A degree of freedom
// below 1 beside a large F lets the rounding of the transformed argument
// near 1 alone move the sum by a few 1e-12.)
// Where t² or F is so large (or so small) that the transformed argument
// rounds to 1, the symmetry is taken with the complementary share formed
// directly; values from mpmath.
TEST(BetaDistributionsExtremeArguments, KeepTheDigitsOfTheSmallShare) {
  const struct {
    const char* call;
    double value, expected, relative;
  } cases[] = {
      {"StudentA(1e10,0.01)", StudentA(1e10, 0.01), 0.22908334169807035, 1e-9},
      {"StudentAQ(1e10,0.01)", StudentAQ(1e10, 0.01), 0.77091665830192965, 1e-9},
      {"StudentA(1e100,0.01)", StudentA(1e100, 0.01), 0.902947342848826, 1e-9},
      {"StudentAQ(1e100,0.01)", StudentAQ(1e100, 0.01), 0.097052657151174003, 1e-9},
      {"StudentAQ(1e6,1)", StudentAQ(1e6, 1.0), 6.3661977236736914e-7, 1e-12},
      {"StudentA(3e-9,4)", StudentA(3e-9, 4.0), 2.25e-9, 1e-9},
      {"FDistP(1e12,0.02,0.04)", FDistP(1e12, 0.02, 0.04), 0.80544644834558932, 1e-9},
      {"FDistQ(1e12,0.02,0.04)", FDistQ(1e12, 0.02, 0.04), 0.19455355165441068, 1e-9},
      {"FDistQ(1e300,0.5,0.5)", FDistQ(1e300, 0.5, 0.5), 5.3935260118837935e-76, 1e-12},
      {"FDistP(1e-12,0.04,0.02)", FDistP(1e-12, 0.04, 0.02), 0.19455355165441068, 1e-9},
      {"FDistQ(1e-12,0.04,0.02)", FDistQ(1e-12, 0.04, 0.02), 0.80544644834558932, 1e-9},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(c.value, c.expected, c.relative * c.expected) << c.call;
  }
}

TEST(BetaDistributionsComplements, AddToOne) {
  const DiagnosticCapture capture;
  std::mt19937_64 generator(7);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const auto logUniform = [&](double low, double high) {
    return std::exp(std::log(low) + unit(generator) * (std::log(high) - std::log(low)));
  };
  for (int i = 0; i < 2000; ++i) {
    const double nu1 = logUniform(1.0, 300.0);
    const double nu2 = logUniform(1.0, 300.0);
    const double f = logUniform(1e-3, 1e3);
    EXPECT_NEAR(FDistP(f, nu1, nu2) + FDistQ(f, nu1, nu2), 1.0, 1e-12)
        << "F=" << f << " nu1=" << nu1 << " nu2=" << nu2;
    const double t = 20.0 * unit(generator);
    EXPECT_NEAR(StudentA(t, nu1) + StudentAQ(t, nu1), 1.0, 1e-12) << "t=" << t << " nu=" << nu1;
    const double n = std::floor(logUniform(1.0, 500.0));
    const double a = 1.0 + std::floor(unit(generator) * n);
    const double p = unit(generator);
    EXPECT_NEAR(BinomP(p, a, n) + BinomQ(p, a, n), 1.0, 1e-12)
        << "p=" << p << " a=" << a << " n=" << n;
  }
}

// Parameters where 41 iterations do not converge and Aitken's value alone
// would be far off; the records show the transformed arguments.
TEST(BetaDistributionsLargeParameters, StayAccurateAndInRange) {
  DiagnosticCapture capture;
  const double p = FDistP(1.0, 1e6, 1e6);
  EXPECT_LE(p, 1.0);
  EXPECT_NEAR(p, 0.5, 1e-14);
  // Parameters this large are not given to the 41-iteration fraction, so
  // nothing is reported.
  EXPECT_TRUE(capture.records().empty());
  // mpmath: 0.49873843689290163.
  EXPECT_NEAR(BinomP(0.5, 5e4, 1e5), 0.49873843689290163, 1e-9);
  EXPECT_NEAR(BinomQ(0.5, 5e4, 1e5), 1.0 - 0.49873843689290163, 1e-9);
}

// kind u v w value: 1 FDistP(F, n1, n2), 2 FDistQ, 3 StudentA(t, n),
// 4 StudentAQ, 5 BinomP(p, a, n), 6 BinomQ (binomial from exact sums).
TEST(BetaDistributionsReference, MatchMpmath) {
  const auto rows = testing_support::ReadReferenceTable("beta_distributions.txt");
  ASSERT_GT(rows.size(), 30u);
  for (const auto& row : rows) {
    const int kind = static_cast<int>(row[0]);
    const double u = row[1];
    const double v = row[2];
    const double w = row[3];
    double value = 0.0;
    switch (kind) {
      case 1: value = FDistP(u, v, w); break;
      case 2: value = FDistQ(u, v, w); break;
      case 3: value = StudentA(u, v); break;
      case 4: value = StudentAQ(u, v); break;
      case 5: value = BinomP(u, v, w); break;
      case 6: value = BinomQ(u, v, w); break;
      default: FAIL() << "unknown kind " << kind;
    }
    // The fraction stops on an absolute change of 1e-12 and lands within
    // 1e-13 here; small tails keep nine digits.
    const double bound = std::min(1e-13, 1e-9 * std::fabs(row[4]));
    EXPECT_NEAR(value, row[4], bound) << "kind " << kind << " (" << u << ", " << v << ", " << w
                                      << ")";
  }
}

}  // namespace
