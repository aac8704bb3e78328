// The parts of the incomplete beta tails (specfun/beta_tails.cpp) that the
// precise beta family assembles with prefactors of its own (internal).
#pragma once

namespace specfun::detail {

// The continued fraction of DiDonato and Morris for I(x, a, b) below the
// mean, with g = a y - b x: I = x^a y^b / (B(a, b) fraction).
double FractionDenominator(double x, double a, double b, double g);

// Σ (a + b)_k / (a + 1)_k x^k (A&S 26.5.23), for (a + b) x up to about 20:
// I(x, a, b) = x^a y^b / (a B(a, b)) times this sum.
double SeriesSum(double x, double a, double b);

// ln I(t, c, e) where that tail holds nearly all the mass (NearlyAllMass):
// formed from small parts, so that -expm1 of it is the other tail in full.
double LogTailNearOne(double t, double c, double e);
// Σ w_k r_k of that form, w_k = (1 - t)^e (e)_k / k! t^k and r_k =
// Π (1 + c/(e + j)) / Π (1 + c/(j + 1)) - 1 (j < k), over the terms whose
// weight is above weightFloor (at most 400).
double NearOneSum(double t, double c, double e, double weightFloor);
bool NearlyAllMass(double t, double c, double e);

// ln Γ(a + b) - ln Γ(a) for 0 < b <= a, to a small error relative to b.
double LogGammaShift(double a, double b);

// c0/√r + c1/r^(3/2), the correction of Temme's uniform expansion of
// I(x, a, b) for large a and b, at the deviation d = (a + b)(x - a/(a + b))
// and z = sign(d) √(-E), E the integrand's exponent relative to its peak.
double UniformCorrection(double a, double b, double d, double z);
// Its two terms, c0/√r and c1/r^(3/2).
double UniformLeadingTerm(double a, double b, double d, double z);
double UniformSecondTerm(double a, double b, double d, double z);

}  // namespace specfun::detail
