// The quantile of the beta distribution to the last digits (internal),
// shared by the beta, t and F distributions.
#pragma once

#include <cmath>

#include "specfun/kernels/double_double.hpp"

namespace specfun::detail {

// The root x of a beta tail and its complement y = 1 - x, each to its own
// relative precision, and u = ln(x/y), finite where x or y underflows.
struct PreciseBetaRoot {
  double x;
  double y;
  double logRatio;
};

// The probability a quantile is asked for, as the smaller of P and 1 - P:
// its logarithm and, where it is above kTargetValueFloor, its value, each as
// exact as the caller's argument allows (1 - P is exact for a double
// P > 1/2), and whether it is the complement.
struct TailTarget {
  double log;
  double value;
  bool complemented;
};
inline constexpr double kTargetValueFloor = 1e-306;

// The target of a probability P (isLog false) or of ln P; a NaN argument,
// P outside [0, 1] or ln P > 0 gives a NaN log.
TailTarget SmallerTailTarget(double argument, bool isLog);

// |2P - 1| for a probability P (isLog false) or ln P, exact for a double P
// from 1/4 to 3/4 and from ln P with e^(ln P + ln 2) - 1 in double-double:
// the central share of a symmetric distribution, which keeps the digits
// that P near 1/2 holds beyond its distance from 1/2.
double CentralShare(double argument, bool isLog);

// ln(tail/target) from the tail's value where both values are above
// kTargetValueFloor (so that a root is not limited by the rounding of
// logarithms), else from the tail's logarithm.
double LogRatioTo(const TailTarget& target, double tailValue, const DoubleDouble& logTail);

// The x at which the lower tail I(x, a, b) (the upper one where `upper`)
// equals the target (at most 1/2), for positive, finite a and b. A root
// beyond the doubles gives x = 0 (or y = 0) with logRatio -inf (+inf) where
// even its logarithm leaves them, else the logarithm's value. Unless
// `refined` is false (for callers that refine the root in a variable of
// their own), the root is refined at the double x itself to the last digits.
PreciseBetaRoot PreciseBetaQuantile(const TailTarget& target, bool upper, double a, double b,
                                    bool refined = true);

// One Newton step on the logarithm of a tail in the distribution's own
// variable v: the v at which the tail reaches its target, given
// h = LogRatioTo(...), the tail's logarithm at v and the logarithm of
// |d tail/dv| there.
double NewtonOnLogTail(double v, double h, double logTail, double logSlope, bool rising);

// Whether a Newton step `step` on a function g leaves a root settled to the
// doubles: the error after it, about ½ |g''/g'| step², below 1e-17 of
// `scale`, given curvature = g''/g' (so that a further step is wasted).
inline bool NewtonSettled(double step, double curvature, double scale) {
  constexpr double kSettled = 1e-17;
  return 0.5 * std::fabs(curvature) * step * step <= kSettled * std::fabs(scale);
}

}  // namespace specfun::detail
