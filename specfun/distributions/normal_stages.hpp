// The normal distribution's functions in stages (internal), for the scalar
// calls and their lanes: the standardised argument, the choice of a fit
// (whose polynomial the lanes evaluate side by side), and the result.
#pragma once

#include <cmath>
#include <limits>

#include "specfun/distributions.hpp"
#include "specfun/kernels/normal_tail.hpp"

namespace specfun::detail {

inline bool Valid(const Normal& d) {
  return std::isfinite(d.mean) && std::isfinite(d.sd) && d.sd > 0.0;
}

// The standardised argument, NaN for invalid parameters or a NaN x.
// (x - mean)/1 is x - mean: the division is left out for sd = 1.
inline double Standardised(const Normal& d, double x) {
  if (!Valid(d)) return std::numeric_limits<double>::quiet_NaN();
  return d.sd == 1.0 ? x - d.mean : (x - d.mean) / d.sd;
}

// For 0 < p < 1 the fit of the standard normal's quantile (true); for the
// other p (0, 1, outside [0, 1], NaN) its value z (false). Below 3/16 or
// above 13/16 a probability is a tail's, between them the centre's
// (|p - 1/2| <= 5/16).
inline bool NormalQuantileFit(double p, DeviateFit& fit, double& z) {
  constexpr double kLowerCentre = 0.1875;
  constexpr double kUpperCentre = 0.8125;
  if (!(p >= 0.0 && p <= 1.0)) {
    z = std::numeric_limits<double>::quiet_NaN();
    return false;
  }
  if (p < kLowerCentre || p > kUpperCentre) {
    if (p == 0.0 || p == 1.0) {
      z = (p == 0.0 ? -1.0 : 1.0) * std::numeric_limits<double>::infinity();
      return false;
    }
    fit = p < kLowerCentre ? GaussianSmallTailDeviateFit(p, -1.0)
                           : GaussianSmallTailDeviateFit(1.0 - p, 1.0);
    return true;
  }
  fit = GaussianCentreDeviateFit(p - 0.5);
  return true;
}

// mean + sd z; for invalid parameters or a NaN z the one quiet NaN (whose
// sign the compiler's folding of a NaN's negation would leave open).
inline double Destandardised(const Normal& d, double z) {
  if (!Valid(d) || std::isnan(z)) return std::numeric_limits<double>::quiet_NaN();
  return d.mean + d.sd * z;
}

}  // namespace specfun::detail
