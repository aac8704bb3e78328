// Probability distributions to the last digits: the normal, gamma,
// chi-square, Poisson, beta, Student's t, F, binomial and non-central
// chi-square distributions.
//
// Each distribution is a plain aggregate of its parameters, e.g.
//
//   specfun::sf(specfun::ChiSquared{2.0}, 3.5)           // P(X > 3.5)
//   specfun::quantile_upper_log(specfun::Normal{}, -800) // x with ln P(X > x) = -800
//
// and every distribution D has the same ten functions:
//   cdf(d, x)      P(X <= x)                sf(d, x)      P(X > x)
//   log_cdf(d, x)  ln P(X <= x)             log_sf(d, x)  ln P(X > x)
//   pdf(d, x)      the density (the probability mass P(X = x) of a discrete D)
//   log_pdf(d, x)  its logarithm
//   quantile(d, p)            the smallest x with cdf(d, x) >= p
//   quantile_upper(d, q)      the x with sf(d, x) = q (for a discrete D the
//                             smallest x with sf(d, x) <= q)
//   quantile_log(d, lp), quantile_upper_log(d, lq)
//                             the same from ln p and ln q, so that
//                             probabilities below the smallest double can be
//                             asked for
// and their batch forms, of the same names:
//   f(d, x, out, n)    out[i] = f(d, x[i])     one distribution, many arguments
//   f(ds, x, out, n)   out[i] = f(ds[i], x[i]) a distribution per element
// each element bit for bit the scalar call.
//
// Every function is a pure function of doubles: nothing is kept between
// calls, nothing is allocated, nothing is reported (the diagnostic sink is
// never written). Invalid parameters or a NaN anywhere give a NaN; an
// argument outside the support gives the exact limits (cdf 0 or 1, log_cdf
// -inf, pdf 0); a probability outside [0, 1] (a log-probability above 0)
// gives a NaN. Accuracy is relative error against the exact value at the
// given doubles; each distribution's comment states the bounds the tests
// hold it to.
//
// This header compiles as C++17 and later.
#pragma once

#include <cstddef>

#include "specfun/export.hpp"

namespace specfun {

// The normal distribution. Parameters: any finite mean, sd > 0.
// cdf, sf, pdf: 1e-15 relative wherever the value is a normal double;
// log_cdf, log_sf: 1e-15 relative for every finite x; quantiles: 1e-15
// relative for p from the smallest double to 1 - 2^-53, the log forms for
// ln p down to -1e300.
struct Normal {
  double mean = 0.0;
  double sd = 1.0;
};

// The gamma distribution of shape k > 0 and scale s > 0 (both finite),
// density x^(k-1) e^(-x/s)/(Γ(k) s^k) on x >= 0; cdf and sf are the
// regularized incomplete gamma functions P(k, x/s) and Q(k, x/s), with the
// quotient x/s taken exactly.
// Tails, their logs, pdf: 2e-15 relative for shape 1e-3 to 1e5 and every x,
// 1e-13 up to shape 1e15 (measured against mpmath: below 8e-16 over both
// ranges); quantiles 4e-15 relative for p from the smallest double to
// 1 - 2^-53 (measured: below 6e-16 wherever the quantile is a normal
// double), the log forms for ln p down to -1e300.
struct Gamma {
  double shape;
  double scale = 1.0;
};

// The chi-square distribution with df > 0 degrees of freedom: Gamma{df/2, 2}.
// Bounds as Gamma's.
struct ChiSquared {
  double df;
};

// The Poisson distribution of mean m >= 0 (finite) on k = 0, 1, 2, ...:
// cdf(k) = P(X <= floor(k)) = Q(floor(k) + 1, m), sf(k) = P(floor(k) + 1, m);
// the mass is 0 off the whole numbers.
// Tails, their logs and the mass: 2e-15 relative for m up to 1e15 and
// every k (measured against mpmath: below 7e-16); quantiles exact (the
// whole number the tails at 50 digits give, wherever it is below 2^53).
struct Poisson {
  double mean;
};

// The beta distribution of shapes a, b > 0 on [0, 1]: cdf = I(x; a, b).
// Tails, their logs, pdf: 5e-15 relative for a, b from 1e-3 to 1e5, 1e-13
// up to 1e15; quantiles 1e-14 relative of min(x, 1 - x).
struct Beta {
  double a;
  double b;
};

// Student's t distribution (one-sided) with df > 0 (any real, +inf for the
// normal limit). Bounds as Beta's.
struct StudentT {
  double df;
};

// The F distribution with df1, df2 > 0 (either may be +inf). Bounds as
// Beta's.
struct FisherF {
  double df1;
  double df2;
};

// The binomial distribution of successes in n trials (n a whole number up
// to 2^53) with success probability 0 <= p <= 1: cdf(k) = P(X <= floor(k)).
// Tails, their logs and the mass as Beta's; quantiles exact.
struct Binomial {
  double n;
  double p;
};

// The non-central chi-square distribution with df > 0 degrees of freedom
// and non-centrality ncp >= 0 (ncp = 0 is ChiSquared{df} bit for bit), both
// finite. Tails, their logs, pdf: 1e-14 relative for df 1e-3 to 1e5 and ncp
// up to 1e5 (measured 7e-15), 1e-12 up to 1e10 (measured 9e-15), both tails
// down to the smallest double and the logs beyond. Quantiles 1e-13
// relative, beside what 1e-15 relative in the smaller tail T moves x,
// T/(x f(x)) of it (|ln T| times that for the log forms), which is larger
// only in the lower tail of a small df (about 2/df).
struct NonCentralChiSquared {
  double df;
  double ncp;
};

}  // namespace specfun

// The ten functions of a distribution and their batch forms.
#define SPECFUN_DISTRIBUTION_FUNCTION(D, f)                                             \
  SPECFUN_EXPORT double f(const D& d, double x);                                        \
  SPECFUN_EXPORT void f(const D& d, const double* x, double* out, std::size_t count);   \
  SPECFUN_EXPORT void f(const D* d, const double* x, double* out, std::size_t count);
#define SPECFUN_DISTRIBUTION_FUNCTIONS(D)          \
  SPECFUN_DISTRIBUTION_FUNCTION(D, cdf)            \
  SPECFUN_DISTRIBUTION_FUNCTION(D, sf)             \
  SPECFUN_DISTRIBUTION_FUNCTION(D, log_cdf)        \
  SPECFUN_DISTRIBUTION_FUNCTION(D, log_sf)         \
  SPECFUN_DISTRIBUTION_FUNCTION(D, pdf)            \
  SPECFUN_DISTRIBUTION_FUNCTION(D, log_pdf)        \
  SPECFUN_DISTRIBUTION_FUNCTION(D, quantile)       \
  SPECFUN_DISTRIBUTION_FUNCTION(D, quantile_upper) \
  SPECFUN_DISTRIBUTION_FUNCTION(D, quantile_log)   \
  SPECFUN_DISTRIBUTION_FUNCTION(D, quantile_upper_log)

namespace specfun {
SPECFUN_DISTRIBUTION_FUNCTIONS(Normal)
SPECFUN_DISTRIBUTION_FUNCTIONS(Gamma)
SPECFUN_DISTRIBUTION_FUNCTIONS(ChiSquared)
SPECFUN_DISTRIBUTION_FUNCTIONS(Poisson)
SPECFUN_DISTRIBUTION_FUNCTIONS(Beta)
SPECFUN_DISTRIBUTION_FUNCTIONS(StudentT)
SPECFUN_DISTRIBUTION_FUNCTIONS(FisherF)
SPECFUN_DISTRIBUTION_FUNCTIONS(Binomial)
SPECFUN_DISTRIBUTION_FUNCTIONS(NonCentralChiSquared)
}  // namespace specfun

#undef SPECFUN_DISTRIBUTION_FUNCTIONS
#undef SPECFUN_DISTRIBUTION_FUNCTION
