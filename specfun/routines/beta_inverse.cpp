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
// (beta_quantile.cpp). The inverses t and F take 1 - x from there.
#include <cfloat>
#include <cmath>
#include <limits>

#include "specfun/kernels/batch.hpp"
#include "specfun/kernels/inline_calls.hpp"
#include "specfun/routines/beta_quantile.hpp"
#include "specfun/routines/chi_square_inverse.hpp"
#include "specfun/routines/gauss_inverse.hpp"
#include "specfun/routines/incomplete_beta.hpp"
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
// (its quantum is 1.1e-16).
constexpr double kComplementKeptAbove = 1e-7;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Above this parameter BETAF needs thousands of levels per step and the
// Newton run is not made: the quantile is solved for directly.
constexpr double kNewtonRunUpTo = 1e6;
// The refinement keeps x within 1e-8 relative of the root; the run's x is
// kept without it where its error is bounded by 3e-9 relative.
constexpr double kKeptBoundFraction = 3e-9;
// The continued fraction's error in BETAF beyond its tolerance of 1e-12 on
// successive approximants, and the relative error of a tail per unit of the
// magnitude of the exponent its prefactor is formed from (4.5 roundings).
constexpr double kFractionError = 1e-11;
constexpr double kTailRelativeError = 1e-15;
// Factors that take a bound on |ln v| past the rounding of its terms.
constexpr double kAboveRounding = 1.0 + 1e-9;
constexpr double kBelowRounding = 1.0 - 1e-9;

// The error Newton's method leaves after its step delta, about
// |I''/(2 I')|·delta², with I''/I' = (a - 1)/x - (b - 1)/(1 - x) for the
// beta density. The stopping rule lets this reach a·1e-6 of x in the tail
// x^a; where it exceeds 1e-8 of x (or of 1 - x) one more step is taken.
double NewtonErrorAfter(double delta, double x, double a, double b) {
  const double curvature = (a - 1.0) / x - (b - 1.0) / (1.0 - x);
  return 0.5 * std::fabs(curvature) * delta * delta;
}

bool IsHalf(double v) { return 2.0 * v - 1.0 == 0.0; }

// fmax(a, b) > kNewtonRunUpTo, a NaN counting as absent.
bool BeyondNewtonRun(double a, double b) { return a > kNewtonRunUpTo || b > kNewtonRunUpTo; }

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

// The start where it needs no evaluation of I: sets x and returns true.
bool StartWithoutTails(double y, double a, double b, double& x) {
  if (IsHalf(a)) {
    x = kStartWhenAIsHalf;
  } else if (IsHalf(b)) {
    x = kStartWhenBIsHalf;
  } else {
    x = PercentagePointStart(y, a, b);
    return x > 0.0 && x < 1.0;
  }
  return true;
}

double Start(double p, double y, double a, double b, double logBeta, double negativeLogBeta) {
  double x;
  if (StartWithoutTails(y, a, b, x)) return x;
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
  bool kept;       // whether the refinement is known to keep x
};

// What stays fixed through BetaInv's Newton run.
struct NewtonProblem {
  double p;
  double a;
  double b;
  double logBeta;
  double beta;
  // BETAF(x, a, b) at every step, with its -ln B(a, b) formed once from the
  // same three ln Γ values in BETAF's order: the same bits, two thirds fewer
  // ln Γ.
  double negativeLogBeta;
  // |ln Γ(a)| + |ln Γ(b)| + |ln Γ(a + b)|, the scale of the rounding in
  // ln B(a, b).
  double logGammaScale;
};

NewtonProblem ProblemFor(double p, double a, double b, double lnGammaA, double lnGammaB,
                         double lnGammaSum) {
  const double logBeta = lnGammaA + lnGammaB - lnGammaSum;
  return {p,
          a,
          b,
          logBeta,
          std::exp(logBeta),
          lnGammaSum - lnGammaA - lnGammaB,
          std::fabs(lnGammaA) + std::fabs(lnGammaB) + std::fabs(lnGammaSum)};
}

// Newton's step for I(x, a, b) = p from x, given value = I(x, a, b), kept
// inside [0, 1].
double NewtonStep(const NewtonProblem& problem, double x, double value) {
  const double p = problem.p;
  const double a = problem.a;
  const double b = problem.b;
  double delta;
  // The integrand of B(a, b); integrand / B is the density at x.
  const double integrand = std::pow(x, a - 1.0) * std::pow(1.0 - x, b - 1.0);
  if (std::isnormal(problem.beta) && std::isnormal(integrand)) {
    delta = (p - value) * problem.beta / integrand;
  } else {
    // B or the integrand zero, subnormal, infinite (or 0·∞): the same
    // Newton step in logarithms.
    delta = (p - value) *
            std::exp(problem.logBeta - (a - 1.0) * std::log(x) - (b - 1.0) * std::log(1.0 - x));
  }
  if (x + delta > 1.0) delta = (1.0 - x) * kStepFraction;
  if (!(x + delta >= 0.0)) delta = -(x * kStepFraction);
  return delta;
}

// The Newton run between its evaluations of I: at most 40 steps, and one
// more where the last step leaves too large an error.
struct NewtonRun {
  double x;
  int steps = 0;
  bool lastStep = false;
  bool done = false;
  bool converged = false;
  // The last step, the miss p - I it was taken for, and whether that I came
  // without a report (the fraction converging within 20 iterations).
  double lastDelta = 0.0;
  double lastGap = 0.0;
  bool lastSettled = false;

  // The step from x given value = I(x, a, b), settled as IncompleteBeta
  // sets it.
  void Advance(const NewtonProblem& problem, double value, bool settled) {
    const double delta = NewtonStep(problem, x, value);
    x = x + delta;
    lastDelta = delta;
    lastGap = problem.p - value;
    lastSettled = settled;
    if (lastStep) {
      done = true;
      converged = true;
      return;
    }
    if (std::fabs(delta) < Tolerance(x)) {
      lastStep = NewtonErrorAfter(delta, x, problem.a, problem.b) >
                 kFinalStepThreshold * std::fmin(x, 1.0 - x);
      done = !lastStep;
      converged = true;
      return;
    }
    done = ++steps == kNewtonSteps;
  }
};

// Whether the refinement keeps the converged run's x without evaluating the
// tail at x: where x and 1 - x are each within 1e-8 relative of the root,
// judged from the last step δ, taken from x - δ with the density
// f = (p - I)/δ there. x then lies off the root by at most Newton's error
// ½|f'/f|δ², the error of I(x - δ) over f (the continued fraction's
// tolerance where it converged within 20 iterations, and the rounding of
// ln B and of the prefactor's exponent; a slower fraction is not bounded), the
// rounding of x and δ, and the refinement itself errs by its tail's
// relative error over the slope; with margins of two, all of it must stay
// below 3e-9 relative, under a third of the tolerance.
bool KeptByLastStep(const NewtonProblem& problem, const NewtonRun& run) {
  const double x = run.x;
  const double y = 1.0 - x;
  const double delta = run.lastDelta;
  if (!run.converged || !run.lastSettled || !(x > 0.0 && y > 0.0) || delta == 0.0 ||
      !(std::fabs(delta) < Tolerance(x))) {
    return false;
  }
  const double density = run.lastGap / delta;
  if (!(density > 0.0 && density < kInfinity)) return false;
  const double a = problem.a;
  const double b = problem.b;
  const double p = problem.p;
  // Neither p, x nor y is a NaN here: the smaller of each pair is plain.
  const double smallerTail = p < 1.0 - p ? p : 1.0 - p;
  const double newtonError = NewtonErrorAfter(delta, x, a, b);
  const double rounding =
      DBL_EPSILON * (x + std::fabs(delta) * (std::fabs(a - 1.0) + std::fabs(b - 1.0) + 16.0));
  const double limit = kKeptBoundFraction * (x < y ? x : y);
  // The bound given |ln x| and |ln y|; every operation is monotone in them.
  const auto bound = [&](double logX, double logY) {
    const double exponentScale = problem.logGammaScale + a * logX + b * logY + 1.0;
    const double relativeError = kTailRelativeError * exponentScale;
    const double evaluation = (kFractionError + relativeError * (1.0 + smallerTail)) / density;
    return 2.0 * (newtonError + evaluation) + rounding;
  };
  // The logarithms are taken only where the bound from the enclosures
  // 1 - v <= -ln v <= (1 - v)/v (0 < v < 1) leaves the outcome open; the
  // factors cover the rounding of ln, of y = 1 - x and of the quotients.
  const double complementOfY = 1.0 - y;
  if (bound(y / x * kAboveRounding, complementOfY / y * kAboveRounding) <= limit) return true;
  if (bound(y * kBelowRounding, complementOfY * kBelowRounding) > limit) return false;
  return bound(std::fabs(std::log(x)), std::fabs(std::log(y))) <= limit;
}

// BetaInv's Newton run from its start, for 0 < p < 1 and a, b not both 1/2;
// y is the Gaussian deviate of p.
Iteration RunNewton(double p, double y, double a, double b) {
  const NewtonProblem problem = ProblemFor(p, a, b, LnGamma(a), LnGamma(b), LnGamma(a + b));
  NewtonRun run{Start(p, y, a, b, problem.logBeta, problem.negativeLogBeta)};
  // Whether a and b take BETAF's fraction (which x inside (0, 1) then does).
  const bool fraction = detail::TakesFortyOneIterationFraction(0.5, a, b);
  while (!run.done) {
    bool settled = true;
    const double x = run.x;
    const double value =
        fraction && x > 0.0 && x < 1.0
            ? detail::FortyOneIterationFraction(x, a, b, problem.negativeLogBeta, settled)
            : detail::IncompleteBeta(x, a, b, problem.negativeLogBeta, settled);
    run.Advance(problem, value, settled);
  }
  return {run.x, run.converged, KeptByLastStep(problem, run)};
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

// The quantile where BetaInv makes no Newton run, for 0 < p < 1 or a NaN p:
// sets q and returns true.
bool QuantileWithoutRun(double p, double a, double b, detail::BetaQuantile& q) {
  if (std::isnan(p) || !(a >= 0.0 && b >= 0.0) || (a == b && (a == 0.0 || std::isinf(a)))) {
    q = {kNaN, kNaN, kNaN};
  } else if (std::isinf(a) || b == 0.0) {
    // The distribution gathers at 1 as a grows without bound or b tends to 0
    // (the half of a subnormal ν), at 0 as b grows or a tends to 0.
    q = {1.0, 0.0, kInfinity};
  } else if (std::isinf(b) || a == 0.0) {
    q = {0.0, 1.0, -kInfinity};
  } else if (IsHalf(a) && IsHalf(b)) {
    q = HalfHalf(p);
  } else if (BeyondNewtonRun(a, b)) {
    q = detail::LargeParameterBetaQuantile(p, a, b);
  } else {
    return false;
  }
  return true;
}

// The quantile from the Newton run's result. Where the run's x is kept, its
// logRatio is formed only for x below the normal range, the one case in
// which the callers read it (OddsRatio forms the odds from x and 1 - x
// elsewhere), and is NaN otherwise.
detail::BetaQuantile Completed(double p, double a, double b, const Iteration& run) {
  if (run.kept) {
    const double x = run.x;
    const double y = 1.0 - x;
    return {x, y, x >= DBL_MIN ? kNaN : std::log(x / y)};
  }
  return detail::RefineBetaQuantile(p, a, b, run.x, run.converged);
}

// x = BetaInv(p, a, b) with 1 - x to its own precision, after the Gaussian
// deviate of p, which reports a p outside [0, 1]. NaN for a NaN p, a
// negative or NaN parameter, and a = b = 0 or ∞.
SPECFUN_INLINE_CALLS
detail::BetaQuantile BetaQuantileOf(double p, double a, double b) {
  const double y = QGaussInv(p);
  if (p <= 0.0) return {0.0, 1.0, -kInfinity};
  if (p >= 1.0) return {1.0, 0.0, kInfinity};
  detail::BetaQuantile q;
  if (QuantileWithoutRun(p, a, b, q)) return q;
  return Completed(p, a, b, RunNewton(p, y, a, b));
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
// cannot resolve the offset, or where the kept x and 1 - x leave the odds
// too far from the root's, and does not overflow before the power.
double OddsRatio(const detail::BetaQuantile& q, double a, double b, double power) {
  if (q.oddsFromLogRatio || BeyondNewtonRun(a, b) || !(q.x >= DBL_MIN && q.y >= DBL_MIN)) {
    return std::exp(power * ((std::log(a) - std::log(b)) - q.logRatio));
  }
  const double ratio = (q.y * a) / (q.x * b);
  return power == 1.0 ? ratio : std::sqrt(ratio);
}

}  // namespace

double BetaInv(const double& p, const double& a, const double& b) {
  return BetaQuantileOf(p, a, b).x;
}

namespace {

// The three inverses as the quantile of I(x, a, b) = p: the parameters,
// the answers that need no quantile, and the answer from the quantile.
struct InverseByQuantile {
  double p;
  double a;
  double b;
};

InverseByQuantile BetaInvTask(double p, double a, double b) { return {p, a, b}; }
InverseByQuantile FDistInvTask(double p, double nu1, double nu2) {
  return {p, 0.5 * nu2, 0.5 * nu1};
}
InverseByQuantile StudentInvTask(double p, double nu) { return {p, 0.5 * nu, 0.5}; }

bool NoDirectAnswer(double&) { return false; }

// Infinite degrees of freedom: F is χ²(ν1)/ν1, ν2/χ²(ν2) or 1; both of them
// subnormal: F is 0 or ∞.
bool FDistInvDirect(double p, double nu1, double nu2, double& f) {
  const InverseByQuantile task = FDistInvTask(p, nu1, nu2);
  const double a = task.a;
  const double b = task.b;
  // Both halves 0 (subnormal ν1, ν2): x is 0 with probability ν1/(ν1 + ν2)
  // and 1 otherwise.
  if (InsideUnitInterval(p) && a == 0.0 && b == 0.0 && nu1 > 0.0 && nu2 > 0.0) {
    f = p < nu1 / (nu1 + nu2) ? kInfinity : 0.0;
    return true;
  }
  if (!(InsideUnitInterval(p) && (std::isinf(a) || std::isinf(b)) && !(a < 0.0 || b < 0.0))) {
    return false;
  }
  if (std::isinf(a) && std::isinf(b)) {
    f = 1.0;
  } else if (std::isinf(a)) {
    f = ChiSquareQuantileOf(p, true, nu1) / nu1;
  } else {
    f = nu2 / ChiSquareQuantileOf(p, false, nu2);
  }
  return true;
}

// Infinitely many degrees of freedom: the normal deviate of p/2, the square
// root of the χ²(1) quantile.
bool StudentInvDirect(double p, double nu, double& t) {
  if (!(InsideUnitInterval(p) && nu == kInfinity)) return false;
  t = std::sqrt(ChiSquareQuantileOf(p, true, 1.0));
  return true;
}

double FFromQuantile(const InverseByQuantile& task, const detail::BetaQuantile& q) {
  if (std::isnan(q.x)) return q.x;
  // The ends, also where a or b is 0 after halving a subnormal ν.
  if (q.logRatio == -kInfinity) return kInfinity;
  if (q.logRatio == kInfinity) return 0.0;
  return OddsRatio(q, task.a, task.b, 1.0);
}

double TFromQuantile(const InverseByQuantile& task, const detail::BetaQuantile& q) {
  // With one degree of freedom x = sin²(πp/2) underflows for p below about
  // 1e-154 while t = cot(πp/2) is still finite: take t from the angle.
  if (IsHalf(task.a) && task.p > 0.0 && q.x < DBL_MIN) return 1.0 / std::tan(task.p * kHalfPi);
  if (std::isnan(q.x)) return q.x;
  if (q.logRatio == -kInfinity) return kInfinity;
  if (q.logRatio == kInfinity) return 0.0;
  return OddsRatio(q, task.a, task.b, 0.5);
}

}  // namespace

double FDistInv(const double& p, const double& nu1, const double& nu2) {
  double f;
  if (FDistInvDirect(p, nu1, nu2, f)) return f;
  const InverseByQuantile task = FDistInvTask(p, nu1, nu2);
  return FFromQuantile(task, BetaQuantileOf(task.p, task.a, task.b));
}

double StudentInv(const double& p, const double& nu) {
  double t;
  if (StudentInvDirect(p, nu, t)) return t;
  const InverseByQuantile task = StudentInvTask(p, nu);
  return TFromQuantile(task, BetaQuantileOf(task.p, task.a, task.b));
}

namespace {

// The inverses of a chunk side by side: the Gaussian deviates, the ln Γ
// values and each Newton step's incomplete beta function in lockstep, the
// rest element by element, the incomplete beta function's reports held back
// for the ordered stage. An element whose p lies outside (0, 1) or whose
// start needs the tails' evaluation is left to the scalar routine, in order.
// taskOf(i) gives element i's quantile problem, direct(i, r) its answer
// without one (setting r, returning true), answer(task, q) its answer from
// the quantile q.
template <class TaskOf, class Direct, class Answer>
void InverseInLockstep(std::size_t begin, std::size_t end, double* result,
                       detail::ElementFlag* flags, detail::DeferredRecords& records, TaskOf taskOf,
                       Direct direct, Answer answer) {
  using detail::kChunkLength;
  InverseByQuantile task[kChunkLength];
  double p[kChunkLength] = {};
  std::size_t quantile[kChunkLength];
  std::size_t quantileCount = 0;
  for (std::size_t i = begin; i < end; ++i) {
    flags[i - begin] = detail::kDone;
    task[quantileCount] = taskOf(i);
    if (!InsideUnitInterval(task[quantileCount].p)) {
      flags[i - begin] = detail::kEvaluateScalar;
    } else if (!direct(i, result[i])) {
      p[quantileCount] = task[quantileCount].p;
      quantile[quantileCount++] = i;
    }
  }
  double y[kChunkLength];
  detail::ElementFlag deviateFlags[kChunkLength];
  detail::QGaussInvInLockstep(p, quantileCount, y, deviateFlags);

  // Those that take the Newton run, by their index among the quantiles.
  std::size_t run[kChunkLength];
  std::size_t runCount = 0;
  double a[kChunkLength] = {};
  double b[kChunkLength] = {};
  for (std::size_t k = 0; k < quantileCount; ++k) {
    detail::BetaQuantile q;
    if (QuantileWithoutRun(task[k].p, task[k].a, task[k].b, q)) {
      result[quantile[k]] = answer(task[k], q);
    } else {
      a[runCount] = task[k].a;
      b[runCount] = task[k].b;
      run[runCount++] = k;
    }
  }
  double lnGammaA[kChunkLength];
  double lnGammaB[kChunkLength];
  double lnGammaSum[kChunkLength];
  detail::LnGammaOfPairsInLockstep(a, b, runCount, lnGammaA, lnGammaB, lnGammaSum);

  NewtonProblem problem[kChunkLength];
  NewtonRun state[kChunkLength];
  std::size_t active[kChunkLength];
  std::size_t activeCount = 0;
  for (std::size_t r = 0; r < runCount; ++r) {
    const InverseByQuantile& t = task[run[r]];
    problem[r] = ProblemFor(t.p, t.a, t.b, lnGammaA[r], lnGammaB[r], lnGammaSum[r]);
    double start;
    if (StartWithoutTails(y[run[r]], t.a, t.b, start)) {
      state[r] = NewtonRun{start};
      active[activeCount++] = r;
    } else {
      flags[quantile[run[r]] - begin] = detail::kEvaluateScalar;
    }
  }
  while (activeCount > 0) {
    double x[kChunkLength];
    double negativeLogBeta[kChunkLength];
    for (std::size_t k = 0; k < activeCount; ++k) {
      const std::size_t r = active[k];
      x[k] = state[r].x;
      a[k] = problem[r].a;
      b[k] = problem[r].b;
      negativeLogBeta[k] = problem[r].negativeLogBeta;
    }
    double value[kChunkLength];
    detail::ElementFlag valueFlags[kChunkLength];
    const std::size_t first = records.size();
    detail::IncompleteBetaInLockstep(x, a, b, negativeLogBeta, activeCount, value, valueFlags,
                                     records);
    for (std::size_t k = first; k < records.size(); ++k) {
      const std::size_t element = quantile[run[active[records[k].element]]];
      records[k].element = element;
      flags[element - begin] = detail::kDeferred;
    }
    std::size_t stillActive = 0;
    for (std::size_t k = 0; k < activeCount; ++k) {
      const std::size_t r = active[k];
      const std::size_t element = quantile[run[r]];
      if (valueFlags[k] == detail::kEvaluateScalar) {
        flags[element - begin] = detail::kEvaluateScalar;
        continue;
      }
      state[r].Advance(problem[r], value[k], valueFlags[k] == detail::kDone);
      if (!state[r].done) {
        active[stillActive++] = r;
        continue;
      }
      const InverseByQuantile& t = task[run[r]];
      result[element] = answer(t, Completed(t.p, t.a, t.b,
                                               {state[r].x, state[r].converged,
                                                KeptByLastStep(problem[r], state[r])}));
    }
    activeCount = stillActive;
  }
}

template <class TaskOf, class Direct, class Answer, class Scalar>
void InverseBatch(std::size_t count, double* result, TaskOf taskOf, Direct direct, Answer answer,
                  Scalar scalar) {
  detail::RunBatch(
      count,
      [=](std::size_t begin, std::size_t end, detail::ElementFlag* flags,
          detail::DeferredRecords& records) {
        InverseInLockstep(begin, end, result, flags, records, taskOf, direct, answer);
      },
      [=](std::size_t i) { result[i] = scalar(i); });
}

}  // namespace

void BetaInvBatch(const double* p, const double* a, const double* b, double* result,
                  std::size_t count) {
  InverseBatch(
      count, result, [=](std::size_t i) { return BetaInvTask(p[i], a[i], b[i]); },
      [](std::size_t, double& r) { return NoDirectAnswer(r); },
      [](const InverseByQuantile&, const detail::BetaQuantile& q) { return q.x; },
      [=](std::size_t i) { return BetaInv(p[i], a[i], b[i]); });
}

void FDistInvBatch(const double* p, const double* nu1, const double* nu2, double* result,
                   std::size_t count) {
  InverseBatch(
      count, result, [=](std::size_t i) { return FDistInvTask(p[i], nu1[i], nu2[i]); },
      [=](std::size_t i, double& r) { return FDistInvDirect(p[i], nu1[i], nu2[i], r); },
      FFromQuantile, [=](std::size_t i) { return FDistInv(p[i], nu1[i], nu2[i]); });
}

void StudentInvBatch(const double* p, const double* nu, double* result, std::size_t count) {
  InverseBatch(
      count, result, [=](std::size_t i) { return StudentInvTask(p[i], nu[i]); },
      [=](std::size_t i, double& r) { return StudentInvDirect(p[i], nu[i], r); }, TFromQuantile,
      [=](std::size_t i) { return StudentInv(p[i], nu[i]); });
}

}  // namespace specfun
