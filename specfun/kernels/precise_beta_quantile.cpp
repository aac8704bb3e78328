// The quantile of the beta distribution, solved on the smaller tail: the
// equation I(x, a, b) = P for P <= 1/2, else, by I(x, a, b) = 1 - I(1 - x,
// b, a) (A&S 26.5.2), for the complement. The unknown is u = ln(x/(1 - x));
// the density of u is log-concave, so Newton's method on ln I - ln P, kept
// in a shrinking bracket (SolveOnLogTail), converges from the leading term
// of the tail x^a/(a B(a, b)) or from the normal approximation. The root in
// u is then refined at the double x itself: the tails are evaluated there
// exactly and Newton's correction x(1 - x) du moves x by a few units in its
// last place, so that the rounding of e^u costs nothing.
#include "specfun/kernels/precise_beta_quantile.hpp"

#include <cfloat>
#include <cmath>
#include <limits>

#include "specfun/routines/gauss_inverse.hpp"
#include "specfun/kernels/incomplete_beta_tails.hpp"
#include "specfun/kernels/precise_beta.hpp"
#include "specfun/kernels/log_tail_newton.hpp"
#include "specfun/specfun.hpp"

namespace specfun::detail {
namespace {

// Roots are sought for u within ±this: x or 1 - x is 0 in double precision
// beyond ±745, and the t and F quantiles, which take u itself, stay within
// ±1500.
constexpr double kLogitLimit = 1500.0;
// The Newton run in u ends at a step below this (relative to max(1, |u|));
// the refinements at the double x take it the rest of the way.
constexpr double kStepTolerance = 1e-6;
constexpr int kRefinements = 2;
constexpr double kLogHalf = -0.69314718055994531;

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

// The same from the tails to double precision (LogIncompleteBetaTails),
// for the steps that only approach the root.
LogTailStep Approach(const BetaPoint& point, double a, double b, const TailTarget& target) {
  const double x = point.x.hi;
  const double y = point.y.hi;
  const double logX = std::isnan(point.logX.hi) ? std::log(x) : point.logX.hi;
  const double logY = std::isnan(point.logY.hi) ? std::log(y) : point.logY.hi;
  const LogBetaTails tails = LogIncompleteBetaTails(x, y, logX, logY, a, b);
  return {tails.lower - target.log, std::exp(tails.logPrefactor - tails.lower)};
}

// From the leading term's root logLeading = ln(x) of x^a/(a B(a, b)) = P.
double StartingLogit(double logTarget, double logLeading, double a, double b) {
  if (logLeading < kLogHalf) return logLeading - std::log1p(-std::exp(logLeading));
  // The normal approximation of u, of mean ln(a/b) and variance 1/a + 1/b.
  const double z = -QGaussInv(std::exp(logTarget));
  return std::log(a / b) + z * std::sqrt(1.0 / a + 1.0 / b);
}

// The root of I(x, a, b) = target <= 1/2.
PreciseBetaRoot LowerTailRoot(const TailTarget& target, double a, double b, int refinements) {
  const double logTarget = target.log;
  const double logLeading = (logTarget + std::log(a) + PreciseLogBeta(a, b)) / a;
  const double inf = HUGE_VAL;
  if (logLeading < -kLogitLimit) return {0.0, 1.0, std::isinf(logLeading) ? -inf : logLeading};
  const auto evaluate = [&](double u) { return Approach(PointOfLogit(u), a, b, target); };
  double u = SolveOnLogTail(evaluate, StartingLogit(logTarget, logLeading, a, b), -kLogitLimit,
                            kLogitLimit, kStepTolerance);
  const BetaPoint point = PointOfLogit(u);
  if (point.x.hi < DBL_MIN || point.y.hi < DBL_MIN) return {point.x.hi, point.y.hi, u};
  // The double x itself (or 1 - x, where that is the smaller), refined.
  double x = point.x.hi;
  double y = point.y.hi;
  const bool onX = u < 0.0;
  for (int k = 0; k < refinements; ++k) {
    const BetaPoint exact = onX ? PointAt(x) : BetaPoint{OneMinus(y), Exact(y)};
    const LogTailStep step = Evaluate(exact, a, b, target);
    if (step.h == 0.0 || !std::isfinite(step.slope)) break;
    const double move = -step.h / step.slope * x * y;
    if (onX) {
      x += move;
      y = 1.0 - x;
    } else {
      y -= move;
      x = 1.0 - y;
    }
  }
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
  const DoubleDouble sum = TwoSum(argument, kLogTwo.hi) + kLogTwo.lo;
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
  const int refinements = refined ? kRefinements : 0;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  if (std::isnan(target.log) || !(a > 0.0) || !(b > 0.0)) return {nan, nan, nan};
  if (!upper) return LowerTailRoot(target, a, b, refinements);
  const PreciseBetaRoot root = LowerTailRoot(target, b, a, refinements);
  return {root.y, root.x, -root.logRatio};
}

double NewtonOnLogTail(double v, double h, double logTail, double logSlope, bool rising) {
  const double slope = std::exp(logSlope - logTail);
  const double step = h / slope;
  return rising ? v - step : v + step;
}

}  // namespace specfun::detail
