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
// tail only where it stays above kComplementFloor.
#include "specfun/kernels/precise_beta.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "specfun/gauss_inverse.hpp"
#include "specfun/kernels/beta_tail_parts.hpp"
#include "specfun/log_gamma.hpp"

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
// while it stays above this share.
constexpr double kComplementFloor = 0.25;
// Temme's erfc term is taken as erfc itself below this |z|; beyond, from
// Mills' ratio, whose logarithm is accurate to 1e-15 there.
constexpr double kMillsFrom = 2.0;
// Below this e^E of a tail underflows or loses digits as a subnormal: its
// logarithm is formed instead.
constexpr double kLogValueFloor = -700.0;
constexpr double kRootTwoPi = 2.5066282746310005024;
constexpr double kRootTwo = 1.4142135623730950488;

bool Supplied(const DoubleDouble& log) { return !std::isnan(log.hi); }

// a (ln(1 + u) - u), u = D/a, for the argument t (with its logarithm where
// supplied) on a's side, b the other parameter.
DoubleDouble ScaledLogRatio(double a, double b, const DoubleDouble& t, const DoubleDouble& logT,
                            const DoubleDouble& d) {
  const DoubleDouble u = d / a;
  if (std::fabs(u.hi) <= 0.5) return LogOnePlusMinus(u) * a;
  if (u.hi > 0.5) return (Log(u + 1.0) - u) * a;
  // t well below p: ln(t/p) = ln t + ln((a + b)/a).
  const DoubleDouble logShare = Log(TwoSum(a, b) / a);
  const DoubleDouble logArgument = Supplied(logT) ? logT : Log(t);
  return (logArgument + logShare - u) * a;
}

// ½ ln(ab/(a + b)) - ln √(2π) + mu(a + b) - mu(a) - mu(b).
DoubleDouble LogPeak(double a, double b) {
  const DoubleDouble sum = TwoSum(a, b);
  const DoubleDouble logRoot = Log(TwoProduct(a, b) / sum) * 0.5;
  const double mu = LogGammaRemainder(sum.hi) - LogGammaRemainder(a) - LogGammaRemainder(b);
  return logRoot - kLogRootTwoPi + mu;
}

struct Prefactor {
  DoubleDouble exponent;  // E
  DoubleDouble log;       // E + the peak's logarithm
  double d;               // D
};

Prefactor PrefactorOf(const BetaPoint& point, double a, double b) {
  const DoubleDouble d = point.x * b - point.y * a;
  DoubleDouble e = ScaledLogRatio(a, b, point.x, point.logX, d) +
                   ScaledLogRatio(b, a, point.y, point.logY, -d);
  if (e.hi > 0.0) e = {0.0, 0.0};
  return {e, e + LogPeak(a, b), d.hi};
}

// e^lp / c without underflow where the quotient is a double.
double ExpOver(const DoubleDouble& lp, double c) {
  if (lp.hi > kLogValueFloor) return Exp(lp) / c;
  return Exp(lp - Log(Exact(c)));
}

// Temme's expansion: the tail on the side of the deviation and the other.
struct NearFar {
  double near;
  double far;
};

PreciseTails FromNearFar(bool nearIsLower, NearFar t) {
  return nearIsLower ? PreciseTails{t.near, t.far} : PreciseTails{t.far, t.near};
}

// The tail on the side of d, e^E/√(2π) (R(√2 |z|) ± scale (c0/√r + c1/r^(3/2))),
// as a value (logarithm false) or as its logarithm.
double UniformNear(const Prefactor& pre, double a, double b, double z, bool logarithm) {
  const double scale = std::exp(LogGammaRemainder(a + b) - LogGammaRemainder(a) -
                                LogGammaRemainder(b));
  const double correction = scale * UniformCorrection(a, b, pre.d, z);
  const double mills = std::exp(LogMillsRatio(kRootTwo * std::fabs(z)));
  const double factor = z < 0.0 ? mills + correction : mills - correction;
  if (logarithm) return pre.exponent.hi - kLogRootTwoPi.hi + std::log(factor);
  return Exp(pre.exponent) / kRootTwoPi * factor;
}

PreciseTails UniformTails(const Prefactor& pre, double a, double b) {
  const double z = std::copysign(std::sqrt(-pre.exponent.hi), pre.d);
  if (std::fabs(z) < kMillsFrom) {
    const double scale = std::exp(pre.exponent.hi + LogGammaRemainder(a + b) -
                                  LogGammaRemainder(a) - LogGammaRemainder(b)) /
                         kRootTwoPi;
    const double correction = scale * UniformCorrection(a, b, pre.d, z);
    const double lower = 0.5 * std::erfc(-z) + correction;
    const double upper = 0.5 * std::erfc(z) - correction;
    return z < 0.0 ? PreciseTails{lower, 1.0 - lower} : PreciseTails{1.0 - upper, upper};
  }
  const double near = UniformNear(pre, a, b, z, false);
  return FromNearFar(z < 0.0, {near, 1.0 - near});
}

// The series' side: its argument t and parameter c, the other argument s
// and parameter e, and g = e t - c s for the fraction at s.
struct SeriesSide {
  double t;
  double s;
  double c;
  double e;
  double g;
};

bool TakesSeries(const BetaPoint& point, double a, double b) {
  const double smaller = std::fmin(point.x.hi, point.y.hi);
  return (a + b) * smaller <= kSeriesReach;
}

SeriesSide SideOf(const BetaPoint& point, double a, double b, double d) {
  if (point.x.hi <= point.y.hi) return {point.x.hi, point.y.hi, a, b, d};
  return {point.y.hi, point.x.hi, b, a, -d};
}

// Where the series' tail holds nearly all the mass, its logarithm from small
// parts gives the other tail (c up to kNearOneParameter, where the series of
// ln Γ(1 + c) in LogTailNearOne converges to the last digit).
constexpr double kNearOneParameter = 0.05;
constexpr double kNearOneReach = 0.1;
bool TakesNearOne(const SeriesSide& side) {
  return side.c <= kNearOneParameter && side.e * side.t <= kNearOneReach;
}

// The fraction at s converges fast below its mean e/(e + c).
bool FractionServes(const SeriesSide& side) { return side.s * (side.e + side.c) <= side.e; }

PreciseTails SeriesTails(const BetaPoint& point, double a, double b, const Prefactor& pre) {
  const SeriesSide side = SideOf(point, a, b, pre.d);
  const bool nearIsLower = point.x.hi <= point.y.hi;
  double near = ExpOver(pre.log, side.c) * SeriesSum(side.t, side.c, side.e);
  double far = 1.0 - near;
  if (far < kComplementFloor) {
    if (TakesNearOne(side)) {
      const double logNear = LogTailNearOne(side.t, side.c, side.e);
      near = std::exp(logNear);
      far = -std::expm1(logNear);
    } else if (FractionServes(side)) {
      far = Exp(pre.log) / FractionDenominator(side.s, side.e, side.c, side.g);
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
// (or too near its end to keep its digits), by the methods of the tails.
double LogOfSmallTail(const BetaPoint& point, double a, double b, const Prefactor& pre,
                      bool lowerIsSmall) {
  if (std::fmin(a, b) >= kUniformExpansionStart) {
    const double z = std::copysign(std::sqrt(-pre.exponent.hi), pre.d);
    return UniformNear(pre, a, b, z, true);
  }
  const double lp = pre.log.hi;
  if (TakesSeries(point, a, b)) {
    const SeriesSide side = SideOf(point, a, b, pre.d);
    const bool nearIsLower = point.x.hi <= point.y.hi;
    if (nearIsLower == lowerIsSmall) {
      return lp - std::log(side.c) + std::log(SeriesSum(side.t, side.c, side.e));
    }
    if (TakesNearOne(side)) {
      return std::log(-std::expm1(LogTailNearOne(side.t, side.c, side.e)));
    }
    return lp - std::log(FractionDenominator(side.s, side.e, side.c, side.g));
  }
  if (lowerIsSmall) return lp - std::log(FractionDenominator(point.x.hi, a, b, -pre.d));
  return lp - std::log(FractionDenominator(point.y.hi, b, a, pre.d));
}

}  // namespace

BetaPoint PointOfShares(double r1, double r2, double s) {
  const DoubleDouble r = TwoProduct(r1, r2);
  constexpr double kRatioRange = 1e290;
  if (r.hi <= kRatioRange && r.hi >= 1.0 / kRatioRange) {
    const DoubleDouble sum = r + s;
    BetaPoint point = {r / sum, Exact(s) / sum};
    if (point.x.hi >= DBL_MIN && point.y.hi >= DBL_MIN) return point;
    const DoubleDouble logSum = Log(sum);
    point.logX = Log(r) - logSum;
    point.logY = Log(Exact(s)) - logSum;
    return point;
  }
  // r far from s: ln(r + s) = ln(max) + min/max, the rest below the doubles.
  const DoubleDouble logR = Log(Exact(r1)) + Log(Exact(r2));
  const DoubleDouble logS = Log(Exact(s));
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

PreciseTails PreciseBetaTails(const BetaPoint& point, double a, double b) {
  if (Invalid(point, a, b)) return {kNaN, kNaN};
  const Prefactor pre = PrefactorOf(point, a, b);
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

PreciseTails PreciseLogBetaTails(const BetaPoint& point, double a, double b) {
  if (Invalid(point, a, b)) return {kNaN, kNaN};
  const PreciseTails tails = PreciseBetaTails(point, a, b);
  const bool lowerIsSmall = tails.lower <= tails.upper;
  const double small = lowerIsSmall ? tails.lower : tails.upper;
  double logSmall;
  double logLarge;
  if (small > 1e-300) {
    logSmall = std::log(small);
    logLarge = std::log1p(-small);
  } else {
    logSmall = LogOfSmallTail(point, a, b, PrefactorOf(point, a, b), lowerIsSmall);
    logLarge = -std::exp(logSmall);
  }
  const double lower = lowerIsSmall ? logSmall : logLarge;
  const double upper = lowerIsSmall ? logLarge : logSmall;
  return {std::fmin(lower, 0.0), std::fmin(upper, 0.0)};
}

double PreciseLogBeta(double a, double b) {
  // ln B(a, b) = a ln(1/p) + b ln(1/q) - ln(p^a q^b / B(a, b)).
  const DoubleDouble sum = TwoSum(a, b);
  const DoubleDouble logOverP = Log(sum / a);
  const DoubleDouble logOverQ = Log(sum / b);
  return (logOverP * a + logOverQ * b - LogPeak(a, b)).hi;
}

}  // namespace specfun::detail
