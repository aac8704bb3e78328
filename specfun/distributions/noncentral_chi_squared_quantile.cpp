// Quantiles of the non-central chi-square distribution: the root in s = ln x
// of ln T(e^s) = ln t, T the tail that is at most ½ at the root (the lower
// for p <= ½), by Newton's method kept in a bracket (SolveOnLogTail) with the
// slope the tail's sweep gives beside it. The start is Patnaik's two-moment
// approximation X ≈ c·χ²(ν), c = (df + 2 ncp)/(df + ncp),
// ν = (df + ncp)²/(df + 2 ncp), with χ²(ν) in the Wilson–Hilferty cube-root
// normal form; far in the lower tail the leading term of the mixture,
// P ≈ e^-m z^a/Γ(a + 1), and far in the upper tail ln Q ≈ −(√x − √ncp)²/2.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "specfun/distributions.hpp"
#include "specfun/distributions/noncentral_chi_squared_parts.hpp"
#include "specfun/kernels/normal_tail.hpp"
#include "specfun/kernels/log_tail_newton.hpp"

namespace specfun {
namespace {

using detail::Other;
using detail::TailSide;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// ln of the smallest positive and of the largest double: the bracket in s.
constexpr double kLowestLog = -744.44007192138126;
constexpr double kHighestLog = 709.78271289338397;
// The tail evaluations a quantile may take (each a microsecond or so).
constexpr int kMostEvaluations = 40;
// Newton's steps end below this in s: the last one's error is of its square
// times the curvature over the slope, which reaches 1e6 where the tail is
// steep in ln x.
constexpr double kStepTolerance = 1e-11;

bool Valid(const NonCentralChiSquared& d) {
  return d.df > 0 && d.df < kInf && d.ncp >= 0 && d.ncp < kInf;
}

// A start for x with ln T(x) = target, T the lower or upper tail.
double StartOf(double a, double m, double target, TailSide side) {
  const double y = detail::NormalDeviateOfLogTail(target);
  // Patnaik: c ν = 2(a + m), 2/(9ν) = (a + 2m)/(9 (a + m)²).
  const double twoNinths = (a + 2 * m) / (9 * (a + m) * (a + m));
  const double deviate = side == TailSide::kLower ? -y : y;
  const double base = 1 - twoNinths + deviate * std::sqrt(twoNinths);
  const double patnaik = 2 * (a + m) * base * base * base;
  if (side == TailSide::kLower) {
    if (base > 0.3) return patnaik;
    return 2 * std::exp((target + m + std::lgamma(a + 1)) / a);
  }
  if (target > -50) return patnaik;
  const double root = std::sqrt(2 * m) + std::sqrt(-2 * target);
  return std::max(patnaik, root * root);
}

// The tail on `side` at z = x/2 with its slope in ln x, taken as one minus
// the other tail where x lies on the side of the mean where it is the larger
// and the other is at most ½: a step that strays there then sums the few
// terms of the small tail, not the many of the large one.
detail::TailAndSlope TailForSolver(double a, double m, double z, TailSide side) {
  const bool aboveMean = z >= a + m;
  const bool largerSide = (side == TailSide::kUpper) != aboveMean;
  if (!largerSide || !detail::MixtureTakes(a, m, z)) return detail::NonCentralTail(a, m, z, side);
  const detail::TailAndSlope other = detail::NonCentralTail(a, m, z, Other(side));
  if (!(other.tail.value <= 0.5)) return detail::NonCentralTail(a, m, z, side);
  const double value = 1 - other.tail.value;
  // d ln(1 - T')/d ln x = -T'/(1 - T') · d ln T'/d ln x, the sign turned by
  // the tail's own.
  return {{value, std::log1p(-other.tail.value)}, other.slope * other.tail.value / value};
}

// The x with ln T(x) = target (target <= ln ½ for the root's tail). Given
// also the tail itself, `value` = e^target, the steps compare T with it
// directly, ln(T/value), which keeps T's relative precision (ln T rounded
// to a double keeps only |ln T| times that).
double SolveTail(const NonCentralChiSquared& d, double target, TailSide side, double value = 0.0) {
  const double a = 0.5 * d.df, m = 0.5 * d.ncp;
  const double start = StartOf(a, m, target, side);
  const double sign = side == TailSide::kLower ? 1.0 : -1.0;
  double lastX = 0.0, lastStep = 0.0;
  int evaluations = 0;
  const auto evaluate = [&](double s) {
    // Past kMostEvaluations the iteration ends where it stands: only roots
    // beyond the doubles' range (a df near 0 puts the lower tail's mass at
    // about e^(-2/df)) take the bracket's halving that far.
    if (++evaluations > kMostEvaluations) return detail::LogTailStep{0.0, 1.0};
    const double x = std::exp(s);
    const detail::TailAndSlope t = TailForSolver(a, m, 0.5 * x, side);
    const bool linear = value >= DBL_MIN && t.tail.value >= DBL_MIN;
    const double h = sign * (linear ? std::log(t.tail.value / value) : t.tail.log - target);
    const double slope = t.slope > 0 ? t.slope : DBL_MIN;
    lastX = x;
    lastStep = h / slope;
    return detail::LogTailStep{h, slope};
  };
  const double startLog = std::clamp(std::log(start), kLowestLog, kHighestLog);
  const double tolerance = kStepTolerance / std::max(1.0, std::fabs(startLog));
  detail::SolveOnLogTail(evaluate, std::isnan(startLog) ? 0.0 : startLog, kLowestLog, kHighestLog,
                         tolerance);
  // Newton's last step from the x evaluated last, taken in x.
  return std::isfinite(lastStep) ? lastX * std::exp(-lastStep) : lastX;
}

// ln ½: a tail below it is the smaller one.
constexpr double kLogHalf = -0.69314718055994531;

// The x with ln T(x) = logT, from the tail that is the smaller there.
double SolveEitherTail(const NonCentralChiSquared& d, double logT, TailSide side) {
  if (logT <= kLogHalf) return SolveTail(d, logT, side);
  return SolveTail(d, std::log(-std::expm1(logT)), Other(side));
}

}  // namespace

double quantile(const NonCentralChiSquared& d, double p) {
  if (!Valid(d) || !(p >= 0 && p <= 1)) return kNaN;
  if (d.ncp == 0) return quantile(ChiSquared{d.df}, p);
  if (p == 0) return 0.0;
  if (p == 1) return kInf;
  if (p <= 0.5) return SolveTail(d, std::log(p), TailSide::kLower, p);
  return SolveTail(d, std::log1p(-p), TailSide::kUpper, 1 - p);
}

double quantile_upper(const NonCentralChiSquared& d, double q) {
  if (!Valid(d) || !(q >= 0 && q <= 1)) return kNaN;
  if (d.ncp == 0) return quantile_upper(ChiSquared{d.df}, q);
  if (q == 0) return kInf;
  if (q == 1) return 0.0;
  if (q <= 0.5) return SolveTail(d, std::log(q), TailSide::kUpper, q);
  return SolveTail(d, std::log1p(-q), TailSide::kLower, 1 - q);
}

double quantile_log(const NonCentralChiSquared& d, double logP) {
  if (!Valid(d) || !(logP <= 0)) return kNaN;
  if (d.ncp == 0) return quantile_log(ChiSquared{d.df}, logP);
  if (logP == -kInf) return 0.0;
  if (logP == 0) return kInf;
  return SolveEitherTail(d, logP, TailSide::kLower);
}

double quantile_upper_log(const NonCentralChiSquared& d, double logQ) {
  if (!Valid(d) || !(logQ <= 0)) return kNaN;
  if (d.ncp == 0) return quantile_upper_log(ChiSquared{d.df}, logQ);
  if (logQ == -kInf) return kInf;
  if (logQ == 0) return 0.0;
  return SolveEitherTail(d, logQ, TailSide::kUpper);
}

}  // namespace specfun
