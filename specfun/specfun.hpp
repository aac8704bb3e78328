// Special functions of statistics: log-gamma, the Gaussian, chi-square,
// non-central chi-square, Student's t, F and binomial distributions, the
// incomplete beta function, and the inverses of the Gaussian, chi-square,
// t, F and incomplete beta functions.
//
// Every routine is a pure function of doubles: arguments are passed by
// reference and only read, one double is returned, nothing is kept between
// calls and nothing is allocated. Out-of-range arguments are answered with
// fixed substitute values, never with a failure. Only QGaussInv and BETAF
// ever report anything, through the diagnostic sink (specfun/diagnostics.hpp).
#pragma once

#include <cstdint>

#include "specfun/diagnostics.hpp"
#include "specfun/export.hpp"

namespace specfun {

// Tail selector of ChiSquare and NCChiSquare: 0 asks for the lower tail P,
// any other value for the upper tail Q.
inline constexpr std::int32_t kLowerTail = 0;
inline constexpr std::int32_t kUpperTail = 1;

// ln Γ(x) for x > 0, to about 1e-15 relative (absolute near the zeros at 1
// and 2). x = 0 gives +∞; a negative x gives a NaN.
SPECFUN_EXPORT double LnGamma(const double& x);

// Q(x), the upper tail of the standard normal distribution; P(x) is
// QGauss(-x). Defined for every x: 1 below -11, 0 above 37 and for a NaN.
SPECFUN_EXPORT double QGauss(const double& x);

// The x with QGauss(x) = p, for 0 < p < 1. p <= 0 gives +1.0000000200408773e20
// and p >= 1 (or a NaN) gives its negative; p < 0 and p > 1 are reported.
SPECFUN_EXPORT double QGaussInv(const double& p);

// The regularized incomplete beta function I(x, a, b) for 0 <= x <= 1 and
// a, b > 0; 0 for x <= 0 (or a NaN), 1 for x >= 1. Stops on an absolute
// change below 1e-12; slow convergence is reported.
SPECFUN_EXPORT double BETAF(const double& x, const double& a, const double& b);

// F-distribution: P(F | nu1, nu2) and Q(F | nu1, nu2) = 1 - P, for F >= 0
// and nu1, nu2 > 0.
SPECFUN_EXPORT double FDistP(const double& f, const double& nu1, const double& nu2);
SPECFUN_EXPORT double FDistQ(const double& f, const double& nu1, const double& nu2);

// Student's t: A(t | nu), the probability that |T| <= |t|, and its
// complement AQ(t | nu), the two-sided tail; any t and nu > 0.
SPECFUN_EXPORT double StudentA(const double& t, const double& nu);
SPECFUN_EXPORT double StudentAQ(const double& t, const double& nu);

// Binomial sums for success probability p in n trials: P(a, n), the
// probability of fewer than a successes, and Q(a, n) = 1 - P(a, n); for
// 0 < p < 1 and 0 < a < n + 1 (a and n need not be whole).
SPECFUN_EXPORT double BinomP(const double& p, const double& a, const double& n);
SPECFUN_EXPORT double BinomQ(const double& p, const double& a, const double& n);

// The x in [0, 1] with BETAF(x, a, b) = p, for a, b > 0; 0 for p <= 0 and 1
// for p >= 1.
SPECFUN_EXPORT double BetaInv(const double& p, const double& a, const double& b);

// The F with FDistQ(F, nu1, nu2) = p; 0 for p >= 1 and +∞ for p <= 0.
SPECFUN_EXPORT double FDistInv(const double& p, const double& nu1, const double& nu2);

// The t >= 0 with StudentAQ(t, nu) = p; 0 for p >= 1 and +∞ for p <= 0.
SPECFUN_EXPORT double StudentInv(const double& p, const double& nu);

// The chi-square tail P(x | nu) (tail = 0) or Q(x | nu) (tail != 0), for
// x >= 0 and nu > 0, to 1e-13 + nu*1e-15 absolute; always inside [0, 1].
SPECFUN_EXPORT double ChiSquare(const double& x, const double& nu, const std::int32_t& tail);

// The x >= 0 with ChiSquare(x, nu, 1) = p, for nu > 0 (to 1e-9 relative for
// 0.5 <= nu <= 1e6 and 1e-300 <= p <= 0.9); 0 for p >= 1 and +∞ for p <= 0.
SPECFUN_EXPORT double ChiSquareInv(const double& p, const double& nu);

// The non-central chi-square tail with nu degrees of freedom and
// non-centrality lambda, lower (tail = 0) or upper (tail != 0), to 1e-7
// absolute; for x >= 0, nu > 0 and lambda >= 0.
SPECFUN_EXPORT double NCChiSquare(const double& x, const double& nu, const double& lambda,
                   const std::int32_t& tail);

}  // namespace specfun
