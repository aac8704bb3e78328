// Quantiles of the non-central chi-square distribution: the root in s = ln x
// of ln T(e^s) = ln t, T the tail that is at most ½ at the root (the lower
// for p <= ½), by Newton's method kept in a bracket (SolveOnLogTail) with the
// slope the tail's sweep gives beside it. The start is Patnaik's two-moment
// approximation X ≈ c·χ²(ν), c = (df + 2 ncp)/(df + ncp),
// ν = (df + ncp)²/(df + 2 ncp), with χ²(ν) in the Wilson–Hilferty cube-root
// normal form; wherever the root is near 0 the leading term of the mixture,
// P ≈ e^-m z^a/Γ(a + 1), and far in the upper tail ln Q ≈ −(√x − √ncp)²/2.
// The upper tail's steps are taken in x, in which its log is nearly linear;
// where the spread is below 1e-9 of the mean, all steps are, from the
// normal limit (ln x would not resolve the root).
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "specfun/distributions.hpp"
#include "specfun/distributions/noncentral_chi_squared_parts.hpp"
#include "specfun/kernels/incomplete_gamma.hpp"
#include "specfun/kernels/log_tail_newton.hpp"
#include "specfun/kernels/math_constants.hpp"
#include "specfun/kernels/normal_tail.hpp"

namespace specfun {
namespace {

using detail::Other;
using detail::TailSide;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// ln of the smallest positive and of the largest double: the bracket in s.
constexpr double kLowestLog = -744.44007192138126;
constexpr double kHighestLog = 709.78271289338397;
// ln ½: a tail below it is the smaller one.
using detail::kLogHalf;
// Below this share of the mean a spread is left to steps in x, at most
// kMostNarrowSteps of them (from the normal limit a few serve).
constexpr double kNarrow = 1e-9;
constexpr int kMostNarrowSteps = 16;
// The smallest x whose half is not 0.
constexpr double kSmallestX = 0x1p-1073;
// Below this a start may stand for a root below kSmallestX.
constexpr double kNearSmallestX = 1e-290;
// The tail evaluations a quantile may take (each a microsecond or so).
constexpr int kMostEvaluations = 40;
// Newton's steps end below this in s: the last one's error is of its square
// times the curvature over the slope, which reaches 1e6 where the tail is
// steep in ln x.
constexpr double kStepTolerance = 1e-11;

bool Valid(const NonCentralChiSquared& d) {
  return d.df > 0 && d.df < kInf && d.ncp >= 0 && d.ncp < kInf;
}

// The logarithms of both tails at the root, each in two parts.
struct Targets {
  detail::DoubleDouble lower;
  detail::DoubleDouble upper;
};

// The x where the mixture's leading term e^-m z^a/Γ(a + 1) takes the lower
// tail's log `lowerTarget`: the root itself, to (1 + O(z (1 + m/(a + 1)))),
// where that x is small.
double LeadingTermRoot(double a, double m, double lowerTarget) {
  return 2 * std::exp((lowerTarget + m + detail::LogGammaOnePlusAsDoubleDouble(a).hi) / a);
}

// Whether the leading term's root is near enough 0 to serve as it is.
bool LeadingTermHolds(double a, double m, double x) { return 0.5 * x * (1 + m / (a + 1)) < 0.05; }

// A start for x with ln T(x) = target, T the lower or upper tail, given
// the leading term's root `lead`.
double StartOf(double a, double m, const Targets& targets, TailSide side, double lead) {
  const double target = (side == TailSide::kLower ? targets.lower : targets.upper).hi;
  const double y = detail::NormalDeviateOfLogTail(target);
  // Patnaik: c ν = 2(a + m), 2/(9ν) = (a + 2m)/(9 (a + m)²).
  const double twoNinths = ((a + 2 * m) / (a + m)) / 9 / (a + m);
  const double deviate = side == TailSide::kLower ? -y : y;
  // base³ = (1 + e)³, its excess over 1 formed from e: where the spread
  // is a tiny part of the mean, that excess is the whole answer.
  const double e = deviate * std::sqrt(twoNinths) - twoNinths;
  const double base = 1 + e;
  const double patnaik = 2 * (a + m) + 2 * (a + m) * (e * (3 + e * (3 + e)));
  if (side == TailSide::kLower) return base > 0.3 ? patnaik : lead;
  if (target > -50 && patnaik > 0) return patnaik;
  // Beyond a few times the mean (e > 1) Patnaik's cube grows like the
  // deviate's cube, the root like its square: ln Q ≈ −(√x − √ncp)²/2.
  const double root = std::sqrt(2 * m) + std::sqrt(-2 * target);
  return e > 1 ? root * root : std::max(patnaik, root * root);
}

// Where z (1 + m) is small beside a + 1, the lower tail as one series
// (A&S 6.5.29 for each central tail, gathered by powers of z):
//   P = e^-(m+z) z^a/Γ(a + 1) · S,   S = Σ_n E_n z^n/(a + 1)_n,
// E_n = Σ_(j<=n) m^j/j!, whose terms fall at least by z (1 + m)/(a + 1) a
// step; its log in two parts keeps the digits a flat tail needs (a small
// df puts the slope of ln P in ln x near a, and the root's error at the
// log's over a).
constexpr double kSeriesReach = 0.1;

// Up to this m the partial sums of e^m stay far from overflow over the
// series' few dozen terms.
constexpr double kSeriesLargestMean = 1e10;

bool SeriesTakes(double a, double m, double z) {
  return m <= kSeriesLargestMean && z * (1 + m) <= kSeriesReach * (a + 1);
}

detail::TailAndSlope LowerTailNearZero(double a, double m, double z) {
  double term = 1.0, power = 1.0, partial = 1.0;
  double excess = 0.0, moment = 0.0;  // S − 1 and z dS/dz
  for (int n = 1; n < 60; ++n) {
    power *= m / n;
    partial += power;
    term *= z / (a + n);
    const double t = term * partial;
    excess += t;
    moment += n * t;
    if (t <= 1e-20 * (1 + excess)) break;
  }
  using detail::DoubleDouble;
  const DoubleDouble log = detail::Log(detail::Exact(z)) * a - detail::TwoSum(m, z) -
                           detail::LogGammaOnePlusAsDoubleDouble(a) + std::log1p(excess);
  return {{detail::Exp(log), log.hi, log.lo}, a - z + moment / (1 + excess)};
}

// The tail on `side` at z = x/2 with its slope in ln x, taken as one minus
// the other tail where x lies on the side of the mean where it is the larger
// and the other is at most ½: a step that strays there then sums the few
// terms of the small tail, not the many of the large one.
detail::TailAndSlope TailForSolver(double a, double m, double z, TailSide side) {
  if (side == TailSide::kLower && SeriesTakes(a, m, z)) return LowerTailNearZero(a, m, z);
  const bool aboveMean = z >= a + m;
  const bool largerSide = (side == TailSide::kUpper) != aboveMean;
  if (!largerSide || !detail::MixtureTakes(a, m, z)) return detail::NonCentralTail(a, m, z, side, true);
  const detail::TailAndSlope other = detail::NonCentralTail(a, m, z, Other(side));
  if (!(other.tail.value <= 0.5)) return detail::NonCentralTail(a, m, z, side, true);
  const detail::DoubleDouble log = detail::Log(detail::OneMinus(other.tail.value));
  // d ln(1 - T')/d ln x = -T'/(1 - T') · d ln T'/d ln x, the sign turned by
  // the tail's own.
  const double value = 1 - other.tail.value;
  return {{value, log.hi, log.lo}, other.slope * other.tail.value / value};
}


// Newton's steps in x itself from `start`, the normal limit, where the
// spread is too small a part of x for ln x to resolve the root (its ulp is
// 1e-14 of x): h = ±(ln T − target) increases with x, and a step where
// the tail has no slope is one spread towards the root; no step goes
// beyond `reach`, the start's distance from the root.
double SolveNarrow(double a, double m, const detail::DoubleDouble& target, TailSide side, double start,
                   double reach) {
  const double sign = side == TailSide::kLower ? 1.0 : -1.0;
  const double spread = 4 * std::sqrt(0.25 * a + 0.5 * m);
  double x = start;
  for (int evaluation = 0; evaluation < kMostNarrowSteps; ++evaluation) {
    const detail::TailAndSlope t = TailForSolver(a, m, 0.5 * x, side);
    const double h = sign * ((t.tail.log - target.hi) + (t.tail.logLow - target.lo));
    // A step is at most the start's distance from the root, `reach`.
    const double newton = t.slope > 0 ? -h * x / t.slope : -std::copysign(spread, h);
    const double step = std::clamp(newton, -reach, reach);
    if (std::isnan(step)) return x;
    const double next = x + step;
    // Newton's last step is within a millionth of a spread of the root
    // (or below the doubles' spacing there).
    if (next == x || std::fabs(step) <= 1e-6 * spread) return next;
    x = next;
  }
  return x;
}

// The x with ln T(x) = the target of `side`, the tail that is at most ½
// there. The steps compare ln T, in two parts, with the target, in two:
// T's relative precision, which ln T rounded to a double would lose
// (|ln T| times it).
double SolveTail(const NonCentralChiSquared& d, const Targets& targets, TailSide side) {
  const double a = 0.5 * d.df, m = 0.5 * d.ncp;
  const double lead = LeadingTermRoot(a, m, targets.lower.hi);
  const bool nearZero = LeadingTermHolds(a, m, lead);
  const double start = nearZero ? lead : StartOf(a, m, targets, side, lead);
  // A start beyond the doubles' range: the root may be too, where the tail
  // at the range's end is already past the target.
  if (!(start >= kNearSmallestX)) {
    const double lowest = detail::NonCentralTail(a, m, 0.5 * kSmallestX, TailSide::kLower).tail.log;
    if (lowest >= targets.lower.hi) return 0.0;
  }
  // Near 0 the lower tail is the one with all its digits.
  if (nearZero) side = TailSide::kLower;
  const detail::DoubleDouble target = side == TailSide::kLower ? targets.lower : targets.upper;
  if (!(start <= DBL_MAX)) {
    // h at the largest double below 0: the root lies beyond.
    const double highest = TailForSolver(a, m, 0.5 * DBL_MAX, side).tail.log - target.hi;
    if ((side == TailSide::kLower ? highest : -highest) < 0) return kInf;
  }
  const double sign = side == TailSide::kLower ? 1.0 : -1.0;
  // The standard deviation of x, and its share of x near the start.
  const double spread = 4 * std::sqrt(0.25 * a + 0.5 * m);
  const double y = detail::NormalDeviateOfLogTail(std::min(target.hi, kLogHalf));
  // Where the root's distance from the mean is below half an ulp of it,
  // the tails step from 0 to 1 between neighbouring doubles: the normal
  // limit is the root.
  const double mean = 2 * (a + m);
  // Cornish–Fisher: x ≈ mean + spread·(w + γ(w² − 1)/6), w = ∓y, where
  // spread·γ/6 = (2/3)(a + 3m)/(a + 2m), between 2/3 and 1.
  const double skew = (2.0 / 3.0) * ((a + 3 * m) / (a + 2 * m)) * (y * y - 1);
  const double reach = (1 + y) * spread + std::fabs(skew);
  if (reach < mean * 0x1p-54) return mean - sign * y * spread;
  if (reach < kNarrow * mean && mean <= DBL_MAX) {
    return SolveNarrow(a, m, target, side, mean - sign * y * spread + skew, 2 * reach);
  }
  // The distance from the mean to the root, for a step where the tail
  // has no slope (0 or 1 to the doubles, many spreads from the root).
  const double flatStep = (2 + y) * spread;
  double lastX = 0.0, lastStep = 0.0;
  int evaluations = 0;
  const auto evaluate = [&](double s) {
    // Past kMostEvaluations the iteration ends where it stands: only roots
    // beyond the doubles' range (a df near 0 puts the lower tail's mass at
    // about e^(-2/df)) take the bracket's halving that far.
    if (++evaluations > kMostEvaluations) return detail::LogTailStep{0.0, 1.0};
    const double x = std::exp(s);
    const detail::TailAndSlope t = TailForSolver(a, m, 0.5 * x, side);
    const double h = sign * ((t.tail.log - target.hi) + (t.tail.logLow - target.lo));
    // Where the tail has no slope, a step of the distance from the mean to
    // the root where that is a step at all, else the bracket's halving.
    double slope = t.slope > 0 ? t.slope : flatStep >= 1e-3 * x ? std::fabs(h) * x / flatStep : DBL_MIN;
    // The upper tail's log is nearly linear in x, not in ln x (ln Q ≈ −x/2
    // far out): its Newton step is taken in x, s + ln(1 − h/slope), where
    // that is a step to a positive x.
    const double u = h / slope;
    if (side == TailSide::kUpper && u < 1 && u != 0) slope = h / -std::log1p(-u);
    lastX = x;
    lastStep = h / slope;
    // Among the subnormals a step below their spacing ends the iteration.
    if (x < DBL_MIN && std::fabs(x * lastStep) <= 0x1p-1074) return detail::LogTailStep{0.0, 1.0};
    return detail::LogTailStep{h, slope};
  };
  const double startLog = std::clamp(std::log(start), kLowestLog, kHighestLog);
  const double tolerance = kStepTolerance / std::max(1.0, std::fabs(startLog));
  detail::SolveOnLogTail(evaluate, std::isnan(startLog) ? 0.0 : startLog, kLowestLog, kHighestLog,
                         tolerance);
  // Newton's last step from the x evaluated last, taken in x.
  return std::isfinite(lastStep) ? lastX * std::exp(-lastStep) : lastX;
}

// Both tails' logs from a probability p of one of them (exact: 1 − p is
// formed in two parts).
Targets OfProbability(double p, TailSide side) {
  const detail::DoubleDouble own = detail::Log(detail::Exact(p));
  const detail::DoubleDouble other = detail::Log(detail::OneMinus(p));
  return side == TailSide::kLower ? Targets{own, other} : Targets{other, own};
}

// Both tails' logs from the log of one of them.
Targets OfLog(double logT, TailSide side) {
  const detail::DoubleDouble own{logT, 0.0};
  const detail::DoubleDouble other = detail::Log(detail::OneMinusExp(logT));
  return side == TailSide::kLower ? Targets{own, other} : Targets{other, own};
}

// The root from the tail that is the smaller there.
double SolveSmallerTail(const NonCentralChiSquared& d, const Targets& targets) {
  return SolveTail(d, targets, targets.lower.hi <= kLogHalf ? TailSide::kLower : TailSide::kUpper);
}

}  // namespace

double quantile(const NonCentralChiSquared& d, double p) {
  if (!Valid(d) || !(p >= 0 && p <= 1)) return kNaN;
  if (d.ncp == 0) return quantile(ChiSquared{d.df}, p);
  if (p == 0) return 0.0;
  if (p == 1) return kInf;
  return SolveSmallerTail(d, OfProbability(p, TailSide::kLower));
}

double quantile_upper(const NonCentralChiSquared& d, double q) {
  if (!Valid(d) || !(q >= 0 && q <= 1)) return kNaN;
  if (d.ncp == 0) return quantile_upper(ChiSquared{d.df}, q);
  if (q == 0) return kInf;
  if (q == 1) return 0.0;
  return SolveSmallerTail(d, OfProbability(q, TailSide::kUpper));
}

double quantile_log(const NonCentralChiSquared& d, double logP) {
  if (!Valid(d) || !(logP <= 0)) return kNaN;
  if (d.ncp == 0) return quantile_log(ChiSquared{d.df}, logP);
  if (logP == -kInf) return 0.0;
  if (logP == 0) return kInf;
  return SolveSmallerTail(d, OfLog(logP, TailSide::kLower));
}

double quantile_upper_log(const NonCentralChiSquared& d, double logQ) {
  if (!Valid(d) || !(logQ <= 0)) return kNaN;
  if (d.ncp == 0) return quantile_upper_log(ChiSquared{d.df}, logQ);
  if (logQ == -kInf) return kInf;
  if (logQ == 0) return 0.0;
  return SolveSmallerTail(d, OfLog(logQ, TailSide::kUpper));
}

}  // namespace specfun
