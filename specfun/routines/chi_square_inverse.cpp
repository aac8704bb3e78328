// The inverse of the chi-square upper tail: the x with Q(x|ν) = p.
//
// Starts from the Wilson–Hilferty approximation (A&S 26.4.17) for ν >= 30
// and from Fisher's (A&S 26.4.18) below, and refines by at most 40 Newton
// steps on Q(x|ν), whose derivative is minus the density
// f(x) = x^(ν/2 − 1)·e^(−x/2)/C with C = 2^(ν/2)·Γ(ν/2). Where C or the
// density leaves the doubles' range the same step is formed in logarithms.
//
// Those steps fall short far in the upper tail, where Q varies over many
// orders of magnitude between the start and the root (a step from below
// gains about 2 in x, one from above falls back to a tenth of x), and near
// p = 1, where Q = 1 − P holds only absolute accuracy. Their result is kept
// where they meet their tolerance and a Newton step on the logarithm of the smaller tail (Q for p <= 1/2,
// else P = 1 − p, which is exact there) would move it by less than 1e-8
// relative; elsewhere the root is found by Newton's method on that logarithm
// as a function of ln x, within a bracket (specfun/log_tail_newton.hpp): the
// density of ln x, proportional to x^(ν/2)·e^(−x/2), is log-concave. From
// ν = 1e10 on, where ChiSquare is the Wilson–Hilferty approximation (A&S
// 26.4.14), the root is that approximation's own quantile.
#include "specfun/routines/chi_square_inverse.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "specfun/kernels/log_tail_newton.hpp"
#include "specfun/kernels/math_constants.hpp"
#include "specfun/routines/chi_square.hpp"
#include "specfun/routines/gauss_inverse.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
using detail::kLogTwo;
// ν at and above which the Wilson–Hilferty start is used.
constexpr double kWilsonHilfertyStart = 30.0;
constexpr int kMaxSteps = 40;
constexpr double kAbsoluteTolerance = 1e-8;
constexpr double kRelativeTolerance = 0.001;
// A step that would make x negative moves it to a tenth of its value.
constexpr double kFallBackFactor = 0.9;
// The Newton run's result is kept where it is within this of the root.
constexpr double kKeepWithin = 1e-8;
// The relative error allowed for ChiSquare's upper tail in judging, without
// evaluating it, whether the run's result is kept (it is near 1e-15).
constexpr double kEvaluationError = 1e-13;
// Takes a lower bound on the slope of ln Q past the rounding of the slopes.
constexpr double kSlopeBoundFactor = 0.999;
// The bound on the slope serves from this p on.
constexpr double kSlopeBoundFromP = 1e-290;
// ln x is sought within these bounds: beyond them x is 0 or +∞.
constexpr double kLowestLogX = -750.0;
constexpr double kHighestLogX = 710.0;
// A step in ln x below this ends the iteration.
constexpr double kLogStepTolerance = 1e-10;
// From this ν on ChiSquare is the Wilson–Hilferty approximation.
constexpr double kWilsonHilfertyFrom = 1e10;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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

// ln f(x), the log of the density, given logX = ln x.
double LogDensity(const Problem& problem, double x, double logX) {
  return (problem.power * logX - x * 0.5) - problem.lnScale;
}

double LogDensity(const Problem& problem, double x) {
  return LogDensity(problem, x, std::log(x));
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

// The Newton run between its evaluations of Q: at most 40 steps on Q(x|ν)
// from the start.
struct NewtonRun {
  double x;
  int steps = 0;
  bool done = false;
  bool converged = false;
  double lastDelta = 0.0;
  // p - Q at the start of the last step.
  double lastGap = 0.0;

  // The step from x given q = Q(x|ν).
  void Advance(const Problem& problem, double q) {
    lastGap = problem.p - q;
    const double r = NewtonStep(problem, x, q);
    double delta = -r;
    if (!(x - r >= 0.0)) delta = -(kFallBackFactor * x);
    x = x + delta;
    lastDelta = delta;
    const double relative = kRelativeTolerance * x;
    const double tolerance = relative < kAbsoluteTolerance ? relative : kAbsoluteTolerance;
    // A zero step repeats itself: x stays as it is to the last step.
    converged = std::fabs(delta) < tolerance || delta == 0.0;
    done = converged || ++steps == kMaxSteps;
  }
};

// The smaller tail as the equation to solve: Q(x|ν) = target when `upper`,
// else P(x|ν) = target.
struct TailEquation {
  const Problem& problem;
  double logTarget;
  bool upper;

  // h(s) = ±(ln tail − ln target) at x = e^s, increasing in s, and dh/ds =
  // f(x)·x/tail.
  detail::LogTailStep At(double s) const {
    const double x = std::exp(s);
    // Below the normal doubles x = e^s loses its digits, and below the
    // smallest subnormal it is 0: there the lower tail is its leading term
    // (x/2)^(ν/2)/Γ(ν/2 + 1), the rest below 1e-300 of it, taken from s.
    if (!upper && x < DBL_MIN) {
      const double halfNu = problem.nu * 0.5;
      const double logTail = halfNu * (s - kLogTwo) - LnGammaHalfNuPlusOne();
      return {logTail - logTarget, halfNu};
    }
    return AtTail(s, x, detail::ChiSquareTail(x, problem.nu, Tail(), problem.constants));
  }

  double LnGammaHalfNuPlusOne() const {
    const double given = problem.constants.lnGammaHalfNuPlusOne;
    return std::isnan(given) ? LnGamma(problem.nu * 0.5 + 1.0) : given;
  }

  // At(s) given x = e^s and tail, the tail at x.
  detail::LogTailStep AtTail(double s, double x, double tail) const {
    const double logTail = std::log(tail);
    const double h = upper ? logTarget - logTail : logTail - logTarget;
    return {h, std::exp(LogDensity(problem, x) + s - logTail)};
  }

  std::int32_t Tail() const { return upper ? kUpperTail : kLowerTail; }
};

// The Wilson–Hilferty quantile ν·(1 − c + z·√c)³, c = 2/(9ν), of the upper
// tail whose Gaussian deviate is z.
double WilsonHilfertyQuantile(double z, double nu) {
  const double c = 2.0 / 9.0 / nu;
  const double w = (1.0 - c) + z * std::sqrt(c);
  return nu * (w * w * w);
}

// A start for the root of the equation: the Newton run's start formulas
// for the upper tail, the leading term of the lower tail,
// P ≈ (x/2)^(ν/2)/Γ(ν/2 + 1), for the lower.
double LogStart(const TailEquation& equation) {
  const Problem& problem = equation.problem;
  const double target = std::exp(equation.logTarget);
  if (equation.upper) {
    const double z = QGaussInv(target);
    return std::log(Start(target, z, problem.nu, problem.constants.lnGammaHalfNuPlusOne));
  }
  return kLogTwo + (equation.logTarget + problem.constants.lnGammaHalfNuPlusOne) / (problem.nu * 0.5);
}

double Solve(const TailEquation& equation, double logStart) {
  const auto evaluate = [&equation](double s) { return equation.At(s); };
  return std::exp(
      detail::SolveOnLogTail(evaluate, logStart, kLowestLogX, kHighestLogX, kLogStepTolerance));
}

Problem ProblemFor(double p, double nu, const detail::ChiSquareConstants& constants) {
  const double halfNu = nu * 0.5;
  return {p,
          nu,
          halfNu - 1.0,
          std::pow(2.0, halfNu) * std::exp(constants.lnGammaHalfNu),
          halfNu * kLogTwo + constants.lnGammaHalfNu,
          constants};
}

// The smaller tail of p as the equation Refine solves: Q for p <= 1/2, else
// P = 1 − p.
TailEquation SmallerTailEquation(const Problem& problem) {
  const bool upper = problem.p <= 0.5;
  return {problem, std::log(upper ? problem.p : 1.0 - problem.p), upper};
}

// Whether the converged run's x passes Refine's keep test without the tail
// at x. For p <= 1/2 that tail is Q itself: from the run's last evaluation it
// moves by f·δ (the last step δ), up to the curvature ½·f'·δ² and the
// evaluations' own error, taken as 1e-13 relative; in ln x both together
// must stay below a tenth of the keep tolerance.
bool KeptByLastStep(const Problem& problem, const NewtonRun& run) {
  const double x = run.x;
  if (!run.converged || !(problem.p <= 0.5) || !(problem.nu < kWilsonHilfertyFrom) ||
      !(x > 0.0 && x < kInfinity)) {
    return false;
  }
  const double curvature =
      0.5 * std::fabs(problem.power / x - 0.5) * (run.lastDelta * run.lastDelta) / x;
  // The test below decreases in the slope, so a lower bound on the slope
  // that passes it settles it: the density at x - δ, where the last step
  // took it as (p - Q)/(-δ), falls by at most e^(-t) >= 1 - t to x, with
  // t = |δ|·(|ν/2 - 1|/min(x, x - δ) + ½) bounding |ln f(x) - ln f(x - δ)|;
  // the factor covers the rounding of both slopes (1e-5 relative at most,
  // for ν near 1e10). δ, p - Q and that density are normal doubles, so
  // each holds its digits (C is at least 1.9), and p is not so small that
  // a slope passing the test came from a product below the normal range.
  const double delta = run.lastDelta;
  const double gap = run.lastGap;
  const double previousX = x - delta;
  const double t = std::fabs(delta) *
                   (std::fabs(problem.power) / (x < previousX ? x : previousX) + 0.5);
  const double previousDensity = -gap / delta;
  if (t < 0.5 && std::fabs(delta) >= DBL_MIN && std::fabs(gap) >= DBL_MIN &&
      previousDensity >= DBL_MIN && problem.p >= kSlopeBoundFromP) {
    const double slopeBelow = previousDensity * (1.0 - t) * x / problem.p * kSlopeBoundFactor;
    if (slopeBelow < kInfinity && curvature + kEvaluationError / slopeBelow <= 0.1 * kKeepWithin) {
      return true;
    }
  }
  // f(x)·x/p, the slope of ln Q in ln x.
  const double logX = std::log(x);
  const double slope = std::exp(LogDensity(problem, x, logX) + logX) / problem.p;
  return curvature + kEvaluationError / slope <= 0.1 * kKeepWithin;
}

// Whether Refine evaluates the smaller tail at x (precisely at e^(ln x)),
// given whether KeptByLastStep.
bool RefineTakesTail(const Problem& problem, const NewtonRun& run, bool kept) {
  return problem.nu < kWilsonHilfertyFrom && run.x > 0.0 && run.x < kInfinity && !kept;
}

// ChiSquareInv's result given its Newton run on Q(x|ν) = p (0 < p < 1,
// 0 < ν < ∞), ending at x, the Gaussian deviate z of p, whether
// KeptByLastStep and, where RefineTakesTail, the smaller tail at e^(ln x):
// x itself where the run converged and a Newton step on the logarithm of
// the smaller tail would move it by less than 1e-8 relative, else the root
// to about 1e-12 (from ν = 1e10 on, the Wilson–Hilferty quantile of z).
double RefineWithTail(const Problem& problem, double z, const NewtonRun& run, bool kept,
                      double tail) {
  const double nu = problem.nu;
  const double x = run.x;
  const bool converged = run.converged;
  if (kept) return x;
  if (nu >= kWilsonHilfertyFrom) {
    const double quantile = WilsonHilfertyQuantile(z, nu);
    return converged && std::fabs(x - quantile) <= kKeepWithin * quantile ? x : quantile;
  }
  const TailEquation equation = SmallerTailEquation(problem);
  if (!(x > 0.0 && x < kInfinity)) return Solve(equation, LogStart(equation));
  const double s = std::log(x);
  const detail::LogTailStep step = equation.AtTail(s, std::exp(s), tail);
  const double correction = step.h / step.slope;
  if (converged && std::fabs(correction) <= kKeepWithin) return x;
  return Solve(equation, std::isfinite(correction) ? s - correction : LogStart(equation));
}

// RefineWithTail with the tail it needs (RefineTakesTail) evaluated here.
double Refine(const Problem& problem, double z, const NewtonRun& run) {
  const bool kept = KeptByLastStep(problem, run);
  if (!RefineTakesTail(problem, run, kept)) return RefineWithTail(problem, z, run, kept, kNaN);
  const TailEquation equation = SmallerTailEquation(problem);
  const double tail = detail::ChiSquareTail(std::exp(std::log(run.x)), problem.nu,
                                            equation.Tail(), problem.constants);
  return RefineWithTail(problem, z, run, kept, tail);
}

}  // namespace

namespace detail {

double SolveChiSquareQuantile(double tail, bool upper, double nu) {
  if (std::isnan(tail) || std::isnan(nu) || !(tail >= 0.0 && tail <= 1.0)) return kNaN;
  if (tail == 0.0) return upper ? kInfinity : 0.0;
  if (tail == 1.0) return upper ? 0.0 : kInfinity;
  if (!(nu > 0.0)) return nu == 0.0 ? 0.0 : kNaN;
  if (std::isinf(nu)) return kInfinity;
  if (nu >= kWilsonHilfertyFrom) {
    return WilsonHilfertyQuantile(upper ? QGaussInv(tail) : -QGaussInv(tail), nu);
  }
  const ChiSquareConstants constants = ChiSquareConstantsFor(nu);
  const Problem problem = ProblemFor(upper ? tail : 1.0 - tail, nu, constants);
  const TailEquation equation{problem, std::log(tail), upper};
  return Solve(equation, LogStart(equation));
}

}  // namespace detail

double ChiSquareInv(const double& p, const double& nu) {
  const double z = QGaussInv(p);
  if (!(p < 1.0)) return 0.0;
  if (p <= 0.0) return kInfinity;
  if (std::isnan(nu)) return nu;
  if (!(nu > 0.0)) return nu == 0.0 ? 0.0 : kNaN;
  if (std::isinf(nu)) return kInfinity;
  const detail::ChiSquareConstants constants = detail::ChiSquareConstantsFor(nu);
  const Problem problem = ProblemFor(p, nu, constants);
  NewtonRun run{Start(p, z, nu, constants.lnGammaHalfNuPlusOne)};
  while (!run.done) {
    run.Advance(problem, detail::ChiSquareTail(run.x, nu, kUpperTail, problem.constants));
  }
  return Refine(problem, z, run);
}

namespace detail {

// The tails ChiSquare(x(i), ν_i, tail) of the elements members[0 .. count)
// in chunks side by side, each ν's constants taken from its problem;
// take(i, value) receives them in order.
template <class X, class Take>
void TailsInChunks(const std::size_t* members, std::size_t count, std::int32_t tail,
                   const Problem* problem, X x, Take take) {
  for (std::size_t first = 0; first < count; first += kChiSquareChunk) {
    const std::size_t length = std::min(kChiSquareChunk, count - first);
    double xs[kChiSquareChunk];
    double degrees[kChiSquareChunk];
    ChiSquareConstants constants[kChiSquareChunk];
    for (std::size_t k = 0; k < length; ++k) {
      const std::size_t i = members[first + k];
      xs[k] = x(i);
      degrees[k] = problem[i].nu;
      constants[k] = problem[i].constants;
    }
    ChiSquareChunk tails(xs, degrees, tail, length, false, constants);
    for (std::size_t k = 0; k < length; ++k) take(members[first + k], tails.Tail(k));
  }
}

// The Gaussian deviates, each Newton step's Q(x|ν) and the refinement's
// smaller tail in lockstep (the tails in chunks of ChiSquareChunk), the
// rest element by element.
void ChiSquareInvInLockstep(const double* p, const double* nu, std::size_t count, double* result,
                            ElementFlag* flags) {
  double z[kChunkLength];
  ElementFlag deviateFlags[kChunkLength];
  QGaussInvInLockstep(p, count, z, deviateFlags);
  Problem problem[kChunkLength];
  NewtonRun run[kChunkLength];
  std::size_t active[kChunkLength];
  std::size_t activeCount = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const bool inside = p[i] > 0.0 && p[i] < 1.0 && nu[i] > 0.0 && nu[i] < kInfinity;
    flags[i] = inside ? kDone : kEvaluateScalar;
    if (!inside) continue;
    problem[i] = ProblemFor(p[i], nu[i], ChiSquareConstantsFor(nu[i]));
    run[i] = NewtonRun{Start(p[i], z[i], nu[i], problem[i].constants.lnGammaHalfNuPlusOne)};
    active[activeCount++] = i;
  }
  while (activeCount > 0) {
    std::size_t stillActive = 0;
    const auto x = [&](std::size_t i) { return run[i].x; };
    TailsInChunks(active, activeCount, kUpperTail, problem, x, [&](std::size_t i, double q) {
      run[i].Advance(problem[i], q);
      if (!run[i].done) active[stillActive++] = i;
    });
    activeCount = stillActive;
  }
  // The refinement's smaller tails, upper and lower apart, side by side.
  bool kept[kChunkLength];
  bool takesTail[kChunkLength];
  for (std::size_t i = 0; i < count; ++i) {
    if (flags[i] != kDone) continue;
    kept[i] = KeptByLastStep(problem[i], run[i]);
    takesTail[i] = RefineTakesTail(problem[i], run[i], kept[i]);
  }
  double smallerTail[kChunkLength];
  for (const std::int32_t tail : {kUpperTail, kLowerTail}) {
    std::size_t member[kChunkLength];
    std::size_t memberCount = 0;
    for (std::size_t i = 0; i < count; ++i) {
      if (flags[i] != kDone || !takesTail[i]) continue;
      if (SmallerTailEquation(problem[i]).Tail() == tail) member[memberCount++] = i;
    }
    // At e^(ln x), as the scalar refinement takes it.
    const auto x = [&](std::size_t i) { return std::exp(std::log(run[i].x)); };
    TailsInChunks(member, memberCount, tail, problem, x,
                  [&](std::size_t i, double value) { smallerTail[i] = value; });
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (flags[i] != kDone) continue;
    const double tail = takesTail[i] ? smallerTail[i] : kNaN;
    result[i] = RefineWithTail(problem[i], z[i], run[i], kept[i], tail);
  }
}

}  // namespace detail

}  // namespace specfun
