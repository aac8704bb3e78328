// The F distribution through the incomplete beta function (A&S 26.6.2):
// with x = ν1 F/(ν2 + ν1 F), 1 - x = ν2/(ν2 + ν1 F),
//   P(X <= F) = I(x, ν1/2, ν2/2),  P(X > F) = I(1 - x, ν2/2, ν1/2),
// each tail for itself from the shares in double-double (their logarithms
// where ν1 F leaves the doubles); the density x^(ν1/2) (1 - x)^(ν2/2) /
// (B(ν1/2, ν2/2) F); the quantiles from the beta root, F = (ν2/ν1) x/(1 - x),
// refined by Newton's method in F. An infinite degree of freedom is taken
// as 2^900, beside which any finite one leaves the limit's digits unchanged.
#include <cmath>
#include <limits>

#include "specfun/distributions.hpp"
#include "specfun/kernels/precise_beta.hpp"
#include "specfun/kernels/table_log.hpp"
#include "specfun/kernels/precise_beta_quantile.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

using detail::PreciseTails;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kInfiniteDegrees = 0x1p900;
constexpr int kRefinements = 2;

bool Valid(const FisherF& d) { return d.df1 > 0.0 && d.df2 > 0.0; }

// Both degrees of freedom infinite: all the mass at 1.
bool PointMass(const FisherF& d) { return std::isinf(d.df1) && std::isinf(d.df2); }

double Degrees(double df) { return std::isinf(df) ? kInfiniteDegrees : df; }

// With one degree of freedom infinite F is a chi-square limit: for ν2 = ∞,
// P(X > F) = Q(a, a F) with a = ν1/2; for ν1 = ∞, P(X <= F) = Q(c, c/F) with
// c = ν2/2 (Q the regularized upper incomplete gamma function). Where that
// argument z exceeds kFarGammaFrom the stand-in degrees of freedom no longer
// serve, and ln Q(a, z) = -z + (a - 1) ln z - ln Γ(a) + ln(1 + (a - 1)/z + ...)
// to all digits of a double (the next term is below 1e-100 there).
constexpr double kFarGammaFrom = 0x1p400;

struct FarGammaTail {
  bool applies;
  bool upper;  // the far tail is P(X > F)
  double log;
};

double LogGammaTail(double a, double z) {
  return -z + (a - 1.0) * std::log(z) - LnGamma(a);
}

FarGammaTail FarGammaTailOf(const FisherF& d, double f) {
  if (std::isinf(d.df2) && !std::isinf(d.df1)) {
    const double a = 0.5 * d.df1;
    const double z = a * f;
    if (z >= kFarGammaFrom) return {true, true, LogGammaTail(a, z)};
  }
  if (std::isinf(d.df1) && !std::isinf(d.df2)) {
    const double c = 0.5 * d.df2;
    const double z = c / f;
    if (z >= kFarGammaFrom) return {true, false, LogGammaTail(c, z)};
  }
  return {false, false, 0.0};
}

PreciseTails Tails(const FisherF& d, double f, bool logarithm) {
  if (!Valid(d) || std::isnan(f)) return {kNaN, kNaN};
  PreciseTails ends{kNaN, kNaN};
  if (f <= 0.0) ends = {0.0, 1.0};
  if (std::isinf(f)) ends = {1.0, 0.0};
  if (PointMass(d)) {
    ends = f >= 1.0 ? PreciseTails{1.0, 0.0} : PreciseTails{0.0, 1.0};
  }
  if (!std::isnan(ends.lower)) {
    return logarithm ? PreciseTails{std::log(ends.lower), std::log(ends.upper)} : ends;
  }
  const FarGammaTail far = FarGammaTailOf(d, f);
  if (far.applies) {
    // The far tail is below the doubles; the other is 1 to all digits.
    const double tail = logarithm ? far.log : 0.0;
    const double rest = logarithm ? -std::exp(far.log) : 1.0;
    return far.upper ? PreciseTails{rest, tail} : PreciseTails{tail, rest};
  }
  const double n1 = Degrees(d.df1);
  const double n2 = Degrees(d.df2);
  const detail::BetaPoint point = detail::PointOfShares(n1, f, n2);
  return logarithm ? detail::PreciseLogBetaTails(point, 0.5 * n1, 0.5 * n2)
                   : detail::PreciseBetaTails(point, 0.5 * n1, 0.5 * n2);
}

// ln of the density at f > 0 in the chi-square limits beyond kFarGammaFrom:
// a ln a + (a - 1) ln F - a F - ln Γ(a) for ν2 = ∞ (a = ν1/2), and
// c ln c - (c + 1) ln F - c/F - ln Γ(c) for ν1 = ∞ (c = ν2/2).
double LogFarGammaDensity(const FisherF& d, double f) {
  if (std::isinf(d.df2)) {
    const double a = 0.5 * d.df1;
    return a * std::log(a) + (a - 1.0) * std::log(f) - a * f - LnGamma(a);
  }
  const double c = 0.5 * d.df2;
  return c * std::log(c) - (c + 1.0) * std::log(f) - c / f - LnGamma(c);
}

// ln of the density at f > 0: ln(x^a y^b / B(a, b)) - ln f.
detail::DoubleDouble LogDensity(const FisherF& d, double f) {
  if (FarGammaTailOf(d, f).applies) return detail::Exact(LogFarGammaDensity(d, f));
  const double n1 = Degrees(d.df1);
  const double n2 = Degrees(d.df2);
  const detail::BetaPoint point = detail::PointOfShares(n1, f, n2);
  return detail::LogBetaPrefactor(point, 0.5 * n1, 0.5 * n2) - detail::TableLog(detail::Exact(f));
}

// The density's limit at 0: infinite for ν1 < 2, 1 for ν1 = 2 (e^-F), else 0.
double DensityAtZero(const FisherF& d) {
  if (d.df1 < 2.0) return kInf;
  return d.df1 == 2.0 ? 1.0 : 0.0;
}

// The quantile of a probability (isLog false) or of its logarithm, of the
// lower tail (the upper one where `upper`).
double QuantileOf(const FisherF& d, double argument, bool isLog, bool upper) {
  const detail::TailTarget target = detail::SmallerTailTarget(argument, isLog);
  if (!Valid(d) || std::isnan(target.log)) return kNaN;
  if (PointMass(d)) return std::isinf(target.log) && upper == target.complemented ? 0.0 : 1.0;
  const double n1 = Degrees(d.df1);
  const double n2 = Degrees(d.df2);
  const bool onUpper = upper != target.complemented;
  const detail::PreciseBetaRoot root =
      detail::PreciseBetaQuantile(target, onUpper, 0.5 * n1, 0.5 * n2, false);
  double f = std::exp(std::log(n2) - std::log(n1) + root.logRatio);
  if (root.x >= 1e-300 && root.y >= 1e-300) f = (n2 / n1) * (root.x / root.y);
  if (!(f > 0.0) || std::isinf(f)) return f;
  for (int k = 0; k < kRefinements; ++k) {
    // The density is x^a y^b / (B(a, b) F).
    const detail::BetaEvaluation e =
        detail::EvaluateBeta(detail::PointOfShares(n1, f, n2), 0.5 * n1, 0.5 * n2);
    const double value = onUpper ? e.tails.upper : e.tails.lower;
    const detail::DoubleDouble logTail = onUpper ? e.logUpper : e.logLower;
    const double h = detail::LogRatioTo(target, value, logTail);
    const double logDensity = e.logPrefactor.hi - std::log(f);
    const double next = detail::NewtonOnLogTail(f, h, logTail.hi, logDensity, !onUpper);
    if (!(next > 0.0) || std::isinf(next)) break;
    // g = ln of the tail: |g''/g'| <= |f'/f| + f/tail, with the density's
    // f'/f = (ν1/2 - 1)/F - (ν1 + ν2) ν1/(2 (ν2 + ν1 F)).
    const double hazard = std::exp(logDensity - logTail.hi);
    const double slope = (0.5 * n1 - 1.0) / f - 0.5 * (n1 + n2) * n1 / (n2 + n1 * f);
    const double step = next - f;
    f = next;
    if (detail::NewtonSettled(step, std::fabs(slope) + hazard, f)) break;
  }
  return f;
}

}  // namespace

double cdf(const FisherF& d, double f) { return Tails(d, f, false).lower; }
double sf(const FisherF& d, double f) { return Tails(d, f, false).upper; }
double log_cdf(const FisherF& d, double f) { return Tails(d, f, true).lower; }
double log_sf(const FisherF& d, double f) { return Tails(d, f, true).upper; }

double pdf(const FisherF& d, double f) {
  if (!Valid(d) || std::isnan(f)) return kNaN;
  if (f < 0.0 || std::isinf(f)) return 0.0;
  if (PointMass(d)) return f == 1.0 ? kInf : 0.0;
  if (f == 0.0) return DensityAtZero(d);
  return detail::Exp(LogDensity(d, f));
}

double log_pdf(const FisherF& d, double f) {
  if (!Valid(d) || std::isnan(f)) return kNaN;
  if (f < 0.0 || std::isinf(f)) return -kInf;
  if (PointMass(d)) return f == 1.0 ? kInf : -kInf;
  if (f == 0.0) return std::log(DensityAtZero(d));
  return LogDensity(d, f).hi;
}

double quantile(const FisherF& d, double p) { return QuantileOf(d, p, false, false); }
double quantile_upper(const FisherF& d, double q) { return QuantileOf(d, q, false, true); }
double quantile_log(const FisherF& d, double logP) { return QuantileOf(d, logP, true, false); }
double quantile_upper_log(const FisherF& d, double logQ) {
  return QuantileOf(d, logQ, true, true);
}

}  // namespace specfun
