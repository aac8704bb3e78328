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
// the pole of 1/(1 − s) at τ = −iδ, δ = 1/s0 − 1. So the integrand less a
// Gaussian with the same pole goes to the rule, and the Gaussian's integral
// is ½ erfc(sqrt(−E)) (Temme's uniform form of the Marcum Q-function):
// Q = e^E/2π ∫ Re(e^(φ−φ(s0))/(δ − iτ)) dτ for s0 < 1, and 1 − P, −P the
// same integral, for s0 > 1, with E = φ(s0) − m − z <= 0.
#include <cfloat>
#include <cmath>

#include "specfun/chi_square_tail.hpp"
#include "specfun/distributions/noncentral_chi_squared_parts.hpp"

namespace specfun::detail {
namespace {

constexpr double kPi = 3.14159265358979323846;
// The trapezoidal rule's step in units of the Gaussian width.
constexpr double kStepPerWidth = 0.5;
// The rule stops where the integrand has fallen below e^-45 of its peak.
constexpr double kNegligibleExponent = -45.0;
constexpr int kMostNodes = 200;

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
  double s0;     // the saddle point
  double delta;  // 1/s0 − 1, the pole's distance from the line (in τ)
  double alpha;  // m/s0
  double width;  // 1/sqrt(2α + a)
  double E;      // φ(s0) − m − z
};

Saddle SaddleOf(double a, double m, double z) {
  // s0 = (a/2 + sqrt(a²/4 + mz))/z; near 1, u = s0 − 1 from the
  // rationalised root, u = Δ/(sqrt(a²/4 + mz) + z − a/2), Δ = m + a − z
  // taken in two parts, so that u keeps its relative precision near the mean.
  const double root = std::hypot(0.5 * a, std::sqrt(m) * std::sqrt(z));
  double s0 = (0.5 * a + root) / z;
  double u = s0 - 1;
  const double sum = m + a;
  const double sumError = std::min(m, a) - (sum - std::max(m, a));
  const double delta = (sum - z) + sumError;
  if (s0 >= 0.5 && s0 <= 2) {
    u = (0.5 * delta) / (0.5 * root + 0.5 * z - 0.25 * a);
    s0 = 1 + u;
  }
  const double alpha = m / s0;
  // E = −uΔ + m u²/(1 + u) + a (u − ln(1 + u)), the last term from the
  // cancellation-free δ − ln(1 + δ).
  const double E = -u * delta + alpha * u * u + a * DeltaMinusLogOnePlus(u);
  return {s0, 1 / s0 - 1, alpha, 1 / std::sqrt(2 * alpha + a), std::min(E, 0.0)};
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

// e^(x²) erfc(x) for x >= 0: from erfc below 25 (where e^(x²) is a normal
// double), else its asymptotic series (A&S 7.1.23), whose ninth term is
// below 1e-18 of the first there.
double ScaledErfc(double x) {
  if (x < 25) return std::exp(x * x) * std::erfc(x);
  const double v = 1 / (2 * x * x);
  double series = 1.0, term = 1.0;
  for (int k = 1; k <= 9; ++k) {
    term *= -(2 * k - 1) * v;
    series += term;
  }
  return series / (x * std::sqrt(kPi));
}

// The trapezoidal rule over τ = nh, n from −∞ to ∞, times h, of the tail's
// integrand less its Gaussian with the same pole,
//   Re((e^ψ(τ) − e^(−Mτ²/2))/(δ − iτ)),   M = −2E/δ²
// (e^ψ(−iδ) = e^−E, so the difference has no pole there; the Gaussian's
// share is ½ erfc(sqrt(−E)) e^−E), and of the density's integrand Re e^ψ.
struct Sums {
  double tail;
  double density;
};

Sums TrapezoidalSums(const Saddle& saddle, double a) {
  const double d = saddle.delta;
  const double M = d != 0 && saddle.E < 0 ? -2 * saddle.E / (d * d) : 1 / (saddle.width * saddle.width);
  const double h = kStepPerWidth * std::min(saddle.width, 1 / std::sqrt(M));
  double tail = 0.0, density = 1.0;
  for (int n = 1; n <= kMostNodes; ++n) {
    const double tau = n * h;
    const Exponent psi = ExponentAt(tau, saddle.alpha, a);
    const double gaussian = -0.5 * M * tau * tau;
    if (psi.real < kNegligibleExponent && gaussian < kNegligibleExponent) break;
    const double size = std::exp(psi.real);
    const double c = size * std::cos(psi.phase), s = size * std::sin(psi.phase);
    // Re((c − g + i s)(δ + iτ))/(δ² + τ²)
    tail += 2 * ((c - std::exp(gaussian)) * d - s * tau) / (d * d + tau * tau);
    density += 2 * c;
  }
  return {h * tail, h * density};
}

}  // namespace

TailAndSlope ContourTail(double a, double m, double z, TailSide side) {
  const Saddle saddle = SaddleOf(a, m, z);
  const Sums sums = TrapezoidalSums(saddle, a);
  // The tail on the saddle's side (Q for s0 < 1, δ > 0; P for s0 > 1):
  // e^E (½ erfcx(sqrt(−E)) ± Σ/2π).
  const double sign = saddle.delta >= 0 ? 1.0 : -1.0;
  const double scaled = 0.5 * ScaledErfc(std::sqrt(-saddle.E)) + sign * sums.tail / (2 * kPi);
  const double logSmall = saddle.E + std::log(scaled);
  const double small = std::exp(saddle.E) * scaled;
  // ln(z f(z)), f(z) = e^E s0/2π Σ the density of z.
  const double logDensity = saddle.E + std::log(z * saddle.s0 * sums.density / (2 * kPi));
  const bool smallIsUpper = saddle.delta >= 0;
  const Probability tail = smallIsUpper == (side == TailSide::kUpper)
                               ? Probability{small, logSmall}
                               : Probability{1 - small, std::log1p(-small)};
  return {tail, std::exp(logDensity - tail.log)};
}

Probability ContourDensity(double a, double m, double z) {
  const Saddle saddle = SaddleOf(a, m, z);
  const Sums sums = TrapezoidalSums(saddle, a);
  // f_X(x) = ½ f_Z(z), f_Z = e^E s0/2π Σ.
  const double log = saddle.E + std::log(saddle.s0 * sums.density / (4 * kPi));
  return {std::exp(log), log};
}

bool MixtureTakes(double a, double m, double z) {
  return SaddleOf(a, m, z).alpha <= 2.0e4;
}

}  // namespace specfun::detail
