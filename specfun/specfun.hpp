// Special functions of statistics: log-gamma, the Gaussian, chi-square,
// non-central chi-square, Student's t, F and binomial distributions, the
// incomplete beta function, and the inverses of the Gaussian, chi-square,
// t, F and incomplete beta functions.
//
// Every routine is a pure function of doubles: arguments are passed by
// reference and only read, one double is returned, nothing is kept between
// calls and nothing is allocated. Out-of-range arguments are answered with
// fixed substitute values, never with a failure. Only QGaussInv and BETAF
// ever report anything, through the diagnostic sink (specfun/diagnostics.hpp),
// and their reports come also through the routines that call them: BETAF's
// through the F, t and binomial routines and the beta, F and t inverses,
// QGaussInv's (a p below 0 or above 1) through the beta, F, t and chi-square
// inverses.
//
// Each routine's comment gives what it returns, its domain, the bound on its
// error that the tests hold over high-precision reference tables (those of
// docs/ACCURACY.md among them; in parentheses the argument where the
// largest error occurs), and what arguments outside the domain give.
// A NaN argument gives a NaN unless the comment says otherwise.
//
// Each routine R has a batch form RBatch over equal-length arrays, e.g.
//
//   specfun::QGaussBatch(x, q, count);       // q[i] = QGauss(x[i]), i < count
//   specfun::QGaussBatch(std::span{x}, std::span{q});   // C++20
//
// Every result is the scalar call's, bit for bit, and every element reports
// what its scalar call reports, elements in order, on the calling thread.
// Independent elements are evaluated side by side; batches of 10,000 elements
// and more are shared among the processor's cores.
//
// This header compiles as C++17 and later.
#pragma once

#include <cstddef>
#include <cstdint>
#if __cplusplus >= 202002L
#include <span>
#include <stdexcept>
#endif

#include "specfun/diagnostics.hpp"
#include "specfun/export.hpp"

#if __cplusplus >= 202002L
#include <initializer_list>
#include <span>
#include <stdexcept>
#endif

namespace specfun {

#if __cplusplus >= 202002L
namespace detail {
// The span forms' check: every input as long as the result.
inline void RequireLength(std::span<double> result, std::initializer_list<std::size_t> inputs) {
  for (std::size_t length : inputs) {
    if (length != result.size()) {
      throw std::invalid_argument("specfun batch: inputs and result differ in length");
    }
  }
}
}  // namespace detail
#endif

// Tail selector of ChiSquare and NCChiSquare: 0 asks for the lower tail P,
// any other value for the upper tail Q.
inline constexpr std::int32_t kLowerTail = 0;
inline constexpr std::int32_t kUpperTail = 1;

// ln Γ(x). Domain: x > 0.
// Accuracy: 1.3e-13 relative away from the zeros at 1 and 2 (x = 2.1);
//   9.3e-15 absolute within 0.1 of them (x = 2.001).
// Outside: x = 0 gives +∞; x < 0 a NaN; x = +∞ and x above about 2.5e305
//   give +∞.
SPECFUN_EXPORT double LnGamma(const double& x);
SPECFUN_EXPORT void LnGammaBatch(const double* x, double* result, std::size_t count);
#if __cplusplus >= 202002L
inline void LnGammaBatch(std::span<const double> x, std::span<double> result) {
  detail::RequireLength(result, {x.size()});
  LnGammaBatch(x.data(), result.data(), result.size());
}
#endif

// Q(x), the upper tail of the standard normal distribution; P(x) is
// QGauss(-x). Domain: every x.
// Accuracy: 1.1e-11 relative, 1.4e-13 absolute (x = 2.2539, just above the
//   switch of fractions at 2.25); 5.6e-14 relative for 3 < x <= 37.
// Outside: 1 below -11, 0 above 37 (true value below 6e-301); a NaN gives 0.
SPECFUN_EXPORT double QGauss(const double& x);
SPECFUN_EXPORT void QGaussBatch(const double* x, double* result, std::size_t count);
#if __cplusplus >= 202002L
inline void QGaussBatch(std::span<const double> x, std::span<double> result) {
  detail::RequireLength(result, {x.size()});
  QGaussBatch(x.data(), result.data(), result.size());
}
#endif

// The x with QGauss(x) = p. Domain: 0 < p < 1.
// Accuracy: below 1e-12 relative for 1e-300 <= p < 1, near p = 1/2 too
//   (8.1e-13 at p = 0.01 and 0.99, beside the switch of QGauss's
//   fractions); 2.3e-16 for p < 1e-10; p = 1/2 gives a value within 1e-17
//   of 0.
// Outside: p <= 0 gives +1.0000000200408773e20, p >= 1 and a NaN its
//   negative; p < 0 and p > 1 are reported.
SPECFUN_EXPORT double QGaussInv(const double& p);
SPECFUN_EXPORT void QGaussInvBatch(const double* p, double* result, std::size_t count);
#if __cplusplus >= 202002L
inline void QGaussInvBatch(std::span<const double> p, std::span<double> result) {
  detail::RequireLength(result, {p.size()});
  QGaussInvBatch(p.data(), result.data(), result.size());
}
#endif

// The regularized incomplete beta function I(x, a, b). Domain: 0 <= x <= 1,
// a, b > 0. Where a and b are both normal doubles up to 1.25e5, the
// continued fraction A&S 26.5.8 to an absolute change below 1e-12,
// reporting convergence after more than 20 iterations and its absence after
// 41; elsewhere, without reports, the fraction of DiDonato and Morris or the
// series A&S 26.5.23, and where min(a, b) >= 1e5 Temme's uniform
// asymptotic expansion.
// Accuracy: 5e-10 absolute where nothing is reported (2.5e-10 at x = 5e-8,
//   a = 0.01, b = 1e5), 3e-11 for a, b in [0.5, 1e4]; 1.3e-15 absolute
//   where a parameter is above 1.25e5 (1.2e-15 at x = 5e-6, a = 2.5,
//   b = 1e6); results below 1e-12 carry the absolute error only (1.9e-4
//   relative at 1e-12). Where no convergence within 41 iterations is
//   reported the value is the fraction's Aitken extrapolation, which the
//   method prescribes, where the last approximants have settled, else the
//   accurate tails, within 6e-10; this bound holds for the t, F and
//   binomial tails taken through it as well.
// Outside: x <= 0 or a NaN x gives 0, x >= 1 gives 1; a < 0 or b < 0 a
//   NaN; a = 0 gives 1 and b = 0 gives 0 (both 0: a NaN); a subnormal or
//   infinite parameter gives the limit.
SPECFUN_EXPORT double BETAF(const double& x, const double& a, const double& b);
SPECFUN_EXPORT void BETAFBatch(const double* x, const double* a, const double* b, double* result,
                               std::size_t count);
#if __cplusplus >= 202002L
inline void BETAFBatch(std::span<const double> x, std::span<const double> a,
                       std::span<const double> b, std::span<double> result) {
  detail::RequireLength(result, {x.size(), a.size(), b.size()});
  BETAFBatch(x.data(), a.data(), b.data(), result.data(), result.size());
}
#endif

// F-distribution: P(F | nu1, nu2) and Q(F | nu1, nu2) = 1 - P. Domain:
// F >= 0, nu1, nu2 > 0; any F up to +∞ (tails beyond the double range
// come from logarithms).
// Accuracy: 8.8e-11 absolute (F = 0.117, nu1 = 47.1, nu2 = 0.0576); 1e-9
//   relative for tails down to 1e-300 where nu1·F leaves the doubles; tails
//   below 1e-12 from the incomplete beta's fraction carry its absolute
//   error only.
// Limits: F = 0 gives P = 0, Q = 1 whatever nu1 and nu2; nu2 = +∞ gives
//   the tails of χ²(nu1)/nu1, nu1 = +∞ those of nu2/χ²(nu2), both the
//   point mass at 1. −0 is 0 in every argument.
// Outside: F < 0, nu1 <= 0 or nu2 < 0 gives P = 0, Q = 1; nu2 = 0 gives
//   P = 1, Q = 0; a NaN F or nu gives 0 for both.
SPECFUN_EXPORT double FDistP(const double& f, const double& nu1, const double& nu2);
SPECFUN_EXPORT void FDistPBatch(const double* f, const double* nu1, const double* nu2,
                                double* result, std::size_t count);
#if __cplusplus >= 202002L
inline void FDistPBatch(std::span<const double> f, std::span<const double> nu1,
                        std::span<const double> nu2, std::span<double> result) {
  detail::RequireLength(result, {f.size(), nu1.size(), nu2.size()});
  FDistPBatch(f.data(), nu1.data(), nu2.data(), result.data(), result.size());
}
#endif
SPECFUN_EXPORT double FDistQ(const double& f, const double& nu1, const double& nu2);
SPECFUN_EXPORT void FDistQBatch(const double* f, const double* nu1, const double* nu2,
                                double* result, std::size_t count);
#if __cplusplus >= 202002L
inline void FDistQBatch(std::span<const double> f, std::span<const double> nu1,
                        std::span<const double> nu2, std::span<double> result) {
  detail::RequireLength(result, {f.size(), nu1.size(), nu2.size()});
  FDistQBatch(f.data(), nu1.data(), nu2.data(), result.data(), result.size());
}
#endif

// Student's t: A(t | nu), the probability that |T| <= |t|, and its
// complement AQ(t | nu), the two-sided tail. Domain: every t, nu > 0.
// Accuracy: 5.4e-11 absolute (t = 1.34, nu = 1.3e5); 9.2e-14 relative where
//   t·t leaves the doubles (t = 1e200); AQ below 1e-12 from the incomplete
//   beta's fraction carries its absolute error only (4.1e-6 relative at
//   t = 6.51, nu = 400.6).
// Limits: nu = +∞ gives the normal tails erf(|t|/√2) and erfc(|t|/√2).
//   −0 is 0 in every argument.
// Outside: nu < 0 gives A = 1, AQ = 1; nu = 0 gives A = 1, AQ = 0; a NaN t
//   or nu gives 0 for both.
SPECFUN_EXPORT double StudentA(const double& t, const double& nu);
SPECFUN_EXPORT void StudentABatch(const double* t, const double* nu, double* result,
                                  std::size_t count);
#if __cplusplus >= 202002L
inline void StudentABatch(std::span<const double> t, std::span<const double> nu,
                          std::span<double> result) {
  detail::RequireLength(result, {t.size(), nu.size()});
  StudentABatch(t.data(), nu.data(), result.data(), result.size());
}
#endif
SPECFUN_EXPORT double StudentAQ(const double& t, const double& nu);
SPECFUN_EXPORT void StudentAQBatch(const double* t, const double* nu, double* result,
                                   std::size_t count);
#if __cplusplus >= 202002L
inline void StudentAQBatch(std::span<const double> t, std::span<const double> nu,
                           std::span<double> result) {
  detail::RequireLength(result, {t.size(), nu.size()});
  StudentAQBatch(t.data(), nu.data(), result.data(), result.size());
}
#endif

// Binomial sums for success probability p in n trials: P(a, n), the
// probability of fewer than a successes, and Q(a, n) = 1 - P(a, n). Domain:
// 0 < p < 1, 0 < a < n + 1 (a and n need not be whole).
// Accuracy: 7.7e-12 absolute (p = 1e-6, a = 1, n = 1e5), for p down to the
//   smallest double too; results below 1e-12 carry that absolute error only
//   (2.2e-4 relative).
// Outside: p <= 0 gives P = 1, Q = 0; p >= 1 gives P = 0, Q = 1; a = 0
//   gives P = 0, Q = 1; a = n + 1 gives P = 1, Q = 0; a < 0, a > n + 1 or
//   n < 0 a NaN; a NaN p gives 0 for both.
SPECFUN_EXPORT double BinomP(const double& p, const double& a, const double& n);
SPECFUN_EXPORT void BinomPBatch(const double* p, const double* a, const double* n, double* result,
                                std::size_t count);
#if __cplusplus >= 202002L
inline void BinomPBatch(std::span<const double> p, std::span<const double> a,
                        std::span<const double> n, std::span<double> result) {
  detail::RequireLength(result, {p.size(), a.size(), n.size()});
  BinomPBatch(p.data(), a.data(), n.data(), result.data(), result.size());
}
#endif
SPECFUN_EXPORT double BinomQ(const double& p, const double& a, const double& n);
SPECFUN_EXPORT void BinomQBatch(const double* p, const double* a, const double* n, double* result,
                                std::size_t count);
#if __cplusplus >= 202002L
inline void BinomQBatch(std::span<const double> p, std::span<const double> a,
                        std::span<const double> n, std::span<double> result) {
  detail::RequireLength(result, {p.size(), a.size(), n.size()});
  BinomQBatch(p.data(), a.data(), n.data(), result.data(), result.size());
}
#endif

// The x in [0, 1] with BETAF(x, a, b) = p. Domain: 0 < p < 1, a, b > 0.
// Accuracy: 9.9e-9 relative in the smaller of x and 1 - x for p in
//   [1e-300, 1 - 1e-12] and a, b in [0.05, 1e6] (9.85e-9 in 1 - x at
//   p = 1 - 1e-9, a = 1e5, b = 15); beyond 1e6 up to the largest double
//   1e-9 relative or better (7e-14 measured with a parameter from 1e16 on);
//   a root beyond the doubles gives 0 or the nearest subnormal.
// Outside: p <= 0 gives 0, p >= 1 gives 1 (p < 0 and p > 1 reported by
//   QGaussInv); a = 0 gives 0; a < 0, b < 0 or a NaN gives a NaN.
SPECFUN_EXPORT double BetaInv(const double& p, const double& a, const double& b);
SPECFUN_EXPORT void BetaInvBatch(const double* p, const double* a, const double* b, double* result,
                                 std::size_t count);
#if __cplusplus >= 202002L
inline void BetaInvBatch(std::span<const double> p, std::span<const double> a,
                         std::span<const double> b, std::span<double> result) {
  detail::RequireLength(result, {p.size(), a.size(), b.size()});
  BetaInvBatch(p.data(), a.data(), b.data(), result.data(), result.size());
}
#endif

// The F with FDistQ(F, nu1, nu2) = p. Domain: 0 < p < 1, nu1, nu2 > 0.
// Accuracy: 9.9e-9 relative for p in [1e-300, 1 - 1e-12] and nu1, nu2 in
//   [0.1, 2e6] (p = 1e-10, nu1 = 3, nu2 = 100); beyond 2e6 up to the
//   largest double 1e-9 relative or better (1.4e-13 measured with a degree
//   of freedom from 1e16 on); nu = +∞ takes the chi-square limit; a root
//   beyond the doubles gives +∞ or 0.
// Outside: p <= 0 gives +∞, p >= 1 gives 0 (p < 0 and p > 1 reported by
//   QGaussInv); nu1 = 0 gives 0, nu2 = 0 +∞; a negative or NaN argument
//   gives a NaN.
SPECFUN_EXPORT double FDistInv(const double& p, const double& nu1, const double& nu2);
SPECFUN_EXPORT void FDistInvBatch(const double* p, const double* nu1, const double* nu2,
                                  double* result, std::size_t count);
#if __cplusplus >= 202002L
inline void FDistInvBatch(std::span<const double> p, std::span<const double> nu1,
                          std::span<const double> nu2, std::span<double> result) {
  detail::RequireLength(result, {p.size(), nu1.size(), nu2.size()});
  FDistInvBatch(p.data(), nu1.data(), nu2.data(), result.data(), result.size());
}
#endif

// The t >= 0 with StudentAQ(t, nu) = p. Domain: 0 < p < 1, nu > 0.
// Accuracy: 5.0e-9 relative for p in [1e-300, 1 - 1e-12] and nu in
//   [0.1, 2e6] (p = 1e-8, nu = 1000); beyond 2e6 up to the largest double
//   1e-9 relative or better (5.5e-14 measured from 1e16 on), and nu = +∞
//   the normal limit; a root beyond the doubles (every p for nu below about
//   1.6e-35) gives +∞.
// Outside: p <= 0 gives +∞, p >= 1 gives 0 (p < 0 and p > 1 reported by
//   QGaussInv); nu = 0 gives +∞; a negative or NaN argument gives a NaN.
SPECFUN_EXPORT double StudentInv(const double& p, const double& nu);
SPECFUN_EXPORT void StudentInvBatch(const double* p, const double* nu, double* result,
                                    std::size_t count);
#if __cplusplus >= 202002L
inline void StudentInvBatch(std::span<const double> p, std::span<const double> nu,
                            std::span<double> result) {
  detail::RequireLength(result, {p.size(), nu.size()});
  StudentInvBatch(p.data(), nu.data(), result.data(), result.size());
}
#endif

// The chi-square tail P(x | nu) (tail = 0) or Q(x | nu) (tail != 0).
// Domain: x >= 0, nu > 0.
// Accuracy: P 6.4e-13 relative (x = 688.1, nu = 811.9); Q 2.8e-11 relative
//   (x = 0.8954, nu = 0.001); both 9e-14 absolute (x = nu = 300).
// Outside: x < 0 gives a NaN; nu < 0 is not rejected and gives a value
//   without meaning (ChiSquare(1, -1, 0) = 1); nu = 0 and a subnormal nu
//   give the limit P = 1, Q = 0 for x > 0; x = +∞ gives P = 1, Q = 0;
//   nu = −0 is nu = 0.
SPECFUN_EXPORT double ChiSquare(const double& x, const double& nu, const std::int32_t& tail);

// result[i] = ChiSquare(x[i], nu[i], tail) for i < count, bit for bit, the
// elements evaluated side by side.
SPECFUN_EXPORT void ChiSquareBatch(const double* x, const double* nu, std::int32_t tail,
                                   double* result, std::size_t count);
#if __cplusplus >= 202002L
inline void ChiSquareBatch(std::span<const double> x, std::span<const double> nu, std::int32_t tail,
                           std::span<double> result) {
  detail::RequireLength(result, {x.size(), nu.size()});
  ChiSquareBatch(x.data(), nu.data(), tail, result.data(), result.size());
}
#endif

// The x >= 0 with ChiSquare(x, nu, 1) = p. Domain: 0 < p < 1, nu > 0.
// Accuracy: 9e-9 relative for p in [1e-300, 1 - 1e-12] and nu in
//   [0.1, 1e6] (8.6e-9 at p = 1 - 1e-12, nu = 1e6); beyond 1e10 degrees of
//   freedom the Wilson-Hilferty quantile.
// Outside: p <= 0 gives +∞, p >= 1 and a NaN p give 0 (p < 0 and p > 1
//   reported by QGaussInv); nu < 0 a NaN, nu = 0 gives 0.
SPECFUN_EXPORT double ChiSquareInv(const double& p, const double& nu);
SPECFUN_EXPORT void ChiSquareInvBatch(const double* p, const double* nu, double* result,
                                      std::size_t count);
#if __cplusplus >= 202002L
inline void ChiSquareInvBatch(std::span<const double> p, std::span<const double> nu,
                              std::span<double> result) {
  detail::RequireLength(result, {p.size(), nu.size()});
  ChiSquareInvBatch(p.data(), nu.data(), result.data(), result.size());
}
#endif

// The non-central chi-square tail with nu degrees of freedom and
// non-centrality lambda, lower (tail = 0) or upper (tail != 0). Domain:
// x >= 0, nu > 0, lambda >= 0. Sums Poisson-weighted central tails until
// what is left out is below 1e-7 (relative to the weights' total), or for
// nu > 400 or lambda > 1400 below 1e-12 of the sum; above lambda = 2e6,
// Pearson's three-moment approximation.
// Accuracy: 9.4e-8 absolute (x = 0.005, nu = 5, lambda = 0); 7.3e-14 for
//   nu > 400 or lambda > 1400 up to lambda = 2e6, and there 3.1e-12
//   relative down to tails of 1e-88 (measured up to lambda = 1e6); 2e-9
//   absolute above lambda = 2e6 (1.7e-9 at lambda = 3e6, three standard
//   deviations from the mean); relative error is otherwise unbounded for
//   results below 1e-7. Every call finishes within about 0.6 ms.
// Outside: x < 0 and nu < 0 give a NaN; nu = 0 is evaluated as the limit
//   of the mixture (NCChiSquare(1, 0, 1, 0) = 0.7329); lambda < 0 is not
//   rejected: NCChiSquare(1, 2, -1, 0) gives 0.6487 and lambda = -50
//   gives 1.
SPECFUN_EXPORT double NCChiSquare(const double& x, const double& nu, const double& lambda,
                                  const std::int32_t& tail);

// result[i] = NCChiSquare(x[i], nu[i], lambda[i], tail) for i < count, bit
// for bit, the terms of the sums evaluated side by side.
SPECFUN_EXPORT void NCChiSquareBatch(const double* x, const double* nu, const double* lambda,
                                     std::int32_t tail, double* result, std::size_t count);
#if __cplusplus >= 202002L
inline void NCChiSquareBatch(std::span<const double> x, std::span<const double> nu,
                             std::span<const double> lambda, std::int32_t tail,
                             std::span<double> result) {
  detail::RequireLength(result, {x.size(), nu.size(), lambda.size()});
  NCChiSquareBatch(x.data(), nu.data(), lambda.data(), tail, result.data(), result.size());
}
#endif

}  // namespace specfun
