// The beta distribution against mpmath, its identities and batch forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "specfun/distributions.hpp"
#include "specfun/kernels/table_log.hpp"
#include "tests/beta_family_tables.hpp"

namespace {

using specfun::Beta;
using testing_support::ReadReferenceTable;
using testing_support::RelativeError;

// The bounds: 5e-15 with both parameters at most 1e5, 1e-13 beyond.
double ToleranceFor(double a, double b) { return std::max(a, b) <= 1e5 ? 5e-15 : 1e-13; }

TEST(BetaDistribution, MatchesReferenceTable) {
  for (const auto& row : ReadReferenceTable("distributions/beta.txt")) {
    const Beta d{row[1], row[2]};
    testing_support::ExpectRowWithin(d, row[0], row, 3, ToleranceFor(d.a, d.b),
                                     "x " + std::to_string(row[0]) + " a " +
                                         std::to_string(d.a) + " b " + std::to_string(d.b));
  }
}

// Quantiles give back their probabilities, where the root and its
// complement are normal doubles.
double RoundTripTolerance(const Beta& d, double x, double p) {
  return testing_support::RoundTripTolerance(specfun::pdf(d, x), x, p);
}

TEST(BetaDistribution, QuantilesRoundTrip) {
  for (const Beta d : {Beta{0.5, 0.5}, Beta{2.0, 5.0}, Beta{0.05, 30.0}, Beta{1e3, 2e3},
                       Beta{1e5, 1e5}}) {
    for (const double p : {1e-300, 1e-20, 0.01, 0.3, 0.5}) {
      const double x = specfun::quantile(d, p);
      if (x >= DBL_MIN) {
        EXPECT_LE(RelativeError(specfun::cdf(d, x), p), RoundTripTolerance(d, x, p))
            << d.a << " " << d.b << " " << p;
      }
      const double xu = specfun::quantile_upper(d, p);
      if (xu >= DBL_MIN && xu < 1.0) {
        EXPECT_LE(RelativeError(specfun::sf(d, xu), p), RoundTripTolerance(d, xu, p))
            << d.a << " " << d.b << " " << p;
      }
      EXPECT_LE(RelativeError(specfun::quantile_log(d, std::log(p)), x), 1e-12);
    }
    EXPECT_EQ(specfun::quantile_log(d, -1e300), 0.0);
    EXPECT_EQ(specfun::quantile_upper_log(d, -1e300), 1.0);
  }
}

// Roots from mpmath where the start lies close (the last step's size must
// not limit the digits) or the shapes are large.
TEST(BetaDistribution, QuantilesMatchMpmathsRoots) {
  struct Root {
    double a, b, logP, x;
  };
  for (const Root& r : {Root{1.0998724215030198, 1322.4513351334651, -9.722396797774078,
                             1.1417648231241281e-7},
                        Root{500.0, 500.0, std::log(0.01), 0.46325776507810009},
                        Root{30.0, 2000.0, std::log(0.2), 0.012490576832009337}}) {
    EXPECT_LE(RelativeError(specfun::quantile_log(Beta{r.a, r.b}, r.logP), r.x), 1e-14)
        << r.a << " " << r.b;
  }
}

// With a near 3e14 a unit in the last place of x moves ln I by about one:
// the root lies between neighbouring doubles, where the run must end.
TEST(BetaDistribution, SteepTailsEndAtTheirRoot) {
  const Beta d{3.08432e14, 6.21727e6};
  const double logP = -1.82237e16;
  EXPECT_LE(RelativeError(specfun::log_cdf(d, specfun::quantile_log(d, logP)), logP), 1e-15);
}

// The double-double logarithm of the beta family against mpmath, with its
// low part, from subnormal to huge arguments and near 1.
TEST(BetaDistribution, TableLogarithm) {
  struct Case {
    specfun::detail::DoubleDouble v;
    double hi, lo;
  };
  for (const Case& c :
       {Case{{0.75, 0.0}, -0.2876820724517809, -2.607160616442564e-17},
        Case{{1.0 + 0x1p-40, 0x1p-95}, 9.094947017725146e-13, 2.524354921782155e-29},
        Case{{1e-300, 0.0}, -690.7755278982137, -2.3670096176709832e-14},
        Case{{4.9406564584124654e-324, 0.0}, -744.4400719213812, -4.422444340918698e-14},
        Case{{1.7e308, 1e291}, 709.7268368932282, 3.094230361093583e-14}}) {
    const specfun::detail::DoubleDouble got = specfun::detail::TableLog(c.v);
    EXPECT_EQ(got.hi, c.hi);
    EXPECT_LE(std::fabs((got.hi - c.hi) + (got.lo - c.lo)), 2e-20 * std::fabs(c.hi)) << c.hi;
  }
}

TEST(BetaDistribution, TailsAddToOne) {
  for (const Beta d : {Beta{0.3, 0.7}, Beta{4.0, 2.0}, Beta{200.0, 300.0}}) {
    for (double x = 0.01; x < 1.0; x += 0.07) {
      EXPECT_NEAR(specfun::cdf(d, x) + specfun::sf(d, x), 1.0, 4e-16) << x;
    }
  }
}

TEST(BetaDistribution, LimitsAndInvalidParameters) {
  const Beta d{2.0, 3.0};
  EXPECT_EQ(specfun::cdf(d, -1.0), 0.0);
  EXPECT_EQ(specfun::sf(d, 2.0), 0.0);
  EXPECT_EQ(specfun::log_cdf(d, 0.0), -HUGE_VAL);
  EXPECT_EQ(specfun::pdf(d, 1.5), 0.0);
  EXPECT_EQ(specfun::pdf(Beta{1.0, 4.0}, 0.0), 4.0);
  EXPECT_TRUE(std::isnan(specfun::cdf(Beta{-1.0, 2.0}, 0.5)));
  EXPECT_TRUE(std::isnan(specfun::quantile(d, 1.5)));
  EXPECT_TRUE(std::isnan(specfun::quantile_log(d, 0.1)));
}

TEST(BetaDistribution, BatchFormsAreTheScalarCalls) {
  const std::vector<double> xs = {0.0, 1e-300, 0.2, 0.5, 0.93, 1.0 - 1e-12, 1.0};
  const std::vector<double> ps = {1e-300, 0.01, 0.5, 0.99, 1.0};
  const Beta d{0.7, 30.0};
  using specfun::cdf, specfun::sf, specfun::log_pdf, specfun::quantile, specfun::quantile_upper;
  const auto run = [&](auto scalar, auto batch, auto each, const std::vector<double>& args) {
    testing_support::ExpectBatchesAsScalar(d, args, scalar, batch, each);
  };
  run(static_cast<double (*)(const Beta&, double)>(cdf),
      static_cast<void (*)(const Beta&, const double*, double*, std::size_t)>(cdf),
      static_cast<void (*)(const Beta*, const double*, double*, std::size_t)>(cdf), xs);
  run(static_cast<double (*)(const Beta&, double)>(log_pdf),
      static_cast<void (*)(const Beta&, const double*, double*, std::size_t)>(log_pdf),
      static_cast<void (*)(const Beta*, const double*, double*, std::size_t)>(log_pdf), xs);
  run(static_cast<double (*)(const Beta&, double)>(quantile_upper),
      static_cast<void (*)(const Beta&, const double*, double*, std::size_t)>(quantile_upper),
      static_cast<void (*)(const Beta*, const double*, double*, std::size_t)>(quantile_upper),
      ps);
}

}  // namespace
