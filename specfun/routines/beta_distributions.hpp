// The F, t and binomial distributions as calls of the incomplete beta
// function (internal), shared by the scalar and the batch routines.
#pragma once

namespace specfun::detail {

// The value 1 - BETAF(x, a, b) when complement is set, else BETAF(x, a, b);
// or, when direct is set, `value`, found without BETAF (and without reports).
// `fraction` is set where BETAF is known to take its 41-iteration fraction
// (TakesFortyOneIterationFraction(x, a, b)).
struct BetaCall {
  double x;
  double a;
  double b;
  bool complement;
  bool direct = false;
  double value = 0.0;
  bool fraction = false;

  // The value kept inside [0, 1] (a parameter far below 1 can push the
  // series of a tiny argument past 1 by its rounding); a NaN stays.
  static BetaCall Direct(double value) {
    const double inside = value > 1.0 ? 1.0 : (value < 0.0 ? 0.0 : value);
    return {0.0, 0.0, 0.0, false, true, inside};
  }
};

BetaCall FDistPCall(double f, double nu1, double nu2);
BetaCall FDistQCall(double f, double nu1, double nu2);
BetaCall StudentACall(double t, double nu);
BetaCall StudentAQCall(double t, double nu);
BetaCall BinomPCall(double p, double a, double n);
BetaCall BinomQCall(double p, double a, double n);

}  // namespace specfun::detail
