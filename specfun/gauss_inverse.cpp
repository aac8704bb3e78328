// The inverse of the Gaussian upper tail: the x with Q(x) = p.
//
// A rational start in t = sqrt(-2 ln p'), p' = min(p, 1 - p) (Abramowitz &
// Stegun 26.2.23, absolute error below 4.5e-4), then exactly three Newton
// steps on QGauss.
#include <cmath>

#include "specfun/diagnostic_sink.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

constexpr double kC0 = 2.515517;
constexpr double kC1 = 0.802853;
constexpr double kC2 = 0.010328;
constexpr double kD1 = 1.432788;
constexpr double kD2 = 0.189269;
constexpr double kD3 = 0.001308;
constexpr double kInvSqrtTwoPi = 0.3989422804014327;
// Stands for an infinite deviate: the single-precision value nearest 1e20.
constexpr double kInfiniteDeviate = 1.0000000200408773e+20;
constexpr int kNewtonSteps = 3;

double RationalStart(double p) {
  const double pp = p <= 0.5 ? p : 1.0 - p;
  const double t = std::sqrt(-2.0 * std::log(pp));
  const double numerator = kC0 + kC1 * t + kC2 * t * t;
  const double denominator = 1.0 + kD1 * t + kD2 * t * t + kD3 * t * t * t;
  const double x = t - numerator / denominator;
  return p > 0.5 ? -x : x;
}

}  // namespace

double QGaussInv(const double& p) {
  if (p < 0.0) {
    detail::EmitDiagnostic({Text("QGaussInv negative input; 0 used; inpu:"), Real(p)});
    return kInfiniteDeviate;
  }
  if (p == 0.0) return kInfiniteDeviate;
  if (p > 1.0) {
    detail::EmitDiagnostic({Text("QGaussInv input >1; 1 used; input:"), Real(p)});
    return -kInfiniteDeviate;
  }
  if (!(p < 1.0)) return -kInfiniteDeviate;
  double x = RationalStart(p);
  for (int step = 0; step < kNewtonSteps; ++step) {
    const double density = std::exp(-x * x / 2.0) * kInvSqrtTwoPi;
    x = x + (QGauss(x) - p) / density;
  }
  return x;
}

}  // namespace specfun
