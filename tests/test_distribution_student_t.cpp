// Student's t distribution against mpmath, its identities and batch forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "specfun/distributions.hpp"
#include "tests/beta_family_tables.hpp"

namespace {

using specfun::StudentT;
using testing_support::ReadReferenceTable;
using testing_support::RelativeError;

TEST(StudentTDistribution, MatchesReferenceTable) {
  for (const auto& row : ReadReferenceTable("distributions/t.txt")) {
    const StudentT d{row[1]};
    testing_support::ExpectRowWithin(d, row[0], row, 2, d.df <= 1e5 ? 5e-15 : 1e-13,
                                     "t " + std::to_string(row[0]) + " df " + std::to_string(d.df));
  }
}

TEST(StudentTDistribution, QuantileOfTenDegrees) {
  EXPECT_EQ(specfun::quantile(StudentT{10.0}, 0.975), 2.2281388519862742);
}

// Quantiles against mpmath: the closed forms of one and two degrees of
// freedom, and the Cornish–Fisher start of many.
TEST(StudentTDistribution, QuantilesMatchMpmath) {
  struct Root {
    double nu, p, t;
  };
  for (const Root& r : {Root{1.0, 1e-300, -3.1830988618379066e+299},
                        Root{1.0, 1e-6, -318309.88618274349}, Root{1.0, 0.3, -0.72654252800536094},
                        Root{1.0, 0.6, 0.32491969623290625},
                        Root{2.0, 1e-300, -7.0710678118654752e+149},
                        Root{2.0, 1e-6, -707.10572052593382}, Root{2.0, 0.3, -0.61721339984836768},
                        Root{2.0, 0.6, 0.28867513459481282}, Root{60.0, 0.01, -2.3901194726249133},
                        Root{60.0, 0.4, -0.25447339498953112},
                        Root{500.0, 1e-5, -4.3061593303580527},
                        Root{2e4, 0.975, 1.9600826051581348}}) {
    const StudentT d{r.nu};
    EXPECT_LE(RelativeError(specfun::quantile(d, r.p), r.t), 2e-15) << r.nu << " " << r.p;
    EXPECT_LE(RelativeError(specfun::cdf(d, r.t), r.p), 5e-15) << r.nu << " " << r.p;
  }
}

// P(T <= -t) = P(T > t) bit for bit, and P(|T| > t) = P(F > t²) with
// ν1 = 1 (A&S 26.6.3).
TEST(StudentTDistribution, SymmetricAndTheSquareIsF) {
  for (const double nu : {0.3, 1.0, 4.5, 1e3}) {
    for (const double t : {1e-8, 0.4, 2.0, 15.0, 1e6}) {
      const StudentT d{nu};
      const double lower = specfun::cdf(d, -t);
      EXPECT_EQ(lower, specfun::sf(d, t));
      EXPECT_LE(RelativeError(2.0 * specfun::sf(d, t), specfun::sf(specfun::FisherF{1.0, nu}, t * t)),
                5e-15)
          << nu << " " << t;
    }
  }
}

TEST(StudentTDistribution, QuantilesRoundTrip) {
  for (const double nu : {0.05, 1.0, 3.0, 30.0, 1e6, HUGE_VAL}) {
    const StudentT d{nu};
    for (const double p : {1e-300, 1e-30, 0.001, 0.2, 0.5, 0.7, 1.0 - 1e-10}) {
      const double t = specfun::quantile(d, p);
      if (std::isinf(t)) continue;  // beyond the doubles
      EXPECT_LE(RelativeError(specfun::cdf(d, t), p),
                testing_support::RoundTripTolerance(specfun::pdf(d, t), t, p))
          << nu << " " << p;
      EXPECT_EQ(specfun::quantile_upper(d, p), -t) << nu << " " << p;
    }
  }
  // The normal limit far beyond the doubles' probabilities.
  EXPECT_LE(RelativeError(specfun::quantile_upper_log(StudentT{HUGE_VAL}, -1e300),
                          1.4142135623730951e150),
            1e-15);
}

TEST(StudentTDistribution, BatchFormsAreTheScalarCalls) {
  const std::vector<double> ts = {-1e300, -40.0, -1.0, 0.0, 0.3, 7.0, HUGE_VAL};
  const StudentT d{2.5};
  using specfun::log_sf;
  testing_support::ExpectBatchesAsScalar(
      d, ts, static_cast<double (*)(const StudentT&, double)>(log_sf),
      static_cast<void (*)(const StudentT&, const double*, double*, std::size_t)>(log_sf),
      static_cast<void (*)(const StudentT*, const double*, double*, std::size_t)>(log_sf));
}

}  // namespace
