// The regularized incomplete gamma functions P(a, x) = γ(a, x)/Γ(a) and
// Q(a, x) = Γ(a, x)/Γ(a), each to full relative accuracy, their logarithms,
// and the Poisson term x^a e^(-x)/Γ(a + 1) that is their prefactor
// (internal).
#pragma once

#include <limits>

#include "specfun/kernels/double_double.hpp"

namespace specfun::detail {

struct GammaTails {
  double lower;  // P(a, x)
  double upper;  // Q(a, x)
};

// P(a, x) and Q(a, x), each to a small error relative to its own size, for
// a > 0 and x >= 0 (x = +inf gives 1 and 0; a = +inf gives 0 and 1). A NaN,
// a <= 0 or x < 0 gives NaNs.
GammaTails RegularizedGammaTails(double a, double x, double xLow = 0.0);

// ln P(a, x) and ln Q(a, x), each to a small relative error, finite far
// below the doubles' range (ln Q(1, 1e300) = -1e300). Domain as
// RegularizedGammaTails'.
GammaTails LogRegularizedGammaTails(double a, double x, double xLow = 0.0);

// The argument of these may be given as x + xLow (|xLow| <= ulp(x)/2), a
// quotient carried as a double-double, which the tails follow in their
// exponent.

// ln P(a, x) and ln Q(a, x), each as a double-double whose sum carries it to
// about 1e-16 of the tail's own size (the logarithms a discrete quantile's
// steps compare with their target).
struct LogGammaTailsAsDoubleDouble {
  DoubleDouble lower;
  DoubleDouble upper;
};
LogGammaTailsAsDoubleDouble LogRegularizedGammaTailsAsDoubleDouble(double a, double x,
                                                                   double xLow = 0.0);

// The same (ln P about -700 to within 1e-16 of P, not of 700) with ln D(a,
// x) = ln(x^a e^(-x)/Γ(a + 1)) as a double-double, to about 1e-30 of its size:
// what a quantile's Newton steps compare with their target and step by.
struct LogGammaTailsAndTerm {
  DoubleDouble lower;
  DoubleDouble upper;
  DoubleDouble logTerm;
};
LogGammaTailsAndTerm LogRegularizedGammaTailsAndTerm(double a, double x, double xLow = 0.0);

// The logarithms of the shape alone (ln a, ln Γ(1 + a)) that evaluations at
// one shape share: NaN until an evaluation takes them, then kept.
struct ShapeLogarithms {
  DoubleDouble logA = {std::numeric_limits<double>::quiet_NaN(), 0.0};
  DoubleDouble logGammaOnePlus = {std::numeric_limits<double>::quiet_NaN(), 0.0};
};
LogGammaTailsAndTerm LogRegularizedGammaTailsAndTerm(double a, double x, double xLow,
                                                     ShapeLogarithms& shape);

// ln(x^a e^(-x)/Γ(a + 1)) for a >= 0, x >= 0 (-inf where x = 0 < a or
// x = +inf), to a small absolute error; and the same carried as a
// double-double to about 1e-30 of its size, so that e^() of it keeps its
// digits.
double LogPoissonTerm(double a, double x);
DoubleDouble LogPoissonTermAsDoubleDouble(double a, double x, double xLow = 0.0);

// ln Γ(1 + a) for a > -½, as a double-double to about 1e-17 absolute.
DoubleDouble LogGammaOnePlusAsDoubleDouble(double a);

// x^a e^(-x)/Γ(a + 1) to a small relative error (the Poisson probability of
// a at mean x for a whole a); 0 where it underflows.
double PoissonTerm(double a, double x);

}  // namespace specfun::detail
