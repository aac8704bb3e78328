// The quantile of the beta distribution, solved on the smaller tail: the
// equation I(x, a, b) = P for P <= 1/2, else, by I(x, a, b) = 1 - I(1 - x,
// b, a) (A&S 26.5.2), for the complement. The unknown is u = ln(x/(1 - x));
// the density of u is log-concave, so Halley's method on g = ln I - ln P,
// kept in a shrinking bracket, converges from the leading term of the tail
// x^a/(a B(a, b)) or from the normal approximation. Its derivatives come
// with the tail: g' = x^a y^b/(B(a, b) I), g''/g' = a y - b x - g'. Each step
// is taken at the double x itself (or 1 - x, the smaller): near the root
// the correction x(1 - x) du moves that double, so that the rounding of e^u
// costs nothing, and the run ends once the step's predicted error is below
// the doubles.
#include "specfun/kernels/precise_beta_quantile.hpp"

#include <cfloat>
#include <cmath>
#include <limits>

#include "specfun/kernels/incomplete_beta_tails.hpp"
#include "specfun/kernels/log_tail_newton.hpp"
#include "specfun/kernels/math_constants.hpp"
#include "specfun/kernels/normal_tail.hpp"
#include "specfun/kernels/precise_beta.hpp"
#include "specfun/specfun.hpp"

namespace specfun::detail {
namespace {

// Roots are sought for u within ±this: x or 1 - x is 0 in double precision
// beyond ±745, and the t and F quantiles, which take u itself, stay within
// ±1500.
constexpr double kLogitLimit = 1500.0;
// The run ends once the predicted error in u is below this (kRootTolerance
// where the caller refines the root in a variable of its own).
constexpr double kSettledTolerance = 1e-17;
constexpr double kRootTolerance = 1e-9;
// Steps below this size move the double x (or 1 - x) itself.
constexpr double kLocalStep = 1e-3;
constexpr int kMaxEvaluations = 100;
constexpr double kLastUnits = 2.0 * DBL_EPSILON;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using detail::kLogHalf;

BetaPoint PointOfLogit(double u) {
  if (u < 0.0) {
    const double e = std::exp(u);
    const double x = e / (1.0 + e);
    BetaPoint point = PointAt(x);
    if (x < DBL_MIN) point.logX = Exact(u - std::log1p(e));
    return point;
  }
  const double e = std::exp(-u);
  const double y = e / (1.0 + e);
  BetaPoint point = {OneMinus(y), Exact(y)};
  if (y < DBL_MIN) point.logY = Exact(-u - std::log1p(e));
  return point;
}

// h = ln(I(x, a, b)/target) and dh/du, to the last digits.
LogTailStep Evaluate(const BetaPoint& point, double a, double b, const TailTarget& target) {
  const BetaEvaluation e = EvaluateBeta(point, a, b);
  return {LogRatioTo(target, e.tails.lower, e.logLower),
          std::exp(e.logPrefactor.hi - e.logLower.hi)};
}

// The cumulants of u = ln(X/Y), X and Y gamma variables of shapes a and b:
// κ1 = ψ(a) - ψ(b), κ2 = ψ'(a) + ψ'(b), κ3 = ψ''(a) - ψ''(b), from the
// asymptotic series of ψ (A&S 6.3.18, 6.4.12, 6.4.13) to their third terms,
// which serve a start for shapes from kCumulantShape on.
constexpr double kCumulantShape = 5.0;
double Digamma(double a) { return std::log(a) - 0.5 / a - 1.0 / (12.0 * a * a); }
double Trigamma(double a) { return (1.0 + (0.5 + 1.0 / (6.0 * a)) / a) / a; }
double Tetragamma(double a) { return -(1.0 + (1.0 + 0.5 / a) / a) / (a * a); }

// The start: the leading term's root logLeading = ln(x) of x^a/(a B(a, b)) = P
// where b x is small there (the tail is then its leading term to a few
// per cent), else the normal approximation of u with its skewness
// (Cornish–Fisher) where both shapes are large, or the plain normal one
// (mean ln(a/b), variance 1/a + 1/b).
double StartingLogit(double logTarget, double logLeading, double a, double b) {
  if (logLeading < kLogHalf && logLeading + std::log(b) <= 0.0) {
    return logLeading - std::log1p(-std::exp(logLeading));
  }
  const double z = StandardNormalQuantileOfLog(logTarget);
  if (std::fmin(a, b) < kCumulantShape) {
    if (logLeading < kLogHalf) return logLeading - std::log1p(-std::exp(logLeading));
    return std::log(a / b) + z * std::sqrt(1.0 / a + 1.0 / b);
  }
  const double variance = Trigamma(a) + Trigamma(b);
  const double sd = std::sqrt(variance);
  const double skewness = (Tetragamma(a) - Tetragamma(b)) / (variance * sd);
  return Digamma(a) - Digamma(b) + sd * (z + (z * z - 1.0) * skewness / 6.0);
}

// Halley's step on g from g = h, g' and c = g''/g' (Newton's -h/g' divided
// by 1 + ½ (-h/g') c), Newton's where that divisor is far from 1; and the
// error it leaves, about |g'''/(6 g') - c²/4| du³ (½ |c| du² for Newton's),
// with g'''/g' = c² + dc/du = c² - (a + b) x y - g' c.
struct RootStep {
  double du;
  double error;
};

RootStep HalleyStep(const LogTailStep& step, double a, double b, double x, double y) {
  const double newton = -step.h / step.slope;
  const double c = a * y - b * x - step.slope;
  const double divisor = 1.0 + 0.5 * newton * c;
  if (!(divisor > 0.5 && divisor < 2.0)) return {newton, 0.5 * std::fabs(c) * newton * newton};
  const double du = newton / divisor;
  const double third = c * c - (a + b) * x * y - step.slope * c;
  const double constant = std::fabs(third) / 6.0 + 0.25 * c * c;
  return {du, constant * std::fabs(du * du * du)};
}

// The root of I(x, a, b) = target <= 1/2, to `tolerance` in u.
PreciseBetaRoot LowerTailRoot(const TailTarget& target, double a, double b, double tolerance) {
  const double logTarget = target.log;
  const double inf = HUGE_VAL;
  // The leading term's root, with ln B(a, b) to the last digits only where
  // it decides that the root leaves the range.
  double logLeading = (logTarget + std::log(a) + LogBeta(a, b)) / a;
  if (logLeading < 1.0 - kLogitLimit) {
    logLeading = (logTarget + std::log(a) + PreciseLogBeta(a, b)) / a;
  }
  if (logLeading < -kLogitLimit) return {0.0, 1.0, std::isinf(logLeading) ? -inf : logLeading};
  double low = -kLogitLimit;
  double high = kLogitLimit;
  double u = StartingLogit(logTarget, logLeading, a, b);
  u = std::isnan(u) ? 0.0 : std::fmin(std::fmax(u, low), high);
  BetaPoint point = PointOfLogit(u);
  const double scale = std::fmin(1.0, std::sqrt(1.0 / a + 1.0 / b));
  for (int evaluation = 0; evaluation < kMaxEvaluations; ++evaluation) {
    const LogTailStep step = Evaluate(point, a, b, target);
    if (step.h == 0.0 || std::isnan(step.h)) break;
    if (step.h < 0.0) {
      low = u;
    } else {
      high = u;
    }
    const double x = point.x.hi;
    const double y = point.y.hi;
    RootStep next = {kNaN, inf};
    if (step.slope > 0.0 && std::isfinite(step.slope)) next = HalleyStep(step, a, b, x, y);
    const double moved = u + next.du;
    const bool normal = x >= DBL_MIN && y >= DBL_MIN;
    if (!(moved >= low && moved <= high)) {
      u = 0.5 * (low + high);
      point = PointOfLogit(u);
    } else if (std::fabs(next.du) <= kLocalStep && normal) {
      // x(u + du) = x + x y E/(1 + x E), E = e^du - 1, on the smaller side.
      const double e = std::expm1(next.du);
      const double move = x * y * e / (1.0 + x * e);
      const bool onX = u < 0.0;
      point = onX ? PointAt(x + move) : BetaPoint{OneMinus(y - move), Exact(y - move)};
      u = moved;
      // A move of a unit or two in the last place ends the run: where the
      // tail is that steep the root lies between neighbouring doubles.
      if (std::fabs(move) <= kLastUnits * (onX ? x : y)) break;
    } else {
      u = moved;
      point = PointOfLogit(u);
    }
    // The predicted error holds for steps well inside the scale of u,
    // √(1/a + 1/b) at the centre.
    const bool local = std::fabs(next.du) <= kLocalStep * scale;
    if ((local && next.error <= tolerance) || high - low <= tolerance) break;
  }
  const double x = point.x.hi;
  const double y = point.y.hi;
  if (x < DBL_MIN || y < DBL_MIN) return {x, y, u};
  return {x, y, std::log(x) - std::log(y)};
}

}  // namespace

TailTarget SmallerTailTarget(double argument, bool isLog) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  if (isLog) {
    if (!(argument <= 0.0)) return {nan, nan, false};
    if (argument < kLogHalf) {
      return {argument, argument > std::log(kTargetValueFloor) ? std::exp(argument) : 0.0, false};
    }
    const double complement = -std::expm1(argument);
    return {std::log(complement), complement, true};
  }
  if (!(argument >= 0.0 && argument <= 1.0)) return {nan, nan, false};
  if (argument <= 0.5) return {std::log(argument), argument, false};
  return {std::log1p(-argument), 1.0 - argument, true};
}

double CentralShare(double argument, bool isLog) {
  if (!isLog) return std::fabs(2.0 * argument - 1.0);
  const DoubleDouble sum = TwoSum(argument, kLogTwoDoubleDouble.hi) + kLogTwoDoubleDouble.lo;
  return std::fabs(std::expm1(sum.hi) + std::exp(sum.hi) * sum.lo);
}

double LogRatioTo(const TailTarget& target, double tailValue, const DoubleDouble& logTail) {
  if (target.value >= kTargetValueFloor && tailValue >= kTargetValueFloor) {
    return std::log(tailValue / target.value);
  }
  // Infinite logarithms (a tail or target of 0) compare as they are.
  if (std::isinf(target.log) || std::isinf(logTail.hi)) return logTail.hi - target.log;
  return (logTail - target.log).hi;
}

PreciseBetaRoot PreciseBetaQuantile(const TailTarget& target, bool upper, double a, double b,
                                    bool refined) {
  const double tolerance = refined ? kSettledTolerance : kRootTolerance;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  if (std::isnan(target.log) || !(a > 0.0) || !(b > 0.0)) return {nan, nan, nan};
  if (!upper) return LowerTailRoot(target, a, b, tolerance);
  const PreciseBetaRoot root = LowerTailRoot(target, b, a, tolerance);
  return {root.y, root.x, -root.logRatio};
}

double NewtonOnLogTail(double v, double h, double logTail, double logSlope, bool rising) {
  const double slope = std::exp(logSlope - logTail);
  const double step = h / slope;
  return rising ? v - step : v + step;
}

}  // namespace specfun::detail
