// The F distribution against mpmath, its limits and batch forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "specfun/distributions.hpp"
#include "tests/beta_family_tables.hpp"

namespace {

using specfun::FisherF;
using testing_support::ReadReferenceTable;
using testing_support::RelativeError;

TEST(FisherFDistribution, MatchesReferenceTable) {
  for (const auto& row : ReadReferenceTable("distributions/f.txt")) {
    const FisherF d{row[1], row[2]};
    testing_support::ExpectRowWithin(
        d, row[0], row, 3, std::max(d.df1, d.df2) <= 1e5 ? 5e-15 : 1e-13,
        "f " + std::to_string(row[0]) + " df " + std::to_string(d.df1) + " " +
            std::to_string(d.df2));
  }
}

// An infinite degree of freedom gives the chi-square limits (mpmath):
// P(F <= 2 | ∞, 10) = Q(5, 2.5), P(F <= 2 | 10, ∞) = P(5, 10).
TEST(FisherFDistribution, ChiSquareLimits) {
  EXPECT_LE(RelativeError(specfun::cdf(FisherF{HUGE_VAL, 10.0}, 2.0), 0.89117801891415124), 5e-15);
  EXPECT_LE(RelativeError(specfun::cdf(FisherF{10.0, HUGE_VAL}, 2.0), 0.97074731192303893), 5e-15);
}

TEST(FisherFDistribution, QuantilesRoundTrip) {
  for (const FisherF d : {FisherF{1.0, 1.0}, FisherF{0.2, 7.0}, FisherF{12.0, 3.0},
                          FisherF{1e4, 2e4}}) {
    for (const double p : {1e-200, 1e-8, 0.05, 0.5, 0.95, 1.0 - 1e-12}) {
      const double f = specfun::quantile_upper(d, p);
      if (std::isinf(f) || f < DBL_MIN) continue;  // beyond the doubles
      EXPECT_LE(RelativeError(specfun::sf(d, f), p),
                testing_support::RoundTripTolerance(specfun::pdf(d, f), f, p))
          << d.df1 << " " << d.df2 << " " << p;
    }
  }
}

TEST(FisherFDistribution, BatchFormsAreTheScalarCalls) {
  const std::vector<double> fs = {0.0, 1e-300, 0.5, 3.0, 1e200, HUGE_VAL};
  const FisherF d{3.0, 0.5};
  using specfun::cdf;
  testing_support::ExpectBatchesAsScalar(
      d, fs, static_cast<double (*)(const FisherF&, double)>(cdf),
      static_cast<void (*)(const FisherF&, const double*, double*, std::size_t)>(cdf),
      static_cast<void (*)(const FisherF*, const double*, double*, std::size_t)>(cdf));
}

}  // namespace
