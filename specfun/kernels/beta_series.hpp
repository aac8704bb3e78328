// The series of the incomplete beta function (internal): the series of
// positive terms of A&S 26.5.23,
//   I(x, a, b) = x^a y^b / (a B(a, b)) Σ (a + b)_k / (a + 1)_k x^k,
// for (a + b) x up to about 20, where its terms fall like a Poisson
// distribution's; its logarithm formed from small parts where that tail
// holds nearly all the mass; and its form for x below the normal doubles.
#pragma once

namespace specfun::detail {

// Whether the series at the smaller argument of x and y gives its tail:
// (a + b) times it at most 20, given logSum = ln(a + b).
bool WithinSeriesReach(double logSum, double smaller);

// The series' side: its argument t (the smaller of x and y) and parameter
// c, the other argument s and parameter e, and g = e t - c s for the
// fraction at s.
struct SeriesSide {
  double t;
  double s;
  double c;
  double e;
  double g;
};

// The side of the smaller of x and y, given d = x b - y a.
inline SeriesSide SideOfSmallerArgument(double x, double y, double a, double b, double d) {
  return x <= y ? SeriesSide{x, y, a, b, d} : SeriesSide{y, x, b, a, -d};
}

// Σ (a + b)_k / (a + 1)_k x^k.
double SeriesSum(double x, double a, double b);

// I(x, a, b) from the series, given logPrefactor = ln(x^a y^b / B(a, b)).
double SeriesTail(double x, double a, double b, double logPrefactor);

// ln I(t, c, e) where that tail holds nearly all the mass (NearlyAllMass):
// formed from small parts, so that -expm1 of it is the other tail in full.
double LogTailNearOne(double t, double c, double e);
// Σ w_k r_k of that form, w_k = (1 - t)^e (e)_k / k! t^k and r_k =
// Π (1 + c/(e + j)) / Π (1 + c/(j + 1)) - 1 (j < k), over the terms whose
// weight is above weightFloor (at most 400).
double NearOneSum(double t, double c, double e, double weightFloor);
// Whether the other tail of the series' tail at t, with its parameter c and
// the other parameter e, comes from LogTailNearOne.
bool NearlyAllMass(double t, double c, double e);

// I(x, a, b) for x below the normal range and normal a, b, given ln x, as
// e^logPrefactor / a times the series, with (a + b) x at most about 8.
struct TinyArgumentTail {
  double logPrefactor;  // ln(x^a y^b / B(a, b))
  double series;
};
TinyArgumentTail TailOfTinyArgument(double logX, double a, double b);

}  // namespace specfun::detail
