// The standard normal distribution's tails and density to the last digits
// (internal), for the precise family.
//
// The centre |w| <= 1/2 takes Φ(w) - 1/2 = w S(w²) from a polynomial fit.
// Beyond it Q(w) = e^(-w²/2) F(w), where F is Mills' ratio over √(2π)
// (F(w) = Q(w) e^(w²/2) = erfcx(w/√2)/2): polynomial fits on pieces of
// width 1/4 up to w = 8, then w F(w) as a polynomial in 1/w². The exponent
// w²/2 is carried in two doubles (Dekker's exact product), so e^(-w²/2)
// carries only the exponential's rounding, not that of w² (|w²/2| up to 745
// would otherwise cost 745 · 2^-53 ~ 1e-13).
//
// The quantile is a fit too: of x/d in d² (d = p - 1/2) and of x in d at
// the centre, of x in q = min(p, 1 - p) itself down to 2^-40, of x in
// y = -2 ln q below, and beyond y = 2048 (the log forms only) the
// asymptotic deviate corrected by Halley's step on ln Q. All fits are
// tools/gen_normal_fits.py's Chebyshev fits of degree 13 on pieces whose
// variable is formed exactly.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "specfun/kernels/normal_fits.hpp"
#include "specfun/kernels/lanes.hpp"

namespace specfun::detail {

// Where the centre's polynomial ends.
inline constexpr double kGaussianCentreEnd = 0.5;

// w²/2 = high + low exactly (for |w| up to 1.8e154, where w²/2 still is
// finite).
struct HalfSquare {
  double high;
  double low;
};

// Dekker's exact product (1971): w = upper + lower with 26 bits in upper, so
// the partial products are exact and w² - fl(w²) is their rounded sum. (No
// fused multiply-add: the processors without one would take the C
// library's slow emulation.) Beyond |w| = 1e150 the partial products could
// overflow, and the low part is below the high part's last place anyway.
inline HalfSquare HalfSquareOf(double w) {
  constexpr double kVeltkampSplitter = 134217729.0;  // 2^27 + 1
  constexpr double kSplitEnd = 1e150;
  const double high = w * (0.5 * w);
  if (!(std::fabs(w) < kSplitEnd)) return {high, 0.0};
  const double scaled = kVeltkampSplitter * w;
  const double upper = scaled - (scaled - w);
  const double lower = w - upper;
  const double square = w * w;
  const double error = ((upper * upper - square) + upper * lower + lower * upper) + lower * lower;
  return {high, 0.5 * error};
}

// Φ(w) - 1/2 for |w| <= 1/2.
double GaussianCentre(double w);

// Q(w) for w >= 1/2: 0 where it is below the smallest double.
double GaussianUpperTail(double w);

// ln Q(w) for w >= 1/2, every finite w; -inf for +inf.
double LogGaussianUpperTail(double w);

// φ(w) and ln φ(w).
double GaussianDensity(double w);
double LogGaussianDensity(double w);

// The deviate beyond the tail's fit: the w with ln Q(w) = lq for
// y = -2 lq >= kGaussianTailFitEnd.
inline constexpr double kGaussianTailFitEnd = 2048.0;
double FarGaussianTailDeviate(double lq);

// A fit's coefficients, one row per lane (all lanes of a double: one row).
template <class V>
struct FitRows;
template <>
struct FitRows<double> {
  const double* row;
  double operator[](int k) const { return row[k]; }
};
template <>
struct FitRows<Lanes> {
  const double* row[kLaneCount];
  Lanes operator[](int k) const {
    Lanes r;
    for (int i = 0; i < kLaneCount; ++i) r.v[i] = row[i][k];
    return r;
  }
};

// c[0] + c[1] s + ... + c[13] s^13 as c[0] + s (c[1] + ... + c[13] s^12),
// the inner polynomial by Estrin's scheme: short dependency chains, and
// with |s| <= 1 the inner part is small beside c[0], so its roundings stay
// below the last place of the sum.
template <class V>
V FitPolynomial(const FitRows<V>& c, const V& s) {
  static_assert(normal_fits::kCoefficients == 14, "a polynomial of degree 13");
  const V s2 = s * s;
  const V s4 = s2 * s2;
  const V s8 = s4 * s4;
  const V b0 = (c[1] + c[2] * s) + (c[3] + c[4] * s) * s2;
  const V b1 = (c[5] + c[6] * s) + (c[7] + c[8] * s) * s2;
  const V b2 = (c[9] + c[10] * s) + (c[11] + c[12] * s) * s2;
  const V inner = (b0 + b1 * s4) + (b2 + c[13] * s4) * s8;
  return c[0] + s * inner;
}

// A deviate as a fit: factor · P(s), P the polynomial of `row`.
struct DeviateFit {
  const double* row;
  double s;
  double factor;
};

// A normal double v = 2^exponent m with 1 <= m < 2 (read from its bits),
// the quarter of the octave m lies in, and the variable s in [-1, 1] of
// that quarter: s = 8 (m - 1) - (2 quarter + 1), exact.
struct OctaveQuarter {
  int exponent;
  int quarter;
  double s;
};
inline OctaveQuarter OctaveQuarterOf(double v) {
  constexpr std::uint64_t kMantissaBits = (std::uint64_t{1} << 52) - 1;
  constexpr std::uint64_t kExponentOfOne = std::uint64_t{1023} << 52;
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  const int exponent = static_cast<int>(bits >> 52) - 1023;
  bits = (bits & kMantissaBits) | kExponentOfOne;
  double m;
  std::memcpy(&m, &bits, sizeof m);
  const int quarter = static_cast<int>(4.0 * (m - 1.0));
  return {exponent, quarter, 8.0 * (m - 1.0) - (2 * quarter + 1)};
}

// The fit of sign · w, w > 0 with ln Q(w) = lq, for ln(3/16) > lq >
// -kGaussianTailFitEnd/2: x in y = -2 lq on quarters of octaves.
inline DeviateFit GaussianTailDeviateFit(double lq, double sign) {
  const OctaveQuarter y = OctaveQuarterOf(-2.0 * lq);
  return {normal_fits::kQuantileTail[4 * (y.exponent - 1) + y.quarter], y.s, sign};
}

// Where the fits in q itself begin (below, the fits in -2 ln q).
inline constexpr double kGaussianProbabilityFitStart = 9.094947017729282e-13;  // 2^-40

// The fit of sign · w, w > 0 with Q(w) = q, for 2^-40 <= q < 1/4: x in q
// on quarters of octaves (no logarithm: q itself is exact).
inline DeviateFit GaussianTailDeviateFitOfProbability(double q, double sign) {
  const OctaveQuarter v = OctaveQuarterOf(q);
  return {normal_fits::kQuantileProbabilityTail[4 * (-v.exponent - 3) + v.quarter], v.s, sign};
}

// The fit of sign · w, w > 0 with Q(w) = q, for 0 < q < 3/16.
inline DeviateFit GaussianSmallTailDeviateFit(double q, double sign) {
  if (q >= kGaussianProbabilityFitStart) return GaussianTailDeviateFitOfProbability(q, sign);
  return GaussianTailDeviateFit(std::log(q), sign);
}

// The fit of the x with Φ(x) = 1/2 + d for |d| <= 5/16: x/d in d² to
// |d| = 3/16, then x on pieces of width 1/32 in |d|.
inline DeviateFit GaussianCentreDeviateFit(double d) {
  constexpr double kCentreEnd = 0.1875;
  const double magnitude = std::fabs(d);
  if (magnitude <= kCentreEnd) return {normal_fits::kQuantileCentre, d * d, d};
  // u = 64 (|d| - 3/16) (exact) in [0, 8]: piece k covers [2k, 2k + 2], its
  // variable is u - (2k + 1); u = 8 itself ends the last piece.
  const double u = 64.0 * (magnitude - kCentreEnd);
  int piece = static_cast<int>(0.5 * u);
  if (piece > normal_fits::kNearCentrePieces - 1) piece = normal_fits::kNearCentrePieces - 1;
  return {normal_fits::kQuantileNearCentre[piece], u - (2 * piece + 1), d < 0.0 ? -1.0 : 1.0};
}

inline double Evaluate(const DeviateFit& fit) {
  return fit.factor * FitPolynomial(FitRows<double>{fit.row}, fit.s);
}

// The fit of F(w) = Q(w) e^(w²/2) at w >= 1/2: F = P(s) on pieces of width
// 1/4 below w = 8 (s = 8 (w - centre), exact), F = P(s)/w beyond (P the fit
// of w F in v = 1/w²).
struct MillsFit {
  const double* row;
  double s;
  bool overW;
};
inline MillsFit MillsFitAt(double w) {
  constexpr double kPiecesStart = 0.5;
  constexpr double kFarStart = 8.0;
  if (w >= kFarStart) {
    const double v = 1.0 / (w * w);
    if (v >= 1.0 / 256) return {normal_fits::kMillsFar[0], (v - 5.0 / 512) * (512.0 / 3), true};
    return {normal_fits::kMillsFar[1], (v - 1.0 / 512) * 512.0, true};
  }
  const int piece = static_cast<int>((w - kPiecesStart) * 4.0);
  const double centre = kPiecesStart + 0.125 + 0.25 * piece;
  return {normal_fits::kMills[piece], 8.0 * (w - centre), false};
}
inline double Evaluate(const MillsFit& fit) {
  return FitPolynomial(FitRows<double>{fit.row}, fit.s);
}

// Q(w) is below half the smallest subnormal double beyond it.
inline constexpr double kGaussianUnderflow = 38.5;

// Q(w) = e^(-w²/2) F(w) for 1/2 <= w <= 38.5, given the value of w's Mills
// fit (so that lanes can evaluate the fits side by side).
inline double GaussianUpperTailOfFit(double w, double fitted, bool overW) {
  const HalfSquare half = HalfSquareOf(w);
  const double scaled = overW ? fitted / w : fitted;
  return std::exp(-half.high) * (scaled - scaled * half.low);
}

// A start for the standard normal deviate w with ln Φ(-|w|) = logTail <=
// ln ½, |w| (A&S 26.2.23, within 4.5e-4).
double NormalDeviateOfLogTail(double logTail);

}  // namespace specfun::detail
