// The inverse of P(a, x) or Q(a, x) in x: Halley's method on the logarithm
// of the tail in the variable u = ln x, kept in a bracket.
//
// With r = x f(x)/T(x) (f the gamma density, T the tail), h(u) = ln T - t
// has h' = ±r and h'' = r (a - x - r) for the lower tail, -r (a - x + r)
// for the upper; the steps x ← x e^(-δ) keep x's digits however small or
// large it is. The start (after A. R. DiDonato and A. H. Morris, ACM TOMS 12
// (1986) 377-393, and N. M. Temme, J. Comput. Appl. Math. 41 (1992)
// 145-157): for a >= kTemmeStartFrom, λ = x/a from Temme's expansion to
// its first correction, η = η₀ + ε₁(η₀)/a with η₀ = w/√a, w the normal
// deviate of the tail (within 1e-2 of x from a = 1.5 on, 3e-4 from 10); below
// it the small-x power form P ≈ x^a/Γ(a + 1), the large-x form Q ≈
// x^(a-1) e^(-x)/Γ(a), or the Wilson–Hilferty cube, whichever the tail
// calls for.
#include "specfun/kernels/incomplete_gamma_inverse.hpp"

#include <cmath>
#include <limits>

#include "specfun/kernels/incomplete_gamma.hpp"
#include "specfun/kernels/math_constants.hpp"
#include "specfun/kernels/normal_tail.hpp"

namespace specfun::detail {
namespace {

// From this shape the start comes from Temme's expansion (below it the
// power and large-x forms take fewer steps).
constexpr double kTemmeStartFrom = 1.5;
// The normal deviate of the start is refined from this shape on (where
// Temme's corrected start can come near a Halley step's last reach,
// 1e-6/∛a) up to this |w| (ln Q about -800 there; beyond, 4.5e-4 is a
// small share of w).
constexpr double kRefinedDeviateFrom = 8.0;
constexpr double kRefinedDeviateReach = 40.0;
// |η₀| up to which the series of ε₂ and ε₃ serve.
constexpr double kFurtherCorrectionsReach = 1.0;
// Bound on the steps (Halley's from a start within a few per cent takes
// three or four; bisections of a wide bracket at most a few dozen more).
constexpr int kStepLimit = 200;
// A Newton step below this share of x ends the iteration (the next would
// be below the rounding of x).
constexpr double kLastStep = 0x1p-50;
// Halley's step leaves an error of the order of the cube of its size times
// a factor that grows about as the cube root of a: from a step this small
// divided by that root on, the next would be below the rounding of x.
constexpr double kLastHalleyStep = 1e-6;
constexpr double kInfinity = std::numeric_limits<double>::infinity();
using detail::kLogHalf;
// ln of half the smallest subnormal double: an x below it rounds to 0.
constexpr double kLogSmallest = -745.13321910194122;

// λ > 0 with λ - 1 - ln λ = η²/2, sign(λ - 1) = sign(η); Newton's steps
// from `start` where it is positive.
double LambdaOfEta(double eta, double start = 0.0) {
  if (std::fabs(eta) < 1e-3) return 1.0 + eta * (1.0 + eta * (1.0 / 3.0 + eta / 36.0));
  const double target = 0.5 * eta * eta;
  // Starts: λ = 1 + η + η²/3 near 1; e^(-1 - η²/2) for large negative η;
  // the root of λ - ln λ for large positive η.
  double lambda = start > 0.0  ? start
                  : eta < -1.5 ? std::exp(-1.0 - target)
                  : eta > 1.5  ? target + 1.0 + std::log(target + 1.0)
                               : 1.0 + eta + eta * eta / 3.0;
  for (int i = 0; i < 30; ++i) {
    const double g = lambda - 1.0 - std::log(lambda) - target;
    const double step = g / (1.0 - 1.0 / lambda);
    double next = lambda - step;
    if (!(next > 0.0)) next = 0.5 * lambda;
    if (std::fabs(next - lambda) <= 1e-12 * lambda) return next;
    lambda = next;
  }
  return lambda;
}

// Temme's first correction ε₁(η₀) = ln(η₀/(λ₀ - 1))/η₀ to the deviate η₀,
// η = η₀ + ε₁/a + O(1/a²) (Temme 1992 and DiDonato and Morris, §5, cited
// above); near η₀ = 0 its series -1/3 + η₀/36.
double FirstEtaCorrection(double eta, double lambda) {
  if (std::fabs(eta) < 1e-3) return -1.0 / 3.0 + eta / 36.0;
  return std::log(eta / (lambda - 1.0)) / eta;
}

// Temme's further corrections near η₀ = 0, ε₂/a² + ε₃/a³ of η = η₀ + ε₁/a +
// ε₂/a² + ε₃/a³ + O(1/a⁴), from their series (Temme 1992 and DiDonato and
// Morris, §5).
double FurtherEtaCorrections(double eta, double a) {
  const double second =
      -7.0 / 405.0 + eta * (-7.0 / 2592.0 + eta * (533.0 / 204120.0 - eta * 1579.0 / 2099520.0));
  const double third =
      449.0 / 102060.0 + eta * (-63149.0 / 20995200.0 + eta * 29233.0 / 36741600.0);
  return (second + third / a) / (a * a);
}

// ln Q(w) of the standard normal tail, every finite w.
double LogGaussianTail(double w) {
  if (w >= 0.5) return LogGaussianUpperTail(w);
  if (w > -0.5) return std::log(0.5 - GaussianCentre(w));
  return std::log1p(-GaussianUpperTail(-w));
}

// The w with ln Q(w) = logTail <= 0: A&S 26.2.23 (within 4.5e-4), and with
// `refined`, up to |w| = kRefinedDeviateReach, a Newton step on ln Q (d ln
// Q/dw = -φ/Q), which leaves about 1e-7 |w|.
double DeviateOfLogTail(double logTail, bool refined) {
  double w = logTail <= kLogHalf ? NormalDeviateOfLogTail(logTail)
                                 : -NormalDeviateOfLogTail(std::log(-std::expm1(logTail)));
  if (refined && std::fabs(w) <= kRefinedDeviateReach) {
    const double logQ = LogGaussianTail(w);
    w += (logQ - logTail) / std::exp(LogGaussianDensity(w) - logQ);
  }
  return w;
}

// The start x; logGammaOnePlus = ln Γ(1 + a), taken only below kTemmeStartFrom.
double Start(double a, double logTail, bool upper, double logGammaOnePlus) {
  // The deviate of the tail, negative where the tail is above ½.
  const double w = DeviateOfLogTail(logTail, a >= kRefinedDeviateFrom);
  if (a >= kTemmeStartFrom) {
    const double eta = (upper ? w : -w) / std::sqrt(a);
    const double lambda = LambdaOfEta(eta);
    double correction = FirstEtaCorrection(eta, lambda) / a;
    if (std::fabs(eta) <= kFurtherCorrectionsReach) correction += FurtherEtaCorrections(eta, a);
    // dλ/dη = η λ/(λ - 1): the corrected λ's Newton steps start from λ's.
    const double slope =
        std::fabs(eta) < 1e-3 ? 1.0 + 2.0 * eta / 3.0 : eta * lambda / (lambda - 1.0);
    return a * LambdaOfEta(eta + correction, lambda + slope * correction);
  }
  const double cube = 1.0 - 1.0 / (9.0 * a) + (upper ? w : -w) / (3.0 * std::sqrt(a));
  const double wilsonHilferty = cube > 0.0 ? a * cube * cube * cube : 0.0;
  if (!upper) {
    const double power = std::exp((logTail + logGammaOnePlus) / a);
    return power < 0.5 * (a + 1.0) || wilsonHilferty <= 0.0 ? power : wilsonHilferty;
  }
  // ln Q ≈ (a - 1) ln x - x - ln Γ(a), ln Γ(a) = ln Γ(1 + a) - ln a.
  const double logGamma = logGammaOnePlus - std::log(a);
  double x = std::fmax(1.0, -logTail);
  for (int i = 0; i < 4 && x > 0.0; ++i) x = -logTail + (a - 1.0) * std::log(x) - logGamma;
  if (x > a + 1.0) return x;
  if (wilsonHilferty > 0.0) return wilsonHilferty;
  // A small shape's upper tail near 1: P = 1 - Q ≈ x^a/Γ(1 + a).
  return std::exp((std::log(-std::expm1(logTail)) + logGammaOnePlus) / a);
}

// The midpoint of a bracket in ln x.
double Bisection(double low, double high) {
  if (low == 0.0) return high * 0x1p-64;
  if (high == kInfinity) return low * 0x1p64;
  return low * std::sqrt(high / low);
}

}  // namespace

double InverseRegularizedGamma(double a, const DoubleDouble& logTail, bool upper) {
  // Beyond the doubles: P(a, x) ≈ x^a/Γ(1 + a) below the smallest, Q(a, x)
  // ≈ e^(-x) beyond the largest.
  // ln Γ(1 + a) >= -0.13: the lower tail's x can underflow only below this.
  const bool mayUnderflow = !upper && (logTail.hi - 0.13) / a < kLogSmallest;
  ShapeLogarithms shape;
  if (mayUnderflow || a < kTemmeStartFrom) shape.logGammaOnePlus = LogGammaOnePlusAsDoubleDouble(a);
  const double logGammaOnePlus = shape.logGammaOnePlus.hi;
  if (mayUnderflow && (logTail.hi + logGammaOnePlus) / a < kLogSmallest) return 0.0;
  if (upper && -logTail.hi > std::numeric_limits<double>::max()) return kInfinity;
  const double lastHalleyStep = kLastHalleyStep / std::cbrt(std::fmax(a, 1.0));
  double low = 0.0;
  double high = kInfinity;
  double x = Start(a, logTail.hi, upper, logGammaOnePlus);
  if (!(x > 0.0) || std::isinf(x)) x = upper ? a + 1.0 : a;
  for (int step = 0; step < kStepLimit; ++step) {
    const LogGammaTailsAndTerm t = LogRegularizedGammaTailsAndTerm(a, x, 0.0, shape);
    const DoubleDouble& logT = upper ? t.upper : t.lower;
    const double h = (logT.hi - logTail.hi) + (logT.lo - logTail.lo);
    if (h == 0.0) return x;
    // ln T above its target: x too large for P, too small for Q.
    if ((h > 0.0) != upper) {
      high = x;
    } else {
      low = x;
    }
    const double r = a * std::exp((t.logTerm.hi - logT.hi) + (t.logTerm.lo - logT.lo));
    const double slope = upper ? -r : r;
    const double curvature = upper ? -r * (a - x + r) : r * (a - x - r);
    const double newton = h / slope;
    const double correction = 1.0 - 0.5 * newton * curvature / slope;
    const bool halley = correction > 0.5 && correction < 2.0;
    const double delta = halley ? newton / correction : newton;
    if (std::fabs(delta) <= (halley ? lastHalleyStep : kLastStep)) return x * std::exp(-delta);
    double next = x * std::exp(-delta);
    if (!(next > low && next < high)) next = Bisection(low, high);
    if (next == x || (high < kInfinity && high - low <= 0x1p-53 * high)) return next;
    x = next;
  }
  return x;
}

}  // namespace specfun::detail
