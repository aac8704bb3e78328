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
#pragma once

#include <cstddef>
#include <cstdint>

#include "specfun/diagnostics.hpp"

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

// ln Γ(x) for x > 0, to about 1e-15 relative (absolute near the zeros at 1
// and 2). x = 0 gives +∞; a negative x gives a NaN.
double LnGamma(const double& x);
void LnGammaBatch(const double* x, double* result, std::size_t count);
#if __cplusplus >= 202002L
inline void LnGammaBatch(std::span<const double> x, std::span<double> result) {
  detail::RequireLength(result, {x.size()});
  LnGammaBatch(x.data(), result.data(), result.size());
}
#endif

// Q(x), the upper tail of the standard normal distribution; P(x) is
// QGauss(-x). Defined for every x: 1 below -11, 0 above 37 and for a NaN.
double QGauss(const double& x);
void QGaussBatch(const double* x, double* result, std::size_t count);
#if __cplusplus >= 202002L
inline void QGaussBatch(std::span<const double> x, std::span<double> result) {
  detail::RequireLength(result, {x.size()});
  QGaussBatch(x.data(), result.data(), result.size());
}
#endif

// The x with QGauss(x) = p, for 0 < p < 1. p <= 0 gives +1.0000000200408773e20
// and p >= 1 (or a NaN) gives its negative; p < 0 and p > 1 are reported.
double QGaussInv(const double& p);
void QGaussInvBatch(const double* p, double* result, std::size_t count);
#if __cplusplus >= 202002L
inline void QGaussInvBatch(std::span<const double> p, std::span<double> result) {
  detail::RequireLength(result, {p.size()});
  QGaussInvBatch(p.data(), result.data(), result.size());
}
#endif

// The regularized incomplete beta function I(x, a, b) for 0 <= x <= 1 and
// a, b > 0; 0 for x <= 0 (or a NaN), 1 for x >= 1. Stops on an absolute
// change below 1e-12; slow convergence is reported.
double BETAF(const double& x, const double& a, const double& b);
void BETAFBatch(const double* x, const double* a, const double* b, double* result,
                std::size_t count);
#if __cplusplus >= 202002L
inline void BETAFBatch(std::span<const double> x, std::span<const double> a,
                       std::span<const double> b, std::span<double> result) {
  detail::RequireLength(result, {x.size(), a.size(), b.size()});
  BETAFBatch(x.data(), a.data(), b.data(), result.data(), result.size());
}
#endif

// F-distribution: P(F | nu1, nu2) and Q(F | nu1, nu2) = 1 - P, for F >= 0
// and nu1, nu2 > 0.
double FDistP(const double& f, const double& nu1, const double& nu2);
void FDistPBatch(const double* f, const double* nu1, const double* nu2, double* result,
                 std::size_t count);
#if __cplusplus >= 202002L
inline void FDistPBatch(std::span<const double> f, std::span<const double> nu1,
                        std::span<const double> nu2, std::span<double> result) {
  detail::RequireLength(result, {f.size(), nu1.size(), nu2.size()});
  FDistPBatch(f.data(), nu1.data(), nu2.data(), result.data(), result.size());
}
#endif
double FDistQ(const double& f, const double& nu1, const double& nu2);
void FDistQBatch(const double* f, const double* nu1, const double* nu2, double* result,
                 std::size_t count);
#if __cplusplus >= 202002L
inline void FDistQBatch(std::span<const double> f, std::span<const double> nu1,
                        std::span<const double> nu2, std::span<double> result) {
  detail::RequireLength(result, {f.size(), nu1.size(), nu2.size()});
  FDistQBatch(f.data(), nu1.data(), nu2.data(), result.data(), result.size());
}
#endif

// Student's t: A(t | nu), the probability that |T| <= |t|, and its
// complement AQ(t | nu), the two-sided tail; any t and nu > 0.
double StudentA(const double& t, const double& nu);
void StudentABatch(const double* t, const double* nu, double* result, std::size_t count);
#if __cplusplus >= 202002L
inline void StudentABatch(std::span<const double> t, std::span<const double> nu,
                          std::span<double> result) {
  detail::RequireLength(result, {t.size(), nu.size()});
  StudentABatch(t.data(), nu.data(), result.data(), result.size());
}
#endif
double StudentAQ(const double& t, const double& nu);
void StudentAQBatch(const double* t, const double* nu, double* result, std::size_t count);
#if __cplusplus >= 202002L
inline void StudentAQBatch(std::span<const double> t, std::span<const double> nu,
                           std::span<double> result) {
  detail::RequireLength(result, {t.size(), nu.size()});
  StudentAQBatch(t.data(), nu.data(), result.data(), result.size());
}
#endif

// Binomial sums for success probability p in n trials: P(a, n), the
// probability of fewer than a successes, and Q(a, n) = 1 - P(a, n); for
// 0 < p < 1 and 0 < a < n + 1 (a and n need not be whole).
double BinomP(const double& p, const double& a, const double& n);
void BinomPBatch(const double* p, const double* a, const double* n, double* result,
                 std::size_t count);
#if __cplusplus >= 202002L
inline void BinomPBatch(std::span<const double> p, std::span<const double> a,
                        std::span<const double> n, std::span<double> result) {
  detail::RequireLength(result, {p.size(), a.size(), n.size()});
  BinomPBatch(p.data(), a.data(), n.data(), result.data(), result.size());
}
#endif
double BinomQ(const double& p, const double& a, const double& n);
void BinomQBatch(const double* p, const double* a, const double* n, double* result,
                 std::size_t count);
#if __cplusplus >= 202002L
inline void BinomQBatch(std::span<const double> p, std::span<const double> a,
                        std::span<const double> n, std::span<double> result) {
  detail::RequireLength(result, {p.size(), a.size(), n.size()});
  BinomQBatch(p.data(), a.data(), n.data(), result.data(), result.size());
}
#endif

// The x in [0, 1] with BETAF(x, a, b) = p, for a, b > 0; 0 for p <= 0 and 1
// for p >= 1.
double BetaInv(const double& p, const double& a, const double& b);
void BetaInvBatch(const double* p, const double* a, const double* b, double* result,
                  std::size_t count);
#if __cplusplus >= 202002L
inline void BetaInvBatch(std::span<const double> p, std::span<const double> a,
                         std::span<const double> b, std::span<double> result) {
  detail::RequireLength(result, {p.size(), a.size(), b.size()});
  BetaInvBatch(p.data(), a.data(), b.data(), result.data(), result.size());
}
#endif

// The F with FDistQ(F, nu1, nu2) = p; 0 for p >= 1 and +∞ for p <= 0.
double FDistInv(const double& p, const double& nu1, const double& nu2);
void FDistInvBatch(const double* p, const double* nu1, const double* nu2, double* result,
                   std::size_t count);
#if __cplusplus >= 202002L
inline void FDistInvBatch(std::span<const double> p, std::span<const double> nu1,
                          std::span<const double> nu2, std::span<double> result) {
  detail::RequireLength(result, {p.size(), nu1.size(), nu2.size()});
  FDistInvBatch(p.data(), nu1.data(), nu2.data(), result.data(), result.size());
}
#endif

// The t >= 0 with StudentAQ(t, nu) = p; 0 for p >= 1 and +∞ for p <= 0.
double StudentInv(const double& p, const double& nu);
void StudentInvBatch(const double* p, const double* nu, double* result, std::size_t count);
#if __cplusplus >= 202002L
inline void StudentInvBatch(std::span<const double> p, std::span<const double> nu,
                            std::span<double> result) {
  detail::RequireLength(result, {p.size(), nu.size()});
  StudentInvBatch(p.data(), nu.data(), result.data(), result.size());
}
#endif

// The chi-square tail P(x | nu) (tail = 0) or Q(x | nu) (tail != 0), for
// x >= 0 and nu > 0, to 1e-13 + nu*1e-15 absolute; always inside [0, 1].
double ChiSquare(const double& x, const double& nu, const std::int32_t& tail);

// The x >= 0 with ChiSquare(x, nu, 1) = p, for nu > 0 (to 1e-9 relative for
// 0.5 <= nu <= 1e6 and 1e-300 <= p <= 0.9); 0 for p >= 1 and +∞ for p <= 0.
double ChiSquareInv(const double& p, const double& nu);
void ChiSquareInvBatch(const double* p, const double* nu, double* result, std::size_t count);
#if __cplusplus >= 202002L
inline void ChiSquareInvBatch(std::span<const double> p, std::span<const double> nu,
                              std::span<double> result) {
  detail::RequireLength(result, {p.size(), nu.size()});
  ChiSquareInvBatch(p.data(), nu.data(), result.data(), result.size());
}
#endif

// The non-central chi-square tail with nu degrees of freedom and
// non-centrality lambda, lower (tail = 0) or upper (tail != 0), to 1e-7
// absolute; for x >= 0, nu > 0 and lambda >= 0.
double NCChiSquare(const double& x, const double& nu, const double& lambda,
                   const std::int32_t& tail);

}  // namespace specfun
