#include <gtest/gtest.h>

#include <cmath>

#include "specfun/kernels/stirling_remainder.hpp"
#include "specfun/specfun.hpp"

#include "tests/reference_table.hpp"

namespace {

using specfun::LnGamma;
using testing_support::ReadReferenceTable;

TEST(LnGamma, EdgeCases) {
  EXPECT_EQ(LnGamma(0.0), INFINITY);
  EXPECT_TRUE(std::isnan(LnGamma(-0.5)));
  EXPECT_TRUE(std::isnan(LnGamma(-1e300)));
  EXPECT_TRUE(std::isnan(LnGamma(NAN)));
  EXPECT_EQ(LnGamma(INFINITY), INFINITY);
  // The zeros at 1 and 2 come out a few units of 1e-15 away from zero.
  EXPECT_EQ(LnGamma(1.0), -2.1094237467877974e-15);
  EXPECT_NEAR(LnGamma(2.0), 0.0, 5e-15);
  EXPECT_NEAR(LnGamma(0.5), 0.5 * std::log(M_PI), 2e-15);
}

// The literal ½·ln(2π) carries exactly the bits of the C library's
// 0.5·log(8·atan(1)), evaluated here at run time.
TEST(LnGamma, HalfLogTwoPiHasTheLibraryBits) {
  volatile double eight = 8.0;
  volatile double one = 1.0;
  const double runtime = 0.5 * std::log(eight * std::atan(one));
  EXPECT_EQ(specfun::detail::kHalfLogTwoPi, runtime);
}

TEST(LnGamma, ShiftBoundary) {
  // 5 is evaluated directly, just below it the argument is shifted once:
  // both agree with ln 24 and the recurrence to rounding.
  EXPECT_NEAR(LnGamma(5.0), std::log(24.0), 1e-14);
  EXPECT_NEAR(LnGamma(4.999) + std::log(4.999), LnGamma(5.999), 1e-14);
}

TEST(LnGamma, TinyArgumentsKeepTheirDigits) {
  // ln Γ(x) = ln Γ(x + 1) - ln x below 1e-3; the shift alone gives +∞ at
  // 1e-20 and loses x's digits.
  EXPECT_EQ(LnGamma(1e-300), 690.7755278982137);
  EXPECT_EQ(LnGamma(1e-20), 46.051701859880914);
  EXPECT_NEAR(LnGamma(1e-14), 32.236191301916641, 1e-13);
  EXPECT_NEAR(LnGamma(4.9406564584124654e-324), 744.44007192138126, 1e-12);
}

// Accuracy against mpmath over (0, 1e300]: relative away from the zeros at
// 1 and 2, absolute near them, where ln Γ itself is small.
TEST(LnGamma, AgreesWithHighPrecisionReference) {
  struct Region {
    double from, to, relative, absolute;
  };
  // Below 0.5 the recurrence subtracts up to five logarithms of similar size;
  // on [0.5, 5] the result crosses its zeros; above 5 Stirling's formula
  // applies directly.
  const Region regions[] = {
      {0.0, 0.5, 6e-14, INFINITY},
      {0.5, 5.0, INFINITY, 1.2e-14},
      {5.0, 1e300, 4e-15, INFINITY},
  };
  const auto rows = ReadReferenceTable("log_gamma.txt");
  ASSERT_GT(rows.size(), 2000u);
  for (const auto& row : rows) {
    const double x = row[0], reference = row[1];
    const double computed = LnGamma(x);
    for (const Region& region : regions) {
      if (!(x > region.from && x <= region.to)) continue;
      EXPECT_LE(std::fabs(computed - reference), region.absolute) << "x = " << x;
      EXPECT_LE(testing_support::RelativeError(computed, reference), region.relative)
          << "x = " << x;
    }
  }
}

}  // namespace
