// QGauss for callers inside the library (internal): its choice of fraction,
// its value with the density, and many arguments at once.
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

}  // namespace specfun::detail
