// NonCentralChiSquared against mpmath's Poisson mixture summed at 50 digits
// (tools/gen_distribution_noncentral_chi_squared.py), and the identities
// that tie it to the central chi-square and to the normal distribution.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "specfun/distributions.hpp"
#include "tests/reference_table.hpp"

namespace {

using specfun::NonCentralChiSquared;
using testing_support::ReadReferenceTable;
using testing_support::ReferenceRow;
using testing_support::RelativeError;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using Function = double (*)(const NonCentralChiSquared&, double);

// The worst relative error of one function over a table's rows, and where.
struct Worst {
  double error = 0.0;
  std::string where;
  void Take(double computed, double reference, const ReferenceRow& row) {
    Take(RelativeError(computed, reference), row);
  }
  void Take(double e, const ReferenceRow& row) {
    if (!(e <= error)) {
      error = e;
      where = "df " + std::to_string(row[0]) + " ncp " + std::to_string(row[1]) + " x " +
              std::to_string(row[2]);
    }
  }
};

// Rows: df ncp x P Q lnP lnQ pdf lnpdf xp xq xlp xlq (nan where none).
void CheckTable(const std::string& name, double tailBound, double quantileBound) {
  const std::vector<ReferenceRow> rows = ReadReferenceTable(name);
  ASSERT_GT(rows.size(), 10u);
  const Function values[] = {specfun::cdf, specfun::sf, specfun::log_cdf, specfun::log_sf,
                             specfun::pdf, specfun::log_pdf};
  const Function quantiles[] = {specfun::quantile, specfun::quantile_upper, specfun::quantile_log,
                                specfun::quantile_upper_log};
  const char* names[] = {"cdf", "sf", "log_cdf", "log_sf", "pdf", "log_pdf",
                         "quantile", "quantile_upper", "quantile_log", "quantile_upper_log"};
  Worst worst[10];
  for (const ReferenceRow& row : rows) {
    const NonCentralChiSquared d{row[0], row[1]};
    for (int f = 0; f < 6; ++f) {
      const double reference = row[3 + f];
      // Linear values only where the reference is a normal double.
      if (f % 2 == 0 && f != 2 && std::fabs(reference) < DBL_MIN) continue;
      if (f == 1 && std::fabs(reference) < DBL_MIN) continue;
      worst[f].Take(values[f](d, row[2]), reference, row);
    }
    // The exact quantiles of the doubles P, Q, ln P, ln Q of the row, also
    // where the cdf is flat (T grows like x^(df/2) for a small df, and the
    // root's error is the tail's over df/2).
    for (int f = 0; f < 4; ++f) {
      if (std::isnan(row[9 + f])) continue;
      worst[6 + f].Take(quantiles[f](d, row[3 + f]), row[9 + f], row);
    }
  }
  for (int f = 0; f < 10; ++f) {
    const double bound = f < 6 ? tailBound : quantileBound;
    EXPECT_LE(worst[f].error, bound) << name << " " << names[f] << " at " << worst[f].where;
  }
}

TEST(NonCentralChiSquared, MatchesMpmathForModerateParameters) {
  CheckTable("distributions/ncchisq_moderate.txt", 1e-14, 1e-13);
}

TEST(NonCentralChiSquared, MatchesMpmathFarInBothTails) {
  CheckTable("distributions/ncchisq_far.txt", 1e-14, 1e-13);
}

TEST(NonCentralChiSquared, MatchesMpmathForLargeParameters) {
  CheckTable("distributions/ncchisq_large.txt", 1e-12, 1e-13);
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(NonCentralChiSquared, WithoutNonCentralityIsTheCentralChiSquareBitForBit) {
  const Function ours[] = {specfun::cdf, specfun::sf, specfun::log_cdf, specfun::log_sf,
                           specfun::pdf, specfun::log_pdf};
  using Central = double (*)(const specfun::ChiSquared&, double);
  const Central central[] = {specfun::cdf, specfun::sf, specfun::log_cdf, specfun::log_sf,
                             specfun::pdf, specfun::log_pdf};
  const Function inverses[] = {specfun::quantile, specfun::quantile_upper};
  const Central centralInverses[] = {specfun::quantile, specfun::quantile_upper};
  for (double df : {1e-3, 0.5, 1.0, 2.0, 7.5, 1e5}) {
    for (double x : {0.0, 1e-300, 0.3, 2.0, 40.0, 1e6}) {
      for (int f = 0; f < 6; ++f) {
        EXPECT_TRUE(SameBits(ours[f]({df, 0.0}, x), central[f]({df}, x))) << df << " " << x << " " << f;
      }
    }
    for (double p : {1e-300, 0.01, 0.5, 0.9}) {
      for (int f = 0; f < 2; ++f) {
        EXPECT_TRUE(SameBits(inverses[f]({df, 0.0}, p), centralInverses[f]({df}, p))) << df << " " << p;
      }
      EXPECT_TRUE(SameBits(specfun::quantile_log(NonCentralChiSquared{df, 0.0}, std::log(p)),
                           specfun::quantile_log(specfun::ChiSquared{df}, std::log(p))));
      EXPECT_TRUE(SameBits(specfun::quantile_upper_log(NonCentralChiSquared{df, 0.0}, std::log(p)),
                           specfun::quantile_upper_log(specfun::ChiSquared{df}, std::log(p))));
    }
  }
}

// With one degree of freedom X = (N + √ncp)², so
// sf(x) = Q(√x − √ncp) + Q(√x + √ncp), Q the normal upper tail.
TEST(NonCentralChiSquared, OneDegreeOfFreedomIsASquaredNormal) {
  const auto upperNormal = [](double y) { return 0.5 * std::erfc(y / std::sqrt(2.0)); };
  for (double ncp : {0.01, 0.7, 3.0, 25.0, 400.0}) {
    for (double k : {-3.0, -1.0, 0.0, 0.5, 2.0, 5.0}) {
      const double root = std::sqrt(ncp) + k;
      if (root <= 0) continue;
      const double x = root * root;
      const double expected = upperNormal(std::sqrt(x) - std::sqrt(ncp)) + upperNormal(std::sqrt(x) + std::sqrt(ncp));
      // std::erfc's own error and that of √x, magnified by the slope.
      EXPECT_NEAR(specfun::sf(NonCentralChiSquared{1.0, ncp}, x) / expected, 1.0, 1e-13) << ncp << " " << x;
    }
  }
}

TEST(NonCentralChiSquared, TailsAddToOneAndQuantilesReturnTheirArguments) {
  for (double df : {1e-3, 0.3, 4.0, 150.0, 3e4, 2e7}) {
    for (double ncp : {1e-3, 0.5, 30.0, 2e3, 5e4, 3e8}) {
      const NonCentralChiSquared d{df, ncp};
      const double mean = df + ncp, sd = std::sqrt(2 * (df + 2 * ncp));
      for (double k : {-2.0, -0.5, 0.0, 1.0, 3.0}) {
        const double x = mean + k * sd;
        if (x <= 0) continue;
        const double p = specfun::cdf(d, x), q = specfun::sf(d, x);
        if (p > 1e-3 && q > 1e-3) {
          EXPECT_NEAR(p + q, 1.0, 4e-15) << df << " " << ncp << " " << x;
        }
      }
      // Both tails, far beyond the doubles' range in the log forms.
      // Within 1e-12, beside what an error of 1e-15 in ln T moves x:
      // |ln T| 1e-15 over the slope of ln T in ln x.
      for (double x : {mean * 1e-9, mean - 9 * sd, mean - sd, mean + 2 * sd, mean + 40 * sd, mean * 30}) {
        if (x <= 0) continue;
        const double logSf = specfun::log_sf(d, x), logCdf = specfun::log_cdf(d, x);
        const double logT = std::min(logSf, logCdf);
        if (logT == 0) continue;
        const double slope = std::exp(std::log(x) + specfun::log_pdf(d, x) - logT);
        const double bound = 1e-12 + 1e-15 * std::max(1.0, -logT) / slope;
        // From the smaller tail, whose log holds x.
        const double back = logSf < logCdf ? specfun::quantile_upper_log(d, logSf) : specfun::quantile_log(d, logCdf);
        EXPECT_NEAR(back / x, 1.0, bound) << df << " " << ncp << " " << x;
      }
    }
  }
}

// Quantiles whose start lies far from the root or beyond the doubles' range:
// mpmath's root, the normal limit where the spread is below an ulp of the
// mean, and 0 where the tail at the smallest double is already past its
// target (a df so small that the mass sits below 1e-300).
TEST(NonCentralChiSquared, QuantilesFarFromTheirStartFindTheRoot) {
  struct Case {
    double df, ncp;
    Function f;
    double argument, expected;
  };
  const Case cases[] = {
      {1e-3, 0.0017782794100389228, specfun::quantile_log, -1e-15, 55.093078938337041},
      {1e3, 17.78, specfun::quantile_upper_log, -1e300, 2e300},
      {1e100, 1e100, specfun::quantile, 0.5, 2e100},
      {1e308, 1e-60, specfun::quantile, 0.3, 1e308},
      {1e-3, 0.31622776601683794, specfun::quantile_upper, 0.5, 0.0},
      {1e-300, 1e-140, specfun::quantile_upper, 1e-100, 0.0},
      {1e-300, 1e-44, specfun::quantile_upper_log, -50.0, 0.0},
      {1e308, 1e308, specfun::quantile_log, -1e300, kInf},
      // Far beyond the mean with df and ncp near 0: ln Q = −x/2 to 1e-60.
      {2.76764e-167, 7.98134e-76, specfun::quantile_upper_log, -1.13524e70, 2.27048e70},
      {7.6585952783414008e-255, 1.4449620748673705e-38, specfun::quantile_upper_log, -3.8465245633720856e79,
       7.6930491267441712e79},
      // A spread of 2e-18 of the mean: (N + 1e18)² for a df near 0.
      {1e-284, 1e36, specfun::quantile_upper, 1e-10, 1.000000000000000055e36},
  };
  for (const Case& c : cases) {
    const double x = c.f(NonCentralChiSquared{c.df, c.ncp}, c.argument);
    EXPECT_LE(RelativeError(x, c.expected), 1e-14) << c.df << " " << c.ncp << " " << c.argument << " " << x;
  }
}

TEST(NonCentralChiSquared, EdgesAndInvalidArguments) {
  const NonCentralChiSquared d{3.0, 2.0};
  EXPECT_EQ(specfun::cdf(d, 0.0), 0.0);
  EXPECT_EQ(specfun::cdf(d, -1.0), 0.0);
  EXPECT_EQ(specfun::sf(d, kInf), 0.0);
  EXPECT_EQ(specfun::log_cdf(d, 0.0), -kInf);
  EXPECT_EQ(specfun::log_sf(d, kInf), -kInf);
  EXPECT_EQ(specfun::pdf(d, 0.0), 0.0);
  EXPECT_EQ(specfun::pdf(NonCentralChiSquared{1.0, 2.0}, 0.0), kInf);
  EXPECT_DOUBLE_EQ(specfun::pdf(NonCentralChiSquared{2.0, 2.0}, 0.0), 0.5 * std::exp(-1.0));
  EXPECT_EQ(specfun::quantile(d, 0.0), 0.0);
  EXPECT_EQ(specfun::quantile(d, 1.0), kInf);
  EXPECT_EQ(specfun::quantile_upper_log(d, -kInf), kInf);
  for (const NonCentralChiSquared& bad : {NonCentralChiSquared{0.0, 1.0}, NonCentralChiSquared{-1.0, 1.0},
                                          NonCentralChiSquared{2.0, -1e-300}, NonCentralChiSquared{kNaN, 1.0},
                                          NonCentralChiSquared{2.0, kInf}}) {
    EXPECT_TRUE(std::isnan(specfun::cdf(bad, 1.0)));
    EXPECT_TRUE(std::isnan(specfun::quantile(bad, 0.5)));
  }
  EXPECT_TRUE(std::isnan(specfun::cdf(d, kNaN)));
  EXPECT_TRUE(std::isnan(specfun::quantile(d, 1.5)));
  EXPECT_TRUE(std::isnan(specfun::quantile(d, -0.1)));
  EXPECT_TRUE(std::isnan(specfun::quantile_log(d, 0.1)));
  // A df and ncp near 0, far out: Q ≈ (m + a/z) e^-z (mpmath), where e_b/Q_b
  // at b = a leaves the doubles' range.
  const NonCentralChiSquared vanishing{1e-300, 1e-300};
  EXPECT_NEAR(specfun::log_sf(vanishing, 2e10) / -10000000691.468675, 1.0, 1e-15);
  EXPECT_NEAR(specfun::quantile_upper_log(vanishing, -10000000691.468675) / 2e10, 1.0, 1e-14);
  // The largest parameters still give numbers.
  for (double df : {1e-300, 1.0, 1e300, DBL_MAX}) {
    for (double ncp : {1e-300, 1.0, 1e300, DBL_MAX}) {
      for (double x : {1e-300, 1.0, 1e300, DBL_MAX}) {
        const NonCentralChiSquared e{df, ncp};
        EXPECT_FALSE(std::isnan(specfun::cdf(e, x))) << df << " " << ncp << " " << x;
        EXPECT_FALSE(std::isnan(specfun::log_sf(e, x))) << df << " " << ncp << " " << x;
        EXPECT_FALSE(std::isnan(specfun::log_pdf(e, x))) << df << " " << ncp << " " << x;
      }
      EXPECT_FALSE(std::isnan(specfun::quantile(NonCentralChiSquared{df, ncp}, 0.3))) << df << " " << ncp;
    }
  }
}

TEST(NonCentralChiSquared, BatchFormsAreTheScalarCallsBitForBit) {
  const Function scalars[] = {specfun::cdf, specfun::sf, specfun::log_cdf, specfun::log_sf,
                              specfun::pdf, specfun::log_pdf, specfun::quantile, specfun::quantile_upper,
                              specfun::quantile_log, specfun::quantile_upper_log};
  using Batch = void (*)(const NonCentralChiSquared&, const double*, double*, std::size_t);
  using Elements = void (*)(const NonCentralChiSquared*, const double*, double*, std::size_t);
  const Batch batches[] = {specfun::cdf, specfun::sf, specfun::log_cdf, specfun::log_sf,
                           specfun::pdf, specfun::log_pdf, specfun::quantile, specfun::quantile_upper,
                           specfun::quantile_log, specfun::quantile_upper_log};
  const Elements elements[] = {specfun::cdf, specfun::sf, specfun::log_cdf, specfun::log_sf,
                               specfun::pdf, specfun::log_pdf, specfun::quantile, specfun::quantile_upper,
                               specfun::quantile_log, specfun::quantile_upper_log};
  const NonCentralChiSquared d{3.5, 12.0};
  for (std::size_t n : {0u, 1u, 15u, 16u, 17u, 20000u}) {
    std::vector<double> x(n), out(n), outElements(n);
    std::vector<NonCentralChiSquared> ds(n);
    for (std::size_t i = 0; i < n; ++i) {
      x[i] = (i % 7 == 3) ? -(i % 5) * 0.3 : 0.37 * i / (1 + i % 3) + 1e-3;
      ds[i] = {0.5 + i % 9, 0.1 * (i % 13)};
    }
    // The quantiles (a dozen tails each) on the shorter batches only.
    for (int f = 0; f < (n > 100 ? 6 : 10); ++f) {
      // Probabilities for the quantiles, logs of them for the log forms.
      std::vector<double> arguments = x;
      if (f >= 6) {
        for (double& v : arguments) v = f >= 8 ? -std::fabs(v) : 1 / (1 + std::fabs(v));
      }
      batches[f](d, arguments.data(), out.data(), n);
      elements[f](ds.data(), arguments.data(), outElements.data(), n);
      for (std::size_t i = 0; i < n; ++i) {
        ASSERT_TRUE(SameBits(out[i], scalars[f](d, arguments[i]))) << f << " " << i;
        ASSERT_TRUE(SameBits(outElements[i], scalars[f](ds[i], arguments[i]))) << f << " " << i;
      }
    }
  }
}

}  // namespace
