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

// The normal distribution. Parameters: any finite mean, finite sd > 0.
// The bounds hold at the standardised argument z = (x - mean)/sd (x itself
// for Normal{}), relative to the exact value there, and the tests hold
// every function to them:
// cdf, sf, pdf: 1e-15 wherever the value is a normal double (sf up to
// z = 37.5, cdf down to -37.5); log_cdf, log_sf, log_pdf: 1e-15 for every
// finite z (log_sf(Normal{}, 1e10) = -5e19) where the value is a normal
// double; quantile, quantile_upper: 1e-15 for p from the smallest double
// (4.9e-324) to 1 - 2^-53; quantile_log, quantile_upper_log: 1e-15 for
// ln p from -1e300 to 0. Measured worst (random sweeps and the tables
// against mpmath): 4.4e-16 for the tails and their logs, 2.7e-16 pdf,
// 3.7e-16 quantiles. Other parameters add the roundings of z: about
// z² · 2^-52 relative to a tail (|z| · 2^-52 to its logarithm), and a
// quantile mean + sd z carries the rounding of that sum, amplified where
// mean and sd z nearly cancel.
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

// The beta distribution of shapes a, b > 0 (finite) on [0, 1]: cdf =
// I(x; a, b), sf = I(1 - x; b, a), each tail evaluated for itself.
// Tails, their logs, pdf: 5e-15 relative for a, b from 1e-3 to 1e5 and
// every x (the tails while they are normal doubles, their logs beyond;
// measured up to 7e-15 near the mean with one parameter below 0.02 beside
// one above 1e4); 1e-13 up to 1e15 (measured 5e-15). Quantiles: 1e-14 relative of min(x, 1 - x) for p from
// the smallest double to 1 - 2^-53 and ln p down to -1e300, except where a
// parameter c far below 1 makes the root itself ill-conditioned (ln x moves
// 1/c times as much as ln p: there to c^-1 · 1e-16).
struct Beta {
  double a;
  double b;
};

// Student's t distribution (one-sided) with df > 0 (any real, +inf for the
// normal limit): cdf = P(T <= t), for every t up to the largest double (the
// tails from logarithms where t² leaves the doubles). Bounds as Beta's with
// a = 1/2, b = df/2; quantile(StudentT{10}, 0.975) = 2.2281388519862742.
struct StudentT {
  double df;
};

// The F distribution with df1, df2 > 0 (either may be +inf, the chi-square
// limits), for every F up to the largest double. Bounds as Beta's with
// a = df1/2, b = df2/2.
struct FisherF {
  double df1;
  double df2;
};

// The binomial distribution of successes in n trials (n a whole number up
// to 2^53) with success probability 0 <= p <= 1: cdf(k) = P(X <= floor(k)),
// sf(k) = P(X > floor(k)), the mass 0 off the integers. Tails, their logs
// and the mass as Beta's (with a = k + 1, b = n - k); quantiles exact (the
// least k with cdf(k) >= p).
struct Binomial {
  double n;
  double p;
};

// The non-central chi-square distribution with df > 0 degrees of freedom
// and non-centrality ncp >= 0 (ncp = 0 is ChiSquared{df} bit for bit), both
// finite. Tails, their logs, pdf: 1e-14 relative for df 1e-3 to 1e5 and ncp
// up to 1e5 (measured 2.2e-15 over random points), 1e-12 up to 1e10, both
// tails down to the smallest double and the logs beyond. Quantiles 1e-13
// relative over the same range (measured 1.8e-14) for p from the smallest
// double to 1 - 2^-53 and log p down to -1e300.
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
