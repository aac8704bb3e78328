// The beta distribution: cdf = I(x, a, b), sf = I(1 - x, b, a), each tail
// evaluated for itself (specfun/kernels/precise_beta.hpp), the density
// x^(a-1) (1 - x)^(b-1) / B(a, b) from the same double-double prefactor,
// and the quantiles from the beta root (precise_beta_quantile.hpp).
#include <cmath>
#include <limits>

#include "specfun/distributions.hpp"
#include "specfun/kernels/precise_beta.hpp"
#include "specfun/kernels/table_log.hpp"
#include "specfun/kernels/precise_beta_quantile.hpp"

namespace specfun {
namespace {

using detail::BetaPoint;
using detail::PreciseTails;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// Below this log-prefactor the density is formed from its logarithm.
constexpr double kLogValueFloor = -700.0;

bool Valid(const Beta& d) {
  return d.a > 0.0 && d.b > 0.0 && std::isfinite(d.a) && std::isfinite(d.b);
}

// The tails at x (the limits at and beyond the ends).
PreciseTails Tails(const Beta& d, double x) {
  if (!Valid(d) || std::isnan(x)) return {kNaN, kNaN};
  if (x <= 0.0) return {0.0, 1.0};
  if (x >= 1.0) return {1.0, 0.0};
  return detail::PreciseBetaTails(detail::PointAt(x), d.a, d.b);
}

PreciseTails LogTails(const Beta& d, double x) {
  if (!Valid(d) || std::isnan(x)) return {kNaN, kNaN};
  if (x <= 0.0) return {-kInf, 0.0};
  if (x >= 1.0) return {0.0, -kInf};
  return detail::PreciseLogBetaTails(detail::PointAt(x), d.a, d.b);
}

// ln of the density at 0 < x < 1: ln(x^a y^b / B(a, b)) - ln x - ln y.
detail::DoubleDouble LogDensity(const Beta& d, double x) {
  const BetaPoint point = detail::PointAt(x);
  return detail::LogBetaPrefactor(point, d.a, d.b) - detail::TableLog(point.x) -
         detail::TableLog(point.y);
}

// The density's limit at an end where its parameter is c and the other e:
// infinite for c < 1, 1/B(1, e) = e for c = 1, else 0.
double DensityAtEnd(double c, double e) {
  if (c < 1.0) return kInf;
  return c == 1.0 ? e : 0.0;
}

// The quantile of a probability (isLog false) or of its logarithm, of the
// lower tail (the upper one where `upper`).
double QuantileOf(const Beta& d, double argument, bool isLog, bool upper) {
  const detail::TailTarget target = detail::SmallerTailTarget(argument, isLog);
  if (!Valid(d) || std::isnan(target.log)) return kNaN;
  return detail::PreciseBetaQuantile(target, upper != target.complemented, d.a, d.b).x;
}

}  // namespace

double cdf(const Beta& d, double x) { return Tails(d, x).lower; }
double sf(const Beta& d, double x) { return Tails(d, x).upper; }
double log_cdf(const Beta& d, double x) { return LogTails(d, x).lower; }
double log_sf(const Beta& d, double x) { return LogTails(d, x).upper; }

double pdf(const Beta& d, double x) {
  if (!Valid(d) || std::isnan(x)) return kNaN;
  if (x < 0.0 || x > 1.0) return 0.0;
  if (x == 0.0) return DensityAtEnd(d.a, d.b);
  if (x == 1.0) return DensityAtEnd(d.b, d.a);
  const BetaPoint point = detail::PointAt(x);
  const detail::DoubleDouble logPrefactor = detail::LogBetaPrefactor(point, d.a, d.b);
  if (logPrefactor.hi > kLogValueFloor) {
    const detail::DoubleDouble product = point.x * point.y;
    const double prefactor = detail::Exp(logPrefactor);
    // A density beyond the largest double (x or y near the end of a small
    // parameter's side) is +inf, not the double-double quotient's NaN.
    if (std::isinf(prefactor / product.hi)) return kInf;
    return (detail::DoubleDouble{prefactor, 0.0} / product).hi;
  }
  return detail::Exp(LogDensity(d, x));
}

double log_pdf(const Beta& d, double x) {
  if (!Valid(d) || std::isnan(x)) return kNaN;
  if (x < 0.0 || x > 1.0) return -kInf;
  if (x == 0.0 || x == 1.0) {
    const double density = x == 0.0 ? DensityAtEnd(d.a, d.b) : DensityAtEnd(d.b, d.a);
    return std::log(density);
  }
  return LogDensity(d, x).hi;
}

double quantile(const Beta& d, double p) { return QuantileOf(d, p, false, false); }
double quantile_upper(const Beta& d, double q) { return QuantileOf(d, q, false, true); }
double quantile_log(const Beta& d, double logP) { return QuantileOf(d, logP, true, false); }
double quantile_upper_log(const Beta& d, double logQ) { return QuantileOf(d, logQ, true, true); }

}  // namespace specfun
