// ChiSquare: known values and edge cases, the 30-level fractions at the
// edges of the regions where they are kept, the recurrence in the degrees
// of freedom, and every region against mpmath (tests/data/chisq_tails.txt,
// tests/data/chisq_fraction_limits.txt, tools/gen_chi_square_reference.py).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "specfun/specfun.hpp"
#include "tests/reference_table.hpp"

namespace {

using specfun::ChiSquare;

constexpr std::int32_t kP = specfun::kLowerTail;
constexpr std::int32_t kQ = specfun::kUpperTail;
constexpr double kInf = std::numeric_limits<double>::infinity();

double P(double x, double nu) { return ChiSquare(x, nu, kP); }
double Q(double x, double nu) { return ChiSquare(x, nu, kQ); }

TEST(ChiSquare, KnownValuesToTwelveDigits) {
  struct Case {
    double x, nu;
    std::int32_t tail;
    double expected;
  };
  const Case cases[] = {{2.0, 1.0, kP, 0.842700792950},  {2.0, 5.0, kP, 0.150854963915},
                        {2.0, 10.0, kP, 0.00365984682734}, {2.0, 16.0, kP, 1.02491966746e-5},
                        {10.0, 10.0, kP, 0.559506714935}, {2.0, 2.0, kQ, 0.367879441171}};
  for (const Case& c : cases) {
    EXPECT_NEAR(ChiSquare(c.x, c.nu, c.tail) / c.expected, 1.0, 1e-11)
        << "x=" << c.x << " nu=" << c.nu;
  }
}

// Where thirty levels of a fraction are kept, at the edges of those regions
// (tests/data/chisq_fraction_limits.txt): there the thirtieth level still
// moves the tail by a few 1e-13. The directly computed tail (Q above
// x = 2 nu, else P) is held to 8e-13 relative of the true one and both
// tails to 8e-14 + nu 8e-16 absolute, which a level fewer or a wrong level
// misses; and to 1e-14 relative of what thirty levels give in exact
// arithmetic (plus the rounding of the prefactor's exponent as written, up
// to nu = 400), which a level more misses as well.
TEST(ChiSquare, ThirtyLevelsAtTheEdgesOfTheirRegions) {
  const auto rows = testing_support::ReadReferenceTable("chisq_fraction_limits.txt");
  ASSERT_GT(rows.size(), 20u);
  double worstTrue = 0.0, worstThirty = 0.0;
  for (const auto& row : rows) {
    const double x = row[0], nu = row[1], p = row[2], q = row[3], thirtyLevels = row[4];
    const bool upperIsDirect = x / nu > 2.0;
    const double direct = upperIsDirect ? Q(x, nu) : P(x, nu);
    const double fromTrue = testing_support::RelativeError(direct, upperIsDirect ? q : p);
    const double fromThirty = testing_support::RelativeError(direct, thirtyLevels);
    EXPECT_LE(fromTrue, 8e-13) << "x=" << x << " nu=" << nu;
    EXPECT_LE(fromThirty, 1e-14 + (nu <= 400.0 ? nu * 2.5e-16 : 0.0)) << "x=" << x << " nu=" << nu;
    EXPECT_NEAR(P(x, nu), p, 8e-14 + nu * 8e-16) << "x=" << x << " nu=" << nu;
    EXPECT_NEAR(Q(x, nu), q, 8e-14 + nu * 8e-16) << "x=" << x << " nu=" << nu;
    worstTrue = std::max(worstTrue, fromTrue);
    worstThirty = std::max(worstThirty, fromThirty);
  }
  RecordProperty("worst_relative_to_true", std::to_string(worstTrue));
  RecordProperty("worst_relative_to_thirty_levels", std::to_string(worstThirty));
  std::printf("worst %.3g relative to the true tail, %.3g to thirty levels\n", worstTrue,
              worstThirty);
}

// P(x | nu + 2) = P(x | nu) - (x/2)^(nu/2) e^(-x/2) / Γ(nu/2 + 1)
// (A&S 6.5.21), on both sides of x = 2 nu and across it, even nu (whose
// upper fraction ends by itself) among them, within the absolute error of
// the two tails.
TEST(ChiSquare, RecurrenceInTheDegreesOfFreedom) {
  for (const double nu :
       {0.3, 1.0, 2.0, 2.5, 3.0, 4.000001, 7.0, 10.0, 11.0, 19.0, 30.0, 32.0, 40.0, 150.0}) {
    for (const double ratio : {0.05, 0.3, 0.9, 1.6, 2.0, 2.2, 3.0, 6.0, 15.0}) {
      const double x = ratio * nu;
      const double exponent = (nu / 2) * std::log(x / 2) - x / 2 - std::lgamma(nu / 2 + 1);
      const double term = std::exp(exponent);
      const double bound = 2.0 * (1e-13 + (nu + 2.0) * 1e-15) + term * std::fabs(exponent) * 4e-16;
      EXPECT_NEAR(P(x, nu + 2.0), P(x, nu) - term, bound) << "x=" << x << " nu=" << nu;
    }
  }
}

TEST(ChiSquare, ExactFormsOfEvenDegrees) {
  // nu = 2: no level at all, Q = e^(-x/2); nu = 4: two levels, Q = e^(-x/2)(1 + x/2).
  // (The exponent -x/2 carries its own rounding, about x*1e-16.)
  for (const double x : {4.5, 10.0, 33.0, 700.0}) {
    EXPECT_NEAR(Q(x, 2.0) / std::exp(-x / 2), 1.0, 4e-15 + x * 1e-16) << x;
    EXPECT_NEAR(Q(x, 4.0) / (std::exp(-x / 2) * (1 + x / 2)), 1.0, 4e-15 + x * 1e-16) << x;
  }
  // A nu that is only nearly even takes 30 levels: two would leave out the
  // level (3 - nu)/x and be off by about 1e-8.
  EXPECT_NEAR(Q(10.0, 4.000001) / 0.040427709924467359406, 1.0, 1e-14);
  // Odd nu at small x (nu = 3, x = 6.5): more than 30 levels, as 30 fall
  // short of 1e-12 there.
  EXPECT_NEAR(Q(6.5, 3.0) / 0.089662503988167913791, 1.0, 1e-14);
}

TEST(ChiSquare, SwitchRatioTwoBelongsToTheLowerFraction) {
  // The complemented tail is formed as 1 minus the direct one.
  for (const double nu : {1.0, 3.0, 10.0, 12.0}) {
    const double x = 2.0 * nu;
    EXPECT_EQ(Q(x, nu), 1.0 - P(x, nu)) << nu;
    const double above = std::nextafter(x, kInf);
    EXPECT_EQ(P(above, nu), 1.0 - Q(above, nu)) << nu;
  }
}

TEST(ChiSquare, EdgesOfTheRange) {
  for (const double nu : {1e-300, 0.1, 2.0, 7.5, 1e3, 1e8, 1e12, 1e300}) {
    EXPECT_EQ(P(0.0, nu), 0.0) << nu;
    EXPECT_EQ(Q(0.0, nu), 1.0) << nu;
    EXPECT_EQ(P(kInf, nu), 1.0) << nu;
    EXPECT_EQ(Q(kInf, nu), 0.0) << nu;
  }
  EXPECT_EQ(Q(1e4, 3.0), 0.0);
  EXPECT_EQ(P(1e4, 3.0), 1.0);
  EXPECT_EQ(P(5.0, kInf), 0.0);
  EXPECT_EQ(Q(5.0, kInf), 1.0);
}

TEST(ChiSquare, SubnormalDegreesGiveTheLimit) {
  // As nu -> 0 the whole distribution sits at 0: P(0|nu) = 0 for every
  // nu > 0, and P(x|nu) -> 1 for x > 0.
  for (const double nu : {4.9406564584124654e-324, 1e-310, 2.2250738585072014e-308}) {
    EXPECT_EQ(P(0.0, nu), 0.0) << nu;
    EXPECT_EQ(Q(0.0, nu), 1.0) << nu;
    for (const double x : {1e-300, 0.5, 3.0, 50.0}) {
      EXPECT_EQ(P(x, nu), 1.0) << "nu=" << nu << " x=" << x;
      EXPECT_LT(Q(x, nu), 1e-300) << "nu=" << nu << " x=" << x;
    }
  }
}

TEST(ChiSquare, SmallestSubnormalX) {
  // x/2 rounds to 0, yet ln(x/2) = ln x - ln 2 decides P(x|nu) for small
  // nu (mpmath, regularized lower incomplete gamma).
  constexpr double kX = 4.9406564584124654e-324;
  EXPECT_NEAR(P(kX, 0.002), 0.474944736700843184709, 1e-13);
  EXPECT_NEAR(P(kX, 1e-10), 0.999999962772200521100, 1e-13);
  EXPECT_NEAR(P(kX, 1.0) / 1.77350488860362726888e-162, 1.0, 1e-13);
  EXPECT_EQ(P(kX, 4.9406564584124654e-324), 1.0);
  EXPECT_EQ(Q(kX, 4.9406564584124654e-324), 0.0);
  EXPECT_EQ(Q(kX, 3.0), 1.0);
}

TEST(ChiSquare, ArgumentsOutsideTheDomainKeepTheirValues) {
  // An even negative nu with x/nu > 2 takes the upper fraction with no
  // levels: Q = e^L with L = ((nu/2 - 1) ln(x/2) - x/2) - ln Gamma(nu/2),
  // whose ln Gamma of a negative argument is NaN.
  EXPECT_TRUE(std::isnan(Q(-1e11, -1e10)));
  EXPECT_TRUE(std::isnan(P(-1e11, -1e10)));
  // Outside the domain the values stay those of the evaluation as written.
  EXPECT_TRUE(std::isnan(P(0.0, 0.0)));
  EXPECT_TRUE(std::isnan(P(4.9406564584124654e-324, 0.0)));
  EXPECT_TRUE(std::isnan(P(-1.0, 3.0)));
  EXPECT_EQ(P(2.0, 0.0), 1.0);
}

TEST(ChiSquare, InsideTheUnitIntervalForAnyDegrees) {
  // Beyond 1e10 degrees of freedom the Wilson-Hilferty approximation takes
  // over; at every size both tails stay in [0, 1] and add up to 1.
  for (const double nu : {1e-12, 0.7, 150.0, 3e4, 5e6, 1e9, 1e11, 1e15, 1e20, 1e100, 1e300}) {
    for (const double u : {-40.0, -6.0, -1.0, -0.3, 0.0, 0.3, 1.0, 6.0, 40.0}) {
      const double x = std::max(0.0, nu + u * std::sqrt(2.0 * nu));
      const double p = P(x, nu);
      const double q = Q(x, nu);
      EXPECT_TRUE(p >= 0.0 && p <= 1.0) << "nu=" << nu << " x=" << x << " P=" << p;
      EXPECT_TRUE(q >= 0.0 && q <= 1.0) << "nu=" << nu << " x=" << x << " Q=" << q;
      EXPECT_NEAR(p + q, 1.0, 1e-15) << "nu=" << nu << " x=" << x;
    }
  }
  // The largest degrees of freedom: the centre still splits the mass evenly.
  for (const double nu : {1e308, 1.7976931348623157e308}) {
    EXPECT_NEAR(P(nu, nu), 0.5, 1e-12) << nu;
    EXPECT_NEAR(Q(nu, nu), 0.5, 1e-12) << nu;
  }
  // At 1e20 degrees of freedom the normal limit holds to 1e-10.
  const double nu = 1e20;
  for (const double u : {0.0, 2.0, -3.0}) {
    const double x = nu + u * std::sqrt(2.0 * nu);
    const double exactU = (x - nu) / std::sqrt(2.0 * nu);
    EXPECT_NEAR(P(x, nu), 0.5 * std::erfc(-exactU / std::sqrt(2.0)), 1e-10) << u;
  }
}

// Both tails within 1e-13 + nu*1e-15 absolute and the directly computed one
// within 1e-12 + nu*1e-15 relative (where it is above 1e-300): the rounding of
// the prefactor's exponent sets the nu-proportional part.
TEST(ChiSquare, MatchesMpmathEverywhere) {
  const auto rows = testing_support::ReadReferenceTable("chisq_tails.txt");
  ASSERT_GT(rows.size(), 1000u);
  double worstAbsolute = 0.0;
  double worstRelative = 0.0;
  for (const auto& row : rows) {
    const double x = row[0], nu = row[1], p = row[2], q = row[3];
    const double computedP = P(x, nu);
    const double computedQ = Q(x, nu);
    ASSERT_TRUE(computedP >= 0.0 && computedP <= 1.0 && computedQ >= 0.0 && computedQ <= 1.0)
        << "x=" << x << " nu=" << nu;
    if (nu > 1e6) {
      EXPECT_NEAR(computedP, p, 1e-7) << "x=" << x << " nu=" << nu;
      continue;
    }
    const double absoluteBound = 1e-13 + nu * 1e-15;
    const double absolute = std::max(std::fabs(computedP - p), std::fabs(computedQ - q));
    EXPECT_LE(absolute, absoluteBound) << "x=" << x << " nu=" << nu;
    worstAbsolute = std::max(worstAbsolute, absolute / absoluteBound);
    std::vector<double> relatives;
    if (p > 1e-300) relatives.push_back(testing_support::RelativeError(computedP, p));
    if (q > 1e-300) relatives.push_back(testing_support::RelativeError(computedQ, q));
    const double relativeBound = 1e-12 + nu * 1e-15;
    const double relative = *std::min_element(relatives.begin(), relatives.end());
    EXPECT_LE(relative, relativeBound) << "x=" << x << " nu=" << nu;
    worstRelative = std::max(worstRelative, relative / relativeBound);
  }
  RecordProperty("worst_absolute_over_bound", std::to_string(worstAbsolute));
  RecordProperty("worst_relative_over_bound", std::to_string(worstRelative));
}

}  // namespace
