// The gamma distribution of shape k and scale s, and the chi-square
// distribution as Gamma{ν/2, 2}: cdf P(k, x/s), sf Q(k, x/s), density
// (x/s)^(k-1) e^(-x/s)/(Γ(k) s), from the incomplete gamma kernel. The
// quotient x/s is carried as a double-double, so a tail whose exponent is
// large keeps the digits of the exact quotient; below 1e-290 the tails are
// the leading term (x/s)^k/Γ(1 + k) of the series.
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

#include "specfun/distributions.hpp"
#include "specfun/kernels/double_double.hpp"
#include "specfun/kernels/incomplete_gamma.hpp"
#include "specfun/kernels/incomplete_gamma_inverse.hpp"

namespace specfun {
namespace {

using detail::DoubleDouble;
using detail::GammaTails;

// Below this x/s the series of P beyond its first term is below 1e-290 of it.
constexpr double kTinyArgument = 1e-290;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

double NaN() { return std::numeric_limits<double>::quiet_NaN(); }

bool Valid(const Gamma& d) {
  return d.shape > 0.0 && d.scale > 0.0 && std::isfinite(d.shape) && std::isfinite(d.scale);
}

Gamma AsGamma(const ChiSquared& d) { return {0.5 * d.df, 2.0}; }

// Whether s is a power of 2 (a normal double with no fraction bits).
bool IsPowerOfTwo(double s) {
  constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << 52) - 1;
  return s >= DBL_MIN && (std::bit_cast<std::uint64_t>(s) & kFractionMask) == 0;
}

// x/s as a double-double: exact in its leading part where s is a power of 2
// (the chi-square's 2) and the quotient a normal double.
DoubleDouble Standardized(double x, double scale) {
  if (scale == 1.0) return {x, 0.0};
  const double q = x / scale;
  if (IsPowerOfTwo(scale) && std::fabs(q) >= DBL_MIN) return {q, 0.0};
  const DoubleDouble product = detail::TwoProduct(q, scale);
  return {q, ((x - product.hi) - product.lo) / scale};
}

// ln(x/s) for x/s below kTinyArgument.
DoubleDouble LogOfTinyArgument(double x, double scale) {
  const DoubleDouble logX = detail::Log(detail::Exact(x));
  return scale == 1.0 ? logX : logX - detail::Log(detail::Exact(scale));
}

// ln((x/s)^k/Γ(1 + k)) for x/s below kTinyArgument: -inf where k ln(x/s)
// leaves the doubles (a huge shape), rather than the double-double's NaN.
DoubleDouble LogOfTinyPower(double x, const Gamma& d) {
  const DoubleDouble logArgument = LogOfTinyArgument(x, d.scale);
  if (!std::isfinite(logArgument.hi * d.shape)) return {-kInfinity, 0.0};
  return logArgument * d.shape - detail::LogGammaOnePlusAsDoubleDouble(d.shape);
}

// Both tails (or their logarithms) at 0 < x < inf.
GammaTails TailsAt(const Gamma& d, double x, bool logs) {
  const DoubleDouble z = Standardized(x, d.scale);
  if (z.hi >= kTinyArgument) {
    return logs ? detail::LogRegularizedGammaTails(d.shape, z.hi, z.lo)
                : detail::RegularizedGammaTails(d.shape, z.hi, z.lo);
  }
  const DoubleDouble logLower = LogOfTinyPower(x, d);
  const double lower = detail::Exp(logLower);
  const double upper = -std::expm1(logLower.hi + logLower.lo);
  if (!logs) return {lower, upper};
  return {logLower.hi + logLower.lo, lower < 0.5 ? std::log1p(-lower) : std::log(upper)};
}

// The tails with their limits at the ends of the support.
GammaTails Tails(const Gamma& d, double x, bool logs) {
  if (!Valid(d) || std::isnan(x)) return {NaN(), NaN()};
  if (x <= 0.0) return logs ? GammaTails{-kInfinity, 0.0} : GammaTails{0.0, 1.0};
  if (std::isinf(x)) return logs ? GammaTails{0.0, -kInfinity} : GammaTails{1.0, 0.0};
  return TailsAt(d, x, logs);
}

// ln(x/s) for 0 < x < inf.
DoubleDouble LogOfArgument(double x, double scale, const DoubleDouble& z) {
  if (z.hi >= kTinyArgument) return detail::Log(detail::Exact(z.hi)) + z.lo / z.hi;
  return LogOfTinyArgument(x, scale);
}

// ln of the density at 0 < x < inf: ln(D(k, x/s) k/x), D(k, z) = z^k
// e^(-z)/Γ(1 + k), whose exponent is free of cancellation; for k within ½
// of 1 as (k - 1) ln z - z - ln Γ(k) - ln s, which keeps its digits where it
// is near 0 while ln z is not (the exponential density near x = 0).
DoubleDouble LogDensityAt(const Gamma& d, double x) {
  const DoubleDouble z = Standardized(x, d.scale);
  if (std::fabs(d.shape - 1.0) <= 0.5) {
    const double shapeLessOne = d.shape - 1.0;
    const DoubleDouble logScale =
        d.scale == 1.0 ? DoubleDouble{0.0, 0.0} : detail::Log(detail::Exact(d.scale));
    const DoubleDouble power =
        shapeLessOne == 0.0 ? DoubleDouble{0.0, 0.0} : LogOfArgument(x, d.scale, z) * shapeLessOne;
    return ((power - z) - detail::LogGammaOnePlusAsDoubleDouble(shapeLessOne)) - logScale;
  }
  const DoubleDouble logTerm =
      z.hi >= kTinyArgument ? detail::LogPoissonTermAsDoubleDouble(d.shape, z.hi, z.lo)
                            : LogOfTinyPower(x, d);
  if (std::isinf(logTerm.hi)) return logTerm;
  return logTerm + (detail::Log(detail::Exact(d.shape)) - detail::Log(detail::Exact(x)));
}

// The density's logarithm, with its limits: at x = 0, +inf for k < 1,
// ln(1/s) for k = 1, -inf beyond.
double LogDensity(const Gamma& d, double x) {
  if (!Valid(d) || std::isnan(x)) return NaN();
  if (x < 0.0 || std::isinf(x)) return -kInfinity;
  if (x == 0.0) return d.shape < 1.0 ? kInfinity : d.shape == 1.0 ? -std::log(d.scale) : -kInfinity;
  const DoubleDouble y = LogDensityAt(d, x);
  return y.hi + y.lo;
}

double Density(const Gamma& d, double x) {
  if (!Valid(d) || std::isnan(x)) return NaN();
  if (x < 0.0 || std::isinf(x)) return 0.0;
  if (x == 0.0) return d.shape < 1.0 ? kInfinity : d.shape == 1.0 ? 1.0 / d.scale : 0.0;
  return detail::Exp(LogDensityAt(d, x));
}

// The x at which the lower (upper false) or upper tail's logarithm is
// logTail.
double FromTailLog(const Gamma& d, const DoubleDouble& logTail, bool upper) {
  return detail::InverseRegularizedGamma(d.shape, logTail, upper) * d.scale;
}

// Whether the quantile of lower tail p and upper tail q is solved on the
// upper tail: the smaller one from shape 1 on. Below it the lower tail's
// logarithm is known to a small absolute error wherever x <= 0.7, the
// upper's there only to a small error relative to Q, which the slope a P/Q
// of ln Q in ln x would magnify; the upper tail serves where x lies beyond
// (Q(a, 0.7) > 0.37a).
bool SolvesOnUpperTail(double shape, double p, double q) {
  return shape < 1.0 ? q < 0.3 * shape : q < p;
}

DoubleDouble LogOfProbability(const DoubleDouble& p) {
  return detail::Log(detail::Exact(p.hi)) + p.lo / p.hi;
}

// The x with the lower tail p (upper false) or the upper tail p; the other
// tail 1 - p carried exactly.
double FromTail(const Gamma& d, double p, bool upper) {
  if (!Valid(d) || std::isnan(p) || p < 0.0 || p > 1.0) return NaN();
  if (p == 0.0) return upper ? kInfinity : 0.0;
  if (p == 1.0) return upper ? 0.0 : kInfinity;
  const DoubleDouble given = {p, 0.0};
  const DoubleDouble other = detail::TwoSum(1.0, -p);
  const DoubleDouble& lower = upper ? other : given;
  const DoubleDouble& higher = upper ? given : other;
  const bool onUpper = SolvesOnUpperTail(d.shape, lower.hi, higher.hi);
  return FromTailLog(d, LogOfProbability(onUpper ? higher : lower), onUpper);
}

// The same from ln p; the other tail 1 - e^(ln p) carried as a double-double.
double FromLogTail(const Gamma& d, double logP, bool upper) {
  if (!Valid(d) || std::isnan(logP) || logP > 0.0) return NaN();
  if (logP == 0.0) return upper ? 0.0 : kInfinity;
  if (logP == -kInfinity) return upper ? kInfinity : 0.0;
  const double p = std::exp(logP);
  const DoubleDouble other = detail::OneMinusExp(logP);
  const bool onUpper = SolvesOnUpperTail(d.shape, upper ? other.hi : p, upper ? p : other.hi);
  if (onUpper == upper) return FromTailLog(d, {logP, 0.0}, upper);
  return FromTailLog(d, LogOfProbability(other), onUpper);
}

}  // namespace

double cdf(const Gamma& d, double x) { return Tails(d, x, false).lower; }
double sf(const Gamma& d, double x) { return Tails(d, x, false).upper; }
double log_cdf(const Gamma& d, double x) { return Tails(d, x, true).lower; }
double log_sf(const Gamma& d, double x) { return Tails(d, x, true).upper; }
double pdf(const Gamma& d, double x) { return Density(d, x); }
double log_pdf(const Gamma& d, double x) { return LogDensity(d, x); }
double quantile(const Gamma& d, double p) { return FromTail(d, p, false); }
double quantile_upper(const Gamma& d, double q) { return FromTail(d, q, true); }
double quantile_log(const Gamma& d, double logP) { return FromLogTail(d, logP, false); }
double quantile_upper_log(const Gamma& d, double logQ) { return FromLogTail(d, logQ, true); }

double cdf(const ChiSquared& d, double x) { return cdf(AsGamma(d), x); }
double sf(const ChiSquared& d, double x) { return sf(AsGamma(d), x); }
double log_cdf(const ChiSquared& d, double x) { return log_cdf(AsGamma(d), x); }
double log_sf(const ChiSquared& d, double x) { return log_sf(AsGamma(d), x); }
double pdf(const ChiSquared& d, double x) { return pdf(AsGamma(d), x); }
double log_pdf(const ChiSquared& d, double x) { return log_pdf(AsGamma(d), x); }
double quantile(const ChiSquared& d, double p) { return quantile(AsGamma(d), p); }
double quantile_upper(const ChiSquared& d, double q) { return quantile_upper(AsGamma(d), q); }
double quantile_log(const ChiSquared& d, double logP) { return quantile_log(AsGamma(d), logP); }
double quantile_upper_log(const ChiSquared& d, double logQ) {
  return quantile_upper_log(AsGamma(d), logQ);
}

}  // namespace specfun
