// The non-central chi-square distribution with ν degrees of freedom and
// non-centrality λ: the Poisson mixture of central tails
//   e^(−λ/2) · Σ_j ((λ/2)^j / j!) · T(x | ν + 2j)   (A&S 26.4.25),
// T being the lower tail P or the upper tail Q of ChiSquare.
//
// Up to λ/2 = 700 the sum runs upward from j = 0 with the weights (λ/2)^j/j!
// kept without the factor e^(−λ/2), and ends at the first term below 1e-7
// once j has passed λ/2, the mode of the weights (before it, terms below the
// threshold are added and the sum goes on). Beyond that those weights
// overflow, so the sum runs outward from the mode with the weights scaled by
// e^(−λ/2), until the weights left cannot add 1e-14. Beyond λ = 2e6, where
// that takes too many terms (some 15 000 at λ = 2e6), Pearson's
// three-moment approximation (Biometrika 46, 1959) is used.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "specfun/chi_square_tail.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTwoPi = 6.283185307179586;
// A term below this, once j >= λ/2, ends the upward sum.
constexpr double kTermThreshold = 1e-7;
// λ/2 up to which the weights (λ/2)^j/j! and the sum stay inside the doubles.
constexpr double kLargestUpwardHalfLambda = 700.0;
// λ/2 up to which the sum outward from the mode is taken.
constexpr double kLargestSummedHalfLambda = 1e6;
// What the weights left out of the outward sum may add at most.
constexpr double kNeglectedWeight = 1e-14;

double ClampToUnit(double value) { return std::clamp(value, 0.0, 1.0); }

double UpwardSum(double x, double nu, double halfLambda, std::int32_t tail) {
  double weight = 1.0;
  double sum = 0.0;
  for (std::int32_t j = 0;; ++j) {
    const double n = static_cast<double>(2 * j) + nu;
    const double term = ChiSquare(x, n, tail) * weight;
    // A NaN term (x and ν both infinite) would never fall below the
    // threshold: the sum has no value.
    if (std::isnan(term)) return term;
    if (term < kTermThreshold && j >= halfLambda) break;
    sum = sum + term;
    weight = (halfLambda * weight) / (j + 1);
  }
  return std::exp(-halfLambda) * sum;
}

// The Poisson weights e^(−h)·h^j/j! from the mode m = ⌊h⌋ outward: upward
// they shrink by ρ = h/(j + 1), downward by ρ = j/h, ever faster, so the
// weights from w on add at most w/(1 − ρ).
double OutwardSum(double x, double nu, double halfLambda, std::int32_t tail) {
  // ln(e^(−h)·h^m/m!) = m·ln(1 + f/m) − f − ½·ln(2πm) − R(m), f = h − m,
  // free of the cancellation between m·ln h and ln m!.
  const double mode = std::floor(halfLambda);
  const double excess = halfLambda - mode;
  const double modeWeight = std::exp(mode * std::log1p(excess / mode) - excess -
                                     0.5 * std::log(kTwoPi * mode) -
                                     detail::StirlingRemainder(mode));
  double sum = 0.0;
  double weight = modeWeight;
  for (double j = mode;; j = j + 1.0) {
    const double n = 2.0 * j + nu;
    sum = sum + weight * ChiSquare(x, n, tail);
    const double ratio = halfLambda / (j + 1.0);
    weight = weight * ratio;
    if (weight < kNeglectedWeight * (1.0 - ratio)) break;
  }
  weight = modeWeight;
  for (double j = mode; j > 0.0;) {
    const double ratio = j / halfLambda;
    weight = weight * ratio;
    j = j - 1.0;
    const double n = 2.0 * j + nu;
    sum = sum + weight * ChiSquare(x, n, tail);
    if (weight * ratio < kNeglectedWeight * (1.0 - ratio)) break;
  }
  return sum;
}

// Pearson's three-moment approximation: X is nearly c·Y + b with Y central
// chi-square on ν* degrees of freedom, c = (ν + 3λ)/(ν + 2λ),
// ν* = (ν + 2λ)³/(ν + 3λ)², b = −λ²/(ν + 3λ), which matches the first three
// cumulants. Its error falls like 1/λ: 1.5e-8 at λ = 2e6.
// The moments are taken relative to λ, so that λ up to the largest double
// does not overflow them.
double PearsonThreeMoment(double x, double nu, double lambda, std::int32_t tail) {
  const double share = nu / lambda;
  const double second = share + 2.0;  // (ν + 2λ)/λ
  const double third = share + 3.0;    // (ν + 3λ)/λ
  const double c = third / second;
  const double ratio = second / third;
  const double degrees = lambda * second * (ratio * ratio);
  const double y = x / c + lambda / third / c;
  return ChiSquare(y, degrees, tail);
}

}  // namespace

double NCChiSquare(const double& x, const double& nu, const double& lambda,
                   const std::int32_t& tail) {
  if (std::isnan(x) || std::isnan(nu) || std::isnan(lambda)) return kNaN;
  const double halfLambda = lambda * 0.5;
  if (halfLambda <= kLargestUpwardHalfLambda) {
    return ClampToUnit(UpwardSum(x, nu, halfLambda, tail));
  }
  if (std::isinf(x) || std::isinf(nu) || std::isinf(lambda)) {
    // The limits: the whole distribution lies below an infinite x and none
    // of it below a finite x when ν or λ is infinite (no answer when both
    // are). ν + λ may overflow only where x is infinite, and is not needed.
    const double degrees = std::isinf(x) ? std::fmax(nu, lambda) : nu + lambda;
    return ChiSquare(x, degrees, tail);
  }
  if (halfLambda <= kLargestSummedHalfLambda) {
    return ClampToUnit(OutwardSum(x, nu, halfLambda, tail));
  }
  return PearsonThreeMoment(x, nu, lambda, tail);
}

}  // namespace specfun
