// The binomial distribution against mpmath, the beta tails, its exact
// quantiles and batch forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "specfun/distributions.hpp"
#include "tests/beta_family_tables.hpp"

namespace {

using specfun::Binomial;
using testing_support::ReadReferenceTable;
using testing_support::RelativeError;

TEST(BinomialDistribution, MatchesReferenceTable) {
  for (const auto& row : ReadReferenceTable("distributions/binomial.txt")) {
    const Binomial d{row[1], row[2]};
    testing_support::ExpectRowWithin(d, row[0], row, 3, d.n <= 1e5 ? 5e-15 : 1e-13,
                                     "k " + std::to_string(row[0]) + " n " +
                                         std::to_string(d.n) + " p " + std::to_string(d.p));
  }
}

// P(X <= k) = P(Beta(k + 1, n - k) > p) (A&S 26.5.24), and off the
// integers the tails are those at floor(k) and the mass is 0.
TEST(BinomialDistribution, TailsAreBetaTails) {
  for (const Binomial d : {Binomial{20.0, 0.3}, Binomial{1e6, 1e-4}}) {
    for (const double k : {0.0, 3.0, 7.0, 15.0}) {
      EXPECT_EQ(specfun::cdf(d, k), specfun::sf(specfun::Beta{k + 1.0, d.n - k}, d.p));
      EXPECT_EQ(specfun::cdf(d, k + 0.5), specfun::cdf(d, k));
      EXPECT_EQ(specfun::pdf(d, k + 0.5), 0.0);
    }
  }
}

// The quantile is the least k with P(X <= k) >= P: checked against the
// tails at k and k - 1, and exactly at a tail's own value.
TEST(BinomialDistribution, QuantilesAreExact) {
  for (const Binomial d : {Binomial{10.0, 0.3}, Binomial{1e4, 0.5}, Binomial{1e15, 0.3},
                           Binomial{1e12, 1e-9}}) {
    for (const double p : {1e-300, 1e-12, 0.1, 0.5}) {
      // P(X <= k) >= p > P(X <= k - 1), and P(X > k) <= p < P(X > k - 1).
      const double k = specfun::quantile(d, p);
      EXPECT_GE(specfun::cdf(d, k), p) << d.n << " " << p;
      if (k > 0.0) {
        EXPECT_LT(specfun::cdf(d, k - 1.0), p) << d.n << " " << p;
      }
      const double ku = specfun::quantile_upper(d, p);
      EXPECT_LE(specfun::sf(d, ku), p) << d.n << " " << p;
      if (ku > 0.0) {
        EXPECT_GT(specfun::sf(d, ku - 1.0), p) << d.n << " " << p;
      }
    }
  }
  const Binomial d{10.0, 0.3};
  EXPECT_EQ(specfun::quantile(d, specfun::cdf(d, 3.0)), 3.0);
}

// Log-probabilities far beyond the doubles' tails with n near 1e14: the
// root lies some 1e11 counts from the normal approximation's guess.
TEST(BinomialDistribution, FarLogQuantilesAreExact) {
  const Binomial d{91612615548059.0, 0.5196578161250273};
  for (const double logP : {-782016435.0820229, -1e6}) {
    const double k = specfun::quantile_log(d, logP);
    EXPECT_GE(specfun::log_cdf(d, k), logP) << logP;
    EXPECT_LT(specfun::log_cdf(d, k - 1.0), logP) << logP;
    const double ku = specfun::quantile_upper_log(d, logP);
    EXPECT_LE(specfun::log_sf(d, ku), logP) << logP;
    EXPECT_GT(specfun::log_sf(d, ku - 1.0), logP) << logP;
  }
}

// P(X = 0) = (1 - p)^n or P(X = n) = p^n holding nearly all the mass.
TEST(BinomialDistribution, QuantilesAtTheEnds) {
  EXPECT_EQ(specfun::quantile_log(Binomial{1e6, 1e-9}, -0.5), 0.0);
  EXPECT_EQ(specfun::quantile_upper_log(Binomial{1e6, 1.0 - 1e-9}, -0.5), 1e6);
  EXPECT_EQ(specfun::quantile(Binomial{1e6, 1.0 - 1e-9}, 0.5), 1e6);
  EXPECT_EQ(specfun::quantile(Binomial{20.0, 0.01}, 0.8), 0.0);
  EXPECT_EQ(specfun::quantile(Binomial{20.0, 0.01}, 0.9), 1.0);
}

TEST(BinomialDistribution, BatchFormsAreTheScalarCalls) {
  const std::vector<double> ps = {0.0, 1e-20, 0.3, 0.5, 0.999, 1.0};
  const Binomial d{1000.0, 0.2};
  using specfun::quantile;
  testing_support::ExpectBatchesAsScalar(
      d, ps, static_cast<double (*)(const Binomial&, double)>(quantile),
      static_cast<void (*)(const Binomial&, const double*, double*, std::size_t)>(quantile),
      static_cast<void (*)(const Binomial*, const double*, double*, std::size_t)>(quantile));
}

}  // namespace
