// The Poisson distribution against mpmath's tables
// (tools/gen_distribution_gamma.py), its identities, limits and batch forms.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

#include "specfun/distributions.hpp"
#include "tests/distribution_batch_check.hpp"
#include "tests/reference_table.hpp"

namespace {

using specfun::Poisson;
using testing_support::ReadReferenceTable;
using testing_support::RelativeError;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// The header's bound for the tails, their logarithms and the mass.
constexpr double kBound = 2e-15;

TEST(PoissonDistribution, TailsTheirLogarithmsAndMassMatchMpmath) {
  for (const auto& row : ReadReferenceTable("distributions/poisson.txt")) {
    const Poisson d{row[0]};
    const double k = row[1];
    const double got[] = {cdf(d, k), sf(d, k), log_cdf(d, k), log_sf(d, k), pdf(d, k), log_pdf(d, k)};
    for (int i = 0; i < 6; ++i) {
      const double want = row[2 + i];
      if (std::fabs(want) < DBL_MIN) {
        EXPECT_LT(std::fabs(got[i]), DBL_MIN) << "column " << i << " mean " << d.mean << " k " << k;
      } else {
        EXPECT_LE(RelativeError(got[i], want), kBound)
            << "column " << i << " mean " << d.mean << " k " << k << ": " << got[i] << " against "
            << want;
      }
    }
  }
}

TEST(PoissonDistribution, QuantilesAreTheRightWholeNumbers) {
  for (const auto& row : ReadReferenceTable("distributions/poisson_quantiles.txt")) {
    const Poisson d{row[0]};
    const double target = row[2];
    const double got[] = {quantile(d, target), quantile_upper(d, target), quantile_log(d, target),
                          quantile_upper_log(d, target)};
    EXPECT_EQ(got[static_cast<int>(row[1])], row[3])
        << "kind " << row[1] << " mean " << d.mean << " target " << target;
  }
}

TEST(PoissonDistribution, CdfIsTheSumOfTheMassesForSmallMeans) {
  for (double mean : {1e-3, 0.1, 1.0, 3.7, 10.0, 25.0}) {
    const Poisson d{mean};
    double sum = 0.0;
    for (double k = 0; k <= 60; ++k) {
      sum += pdf(d, k);
      EXPECT_LE(RelativeError(cdf(d, k), sum), 8e-15) << "mean " << mean << " k " << k;
      if (cdf(d, k) >= 1e-3 && sf(d, k) >= 1e-3) {
        EXPECT_NEAR(cdf(d, k) + sf(d, k), 1.0, 4e-16);
      }
    }
  }
}

// Targets within 1e-13 of a tail at k (closer than the quantile's plain
// comparison settles, farther than the tails' error): the quantile still
// falls on the side of k that the target's side of the tail calls for.
TEST(PoissonDistribution, QuantilesOfTargetsBesideATailFallOnItsSides) {
  for (double mean : {0.7, 9.0, 300.0, 2e6}) {
    const Poisson d{mean};
    const double middle = std::floor(mean);
    const double below = std::fmax(std::floor(mean - 2.0 * std::sqrt(mean)), 0.0);
    for (double k : {below, middle, middle + 3.0}) {
      const double lower = cdf(d, k), upper = sf(d, k);
      EXPECT_EQ(quantile(d, lower * (1.0 - 1e-13)), k) << "mean " << mean << " k " << k;
      EXPECT_EQ(quantile(d, lower * (1.0 + 1e-13)), k + 1.0) << "mean " << mean << " " << k;
      EXPECT_EQ(quantile_upper(d, upper * (1.0 + 1e-13)), k) << "mean " << mean << " k " << k;
      EXPECT_EQ(quantile_upper(d, upper * (1.0 - 1e-13)), k + 1.0) << "mean " << mean;
    }
  }
}

TEST(PoissonDistribution, QuantilesBracketTheirProbability) {
  for (double mean : {0.02, 1.5, 40.0, 3e4, 5e11}) {
    const Poisson d{mean};
    for (double p : {1e-200, 1e-9, 0.05, 0.5, 0.93, 1.0 - 1e-12}) {
      const double k = quantile(d, p);
      EXPECT_GE(cdf(d, k), p * (1.0 - 4e-15)) << "mean " << mean << " p " << p;
      if (k > 0) {
        EXPECT_LT(cdf(d, k - 1.0), p * (1.0 + 4e-15)) << "mean " << mean << " p " << p;
      }
      const double j = quantile_upper(d, p);
      EXPECT_LE(sf(d, j), p * (1.0 + 4e-15)) << "upper, mean " << mean << " q " << p;
      if (j > 0) {
        EXPECT_GT(sf(d, j - 1.0), p * (1.0 - 4e-15)) << "upper, mean " << mean;
      }
      EXPECT_EQ(quantile_log(d, std::log(p)), k) << "mean " << mean << " p " << p;
    }
  }
}

TEST(PoissonDistribution, LimitsAndInvalidArguments) {
  const Poisson d{3.0};
  EXPECT_EQ(cdf(d, 2.7), cdf(d, 2.0));
  EXPECT_EQ(pdf(d, 2.5), 0.0);
  EXPECT_EQ(log_pdf(d, 2.5), -kInf);
  EXPECT_EQ(cdf(d, -0.5), 0.0);
  EXPECT_EQ(log_cdf(d, -1.0), -kInf);
  EXPECT_EQ(sf(d, kInf), 0.0);
  EXPECT_EQ(quantile(d, 0.0), 0.0);
  EXPECT_EQ(quantile(d, 1.0), kInf);
  EXPECT_EQ(quantile_upper(d, 1.0), 0.0);
  EXPECT_EQ(quantile_upper_log(d, -kInf), kInf);
  EXPECT_EQ(cdf(Poisson{0.0}, 0.0), 1.0);
  EXPECT_EQ(pdf(Poisson{0.0}, 0.0), 1.0);
  EXPECT_EQ(quantile(Poisson{0.0}, 0.999), 0.0);
  for (const Poisson& bad : {Poisson{-1.0}, Poisson{kNaN}, Poisson{kInf}}) {
    EXPECT_TRUE(std::isnan(cdf(bad, 1.0)));
    EXPECT_TRUE(std::isnan(pdf(bad, 1.0)));
    EXPECT_TRUE(std::isnan(quantile(bad, 0.5)));
  }
  EXPECT_TRUE(std::isnan(cdf(d, kNaN)));
  EXPECT_TRUE(std::isnan(quantile(d, 2.0)));
  EXPECT_TRUE(std::isnan(quantile_log(d, 1.0)));
}

TEST(PoissonDistribution, BatchFormsAreTheScalarCallsBitForBit) {
  const std::vector<Poisson> ds = {{0.5}, {12.0}, {3e3}, {2e12}, {0.0}};
  const std::vector<double> xs = {0.0, 1.0, 2.5, 11.0, 3100.0, 2e12, -1.0, kNaN, kInf};
  const std::vector<double> ps = {1e-300, 0.01, 0.5, 0.99, 1.0, 0.0, 0.25};
  const std::vector<double> logPs = {-1e300, -700.0, -0.7, -1e-9, 0.0, -3.0};
  SPECFUN_EXPECT_BATCH_FORMS(Poisson, ds, xs, ps, logPs);
}

}  // namespace
