// The inverse of the chi-square upper tail: the x with Q(x|ν) = p.
//
// Starts from the Wilson–Hilferty approximation (A&S 26.4.17) for ν >= 30
// and from Fisher's (A&S 26.4.18) below, and refines by at most 40 Newton
// steps on Q(x|ν), whose derivative is minus the density
// f(x) = x^(ν/2 − 1)·e^(−x/2)/C with C = 2^(ν/2)·Γ(ν/2). Where C or the
// density leaves the doubles' range the same step is formed in logarithms.
//
// Far in the upper tail, where Q varies over many orders of magnitude
// between the start and the root, those steps creep (Q is nearly e^(−x/2),
// so a step from below gains about 2) or fall back to a tenth of x, and 40
// of them do not reach the root (p = 1e-300, ν = 1: 800 instead of 1374).
// When they have not met the tolerance, the iteration is run again from the
// same start with Newton's steps on ln Q wherever Q and p differ by more
// than a factor e^5; those land near the root in one or two steps.
#include <cmath>
#include <limits>

#include "specfun/chi_square_tail.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kLn2 = 0.69314718055994531;
// ν at and above which the Wilson–Hilferty start is used.
constexpr double kWilsonHilfertyStart = 30.0;
constexpr int kMaxSteps = 40;
constexpr double kAbsoluteTolerance = 1e-8;
constexpr double kRelativeTolerance = 0.001;
// A step that would make x negative moves it to a tenth of its value.
constexpr double kFallBackFactor = 0.9;
// A step up that is not finite even in logarithms moves x to ten times its
// value.
constexpr double kStepUpFactor = 9.0;
// Q and p further apart than this factor take a step on ln Q (second run).
constexpr double kLogStepFrom = 5.0;

double FisherStart(double z, double nu) {
  const double shift = z + std::sqrt((nu + nu) - 1.0);
  return (shift * shift) * 0.5;
}

double WilsonHilfertyStart(double z, double nu) {
  const double c = 2.0 / (9.0 * nu);
  const double w = (1.0 - c) + z * std::sqrt(c);
  return std::fabs(w * w * w) * nu;
}

// For ν < 1/2, where Fisher's start is not defined: the x with
// (x/2)^(ν/2)/Γ(ν/2 + 1) = 1 − p. That expression bounds P(x|ν) from above,
// so the start lies at or below the root, where Newton's method on the convex
// Q climbs to it.
double SmallNuStart(double p, double nu, double lnGammaHalfNuPlusOne) {
  const double halfNu = nu * 0.5;
  return 2.0 * std::exp((std::log1p(-p) + lnGammaHalfNuPlusOne) / halfNu);
}

double Start(double p, double z, double nu, double lnGammaHalfNuPlusOne) {
  if (nu >= kWilsonHilfertyStart) return WilsonHilfertyStart(z, nu);
  if (nu >= 0.5) return FisherStart(z, nu);
  return SmallNuStart(p, nu, lnGammaHalfNuPlusOne);
}

// What stays fixed through one inversion.
struct Problem {
  double p;
  double nu;
  double power;    // ν/2 − 1
  double scale;    // C = 2^(ν/2)·Γ(ν/2)
  double lnScale;  // ln C
  detail::ChiSquareConstants constants;
};

// ln f(x), the log of the density.
double LogDensity(const Problem& problem, double x) {
  return (problem.power * std::log(x) - x * 0.5) - problem.lnScale;
}

// r with x − r the Newton step for Q(x) = p: (p − Q)/f(x), as written where
// C and the density are normal doubles, else in logarithms.
double NewtonStep(const Problem& problem, double x, double q) {
  const double t = (problem.p - q) * problem.scale;
  const double d = std::pow(x, problem.power) * std::exp(-x * 0.5);
  const double r = t / d;
  if (std::isfinite(r) && std::isfinite(problem.scale) && std::isnormal(d)) return r;
  const double gap = problem.p - q;
  return gap == 0.0 ? 0.0 : gap * std::exp(-LogDensity(problem, x));
}

// ln Q(x) for the step on ln Q; where Q has underflowed, from its leading
// asymptotic term f(x)·2x/(x − ν + 2) (A&S 6.5.32). NaN where neither serves.
double LogUpperTail(const Problem& problem, double x, double q) {
  if (q > 0.0) return std::log(q);
  if (x > problem.nu - 2.0) {
    return LogDensity(problem, x) + std::log(2.0 * x / (x - problem.nu + 2.0));
  }
  return std::numeric_limits<double>::quiet_NaN();
}

struct Iteration {
  double x;
  bool converged;
};

Iteration Newton(const Problem& problem, double x, bool stepOnLogQ) {
  const double lnP = std::log(problem.p);
  for (int step = 0; step < kMaxSteps; ++step) {
    const double q = detail::ChiSquareTail(x, problem.nu, kUpperTail, problem.constants);
    double r = 0.0;
    bool capUpward = false;
    const double lnQ = stepOnLogQ ? LogUpperTail(problem, x, q) : 0.0;
    if (stepOnLogQ && std::isfinite(lnQ) && std::fabs(lnQ - lnP) > kLogStepFrom) {
      r = (lnP - lnQ) * std::exp(lnQ - LogDensity(problem, x));
      capUpward = true;
    } else {
      r = NewtonStep(problem, x, q);
    }
    double delta = -r;
    if (!(x - r >= 0.0)) {
      delta = -(kFallBackFactor * x);
    } else if (std::isinf(delta) || (capUpward && delta > kStepUpFactor * x)) {
      delta = kStepUpFactor * x;
    }
    x = x + delta;
    const double relative = kRelativeTolerance * x;
    const double tolerance = relative < kAbsoluteTolerance ? relative : kAbsoluteTolerance;
    // A zero step repeats itself: x stays as it is to the last step.
    if (std::fabs(delta) < tolerance || delta == 0.0) return {x, true};
  }
  return {x, false};
}

}  // namespace

double ChiSquareInv(const double& p, const double& nu) {
  const double z = QGaussInv(p);
  if (!(p < 1.0)) return 0.0;
  if (p <= 0.0) return kInfinity;
  if (std::isnan(nu)) return nu;
  if (std::isinf(nu)) return kInfinity;
  const double halfNu = nu * 0.5;
  const detail::ChiSquareConstants constants = detail::ChiSquareConstantsFor(nu);
  const Problem problem{p,
                        nu,
                        halfNu - 1.0,
                        std::pow(2.0, halfNu) * std::exp(constants.lnGammaHalfNu),
                        halfNu * kLn2 + constants.lnGammaHalfNu,
                        constants};
  const double start = Start(p, z, nu, constants.lnGammaHalfNuPlusOne);
  const Iteration onTail = Newton(problem, start, /*stepOnLogQ=*/false);
  if (onTail.converged) return onTail.x;
  return Newton(problem, start, /*stepOnLogQ=*/true).x;
}

}  // namespace specfun
