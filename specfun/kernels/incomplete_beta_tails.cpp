// Both tails of the regularized incomplete beta function, I(x, a, b) and
// 1 - I(x, a, b), each to a small error relative to its own size, for any
// a, b > 0 up to the largest double, and their logarithms: the choice of
// method by region, written once for the tails and their logarithms.
//
// The prefactor x^a y^b / B(a, b) comes from the integrand's exponent and
// Stirling's remainders (beta_prefactor.hpp), D = x b - y a from exact
// products.
// - min(a, b) below kUniformExpansionStart: where (a + b) times the smaller
//   of x and y is at most 20, the series of positive terms of A&S 26.5.23 at
//   that argument (beta_series.hpp); elsewhere the continued fraction of
//   DiDonato and Morris (beta_fraction.hpp) for the tail on the side of the
//   mean where x lies, with D entering it exactly. The other tail is the
//   complement, or taken directly where that would be small: by the
//   fraction, or, where a parameter below 1e-2 puts nearly all the mass
//   beside the series' argument, as -expm1 of the logarithm of the series'
//   tail, formed from parts that are all small.
// - Otherwise Temme's uniform asymptotic expansion for large a and b
//   (beta_uniform_expansion.hpp).
#include "specfun/kernels/incomplete_beta_tails.hpp"

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <limits>

#include "specfun/kernels/batch.hpp"
#include "specfun/kernels/beta_fraction.hpp"
#include "specfun/kernels/beta_prefactor.hpp"
#include "specfun/kernels/beta_series.hpp"
#include "specfun/kernels/beta_uniform_expansion.hpp"
#include "specfun/kernels/lanes.hpp"
#include "specfun/kernels/stirling_remainder.hpp"
#include "specfun/specfun.hpp"

namespace specfun::detail {
namespace {

// A complement below this is taken directly rather than as 1 - the other.
constexpr double kComplementFloor = 1e-2;

double NaN() { return std::numeric_limits<double>::quiet_NaN(); }

// IncompleteBetaTails up to the continued fraction: the tails, or where they
// wait for FractionDenominator(x, a, b, g), its arguments, the logarithm of
// the prefactor it divides and the side of the tail it gives.
struct TailsPlan {
  BetaTails tails;
  bool waits;
  bool upper;
  double x;
  double a;
  double b;
  double g;
  double logPrefactor;
};

// The rounding of the prefactor's exponent (up to 5e-14 at the smallest
// parameters) can carry a tail of nearly 1 past it.
// (As fmin(t, 1): a NaN gives 1.)
double AtMostOne(double t) { return t <= 1.0 ? t : 1.0; }
BetaTails AtMostOne(BetaTails tails) { return {AtMostOne(tails.lower), AtMostOne(tails.upper)}; }

TailsPlan Finished(BetaTails tails) { return {tails, false, false, 0.0, 0.0, 0.0, 0.0, 0.0}; }

// The tail x^a y^b / (B(a, b) fraction) on the plan's side and the other as
// its complement.
BetaTails FromFraction(const TailsPlan& plan, double fraction) {
  const double tail = std::exp(plan.logPrefactor) / fraction;
  return AtMostOne(plan.upper ? BetaTails{1.0 - tail, tail} : BetaTails{tail, 1.0 - tail});
}

// The plan of the tail below the mean I(x, a, b), the upper one where
// `upper`, with ln(x^a y^b / B(a, b)) = logPrefactor and g = a y - b x.
TailsPlan SmallerTailPlan(double x, double a, double b, double g, double logPrefactor,
                          bool upper) {
  if (logPrefactor < kLogSmallestSubnormal) {
    return Finished(upper ? BetaTails{1.0, 0.0} : BetaTails{0.0, 1.0});
  }
  return {{}, true, upper, x, a, b, g, logPrefactor};
}

// I(x, a, b) for x below the mean, x^a y^b / B(a, b) over the fraction,
// with ln(x^a y^b / B(a, b)) = logPrefactor and g = a y - b x.
double SmallerTail(double x, double a, double b, double g, double logPrefactor) {
  if (logPrefactor < kLogSmallestSubnormal) return 0.0;
  return std::exp(logPrefactor) / FractionDenominator(x, a, b, g);
}

// The fraction's arguments for the tail on the side of the mean where x
// lies: I(x, a, b) below it (D <= 0), 1 - I(x, a, b) = I(y, b, a) above.
struct FractionSide {
  double x;
  double a;
  double b;
  double g;
  bool upper;
};

FractionSide SideOfMean(double x, double y, double a, double b, double d) {
  return d <= 0.0 ? FractionSide{x, a, b, -d, false} : FractionSide{y, b, a, d, true};
}

// The fraction is taken at x below the mean (D <= 0) and at y above it, so
// that it gives the smaller tail, or one not far above a half. Where
// (a + b) times the smaller argument is small (a gamma-like tail, in which
// the fraction converges slowly near the mean) the series at that argument
// gives its tail, and the other is its complement unless that would be
// below kComplementFloor, when it is taken directly; where the series' tail
// holds nearly all the mass, both come from LogTailNearOne. Given are the
// deviation d, logSum = LogSum(a, b) and the prefactor's logarithm.
TailsPlan ByFractionGiven(double x, double y, double a, double b, double d, double logSum,
                          double logPrefactor) {
  const bool xSmaller = x <= y;
  const double smaller = xSmaller ? x : y;
  if (WithinSeriesReach(logSum, smaller)) {
    double near = xSmaller ? SeriesTail(x, a, b, logPrefactor) : SeriesTail(y, b, a, logPrefactor);
    double far = 1.0 - near;
    if (far < kComplementFloor) {
      const SeriesSide side = SideOfSmallerArgument(x, y, a, b, d);
      if (NearlyAllMass(side.t, side.c, side.e)) {
        const double logNear = LogTailNearOne(side.t, side.c, side.e);
        near = std::exp(logNear);
        far = -std::expm1(logNear);
      } else {
        far = SmallerTail(side.s, side.e, side.c, side.g, logPrefactor);
      }
    }
    return Finished(AtMostOne(xSmaller ? BetaTails{near, far} : BetaTails{far, near}));
  }
  const FractionSide side = SideOfMean(x, y, a, b, d);
  return SmallerTailPlan(side.x, side.a, side.b, side.g, logPrefactor, side.upper);
}

// ln I(x, a, b) and ln(1 - I(x, a, b)) by the methods of ByFractionGiven, in
// logarithms: the tails taken from a prefactor and a fraction or series
// keep their digits below the doubles' range.
LogBetaTails LogByFraction(double x, double y, double logX, double logY, double a, double b) {
  const double d = Deviation(x, y, a, b);
  const double logPrefactor = IntegrandExponentGivenLogs(x, y, logX, logY, a, b, d) + LogPeak(a, b);
  const bool xSmaller = x <= y;
  const double smaller = xSmaller ? x : y;
  if (WithinSeriesReach(LogSum(a, b), smaller)) {
    double logNear = xSmaller ? logPrefactor - std::log(a) + std::log(SeriesSum(x, a, b))
                              : logPrefactor - std::log(b) + std::log(SeriesSum(y, b, a));
    const double near = std::exp(logNear);
    double logFar = std::log1p(-near);
    if (1.0 - near < kComplementFloor) {
      const SeriesSide side = SideOfSmallerArgument(x, y, a, b, d);
      if (NearlyAllMass(side.t, side.c, side.e)) {
        logNear = LogTailNearOne(side.t, side.c, side.e);
        logFar = std::log(-std::expm1(logNear));
      } else {
        logFar = logPrefactor - std::log(FractionDenominator(side.s, side.e, side.c, side.g));
        logNear = std::log1p(-std::exp(logFar));
      }
    }
    return xSmaller ? LogBetaTails{logNear, logFar, logPrefactor}
                    : LogBetaTails{logFar, logNear, logPrefactor};
  }
  const FractionSide side = SideOfMean(x, y, a, b, d);
  const double fraction = FractionDenominator(side.x, side.a, side.b, side.g);
  const double logNear = logPrefactor - std::log(fraction);
  const double logFar = std::log1p(-std::exp(logNear));
  return side.upper ? LogBetaTails{logFar, logNear, logPrefactor}
                    : LogBetaTails{logNear, logFar, logPrefactor};
}

}  // namespace

double LogBeta(double a, double b) {
  // Stirling's remainder needs 1/a and 1/b; below the normal doubles ln Γ
  // is -ln of the parameter to all digits.
  if (a < DBL_MIN || b < DBL_MIN) return LnGamma(a) + LnGamma(b) - LnGamma(a + b);
  return a * LogShare(a, b) + b * LogShare(b, a) - LogPeak(a, b);
}

LogBetaTails LogIncompleteBetaTails(double x, double y, double logX, double logY, double a,
                                    double b) {
  const double kNaN = NaN();
  if (std::isnan(logX) || std::isnan(logY) || !(a > 0.0) || !(b > 0.0)) return {kNaN, kNaN, kNaN};
  const double inf = std::numeric_limits<double>::infinity();
  // The limits for subnormal or infinite parameters, the same for every
  // x strictly between 0 and 1 (as x is wherever its logarithm is finite).
  if (a < DBL_MIN || b < DBL_MIN || std::isinf(a) || std::isinf(b)) {
    const BetaTails tails = IncompleteBetaTails(0.5, 0.5, a, b);
    return {std::log(tails.lower), std::log(tails.upper), -inf};
  }
  if (x < DBL_MIN || y < DBL_MIN) {
    const bool xTiny = logX <= logY;
    const TinyArgumentTail tail =
        xTiny ? TailOfTinyArgument(logX, a, b) : TailOfTinyArgument(logY, b, a);
    const double logNear = tail.logPrefactor - std::log(xTiny ? a : b) + std::log(tail.series);
    const double logFar = std::log1p(-std::exp(logNear));
    return xTiny ? LogBetaTails{logNear, logFar, tail.logPrefactor}
                 : LogBetaTails{logFar, logNear, tail.logPrefactor};
  }
  const LogBetaTails logs = TakesUniformExpansion(a, b)
                                ? LogUniformExpansionTails(x, y, logX, logY, a, b)
                                : LogByFraction(x, y, logX, logY, a, b);
  // As in IncompleteBetaTails, a tail of nearly 1 is kept from passing it.
  return {std::fmin(logs.lower, 0.0), std::fmin(logs.upper, 0.0), logs.logPrefactor};
}

double LowerTailOfTinyArgument(double logX, double a, double b) {
  if (std::isnan(logX) || !(a > 0.0) || !(b > 0.0)) return NaN();
  // The limits of IncompleteBetaTails for subnormal or infinite parameters.
  if (a < DBL_MIN || b < DBL_MIN || std::isinf(a) || std::isinf(b)) {
    return IncompleteBetaTails(DBL_MIN, 1.0, a, b).lower;
  }
  const TinyArgumentTail tail = TailOfTinyArgument(logX, a, b);
  return std::exp(tail.logPrefactor - std::log(a)) * tail.series;
}

namespace {

// PlanTails for normal, finite parameters and 0 < x, y < 1, by Temme's
// expansion or ByFractionGiven, given the deviation d, e =
// IntegrandExponent(x, y, a, b, d) and mu = StirlingRemainders(a, b).
TailsPlan PlanOfMethods(double x, double y, double a, double b, double d, double e,
                        const StirlingTerms& mu) {
  if (TakesUniformExpansion(a, b)) {
    return Finished(AtMostOne(UniformExpansionTails(a, b, d, e, mu)));
  }
  const double logSum = LogSum(a, b);
  return ByFractionGiven(x, y, a, b, d, logSum, e + LogPeak(a, b, logSum, mu));
}

TailsPlan PlanTails(double x, double y, double a, double b) {
  if (std::isnan(x) || std::isnan(y) || std::isnan(a) || std::isnan(b)) {
    return Finished({NaN(), NaN()});
  }
  if (a < 0.0 || b < 0.0) return Finished({NaN(), NaN()});
  if (x <= 0.0) return Finished({0.0, 1.0});
  if (y <= 0.0) return Finished({1.0, 0.0});
  // Limits: a → 0 puts all mass at 0, b → 0 at 1, both together mass
  // b/(a + b) at 0 (no answer when both are 0); an infinite parameter moves
  // the mass to its end.
  const bool tinyA = a < DBL_MIN;
  const bool tinyB = b < DBL_MIN;
  // (+ 0.0 makes a -0 parameter's share +0.)
  if (tinyA && tinyB) return Finished({b / (a + b) + 0.0, a / (a + b) + 0.0});
  if (tinyA || std::isinf(b)) {
    return Finished(std::isinf(a) ? BetaTails{NaN(), NaN()} : BetaTails{1.0, 0.0});
  }
  if (tinyB || std::isinf(a)) return Finished({0.0, 1.0});
  const double d = Deviation(x, y, a, b);
  return PlanOfMethods(x, y, a, b, d, IntegrandExponent(x, y, a, b, d), StirlingRemainders(a, b));
}

// Whether PlanTails takes PlanOfMethods with both parameters at least
// kStirlingSeriesStart, the parts of whose prefactors PrefactorPartsInLanes
// forms.
bool LargeParameters(double x, double y, double a, double b) {
  return x > 0.0 && y > 0.0 && a >= kStirlingSeriesStart && b >= kStirlingSeriesStart &&
         !std::isinf(a) && !std::isinf(b);
}

}  // namespace

BetaTails IncompleteBetaTails(double x, double y, double a, double b) {
  const TailsPlan plan = PlanTails(x, y, a, b);
  if (!plan.waits) return plan.tails;
  return FromFraction(plan, FractionDenominator(plan.x, plan.a, plan.b, plan.g));
}

void IncompleteBetaTailsInLockstep(const double* x, const double* y, const double* a,
                                   const double* b, std::size_t count, BetaTails* tails) {
  if (count == 0) return;
  TailsPlan waiting[kChunkLength];
  std::size_t element[kChunkLength];
  std::size_t waitingCount = 0;
  const auto add = [&](std::size_t i, const TailsPlan& plan) {
    if (plan.waits) {
      element[waitingCount] = i;
      waiting[waitingCount++] = plan;
    } else {
      tails[i] = plan.tails;
    }
  };
  // Elements of large parameters have the series of their prefactors
  // formed side by side.
  std::size_t large[kLaneCount];
  std::size_t largeCount = 0;
  const auto flush = [&] {
    double lx[kLaneCount], ly[kLaneCount], la[kLaneCount], lb[kLaneCount], d[kLaneCount];
    double e[kLaneCount], muSum[kLaneCount], muA[kLaneCount], muB[kLaneCount];
    for (std::size_t lane = 0; lane < kLaneCount; ++lane) {
      const std::size_t i = large[lane < largeCount ? lane : largeCount - 1];
      lx[lane] = x[i];
      ly[lane] = y[i];
      la[lane] = a[i];
      lb[lane] = b[i];
      d[lane] = Deviation(x[i], y[i], a[i], b[i]);
    }
    PrefactorPartsInLanes(lx, ly, la, lb, d, e, muSum, muA, muB);
    for (std::size_t lane = 0; lane < largeCount; ++lane) {
      add(large[lane], PlanOfMethods(lx[lane], ly[lane], la[lane], lb[lane], d[lane], e[lane],
                                     {muSum[lane], muA[lane], muB[lane]}));
    }
    largeCount = 0;
  };
  for (std::size_t i = 0; i < count; ++i) {
    if (!LargeParameters(x[i], y[i], a[i], b[i])) {
      add(i, PlanTails(x[i], y[i], a[i], b[i]));
      continue;
    }
    large[largeCount++] = i;
    if (largeCount == kLaneCount) flush();
  }
  if (largeCount > 0) flush();
  if (waitingCount == 0) return;
  double fractionX[kChunkLength];
  double fractionA[kChunkLength];
  double fractionB[kChunkLength];
  double fractionG[kChunkLength];
  for (std::size_t k = 0; k < waitingCount; ++k) {
    fractionX[k] = waiting[k].x;
    fractionA[k] = waiting[k].a;
    fractionB[k] = waiting[k].b;
    fractionG[k] = waiting[k].g;
  }
  double fraction[kChunkLength];
  FractionDenominatorsInLanes(fractionX, fractionA, fractionB, fractionG, waitingCount, fraction);
  for (std::size_t k = 0; k < waitingCount; ++k) {
    tails[element[k]] = FromFraction(waiting[k], fraction[k]);
  }
}

}  // namespace specfun::detail
