// The Poisson distribution of mean m: cdf(k) = Q(k + 1, m), sf(k) = P(k + 1,
// m) for k = floor(x) >= 0 (A&S 26.4.21), the mass m^k e^(-m)/k! as the
// incomplete gamma kernel's Poisson term. The quantile is the smallest k at
// which the distribution reaches the given tail: from the Cornish–Fisher
// expansion k ≈ m + √m w + (w² - 1)/6 (w the normal deviate; A&S 26.2.50 for
// the Poisson cumulants), or in a far tail from the k whose mass is the
// tail, then by steps doubling from there to a bracket and its bisection,
// each step comparing the logarithm of the tail at k with the target's.
#include <cmath>
#include <limits>

#include "specfun/distributions.hpp"
#include "specfun/kernels/double_double.hpp"
#include "specfun/kernels/incomplete_gamma.hpp"
#include "specfun/kernels/incomplete_gamma_inverse.hpp"
#include "specfun/kernels/math_constants.hpp"
#include "specfun/kernels/normal_tail.hpp"
#include "specfun/kernels/stirling_remainder.hpp"

namespace specfun {
namespace {

using detail::DoubleDouble;
using detail::GammaTails;

constexpr double kInfinity = std::numeric_limits<double>::infinity();
using detail::kLogHalf;
using detail::kTwoPi;
// Newton steps on the k whose mass is a far tail (a start only).
constexpr int kMassSteps = 6;

double NaN() { return std::numeric_limits<double>::quiet_NaN(); }

bool Valid(const Poisson& d) { return d.mean >= 0.0 && std::isfinite(d.mean); }

// cdf (lower) and sf (upper), or their logarithms.
GammaTails Tails(const Poisson& d, double x, bool logs) {
  if (!Valid(d) || std::isnan(x)) return {NaN(), NaN()};
  const GammaTails below = logs ? GammaTails{-kInfinity, 0.0} : GammaTails{0.0, 1.0};
  const GammaTails beyond = logs ? GammaTails{0.0, -kInfinity} : GammaTails{1.0, 0.0};
  if (x < 0.0) return below;
  if (std::isinf(x) || d.mean == 0.0) return beyond;
  const double a = std::floor(x) + 1.0;
  const GammaTails t = logs ? detail::LogRegularizedGammaTails(a, d.mean)
                            : detail::RegularizedGammaTails(a, d.mean);
  return {t.upper, t.lower};
}

// ln of the mass at x: -inf off the whole numbers >= 0.
double LogMass(const Poisson& d, double x) {
  if (!Valid(d) || std::isnan(x)) return NaN();
  if (x < 0.0 || std::isinf(x) || x != std::floor(x)) return -kInfinity;
  if (d.mean == 0.0) return x == 0.0 ? 0.0 : -kInfinity;
  return detail::LogPoissonTerm(x, d.mean);
}

double Mass(const Poisson& d, double x) {
  if (!Valid(d) || std::isnan(x)) return NaN();
  if (x < 0.0 || std::isinf(x) || x != std::floor(x)) return 0.0;
  if (d.mean == 0.0) return x == 0.0 ? 1.0 : 0.0;
  return detail::PoissonTerm(x, d.mean);
}

DoubleDouble LogOfProbability(const DoubleDouble& p) {
  return detail::Log(detail::Exact(p.hi)) + p.lo / p.hi;
}

// The quantile's target: the lower tail cdf(k) (upper false) to be reached,
// or the upper tail sf(k) to be reached from above; as a probability (0
// where it is below kLeastPlainTarget) and as its logarithm (NaN until a
// comparison needs it).
struct Target {
  DoubleDouble probability;
  DoubleDouble log;
  bool upper;
};

// Below this a target is compared in logarithms only.
constexpr double kLeastPlainTarget = 1e-290;
// The tails themselves are within this share of their values (at most
// 2e-15 measured, 1e-13 the bound beyond shape 1e5): a tail farther from
// the target settles the comparison.
constexpr double kPlainComparisonMargin = 1e-12;

// Whether the tail at k reaches the target: from the tail itself where it is
// clearly on one side, otherwise from the logarithms carried as double-doubles.
bool Reaches(double k, double mean, Target& t) {
  if (t.probability.hi >= kLeastPlainTarget) {
    const GammaTails plain = detail::RegularizedGammaTails(k + 1.0, mean);
    const double tail = t.upper ? plain.lower : plain.upper;
    const double target = t.probability.hi;
    if (tail >= kLeastPlainTarget) {
      if (tail > target * (1.0 + kPlainComparisonMargin)) return !t.upper;
      if (tail < target * (1.0 - kPlainComparisonMargin)) return t.upper;
    }
  }
  if (std::isnan(t.log.hi)) t.log = LogOfProbability(t.probability);
  const detail::LogGammaTailsAsDoubleDouble l =
      detail::LogRegularizedGammaTailsAsDoubleDouble(k + 1.0, mean);
  const DoubleDouble& tail = t.upper ? l.lower : l.upper;
  const double h = (tail.hi - t.log.hi) + (tail.lo - t.log.lo);
  return t.upper ? h <= 0.0 : h >= 0.0;
}

// ln(m^k e^(-m)/k!) for a start, in double from Stirling's series: -m ((1 +
// u) ln(1 + u) - u) - ½ ln(2πk) - μ(k), u = (k - m)/m, free of the
// cancellation of k ln m against ln k!.
double ApproximateLogMass(double k, double mean) {
  if (k == 0.0) return -mean;
  const double u = (k - mean) / mean;
  const double deviation = (1.0 + u) * std::log1p(u) - u;
  return -mean * deviation - 0.5 * std::log(kTwoPi * k) - detail::StirlingRemainderSeries(k);
}

// The k >= 0 whose mass has the logarithm logMass, on the side of the mean
// given by `above`, by Newton's steps with d ln(mass)/dk ≈ ln(m/(k + ½)).
double KOfLogMass(double mean, double logMass, bool above, double k) {
  for (int i = 0; i < kMassSteps; ++i) {
    const double g = ApproximateLogMass(k, mean) - logMass;
    const double slope = std::log(mean / (k + 0.5));
    if (!(std::fabs(slope) > 1e-3)) break;
    const double next = k - g / slope;
    k = above ? std::fmax(next, mean) : std::fmax(std::fmin(next, mean), 0.0);
  }
  return k;
}

double Start(double mean, const Target& t, double logTarget) {
  const double w = logTarget <= kLogHalf ? detail::NormalDeviateOfLogTail(logTarget) : 0.0;
  const double signedW = t.upper ? w : -w;
  const double root = std::sqrt(mean);
  double k = mean + root * signedW + (signedW * signedW - 1.0) / 6.0;
  if (w > 3.0) {
    // Far tails: sf(k) >= mass(k + 1) and cdf(k) >= mass(k), so the k of
    // the mass lies on the near side of the quantile.
    const double byMass = KOfLogMass(mean, logTarget, t.upper, t.upper ? std::fmax(k, mean) : k);
    k = t.upper ? std::fmax(k, byMass - 1.0) : std::fmin(k, byMass);
  }
  return std::isfinite(k) ? std::fmax(std::floor(k), 0.0) : 0.0;
}

// The smallest whole k >= 0 that reaches the target. The steps start at 1,
// or at 2^-44 of k where k is so large that its start is only that close.
double SmallestReaching(double mean, Target t) {
  const double logTarget =
      std::isnan(t.log.hi) ? std::log(t.probability.hi) + t.probability.lo / t.probability.hi
                           : t.log.hi;
  double k = Start(mean, t, logTarget);
  const double firstStep = std::fmax(1.0, std::ldexp(k, -44));
  double low = -1.0;  // the largest k known not to reach
  double high;        // the smallest known to reach
  if (Reaches(k, mean, t)) {
    high = k;
    for (double step = firstStep; high > 0.0; step *= 2.0) {
      const double next = std::fmax(high - step, 0.0);
      if (!Reaches(next, mean, t)) {
        low = next;
        break;
      }
      high = next;
    }
  } else {
    low = k;
    for (double step = firstStep;; step *= 2.0) {
      const double next = low + step;
      if (std::isinf(next)) return kInfinity;
      if (Reaches(next, mean, t)) {
        high = next;
        break;
      }
      low = next;
    }
  }
  while (high - low > 1.0) {
    const double middle = std::floor(low + 0.5 * (high - low));
    if (middle <= low || middle >= high) break;
    if (Reaches(middle, mean, t)) {
      high = middle;
    } else {
      low = middle;
    }
  }
  return high;
}

// The quantile of lower tail p (upper false) or of upper tail p.
double FromTail(const Poisson& d, double p, bool upper) {
  if (!Valid(d) || std::isnan(p) || p < 0.0 || p > 1.0) return NaN();
  if (d.mean == 0.0) return 0.0;
  if (p == (upper ? 1.0 : 0.0)) return 0.0;
  if (p == (upper ? 0.0 : 1.0)) return kInfinity;
  const DoubleDouble unknown = {NaN(), 0.0};
  if (p <= 0.5) return SmallestReaching(d.mean, {{p, 0.0}, unknown, upper});
  return SmallestReaching(d.mean, {detail::TwoSum(1.0, -p), unknown, !upper});
}

double FromLogTail(const Poisson& d, double logP, bool upper) {
  if (!Valid(d) || std::isnan(logP) || logP > 0.0) return NaN();
  if (d.mean == 0.0) return 0.0;
  if (logP == (upper ? 0.0 : -kInfinity)) return 0.0;
  if (logP == (upper ? -kInfinity : 0.0)) return kInfinity;
  if (logP <= kLogHalf) {
    return SmallestReaching(d.mean, {{std::exp(logP), 0.0}, {logP, 0.0}, upper});
  }
  const DoubleDouble other = detail::OneMinusExp(logP);
  return SmallestReaching(d.mean, {other, LogOfProbability(other), !upper});
}

}  // namespace

double cdf(const Poisson& d, double x) { return Tails(d, x, false).lower; }
double sf(const Poisson& d, double x) { return Tails(d, x, false).upper; }
double log_cdf(const Poisson& d, double x) { return Tails(d, x, true).lower; }
double log_sf(const Poisson& d, double x) { return Tails(d, x, true).upper; }
double pdf(const Poisson& d, double x) { return Mass(d, x); }
double log_pdf(const Poisson& d, double x) { return LogMass(d, x); }
double quantile(const Poisson& d, double p) { return FromTail(d, p, false); }
double quantile_upper(const Poisson& d, double q) { return FromTail(d, q, true); }
double quantile_log(const Poisson& d, double logP) { return FromLogTail(d, logP, false); }
double quantile_upper_log(const Poisson& d, double logQ) { return FromLogTail(d, logQ, true); }

}  // namespace specfun
