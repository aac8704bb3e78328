// The normal quantile in two stages (internal), for the scalar call and
// its lanes: the choice of a fit, then the fit's polynomial.
#pragma once

#include "specfun/distributions.hpp"
#include "specfun/kernels/normal_tail.hpp"

namespace specfun::detail {

// For 0 < p < 1 the fit of the standard normal's quantile (true); for the
// other p (0, 1, outside [0, 1], NaN) its value z (false).
bool NormalQuantileFit(double p, DeviateFit& fit, double& z);

// mean + sd z, NaN for invalid parameters.
double Destandardised(const Normal& d, double z);

}  // namespace specfun::detail
