// The quantile of the beta distribution to the last digits (internal),
// shared by the beta, t and F distributions.
#pragma once

namespace specfun::detail {

// The root x of a beta tail and its complement y = 1 - x, each to its own
// relative precision, and u = ln(x/y), finite where x or y underflows.
struct PreciseBetaRoot {
  double x;
  double y;
  double logRatio;
};

// The x at which the lower tail I(x, a, b) (the upper one where `upper`)
// has the logarithm logTail <= 0, for positive, finite a and b. A root
// beyond the doubles gives x = 0 (or y = 0) with logRatio -inf (+inf) where
// even its logarithm leaves them, else the logarithm's value.
PreciseBetaRoot PreciseBetaQuantile(double logTail, bool upper, double a, double b);

// One Newton step on the logarithm of a tail in the distribution's own
// variable v: the v at which ln(tail) reaches logTarget, given the tail's
// logarithm at v and the logarithm of |d tail/dv| there.
double NewtonOnLogTail(double v, double logTail, double logSlope, double logTarget, bool rising);

}  // namespace specfun::detail
