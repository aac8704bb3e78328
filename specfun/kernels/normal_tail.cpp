#include "specfun/kernels/normal_tail.hpp"

#include <cmath>
#include <limits>


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
// 2^27 + 1, Veltkamp's splitter of a double into two halves of 26 bits.
constexpr double kVeltkampSplitter = 134217729.0;
constexpr double kSplitEnd = 1e150;


double Polynomial(const double (&c)[fits::kCoefficients], double s) {
  return FitPolynomial(FitRows<double>{c}, s);
}

// w Q(w) e^(w²/2) for w >= 8, in v = 1/w².
double ScaledFarTail(double w) {
  const double v = 1.0 / (w * w);
  if (v >= 1.0 / 256) return Polynomial(fits::kMillsFar[0], (v - 5.0 / 512) * (512.0 / 3));
  return Polynomial(fits::kMillsFar[1], (v - 1.0 / 512) * 512.0);
}

// Halley's step for ln Q(w) = lq at w >= 8, in the logarithm (where the
// residual keeps its relative accuracy however small Q is). The step's
// second-order factor takes φ/Q - w = (1 - 2/w²)/w + O(1/w⁵), which keeps
// its relative accuracy where φ/Q and w agree to all their digits.
double HalleyStepOnFarTail(double w, double lq) {
  const HalfSquare half = HalfSquareOf(w);
  const double scaled = ScaledFarTail(w);  // w F(w)
  const double residual = -(half.high + lq) + ((std::log(scaled) - std::log(w)) - half.low);
  const double ratio = kInvSqrtTwoPi * w / scaled;  // φ(w)/Q(w)
  const double excess = (1.0 - 2.0 / (w * w)) / w;
  const double step = residual / ratio;
  return w + step / (1.0 + residual * excess / (2.0 * ratio));
}

}  // namespace

// Dekker's exact product (1971): w = upper + lower with 26 bits in upper, so
// the partial products are exact and w² - fl(w²) is their rounded sum. (No
// fused multiply-add: the processors without one would take the C
// library's slow emulation.)
HalfSquare HalfSquareOf(double w) {
  const double high = w * (0.5 * w);
  // Beyond it the partial products overflow, and the low part is below the
  // high part's last place anyway.
  if (!(std::fabs(w) < kSplitEnd)) return {high, 0.0};
  const double scaled = kVeltkampSplitter * w;
  const double upper = scaled - (scaled - w);
  const double lower = w - upper;
  const double square = w * w;
  const double error = ((upper * upper - square) + upper * lower + lower * upper) + lower * lower;
  return {high, 0.5 * error};
}

double GaussianCentre(double w) { return w * Polynomial(fits::kCentre, w * w); }

double ScaledGaussianTail(double w) {
  if (w >= kMillsFarStart) return ScaledFarTail(w) / w;
  const int piece = static_cast<int>((w - kMillsPiecesStart) * 4.0);
  const double centre = kMillsPiecesStart + 0.125 + 0.25 * piece;
  return Polynomial(fits::kMills[piece], 8.0 * (w - centre));
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

// Beyond the fits w²/2 + ln(w √(2π)) = y/2 by three fixed-point steps from
// w = √y (each gains a factor of about 1/y), then Halley's step.
double FarGaussianTailDeviate(double lq) {
  const double y = -2.0 * lq;
  double w = std::sqrt(y);
  for (int i = 0; i < 3; ++i) w = std::sqrt(y - 2.0 * (std::log(w) + kLogSqrtTwoPi));
  return HalleyStepOnFarTail(w, lq);
}

}  // namespace specfun::detail
