#include "specfun/kernels/normal_tail.hpp"

#include <cmath>
#include <limits>

#include "specfun/kernels/double_double.hpp"
#include "specfun/kernels/math_constants.hpp"

namespace specfun::detail {
namespace {

namespace fits = normal_fits;

using detail::kInvSqrtTwoPi;
constexpr double kInvSqrtTwoPiLow = -2.49232720227773e-17;  // 1/√(2π) - kInvSqrtTwoPi
using detail::kLogSqrtTwoPi;
constexpr double kLogSqrtTwoPiLow = -3.8782941580672414e-17;



double Polynomial(const double (&c)[fits::kCoefficients], double s) {
  return FitPolynomial(FitRows<double>{c}, s);
}

// w Q(w) e^(w²/2) for w >= 8.
double ScaledFarTail(double w) { return Evaluate(MillsFitAt(w)); }

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

double GaussianCentre(double w) { return w * Polynomial(fits::kCentre, w * w); }

double GaussianUpperTail(double w) {
  if (!(w <= kGaussianUnderflow)) return w > kGaussianUnderflow ? 0.0 : w;
  const MillsFit fit = MillsFitAt(w);
  return GaussianUpperTailOfFit(w, Evaluate(fit), fit.overW);
}

double LogGaussianUpperTail(double w) {
  const HalfSquare half = HalfSquareOf(w);
  if (std::isinf(half.high)) return -half.high;
  const MillsFit fit = MillsFitAt(w);
  if (!fit.overW) return -half.high + (std::log(Evaluate(fit)) - half.low);
  // ln F = ln(w F) - ln w, apart so that w F's logarithm stays near ln(1/√(2π)).
  return -half.high + ((std::log(Evaluate(fit)) - std::log(w)) - half.low);
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
  // Beyond this the terms beside w²/2 are below 1e-197 of it, and w = √(-2 lq),
  // formed without overflowing -2 lq.
  constexpr double kSquareOnlyBeyond = -1e200;
  if (lq < kSquareOnlyBeyond) return std::sqrt(2.0) * std::sqrt(-lq);
  const double y = -2.0 * lq;
  double w = std::sqrt(y);
  for (int i = 0; i < 3; ++i) w = std::sqrt(y - 2.0 * (std::log(w) + kLogSqrtTwoPi));
  return HalleyStepOnFarTail(w, lq);
}

double StandardNormalQuantileOfLog(double lp) {
  constexpr double kLogLowerCentre = -1.6739764335716716;   // ln(3/16)
  constexpr double kLogUpperCentre = -0.20763936477824452;  // ln(13/16)
  if (!(lp <= 0.0)) return std::numeric_limits<double>::quiet_NaN();
  if (lp < kLogLowerCentre) {
    if (std::isinf(lp)) return -std::numeric_limits<double>::infinity();
    if (-2.0 * lp >= kGaussianTailFitEnd) return -FarGaussianTailDeviate(lp);
    return Evaluate(GaussianTailDeviateFit(lp, -1.0));
  }
  if (lp > kLogUpperCentre) {
    if (lp == 0.0) return std::numeric_limits<double>::infinity();
    return Evaluate(GaussianSmallTailDeviateFit(-std::expm1(lp), 1.0));
  }
  // p - 1/2 = (e^(lp + ln 2) - 1)/2, with ln 2 in two parts.
  const double deviation = 0.5 * std::expm1((lp + kLogTwo) + kLogTwoDoubleDouble.lo);
  return Evaluate(GaussianCentreDeviateFit(deviation));
}

double NormalDeviateOfLogTail(double logTail) {
  const double t = std::sqrt(-2.0 * logTail);
  return t - (2.515517 + t * (0.802853 + t * 0.010328)) /
                 (1.0 + t * (1.432788 + t * (0.189269 + t * 0.001308)));
}

}  // namespace specfun::detail
