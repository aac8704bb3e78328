// The normal distribution: the ten functions of the standardised argument
// z = (x - mean) / sd on the kernels of specfun/kernels/normal_tail.hpp.
// Q(-w) = 1 - Q(w) is formed from the small tail Q(w) where w > 1/2 (no
// relative accuracy is lost: 1 - Q(w) >= 1/2), and its logarithm as
// log1p(-Q(w)).
#include <cmath>
#include <limits>

#include "specfun/distributions.hpp"
#include "specfun/distributions/normal_stages.hpp"
#include "specfun/kernels/normal_tail.hpp"

namespace specfun {
namespace {

using detail::kGaussianCentreEnd;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

using detail::Standardised;

// P(Z > z).
double UpperTail(double z) {
  if (std::isnan(z)) return z;
  if (std::fabs(z) <= kGaussianCentreEnd) return 0.5 - detail::GaussianCentre(z);
  const double small = detail::GaussianUpperTail(std::fabs(z));
  return z > 0.0 ? small : 1.0 - small;
}

// ln P(Z > z).
double LogUpperTail(double z) {
  if (std::isnan(z)) return z;
  if (std::fabs(z) <= kGaussianCentreEnd) return std::log(0.5 - detail::GaussianCentre(z));
  if (z > 0.0) return detail::LogGaussianUpperTail(z);
  return std::log1p(-detail::GaussianUpperTail(-z));
}

}  // namespace

namespace {

// The z with P(Z <= z) = p.
double StandardQuantile(double p) {
  detail::DeviateFit fit;
  double z;
  return detail::NormalQuantileFit(p, fit, z) ? detail::Evaluate(fit) : z;
}

}  // namespace

using detail::Destandardised;

double cdf(const Normal& d, double x) { return UpperTail(-Standardised(d, x)); }
double sf(const Normal& d, double x) { return UpperTail(Standardised(d, x)); }
double log_cdf(const Normal& d, double x) { return LogUpperTail(-Standardised(d, x)); }
double log_sf(const Normal& d, double x) { return LogUpperTail(Standardised(d, x)); }

double pdf(const Normal& d, double x) {
  const double z = Standardised(d, x);
  if (std::isnan(z)) return z;
  return detail::GaussianDensity(z) / d.sd;
}

double log_pdf(const Normal& d, double x) {
  const double z = Standardised(d, x);
  if (std::isnan(z)) return z;
  const double logDensity = detail::LogGaussianDensity(z);
  return d.sd == 1.0 ? logDensity : logDensity - std::log(d.sd);
}

double quantile(const Normal& d, double p) { return Destandardised(d, StandardQuantile(p)); }
double quantile_upper(const Normal& d, double q) {
  return Destandardised(d, -StandardQuantile(q));
}
double quantile_log(const Normal& d, double lp) {
  return Destandardised(d, detail::StandardNormalQuantileOfLog(lp));
}
double quantile_upper_log(const Normal& d, double lq) {
  return Destandardised(d, -detail::StandardNormalQuantileOfLog(lq));
}

}  // namespace specfun
