// ChiSquareInv: known quantiles, the ends of p and ν, the regions solved on
// the smaller tail, and the inverse against mpmath (tests/data/chisq_inverse.txt).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "specfun/specfun.hpp"
#include "tests/diagnostic_capture.hpp"
#include "tests/reference_table.hpp"

namespace {

using specfun::ChiSquareInv;

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ChiSquareInverse, KnownQuantiles) {
  struct Case {
    double p, nu, expected, tolerance;
  };
  const Case cases[] = {{0.5, 1.0, 0.454936423, 1e-9},   {0.5, 2.0, 1.386294361, 1e-9},
                        {0.05, 2.0, 5.991464547, 1e-9},  {0.01, 10.0, 23.2092512, 1e-7},
                        {0.001, 10.0, 29.5882984, 1e-7}, {1e-6, 10.0, 46.8630468, 1e-7}};
  for (const Case& c : cases) {
    EXPECT_NEAR(ChiSquareInv(c.p, c.nu), c.expected, c.tolerance) << "p=" << c.p << " nu=" << c.nu;
  }
  // nu = 2: the inverse is -2 ln p.
  for (const double p : {0.9, 0.3, 1e-3, 1e-40}) {
    EXPECT_NEAR(ChiSquareInv(p, 2.0) / (-2.0 * std::log(p)), 1.0, 1e-12) << p;
  }
}

TEST(ChiSquareInverse, FallsBackToATenthNearZero) {
  // The start 0.717 lies above the root; the steps that would cross zero
  // take x to a tenth of itself before Newton's steps converge.
  EXPECT_NEAR(ChiSquareInv(0.95, 0.6) / 6.4220693994459414e-05, 1.0, 1e-9);
}

TEST(ChiSquareInverse, EndsAfterTheGaussianDiagnostics) {
  const testing_support::DiagnosticCapture capture;
  EXPECT_EQ(ChiSquareInv(1.0, 3.0), 0.0);
  EXPECT_EQ(ChiSquareInv(1.5, 3.0), 0.0);
  EXPECT_EQ(ChiSquareInv(0.0, 3.0), kInf);
  EXPECT_EQ(ChiSquareInv(-0.5, 3.0), kInf);
  const std::vector<std::string> expected = {
      " QGaussInv input >1; 1 used; input:  1.50000000000000",
      " QGaussInv negative input; 0 used; inpu: -0.500000000000000"};
  EXPECT_EQ(capture.lines(), expected);
}

TEST(ChiSquareInverse, FiniteAndNonnegativeEverywhere) {
  for (const double nu :
       {1e-8, 0.01, 0.3, 0.49, 0.5, 1.0, 29.99, 30.0, 301.0, 303.0, 5e3, 1e6, 1e9}) {
    for (const double p : {1e-300, 1e-100, 1e-10, 0.01, 0.5, 0.9, 0.99, 1.0 - 1e-12}) {
      const double x = ChiSquareInv(p, nu);
      EXPECT_TRUE(std::isfinite(x) && x >= 0.0) << "p=" << p << " nu=" << nu << " x=" << x;
    }
  }
}

TEST(ChiSquareInverse, RoundTripsBelowHalfADegreeOfFreedom) {
  // Where the square root of Fisher's start is not defined.
  for (const double nu : {0.05, 0.2, 0.45}) {
    for (const double p : {1e-200, 1e-8, 0.01, 0.3, 0.6}) {
      const double x = ChiSquareInv(p, nu);
      ASSERT_GT(x, 0.0) << "p=" << p << " nu=" << nu;
      EXPECT_NEAR(specfun::ChiSquare(x, nu, specfun::kUpperTail) / p, 1.0, 1e-9)
          << "p=" << p << " nu=" << nu;
    }
  }
}

TEST(ChiSquareInverse, TinyResultsKeepTheirDigits) {
  // p near 1 with small nu: the root is far below the absolute tolerance
  // 1e-8, so the step is compared with a thousandth of x.
  struct Case {
    double p, nu, expected;
  };
  const Case cases[] = {{0.999, 1.0, 1.5707971492624927e-06},
                        {0.9999, 1.5, 8.295153687829755e-06},
                        {0.99999, 0.8, 4.6898820909268308e-13}};
  for (const Case& c : cases) {
    EXPECT_NEAR(ChiSquareInv(c.p, c.nu) / c.expected, 1.0, 9e-9) << "p=" << c.p << " nu=" << c.nu;
  }
}

// Every row of a table "p nu x" within `bound` relative; returns the worst.
double WorstAgainst(const char* table, std::size_t minimumRows, double bound) {
  const auto rows = testing_support::ReadReferenceTable(table);
  EXPECT_GT(rows.size(), minimumRows) << table;
  double worst = 0.0;
  for (const auto& row : rows) {
    const double p = row[0], nu = row[1], x = row[2];
    const double error = testing_support::RelativeError(ChiSquareInv(p, nu), x);
    worst = std::fmax(worst, error);
    EXPECT_LE(error, bound) << table << ": p=" << p << " nu=" << nu;
  }
  return worst;
}

// Within 1e-9 relative of the true inverse for 0.5 <= nu <= 1e6 and
// 1e-300 <= p <= 0.9, including the far tails.
TEST(ChiSquareInverse, MatchesMpmath) { WorstAgainst("chisq_inverse.txt", 150, 1e-9); }

// Both tails to their ends (tests/data/chisq_inverse_tails.txt, generator
// tools/gen_inverse_tails.py): p from 1e-300 to 1 - 1e-12, nu from 0.1 to
// 1e6, within the header's 9e-9 relative.
TEST(ChiSquareInverse, MatchesMpmathToBothEnds) {
  const double worst = WorstAgainst("chisq_inverse_tails.txt", 70, 9e-9);
  RecordProperty("WorstRelativeError", std::to_string(worst));
}

}  // namespace
