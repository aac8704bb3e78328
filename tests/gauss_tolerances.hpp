// Accuracy of the Gaussian upper tail QGauss by region, as measured against
// mpmath, and what it allows for its inverse.
#pragma once

#include <cmath>

namespace testing_support {

constexpr double kDoubleEpsilon = 0x1p-52;

// Tolerated relative error of QGauss(x) for -11 <= x <= 37.
//  - x <= -2.25: 1 - Q(-x) inherits the error of Q(-x), scaled down by
//    Q(-x) / (1 - Q(-x)).
//  - |x| <= 2.25: 1/2 minus the centre integral is good to about 6e-16
//    absolute, which is relative to Q itself only while Q is not small.
//  - 2.25 < x <= 3: Laplace's fraction at its fixed depth of 40 levels is
//    least converged just above the switch point (about 1e-11 there).
//  - x > 3: the rounding of x * x is magnified by x * x / 2 in exp(-x * x / 2).
inline double QGaussRelativeTolerance(double x) {
  if (x <= -2.75) return 3e-16;
  if (x <= -2.5) return 8e-15;
  if (x <= -2.25) return 2e-13;
  if (x <= 1.0) return 1e-15;
  if (x <= 2.25) return 8e-16 / (0.5 * std::erfc(x / std::sqrt(2.0)));
  if (x <= 2.5) return 1.5e-11;
  if (x <= 2.75) return 1e-12;
  if (x <= 3.0) return 8e-14;
  return 5e-15 + 0.6 * kDoubleEpsilon * (x * x / 2.0);
}

// The spacing of the doubles at |x|.
inline double UnitInLastPlace(double x) {
  const double magnitude = std::fabs(x);
  return std::nextafter(magnitude, INFINITY) - magnitude;
}

inline double StandardNormalDensity(double x) {
  return std::exp(-x * x / 2.0) / std::sqrt(2.0 * M_PI);
}

// Tolerated absolute error of QGaussInv(p) when Q(x) = p: Newton's steps on
// QGauss can resolve x no finer than the forward error allows, that is the
// error of Q divided by the slope of Q, plus a few units in the last place.
// Near p = 1 the slope is tiny and this is large: the upper tail close to 1
// holds only about 1e-16 absolute.
inline double QGaussInvAbsoluteTolerance(double p, double x) {
  return 2.0 * QGaussRelativeTolerance(x) * p / StandardNormalDensity(x) +
         4.0 * UnitInLastPlace(x);
}

}  // namespace testing_support
