// Stirling's remainder mu(z) = ln Γ(z) - (z - 1/2) ln z + z - ln √(2π)
// (internal), in the three forms the library's routines evaluate; each
// gives bits of its own that its callers' results are pinned to, so all
// three stay, side by side:
// - StirlingRemainderStieltjes: the Stieltjes continued fraction
//   (A&S 6.1.48) to eight coefficients, for z >= 5: LnGamma's.
// - StirlingRemainderSeries: Stirling's series (A&S 6.1.40) to z^-15 from
//   z = 10, below that the recurrence mu(z) = mu(z + 1) + (z + 1/2) ln(1 +
//   1/z) - 1, within 4e-16 relative from z = 10 and 3e-14 below (the
//   recurrence's rounding, about 1e-16 absolute): the incomplete beta tails,
//   the incomplete gamma kernels and the precise beta family.
// - StirlingRemainderThreeTerms: the series' first three terms from
//   z = 200, StirlingRemainderSeries below: the chi-square prefactor, the
//   non-central chi-square's weights and the beta quantile's start.
// - StirlingRemainderDoubleDouble: of a double-double z, the series to
//   z^-27 from z = 10, below that the recurrence in double-double (a table
//   at half-whole z): the precise beta family's peak and ln Γ(1 + c).
// - StirlingRemainderWithBound: in double (double-double below 1) with a
//   bound on its rounding, the series to as few terms as z allows from
//   z = 7, polynomial fits on [1, 7): the precise beta family's quick peak.
#pragma once

#include "specfun/kernels/double_double.hpp"

namespace specfun::detail {

// ½·ln(2π) as the C library's logarithm and arctangent give it,
// 0.5·log(8·atan(1)) = 0x1.d67f1c864beb4p-1 (one unit below the double
// nearest to ½·ln(2π)); a literal, so that it is set before any caller's
// static initialiser runs.
inline constexpr double kHalfLogTwoPi = 0.91893853320467267;

// Coefficients a0 ... a7 of the continued fraction
// a0/(z + a1/(z + a2/(z + ... a7/z))). a6 departs from the exact coefficient
// in the eighth digit; the table's value is the one evaluated.
inline constexpr double kStieltjesCoefficients[] = {
    0.083333333333333329, 0.033333333333333333, 0.25238095238095237, 0.52560646900269536,
    1.0115230681268417,   1.5174736491532874,   2.2694889572773258,  3.0099173832593982};

// mu(z) from the Stieltjes fraction, for z >= 5, of one z (V = double) or of
// several side by side (V = Lanes).
template <class V>
V StirlingRemainderStieltjes(const V& z) {
  V t = kStieltjesCoefficients[7] / z;
  for (int k = 6; k >= 0; --k) t = kStieltjesCoefficients[k] / (z + t);
  return t;
}

// From this z on Stirling's series to z^-15 leaves a remainder below 1e-18.
inline constexpr double kStirlingSeriesStart = 10.0;

// B(2k) / (2k (2k - 1)), k = 1 ... 14, the coefficients of z^(1 - 2k) in
// Stirling's series for ln Γ(z) (A&S 6.1.40); the double forms take the
// first eight (to z^-15), the double-double ones all fourteen (to z^-27).
inline constexpr double kStirlingSeriesCoefficients[] = {
    1.0 / 12.0,         -1.0 / 360.0,         1.0 / 1260.0,       -1.0 / 1680.0,
    1.0 / 1188.0,       -691.0 / 360360.0,    1.0 / 156.0,        -3617.0 / 122400.0,
    43867.0 / 244188.0, -174611.0 / 125400.0, 854513.0 / 63756.0, -236364091.0 / 1506960.0,
    8553103.0 / 3900.0, -23749461029.0 / 657720.0};
inline constexpr int kStirlingSeriesLongTerms =
    sizeof kStirlingSeriesCoefficients / sizeof kStirlingSeriesCoefficients[0];
inline constexpr int kStirlingSeriesShortTerms = 8;

// Stirling's series alone to z^-15, for z >= kStirlingSeriesStart, of one z
// (V = double) or of several side by side (V = Lanes).
template <class V>
V StirlingSeriesTerms(const V& z) {
  const V w = 1.0 / (z * z);
  V sum{};
  for (int k = kStirlingSeriesShortTerms - 1; k >= 0; --k) {
    sum = sum * w + kStirlingSeriesCoefficients[k];
  }
  return sum / z;
}

// mu(z) for every z > 0: the series from kStirlingSeriesStart, the
// recurrence below.
double StirlingRemainderSeries(double z);

// mu(z) from the first three terms of Stirling's series from z = 200 (within
// 1e-19 there), StirlingRemainderSeries below.
double StirlingRemainderThreeTerms(double z);

// mu(z) of a double-double z > 0, z's low part carried: so that a
// parameter far below 1, where mu is of the size of ln(1/z), keeps its last
// digits.
DoubleDouble StirlingRemainderDoubleDouble(const DoubleDouble& z);

// A double-double value with a bound on its absolute rounding.
struct RoundedPair {
  DoubleDouble value;
  double error;
};

// mu(z) for any z > 0, in double from z = 1 on, with a bound on its
// absolute rounding (about 5e-17).
RoundedPair StirlingRemainderWithBound(double z);

}  // namespace specfun::detail
