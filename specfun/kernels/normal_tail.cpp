#include "specfun/kernels/normal_tail.hpp"

#include <cmath>
#include <limits>

#include "specfun/kernels/normal_fits.hpp"

namespace specfun::detail {
namespace {

namespace fits = normal_fits;

constexpr double kInvSqrtTwoPi = 0.3989422804014327;     // 1/√(2π)
constexpr double kInvSqrtTwoPiLow = -2.49232720227773e-17;  // 1/√(2π) - kInvSqrtTwoPi
constexpr double kLogSqrtTwoPi = 0.9189385332046728;     // ln √(2π)
constexpr double kLogSqrtTwoPiLow = -3.8782941580672414e-17;
// Where the pieces of width 1/4 end and the fit in 1/w² begins.
constexpr double kMillsPiecesStart = 0.5;
constexpr double kMillsFarStart = 8.0;
// Q(w) is below half the smallest subnormal double beyond it.
constexpr double kUnderflow = 38.5;
// The Halley step's start from a fit in t = √(-2 ln q) ends here; beyond it
// the start is the asymptotic deviate.
constexpr double kStartFitEnd = 48.0;

// c[0] + c[1] s + ... + c[11] s^11 by Estrin's scheme (short dependency
// chains; |s| <= 1 and falling coefficients keep it as accurate as Horner's).
double Estrin12(const double (&c)[fits::kCoefficients], double s) {
  const double s2 = s * s;
  const double s4 = s2 * s2;
  const double s8 = s4 * s4;
  const double a0 = (c[0] + c[1] * s) + (c[2] + c[3] * s) * s2;
  const double a1 = (c[4] + c[5] * s) + (c[6] + c[7] * s) * s2;
  const double a2 = (c[8] + c[9] * s) + (c[10] + c[11] * s) * s2;
  return (a0 + a1 * s4) + a2 * s8;
}

double Horner(const double (&c)[fits::kStartCoefficients], double s) {
  double sum = c[fits::kStartCoefficients - 1];
  for (int k = fits::kStartCoefficients - 2; k >= 0; --k) sum = sum * s + c[k];
  return sum;
}

// w Q(w) e^(w²/2) for w >= 8, in v = 1/w².
double ScaledFarTail(double w) {
  const double v = 1.0 / (w * w);
  if (v >= 1.0 / 256) return Estrin12(fits::kMillsFar[0], (v - 5.0 / 512) * (512.0 / 3));
  return Estrin12(fits::kMillsFar[1], (v - 1.0 / 512) * 512.0);
}

// Halley's step for ln Q(w) = lq, in the logarithm (where the residual
// keeps its relative accuracy down to the smallest doubles and beyond).
double HalleyStepOnLogTail(double w, double lq) {
  const HalfSquare half = HalfSquareOf(w);
  const double scaled = ScaledGaussianTail(w);
  const double residual = -(half.high + lq) + (std::log(scaled) - half.low);
  const double ratio = kInvSqrtTwoPi / scaled;  // φ(w)/Q(w)
  const double step = residual / ratio;
  return w + step / (1.0 + residual * (ratio - w) / (2.0 * ratio));
}

// The start of the deviate from a fit in t = √(-2 ln q) (about 1e-7), or
// beyond the fit from w²/2 + ln(w √(2π)) = t²/2 by two fixed-point steps.
double StartingDeviate(double t) {
  if (t >= kStartFitEnd) {
    double w = t;
    for (int i = 0; i < 2; ++i) w = std::sqrt(t * t - 2.0 * (std::log(w) + kLogSqrtTwoPi));
    return w;
  }
  int k = 0;
  double low = 1.5;
  while (t >= 2.0 * low && k < fits::kStartPieces - 1) {
    low *= 2.0;
    ++k;
  }
  return Horner(fits::kQuantileStart[k], (t - 1.5 * low) / (0.5 * low));
}

}  // namespace

HalfSquare HalfSquareOf(double w) {
  const double half = 0.5 * w;
  const double high = w * half;
  if (!(std::fabs(high) < std::numeric_limits<double>::infinity())) return {high, 0.0};
  return {high, std::fma(w, half, -high)};
}

double GaussianCentre(double w) { return w * Estrin12(fits::kCentre, w * w); }

double ScaledGaussianTail(double w) {
  if (w >= kMillsFarStart) return ScaledFarTail(w) / w;
  const int piece = static_cast<int>((w - kMillsPiecesStart) * 4.0);
  const double centre = kMillsPiecesStart + 0.125 + 0.25 * piece;
  return Estrin12(fits::kMills[piece], 8.0 * (w - centre));
}

double GaussianUpperTail(double w) {
  if (!(w <= kUnderflow)) return w > kUnderflow ? 0.0 : w;
  const HalfSquare half = HalfSquareOf(w);
  const double scaled = ScaledGaussianTail(w);
  return std::exp(-half.high) * (scaled - scaled * half.low);
}

double LogGaussianUpperTail(double w) {
  const HalfSquare half = HalfSquareOf(w);
  if (std::isinf(half.high)) return -half.high;
  if (w < kMillsFarStart) return -half.high + (std::log(ScaledGaussianTail(w)) - half.low);
  // ln F = ln(w F) - ln w, apart so that w F's logarithm stays near ln(1/√(2π)).
  return -half.high + ((std::log(ScaledFarTail(w)) - std::log(w)) - half.low);
}

double GaussianDensity(double w) {
  const HalfSquare half = HalfSquareOf(w);
  const double scale = kInvSqrtTwoPi + (kInvSqrtTwoPiLow - kInvSqrtTwoPi * half.low);
  return std::exp(-half.high) * scale;
}

double LogGaussianDensity(double w) {
  const HalfSquare half = HalfSquareOf(w);
  return -half.high - ((kLogSqrtTwoPi + half.low) + kLogSqrtTwoPiLow);
}

double GaussianTailDeviate(double q) { return GaussianTailDeviateOfLog(std::log(q)); }

double GaussianTailDeviateOfLog(double lq) {
  const double t = std::sqrt(-2.0 * lq);
  const double start = StartingDeviate(t);
  return HalleyStepOnLogTail(start < kMillsPiecesStart ? kMillsPiecesStart : start, lq);
}

double GaussianCentreDeviate(double d) { return d * Estrin12(fits::kQuantileCentre, d * d); }

}  // namespace specfun::detail
