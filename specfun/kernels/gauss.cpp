// Q(x), the upper tail of the standard normal distribution.
//
// Near the centre (|x| <= 2.25) the integral of the density from 0 to |x| is
// taken from its continued fraction (Abramowitz & Stegun 26.2.15) and
// subtracted from 1/2; in the tails Laplace's continued fraction for Q
// (Abramowitz & Stegun 26.2.14) is used. Both are evaluated bottom-up at a
// fixed depth from a fixed starting tail.
#include "specfun/kernels/gauss.hpp"

#include <cmath>

#include "specfun/kernels/batch.hpp"
#include "specfun/kernels/lanes.hpp"
#include "specfun/kernels/math_constants.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

constexpr double kLowerLimit = -11.0;  // Q is 1 in double precision below it
constexpr double kUpperLimit = 37.0;   // Q(37) is about 6e-300, near the foot of the doubles
constexpr double kSwitchPoint = 2.25;  // centre fraction at or below |x| = 2.25
using detail::kInvSqrtTwoPi;
// The centre fraction starts its tail at 22 s / 45 and has 27 levels.
constexpr double kCentreTailNumerator = 22.0;
constexpr double kCentreTailDenominator = 45.0;
constexpr int kCentreLevels = 27;
// The tail fraction starts at 35 / |x| and has 40 levels.
constexpr double kTailStart = 35.0;
constexpr int kTailLevels = 40;
// Where a lane's argument is answered by a limit, its fractions run here.
constexpr double kIdleArgument = 1.0;

// 1/2 - ∫ from 0 to y of φ, with s = y².
template <class V>
V CentreTail(const V& y, const V& s, const V& density) {
  V t = s * kCentreTailNumerator / kCentreTailDenominator;
  for (int k = kCentreLevels; k >= 1; --k) {
    const double sign = k % 2 == 0 ? 1.0 : -1.0;
    t = sign * k * s / (2 * k + 1 + t);
  }
  const V integral = y * density / (1.0 + t);
  return 0.5 - integral;
}

// Laplace's continued fraction φ(y) / (y + 1/(y + 2/(y + 3/(y + ...)))).
template <class V>
V LaplaceTail(const V& y, const V& density) {
  V t = kTailStart / y;
  for (int k = kTailLevels; k >= 1; --k) t = k / (y + t);
  return density / (y + t);
}

template <class V>
V Density(const V& s) {
  return detail::LaneExp(-s / 2.0) * kInvSqrtTwoPi;
}

bool BeyondLimits(double x) { return x < kLowerLimit || !(x <= kUpperLimit); }
double AtLimit(double x) { return x < kLowerLimit ? 1.0 : 0.0; }

}  // namespace

double QGauss(const double& x) {
  if (BeyondLimits(x)) return AtLimit(x);
  double density;
  return detail::QGaussAndDensity(x, density);
}

namespace detail {

double QGaussAndDensity(double x, double& density) {
  const double s = x * x;
  density = Density(s);
  if (BeyondLimits(x)) return AtLimit(x);
  const double y = std::fabs(x);
  const double r = y <= kSwitchPoint ? CentreTail(y, s, density) : LaplaceTail(y, density);
  return x < 0.0 ? 1.0 - r : r;
}

double LogMillsRatio(double y) {
  if (y > kSwitchPoint) return std::log(DeepLaplaceRatio(y));
  return std::log(QGauss(y)) + y * y / 2.0 + kLogSqrtTwoPi;
}

bool QGaussInCentre(double x) { return std::fabs(x) <= kSwitchPoint; }

namespace {

// The lanes run the fraction their arguments need, both where they differ.
// (A function built for several instruction sets stays inside this file, so
// that a shared library does not export its selector.)
SPECFUN_LANE_TARGETS
void QGaussInLanes(const double* x, double* result) {
  double magnitude[kLaneCount];
  double square[kLaneCount];
  int centre = 0;
  for (int i = 0; i < kLaneCount; ++i) {
    const double argument = BeyondLimits(x[i]) ? kIdleArgument : x[i];
    magnitude[i] = std::fabs(argument);
    square[i] = argument * argument;
    centre += QGaussInCentre(argument) ? 1 : 0;
  }
  const Lanes y = Lanes::Load(magnitude);
  const Lanes s = Lanes::Load(square);
  const Lanes density = Density(s);
  Lanes centreTail{};
  Lanes laplaceTail{};
  if (centre > 0) centreTail = CentreTail(y, s, density);
  if (centre < kLaneCount) laplaceTail = LaplaceTail(y, density);
  for (int i = 0; i < kLaneCount; ++i) {
    const double r = magnitude[i] <= kSwitchPoint ? centreTail.Get(i) : laplaceTail.Get(i);
    result[i] = BeyondLimits(x[i]) ? AtLimit(x[i]) : x[i] < 0.0 ? 1.0 - r : r;
  }
}

}  // namespace

void QGaussLanes(const double* x, double* result) { QGaussInLanes(x, result); }

}  // namespace detail

// Arguments are sorted by fraction, so that each set of lanes runs one.
void QGaussBatch(const double* x, double* result, std::size_t count) {
  detail::RunQuietBatch(count, [=](std::size_t begin, std::size_t end) {
    detail::MethodGroups centre;
    detail::MethodGroups tail;
    for (std::size_t i = begin; i < end; ++i) {
      if (BeyondLimits(x[i])) {
        result[i] = AtLimit(x[i]);
      } else if (detail::QGaussInCentre(x[i])) {
        centre.Add(i);
      } else {
        tail.Add(i);
      }
    }
    for (const detail::MethodGroups* group : {&centre, &tail}) {
      detail::ForEachLaneSet(*group, [=](const std::size_t* index, std::size_t used) {
        double in[detail::kLaneCount];
        double out[detail::kLaneCount];
        detail::Gather(x, index, in);
        detail::QGaussLanes(in, out);
        detail::Scatter(out, index, used, result);
      });
    }
  });
}

}  // namespace specfun
