// Q(x), the upper tail of the standard normal distribution.
//
// Near the centre (|x| <= 2.25) the integral of the density from 0 to |x| is
// taken from its continued fraction (Abramowitz & Stegun 26.2.15) and
// subtracted from 1/2; in the tails Laplace's continued fraction for Q
// (Abramowitz & Stegun 26.2.14) is used. Both are evaluated bottom-up at a
// fixed depth from a fixed starting tail.
#include <cmath>

#include "specfun/specfun.hpp"

namespace specfun {
namespace {

constexpr double kLowerLimit = -11.0;  // Q is 1 in double precision below it
constexpr double kUpperLimit = 37.0;   // Q(37) is about 6e-300, near the foot of the doubles
constexpr double kSwitchPoint = 2.25;  // centre fraction at or below |x| = 2.25
constexpr double kInvSqrtTwoPi = 0.3989422804014327;
// The centre fraction starts its tail at 22 s / 45 and has 27 levels.
constexpr double kCentreTailNumerator = 22.0;
constexpr double kCentreTailDenominator = 45.0;
constexpr int kCentreLevels = 27;
// The tail fraction starts at 35 / |x| and has 40 levels.
constexpr double kTailStart = 35.0;
constexpr int kTailLevels = 40;

// 1/2 - ∫ from 0 to y of φ, with s = y².
double CentreTail(double y, double s, double density) {
  double t = s * kCentreTailNumerator / kCentreTailDenominator;
  for (int k = kCentreLevels; k >= 1; --k) {
    const double sign = k % 2 == 0 ? 1.0 : -1.0;
    t = sign * k * s / (2 * k + 1 + t);
  }
  const double integral = y * density / (1.0 + t);
  return 0.5 - integral;
}

// Laplace's continued fraction φ(y) / (y + 1/(y + 2/(y + 3/(y + ...)))).
double LaplaceTail(double y, double density) {
  double t = kTailStart / y;
  for (int k = kTailLevels; k >= 1; --k) t = k / (y + t);
  return density / (y + t);
}

}  // namespace

double QGauss(const double& x) {
  if (x < kLowerLimit) return 1.0;
  if (!(x <= kUpperLimit)) return 0.0;
  const double y = std::fabs(x);
  const double s = x * x;
  const double density = std::exp(-s / 2.0) * kInvSqrtTwoPi;
  const double r = y <= kSwitchPoint ? CentreTail(y, s, density) : LaplaceTail(y, density);
  return x < 0.0 ? 1.0 - r : r;
}

}  // namespace specfun
