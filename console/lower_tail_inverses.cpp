#include "console/lower_tail_inverses.hpp"

#include <cmath>
#include <limits>

#include "specfun/routines/beta_quantile.hpp"
#include "specfun/routines/chi_square_inverse.hpp"
#include "specfun/specfun.hpp"

namespace console {
namespace {

// Beyond this parameter the incomplete beta function's quantile comes from
// its asymptotic expansions, as in BetaInv.
constexpr double kExpansionsAbove = 1e6;
// The beta quantile's solver keeps u = ln(x/(1 - x)) within this bound and
// answers a root beyond it with the bound itself.
constexpr double kSolverLogitBound = 1500.0;
// From here on a degree of freedom differs from an infinite one by less
// than the doubles resolve (the quantiles move with 1/nu).
constexpr double kInfiniteFrom = 1e17;
// √(π/2).
constexpr double kSqrtHalfPi = 1.2533141373155002512;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The x with I(x, a, b) = p for finite a, b > 0, by the solvers that
// complete BetaInv's Newton run: x, 1 - x and u = ln(x/(1 - x)), each to
// its own precision (u stays finite where x underflows).
specfun::detail::BetaQuantile LowerBetaQuantile(double p, double a, double b) {
  const bool expansions = a > kExpansionsAbove || b > kExpansionsAbove;
  return expansions ? specfun::detail::LargeParameterBetaQuantile(p, a, b)
                    : specfun::detail::SolveBetaQuantile(p, a, b, 0.0);
}

double LowerBetaLogit(double p, double a, double b) { return LowerBetaQuantile(p, a, b).logRatio; }

bool WithinSolverBound(double u) { return std::fabs(u) < kSolverLogitBound; }

}  // namespace

double LowerGaussianDeviate(double p) { return -specfun::QGaussInv(p); }

double LowerChiSquareQuantile(double p, double nu) {
  return specfun::detail::SolveChiSquareQuantile(p, false, nu);
}

// With y = t²/(nu + t²), A(t | nu) = I(y, 1/2, nu/2) (A&S 26.7.1, 26.5.27),
// so t = sqrt(nu·y/(1 - y)). For nu beyond the expansions' bound, A is
// linear in t to double precision wherever p < 2^-53: A = 2·f(0)·t with the
// density at 0, f(0) = Γ((nu+1)/2)/(√(nu·π)·Γ(nu/2)), whose ratio of
// gammas is √(nu/2)·(1 - 1/(4nu) + 1/(32nu²)) (A&S 6.1.47).
double CentralStudentQuantile(double p, double nu) {
  if (nu > 2.0 * kExpansionsAbove) {
    return p * kSqrtHalfPi / (1.0 - 1.0 / (4.0 * nu) + 1.0 / (32.0 * nu * nu));
  }
  const double u = LowerBetaLogit(p, 0.5, 0.5 * nu);
  if (!WithinSolverBound(u)) return u > 0.0 ? kInfinity : 0.0;
  return std::exp(0.5 * (std::log(nu) + u));
}

// With y = nu1·F/(nu2 + nu1·F), P(F | nu1, nu2) = I(y, nu1/2, nu2/2)
// (A&S 26.6.2), so F = (nu2/nu1)·y/(1 - y). Where a degree of freedom is
// as good as infinite, or the expansions' y leaves the doubles, F is the
// limit χ²(nu1)/nu1 or nu2/χ²(nu2); where both are, ln F is normal with
// variance 2/nu1 + 2/nu2 (its mean, 1/nu2 - 1/nu1, is below the doubles'
// resolution).
double LowerFQuantile(double p, double nu1, double nu2) {
  if (nu1 < kInfiniteFrom && nu2 < kInfiniteFrom) {
    const double u = LowerBetaLogit(p, 0.5 * nu1, 0.5 * nu2);
    if (WithinSolverBound(u)) return std::exp((std::log(nu2) - std::log(nu1)) + u);
  }
  if (nu1 >= kInfiniteFrom && nu2 >= kInfiniteFrom) {
    return std::exp(-specfun::QGaussInv(p) * std::sqrt(2.0 / nu1 + 2.0 / nu2));
  }
  if (nu2 >= nu1) return LowerChiSquareQuantile(p, nu1) / nu1;
  return nu2 / specfun::detail::SolveChiSquareQuantile(p, true, nu2);
}

// I(x, a, b) = 1 - I(1 - x, b, a) (A&S 26.5.2). An infinite parameter puts
// all the mass at 0 or 1, which BetaInv gives for any probability.
double UpperBetaQuantile(double p, double a, double b) {
  if (std::isinf(a) || std::isinf(b)) return specfun::BetaInv(0.5, a, b);
  return LowerBetaQuantile(p, b, a).y;
}

}  // namespace console
