// The standard normal distribution's tails and density to the last digits
// (internal), for the precise family.
//
// The centre |w| <= 1/2 takes Φ(w) - 1/2 = w S(w²) from a polynomial fit.
// Beyond it Q(w) = e^(-w²/2) F(w), where F is Mills' ratio over √(2π)
// (F(w) = Q(w) e^(w²/2) = erfcx(w/√2)/2): polynomial fits on pieces of
// width 1/4 up to w = 8, then w F(w) as a polynomial in 1/w². The quantile
// is a fit too: of x/d in d² (d = p - 1/2) at the centre, of x in
// y = -2 ln q in the tails (q = min(p, 1 - p)), and beyond y = 2048 (the
// log forms only) the asymptotic deviate corrected by Halley's step on
// ln Q. The exponent
// w²/2 is carried in two doubles (Dekker's exact product), so e^(-w²/2) carries only the exponential's rounding, not
// that of w² (|w²/2| up to 745 would otherwise cost 745 · 2^-53 ~ 1e-13).
// The fits are tools/gen_normal_fits.py's.
#pragma once

namespace specfun::detail {

// Where the centre's polynomial ends.
inline constexpr double kGaussianCentreEnd = 0.5;

// w²/2 = high + low exactly (for |w| up to 1.8e154, where w²/2 still is
// finite).
struct HalfSquare {
  double high;
  double low;
};
HalfSquare HalfSquareOf(double w);

// Φ(w) - 1/2 for |w| <= 1/2.
double GaussianCentre(double w);

// F(w) = Q(w) e^(w²/2) for w >= 1/2 (+inf included).
double ScaledGaussianTail(double w);

// Q(w) for w >= 1/2: 0 where it is below the smallest double.
double GaussianUpperTail(double w);

// ln Q(w) for w >= 1/2, every finite w; -inf for +inf.
double LogGaussianUpperTail(double w);

// φ(w) and ln φ(w).
double GaussianDensity(double w);
double LogGaussianDensity(double w);

// The w > 0 with Q(w) = q, for 0 < q < 3/16; with ln Q(w) = lq for
// lq < ln(3/16) (any finite lq).
double GaussianTailDeviate(double q);
double GaussianTailDeviateOfLog(double lq);

// The x with Φ(x) = 1/2 + d for |d| <= 5/16.
double GaussianCentreDeviate(double d);

}  // namespace specfun::detail
