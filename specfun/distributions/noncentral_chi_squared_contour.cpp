// The non-central chi-square tails and density for large parameters, from
// the inverse Laplace integral of the Marcum Q-function (Gil, Segura &
// Temme, "Computation of the Marcum Q-function", ACM TOMS 40, 2014):
//   Q = e^-(m+z)/2πi ∫ e^φ(s) ds/(1 − s),   φ(s) = m/s + z s − a ln s,
// on the vertical line through the saddle point s0 of φ, the positive root of
// z s² − a s − m = 0, and the density of z the same without 1/(1 − s).
// On s = s0(1 + iτ), with α = m/s0 and α + a = z s0,
//   φ(s) − φ(s0) = −α τ²/(1 + τ²) − (a/2) ln(1 + τ²)
//                  + i (a (τ − atan τ) + α τ³/(1 + τ²)),
// so the integrand falls off like a Gaussian of width 1/sqrt(2α + a) in τ,
// and the trapezoidal rule with a step of half that width is exact to far
// below a double's precision (its error falls as e^(−2π²/h²·width²)), but for
// the pole of 1/(1 − s) at τ = −iδ, δ = 1/s0 − 1, whose share of the error
// is e^(−2π|δ|/h − E) of the tail. Far out a step below 2π|δ|/(45 − E) keeps
// that away; nearer the mean the integrand less a Gaussian with the same
// pole goes to the rule, and the Gaussian's integral is ½ erfc(sqrt(−E))
// (Temme's uniform form of the Marcum Q-function):
// Q = e^E/2π ∫ Re(e^(φ−φ(s0))/(δ − iτ)) dτ for s0 < 1, and 1 − P, −P the
// same integral, for s0 > 1, with E = φ(s0) − m − z <= 0.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "specfun/distributions/noncentral_chi_squared_parts.hpp"
#include "specfun/kernels/double_double.hpp"
#include "specfun/kernels/math_constants.hpp"

namespace specfun::detail {
namespace {

using detail::kPi;
// The trapezoidal rule's step in units of the Gaussian width.
constexpr double kStepPerWidth = 0.5;
// The rule stops where the integrand has fallen below e^-45 of its peak.
constexpr double kNegligibleExponent = -45.0;
constexpr int kMostNodes = 256;
// Beyond this many widths from the line the pole leaves the rule alone.
constexpr double kPoleClearance = 20.0;

// τ − atan τ without cancellation for small τ (its Taylor series).
double TauMinusArcTangent(double tau) {
  if (std::fabs(tau) >= 0.125) return tau - std::atan(tau);
  const double t2 = tau * tau;
  double series = 0.0;
  for (int k = 21; k >= 3; k -= 2) series = 1.0 / k - t2 * series;
  return tau * t2 * series;
}

// The saddle point and the quantities the integral needs there.
struct Saddle {
  double s0;     // the saddle point (+inf beyond the doubles' range)
  double logS0;  // ln s0
  double zS0;    // z s0
  double delta;  // 1/s0 − 1, the pole's distance from the line (in τ)
  double alpha;  // m/s0
  double width;  // 1/sqrt(2α + a)
  DoubleDouble E;  // φ(s0) − m − z <= 0, in two parts: e^E keeps its digits
};

// ln(1 + u) in two parts.
DoubleDouble LogOfOnePlus(double u) {
  const DoubleDouble sum = TwoSum(1.0, u);
  return Log(Exact(sum.hi)) + sum.lo / sum.hi;
}

// u − ln(1 + u) in two parts: for small |u| as t·u − 2(t³/3 + t⁵/5 + …),
// t = u/(2 + u) (2·atanh t = ln(1 + u)), whose series after its first term
// is below u/6 of the whole.
DoubleDouble DeltaMinusLogOnePlusAsDoubleDouble(double u) {
  if (std::fabs(u) >= 0.1) return DoubleDouble{u, 0.0} - LogOfOnePlus(u);
  const DoubleDouble t = DoubleDouble{u, 0.0} / TwoSum(2.0, u);
  const double t2 = t.hi * t.hi;
  double series = 1.0 / 13.0;
  for (int k = 11; k >= 3; k -= 2) series = 1.0 / k + t2 * series;
  return t * u + DoubleDouble{-2.0 * t.hi * t2 * series, 0.0};
}

Saddle SaddleOfModerate(double a, double m, double z) {
  // s0 = (a/2 + sqrt(a²/4 + mz))/z; near 1, u = s0 − 1 from the
  // rationalised root, u = Δ/(sqrt(a²/4 + mz) + z − a/2), Δ = m + a − z
  // in two parts, so that u keeps its relative precision near the mean.
  const double root = std::hypot(0.5 * a, std::sqrt(m) * std::sqrt(z));
  const double numerator = 0.5 * a + root;
  double s0 = numerator / z;
  const DoubleDouble delta = TwoSum(m, a) + -z;
  if (s0 >= 0.5 && s0 <= 2) {
    // E is stationary at the saddle, so the double nearest it serves: here
    // as −uΔ + m u²/(1 + u) + a (u − ln(1 + u)), terms of the size of E.
    const double u = (0.5 * delta.hi) / (0.5 * root + 0.5 * z - 0.25 * a);
    s0 = 1 + u;
    const double alpha = m / s0;
    const DoubleDouble mu2 = TwoProduct(u, u) * m / TwoSum(1.0, u);
    DoubleDouble E = mu2 - delta * u + DeltaMinusLogOnePlusAsDoubleDouble(u) * a;
    if (E.hi > 0) E = {0.0, 0.0};
    return {s0, std::log1p(u), z * s0, -u / s0, alpha, 1 / std::sqrt(2 * alpha + a), E};
  }
  // Elsewhere as m/s0 + z s0 − a ln s0 − m − z, whose terms cancel little
  // there; s0 = numerator/z is kept as its parts, as it may overflow.
  // Every term at the same point s0 (the double), which E's stationarity
  // needs: ln s0 of the double itself wherever it is one.
  const DoubleDouble logS0 = std::isfinite(s0) ? Log(Exact(s0))
                                               : Log(Exact(numerator)) - Log(Exact(z));
  const double alpha = m * (z / numerator);
  const DoubleDouble mOverS0 = std::isfinite(s0) ? DoubleDouble{m, 0.0} / DoubleDouble{s0, 0.0}
                                                 : DoubleDouble{alpha, 0.0};
  const DoubleDouble zS0 = std::isfinite(s0) ? TwoProduct(z, s0) : DoubleDouble{numerator, 0.0};
  DoubleDouble E = mOverS0 + zS0 - logS0 * a - TwoSum(m, z);
  // Beyond the doubles' range every tail is 0 or 1.
  if (!(E.hi > -DBL_MAX)) E = {-DBL_MAX, 0.0};
  if (E.hi > 0) E = {0.0, 0.0};
  return {s0, logS0.hi, zS0.hi, 1 / s0 - 1, alpha, 1 / std::sqrt(2 * alpha + a), E};
}

// The saddle for any a, m, z: beyond 1e307 from a quarter of each (s0 and δ
// stay, α, z s0 and E scale with them, the width with their square root).
Saddle SaddleOf(double a, double m, double z) {
  if (std::max({a, m, z}) <= 1e307) return SaddleOfModerate(a, m, z);
  Saddle saddle = SaddleOfModerate(0.25 * a, 0.25 * m, 0.25 * z);
  saddle.zS0 *= 4;
  saddle.alpha *= 4;
  saddle.width *= 0.5;
  saddle.E = saddle.E * 4.0;
  if (!(saddle.E.hi > -DBL_MAX)) saddle.E = {-DBL_MAX, 0.0};
  return saddle;
}

// ψ(τ) = φ(s0(1 + iτ)) − φ(s0): its real part and its phase.
struct Exponent {
  double real;
  double phase;
};

Exponent ExponentAt(double tau, double alpha, double a) {
  const double t2 = tau * tau;
  const double ratio = t2 / (1 + t2);
  return {-alpha * ratio - 0.5 * a * std::log1p(t2),
          a * TauMinusArcTangent(tau) + alpha * tau * ratio};
}

// e^(x²) erfc(x) for x >= 0: from erfc below 2, else Laplace's continued
// fraction (A&S 7.1.14), of a depth that keeps it within 1e-17.
double ScaledErfc(double x) {
  if (x < 2) return std::exp(x * x) * std::erfc(x);
  const int depth = x < 3 ? 80 : x < 6 ? 40 : x < 10 ? 20 : 10;
  double fraction = 0.0;
  for (int k = depth; k >= 1; --k) fraction = 0.5 * k / (x + fraction);
  return 1 / (std::sqrt(kPi) * (x + fraction));
}

// The trapezoidal rule over τ = nh, n from −∞ to ∞, times h, of the tail's
// integrand less its Gaussian with the same pole,
//   Re((e^ψ(τ) − e^(−Mτ²/2))/(δ − iτ)),   M = −2E/δ²
// (e^ψ(−iδ) = e^−E, so the difference has no pole there; the Gaussian's
// share is ½ erfc(sqrt(−E)) e^−E), and of the density's integrand Re e^ψ.
struct Sums {
  double tail;
  double density;
  bool poleSubtracted;
};

Sums TrapezoidalSums(const Saddle& saddle, double a) {
  const double d = saddle.delta;
  // The rule's error is that of a strip |Im τ| < b clear of the pole, where
  // the integrand grows like e^(N b²/2), N = 1/width²: e^(N b²/2 − 2πb/h),
  // e^(−2π²/(N h²)) = e^-79 at b = 2π/(N h) = 4π·width. A pole farther out
  // than 20 widths leaves the integrand to the rule as it is; a nearer one
  // is taken out with a Gaussian of the same pole, M = (−2E/δ)/δ (δ² alone
  // may underflow), there of the order of N.
  const double N = 1 / (saddle.width * saddle.width);
  const bool subtract = std::fabs(d) < kPoleClearance * saddle.width;
  double M = 0.0;
  if (subtract) {
    M = -saddle.E.hi * 2 / d / d;
    if (!(M > 0 && M < DBL_MAX)) M = N;
  }
  const double h = kStepPerWidth * (subtract ? std::min(saddle.width, 1 / std::sqrt(M)) : saddle.width);
  double tail = subtract ? 0.0 : 1 / d;
  double density = 1.0;
  for (int n = 1; n <= kMostNodes; ++n) {
    const double tau = n * h;
    const Exponent psi = ExponentAt(tau, saddle.alpha, a);
    const double gaussian = -0.5 * M * tau * tau;
    if (psi.real < kNegligibleExponent && (!subtract || gaussian < kNegligibleExponent)) break;
    const double size = std::exp(psi.real);
    const double c = size * std::cos(psi.phase), s = size * std::sin(psi.phase);
    // Re((c − g + i s)(δ + iτ))/(δ² + τ²)
    const double g = subtract ? std::exp(gaussian) : 0.0;
    tail += 2 * ((c - g) * d - s * tau) / (d * d + tau * tau);
    density += 2 * c;
  }
  return {h * tail, h * density, subtract};
}

}  // namespace

TailAndSlope ContourTail(double a, double m, double z, TailSide side) {
  const Saddle saddle = SaddleOf(a, m, z);
  const Sums sums = TrapezoidalSums(saddle, a);
  // The tail on the saddle's side (Q for s0 < 1, δ > 0; P for s0 > 1):
  // e^E (½ erfcx(sqrt(−E)) ± Σ/2π).
  const double sign = saddle.delta >= 0 ? 1.0 : -1.0;
  const double E = saddle.E.hi + saddle.E.lo;
  const double gaussianShare = sums.poleSubtracted ? 0.5 * ScaledErfc(std::sqrt(-E)) : 0.0;
  const double scaled = gaussianShare + sign * sums.tail / (2 * kPi);
  const DoubleDouble logSmall = TwoSum(saddle.E.hi, saddle.E.lo + std::log(scaled));
  const double small = Exp(saddle.E) * scaled;
  // ln(z f(z)), f(z) = e^E s0/2π Σ the density of z.
  const double logDensity = E + std::log(saddle.zS0 * sums.density / (2 * kPi));
  const bool smallIsUpper = saddle.delta >= 0;
  if (smallIsUpper == (side == TailSide::kUpper)) {
    // z f(z)/tail with e^E taken out of both: their logs, near E, would
    // keep nothing of the ratio where |E| is large.
    return {{small, logSmall.hi, logSmall.lo}, saddle.zS0 * sums.density / (2 * kPi) / scaled};
  }
  const Probability tail{1 - small, std::log1p(-small)};
  return {tail, std::exp(logDensity - tail.log)};
}

Probability ContourDensity(double a, double m, double z) {
  const Saddle saddle = SaddleOf(a, m, z);
  const Sums sums = TrapezoidalSums(saddle, a);
  // f_X(x) = ½ f_Z(z), f_Z = e^E s0/2π Σ.
  const double factor = sums.density / (4 * kPi);
  const double log = saddle.E.hi + (saddle.E.lo + (saddle.logS0 + std::log(factor)));
  const double value = Exp(saddle.E) * (saddle.s0 * factor);
  return {std::isfinite(value) ? value : std::exp(log), log};
}

// The mixture's terms spread over about sqrt(α) indices around α = m/s0,
// the contour's Gaussian has the width 1/sqrt(2α + a): the mixture up to
// α = 500 (a few hundred terms; the contour holds 1e-14 from α = 200 on and
// costs a fortieth of the mixture at α = 1e4), the contour beyond, and
// wherever df, ncp or x is so large that the indices are no longer exact
// or the central tails' logarithms no longer hold their ratios.
bool MixtureTakes(double a, double m, double z) {
  if (a > 1e15 || m > 1e15 || z > 1e15) return false;
  // α = m/s0 = m z/(a/2 + sqrt(a²/4 + m z)).
  const double root = std::sqrt(0.25 * a * a + m * z);
  return m * (z / (0.5 * a + root)) <= 5.0e2;
}

}  // namespace specfun::detail
