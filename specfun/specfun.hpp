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

#include <cstddef>
#include <cstdint>
#if __cplusplus >= 202002L
#include <span>
#include <stdexcept>
#endif

#include "specfun/diagnostics.hpp"

namespace specfun {

// Tail selector of ChiSquare and NCChiSquare: 0 asks for the lower tail P,
// any other value for the upper tail Q.
inline constexpr std::int32_t kLowerTail = 0;
inline constexpr std::int32_t kUpperTail = 1;

// ln Γ(x) for x > 0, to about 1e-15 relative (absolute near the zeros at 1
// and 2). x = 0 gives +∞; a negative x gives a NaN.
double LnGamma(const double& x);

// Q(x), the upper tail of the standard normal distribution; P(x) is
// QGauss(-x). Defined for every x: 1 below -11, 0 above 37 and for a NaN.
double QGauss(const double& x);

// The x with QGauss(x) = p, for 0 < p < 1. p <= 0 gives +1.0000000200408773e20
// and p >= 1 (or a NaN) gives its negative; p < 0 and p > 1 are reported.
double QGaussInv(const double& p);

// The regularized incomplete beta function I(x, a, b) for 0 <= x <= 1 and
// a, b > 0; 0 for x <= 0 (or a NaN), 1 for x >= 1. Stops on an absolute
// change below 1e-12; slow convergence is reported.
double BETAF(const double& x, const double& a, const double& b);

// F-distribution: P(F | nu1, nu2) and Q(F | nu1, nu2) = 1 - P, for F >= 0
// and nu1, nu2 > 0.
double FDistP(const double& f, const double& nu1, const double& nu2);
double FDistQ(const double& f, const double& nu1, const double& nu2);

// Student's t: A(t | nu), the probability that |T| <= |t|, and its
// complement AQ(t | nu), the two-sided tail; any t and nu > 0.
double StudentA(const double& t, const double& nu);
double StudentAQ(const double& t, const double& nu);

// Binomial sums for success probability p in n trials: P(a, n), the
// probability of fewer than a successes, and Q(a, n) = 1 - P(a, n); for
// 0 < p < 1 and 0 < a < n + 1 (a and n need not be whole).
double BinomP(const double& p, const double& a, const double& n);
double BinomQ(const double& p, const double& a, const double& n);

// The x in [0, 1] with BETAF(x, a, b) = p, for a, b > 0; 0 for p <= 0 and 1
// for p >= 1.
double BetaInv(const double& p, const double& a, const double& b);

// The F with FDistQ(F, nu1, nu2) = p; 0 for p >= 1 and +∞ for p <= 0.
double FDistInv(const double& p, const double& nu1, const double& nu2);

// The t >= 0 with StudentAQ(t, nu) = p; 0 for p >= 1 and +∞ for p <= 0.
double StudentInv(const double& p, const double& nu);

// The chi-square tail P(x | nu) (tail = 0) or Q(x | nu) (tail != 0), for
// x >= 0 and nu > 0, to 1e-13 + nu*1e-15 absolute; always inside [0, 1].
double ChiSquare(const double& x, const double& nu, const std::int32_t& tail);

// result[i] = ChiSquare(x[i], nu[i], tail) for i < count, bit for bit, the
// elements evaluated side by side.
void ChiSquareBatch(const double* x, const double* nu, std::int32_t tail, double* result,
                    std::size_t count);
#if __cplusplus >= 202002L
inline void ChiSquareBatch(std::span<const double> x, std::span<const double> nu, std::int32_t tail,
                           std::span<double> result) {
  if (nu.size() != x.size() || result.size() != x.size()) {
    throw std::invalid_argument("ChiSquareBatch: arrays of different lengths");
  }
  ChiSquareBatch(x.data(), nu.data(), tail, result.data(), x.size());
}
#endif

// The x >= 0 with ChiSquare(x, nu, 1) = p, for nu > 0 (to 1e-9 relative for
// 0.5 <= nu <= 1e6 and 1e-300 <= p <= 0.9); 0 for p >= 1 and +∞ for p <= 0.
double ChiSquareInv(const double& p, const double& nu);

// The non-central chi-square tail with nu degrees of freedom and
// non-centrality lambda, lower (tail = 0) or upper (tail != 0), to 1e-7
// absolute; for x >= 0, nu > 0 and lambda >= 0 (a negative x gives 0 and 1).
double NCChiSquare(const double& x, const double& nu, const double& lambda,
                   const std::int32_t& tail);

// result[i] = NCChiSquare(x[i], nu[i], lambda[i], tail) for i < count, bit
// for bit, the terms of the sums evaluated side by side.
void NCChiSquareBatch(const double* x, const double* nu, const double* lambda, std::int32_t tail,
                      double* result, std::size_t count);
#if __cplusplus >= 202002L
inline void NCChiSquareBatch(std::span<const double> x, std::span<const double> nu,
                             std::span<const double> lambda, std::int32_t tail,
                             std::span<double> result) {
  if (nu.size() != x.size() || lambda.size() != x.size() || result.size() != x.size()) {
    throw std::invalid_argument("NCChiSquareBatch: arrays of different lengths");
  }
  NCChiSquareBatch(x.data(), nu.data(), lambda.data(), tail, result.data(), x.size());
}
#endif

}  // namespace specfun
