// Both tails of the incomplete beta function, their logarithms and the
// beta density, to a few units in the last place (internal): the methods of
// IncompleteBetaTails with the prefactor x^a y^b / B(a, b) carried in
// double-double, so that its exponent's rounding does not grow with the
// exponent's size. Shared by the beta, t, F and binomial distributions,
// which supply the argument in double-double from their own variables.
#pragma once

#include <limits>

#include "specfun/kernels/double_double.hpp"

namespace specfun::detail {

// The argument x and its complement y = 1 - x, each as a double-double to
// its own relative precision; where one is below the normal doubles (or
// rounds to 0) its natural logarithm as well (hi NaN where not supplied, and
// then taken from x or y).
struct BetaPoint {
  DoubleDouble x;
  DoubleDouble y;
  DoubleDouble logX = {std::numeric_limits<double>::quiet_NaN(), 0.0};
  DoubleDouble logY = {std::numeric_limits<double>::quiet_NaN(), 0.0};
};

// The point of a double 0 < x < 1, taken as exact.
inline BetaPoint PointAt(double x) { return {Exact(x), OneMinus(x)}; }

// The point x = r/(r + s), 1 - x = s/(r + s) for r = r1·r2 > 0 and s > 0,
// all finite (t² against ν, ν1·F against ν2): the shares in double-double,
// and their logarithms where one leaves the normal doubles or r does.
BetaPoint PointOfShares(double r1, double r2, double s);

// ln(x^a y^b / B(a, b)) for positive, finite a and b, from the integrand's
// exponent relative to its peak and the peak (see precise_beta.cpp).
DoubleDouble LogBetaPrefactor(const BetaPoint& point, double a, double b);

struct PreciseTails {
  double lower;  // I(x, a, b)
  double upper;  // 1 - I(x, a, b)
};

// Both tails for 0 < x < 1 and positive, finite a, b (a NaN anywhere gives
// NaNs): each within a few units in the last place of its own size for a, b
// up to 1e5, within about 1e-13 up to 1e15.
PreciseTails PreciseBetaTails(const BetaPoint& point, double a, double b);

// Their natural logarithms, below the doubles' range too.
PreciseTails PreciseLogBetaTails(const BetaPoint& point, double a, double b);

// The tails, their logarithms and ln(x^a y^b / B(a, b)) at once (the
// prefactor formed once), for the root finders: the logarithms in
// double-double, so that a root below the doubles' probabilities is not
// limited by the rounding of a large logarithm.
struct BetaEvaluation {
  PreciseTails tails;
  DoubleDouble logLower;
  DoubleDouble logUpper;
  DoubleDouble logPrefactor;
};
BetaEvaluation EvaluateBeta(const BetaPoint& point, double a, double b);

// ln Γ(a) + ln Γ(b) - ln Γ(a + b) for positive, finite a and b.
double PreciseLogBeta(double a, double b);

}  // namespace specfun::detail
