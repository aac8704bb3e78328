// NCChiSquare: the stopping rule and its edge cases, the upper tail whose
// terms all fall below the threshold before the sum does, large
// non-centralities, and both tails against mpmath
// (tests/data/chisq_noncentral.txt, tests/data/chisq_noncentral_regions.txt,
// tests/data/chisq_noncentral_pearson.txt).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <limits>
#include <utility>

#include "specfun/specfun.hpp"
#include "tests/reference_table.hpp"

namespace {

using specfun::ChiSquare;
using specfun::NCChiSquare;

constexpr std::int32_t kP = specfun::kLowerTail;
constexpr std::int32_t kQ = specfun::kUpperTail;
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(NonCentralChiSquare, ZeroNonCentralityIsTheCentralTail) {
  struct Case {
    double x, nu;
  };
  const Case cases[] = {{1.0, 2.0}, {7.5, 3.0}, {30.0, 12.0}, {0.3, 0.5}};
  for (const Case& c : cases) {
    for (const std::int32_t tail : {kP, kQ}) {
      EXPECT_EQ(NCChiSquare(c.x, c.nu, 0.0, tail), ChiSquare(c.x, c.nu, tail))
          << "x=" << c.x << " nu=" << c.nu << " tail=" << tail;
    }
  }
  // A central tail below 1e-7 ends the sum at once: P(0.0001|4) is 1.25e-9.
  EXPECT_EQ(NCChiSquare(0.0001, 4.0, 0.0, kP), 0.0);
}

TEST(NonCentralChiSquare, EachTailStopsAtItsOwnTerm) {
  // x = 1, nu = 2, lambda = 1: the lower tail sums j = 0..4, the upper j = 0..7.
  const double h = 0.5;
  double lower = 0.0, upper = 0.0, weight = 1.0;
  for (int j = 0; j < 8; ++j) {
    const double n = 2.0 * j + 2.0;
    if (j < 5) lower += ChiSquare(1.0, n, kP) * weight;
    upper += ChiSquare(1.0, n, kQ) * weight;
    weight = h * weight / (j + 1);
  }
  const double p = NCChiSquare(1.0, 2.0, 1.0, kP);
  const double q = NCChiSquare(1.0, 2.0, 1.0, kQ);
  EXPECT_NEAR(p, std::exp(-h) * lower, 1e-16);
  EXPECT_NEAR(q, std::exp(-h) * upper, 1e-16);
  EXPECT_NEAR(p, 0.26712019, 5e-9);
  EXPECT_NEAR(q, 0.73287974, 5e-9);
  EXPECT_NEAR(p + q, 0.99999994, 1e-8);
}

TEST(NonCentralChiSquare, TermEqualToTheThresholdIsAdded) {
  // lambda = 2e-7 at x = 0: every central upper tail is 1, so the second
  // term is the weight lambda/2 = 1e-7 itself; it is added, the third ends
  // the sum.
  const double expected = std::exp(-1e-7) * (1.0 + 1e-7);
  EXPECT_EQ(NCChiSquare(0.0, 4.0, 2e-7, kQ), expected);
}

TEST(NonCentralChiSquare, AtZero) {
  EXPECT_EQ(NCChiSquare(0.0, 3.0, 10.0, kP), 0.0);
  const double q = NCChiSquare(0.0, 3.0, 10.0, kQ);
  EXPECT_LT(q, 1.0);
  EXPECT_GT(q, 1.0 - 1e-7 * std::exp(-5.0) * 20);
}

TEST(NonCentralChiSquare, SmallLeadingTermsDoNotEndTheSumBeforeTheMode) {
  // Q(50|5) is 1.4e-9, yet the weights up to lambda/2 = 15 carry the tail.
  EXPECT_NEAR(NCChiSquare(50.0, 5.0, 30.0, kQ), 0.101658026100186, 1e-9);
  EXPECT_NEAR(NCChiSquare(50.0, 5.0, 30.0, kP), 0.898341973899814, 1e-9);
}

TEST(NonCentralChiSquare, AnyNonCentralityGivesAProbability) {
  const double lambdas[] = {0.0, 9.0, 1400.0, 1402.0, 2e4, 1e7, 1e12, 1e300, 1.7976931348623157e308, kInf};
  const double nus[] = {0.5, 50.0, 1e300, kInf};
  for (const double lambda : lambdas) {
    for (const double nu : nus) {
      for (const double x : {0.0, 3.0, lambda, 2.0 * lambda + 1e3, kInf}) {
        const double p = NCChiSquare(x, nu, lambda, kP);
        const double q = NCChiSquare(x, nu, lambda, kQ);
        const bool undefined = std::isinf(x) && (std::isinf(nu) || std::isinf(lambda));
        if (undefined) continue;
        EXPECT_TRUE(p >= 0.0 && p <= 1.0) << "x=" << x << " nu=" << nu << " lambda=" << lambda;
        EXPECT_TRUE(q >= 0.0 && q <= 1.0) << "x=" << x << " nu=" << nu << " lambda=" << lambda;
        EXPECT_NEAR(p + q, 1.0, 1e-6) << "x=" << x << " nu=" << nu << " lambda=" << lambda;
      }
    }
  }
}

TEST(NonCentralChiSquare, UpperTailBeyondTermsBelowTheThreshold) {
  // Every term of these sums is below 1e-7, the sum is not: the weights
  // still ahead decide where it may stop.
  struct Case {
    double x, nu, lambda, q;
  };
  const Case cases[] = {{61.7249938995, 0.5, 10.0, 1.0525869156956822651e-6},
                        {35.0410196625, 0.5, 1.0, 2.6826422107258072679e-7}};
  for (const Case& c : cases) {
    // The upper tail goes on until the weights ahead are below 1e-7 before
    // the factor e^(-lambda/2); the lower tail stops at its own term.
    EXPECT_NEAR(NCChiSquare(c.x, c.nu, c.lambda, kQ), c.q, 1e-7 * std::exp(-c.lambda / 2.0))
        << "x=" << c.x;
    EXPECT_NEAR(NCChiSquare(c.x, c.nu, c.lambda, kP), 1.0 - c.q, 1e-7) << "x=" << c.x;
  }
}

TEST(NonCentralChiSquare, ExtremeArgumentsGiveAProbability) {
  // Huge nu with a tiny x (the steps of the central tails underflow while
  // a/z overflows), subnormal x and nu, and the largest double.
  constexpr double kMax = 1.7976931348623157e308;
  constexpr double kTiny = 4.9406564584124654e-324;
  struct Case {
    double x, nu, lambda;
  };
  const Case cases[] = {{1e-252, 1.2e281, 21.0}, {0.5, kMax, 1400.0}, {0.5, kMax, 2e6},
                        {kTiny, kTiny, 1e-10}, {kTiny, 1e-300, 1400.0}, {1e-310, kMax, 2e6},
                        {kMax, 1.0, 1400.0}, {kMax, kMax, kMax}};
  for (const Case& c : cases) {
    const double p = NCChiSquare(c.x, c.nu, c.lambda, kP);
    const double q = NCChiSquare(c.x, c.nu, c.lambda, kQ);
    EXPECT_TRUE(p >= 0.0 && p <= 1.0) << "x=" << c.x << " nu=" << c.nu << " lambda=" << c.lambda;
    EXPECT_TRUE(q >= 0.0 && q <= 1.0) << "x=" << c.x << " nu=" << c.nu << " lambda=" << c.lambda;
  }
}

TEST(NonCentralChiSquare, NegativeXIsOutsideTheDomainAndZeroHoldsNothing) {
  for (const double lambda : {0.0, 3.0, 3000.0, 5e6}) {
    EXPECT_TRUE(std::isnan(NCChiSquare(-1.0, 2.0, lambda, kP))) << lambda;
    EXPECT_TRUE(std::isnan(NCChiSquare(-1.0, 2.0, lambda, kQ))) << lambda;
    EXPECT_EQ(NCChiSquare(0.0, 600.0, lambda, kP), 0.0) << lambda;
    EXPECT_NEAR(NCChiSquare(0.0, 600.0, lambda, kQ), 1.0, 1e-7) << lambda;
  }
}

// Negative degrees of freedom lie outside the domain: every call returns,
// with a NaN, where the lower tail's sum once never ended (nu < 0 and
// 1400 < lambda <= 2e6) and where it took tens of milliseconds.
TEST(NonCentralChiSquare, NegativeDegreesOfFreedomReturnANaN) {
  struct Case {
    double x, nu, lambda;
  };
  const Case cases[] = {{1.0, -1404.0, 1402.0},
                        {34.20027904789282, -1e300, 5684.892596678498},
                        {1.0, -1e5, 5000.0},
                        {1e-310, -3.7119012113355736e59, 2e6},
                        {1.0, -1.0, 1.0},
                        {1.0, -kInf, 1e4}};
  for (const Case& c : cases) {
    for (const std::int32_t tail : {kP, kQ}) {
      EXPECT_TRUE(std::isnan(NCChiSquare(c.x, c.nu, c.lambda, tail)))
          << "x=" << c.x << " nu=" << c.nu << " lambda=" << c.lambda << " tail=" << tail;
    }
  }
}

// Both tails within 1e-7 absolute, the routine's own tolerance, for
// 0 < nu <= 1e4 and 0 <= lambda <= 1e6: the general table, and the regions
// of the upper tail far above nu + lambda, of nu above 400 and of lambda
// above 1400. The worst error of each table is reported.
TEST(NonCentralChiSquare, MatchesMpmath) {
  for (const char* table : {"chisq_noncentral.txt", "chisq_noncentral_regions.txt"}) {
    const auto rows = testing_support::ReadReferenceTable(table);
    ASSERT_GT(rows.size(), 40u);
    double worst = 0.0;
    for (const auto& row : rows) {
      const double x = row[0], nu = row[1], lambda = row[2], p = row[3], q = row[4];
      const double errorP = std::fabs(NCChiSquare(x, nu, lambda, kP) - p);
      const double errorQ = std::fabs(NCChiSquare(x, nu, lambda, kQ) - q);
      EXPECT_LE(errorP, 1e-7) << "x=" << x << " nu=" << nu << " lambda=" << lambda;
      EXPECT_LE(errorQ, 1e-7) << "x=" << x << " nu=" << nu << " lambda=" << lambda;
      worst = std::fmax(worst, std::fmax(errorP, errorQ));
    }
    std::printf("%s: worst absolute error %.3g\n", table, worst);
  }
}

// Beyond lambda = 2e6, Pearson's three-moment approximation: within 2e-9
// absolute (tests/data/chisq_noncentral_pearson.txt).
TEST(NonCentralChiSquare, PearsonsApproximationBeyondTwoMillion) {
  const auto rows = testing_support::ReadReferenceTable("chisq_noncentral_pearson.txt");
  ASSERT_EQ(rows.size(), 3u);
  for (const auto& row : rows) {
    const double x = row[0], nu = row[1], lambda = row[2];
    EXPECT_NEAR(NCChiSquare(x, nu, lambda, kP), row[3], 2e-9) << "x=" << x;
    EXPECT_NEAR(NCChiSquare(x, nu, lambda, kQ), row[4], 2e-9) << "x=" << x;
  }
}

// Where the sum runs outward from the mode (nu above 400 or lambda above
// 1400), a tail far below 1 keeps its relative precision: the terms are
// summed until what is left out is below 1e-12 of the sum, not only below
// 1e-14 absolute.
TEST(NonCentralChiSquare, SmallTailsOfTheOutwardSumKeepTheirDigits) {
  std::size_t checked = 0;
  for (const char* table : {"chisq_noncentral_regions.txt", "accuracy/nc_chi_square.txt"}) {
    for (const auto& row : testing_support::ReadReferenceTable(table)) {
      const double x = row[0], nu = row[1], lambda = row[2];
      if (!((nu > 400.0 || lambda > 1400.0) && lambda <= 2e6)) continue;
      for (const auto& [tail, reference] : {std::pair{kP, row[3]}, std::pair{kQ, row[4]}}) {
        if (!(reference > 1e-80 && reference < 1e-2)) continue;
        ++checked;
        EXPECT_LE(testing_support::RelativeError(NCChiSquare(x, nu, lambda, tail), reference), 5e-12)
            << "x=" << x << " nu=" << nu << " lambda=" << lambda << " tail=" << tail;
      }
    }
  }
  EXPECT_GT(checked, 50u);
}

// With nu above 400 and a mode below 200 the outward sum's weights come
// from the Poisson weight at the mode: to within a few units of rounding,
// so that both tails hold 2e-14 (mpmath, tools/gen_chi_square_reference.py).
TEST(NonCentralChiSquare, OutwardSumFromAModeBelowTwoHundred) {
  struct Case {
    double x, nu, lambda, q;
  };
  const Case cases[] = {{650, 450, 300, 0.98807461496247441879},
                        {1300, 1000, 398, 0.95147183623083238857},
                        {700, 500, 200, 0.49233718826672464925},
                        {2000, 1800, 150, 0.21886012026833931443},
                        {560, 420, 120, 0.28582137101060860245}};
  for (const Case& c : cases) {
    EXPECT_NEAR(NCChiSquare(c.x, c.nu, c.lambda, kQ), c.q, 2e-14) << "x=" << c.x;
    EXPECT_NEAR(NCChiSquare(c.x, c.nu, c.lambda, kP), 1.0 - c.q, 2e-14) << "x=" << c.x;
  }
}

// Where a term near the centre of a large nu + 2j lies in the sum, the
// fixed-depth tails stray (by 0.999 at the worst of these points) and the
// sum runs outward from the mode: both tails within 1e-13 of mpmath.
TEST(NonCentralChiSquare, WhereTheFixedDepthSumStraysBothTailsHoldTheirDigits) {
  struct Case {
    double x, nu, lambda, p, q;
  };
  const Case cases[] = {
      {800, 50, 700, 0.82413431798004895949, 0.17586568201995104051},
      {1000, 100, 900, 0.50635898115597672089, 0.49364101884402327911},
      {450, 10, 400, 0.84005513361588488962, 0.15994486638411511038},
      {1200, 300, 800, 0.94505496810847399182, 0.054945031891526008185},
      {700, 50, 700, 0.17717459971441859138, 0.82282540028558140862},
      {300, 120, 200, 0.27341052644529882649, 0.72658947355470117351}};
  for (const Case& c : cases) {
    EXPECT_NEAR(NCChiSquare(c.x, c.nu, c.lambda, kP), c.p, 1e-13) << "x=" << c.x;
    EXPECT_NEAR(NCChiSquare(c.x, c.nu, c.lambda, kQ), c.q, 1e-13) << "x=" << c.x;
  }
}

}  // namespace
