// ln(1 + t) - t and its negative, free of cancellation for small t
// (internal), from ln(1 + t) = 2 atanh(t/(2 + t)). The forms give different
// bits, each pinned by the results of its callers, so all stay, side by
// side:
// - LogOnePlusMinusSelfSeries: ln(1 + t) - t for |t| <= 1/2, the atanh
//   series alone to the 39th power (the incomplete beta tails' exponent).
// - SelfMinusLogOnePlus: δ - ln(1 + δ) for every δ > -1, from log1p where
//   |δ| >= 0.1 and below from the series to the 13th power (the chi-square
//   prefactor and the beta quantile's start).
// - LogOnePlusMinusWithBound: ln(1 + t) - t for |t| <= 3/4 with a bound on
//   its rounding, from log1p where |t| > 1/4 and below from the series to
//   the 19th power (the precise beta family's prefactor in double).
// - LogOnePlusMinus: ln(1 + u) - u for a double-double u, in double-double
//   (the precise family's exponents).
#pragma once

#include "specfun/kernels/double_double.hpp"

namespace specfun::detail {

// 1/k for the odd k = 3 ... kLastOddTerm of the series of atanh (each the
// correctly rounded quotient, as a division at run time gives it).
inline constexpr int kLastOddTerm = 39;
inline constexpr double kOddReciprocals[] = {
    1.0 / 3,  1.0 / 5,  1.0 / 7,  1.0 / 9,  1.0 / 11, 1.0 / 13, 1.0 / 15,
    1.0 / 17, 1.0 / 19, 1.0 / 21, 1.0 / 23, 1.0 / 25, 1.0 / 27, 1.0 / 29,
    1.0 / 31, 1.0 / 33, 1.0 / 35, 1.0 / 37, 1.0 / 39};
static_assert(sizeof kOddReciprocals / sizeof kOddReciprocals[0] == (kLastOddTerm - 1) / 2);

// ln(1 + t) - t for |t| <= 1/2, of one t (V = double) or of several side by
// side (V = Lanes).
template <class V>
V LogOnePlusMinusSelfSeries(const V& t) {
  const V s = t / (2.0 + t);
  const V s2 = s * s;
  V sum{};
  for (int k = kLastOddTerm; k >= 3; k -= 2) sum = sum * s2 + kOddReciprocals[(k - 3) / 2];
  return 2.0 * s * s2 * sum - t * t / (2.0 + t);
}

// δ - ln(1 + δ) for δ > -1.
double SelfMinusLogOnePlus(double delta);

// A double with a bound on its absolute rounding.
struct RoundedValue {
  double value;
  double error;
};

// The largest |t| LogOnePlusMinusWithBound takes.
inline constexpr double kLogOnePlusMinusWithBoundReach = 0.75;

// ln(1 + t) - t for |t| <= kLogOnePlusMinusWithBoundReach, with a bound on
// its rounding that allows for t carrying a relative rounding of a unit.
RoundedValue LogOnePlusMinusWithBound(double t);

// ln(1 + u) - u for |u| <= 1/2, to about 1e-20 relative.
DoubleDouble LogOnePlusMinus(const DoubleDouble& u);

}  // namespace specfun::detail
