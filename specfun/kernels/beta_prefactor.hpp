// The prefactor x^a y^b / B(a, b) of the incomplete beta function, y = 1 - x,
// in logarithms free of cancellation (internal).
//
// Write p = a/(a + b), q = b/(a + b) for the mean and its complement and
// D = (a + b)(x - p) = x b - y a, formed from exact products. The exponent
// of the integrand relative to its peak,
//   E = a ln(x/p) + b ln(y/q) = a (ln(1 + D/a) - D/a) + b (ln(1 - D/b) + D/b),
// is free of cancellation, and with Stirling's remainder mu,
//   x^a y^b / B(a, b) = e^E √(ab/(2π(a + b))) e^(mu(a + b) - mu(a) - mu(b)),
// which keeps its digits where ln B(a, b) from three ln Γ values would not.
#pragma once

#include <cmath>

namespace specfun::detail {

// ln of the smallest subnormal double, about -744.4: a prefactor whose
// logarithm is below this is 0.
inline constexpr double kLogSmallestSubnormal = -745.0;

// ln(a + b) without overflow.
inline double LogSum(double a, double b) {
  const double big = std::fmax(a, b);
  const double small = std::fmin(a, b);
  return std::log(big) + std::log1p(small / big);
}

// ln p for p = a/(a + b) (ln q with a and b exchanged), without overflow.
double LogShare(double a, double b);

// D = x b - y a with the products' rounding errors included. Of x and y the
// smaller is taken as exact and the other as its complement 1 - x or 1 - y
// (the larger cannot hold the smaller's digits); the difference between
// that complement and the one supplied is exact by Sterbenz's lemma.
inline double Deviation(double x, double y, double a, double b) {
  const double xb = x * b;
  const double ya = y * a;
  const double rounded = (xb - ya) + (std::fma(x, b, -xb) - std::fma(y, a, -ya));
  if (x <= y) return rounded - ((1.0 - y) - x) * a;
  return rounded + ((1.0 - x) - y) * b;
}

// mu(a + b), mu(a) and mu(b), Stirling's remainders (StirlingRemainderSeries).
struct StirlingTerms {
  double sum;
  double a;
  double b;
};
StirlingTerms StirlingRemainders(double a, double b);

// ln(p^a q^b / B(a, b)) = ln √(ab/(2π(a + b))) + mu(a + b) - mu(a) - mu(b),
// given logSum = LogSum(a, b) and mu = StirlingRemainders(a, b), or
// forming them.
double LogPeak(double a, double b, double logSum, const StirlingTerms& mu);
double LogPeak(double a, double b);

// E, at most 0, given D = Deviation(x, y, a, b).
double IntegrandExponent(double x, double y, double a, double b, double d);

// E given ln x and ln y as well, so that an exact ln x below the doubles'
// range is rounded only in its product with a.
double IntegrandExponentGivenLogs(double x, double y, double logX, double logY, double a,
                                  double b, double d);

// IntegrandExponent(x[k], y[k], a[k], b[k], d[k]) and StirlingRemainders(a[k],
// b[k]) for the kLaneCount elements k, each at least kStirlingSeriesStart
// and finite, side by side: the same values, bit for bit.
void PrefactorPartsInLanes(const double* x, const double* y, const double* a, const double* b,
                           const double* d, double* exponent, double* muSum, double* muA,
                           double* muB);

}  // namespace specfun::detail
