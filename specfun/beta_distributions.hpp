// The F, t and binomial distributions as calls of the incomplete beta
// function (internal), shared by the scalar and the batch routines.
#pragma once

namespace specfun::detail {

// The value 1 - BETAF(x, a, b) when complement is set, else BETAF(x, a, b).
struct BetaCall {
  double x;
  double a;
  double b;
  bool complement;
};

BetaCall FDistPCall(double f, double nu1, double nu2);
BetaCall FDistQCall(double f, double nu1, double nu2);
BetaCall StudentACall(double t, double nu);
BetaCall StudentAQCall(double t, double nu);
BetaCall BinomPCall(double p, double a, double n);
BetaCall BinomQCall(double p, double a, double n);

}  // namespace specfun::detail
