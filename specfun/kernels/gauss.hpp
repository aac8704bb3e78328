// QGauss for callers inside the library (internal): its choice of fraction,
// its value with the density, many arguments at once, and Mills' ratio.
#pragma once

namespace specfun::detail {

// Whether QGauss(x) takes the centre fraction (else the tail fraction or a
// limit).
bool QGaussInCentre(double x);

// QGauss(x), and in `density` φ(x) = e^(−x²/2)/√(2π) as QGauss forms it
// (for every x), for Newton's steps on QGauss.
double QGaussAndDensity(double x, double& density);

// QGauss of kLaneCount arguments side by side.
void QGaussLanes(const double* x, double* result);

// Q(x)/φ(x) for x > 2.25 by Laplace's continued fraction
// 1/(x + 1/(x + 2/(x + ...))) (A&S 26.2.14) taken 100 levels deep, of one x
// (V = double) or of several side by side (V = Lanes).
inline constexpr int kDeepLaplaceLevels = 100;
template <class V>
V DeepLaplaceRatio(const V& x) {
  V t{};
  for (int k = kDeepLaplaceLevels; k >= 1; --k) t = k / (x + t);
  return 1.0 / (x + t);
}

// ln(Q(y)/φ(y)), the logarithm of Mills' ratio, for every y, to about 1e-15
// absolute (1e-11 for 0 < y <= 2.25, from QGauss): it stays finite where Q
// and φ underflow.
double LogMillsRatio(double y);

}  // namespace specfun::detail
