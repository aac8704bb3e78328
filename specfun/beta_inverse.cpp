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
#include <cfloat>
#include <cmath>

#include "specfun/incomplete_beta.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

// π/2 as the C library gives 2·atan(1) (0x1.921fb54442d18p+0); a literal,
// so that it is set before any caller's initialiser runs.
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
// (its quantum is 1.1e-16), so the t and F inverses refine it.
constexpr double kComplementRefinementBelow = 1e-7;
constexpr int kComplementRefinementSteps = 3;

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

// 1 - x for x = BetaInv(p, a, b), to full relative precision. Where x lies
// so close to 1 that the difference 1 - x has lost digits, or x has rounded
// to 1 although p < 1, y = 1 - x is refined by Newton steps on
// I(y, b, a) = 1 - p (the symmetry I(x, a, b) = 1 - I(1 - x, b, a)), from
// 1 - x itself or, when that is 0, from the leading term of the tail,
// I(y, b, a) ≈ y^b / (b B(a, b)).
double ComplementOfInverse(double x, double p, double a, double b) {
  double y = 1.0 - x;
  if (!(y < kComplementRefinementBelow) || !(p > 0.0 && p < 1.0)) return y;
  const double q = 1.0 - p;
  const double lnGammaA = LnGamma(a);
  const double lnGammaB = LnGamma(b);
  const double lnGammaSum = LnGamma(a + b);
  const double logBeta = lnGammaA + lnGammaB - lnGammaSum;
  // BETAF(y, b, a), with its -ln B(b, a) formed once.
  const double mirroredNegativeLogBeta = lnGammaSum - lnGammaB - lnGammaA;
  if (y == 0.0) y = std::exp((std::log(q) + std::log(b) + logBeta) / b);
  if (!(y > 0.0)) return 0.0;
  for (int step = 0; step < kComplementRefinementSteps; ++step) {
    const double value = detail::IncompleteBeta(y, b, a, mirroredNegativeLogBeta);
    const double delta =
        (value - q) * std::exp(logBeta - (b - 1.0) * std::log(y) - (a - 1.0) * std::log1p(-y));
    // From a start this close the step is far below y; anything else is
    // refused and the start kept.
    if (!(std::fabs(delta) < 0.5 * y)) break;
    y = y - delta;
  }
  return y;
}

}  // namespace

double BetaInv(const double& p, const double& a, const double& b) {
  const double y = QGaussInv(p);
  if (p <= 0.0) return 0.0;
  if (p >= 1.0) return 1.0;
  if (std::isnan(p)) return p;
  if (IsHalf(a) && IsHalf(b)) {
    const double s = std::sin(p * kHalfPi);
    return s * s;
  }
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
      break;
    }
  }
  return x;
}

double FDistInv(const double& p, const double& nu1, const double& nu2) {
  const double a = 0.5 * nu2;
  const double b = 0.5 * nu1;
  const double x = BetaInv(p, a, b);
  return (ComplementOfInverse(x, p, a, b) * a) / (x * b);
}

double StudentInv(const double& p, const double& nu) {
  const double a = 0.5 * nu;
  const double b = 0.5;
  const double x = BetaInv(p, a, b);
  // With one degree of freedom x = sin²(πp/2) underflows for p below about
  // 1e-154 while t = cot(πp/2) is still finite: take t from the angle.
  if (IsHalf(a) && p > 0.0 && x < DBL_MIN) return 1.0 / std::tan(p * kHalfPi);
  return std::sqrt((ComplementOfInverse(x, p, a, b) * a) / (x * b));
}

}  // namespace specfun
