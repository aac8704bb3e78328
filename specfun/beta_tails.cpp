// Both tails of the regularized incomplete beta function, I(x, a, b) and
// 1 - I(x, a, b), each to a small error relative to its own size, for any
// a, b > 0 up to the largest double.
//
// Write p = a/(a + b), q = b/(a + b) for the mean and its complement and
// D = (a + b)(x - p) = x b - y a (y = 1 - x), formed from exact products.
// The exponent of the integrand relative to its peak,
//   E = a ln(x/p) + b ln(y/q) = a (ln(1 + D/a) - D/a) + b (ln(1 - D/b) + D/b),
// is free of cancellation, and with Stirling's remainder mu(z) = ln Γ(z) -
// (z - 1/2) ln z + z - ln √(2π),
//   x^a y^b / B(a, b) = e^E √(ab/(2π(a + b))) e^(mu(a + b) - mu(a) - mu(b)),
// which keeps its digits where ln B(a, b) from three ln Γ values would not.
//
// - min(a, b) below kUniformExpansionStart: where (a + b) times the smaller
//   of x and y is at most 20, the series of positive terms of A&S 26.5.23 at
//   that argument; elsewhere the continued fraction of DiDonato and Morris
//   for the tail on the side of the mean where x lies, evaluated by the
//   modified Lentz method to a relative tolerance, with D entering it
//   exactly. The other tail is the complement, or taken directly where that
//   would be small.
// - Otherwise Temme's uniform asymptotic expansion for large a and b
//   (N. M. Temme, Special Functions, 1996, 11.3.3): with -z² = E,
//   sign(z) = sign(D) and r = a + b,
//   I = erfc(-z)/2 + e^(mu(r) - mu(a) - mu(b)) e^(-z²)/√(2π) (c0/√r + c1/r^(3/2)),
//   c0 = 1/η - √(pq)/(x - p), c1 = (c0'(η) - c0'(0))/η, η = z √(2/r),
//   the next term being of relative order (ab/(a + b))^-2.
#include <cfloat>
#include <cmath>
#include <limits>

#include "specfun/incomplete_beta.hpp"
#include "specfun/log_gamma.hpp"
#include "specfun/specfun.hpp"

namespace specfun::detail {
namespace {

// √(2π) and √2.
constexpr double kRootTwoPi = 2.5066282746310005024;
constexpr double kRootTwo = 1.4142135623730950488;
// From this smaller parameter on, Temme's expansion (its next term below
// 1e-14 of the value at ab/(a + b) = 5e4) replaces the fraction, whose
// length grows like the cube root of the parameters (about 500 terms here).
constexpr double kUniformExpansionStart = 1e5;
// The fraction stops when a convergent changes by less than this share.
constexpr double kRelativeTolerance = 1e-16;
// Bound on the fraction's terms; below kUniformExpansionStart it needs a few
// thousand at most.
constexpr int kTermLimit = 200000;
// The series of positive terms is taken where (a + b) times the smaller
// argument is at most e^kLogSeriesReach = 20 (at most about 100 terms).
constexpr double kLogSeriesReach = 2.9957322735539909;
constexpr int kSeriesTerms = 400;
// A complement below this is taken directly rather than as 1 - the other.
constexpr double kComplementFloor = 1e-2;
// Bound on the terms of the series for an argument below the normal range.
constexpr int kTinyArgumentTerms = 200;
// ln of the smallest subnormal double, about -744.4.
constexpr double kLogSmallestSubnormal = -745.0;
// Lentz's guard against a zero denominator.
constexpr double kTinyDenominator = 1e-300;
// Above this the remainder of Stirling's series to z^-15 is below 1e-18.
constexpr double kStirlingSeriesStart = 10.0;
// Below these |z| the coefficients are taken from their Taylor series at
// η = 0, where the closed forms cancel.
constexpr double kSmallZForC0 = 1e-3;
constexpr double kSmallZForC1 = 0.1;

double NaN() { return std::numeric_limits<double>::quiet_NaN(); }

// mu(z) = ln Γ(z) - (z - 1/2) ln z + z - ln √(2π), Stirling's remainder;
// below kStirlingSeriesStart from mu(z) = mu(z + 1) + (z + 1/2) ln(1 + 1/z) - 1,
// which follows from Γ(z + 1) = z Γ(z) and keeps its digits down to the
// smallest z.
double StirlingRemainder(double z) {
  double shifted = 0.0;
  for (; z < kStirlingSeriesStart; z += 1.0) shifted += (z + 0.5) * std::log1p(1.0 / z) - 1.0;
  // Σ B(2k) / (2k (2k - 1) z^(2k - 1)), k = 1 ... 8.
  constexpr double kCoefficients[] = {1.0 / 12.0,    -1.0 / 360.0,     1.0 / 1260.0,
                                      -1.0 / 1680.0, 1.0 / 1188.0,     -691.0 / 360360.0,
                                      1.0 / 156.0,   -3617.0 / 122400.0};
  const double w = 1.0 / (z * z);
  double sum = 0.0;
  for (int k = 7; k >= 0; --k) sum = sum * w + kCoefficients[k];
  return shifted + sum / z;
}

// ln(a + b) without overflow.
double LogSum(double a, double b) {
  const double big = std::fmax(a, b);
  const double small = std::fmin(a, b);
  return std::log(big) + std::log1p(small / big);
}

// ln(1 + t) - t for |t| <= 1/2, from ln(1 + t) = 2 atanh(t/(2 + t)).
double LogOnePlusMinusSmall(double t) {
  const double s = t / (2.0 + t);
  const double s2 = s * s;
  double sum = 0.0;
  for (int k = 39; k >= 3; k -= 2) sum = sum * s2 + 1.0 / k;
  return 2.0 * s * s2 * sum - t * t / (2.0 + t);
}

// a (ln(x/p) - D/a) with p = a/(a + b), u = D/a = x/p - 1; x is the
// argument on a's side and b the other parameter.
double ScaledLogRatio(double a, double b, double x, double d) {
  const double u = d / a;
  if (std::fabs(u) <= 0.5) return a * LogOnePlusMinusSmall(u);
  if (u > 0.5 && std::isfinite(u)) return a * std::log1p(u) - d;
  // ln(x/p) = ln x + ln((a + b)/a), with x/p formed directly where it is a
  // normal double.
  const double ratio = b / a;
  double logRatio;
  if (std::isfinite(ratio)) {
    const double share = x + x * ratio;
    logRatio = (share >= DBL_MIN && std::isfinite(share)) ? std::log(share)
                                                          : std::log(x) + std::log1p(ratio);
  } else {
    logRatio = std::log(x) - std::log(a) + std::log(b) + std::log1p(a / b);
  }
  return a * logRatio - d;
}

// x b - y a with the products' rounding errors included. Of x and y the
// smaller is taken as exact and the other as its complement 1 - x or 1 - y
// (the larger cannot hold the smaller's digits); the difference between
// that complement and the one supplied is exact by Sterbenz's lemma.
double Deviation(double x, double y, double a, double b) {
  const double xb = x * b;
  const double ya = y * a;
  const double rounded = (xb - ya) + (std::fma(x, b, -xb) - std::fma(y, a, -ya));
  if (x <= y) return rounded - ((1.0 - y) - x) * a;
  return rounded + ((1.0 - x) - y) * b;
}

// ln(p^a q^b / B(a, b)) = ln √(ab/(2π(a + b))) + mu(a + b) - mu(a) - mu(b).
double LogPeak(double a, double b) {
  const double logRoot = 0.5 * (std::log(a) + std::log(b) - LogSum(a, b)) - kHalfLogTwoPi;
  return logRoot + (StirlingRemainder(a + b) - StirlingRemainder(a) - StirlingRemainder(b));
}

double Exponent(double x, double y, double a, double b, double d) {
  const double e = ScaledLogRatio(a, b, x, d) + ScaledLogRatio(b, a, y, -d);
  return std::fmin(e, 0.0);
}

// The continued fraction b0 + a1/(b1 + a2/(b2 + ...)) with
//   b0 = a (g + 1)/(a + 1),
//   a_m = (a + m - 1)(a + b + m - 1) m (b - m) x² / (a + 2m - 1)²,
//   b_m = m + m (b - m) x / (a + 2m - 1) + (a + m)(g + 1 + m (2 - x)) / (a + 2m + 1),
// g = a y - b x, for which I(x, a, b) = x^a y^b / (B(a, b) fraction)
// (DiDonato & Morris, ACM TOMS 18 (1992), the fraction of BFRAC), by the
// modified Lentz method. The deviation g enters exactly, so a rounded
// argument near 1 costs no digits; each product is grouped to stay in range.
double FractionDenominator(double x, double a, double b, double g) {
  double value = (a / (a + 1.0)) * (g + 1.0);
  if (std::fabs(value) < kTinyDenominator) value = kTinyDenominator;
  double c = value;
  double d = 0.0;
  for (int n = 1; n <= kTermLimit; ++n) {
    const double m = n;
    const double a2m1 = a + 2.0 * m - 1.0;
    const double numerator =
        ((a + m - 1.0) / a2m1) * ((a + b + m - 1.0) * x) * (m * ((b - m) * x) / a2m1);
    const double denominator = m + m * ((b - m) * x) / a2m1 +
                               ((a + m) / (a2m1 + 2.0)) * (g + 1.0 + m * (2.0 - x));
    d = denominator + numerator * d;
    if (std::fabs(d) < kTinyDenominator) d = kTinyDenominator;
    d = 1.0 / d;
    c = denominator + numerator / c;
    if (std::fabs(c) < kTinyDenominator) c = kTinyDenominator;
    const double step = c * d;
    value *= step;
    if (std::fabs(step - 1.0) < kRelativeTolerance) break;
  }
  return value;
}

// I(x, a, b) for x below the mean, x^a y^b / B(a, b) over the fraction,
// with ln(x^a y^b / B(a, b)) = logPrefactor and g = a y - b x.
double SmallerTail(double x, double a, double b, double g, double logPrefactor) {
  if (logPrefactor < kLogSmallestSubnormal) return 0.0;
  return std::exp(logPrefactor) / FractionDenominator(x, a, b, g);
}

// I(x, a, b) by the series of positive terms of A&S 26.5.23,
// x^a y^b / (a B(a, b)) sum (a + b)_k / (a + 1)_k x^k, for (a + b) x at most
// kSeriesReach, where its terms fall like a Poisson distribution's.
double SeriesTail(double x, double a, double b, double logPrefactor) {
  if (logPrefactor - std::log(a) < kLogSmallestSubnormal) return 0.0;
  double term = 1.0;
  double sum = 1.0;
  for (int k = 1; k <= kSeriesTerms && term > kRelativeTolerance * sum; ++k) {
    term *= (a + b + (k - 1)) * x / (a + k);
    sum += term;
  }
  return std::exp(logPrefactor - std::log(a)) * sum;
}

// The fraction is taken at x below the mean (D <= 0) and at y above it, so
// that it gives the smaller tail, or one not far above a half. Where
// (a + b) times the smaller argument is small (a gamma-like tail, in which
// the fraction converges slowly near the mean) the series at that argument
// gives its tail, and the other is its complement unless that would be
// below kComplementFloor.
BetaTails ByFraction(double x, double y, double a, double b) {
  const double d = Deviation(x, y, a, b);
  const double logPrefactor = Exponent(x, y, a, b, d) + LogPeak(a, b);
  const bool xSmaller = x <= y;
  const double smaller = xSmaller ? x : y;
  if (LogSum(a, b) + std::log(smaller) <= kLogSeriesReach) {
    const double near = xSmaller ? SeriesTail(x, a, b, logPrefactor)
                                 : SeriesTail(y, b, a, logPrefactor);
    double far = 1.0 - near;
    if (far < kComplementFloor) {
      far = xSmaller ? SmallerTail(y, b, a, d, logPrefactor) : SmallerTail(x, a, b, -d, logPrefactor);
    }
    return xSmaller ? BetaTails{near, far} : BetaTails{far, near};
  }
  if (d <= 0.0) {
    const double lower = SmallerTail(x, a, b, -d, logPrefactor);
    return {lower, 1.0 - lower};
  }
  const double upper = SmallerTail(y, b, a, d, logPrefactor);
  return {1.0 - upper, upper};
}

BetaTails ByUniformExpansion(double x, double y, double a, double b) {
  const double d = Deviation(x, y, a, b);
  const double e = Exponent(x, y, a, b, d);
  const double z = std::copysign(std::sqrt(-e), d);
  // Both the erfc term and the correction are below the doubles here.
  if (e < kLogSmallestSubnormal) return z < 0.0 ? BetaTails{0.0, 1.0} : BetaTails{1.0, 0.0};
  // p, q and ρ = √(ab/(a + b)) without forming a + b, which may overflow.
  const double p = 1.0 / (1.0 + b / a);
  const double q = 1.0 / (1.0 + a / b);
  const double rho = std::sqrt(a * q);
  const double sigma2 = p * q;
  const double delta = q - p;
  // c0/√r and c1/r^(3/2); w = D/ρ is the standardised deviation.
  const double c0Slope = (sigma2 - 1.0) / 12.0;  // c0'(0) σ²
  double c0;
  if (std::fabs(z) < kSmallZForC0) {
    c0 = delta / (3.0 * rho) + kRootTwo * c0Slope * z / (rho * rho);
  } else {
    c0 = 1.0 / (kRootTwo * z) - rho / d;
  }
  double c1;
  if (std::fabs(z) < kSmallZForC1) {
    c1 = 2.0 * delta * (2.0 + sigma2) / (135.0 * rho * rho * rho);
  } else {
    const double w = d / rho;
    const double slope =
        -0.5 / (z * z) + kRootTwo * z * ((1.0 + d / a) * (1.0 - d / b)) / (w * w * w);
    c1 = (slope - c0Slope / (rho * rho)) / (kRootTwo * z);
  }
  const double sum = a + b;  // +∞ only where mu(a + b) is 0 anyway
  const double scale = std::exp(e + StirlingRemainder(sum) - StirlingRemainder(a) -
                                StirlingRemainder(b)) /
                       kRootTwoPi;
  const double correction = scale * (c0 + c1);
  const double lower = 0.5 * std::erfc(-z) + correction;
  const double upper = 0.5 * std::erfc(z) - correction;
  if (z < 0.0) return {lower, 1.0 - lower};
  return {1.0 - upper, upper};
}

// ln p and ln q for p = a/(a + b), q = b/(a + b), without overflow.
double LogShare(double a, double b) {
  if (a >= b) return -std::log1p(b / a);
  return (std::log(a) - std::log(b)) - std::log1p(a / b);
}

}  // namespace

double LowerTailOfTinyArgument(double logX, double a, double b) {
  if (std::isnan(logX) || !(a > 0.0) || !(b > 0.0)) return NaN();
  // The limits of IncompleteBetaTails for subnormal or infinite parameters.
  if (a < DBL_MIN || b < DBL_MIN || std::isinf(a) || std::isinf(b)) {
    return IncompleteBetaTails(DBL_MIN, 1.0, a, b).lower;
  }
  // x^a y^b / B(a, b) = e^E p^a q^b / B(a, b) with
  // E = a (ln x - ln p) + b (ln(1 - x) - ln q) and b ln(1 - x) = -b x.
  const double bx = std::exp(std::log(b) + logX);
  const double exponent = a * (logX - LogShare(a, b)) - bx - b * LogShare(b, a);
  const double logTail = exponent + LogPeak(a, b) - std::log(a);
  // The series of A&S 26.5.23, sum (a + b)_k / (a + 1)_k x^k, with
  // (a + b) x at most about 8 and x itself below the doubles' normal range.
  const double x = std::exp(logX);
  const double w = std::exp(LogSum(a, b) + logX);
  double term = 1.0;
  double series = 1.0;
  for (int k = 1; k < kTinyArgumentTerms && term > kRelativeTolerance * series; ++k) {
    term *= (w + (k - 1) * x) / (a + k);
    series += term;
  }
  return std::exp(logTail) * series;
}

BetaTails IncompleteBetaTails(double x, double y, double a, double b) {
  if (std::isnan(x) || std::isnan(y) || std::isnan(a) || std::isnan(b)) return {NaN(), NaN()};
  if (a < 0.0 || b < 0.0) return {NaN(), NaN()};
  if (x <= 0.0) return {0.0, 1.0};
  if (y <= 0.0) return {1.0, 0.0};
  // Limits: a → 0 puts all mass at 0, b → 0 at 1, both together mass
  // b/(a + b) at 0 (no answer when both are 0); an infinite parameter moves
  // the mass to its end.
  const bool tinyA = a < DBL_MIN;
  const bool tinyB = b < DBL_MIN;
  if (tinyA && tinyB) return {b / (a + b), a / (a + b)};
  if (tinyA || std::isinf(b)) return std::isinf(a) ? BetaTails{NaN(), NaN()} : BetaTails{1.0, 0.0};
  if (tinyB || std::isinf(a)) return {0.0, 1.0};
  const BetaTails tails = std::fmin(a, b) >= kUniformExpansionStart
                              ? ByUniformExpansion(x, y, a, b)
                              : ByFraction(x, y, a, b);
  // The rounding of the prefactor's exponent (up to 5e-14 at the smallest
  // parameters) can carry a tail of nearly 1 past it.
  return {std::fmin(tails.lower, 1.0), std::fmin(tails.upper, 1.0)};
}

}  // namespace specfun::detail
