// Student's t distribution through the incomplete beta function
// (A&S 26.7.1): with x = t²/(ν + t²), 1 - x = ν/(ν + t²),
//   P(|T| <= |t|) = I(x, 1/2, ν/2),  P(|T| > |t|) = I(1 - x, ν/2, 1/2),
// each tail evaluated for itself from the shares in double-double (the
// logarithms where t² leaves the doubles), so that P(T <= t) = ½ P(|T| > |t|)
// for t < 0 keeps its digits to the end of the double range. The density
// is x^(1/2) (1 - x)^(ν/2) / (B(1/2, ν/2) |t|), the quantiles the beta root
// of the two-sided tail, refined by Newton's method in t itself. ν = +inf
// is the standard normal distribution, whose own functions serve.
#include <cmath>
#include <limits>

#include "specfun/distributions.hpp"
#include "specfun/kernels/math_constants.hpp"
#include "specfun/kernels/precise_beta.hpp"
#include "specfun/kernels/table_log.hpp"
#include "specfun/kernels/precise_beta_quantile.hpp"

namespace specfun {
namespace {

using detail::PreciseTails;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
using detail::kLogTwo;
// Below this |t| the density is its value at 0 to all digits (the next
// term, of order t², being below 1e-200 of it for every ν >= 1e-100).
constexpr double kCentralT = 1e-100;
constexpr int kRefinements = 2;
// Beyond this smaller tail the root is sought from the central share
// P(|T| <= t) = |2P - 1| (a lower beta tail), which keeps the digits of a P
// near 1/2; below it from the two-sided tail P(|T| > t) = 2 min(P, 1 - P).
constexpr double kCentralFrom = 0.25;

bool Valid(const StudentT& d) { return d.df > 0.0; }
bool NormalLimit(const StudentT& d) { return std::isinf(d.df); }

detail::BetaPoint PointOf(const StudentT& d, double t) {
  return detail::PointOfShares(std::fabs(t), std::fabs(t), d.df);
}

// For ν = 1 and ν = 2 the tails have closed forms (A&S 26.7.3, 26.7.4):
//   ν = 1: P(T > |t|) = atan(1/|t|)/π,  ν = 2: P(T > |t|) = 1/(r (r + |t|)),
// r = √(2 + t²), each within a few units in the last place, and so have the
// quantiles that invert them (t = 1/tan(πP) and t = (1 - 2P)/√(2P(1 - P))
// for the smaller tail P). They serve for |t| up to kClosedFormReach.
constexpr double kClosedFormReach = 1e150;
using detail::kPi;
constexpr double kLogPi = 1.14472988584940017414;

bool ClosedForm(const StudentT& d) { return d.df == 1.0 || d.df == 2.0; }

// P(T > |t|) for 0 < |t| <= kClosedFormReach.
double ClosedFormTail(const StudentT& d, double t) {
  const double at = std::fabs(t);
  if (d.df == 1.0) return std::atan2(1.0, at) / kPi;
  const double r = std::sqrt(2.0 + at * at);
  return 1.0 / (r * (r + at));
}

// t > 0 with P(T > t) = target, `share` = 1 - 2 target where that is above
// 1 - 2 kCentralFrom (exact there).
double ClosedFormRoot(const StudentT& d, const detail::TailTarget& target, double share) {
  const double p = target.value;
  if (d.df == 1.0) {
    if (p > kCentralFrom) return std::tan(0.5 * kPi * share);
    if (p < detail::kTargetValueFloor) return std::exp(-kLogPi - target.log);
    return 1.0 / std::tan(kPi * p);
  }
  if (p < detail::kTargetValueFloor) return std::exp(-0.5 * (kLogTwo + target.log));
  const double centre = p > kCentralFrom ? share : 1.0 - 2.0 * p;
  return centre / std::sqrt(2.0 * p * (1.0 - p));
}

// P(T <= t) and P(T > t), or their logarithms.
PreciseTails Tails(const StudentT& d, double t, bool logarithm) {
  if (!Valid(d) || std::isnan(t)) return {kNaN, kNaN};
  if (std::isinf(t)) {
    const PreciseTails ends = t < 0.0 ? PreciseTails{0.0, 1.0} : PreciseTails{1.0, 0.0};
    return logarithm ? PreciseTails{std::log(ends.lower), std::log(ends.upper)} : ends;
  }
  if (NormalLimit(d)) {
    const Normal z{};
    return logarithm ? PreciseTails{log_cdf(z, t), log_sf(z, t)} : PreciseTails{cdf(z, t), sf(z, t)};
  }
  if (t == 0.0) return logarithm ? PreciseTails{-kLogTwo, -kLogTwo} : PreciseTails{0.5, 0.5};
  if (!logarithm && ClosedForm(d) && std::fabs(t) <= kClosedFormReach) {
    const double small = ClosedFormTail(d, t);
    return t < 0.0 ? PreciseTails{small, 1.0 - small} : PreciseTails{1.0 - small, small};
  }
  const detail::BetaPoint point = PointOf(d, t);
  const double a = 0.5;
  const double b = 0.5 * d.df;
  // Two-sided: inside = P(|T| <= |t|), outside = P(|T| > |t|).
  const PreciseTails twoSided = detail::PreciseBetaTails(point, a, b);
  double near;
  double far;
  if (logarithm) {
    const PreciseTails logs = detail::PreciseLogBetaTails(point, a, b);
    near = logs.upper - kLogTwo;
    far = std::log1p(-0.5 * twoSided.upper);
  } else {
    near = 0.5 * twoSided.upper;
    far = 0.5 + 0.5 * twoSided.lower;
  }
  return t < 0.0 ? PreciseTails{near, far} : PreciseTails{far, near};
}

// ln of the density at t.
double LogDensity(const StudentT& d, double t) {
  if (NormalLimit(d)) return log_pdf(Normal{}, t);
  const double at = std::fmax(std::fabs(t), kCentralT);
  const detail::DoubleDouble logPrefactor =
      detail::LogBetaPrefactor(PointOf(d, at), 0.5, 0.5 * d.df);
  return (logPrefactor - detail::TableLog(detail::Exact(at))).hi;
}

double Density(const StudentT& d, double t) {
  if (NormalLimit(d)) return pdf(Normal{}, t);
  const double at = std::fmax(std::fabs(t), kCentralT);
  const detail::DoubleDouble logPrefactor =
      detail::LogBetaPrefactor(PointOf(d, at), 0.5, 0.5 * d.df);
  return detail::Exp(logPrefactor - detail::TableLog(detail::Exact(at)));
}


// The Cornish–Fisher expansion of the quantile in the normal deviate z
// (A&S 26.7.5) serves as the start from this ν on, for z² up to
// ν/kCornishFisherReach: its next term is then below 1e-8 of t, and the
// Newton steps that follow take it to the last digits.
constexpr double kCornishFisherFrom = 50.0;
constexpr double kCornishFisherReach = 10.0;

// The start for the t > 0 with P(T > t) = target (NaN where the expansion
// does not serve).
double CornishFisherStart(const StudentT& d, const detail::TailTarget& target) {
  const double nu = d.df;
  if (!(nu >= kCornishFisherFrom)) return kNaN;
  const double z = quantile_upper_log(Normal{}, target.log);
  const double z2 = z * z;
  if (!(z2 * kCornishFisherReach <= nu)) return kNaN;
  const double g1 = (z2 + 1.0) * z / 4.0;
  const double g2 = ((5.0 * z2 + 16.0) * z2 + 3.0) * z / 96.0;
  const double g3 = (((3.0 * z2 + 19.0) * z2 + 17.0) * z2 - 15.0) * z / 384.0;
  const double g4 =
      ((((79.0 * z2 + 776.0) * z2 + 1482.0) * z2 - 1920.0) * z2 - 945.0) * z / 92160.0;
  return z + (g1 + (g2 + (g3 + g4 / nu) / nu) / nu) / nu;
}

// t > 0 with P(T > t) = target <= kCentralFrom, refined by Newton's steps on
// the logarithm of that tail in t.
double OuterRoot(const StudentT& d, const detail::TailTarget& target) {
  double t = CornishFisherStart(d, target);
  if (std::isnan(t)) {
    const detail::TailTarget twoSided = {target.log + kLogTwo, 2.0 * target.value, false};
    const detail::PreciseBetaRoot root =
        detail::PreciseBetaQuantile(twoSided, true, 0.5, 0.5 * d.df, false);
    // t² = ν x/(1 - x) = ν e^u.
    t = std::exp(0.5 * (std::log(d.df) + root.logRatio));
    if (root.x >= 1e-300 && root.y >= 1e-300) t = std::sqrt(d.df * (root.x / root.y));
  }
  for (int k = 0; k < kRefinements && t > 0.0 && !std::isinf(t); ++k) {
    // P(T > t) = P(|T| > t)/2, the density x^a y^b / (B(a, b) t).
    const detail::BetaEvaluation e = detail::EvaluateBeta(PointOf(d, t), 0.5, 0.5 * d.df);
    const detail::DoubleDouble logTail = e.logUpper - detail::kLogTwoDoubleDouble;
    const double h = detail::LogRatioTo(target, 0.5 * e.tails.upper, logTail);
    const double logDensity = e.logPrefactor.hi - std::log(t);
    const double next = detail::NewtonOnLogTail(t, h, logTail.hi, logDensity, false);
    if (!(next > 0.0) || std::isinf(next)) break;
    t = next;
  }
  return t;
}

// t >= 0 with P(|T| <= t) = share (P(T > t) = target), refined by Newton's
// steps in t.
double CentralRoot(const StudentT& d, double share, const detail::TailTarget& target) {
  double t = CornishFisherStart(d, target);
  if (std::isnan(t)) {
    const detail::TailTarget inside = {std::log(share), share, false};
    const detail::PreciseBetaRoot root =
        detail::PreciseBetaQuantile(inside, false, 0.5, 0.5 * d.df, false);
    t = std::sqrt(d.df * (root.x / root.y));
  }
  for (int k = 0; k < kRefinements && t > 0.0; ++k) {
    // P(|T| <= t) is the lower beta tail, the density x^a y^b / (B(a, b) t).
    const detail::BetaEvaluation e = detail::EvaluateBeta(PointOf(d, t), 0.5, 0.5 * d.df);
    const double density = std::exp(e.logPrefactor.hi) / t;
    const double step = -(e.tails.lower - share) / (2.0 * density);
    // g = P(|T| <= t) - share: g''/g' = f'/f = -(ν + 1) t/(ν + t²).
    const double curvature = (d.df + 1.0) * t / (d.df + t * t);
    t += step;
    if (detail::NewtonSettled(step, curvature, t)) break;
  }
  return t;
}

// The t whose lower tail (upper where `upper`) is the probability
// `argument` (isLog false) or has it as its logarithm.
double QuantileOf(const StudentT& d, double argument, bool isLog, bool upper) {
  if (NormalLimit(d)) {
    const Normal z{};
    if (isLog) return upper ? quantile_upper_log(z, argument) : quantile_log(z, argument);
    return upper ? quantile_upper(z, argument) : quantile(z, argument);
  }
  const detail::TailTarget target = detail::SmallerTailTarget(argument, isLog);
  if (!Valid(d) || std::isnan(target.log)) return kNaN;
  // The root lies on the side of the smaller tail.
  const bool negative = target.complemented == upper;
  if (target.value == 0.5) return 0.0;
  const double share = target.value > kCentralFrom ? detail::CentralShare(argument, isLog) : kNaN;
  double t;
  if (ClosedForm(d)) {
    t = ClosedFormRoot(d, target, share);
  } else {
    t = target.value > kCentralFrom ? CentralRoot(d, share, target) : OuterRoot(d, target);
  }
  return negative ? -t : t;
}

}  // namespace

double cdf(const StudentT& d, double t) { return Tails(d, t, false).lower; }
double sf(const StudentT& d, double t) { return Tails(d, t, false).upper; }
double log_cdf(const StudentT& d, double t) { return Tails(d, t, true).lower; }
double log_sf(const StudentT& d, double t) { return Tails(d, t, true).upper; }

double pdf(const StudentT& d, double t) {
  if (!Valid(d) || std::isnan(t)) return kNaN;
  if (std::isinf(t)) return 0.0;
  return Density(d, t);
}

double log_pdf(const StudentT& d, double t) {
  if (!Valid(d) || std::isnan(t)) return kNaN;
  if (std::isinf(t)) return -kInf;
  return LogDensity(d, t);
}

double quantile(const StudentT& d, double p) { return QuantileOf(d, p, false, false); }
double quantile_upper(const StudentT& d, double q) { return QuantileOf(d, q, false, true); }
double quantile_log(const StudentT& d, double logP) { return QuantileOf(d, logP, true, false); }
double quantile_upper_log(const StudentT& d, double logQ) {
  return QuantileOf(d, logQ, true, true);
}

}  // namespace specfun
