// The routines' equivalents in R's standalone math library (kept in a file
// of their own: Rmath.h defines macros that clash with Boost's names).
#define MATHLIB_STANDALONE
#include <Rmath.h>

#include <cmath>

#include "accuracy/peers.hpp"

namespace accuracy::r_math {
namespace {
constexpr int kLower = 1;
constexpr int kUpper = 0;
constexpr int kNotLog = 0;
}  // namespace

double LnGamma(Arguments a) { return lgammafn(a[0]); }
double QGauss(Arguments a) { return pnorm(a[0], 0.0, 1.0, kUpper, kNotLog); }
double QGaussInv(Arguments a) { return qnorm(a[0], 0.0, 1.0, kUpper, kNotLog); }
double BETAF(Arguments a) { return pbeta(a[0], a[1], a[2], kLower, kNotLog); }

// A(t | nu) = I(t^2/(nu + t^2), 1/2, nu/2). For t^2 < nu the incomplete beta
// at that small argument keeps A's relative accuracy where 1 - 2 pt(-|t|)
// would not; above it A is not small, and 1 - 2 pt(-|t|) avoids the rounding
// of t^2/(nu + t^2) near 1 (and the overflow of t^2).
double StudentA(Arguments a) {
  const double t2 = a[0] * a[0];
  if (t2 < a[1]) return pbeta(t2 / (a[1] + t2), 0.5, 0.5 * a[1], kLower, kNotLog);
  return 1.0 - 2.0 * pt(-std::fabs(a[0]), a[1], kLower, kNotLog);
}
double StudentAQ(Arguments a) { return 2.0 * pt(-std::fabs(a[0]), a[1], kLower, kNotLog); }
double FDistP(Arguments a) { return pf(a[0], a[1], a[2], kLower, kNotLog); }
double FDistQ(Arguments a) { return pf(a[0], a[1], a[2], kUpper, kNotLog); }
// Fewer than a successes in n trials: 1 - I(p, a, n - a + 1).
double BinomP(Arguments a) { return pbeta(a[0], a[1], a[2] - a[1] + 1.0, kUpper, kNotLog); }
double BinomQ(Arguments a) { return pbeta(a[0], a[1], a[2] - a[1] + 1.0, kLower, kNotLog); }
double BetaInv(Arguments a) { return qbeta(a[0], a[1], a[2], kLower, kNotLog); }
double StudentInv(Arguments a) { return qt(0.5 * a[0], a[1], kUpper, kNotLog); }
double FDistInv(Arguments a) { return qf(a[0], a[1], a[2], kUpper, kNotLog); }
double ChiSquareP(Arguments a) { return pchisq(a[0], a[1], kLower, kNotLog); }
double ChiSquareQ(Arguments a) { return pchisq(a[0], a[1], kUpper, kNotLog); }
double ChiSquareInv(Arguments a) { return qchisq(a[0], a[1], kUpper, kNotLog); }
double NCChiSquareP(Arguments a) { return pnchisq(a[0], a[1], a[2], kLower, kNotLog); }
double NCChiSquareQ(Arguments a) { return pnchisq(a[0], a[1], a[2], kUpper, kNotLog); }

// The gamma distribution of scale 1 at (x, shape), its quantile at (p,
// shape); the Poisson tails at (k, mean).
double GammaP(Arguments a) { return pgamma(a[0], a[1], 1.0, kLower, kNotLog); }
double GammaQ(Arguments a) { return pgamma(a[0], a[1], 1.0, kUpper, kNotLog); }
double GammaInv(Arguments a) { return qgamma(a[0], a[1], 1.0, kLower, kNotLog); }
double PoissonCdf(Arguments a) { return ppois(a[0], a[1], kLower, kNotLog); }
double PoissonSf(Arguments a) { return ppois(a[0], a[1], kUpper, kNotLog); }

}  // namespace accuracy::r_math
