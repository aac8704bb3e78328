// The incomplete beta function's prefactor x^a y^b / B(a, b) in logarithms:
// the integrand's exponent relative to its peak from ln(1 + t) - t, and the
// peak from Stirling's remainders.
#include "specfun/kernels/beta_prefactor.hpp"

#include <cfloat>

#include "specfun/kernels/lanes.hpp"
#include "specfun/kernels/log_one_plus.hpp"
#include "specfun/kernels/stirling_remainder.hpp"

namespace specfun::detail {
namespace {

// a (ln(x/p) - D/a) with p = a/(a + b), u = D/a = x/p - 1; x is the
// argument on a's side and b the other parameter.
double ScaledLogRatio(double a, double b, double x, double d) {
  const double u = d / a;
  if (std::fabs(u) <= 0.5) return a * LogOnePlusMinusSelfSeries(u);
  if (u > 0.5 && std::isfinite(u)) return a * std::log1p(u) - d;
  // ln(x/p) = ln x + ln((a + b)/a), with x/p formed directly where it is a
  // normal double.
  const double ratio = b / a;
  double logRatio;
  if (std::isfinite(ratio)) {
    const double share = x + x * ratio;
    logRatio = (share >= DBL_MIN && std::isfinite(share)) ? std::log(share)
                                                          : std::log(x) + std::log1p(ratio);
  } else {
    logRatio = std::log(x) - std::log(a) + std::log(b) + std::log1p(a / b);
  }
  return a * logRatio - d;
}

// ScaledLogRatio given ln x as well: for x below p/2, a ln x is kept apart
// from a ln((a + b)/a) - D, so that an exact ln x is rounded only in its
// product with a.
double ScaledLogRatioGivenLog(double a, double b, double x, double logX, double d) {
  if (!(d / a < -0.5)) return ScaledLogRatio(a, b, x, d);
  const double ratio = b / a;
  const double logShare = std::isfinite(ratio) ? std::log1p(ratio)
                                               : std::log(b) - std::log(a) + std::log1p(a / b);
  return a * logX + (a * logShare - d);
}

}  // namespace

double LogShare(double a, double b) {
  if (a >= b) return -std::log1p(b / a);
  return (std::log(a) - std::log(b)) - std::log1p(a / b);
}

StirlingTerms StirlingRemainders(double a, double b) {
  return {StirlingRemainderSeries(a + b), StirlingRemainderSeries(a), StirlingRemainderSeries(b)};
}

double LogPeak(double a, double b, double logSum, const StirlingTerms& mu) {
  const double logRoot = 0.5 * (std::log(a) + std::log(b) - logSum) - kHalfLogTwoPi;
  return logRoot + (mu.sum - mu.a - mu.b);
}

double LogPeak(double a, double b) {
  return LogPeak(a, b, LogSum(a, b), StirlingRemainders(a, b));
}

double IntegrandExponent(double x, double y, double a, double b, double d) {
  const double e = ScaledLogRatio(a, b, x, d) + ScaledLogRatio(b, a, y, -d);
  return std::fmin(e, 0.0);
}

double IntegrandExponentGivenLogs(double x, double y, double logX, double logY, double a,
                                  double b, double d) {
  const double e =
      ScaledLogRatioGivenLog(a, b, x, logX, d) + ScaledLogRatioGivenLog(b, a, y, logY, -d);
  return std::fmin(e, 0.0);
}

namespace {

// PrefactorPartsInLanes: the series of LogOnePlusMinusSelfSeries and
// StirlingSeriesTerms side by side (StirlingRemainderSeries being 0 +
// StirlingSeriesTerms from kStirlingSeriesStart on); a lane whose deviation
// leaves the series' range takes IntegrandExponent itself.
SPECFUN_LANE_TARGETS
void FormPrefactorPartsInLanes(const double* x, const double* y, const double* a,
                               const double* b, const double* d, double* exponent, double* muSum,
                               double* muA, double* muB) {
  const Lanes la = Lanes::Load(a);
  const Lanes lb = Lanes::Load(b);
  const Lanes ld = Lanes::Load(d);
  // As ScaledLogRatio(a, b, x, d) + ScaledLogRatio(b, a, y, -d).
  const Lanes ua = ld / la;
  const Lanes ub = -ld / lb;
  const Lanes e = la * LogOnePlusMinusSelfSeries(ua) + lb * LogOnePlusMinusSelfSeries(ub);
  (0.0 + StirlingSeriesTerms(la + lb)).Store(muSum);
  (0.0 + StirlingSeriesTerms(la)).Store(muA);
  (0.0 + StirlingSeriesTerms(lb)).Store(muB);
  const unsigned inRange = MagnitudeAtMost(ua, 0.5) & MagnitudeAtMost(ub, 0.5);
  for (int lane = 0; lane < kLaneCount; ++lane) {
    exponent[lane] = (inRange >> lane) & 1u
                         ? std::fmin(e.Get(lane), 0.0)
                         : IntegrandExponent(x[lane], y[lane], a[lane], b[lane], d[lane]);
  }
}

}  // namespace

void PrefactorPartsInLanes(const double* x, const double* y, const double* a, const double* b,
                           const double* d, double* exponent, double* muSum, double* muA,
                           double* muB) {
  FormPrefactorPartsInLanes(x, y, a, b, d, exponent, muSum, muA, muB);
}

}  // namespace specfun::detail
