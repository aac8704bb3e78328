// Stirling's remainder mu(z) = ln Γ(z) - (z - 1/2) ln z + z - ln √(2π) from
// Stirling's series (A&S 6.1.40): to z^-15 with the recurrence below z = 10,
// or its first three terms for large z; in double-double to z^-27 with the
// recurrence in double-double below z = 10; in double with a bound on its
// rounding, with polynomial fits on [1, 7).
#include "specfun/kernels/stirling_remainder.hpp"

#include <cmath>

#include "specfun/kernels/math_constants.hpp"

#include "specfun/kernels/double_double.hpp"
#include "specfun/kernels/stirling_remainder_fits.hpp"
#include "specfun/kernels/table_log.hpp"

namespace specfun::detail {
namespace {

// From this z on three terms of Stirling's series give its remainder to
// 1e-19.
constexpr double kThreeTermsFrom = 200.0;

// 2^-53, the bound on one operation's relative rounding.

// Stirling's series (its first `terms` terms) for z >= 10 in double:
// mu(z) <= 1/120 there, so that its roundings stay below 2e-18 absolute.
double StirlingSeriesToTerms(double z, int terms) {
  const double inverse = 1.0 / z;
  const double w = inverse * inverse;
  double sum = 0.0;
  for (int k = terms - 1; k >= 0; --k) sum = sum * w + kStirlingSeriesCoefficients[k];
  return sum * inverse;
}

// The terms of Stirling's series that leave out less than 1e-21 (before the
// factor 1/z) from these z on: 8 from 20, 5 from 100, 3 from 1000.
int StirlingTermsNeeded(double z) {
  if (z >= 1e3) return 3;
  if (z >= 100.0) return 5;
  return z >= 20.0 ? kStirlingSeriesShortTerms : kStirlingSeriesLongTerms;
}

// The series to z^-27 at a double-double z >= 10 (the next term below
// 7e-24 there), mu'(z) = -1/(12 z²) carrying its low part.
DoubleDouble StirlingSeriesDoubleDouble(const DoubleDouble& z) {
  const double inverse = 1.0 / z.hi;
  return Exact(StirlingSeriesToTerms(z.hi, kStirlingSeriesLongTerms) -
               z.lo * (inverse * inverse) / 12.0);
}

// mu(k/2) for k = 1 ... 39 (mpmath), for the whole and half-whole
// parameters of the t, F and binomial distributions with whole degrees of
// freedom or small counts.
constexpr DoubleDouble kHalfWholeRemainders[] = {
    {0.15342640972002736, -1.1595234069231498e-17},
    {0.08106146679532726, -2.8504218427709546e-18},
    {0.05481412105191765, 2.7899053378042904e-18},
    {0.0413406959554093, -2.941654530929307e-18},
    {0.03316287351993629, -3.4151901807684768e-18},
    {0.02767792568499834, 7.917435820236853e-19},
    {0.023746163656297496, -2.314769165964602e-19},
    {0.020790672103765093, -2.5325724267208116e-19},
    {0.018488450532673187, -1.6016536746403363e-18},
    {0.016644691189821193, -9.759029781538585e-19},
    {0.015134973221917378, 8.206551210066371e-19},
    {0.013876128823070748, -4.37162601109574e-19},
    {0.012810465242920227, -4.585328603983469e-19},
    {0.01189670994589177, 5.674518257356195e-19},
    {0.011104559758206917, -2.038131079125446e-20},
    {0.010411265261972096, 2.953086875573401e-19},
    {0.009799416126158804, -6.207313358118634e-19},
    {0.009255462182712733, 6.290071715112313e-20},
    {0.008768700134139386, -6.995800208116076e-19},
    {0.00833056343336287, 4.637604645200097e-19},
    {0.00793411456431402, 6.316244311725502e-19},
    {0.007573675487951841, 2.0467707460490837e-19},
    {0.007244554301320383, 2.0074460354690488e-19},
    {0.00694284010720953, -5.224462195760719e-20},
    {0.006665247032707682, 3.8154142307696135e-19},
    {0.006408994188004207, -7.471039504395375e-20},
    {0.006171712263039458, 3.981841757148414e-20},
    {0.0059513701127588475, 2.399535274410237e-19},
    {0.0057462165130101155, 2.2004704759211116e-19},
    {0.005554733551962801, 3.185347414196856e-19},
    {0.005375599032926835, -3.784397587520271e-19},
    {0.0052076559196096404, -2.8836089946619086e-21},
    {0.005049887331583002, 2.386601464677216e-19},
    {0.004901395948434738, -2.3443950847392425e-19},
    {0.00476138694171445, 7.348374355075095e-20},
    {0.004629153749334028, 1.7120211748007063e-19},
    {0.0045040661551206855, 3.5804643188796273e-19},
    {0.004385560249232324, 1.0072016033655829e-19},
    {0.004273129932103007, 9.748402153265286e-20},
};

// Stirling's series in double serves from this z on: its terms to z^-27 then
// leave out less than 3e-19 (the next, B(30)/(30·29) z^-29, at z = 7); below
// it the fits of stirling_remainder_fits.hpp.
constexpr double kPlainSeriesFrom = kRemainderFitFirst + kRemainderFitCount;

static_assert(kRemainderFitTerms % 4 == 0);

// The fit's polynomial by four interleaved Horner chains in t⁴ (the
// coefficients padded with zeros to a multiple of four), whose roundings
// stay of the size of Horner's.
double FittedRemainder(double z) {
  const int k = static_cast<int>(z);
  const double* c = kRemainderFits[k - kRemainderFitFirst];
  const double t = z - (k + 0.5);
  const double t2 = t * t;
  const double t4 = t2 * t2;
  double p0 = 0.0, p1 = 0.0, p2 = 0.0, p3 = 0.0;
  const int length = (kRemainderFitLengths[k - kRemainderFitFirst] + 3) / 4 * 4;
  for (int j = length - 4; j >= 0; j -= 4) {
    p0 = p0 * t4 + c[j];
    p1 = p1 * t4 + c[j + 1];
    p2 = p2 * t4 + c[j + 2];
    p3 = p3 * t4 + c[j + 3];
  }
  return (p0 + t * p1) + t2 * (p2 + t * p3);
}

}  // namespace

// Below kStirlingSeriesStart from mu(z) = mu(z + 1) + (z + 1/2) ln(1 + 1/z)
// - 1, which follows from Γ(z + 1) = z Γ(z) and keeps its digits down to
// the smallest z.
double StirlingRemainderSeries(double z) {
  double shifted = 0.0;
  for (; z < kStirlingSeriesStart; z += 1.0) shifted += (z + 0.5) * std::log1p(1.0 / z) - 1.0;
  return shifted + StirlingSeriesTerms(z);
}

double StirlingRemainderThreeTerms(double z) {
  if (z < kThreeTermsFrom) return StirlingRemainderSeries(z);
  const double inverse = 1.0 / z;
  const double inverse2 = inverse * inverse;
  return inverse * (1.0 / 12.0 - inverse2 * (1.0 / 360.0 - inverse2 / 1260.0));
}

// Below kStirlingSeriesStart from w = z + n >= 10 by Γ(w) = z (z + 1) ... (w - 1) Γ(z):
//   mu(z) = mu(w) + (w - ½) ln w - w - ln(z (z + 1) ... (w - 1)) - (z - ½) ln z + z.
DoubleDouble StirlingRemainderDoubleDouble(const DoubleDouble& z) {
  if (z.hi >= kStirlingSeriesStart) return StirlingSeriesDoubleDouble(z);
  const double twice = 2.0 * z.hi;
  if (z.lo == 0.0 && twice == std::floor(twice) && twice >= 1.0) {
    return kHalfWholeRemainders[static_cast<int>(twice) - 1];
  }
  DoubleDouble w = z;
  DoubleDouble product = Exact(1.0);
  while (w.hi < kStirlingSeriesStart) {
    product = product * w;
    w = w + 1.0;
  }
  return (w - 0.5) * TableLog(w) - w + StirlingSeriesDoubleDouble(w) - TableLog(product) -
         (z - 0.5) * TableLog(z) + z;
}

// The table at half-whole z, Stirling's series from kPlainSeriesFrom on, the
// fits on [1, kPlainSeriesFrom) (their terms' sizes below 0.1, so that
// their roundings stay near 2e-17), and below 1 mu(z) = T(z) + mu(z + 1)
// with T(z) = (z + ½) ln(1 + 1/z) - 1 (from Γ(z + 1) = z Γ(z)), of the size
// of ln(1/z), in double-double.
RoundedPair StirlingRemainderWithBound(double z) {
  const double twice = 2.0 * z;
  if (twice == std::floor(twice) && twice >= 1.0 && twice < 2.0 * kStirlingSeriesStart) {
    return {kHalfWholeRemainders[static_cast<int>(twice) - 1], 0.0};
  }
  // The fits' and the series' own errors and roundings stay below 5e-17.
  constexpr double kPlainError = 5e-17;
  if (z >= 1.0) {
    return {Exact(z >= kPlainSeriesFrom ? StirlingSeriesToTerms(z, StirlingTermsNeeded(z))
                                        : FittedRemainder(z)),
            kPlainError};
  }
  const DoubleDouble shift = TwoSum(z, 0.5) * TableLog(TwoSum(z, 1.0) / z) - 1.0;
  // z + 1 rounds by half a unit, which moves mu(z + 1) by less than 1/24 of it.
  return {shift + FittedRemainder(z + 1.0), kPlainError + kUnitRoundoff / 24.0};
}

}  // namespace specfun::detail
