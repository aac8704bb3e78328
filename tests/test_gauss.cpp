// QGauss, the Gaussian upper tail: limits, the switch between its two
// continued fractions, symmetry, and accuracy against mpmath.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "specfun/specfun.hpp"
#include "tests/gauss_tolerances.hpp"
#include "tests/reference_table.hpp"

namespace {

using specfun::QGauss;
using testing_support::QGaussRelativeTolerance;
using testing_support::ReadReferenceTable;
using testing_support::RelativeError;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(QGauss, FixedValuesAtTheLimits) {
  struct Case {
    double x, expected;
  };
  const Case cases[] = {
      {0.0, 0.5},
      {-0.0, 0.5},
      {-11.5, 1.0},
      {-11.0, 1.0},  // computed, and 1 in double precision
      {std::nextafter(-11.0, -INFINITY), 1.0},
      {-INFINITY, 1.0},
      {37.5, 0.0},
      {std::nextafter(37.0, INFINITY), 0.0},
      {INFINITY, 0.0},
      {kNaN, 0.0},
      {-kNaN, 0.0},
  };
  for (const Case& c : cases) EXPECT_EQ(QGauss(c.x), c.expected) << "x = " << c.x;
}

TEST(QGauss, UpperLimitItselfIsComputed) {
  // Q(37) = 5.7255712225245768e-300 (mpmath).
  const double q = QGauss(37.0);
  EXPECT_GT(q, 0.0);
  EXPECT_LE(RelativeError(q, 5.7255712225245768e-300), QGaussRelativeTolerance(37.0));
}

TEST(QGauss, SwitchPointBelongsToTheCentreFraction) {
  // Q(2.25) = 0.012224472655044703 (mpmath). The centre fraction is good to
  // a few 1e-14 there, the tail fraction just above is off by about 1e-11.
  const double atSwitch = 2.25;
  const double justAbove = std::nextafter(atSwitch, 3.0);
  const double reference = 0.012224472655044703;
  EXPECT_LT(RelativeError(QGauss(atSwitch), reference), 5e-14);
  const double tailError = RelativeError(QGauss(justAbove), reference);
  EXPECT_GT(tailError, 1e-11);
  EXPECT_LT(tailError, 1.2e-11);
}

TEST(QGauss, TailsAddUpToOne) {
  for (double x = -11.0; x <= 11.0; x += 1.0 / 64) {
    EXPECT_NEAR(QGauss(-x) + QGauss(x), 1.0, 1.2e-16) << "x = " << x;
  }
}

TEST(QGauss, DecreasesOverTheComputedRange) {
  double previous = QGauss(-11.0);
  for (double x = -11.0 + 1.0 / 128; x <= 37.0; x += 1.0 / 128) {
    const double q = QGauss(x);
    EXPECT_LE(q, previous) << "x = " << x;
    previous = q;
  }
}

TEST(QGauss, AgreesWithHighPrecisionReference) {
  const auto rows = ReadReferenceTable("gauss_upper_tail.txt");
  ASSERT_GT(rows.size(), 1500u);
  double worst = 0.0, worstAt = 0.0;
  for (const auto& row : rows) {
    const double x = row[0], reference = row[1];
    const double error = RelativeError(QGauss(x), reference);
    EXPECT_LE(error, QGaussRelativeTolerance(x)) << "x = " << x;
    if (error / QGaussRelativeTolerance(x) > worst) {
      worst = error / QGaussRelativeTolerance(x);
      worstAt = x;
    }
  }
  RecordProperty("WorstFractionOfTolerance", std::to_string(worst) + " at x = " +
                                                 std::to_string(worstAt));
}

// Both routines are fixed sequences of double operations: their results
// must be the very doubles of a plain evaluation in the same order.
TEST(QGaussFamily, MatchesPlainDoubleEvaluationBitForBit) {
  const auto rows = ReadReferenceTable("gauss_double_evaluation.txt");
  ASSERT_GT(rows.size(), 800u);
  for (const auto& row : rows) {
    const double argument = row[1], expected = row[2];
    if (row[0] == 0.0) {
      EXPECT_EQ(QGauss(argument), expected) << "x = " << argument;
    } else {
      EXPECT_EQ(specfun::QGaussInv(argument), expected) << "p = " << argument;
    }
  }
}

}  // namespace
