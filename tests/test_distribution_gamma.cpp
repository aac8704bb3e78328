// The gamma and chi-square distributions against mpmath's tables
// (tools/gen_distribution_gamma.py), their identities, limits and batch forms.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

#include "specfun/distributions.hpp"
#include "tests/distribution_batch_check.hpp"
#include "tests/reference_table.hpp"

namespace {

using specfun::ChiSquared;
using specfun::Gamma;
using testing_support::ReadReferenceTable;
using testing_support::RelativeError;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The bounds the header states: tails, their logarithms and the density
// 2e-15 relative up to shape 1e5 (1e-13 beyond); quantiles 4e-15.
double TailBound(double shape) { return shape <= 1e5 ? 2e-15 : 1e-13; }
constexpr double kQuantileBound = 4e-15;

// A reference below the normal doubles holds the result only to be as
// small; elsewhere the relative bound applies.
void ExpectNear(double got, double want, double bound, const char* name, double shape,
                double scale, double x) {
  if (std::fabs(want) < DBL_MIN) {
    EXPECT_LT(std::fabs(got), DBL_MIN) << name << " shape " << shape << " scale " << scale
                                       << " at " << x;
    return;
  }
  EXPECT_LE(RelativeError(got, want), bound)
      << name << " shape " << shape << " scale " << scale << " at " << x << ": " << got
      << " against " << want;
}

TEST(GammaDistribution, TailsTheirLogarithmsAndDensityMatchMpmath) {
  for (const auto& row : ReadReferenceTable("distributions/gamma_tails.txt")) {
    const double shape = row[0], scale = row[1], x = row[2];
    const Gamma d{shape, scale};
    const double bound = TailBound(shape);
    ExpectNear(cdf(d, x), row[3], bound, "cdf", shape, scale, x);
    ExpectNear(sf(d, x), row[4], bound, "sf", shape, scale, x);
    ExpectNear(log_cdf(d, x), row[5], bound, "log_cdf", shape, scale, x);
    ExpectNear(log_sf(d, x), row[6], bound, "log_sf", shape, scale, x);
    ExpectNear(pdf(d, x), row[7], bound, "pdf", shape, scale, x);
    ExpectNear(log_pdf(d, x), row[8], bound, "log_pdf", shape, scale, x);
    if (scale == 2.0) {
      const ChiSquared c{2.0 * shape};
      ExpectNear(cdf(c, x), row[3], bound, "chi-square cdf", shape, scale, x);
      ExpectNear(log_sf(c, x), row[6], bound, "chi-square log_sf", shape, scale, x);
    }
  }
}

TEST(GammaDistribution, QuantilesMatchMpmathsRoots) {
  for (const auto& row : ReadReferenceTable("distributions/gamma_quantiles.txt")) {
    const double shape = row[0], scale = row[1], target = row[3], want = row[4];
    const Gamma d{shape, scale};
    const double got[] = {quantile(d, target), quantile_upper(d, target),
                          quantile_log(d, target), quantile_upper_log(d, target)};
    ExpectNear(got[static_cast<int>(row[2])], want, kQuantileBound, "quantile kind", shape, scale,
               target);
  }
}

constexpr double kShapes[] = {1e-3, 0.3, 1.0, 4.5, 37.0, 2e3, 1e6, 1e13};
constexpr double kProbabilities[] = {1e-300, 1e-20, 0.01, 0.3, 0.5, 0.8, 1.0 - 0x1p-53};

TEST(GammaDistribution, TailsAddToOneWhereBothAreLarge) {
  for (double shape : kShapes) {
    const Gamma d{shape, 1.5};
    for (double p = 0.01; p < 1.0; p += 0.07) {
      const double x = quantile(d, p);
      const double lower = cdf(d, x), upper = sf(d, x);
      if (lower >= 1e-3 && upper >= 1e-3) {
        EXPECT_NEAR(lower + upper, 1.0, 4e-16) << "shape " << shape << " at " << x;
      }
    }
  }
}

// At x = quantile(p) the tail's logarithm is ln p, to the quantile's bound
// times its slope r = x f(x)/T(x) in ln x, and the tail's own bound.
TEST(GammaDistribution, QuantilesReturnToTheirProbability) {
  for (double shape : kShapes) {
    const Gamma d{shape, 0.7};
    for (double p : kProbabilities) {
      const double x = quantile(d, p), y = quantile_upper(d, p);
      const double logP = std::log(p);
      // Quantiles below the normal doubles (small shapes) keep few digits.
      if (x >= DBL_MIN) {
        const double rx = x * pdf(d, x) / cdf(d, x);
        EXPECT_NEAR(log_cdf(d, x), logP, kQuantileBound * rx + 4e-15 * std::fabs(logP))
            << "shape " << shape << " p " << p;
      }
      if (y >= DBL_MIN) {
        const double ry = y * pdf(d, y) / sf(d, y);
        EXPECT_NEAR(log_sf(d, y), logP, kQuantileBound * ry + 4e-15 * std::fabs(logP))
            << "upper, shape " << shape << " p " << p;
      }
    }
    // Log-probabilities far below the doubles.
    for (double logQ : {-1e3, -1e10, -1e300}) {
      const double y = quantile_upper_log(d, logQ);
      const double ry = y * std::exp(log_pdf(d, y) - log_sf(d, y));
      EXPECT_NEAR(log_sf(d, y), logQ, kQuantileBound * ry + 4e-15 * std::fabs(logQ))
          << "shape " << shape << " " << logQ;
    }
  }
}

// The tails themselves take their prefactor in double where its factors
// allow, their logarithms in double-double: e^(ln T) is T to both bounds and
// the rounding of ln T (|ln T| 2^-53), from tails near ½ to 1e-300.
TEST(GammaDistribution, TailsAreTheExponentialsOfTheirLogarithms) {
  for (double shape : {0.004, 0.3, 0.7, 2.5, 3.7, 9.9, 10.5, 15.0, 41.0, 157.0, 900.0, 4e4}) {
    for (double ratio : {1e-3, 0.05, 0.3, 0.6, 0.9, 1.1, 1.6, 2.5, 4.0, 5.7, 8.0, 30.0}) {
      const Gamma d{shape, 0.37};
      const double x = ratio * (shape + 1.0) * 0.37;
      const double logs[] = {log_cdf(d, x), log_sf(d, x)};
      const double tails[] = {cdf(d, x), sf(d, x)};
      for (int i = 0; i < 2; ++i) {
        if (logs[i] < -690.0) continue;
        const double bound = 2 * TailBound(shape) + std::fabs(logs[i]) * 0x1p-53;
        EXPECT_LE(RelativeError(tails[i], std::exp(logs[i])), bound)
            << (i == 0 ? "cdf" : "sf") << " shape " << shape << " at " << x;
      }
    }
  }
}

// Whole and half-whole shapes below 10 have their own 1/Γ(1 + a): each
// joins the shapes beside it (a wrong one would jump by a factor near a).
TEST(GammaDistribution, WholeAndHalfWholeShapesJoinTheShapesBesideThem) {
  for (int twice = 1; twice <= 19; ++twice) {
    const double shape = 0.5 * twice, beside = shape * (1.0 + 1e-12);
    for (double x : {0.01 * shape, shape, 4.0 * shape}) {
      const Gamma d{shape}, e{beside};
      EXPECT_LE(RelativeError(cdf(d, x), cdf(e, x)), 1e-10) << shape << " " << x;
      EXPECT_LE(RelativeError(sf(d, x), sf(e, x)), 1e-10) << shape << " " << x;
    }
  }
}

TEST(ChiSquaredDistribution, IsTheGammaOfHalfItsDegreesAtHalfTheArgument) {
  for (double df : {2e-3, 1.0, 3.0, 17.5, 300.0, 1e7}) {
    for (double x : {1e-5, 0.5, 2.0, 30.0, 500.0, 2e7}) {
      const Gamma g{0.5 * df, 1.0};
      const ChiSquared c{df};
      const double bound = 2 * TailBound(df);
      EXPECT_LE(RelativeError(cdf(c, x), cdf(g, 0.5 * x)), bound) << df << " " << x;
      EXPECT_LE(RelativeError(sf(c, x), sf(g, 0.5 * x)), bound) << df << " " << x;
      EXPECT_LE(RelativeError(pdf(c, x), 0.5 * pdf(g, 0.5 * x)), bound) << df << " " << x;
    }
    for (double p : kProbabilities) {
      EXPECT_LE(RelativeError(quantile(ChiSquared{df}, p), 2.0 * quantile(Gamma{0.5 * df}, p)),
                2 * kQuantileBound);
    }
  }
}

TEST(GammaDistribution, InvalidParametersAndArgumentsOutsideTheSupport) {
  for (const Gamma& bad : {Gamma{0.0, 1.0}, Gamma{-1.0, 1.0}, Gamma{1.0, 0.0}, Gamma{kNaN, 1.0},
                           Gamma{1.0, kNaN}, Gamma{kInf, 1.0}}) {
    EXPECT_TRUE(std::isnan(cdf(bad, 1.0)));
    EXPECT_TRUE(std::isnan(log_pdf(bad, 1.0)));
    EXPECT_TRUE(std::isnan(quantile(bad, 0.5)));
  }
  EXPECT_TRUE(std::isnan(cdf(ChiSquared{0.0}, 1.0)));
  const Gamma d{2.5, 3.0};
  EXPECT_TRUE(std::isnan(cdf(d, kNaN)));
  EXPECT_EQ(cdf(d, -1.0), 0.0);
  EXPECT_EQ(sf(d, -1.0), 1.0);
  EXPECT_EQ(log_cdf(d, 0.0), -kInf);
  EXPECT_EQ(pdf(d, -1.0), 0.0);
  EXPECT_EQ(cdf(d, kInf), 1.0);
  EXPECT_EQ(log_sf(d, kInf), -kInf);
  EXPECT_EQ(pdf(Gamma{0.5}, 0.0), kInf);
  EXPECT_EQ(pdf(Gamma{1.0, 4.0}, 0.0), 0.25);
  EXPECT_EQ(quantile(d, 0.0), 0.0);
  EXPECT_EQ(quantile(d, 1.0), kInf);
  EXPECT_EQ(quantile_upper(d, 0.0), kInf);
  EXPECT_EQ(quantile_log(d, -kInf), 0.0);
  EXPECT_TRUE(std::isnan(quantile(d, 1.5)));
  EXPECT_TRUE(std::isnan(quantile(d, -0.1)));
  EXPECT_TRUE(std::isnan(quantile_log(d, 0.1)));
}

TEST(GammaDistribution, BatchFormsAreTheScalarCallsBitForBit) {
  const std::vector<Gamma> gammas = {{0.01, 1.0}, {3.5, 2.0}, {250.0, 0.3}, {1e9, 1.0}};
  const std::vector<ChiSquared> chis = {{0.02}, {7.0}, {500.0}, {2e9}};
  const std::vector<double> xs = {0.0, 1e-200, 0.3, 2.0, 7.0, 240.0, 1e9, -1.0, kNaN, 1e300};
  const std::vector<double> ps = {1e-300, 0.01, 0.5, 0.99, 1.0, 0.0, 0.25};
  const std::vector<double> logPs = {-1e300, -700.0, -0.7, -1e-9, 0.0, -3.0};
  SPECFUN_EXPECT_BATCH_FORMS(Gamma, gammas, xs, ps, logPs);
  SPECFUN_EXPECT_BATCH_FORMS(ChiSquared, chis, xs, ps, logPs);
}

}  // namespace
