// The incomplete beta function with its normalising constant supplied, and
// both of its tails to full relative accuracy (internal).
#pragma once

namespace specfun::detail {

// -ln B(a, b) = ln Γ(a + b) - ln Γ(a) - ln Γ(b), subtracted in that order.
double NegativeLogBeta(double a, double b);

// Whether BETAF(x, a, b) is evaluated by its 41-iteration continued fraction
// (0 < x < 1, a and b normal doubles up to 1.25e5). Where that fraction
// converges within 41 iterations its value is BETAF's, bit for bit;
// elsewhere BETAF takes IncompleteBetaTails.
bool TakesSpecifiedFraction(double x, double a, double b);

// BETAF(x, a, b) given negativeLogBeta = NegativeLogBeta(a, b): the same
// value, bit for bit, and the same diagnostics.
double IncompleteBeta(double x, double a, double b, double negativeLogBeta);

struct BetaTails {
  double lower;
  double upper;
};

// I(x, a, b) and 1 - I(x, a, b), each to a small relative error of its own
// size (down to the smallest normal double), for 0 <= x <= 1 with y = 1 - x
// supplied by the caller (so a complement near 1 keeps its digits), and any
// a, b > 0 up to the largest double. Subnormal or infinite parameters give
// the limiting values; a NaN anywhere gives NaNs.
BetaTails IncompleteBetaTails(double x, double y, double a, double b);

// I(x, a, b) given ln x, for x below the smallest normal double, to a small
// relative error, from the series x^a (1 - x)^b / (a B(a, b)) (1 +
// (a + b) x / (a + 1) + ...). Subnormal or infinite parameters give the
// limits of IncompleteBetaTails; a NaN or a parameter not above 0 a NaN.
double LowerTailOfTinyArgument(double logX, double a, double b);

}  // namespace specfun::detail
