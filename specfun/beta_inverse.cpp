// The inverse of the regularized incomplete beta function, the x with
// I(x, a, b) = p, and through it the inverse F and Student's t
// distributions (A&S 26.6.2, 26.7.1).
//
// Start: the exact inverse sin²(πp/2) when a = b = 1/2; 0.9 when only a is
// 1/2 and 0.1 when only b is; otherwise the approximation to the percentage
// points of the beta distribution of A&S 26.5.22 built on the Gaussian
// deviate of p, or, where that is undefined, the two tail approximations
// I ≈ x^a / (a B) and 1 - I ≈ (1 - x)^b / (b B). Then at most 40 Newton
// steps on BETAF, each kept inside [0, 1].
//
// Those steps end wrong where BETAF's absolute tolerance leaves few digits
// (I below about 1e-12, or 1 - I), where the steps to a tenth of x or nine
// tenths of the way to 1 do not reach a root far in a tail within 40 steps,
// and where 1 - x has lost its digits in the difference. Their result is
// checked against an evaluation of the smaller tail accurate relative to its
// own size and, where they did not meet their tolerance within 40 steps or
// their result is more than 1e-8 off, the root is found again by
// Newton's method on the logarithm of that tail within a bracket
// (specfun/beta_quantile.cpp). The inverses t and F take 1 - x from there.
#include <cfloat>
#include <cmath>
#include <limits>

#include "specfun/beta_quantile.hpp"
#include "specfun/chi_square_quantile.hpp"
#include "specfun/incomplete_beta.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

// π/2 as 2·arctan(1) gives it: the double nearest π/2.
constexpr double kHalfPi = 1.5707963267948966;
// 5/6 of A&S 26.5.22, the double nearest to it.
constexpr double kFiveSixths = 0.8333333333333334;
// Starts when exactly one parameter is 1/2.
constexpr double kStartWhenAIsHalf = 0.9;
constexpr double kStartWhenBIsHalf = 0.1;
// A step that would leave [0, 1] goes this part of the way to the end.
constexpr double kStepFraction = 0.9;
// Stopping rule: a step below min(0.001·x, 1e-7), and below 0.001·(1 - x)
// as well, so that an inverse near 1 keeps its digits in 1 - x.
constexpr double kRelativeTolerance = 0.001;
constexpr double kAbsoluteTolerance = 1e-7;
constexpr int kNewtonSteps = 40;
// Relative size of Newton's remaining error that earns one more step.
constexpr double kFinalStepThreshold = 1e-8;
// Below this, 1 - x as a difference of doubles keeps fewer than nine digits
// (its quantum is 1.1e-16).
constexpr double kComplementKeptAbove = 1e-7;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Above this parameter BETAF needs thousands of levels per step and the
// Newton run is not made: the quantile is solved for directly.
constexpr double kNewtonRunUpTo = 1e6;

// The error Newton's method leaves after its step delta, about
// |I''/(2 I')|·delta², with I''/I' = (a - 1)/x - (b - 1)/(1 - x) for the
// beta density. The stopping rule lets this reach a·1e-6 of x in the tail
// x^a; where it exceeds 1e-8 of x (or of 1 - x) one more step is taken.
double NewtonErrorAfter(double delta, double x, double a, double b) {
  const double curvature = (a - 1.0) / x - (b - 1.0) / (1.0 - x);
  return 0.5 * std::fabs(curvature) * delta * delta;
}

bool IsHalf(double v) { return 2.0 * v - 1.0 == 0.0; }

// A&S 26.5.22; NaN where h + λ is not positive.
double PercentagePointStart(double y, double a, double b) {
  const double lambda = (y * y - 3.0) / 6.0;
  const double reciprocalA = 1.0 / (2.0 * a - 1.0);
  const double reciprocalB = 1.0 / (2.0 * b - 1.0);
  const double h = 2.0 / (reciprocalA + reciprocalB);
  if (!(h + lambda > 0.0)) return std::nan("");
  const double w = y * std::sqrt(h + lambda) / h -
                   (reciprocalB - reciprocalA) * (lambda + kFiveSixths - 2.0 / (h * 3.0));
  return a / (a + b * std::exp(2.0 * w));
}

// Miss of I(x, a, b) against p, on the scale of the tail it falls in.
double LogMiss(double x, double p, double a, double b, double negativeLogBeta) {
  const double value = detail::IncompleteBeta(x, a, b, negativeLogBeta);
  return std::fabs(std::log(value / p)) + std::fabs(std::log((1.0 - value) / (1.0 - p)));
}

// The better of the two tails' inverses from their leading terms,
// I ≈ x^a / (a B) near 0 and 1 - I ≈ (1 - x)^b / (b B) near 1, kept
// strictly inside (0, 1).
double TailStart(double p, double a, double b, double logBeta, double negativeLogBeta) {
  constexpr double kBelowOne = 1.0 - DBL_EPSILON / 2.0;
  const auto inside = [](double x) { return std::fmin(std::fmax(x, DBL_MIN), kBelowOne); };
  const double lower = inside(std::exp((std::log(p) + std::log(a) + logBeta) / a));
  const double upper = inside(1.0 - std::exp((std::log(1.0 - p) + std::log(b) + logBeta) / b));
  return LogMiss(lower, p, a, b, negativeLogBeta) <= LogMiss(upper, p, a, b, negativeLogBeta)
             ? lower
             : upper;
}

double Start(double p, double y, double a, double b, double logBeta, double negativeLogBeta) {
  if (IsHalf(a)) return kStartWhenAIsHalf;
  if (IsHalf(b)) return kStartWhenBIsHalf;
  const double x = PercentagePointStart(y, a, b);
  if (x > 0.0 && x < 1.0) return x;
  return TailStart(p, a, b, logBeta, negativeLogBeta);
}

double Tolerance(double x) {
  const double relative = kRelativeTolerance * x;
  double tolerance = relative < kAbsoluteTolerance ? relative : kAbsoluteTolerance;
  const double towardsOne = kRelativeTolerance * (1.0 - x);
  if (towardsOne < tolerance) tolerance = towardsOne;
  return tolerance;
}

struct Iteration {
  double x;
  bool converged;  // whether a step fell below the tolerance
};

// BetaInv's Newton run from its start, for 0 < p < 1 and a, b not both 1/2;
// y is the Gaussian deviate of p.
Iteration NewtonRun(double p, double y, double a, double b) {
  const double lnGammaA = LnGamma(a);
  const double lnGammaB = LnGamma(b);
  const double lnGammaSum = LnGamma(a + b);
  const double logBeta = lnGammaA + lnGammaB - lnGammaSum;
  const double beta = std::exp(logBeta);
  // BETAF(x, a, b) at every step, with its -ln B(a, b) formed once from the
  // same three values in BETAF's order: the same bits, two thirds fewer ln Γ.
  const double negativeLogBeta = lnGammaSum - lnGammaA - lnGammaB;
  // Newton's step for I(x, a, b) = p, kept inside [0, 1].
  const auto newtonStep = [&](double x) {
    const double value = detail::IncompleteBeta(x, a, b, negativeLogBeta);
    double delta;
    // The integrand of B(a, b); integrand / B is the density at x.
    const double integrand = std::pow(x, a - 1.0) * std::pow(1.0 - x, b - 1.0);
    if (std::isnormal(beta) && std::isnormal(integrand)) {
      delta = (p - value) * beta / integrand;
    } else {
      // B or the integrand zero, subnormal, infinite (or 0·∞): the same
      // Newton step in logarithms.
      delta = (p - value) *
              std::exp(logBeta - (a - 1.0) * std::log(x) - (b - 1.0) * std::log(1.0 - x));
    }
    if (x + delta > 1.0) delta = (1.0 - x) * kStepFraction;
    if (!(x + delta >= 0.0)) delta = -(x * kStepFraction);
    return delta;
  };
  double x = Start(p, y, a, b, logBeta, negativeLogBeta);
  for (int step = 0; step < kNewtonSteps; ++step) {
    const double delta = newtonStep(x);
    x = x + delta;
    if (std::fabs(delta) < Tolerance(x)) {
      if (NewtonErrorAfter(delta, x, a, b) > kFinalStepThreshold * std::fmin(x, 1.0 - x)) {
        x = x + newtonStep(x);
      }
      return {x, true};
    }
  }
  return {x, false};
}

// sin²(πp/2) and its complement cos²(πp/2), the latter as sin²((1 - p)π/2)
// where the difference 1 - x has lost its digits.
detail::BetaQuantile HalfHalf(double p) {
  const double s = std::sin(p * kHalfPi);
  const double x = s * s;
  const double y = 1.0 - x;
  if (y >= kComplementKeptAbove && x >= DBL_MIN) return {x, y, std::log(x / y)};
  const double c = std::sin((1.0 - p) * kHalfPi);
  return {x, y >= kComplementKeptAbove ? y : c * c, 2.0 * std::log(s / c)};
}

// x = BetaInv(p, a, b) with 1 - x to its own precision, after the Gaussian
// deviate of p, which reports a p outside [0, 1]. NaN for a NaN p, a
// negative or NaN parameter, and a = b = 0 or ∞.
detail::BetaQuantile BetaQuantileOf(double p, double a, double b) {
  const double y = QGaussInv(p);
  if (p <= 0.0) return {0.0, 1.0, -kInfinity};
  if (p >= 1.0) return {1.0, 0.0, kInfinity};
  if (std::isnan(p) || !(a >= 0.0 && b >= 0.0) || (a == b && (a == 0.0 || std::isinf(a)))) {
    return {kNaN, kNaN, kNaN};
  }
  // The distribution gathers at 1 as a grows without bound or b tends to 0
  // (the half of a subnormal ν), at 0 as b grows or a tends to 0.
  if (std::isinf(a) || b == 0.0) return {1.0, 0.0, kInfinity};
  if (std::isinf(b) || a == 0.0) return {0.0, 1.0, -kInfinity};
  if (IsHalf(a) && IsHalf(b)) return HalfHalf(p);
  if (std::fmax(a, b) > kNewtonRunUpTo) return detail::LargeParameterBetaQuantile(p, a, b);
  const Iteration run = NewtonRun(p, y, a, b);
  return detail::RefineBetaQuantile(p, a, b, run.x, run.converged);
}

// The chi-square quantile of the smaller tail: the x with Q(x|ν) = p for
// p <= 1/2, else with P(x|ν) = 1 - p; `upperP` tells which tail p is.
double ChiSquareQuantileOf(double p, bool upperP, double nu) {
  if (p <= 0.5) return detail::SolveChiSquareQuantile(p, upperP, nu);
  return detail::SolveChiSquareQuantile(1.0 - p, !upperP, nu);
}

bool InsideUnitInterval(double p) { return p > 0.0 && p < 1.0; }

// The ratio (1 - x)·a/(x·b) from the quantile, raised to `power` (1 for F,
// 1/2 for t): as written where BetaInv's x is its own, else as
// e^(power·(ln(a/b) - u)), which keeps the digits of u where x or 1 - x is
// not a normal double, or lies so near the mean of large parameters that x
// cannot resolve the offset, and does not overflow before the power.
double OddsRatio(const detail::BetaQuantile& q, double a, double b, double power) {
  if (std::fmax(a, b) > kNewtonRunUpTo || !(q.x >= DBL_MIN && q.y >= DBL_MIN)) {
    return std::exp(power * ((std::log(a) - std::log(b)) - q.logRatio));
  }
  const double ratio = (q.y * a) / (q.x * b);
  return power == 1.0 ? ratio : std::sqrt(ratio);
}

}  // namespace

double BetaInv(const double& p, const double& a, const double& b) {
  return BetaQuantileOf(p, a, b).x;
}

double FDistInv(const double& p, const double& nu1, const double& nu2) {
  const double a = 0.5 * nu2;
  const double b = 0.5 * nu1;
  // Infinite degrees of freedom: F is χ²(ν1)/ν1, ν2/χ²(ν2) or 1.
  if (InsideUnitInterval(p) && (std::isinf(a) || std::isinf(b)) && !(a < 0.0 || b < 0.0)) {
    if (std::isinf(a) && std::isinf(b)) return 1.0;
    if (std::isinf(a)) return ChiSquareQuantileOf(p, true, nu1) / nu1;
    return nu2 / ChiSquareQuantileOf(p, false, nu2);
  }
  // Both halves 0 (subnormal ν1, ν2): x is 0 with probability ν1/(ν1 + ν2)
  // and 1 otherwise.
  if (InsideUnitInterval(p) && a == 0.0 && b == 0.0 && nu1 > 0.0 && nu2 > 0.0) {
    return p < nu1 / (nu1 + nu2) ? kInfinity : 0.0;
  }
  const detail::BetaQuantile q = BetaQuantileOf(p, a, b);
  if (std::isnan(q.x)) return q.x;
  // The ends, also where a or b is 0 after halving a subnormal ν.
  if (q.logRatio == -kInfinity) return kInfinity;
  if (q.logRatio == kInfinity) return 0.0;
  return OddsRatio(q, a, b, 1.0);
}

double StudentInv(const double& p, const double& nu) {
  const double a = 0.5 * nu;
  const double b = 0.5;
  // Infinitely many degrees of freedom: the normal deviate of p/2, the
  // square root of the χ²(1) quantile.
  if (InsideUnitInterval(p) && nu == kInfinity) return std::sqrt(ChiSquareQuantileOf(p, true, 1.0));
  const detail::BetaQuantile q = BetaQuantileOf(p, a, b);
  // With one degree of freedom x = sin²(πp/2) underflows for p below about
  // 1e-154 while t = cot(πp/2) is still finite: take t from the angle.
  if (IsHalf(a) && p > 0.0 && q.x < DBL_MIN) return 1.0 / std::tan(p * kHalfPi);
  if (std::isnan(q.x)) return q.x;
  if (q.logRatio == -kInfinity) return kInfinity;
  if (q.logRatio == kInfinity) return 0.0;
  return OddsRatio(q, a, b, 0.5);
}

}  // namespace specfun
