// The non-central chi-square distribution in the variables a = df/2,
// m = ncp/2, z = x/2 (internal): with the Poisson weights
// w_j = e^-m m^j / j!,
//   P = Σ_j w_j P(a + j, z),   Q = Σ_j w_j Q(a + j, z)   (A&S 26.4.25),
// and the density of x, ½ Σ_j w_j z^(a+j-1) e^-z / Γ(a + j).
#pragma once

namespace specfun::detail {

// A probability (or density) and its logarithm. `value` is 0 below the
// range of the doubles, where `log` still holds it; `log + logLow` carries
// the logarithm beyond a double's precision where it is formed so (a
// quantile's steps compare it with their target).
struct Probability {
  double value;
  double log;
  double logLow = 0.0;
};

enum class TailSide { kLower, kUpper };

inline TailSide Other(TailSide side) {
  return side == TailSide::kLower ? TailSide::kUpper : TailSide::kLower;
}

// A tail and |d ln tail / d ln x| = x f(x)/tail, f the density of x (the
// slope to a few digits, for Newton's steps).
struct TailAndSlope {
  Probability tail;
  double slope;
};

// One tail and the density, from the mixture where it takes them, else from
// the contour (the normal limit where neither reaches, beyond 1e300). The
// tail's log comes in two parts (Probability::logLow) when asked for.
TailAndSlope NonCentralTail(double a, double m, double z, TailSide side, bool logInTwoParts = false);
Probability NonCentralDensity(double a, double m, double z);

// Whether the mixture's terms stay few (a few thousand) at a, m, z; where
// they do not, the contour integral's Gaussian is narrow enough.
bool MixtureTakes(double a, double m, double z);

// The tail by the Poisson mixture of central tails, for a, m, z > 0 where
// MixtureTakes.
TailAndSlope MixtureTail(double a, double m, double z, TailSide side, bool logInTwoParts);

// The density of x = 2z by the mixture of central densities.
Probability MixtureDensity(double a, double m, double z);

// The tail and the density where the mixture does not take them, by the trapezoidal rule on the
// inverse Laplace integral of the Marcum Q-function (Gil, Segura & Temme,
// "Computation of the Marcum Q-function", 2014):
//   Q = e^-(m+z) / 2πi ∫ e^(m/s + z s) s^-a ds/(1 - s)   on Re s = c < 1,
// P the same with the sign changed on Re s = c > 1. The tail's log is that
// of one minus the other tail where it is the larger.
TailAndSlope ContourTail(double a, double m, double z, TailSide side);
Probability ContourDensity(double a, double m, double z);

}  // namespace specfun::detail
