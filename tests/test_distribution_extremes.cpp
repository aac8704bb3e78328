// Arguments and parameters at the ends of the doubles, where intermediate
// quantities overflow: every function gives the limit its value rounds to,
// never a NaN.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "specfun/distributions.hpp"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Case {
  const char* what;
  std::function<double()> call;
  double expected;
};

TEST(DistributionExtremes, OverflowingIntermediatesGiveTheLimits) {
  using namespace specfun;
  const Poisson poisson{2614748894090.8423};
  const Gamma hugeShape{1e308};
  const Beta smallA{0.0015590772609076126, 527751589.51040214};
  const Case cases[] = {
      // k far beyond a mean of 2.6e12: all the mass lies below.
      {"poisson cdf", [&] { return cdf(poisson, 1e308); }, 1.0},
      {"poisson sf", [&] { return sf(poisson, 1e308); }, 0.0},
      {"poisson log_cdf", [&] { return log_cdf(poisson, 1e308); }, 0.0},
      {"poisson log_sf", [&] { return log_sf(poisson, 1e308); }, -kInf},
      {"poisson pdf", [&] { return pdf(poisson, 1e308); }, 0.0},
      {"poisson log_pdf", [&] { return log_pdf(poisson, 1e308); }, -kInf},
      // x far below a shape of 1e308: ln P is below -1e308 · 695.
      {"gamma cdf", [&] { return cdf(hugeShape, 1e6); }, 0.0},
      {"gamma sf", [&] { return sf(hugeShape, 1e6); }, 1.0},
      {"gamma log_cdf", [&] { return log_cdf(hugeShape, 1e6); }, -kInf},
      {"gamma pdf", [&] { return pdf(hugeShape, 1e6); }, 0.0},
      {"gamma log_pdf", [&] { return log_pdf(hugeShape, 1e6); }, -kInf},
      // x/2 underflows below a shape of DBL_MAX/2: k ln(x/2) leaves the doubles.
      {"chisq cdf", [&] { return cdf(ChiSquared{1.7976931348623157e308}, 5e-324); }, 0.0},
      {"chisq log_cdf", [&] { return log_cdf(ChiSquared{1.7976931348623157e308}, 5e-324); }, -kInf},
      {"chisq pdf", [&] { return pdf(ChiSquared{1.7976931348623157e308}, 5e-324); }, 0.0},
      // The density near 0 of a small a exceeds the largest double (e^736.8).
      {"beta pdf", [&] { return pdf(smallA, 5e-324); }, kInf},
      // ln p = -DBL_MAX: -2 ln p overflows; the deviate is -√(-2 ln p).
      {"normal quantile_log", [&] { return quantile_log(Normal{}, -1.7976931348623157e308); },
       -1.8961503816218352e154},
  };
  for (const Case& c : cases) EXPECT_EQ(c.call(), c.expected) << c.what;
}

// A shape far below 1: the upper tail keeps its digits (mpmath, from the
// closed form for b = 2: ((1 - x^a)/a - (1 - x^(a+1))/(a + 1))/B(a, 2)).
TEST(DistributionExtremes, UpperBetaTailOfATinyShape) {
  struct Row {
    double a, expected;
  };
  const Row rows[] = {{1e-11, 5.7933331998474861034e-12},
                      {1e-17, 5.7933331998376224681e-18},
                      {1e-30, 5.7933331998376224582e-31}};
  for (const Row& r : rows) {
    const double got = specfun::sf(specfun::Beta{r.a, 2.0}, 0.27);
    EXPECT_LE(std::fabs(got - r.expected), 1e-14 * r.expected) << "a = " << r.a;
  }
}

}  // namespace
