// The non-central chi-square distribution NonCentralChiSquared{df, ncp}:
// X = Σ (N_i + μ_i)² over df normal deviates with Σ μ_i² = ncp, whose tails
// are Poisson mixtures of central chi-square tails (A&S 26.4.25). ncp = 0 is
// the central distribution, ChiSquared{df}. The tails and the density come
// from the mixture for moderate ncp and from the Marcum Q-function's
// integral beyond (noncentral_chi_squared_parts.hpp); the quantiles are in
// noncentral_chi_squared_quantile.cpp.
#include <cmath>
#include <limits>

#include "specfun/distributions.hpp"
#include "specfun/distributions/noncentral_chi_squared_parts.hpp"
#include "specfun/kernels/math_constants.hpp"

namespace specfun {

namespace detail {

namespace {

// (z − a − m)/sqrt(a + 2m), the standard deviate of z = x/2, without
// overflow: the normal limit for parameters beyond any method's reach.
double StandardDeviate(double a, double m, double z) {
  return ((z - m) - a) / (2 * std::sqrt(0.25 * a + 0.5 * m));
}

}  // namespace

// Far beyond the mean, where z exceeds 1e6 times a + sqrt(m z), the index of
// the mixture's largest terms: Q(b, z) = e_(b-1)(z)(1 + O(b/z)) term by
// term, so that ln Q is the log of the density of z, ln(2 f(x)), to within
// 1e-6 (of a log beyond 1e15); the slope of ln Q in ln x is z to the same.
// The mixture's density takes it where that index is at most 500; beyond,
// the contour's Gaussian is narrow.
bool FarUpperTail(double a, double m, double z) {
  const double index = std::sqrt(m) * std::sqrt(z);
  return z > 1e15 && index <= 500 && a + index + 1 < 1e-6 * z;
}

TailAndSlope FarUpper(double a, double m, double z, TailSide side) {
  const double logUpper = MixtureDensity(a, m, z).log + kLogTwo;
  if (side == TailSide::kUpper) return {{std::exp(logUpper), logUpper}, z};
  const double upper = std::exp(logUpper);
  return {{1 - upper, -upper}, upper * z};
}

TailAndSlope NonCentralTail(double a, double m, double z, TailSide side, bool logInTwoParts) {
  // x = 2^-1074, the one x > 0 whose half rounds to 0, holds nothing below.
  if (z == 0) {
    const bool lower = side == TailSide::kLower;
    return {{lower ? 0.0 : 1.0, lower ? -std::numeric_limits<double>::infinity() : 0.0}, a};
  }
  if (FarUpperTail(a, m, z)) {
    const TailAndSlope t = FarUpper(a, m, z, side);
    if (!std::isnan(t.tail.log)) return t;
  }
  const bool mixture = MixtureTakes(a, m, z);
  TailAndSlope t = mixture ? MixtureTail(a, m, z, side, logInTwoParts) : ContourTail(a, m, z, side);
  if (!std::isnan(t.tail.value) && !std::isnan(t.tail.log)) return t;
  if (mixture) {
    t = ContourTail(a, m, z, side);
    if (!std::isnan(t.tail.value) && !std::isnan(t.tail.log)) return t;
  }
  const double y = StandardDeviate(a, m, z) * (side == TailSide::kUpper ? 1.0 : -1.0);
  const double value = 0.5 * std::erfc(y / std::sqrt(2.0));
  const double log = value > 0 ? std::log(value) : -0.5 * y * y - std::log(y * std::sqrt(2 * 3.14159265358979323846));
  return {{value, log}, 1.0};
}

Probability NonCentralDensity(double a, double m, double z) {
  const bool mixture = MixtureTakes(a, m, z);
  Probability f = mixture ? MixtureDensity(a, m, z) : ContourDensity(a, m, z);
  if (!std::isnan(f.value) && !std::isnan(f.log)) return f;
  if (mixture) {
    f = ContourDensity(a, m, z);
    if (!std::isnan(f.value) && !std::isnan(f.log)) return f;
  }
  const double y = StandardDeviate(a, m, z);
  const double log = -0.5 * y * y - std::log(4 * std::sqrt(2 * 3.14159265358979323846 * (0.25 * a + 0.5 * m)));
  return {std::exp(log), log};
}

}  // namespace detail

namespace {

using detail::Probability;
using detail::Other;
using detail::TailSide;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

bool Valid(const NonCentralChiSquared& d) {
  return d.df > 0 && d.df < kInf && d.ncp >= 0 && d.ncp < kInf;
}

// One tail at x > 0 (finite), taken directly.
Probability Tail(const NonCentralChiSquared& d, double x, TailSide side) {
  return detail::NonCentralTail(0.5 * d.df, 0.5 * d.ncp, 0.5 * x, side).tail;
}


Probability Complement(const Probability& p) { return {1 - p.value, std::log1p(-p.value)}; }

// One tail, and its log, each to its own relative precision: where it is
// the larger of the two, one minus the other (the contour settles that
// itself).
Probability AccurateTail(const NonCentralChiSquared& d, double x, TailSide side) {
  const double a = 0.5 * d.df, m = 0.5 * d.ncp, z = 0.5 * x;
  if (!detail::MixtureTakes(a, m, z)) return detail::NonCentralTail(a, m, z, side).tail;
  // The distribution leans right, so above the mean the upper tail is the
  // smaller; below it either may be.
  const bool aboveMean = x >= d.df + d.ncp;
  const TailSide first = (side == TailSide::kLower) == aboveMean ? Other(side) : side;
  const Probability t = Tail(d, x, first);
  if (t.value <= 0.5) return first == side ? t : Complement(t);
  const Probability smaller = Tail(d, x, Other(first));
  return first == side ? Complement(smaller) : smaller;
}

}  // namespace

double cdf(const NonCentralChiSquared& d, double x) {
  if (!Valid(d) || std::isnan(x)) return kNaN;
  if (d.ncp == 0) return cdf(ChiSquared{d.df}, x);
  if (x <= 0) return 0.0;
  if (x == kInf) return 1.0;
  return AccurateTail(d, x, TailSide::kLower).value;
}

double sf(const NonCentralChiSquared& d, double x) {
  if (!Valid(d) || std::isnan(x)) return kNaN;
  if (d.ncp == 0) return sf(ChiSquared{d.df}, x);
  if (x <= 0) return 1.0;
  if (x == kInf) return 0.0;
  return AccurateTail(d, x, TailSide::kUpper).value;
}

double log_cdf(const NonCentralChiSquared& d, double x) {
  if (!Valid(d) || std::isnan(x)) return kNaN;
  if (d.ncp == 0) return log_cdf(ChiSquared{d.df}, x);
  if (x <= 0) return -kInf;
  if (x == kInf) return 0.0;
  return AccurateTail(d, x, TailSide::kLower).log;
}

double log_sf(const NonCentralChiSquared& d, double x) {
  if (!Valid(d) || std::isnan(x)) return kNaN;
  if (d.ncp == 0) return log_sf(ChiSquared{d.df}, x);
  if (x <= 0) return 0.0;
  if (x == kInf) return -kInf;
  return AccurateTail(d, x, TailSide::kUpper).log;
}

namespace {

// The density at x = 0: infinite for df < 2, e^(-ncp/2)/2 at df = 2, else 0.
double DensityAtZero(const NonCentralChiSquared& d) {
  if (d.df < 2) return kInf;
  return d.df == 2 ? 0.5 * std::exp(-0.5 * d.ncp) : 0.0;
}

Probability Density(const NonCentralChiSquared& d, double x) {
  return detail::NonCentralDensity(0.5 * d.df, 0.5 * d.ncp, 0.5 * x);
}

}  // namespace

double pdf(const NonCentralChiSquared& d, double x) {
  if (!Valid(d) || std::isnan(x)) return kNaN;
  if (d.ncp == 0) return pdf(ChiSquared{d.df}, x);
  if (x < 0 || x == kInf) return 0.0;
  if (x == 0) return DensityAtZero(d);
  return Density(d, x).value;
}

double log_pdf(const NonCentralChiSquared& d, double x) {
  if (!Valid(d) || std::isnan(x)) return kNaN;
  if (d.ncp == 0) return log_pdf(ChiSquared{d.df}, x);
  if (x < 0 || x == kInf) return -kInf;
  if (x == 0) return std::log(DensityAtZero(d));
  return Density(d, x).log;
}

}  // namespace specfun
