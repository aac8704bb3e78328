// The standard normal distribution: the smaller tail as erfc(|t|/√2)/2 near
// the centre and as φ(t) R(|t|) beyond, R being Mills' ratio, with
// φ(t) = e^(-t²/2)/√(2π) from the exact square; the quantile by Newton's
// method on ln Q, dlnQ/dy = -1/R(y), from the rational start of QGaussInv
// or from the asymptotic y² ≈ 2L - ln(4πL), L = -ln Q.
#include "specfun/kernels/normal_limit.hpp"

#include <cmath>

#include "specfun/gauss_inverse.hpp"
#include "specfun/specfun.hpp"

namespace specfun::detail {
namespace {

// Mills' ratio serves from here on (its logarithm to 1e-15 absolute).
constexpr double kMillsFrom = 2.25;
constexpr double kRootHalf = 0.70710678118654752;
constexpr int kNewtonSteps = 8;

// -t²/2 - ln √(2π), exact in its square.
DoubleDouble LogDensityOf(double t) { return TwoProduct(t, t) * -0.5 - kLogRootTwoPi; }

// Q(y) for y >= 0.
double UpperOfPositive(double y) {
  if (y < kMillsFrom) return 0.5 * std::erfc(y * kRootHalf);
  return Exp(LogDensityOf(y)) * std::exp(LogMillsRatio(y));
}

// ln Q(y) for y >= 0, in double-double beyond the centre.
DoubleDouble LogUpperOfPositive(double y) {
  if (y < kMillsFrom) return Exact(std::log(UpperOfPositive(y)));
  return LogDensityOf(y) + LogMillsRatio(y);
}

}  // namespace

PreciseTails NormalTails(double t) {
  const double small = UpperOfPositive(std::fabs(t));
  return t < 0.0 ? PreciseTails{small, 1.0 - small} : PreciseTails{1.0 - small, small};
}

PreciseTails NormalLogTails(double t) {
  const double y = std::fabs(t);
  const double logSmall = LogUpperOfPositive(y).hi;
  const double logLarge = std::log1p(-UpperOfPositive(y));
  return t < 0.0 ? PreciseTails{logSmall, logLarge} : PreciseTails{logLarge, logSmall};
}

double NormalDensity(double t) { return Exp(LogDensityOf(t)); }
double NormalLogDensity(double t) { return LogDensityOf(t).hi; }

double NormalQuantile(const TailTarget& target, bool upper) {
  // y >= 0 with Q(y) = target; the root is ±y.
  const bool positive = target.complemented != upper;
  const double logTarget = target.log;
  if (target.value == 0.5) return 0.0;
  if (logTarget == -HUGE_VAL) return positive ? HUGE_VAL : -HUGE_VAL;
  double y;
  if (target.value > 0.0) {
    y = QGaussInv(target.value);
  } else {
    const double l = -logTarget;
    y = std::sqrt(2.0 * l - std::log(4.0 * M_PI * l));
  }
  for (int k = 0; k < kNewtonSteps && y > 0.0; ++k) {
    const double h = LogRatioTo(target, UpperOfPositive(y), LogUpperOfPositive(y));
    const double step = h * std::exp(LogMillsRatio(y));
    y += step;
    if (std::fabs(step) <= 1e-17 * y) break;
  }
  return positive ? y : -y;
}

}  // namespace specfun::detail
