// Temme's uniform asymptotic expansion of the incomplete beta function:
// its correction terms c0 and c1, written once for the tails and for their
// logarithms.
#include "specfun/kernels/beta_uniform_expansion.hpp"

#include <cmath>

#include "specfun/kernels/beta_prefactor.hpp"
#include "specfun/kernels/math_constants.hpp"
#include "specfun/kernels/stirling_remainder.hpp"
#include "specfun/kernels/gauss.hpp"

namespace specfun::detail {
namespace {

// From this smaller parameter on, Temme's expansion (its next term below
// 1e-14 of the value at ab/(a + b) = 5e4) replaces the continued fraction,
// whose length grows like the cube root of the parameters (about 500 terms
// here).
constexpr double kUniformExpansionStart = 1e5;
// Below these |z| the coefficients are taken from their Taylor series at
// η = 0, where the closed forms cancel.
constexpr double kSmallZForC0 = 1e-3;
constexpr double kSmallZForC1 = 0.1;
// From this exponent of the integrand on, both tails lie well within the
// normal doubles.
constexpr double kLogTailsWithinDoubles = -690.0;

// p, q, ρ = √(ab/(a + b)) (without forming a + b, which may overflow), σ² = pq
// and c0'(0) σ² of Temme's expansion.
struct UniformShape {
  double p;
  double q;
  double rho;
  double sigma2;
  double c0Slope;
};

UniformShape ShapeOf(double a, double b) {
  const double p = 1.0 / (1.0 + b / a);
  const double q = 1.0 / (1.0 + a / b);
  const double sigma2 = p * q;
  return {p, q, std::sqrt(a * q), sigma2, (sigma2 - 1.0) / 12.0};
}

}  // namespace

bool TakesUniformExpansion(double a, double b) {
  return std::fmin(a, b) >= kUniformExpansionStart;
}

double UniformLeadingTerm(double a, double b, double d, double z) {
  const UniformShape s = ShapeOf(a, b);
  // c0/√r; w = D/ρ is the standardised deviation.
  if (std::fabs(z) < kSmallZForC0) {
    return (s.q - s.p) / (3.0 * s.rho) + kRootTwo * s.c0Slope * z / (s.rho * s.rho);
  }
  return 1.0 / (kRootTwo * z) - s.rho / d;
}

double UniformSecondTerm(double a, double b, double d, double z) {
  const UniformShape s = ShapeOf(a, b);
  // c1/r^(3/2).
  if (std::fabs(z) < kSmallZForC1) {
    return 2.0 * (s.q - s.p) * (2.0 + s.sigma2) / (135.0 * s.rho * s.rho * s.rho);
  }
  const double w = d / s.rho;
  const double slope =
      -0.5 / (z * z) + kRootTwo * z * ((1.0 + d / a) * (1.0 - d / b)) / (w * w * w);
  return (slope - s.c0Slope / (s.rho * s.rho)) / (kRootTwo * z);
}

double UniformCorrection(double a, double b, double d, double z) {
  return UniformLeadingTerm(a, b, d, z) + UniformSecondTerm(a, b, d, z);
}

BetaTails UniformExpansionTails(double a, double b, double d, double e, const StirlingTerms& mu) {
  const double z = std::copysign(std::sqrt(-e), d);
  // Both the erfc term and the correction are below the doubles here.
  if (e < kLogSmallestSubnormal) return z < 0.0 ? BetaTails{0.0, 1.0} : BetaTails{1.0, 0.0};
  // mu(a + b) is 0 where a + b overflows.
  const double scale = std::exp(e + mu.sum - mu.a - mu.b) / kRootTwoPi;
  const double correction = scale * UniformCorrection(a, b, d, z);
  const double lower = 0.5 * std::erfc(-z) + correction;
  const double upper = 0.5 * std::erfc(z) - correction;
  if (z < 0.0) return {lower, 1.0 - lower};
  return {1.0 - upper, upper};
}

// Where the tails lie within the doubles they are its
// values; beyond, the tail on the side of the deviation is
//   e^(-z²)/√(2π) (R(√2 |z|) ± e^(mu(r) - mu(a) - mu(b)) (c0/√r + c1/r^(3/2))),
// R being Mills' ratio, since erfc(|z|)/2 = Q(√2 |z|).
LogBetaTails LogUniformExpansionTails(double x, double y, double logX, double logY, double a,
                                      double b) {
  const double d = Deviation(x, y, a, b);
  const double e = IntegrandExponentGivenLogs(x, y, logX, logY, a, b, d);
  const double logPrefactor = e + LogPeak(a, b);
  if (e >= kLogTailsWithinDoubles) {
    const BetaTails tails = UniformExpansionTails(a, b, d, IntegrandExponent(x, y, a, b, d),
                                                  StirlingRemainders(a, b));
    return {std::log(tails.lower), std::log(tails.upper), logPrefactor};
  }
  const double z = std::copysign(std::sqrt(-e), d);
  // |z| is above 26 here, beyond the small-z forms of c0 and c1.
  const double correction = UniformCorrection(a, b, d, z);
  const double sum = a + b;
  const double scale = std::exp(StirlingRemainderSeries(sum) - StirlingRemainderSeries(a) -
                                StirlingRemainderSeries(b));
  const double mills = std::exp(LogMillsRatio(kRootTwo * std::fabs(z)));
  const double near = z < 0.0 ? mills + scale * correction : mills - scale * correction;
  const double logNear = e - kHalfLogTwoPi + std::log(near);
  const double logFar = std::log1p(-std::exp(logNear));
  return z < 0.0 ? LogBetaTails{logNear, logFar, logPrefactor}
                 : LogBetaTails{logFar, logNear, logPrefactor};
}

}  // namespace specfun::detail
