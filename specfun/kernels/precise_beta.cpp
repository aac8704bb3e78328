// Both tails of the incomplete beta function with the prefactor
// x^a y^b / B(a, b) in double-double.
//
// With p = a/(a + b), q = b/(a + b), D = x b - y a and u = D/a, v = -D/b,
//   ln(x^a y^b / B(a, b)) = E + ln(p^a q^b / B(a, b)),
//   E = a (ln(1 + u) - u) + b (ln(1 + v) - v),
//   ln(p^a q^b / B(a, b)) = ½ ln(ab/(a + b)) - ln √(2π) + mu(a + b) - mu(a) - mu(b)
// (mu being Stirling's remainder): E is formed in double-double from the
// argument's double-double parts, so e^E keeps its last digits however far
// out in a tail x lies. The tails then follow the methods of
// IncompleteBetaTails: the series of A&S 26.5.23 where (a + b) min(x, y) is
// small, the continued fraction of DiDonato and Morris on the side of the
// mean where x lies, and Temme's uniform expansion (Special Functions, 1996,
// 11.3.3) for a and b both large, its erfc written e^E R(√2 |z|)/√(2π) with
// Mills' ratio R away from the centre. A complement is taken as 1 minus a
// tail only where it stays above a floor.
#include "specfun/kernels/precise_beta.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "specfun/kernels/beta_fraction.hpp"
#include "specfun/kernels/beta_series.hpp"
#include "specfun/kernels/beta_uniform_expansion.hpp"
#include "specfun/kernels/gauss.hpp"
#include "specfun/kernels/incomplete_beta_tails.hpp"
#include "specfun/kernels/log_gamma.hpp"
#include "specfun/kernels/log_one_plus.hpp"
#include "specfun/kernels/math_constants.hpp"
#include "specfun/kernels/stirling_remainder.hpp"
#include "specfun/kernels/table_log.hpp"

namespace specfun::detail {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// From this smaller parameter on Temme's expansion (its next term below
// 1e-15 relative there); below it the fraction, of at most a few thousand
// terms.
constexpr double kUniformExpansionStart = 1e6;
// The series is taken where (a + b) min(x, y) is at most 20.
constexpr double kSeriesReach = 20.0;
// A tail taken as 1 minus the other keeps a few units in the last place
// while it stays above kComplementFloor; below it the fraction at the other
// argument takes over, except where the series' parameter c is below 1 and
// the other above kSlowFractionFrom: the fraction then converges slowly
// near its mean and keeps fewer digits than the complement down to
// kSmallParameterComplementFloor.
constexpr double kComplementFloor = 0.25;
constexpr double kSmallParameterComplementFloor = 0.1;
constexpr double kSlowFractionFrom = 100.0;
// Temme's erfc term is taken as erfc itself below this |z|; beyond, from
// Mills' ratio, whose logarithm is accurate to 1e-15 there.
constexpr double kMillsFrom = 2.0;
// Below this e^E of a tail underflows or loses digits as a subnormal: its
// logarithm is formed instead.
constexpr double kLogValueFloor = -700.0;
// A tail above this is taken as its value's logarithm.
constexpr double kLogValueFloorTail = 1e-300;
using detail::kRootTwoPi;
using detail::kRootTwo;

bool Supplied(const DoubleDouble& log) { return !std::isnan(log.hi); }

// Up to this |u| ln(1 + u) - u is LogOnePlusMinus' series; beyond, from the
// logarithm itself, which then keeps 1e-19 of the difference.
constexpr double kPairSeriesBelow = 0.05;

// a (ln(1 + u) - u), u = D/a, for the argument t (with its logarithm where
// supplied) on a's side, b the other parameter.
DoubleDouble ScaledLogRatio(double a, double b, const DoubleDouble& t, const DoubleDouble& logT,
                            const DoubleDouble& d) {
  const DoubleDouble u = d / a;
  if (std::fabs(u.hi) <= kPairSeriesBelow) return LogOnePlusMinus(u) * a;
  if (u.hi >= -0.5) return (TableLog(u + 1.0) - u) * a;
  // t well below p: ln(t/p) = ln t + ln((a + b)/a).
  const DoubleDouble logShare = TableLog(TwoSum(a, b) / a);
  const DoubleDouble logArgument = Supplied(logT) ? logT : TableLog(t);
  return (logArgument + logShare - u) * a;
}

// ½ ln(ab/(a + b)) - ln √(2π) + mu(a + b) - mu(a) - mu(b).
DoubleDouble LogPeak(double a, double b) {
  const DoubleDouble sum = TwoSum(a, b);
  const DoubleDouble logRoot = TableLog(TwoProduct(a, b) / sum) * 0.5;
  const DoubleDouble mu = StirlingRemainderDoubleDouble(sum) -
                          StirlingRemainderDoubleDouble(Exact(a)) -
                          StirlingRemainderDoubleDouble(Exact(b));
  return logRoot - kLogRootTwoPi + mu;
}

struct Prefactor {
  DoubleDouble exponent;  // E
  DoubleDouble log;       // E + the peak's logarithm
  double d;               // D
  DoubleDouble deviation; // D in double-double
};

// The prefactor in plain double where its parts are few and small: each
// step's rounding is bounded by a unit of 2^-53 of its size (with the
// conditioning of ln(1 + u) - u on u), and the double-double forms serve
// wherever the bound exceeds kFastBudget (a few units in the last place of
// a value near 1), i.e. towards the tails' far ends and for parameters far
// from 1 (where the peak's parts grow). Beside a double-double exponent the
// peak takes only its logarithm in double-double, its remainders mu in
// double, wherever their bound allows.
constexpr double kFastBudget = 6e-16;
// The bound up to which the remainders of the peak are taken from their
// double forms beside double-double exponents: two units in the last place
// of 1 (the forms' rounding is far below their bound as a rule).
constexpr double kQuickPeakBudget = 4.4e-16;
// ln(p^a q^b / B(a, b)) = ½ ln(ab/(a + b)) - ln √(2π) + mu(a + b) - mu(a) - mu(b)
// in double-double from the remainders' quick forms, with a bound on their
// rounding (infinite where ab leaves the doubles).
struct QuickPeak {
  DoubleDouble value;
  double error;
};

QuickPeak QuickLogPeak(double a, double b) {
  const DoubleDouble sum = TwoSum(a, b);
  const DoubleDouble product = TwoProduct(a, b);
  if (!(std::fabs(product.hi) < HUGE_VAL)) return {{kNaN, 0.0}, HUGE_VAL};
  const RoundedPair muSum = StirlingRemainderWithBound(sum.hi);
  const RoundedPair muA = StirlingRemainderWithBound(a);
  const RoundedPair muB = StirlingRemainderWithBound(b);
  // a + b's own rounding moves mu(a + b) by less than a unit of 1/12.
  const double error = muSum.error + muA.error + muB.error + kUnitRoundoff / 12.0;
  const DoubleDouble mu = muSum.value - muA.value - muB.value;
  return {TableLog(product / sum) * 0.5 - kLogRootTwoPi + mu, error};
}

// E and ln(x^a y^b / B(a, b)) in double, the latter NaN where its bound
// exceeds the budget.
struct PlainPrefactor {
  double exponent;
  double log;
};

PlainPrefactor FastLogPrefactor(const BetaPoint& point, double a, double b, double d,
                                const QuickPeak& peak) {
  constexpr PlainPrefactor kNotServed = {kNaN, kNaN};
  if (Supplied(point.logX) || Supplied(point.logY)) return kNotServed;
  const double u = d / a;
  const double v = -d / b;
  constexpr double kReach = kLogOnePlusMinusWithBoundReach;
  if (!(std::fabs(u) <= kReach && std::fabs(v) <= kReach)) return kNotServed;
  const RoundedValue gu = LogOnePlusMinusWithBound(u);
  const RoundedValue gv = LogOnePlusMinusWithBound(v);
  const double exponent = a * gu.value + b * gv.value;
  const double log = exponent + peak.value.hi;
  const double error = peak.error + a * gu.error + b * gv.error +
                       kUnitRoundoff * (std::fabs(peak.value.hi) + std::fabs(a * gu.value) +
                                std::fabs(b * gv.value) + std::fabs(exponent) + std::fabs(log));
  return error <= kFastBudget ? PlainPrefactor{exponent, log} : kNotServed;
}

Prefactor PrefactorOf(const BetaPoint& point, double a, double b) {
  const DoubleDouble d = point.x * b - point.y * a;
  const QuickPeak peak = QuickLogPeak(a, b);
  if (std::fmin(a, b) < kUniformExpansionStart) {
    const PlainPrefactor plain = FastLogPrefactor(point, a, b, d.hi, peak);
    if (!std::isnan(plain.log)) return {Exact(plain.exponent), Exact(plain.log), d.hi, d};
  }
  DoubleDouble e = ScaledLogRatio(a, b, point.x, point.logX, d) +
                   ScaledLogRatio(b, a, point.y, point.logY, -d);
  if (e.hi > 0.0) e = {0.0, 0.0};
  // The quick peak wherever its remainders' bound allows.
  const DoubleDouble logPeak = peak.error <= kQuickPeakBudget ? peak.value : LogPeak(a, b);
  return {e, e + logPeak, d.hi, d};
}

// e^lp / c without underflow where the quotient is a double.
double ExpOver(const DoubleDouble& lp, double c) {
  if (lp.hi > kLogValueFloor) return Exp(lp) / c;
  return Exp(lp - TableLog(Exact(c)));
}

// √v for a positive double-double, by one Newton step from √hi.
DoubleDouble SquareRoot(const DoubleDouble& v) {
  const double root = std::sqrt(v.hi);
  return FastTwoSum(root, (v - TwoProduct(root, root)).hi / (2.0 * root));
}

// c0/√r + c1/r^(3/2) of Temme's expansion away from the centre (|z| from
// kClosedFormsFrom on), their closed forms in double-double from the
// deviation and the exponent (z² = -E), w = D/ρ:
//   c0/√r = 1/(√2 z) - ρ/D = (D² - 2 ρ² z²)/((D + √2 z ρ) √2 z D),
//   c1/r^(3/2) = (-1/(2 z²) + √2 z (1 + D/a)(1 - D/b)/w³ - c0'(0) σ²/ρ²)/(√2 z),
// which near the centre lose to cancellation what the double forms of
// UniformCorrection cannot keep; nearer still the series at z = 0.
constexpr double kClosedFormsFrom = 1e-3;
double UniformCorrectionOf(double a, double b, const Prefactor& pre, double z) {
  if (std::fabs(z) < kClosedFormsFrom) return UniformCorrection(a, b, pre.d, z);
  const DoubleDouble rhoSquared = TwoProduct(a, b) / TwoSum(a, b);
  const DoubleDouble& d = pre.deviation;
  DoubleDouble zz = SquareRoot(-pre.exponent);
  if (z < 0.0) zz = -zz;
  const DoubleDouble rootTwoZ = kRootTwoDoubleDouble * zz;
  const DoubleDouble rho = SquareRoot(rhoSquared);
  const DoubleDouble leading =
      (d * d + rhoSquared * pre.exponent * 2.0) / ((d + rootTwoZ * rho) * rootTwoZ * d);
  const DoubleDouble w = d / rho;
  const DoubleDouble shares = (d / a + 1.0) * (Exact(1.0) - d / b);
  const double sigma2 = rhoSquared.hi / a * (rhoSquared.hi / b);
  const double c0Slope = (sigma2 - 1.0) / 12.0;
  const DoubleDouble slope = Exact(-0.5) / (zz * zz) + rootTwoZ * shares / (w * w * w);
  const DoubleDouble second = (slope - c0Slope / rhoSquared.hi) / rootTwoZ;
  return (leading + second).hi;
}

// Temme's expansion: the tail on the side of the deviation and the other.
struct NearFar {
  double near;
  double far;
};

PreciseTails FromNearFar(bool nearIsLower, NearFar t) {
  return nearIsLower ? PreciseTails{t.near, t.far} : PreciseTails{t.far, t.near};
}

// R(√2 |z|) ± scale (c0/√r + c1/r^(3/2)), by which e^E/√(2π) is the tail
// on the side of d.
double UniformFactor(const Prefactor& pre, double a, double b, double z) {
  const double scale = std::exp(StirlingRemainderSeries(a + b) - StirlingRemainderSeries(a) -
                                StirlingRemainderSeries(b));
  const double correction = scale * UniformCorrectionOf(a, b, pre, z);
  const double mills = std::exp(LogMillsRatio(kRootTwo * std::fabs(z)));
  return z < 0.0 ? mills + correction : mills - correction;
}

PreciseTails UniformTails(const Prefactor& pre, double a, double b) {
  const double z = std::copysign(std::sqrt(-pre.exponent.hi), pre.d);
  if (std::fabs(z) < kMillsFrom) {
    const double scale = std::exp(pre.exponent.hi + StirlingRemainderSeries(a + b) -
                                  StirlingRemainderSeries(a) - StirlingRemainderSeries(b)) /
                         kRootTwoPi;
    const double correction = scale * UniformCorrectionOf(a, b, pre, z);
    const double lower = 0.5 * std::erfc(-z) + correction;
    const double upper = 0.5 * std::erfc(z) - correction;
    return z < 0.0 ? PreciseTails{lower, 1.0 - lower} : PreciseTails{1.0 - upper, upper};
  }
  const double near = Exp(pre.exponent) / kRootTwoPi * UniformFactor(pre, a, b, z);
  return FromNearFar(z < 0.0, {near, 1.0 - near});
}

bool TakesSeries(const BetaPoint& point, double a, double b) {
  const double smaller = std::fmin(point.x.hi, point.y.hi);
  return (a + b) * smaller <= kSeriesReach;
}

// ln I(t, c, e) where that tail holds nearly all the mass, from small parts
// (as LogTailNearOne): with A&S 26.5.23 and (1 - t)^e Σ (e)_k / k! t^k = 1,
//   I = t^c Γ(c + e)/(Γ(e) Γ(1 + c)) (1 + Σ w_k r_k),
// w_k = (1 - t)^e (e)_k / k! t^k, r_k = Π (1 + c/(e + j)) / Π (1 + c/(j + 1)) - 1
// (j < k), each of the order of c; ln Γ(1 + c) in double-double.
double LogTailNearOneOf(double t, double c, double e) {
  constexpr double kWeightFloor = 1e-17;
  const double sum = NearOneSum(t, c, e, kWeightFloor);
  const DoubleDouble logGammaRatio = LogGammaShiftDoubleDouble(e, c) - LogGammaOnePlusFromStirling(c);
  return (TableLog(Exact(t)) * c + logGammaRatio + std::log1p(sum)).hi;
}

// Where the series' tail holds nearly all the mass (c up to
// kNearOneParameter, e t up to kNearOneReach), its logarithm from small parts
// gives the other tail, which is then of the order of c.
constexpr double kNearOneParameter = 0.25;
constexpr double kNearOneReach = 1.2;
bool TakesNearOne(const SeriesSide& side) {
  return side.c <= kNearOneParameter && side.e * side.t <= kNearOneReach;
}

// The fraction at s converges fast below its mean e/(e + c).
bool FractionServes(const SeriesSide& side) { return side.s * (side.e + side.c) <= side.e; }

double ComplementFloor(const SeriesSide& side) {
  const bool slowFraction = side.c < 1.0 && side.e > kSlowFractionFrom;
  return slowFraction ? kSmallParameterComplementFloor : kComplementFloor;
}

PreciseTails SeriesTails(const BetaPoint& point, double a, double b, const Prefactor& pre) {
  const SeriesSide side = SideOfSmallerArgument(point.x.hi, point.y.hi, a, b, pre.d);
  const bool nearIsLower = point.x.hi <= point.y.hi;
  const bool fractionServes = !TakesNearOne(side) && FractionServes(side);
  // Beyond the mean of the series' side the other tail is small as a rule:
  // the fraction is tried first, and the series summed only where that
  // tail is above the floor.
  double fraction = kNaN;
  if (fractionServes && side.t * (side.c + side.e) > side.c) {
    fraction = Exp(pre.log) / FractionDenominator(side.s, side.e, side.c, side.g);
    if (fraction < ComplementFloor(side)) {
      return FromNearFar(nearIsLower, {1.0 - fraction, fraction});
    }
  }
  double near = ExpOver(pre.log, side.c) * SeriesSum(side.t, side.c, side.e);
  double far = 1.0 - near;
  if (far < ComplementFloor(side)) {
    if (TakesNearOne(side)) {
      const double logNear = LogTailNearOneOf(side.t, side.c, side.e);
      near = std::exp(logNear);
      far = -std::expm1(logNear);
    } else if (fractionServes) {
      far = std::isnan(fraction)
                ? Exp(pre.log) / FractionDenominator(side.s, side.e, side.c, side.g)
                : fraction;
      near = 1.0 - far;
    }
  }
  return FromNearFar(nearIsLower, {near, far});
}

PreciseTails FractionTails(const BetaPoint& point, double a, double b, const Prefactor& pre) {
  if (pre.d <= 0.0) {
    const double lower = Exp(pre.log) / FractionDenominator(point.x.hi, a, b, -pre.d);
    return {lower, 1.0 - lower};
  }
  const double upper = Exp(pre.log) / FractionDenominator(point.y.hi, b, a, pre.d);
  return {1.0 - upper, upper};
}

bool Invalid(const BetaPoint& point, double a, double b) {
  return std::isnan(point.x.hi) || std::isnan(point.y.hi) || std::isnan(a) || std::isnan(b);
}

// The logarithm of the smaller tail where it lies below the doubles' range
// (or too near its end to keep its digits), by the methods of the tails, in
// double-double (its size that of the prefactor's exponent, its rounding
// that of the last term).
DoubleDouble LogOfSmallTail(const BetaPoint& point, double a, double b, const Prefactor& pre,
                            bool lowerIsSmall) {
  if (std::fmin(a, b) >= kUniformExpansionStart) {
    const double z = std::copysign(std::sqrt(-pre.exponent.hi), pre.d);
    return pre.exponent - kLogRootTwoPi + std::log(UniformFactor(pre, a, b, z));
  }
  if (TakesSeries(point, a, b)) {
    const SeriesSide side = SideOfSmallerArgument(point.x.hi, point.y.hi, a, b, pre.d);
    const bool nearIsLower = point.x.hi <= point.y.hi;
    if (nearIsLower == lowerIsSmall) {
      return pre.log - TableLog(Exact(side.c)) + std::log(SeriesSum(side.t, side.c, side.e));
    }
    if (TakesNearOne(side)) {
      return Exact(std::log(-std::expm1(LogTailNearOneOf(side.t, side.c, side.e))));
    }
    return pre.log - std::log(FractionDenominator(side.s, side.e, side.c, side.g));
  }
  if (lowerIsSmall) return pre.log - std::log(FractionDenominator(point.x.hi, a, b, -pre.d));
  return pre.log - std::log(FractionDenominator(point.y.hi, b, a, pre.d));
}

struct LogTails {
  DoubleDouble lower;
  DoubleDouble upper;
};

}  // namespace

BetaPoint PointOfShares(double r1, double r2, double s) {
  const DoubleDouble r = TwoProduct(r1, r2);
  constexpr double kRatioRange = 1e290;
  if (r.hi <= kRatioRange && r.hi >= 1.0 / kRatioRange) {
    const DoubleDouble sum = r + s;
    BetaPoint point = {r / sum, Exact(s) / sum};
    if (point.x.hi >= DBL_MIN && point.y.hi >= DBL_MIN) return point;
    const DoubleDouble logSum = TableLog(sum);
    point.logX = TableLog(r) - logSum;
    point.logY = TableLog(Exact(s)) - logSum;
    return point;
  }
  // r far from s: ln(r + s) = ln(max) + min/max, the rest below the doubles.
  const DoubleDouble logR = TableLog(Exact(r1)) + TableLog(Exact(r2));
  const DoubleDouble logS = TableLog(Exact(s));
  const bool rLarger = logR.hi > logS.hi;
  const double ratio = std::exp(rLarger ? logS.hi - logR.hi : logR.hi - logS.hi);
  const DoubleDouble logSum = (rLarger ? logR : logS) + ratio;
  BetaPoint point;
  point.logX = logR - logSum;
  point.logY = logS - logSum;
  if (rLarger) {
    point.y = Exact(std::exp(point.logY.hi));
    point.x = OneMinus(point.y.hi);
  } else {
    point.x = Exact(std::exp(point.logX.hi));
    point.y = OneMinus(point.x.hi);
  }
  return point;
}

DoubleDouble LogBetaPrefactor(const BetaPoint& point, double a, double b) {
  return PrefactorOf(point, a, b).log;
}

namespace {

PreciseTails TailsGiven(const BetaPoint& point, double a, double b, const Prefactor& pre) {
  PreciseTails tails;
  if (std::fmin(a, b) >= kUniformExpansionStart) {
    tails = UniformTails(pre, a, b);
  } else if (TakesSeries(point, a, b)) {
    tails = SeriesTails(point, a, b, pre);
  } else {
    tails = FractionTails(point, a, b, pre);
  }
  return {std::clamp(tails.lower, 0.0, 1.0), std::clamp(tails.upper, 0.0, 1.0)};
}

LogTails LogTailsGiven(const BetaPoint& point, double a, double b, const Prefactor& pre,
                       const PreciseTails& tails) {
  const bool lowerIsSmall = tails.lower <= tails.upper;
  const double small = lowerIsSmall ? tails.lower : tails.upper;
  DoubleDouble logSmall;
  DoubleDouble logLarge;
  if (small > kLogValueFloorTail) {
    logSmall = Exact(std::log(small));
    logLarge = Exact(std::log1p(-small));
  } else {
    logSmall = LogOfSmallTail(point, a, b, pre, lowerIsSmall);
    if (logSmall.hi > 0.0) logSmall = {0.0, 0.0};
    logLarge = Exact(small >= DBL_MIN ? -small : -std::exp(logSmall.hi));
  }
  return lowerIsSmall ? LogTails{logSmall, logLarge} : LogTails{logLarge, logSmall};
}

}  // namespace

namespace {

// Below this smaller parameter the double-double prefactor's remainders lose
// about 2e-17/min(a, b) relative, while IncompleteBetaTails, whose series
// keeps a parameter near 0 exactly, stays within about 1e-14 (measured
// against mpmath: the two cross near 1e-4).
constexpr double kSmallParameter = 1e-4;

bool TakesSmallParameterForm(double a, double b) { return std::fmin(a, b) < kSmallParameter; }

double LogOf(const DoubleDouble& v, const DoubleDouble& suppliedLog) {
  return Supplied(suppliedLog) ? suppliedLog.hi + suppliedLog.lo : std::log(v.hi) + v.lo / v.hi;
}

}  // namespace

PreciseTails PreciseBetaTails(const BetaPoint& point, double a, double b) {
  if (Invalid(point, a, b)) return {kNaN, kNaN};
  if (TakesSmallParameterForm(a, b)) {
    const BetaTails t = IncompleteBetaTails(point.x.hi, point.y.hi, a, b);
    return {t.lower, t.upper};
  }
  return TailsGiven(point, a, b, PrefactorOf(point, a, b));
}

PreciseTails PreciseLogBetaTails(const BetaPoint& point, double a, double b) {
  if (Invalid(point, a, b)) return {kNaN, kNaN};
  if (TakesSmallParameterForm(a, b)) {
    const LogBetaTails t = LogIncompleteBetaTails(point.x.hi, point.y.hi, LogOf(point.x, point.logX),
                                                  LogOf(point.y, point.logY), a, b);
    return {std::fmin(t.lower, 0.0), std::fmin(t.upper, 0.0)};
  }
  const Prefactor pre = PrefactorOf(point, a, b);
  const LogTails logs = LogTailsGiven(point, a, b, pre, TailsGiven(point, a, b, pre));
  return {std::fmin(logs.lower.hi, 0.0), std::fmin(logs.upper.hi, 0.0)};
}

BetaEvaluation EvaluateBeta(const BetaPoint& point, double a, double b) {
  if (Invalid(point, a, b)) return {{kNaN, kNaN}, {kNaN, 0.0}, {kNaN, 0.0}, {kNaN, 0.0}};
  const Prefactor pre = PrefactorOf(point, a, b);
  const PreciseTails tails = TailsGiven(point, a, b, pre);
  const LogTails logs = LogTailsGiven(point, a, b, pre, tails);
  return {tails, logs.lower, logs.upper, pre.log};
}

double PreciseLogBeta(double a, double b) {
  // ln B(a, b) = a ln(1/p) + b ln(1/q) - ln(p^a q^b / B(a, b)).
  const DoubleDouble sum = TwoSum(a, b);
  const DoubleDouble logOverP = TableLog(sum / a);
  const DoubleDouble logOverQ = TableLog(sum / b);
  return (logOverP * a + logOverQ * b - LogPeak(a, b)).hi;
}

}  // namespace specfun::detail
