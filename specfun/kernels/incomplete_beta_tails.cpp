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
//   would be small: by the fraction, or, where a parameter below 1e-2 puts
//   nearly all the mass beside the series' argument, as -expm1 of the
//   logarithm of the series' tail, formed from parts that are all small.
// - Otherwise Temme's uniform asymptotic expansion for large a and b
//   (N. M. Temme, Special Functions, 1996, 11.3.3): with -z² = E,
//   sign(z) = sign(D) and r = a + b,
//   I = erfc(-z)/2 + e^(mu(r) - mu(a) - mu(b)) e^(-z²)/√(2π) (c0/√r + c1/r^(3/2)),
//   c0 = 1/η - √(pq)/(x - p), c1 = (c0'(η) - c0'(0))/η, η = z √(2/r),
//   the next term being of relative order (ab/(a + b))^-2.
#include "specfun/kernels/incomplete_beta_tails.hpp"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <limits>

#include "specfun/kernels/batch.hpp"
#include "specfun/kernels/beta_tail_parts.hpp"
#include "specfun/kernels/lanes.hpp"
#include "specfun/kernels/stirling_remainder.hpp"
#include "specfun/routines/gauss_inverse.hpp"
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
// Where the series' tail is nearly 1, its complement comes from the
// logarithm of the series' tail formed from small parts if its parameter c
// is at most kSmallParameter and the other parameter times the argument at
// most kNearOneReach; that complement is then of the order of c or more,
// and the parts' rounding stays below its own.
constexpr double kSmallParameter = 1e-2;
constexpr double kNearOneReach = 0.1;
// Bound on the terms of the series for an argument below the normal range.
constexpr int kTinyArgumentTerms = 200;
// ln of the smallest subnormal double, about -744.4.
constexpr double kLogSmallestSubnormal = -745.0;
// From this exponent of the integrand on, both tails of Temme's expansion
// lie well within the normal doubles.
constexpr double kLogTailsWithinDoubles = -690.0;
// Lentz's guard against a zero denominator.
constexpr double kTinyDenominator = 1e-300;
// Above this the remainder of Stirling's series to z^-15 is below 1e-18.
constexpr double kStirlingSeriesStart = 10.0;
// Below these |z| the coefficients are taken from their Taylor series at
// η = 0, where the closed forms cancel.
constexpr double kSmallZForC0 = 1e-3;
constexpr double kSmallZForC1 = 0.1;

// B(2k) / (2k (2k - 1)), k = 1 ... 8, the coefficients of z^(1 - 2k) in
// Stirling's series for ln Γ(z) (A&S 6.1.40).
constexpr double kStirlingCoefficients[] = {1.0 / 12.0,    -1.0 / 360.0,     1.0 / 1260.0,
                                            -1.0 / 1680.0, 1.0 / 1188.0,     -691.0 / 360360.0,
                                            1.0 / 156.0,   -3617.0 / 122400.0};
// Euler's constant and ζ(2) ... ζ(12), for the series of ln Γ(1 + b).
constexpr double kEulerGamma = 0.57721566490153286061;
constexpr double kZeta[] = {1.6449340668482264365, 1.2020569031595942854, 1.0823232337111381915,
                            1.0369277551433699263, 1.0173430619844491397, 1.0083492773819228268,
                            1.0040773561979443394, 1.0020083928260822144, 1.0009945751278180853,
                            1.0004941886041194646, 1.0002460865533080483};

double NaN() { return std::numeric_limits<double>::quiet_NaN(); }

// mu(z) = ln Γ(z) - (z - 1/2) ln z + z - ln √(2π), Stirling's remainder;
// below kStirlingSeriesStart from mu(z) = mu(z + 1) + (z + 1/2) ln(1 + 1/z) - 1,
// which follows from Γ(z + 1) = z Γ(z) and keeps its digits down to the
// smallest z.
//
// StirlingSeries(z) is the series for z >= kStirlingSeriesStart, of one z
// (V = double) or of several side by side (V = Lanes).
template <class V>
V StirlingSeries(const V& z) {
  const V w = 1.0 / (z * z);
  V sum{};
  for (int k = 7; k >= 0; --k) sum = sum * w + kStirlingCoefficients[k];
  return sum / z;
}

double StirlingRemainder(double z) {
  double shifted = 0.0;
  for (; z < kStirlingSeriesStart; z += 1.0) shifted += (z + 0.5) * std::log1p(1.0 / z) - 1.0;
  return shifted + StirlingSeries(z);
}

// ln(a + b) without overflow.
double LogSum(double a, double b) {
  const double big = std::fmax(a, b);
  const double small = std::fmin(a, b);
  return std::log(big) + std::log1p(small / big);
}

// 1/k for the odd k = 3 ... kLastOddTerm of the series of atanh (each the
// correctly rounded quotient, as a division at run time gives it).
constexpr int kLastOddTerm = 39;
constexpr double kOddReciprocals[] = {
    1.0 / 3,  1.0 / 5,  1.0 / 7,  1.0 / 9,  1.0 / 11, 1.0 / 13, 1.0 / 15,
    1.0 / 17, 1.0 / 19, 1.0 / 21, 1.0 / 23, 1.0 / 25, 1.0 / 27, 1.0 / 29,
    1.0 / 31, 1.0 / 33, 1.0 / 35, 1.0 / 37, 1.0 / 39};
static_assert(sizeof kOddReciprocals / sizeof kOddReciprocals[0] == (kLastOddTerm - 1) / 2);

// ln(1 + t) - t for |t| <= 1/2, from ln(1 + t) = 2 atanh(t/(2 + t)), of one
// t (V = double) or of several side by side (V = Lanes).
template <class V>
V LogOnePlusMinusSmall(const V& t) {
  const V s = t / (2.0 + t);
  const V s2 = s * s;
  V sum{};
  for (int k = kLastOddTerm; k >= 3; k -= 2) sum = sum * s2 + kOddReciprocals[(k - 3) / 2];
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

// mu(a + b), mu(a) and mu(b).
struct StirlingTerms {
  double sum;
  double a;
  double b;
};

StirlingTerms Stirling(double a, double b) {
  return {StirlingRemainder(a + b), StirlingRemainder(a), StirlingRemainder(b)};
}

// ln(p^a q^b / B(a, b)) = ln √(ab/(2π(a + b))) + mu(a + b) - mu(a) - mu(b),
// given logSum = LogSum(a, b) and mu = Stirling(a, b).
double LogPeak(double a, double b, double logSum, const StirlingTerms& mu) {
  const double logRoot = 0.5 * (std::log(a) + std::log(b) - logSum) - kHalfLogTwoPi;
  return logRoot + (mu.sum - mu.a - mu.b);
}

double LogPeak(double a, double b) { return LogPeak(a, b, LogSum(a, b), Stirling(a, b)); }

double Exponent(double x, double y, double a, double b, double d) {
  const double e = ScaledLogRatio(a, b, x, d) + ScaledLogRatio(b, a, y, -d);
  return std::fmin(e, 0.0);
}

// ScaledLogRatio given ln x as well: for x below p/2, a ln x is kept apart
// from a ln((a + b)/a) - D, so that an exact ln x is rounded only in its
// product with a.
double ScaledLogRatioGivenLog(double a, double b, double x, double logX, double d) {
  if (!(d / a < -0.5)) return ScaledLogRatio(a, b, x, d);
  const double ratio = b / a;
  const double logShare = std::isfinite(ratio) ? std::log1p(ratio)
                                               : std::log(b) - std::log(a) + std::log1p(a / b);
  return a * logX + (a * logShare - d);
}

double ExponentGivenLogs(double x, double y, double logX, double logY, double a, double b,
                         double d) {
  const double e =
      ScaledLogRatioGivenLog(a, b, x, logX, d) + ScaledLogRatioGivenLog(b, a, y, logY, -d);
  return std::fmin(e, 0.0);
}

// The continued fraction b0 + a1/(b1 + a2/(b2 + ...)) with
//   b0 = a (g + 1)/(a + 1),
//   a_m = (a + m - 1)(a + b + m - 1) m (b - m) x² / (a + 2m - 1)²,
//   b_m = m + m (b - m) x / (a + 2m - 1) + (a + m)(g + 1 + m (2 - x)) / (a + 2m + 1),
// g = a y - b x, for which I(x, a, b) = x^a y^b / (B(a, b) fraction)
// (DiDonato & Morris, ACM TOMS 18 (1992), the fraction of BFRAC), by the
// modified Lentz method, of one evaluation (V = double) or of several side
// by side (V = Lanes). The deviation g enters exactly, so a rounded
// argument near 1 costs no digits; each product is grouped to stay in range.
//
// The quotient (a + m)/(a + 2m + 1) of one term is the next term's
// (a + m' - 1)/(a + 2m' - 1) wherever their operands come out equal (as they
// do wherever a + 2m is exact), and is then taken over instead of divided
// again.
template <class V>
struct TailFraction {
  V x;
  V a;
  V b;
  V g;
  V value{};
  V c{};
  V d{};
  // The last quotient (a + m)/(a + 2m + 1) and its operands.
  V ratioNumerator{};
  V ratioDenominator{};
  V ratio{};

  void Start() {
    ratioNumerator = a;
    ratioDenominator = a + 1.0;
    ratio = ratioNumerator / ratioDenominator;
    value = AwayFromZero(ratio * (g + 1.0), kTinyDenominator);
    c = value;
    d = V{};
  }

  // Term m: returns the factor it gives the value.
  V Term(const V& m) {
    const V a2m1 = a + 2.0 * m - 1.0;
    const V share = m * ((b - m) * x) / a2m1;
    const V lowerNumerator = a + m - 1.0;
    const V lower = AllEqual(lowerNumerator, ratioNumerator) && AllEqual(a2m1, ratioDenominator)
                        ? ratio
                        : lowerNumerator / a2m1;
    const V numerator = lower * ((a + b + m - 1.0) * x) * share;
    ratioNumerator = a + m;
    ratioDenominator = a2m1 + 2.0;
    ratio = ratioNumerator / ratioDenominator;
    const V denominator = m + share + ratio * (g + 1.0 + m * (2.0 - x));
    d = 1.0 / AwayFromZero(denominator + numerator * d, kTinyDenominator);
    c = AwayFromZero(denominator + numerator / c, kTinyDenominator);
    const V step = c * d;
    value = value * step;
    return step;
  }
};

bool FractionEnds(double step) { return std::fabs(step - 1.0) < kRelativeTolerance; }

}  // namespace

double FractionDenominator(double x, double a, double b, double g) {
  TailFraction<double> fraction{x, a, b, g};
  fraction.Start();
  for (int n = 1; n <= kTermLimit; ++n) {
    if (FractionEnds(fraction.Term(n))) break;
  }
  return fraction.value;
}

namespace {

// IncompleteBetaTails up to the continued fraction: the tails, or where they
// wait for FractionDenominator(x, a, b, g), its arguments, the logarithm of
// the prefactor it divides and the side of the tail it gives.
struct TailsPlan {
  BetaTails tails;
  bool waits;
  bool upper;
  double x;
  double a;
  double b;
  double g;
  double logPrefactor;
};

// The rounding of the prefactor's exponent (up to 5e-14 at the smallest
// parameters) can carry a tail of nearly 1 past it.
// (As fmin(t, 1): a NaN gives 1.)
double AtMostOne(double t) { return t <= 1.0 ? t : 1.0; }
BetaTails AtMostOne(BetaTails tails) { return {AtMostOne(tails.lower), AtMostOne(tails.upper)}; }

TailsPlan Finished(BetaTails tails) { return {tails, false, false, 0.0, 0.0, 0.0, 0.0, 0.0}; }

// The tail x^a y^b / (B(a, b) fraction) on the plan's side and the other as
// its complement.
BetaTails FromFraction(const TailsPlan& plan, double fraction) {
  const double tail = std::exp(plan.logPrefactor) / fraction;
  return AtMostOne(plan.upper ? BetaTails{1.0 - tail, tail} : BetaTails{tail, 1.0 - tail});
}

// The plan of the tail below the mean I(x, a, b), the upper one where
// `upper`, with ln(x^a y^b / B(a, b)) = logPrefactor and g = a y - b x.
TailsPlan SmallerTailPlan(double x, double a, double b, double g, double logPrefactor,
                          bool upper) {
  if (logPrefactor < kLogSmallestSubnormal) {
    return Finished(upper ? BetaTails{1.0, 0.0} : BetaTails{0.0, 1.0});
  }
  return {{}, true, upper, x, a, b, g, logPrefactor};
}

// I(x, a, b) for x below the mean, x^a y^b / B(a, b) over the fraction,
// with ln(x^a y^b / B(a, b)) = logPrefactor and g = a y - b x.
double SmallerTail(double x, double a, double b, double g, double logPrefactor) {
  if (logPrefactor < kLogSmallestSubnormal) return 0.0;
  return std::exp(logPrefactor) / FractionDenominator(x, a, b, g);
}

// I(x, a, b) by the series of positive terms of A&S 26.5.23,
// x^a y^b / (a B(a, b)) sum (a + b)_k / (a + 1)_k x^k, for (a + b) x at most
// kSeriesReach, where its terms fall like a Poisson distribution's; the sum
// alone, then the tail.
}  // namespace

double SeriesSum(double x, double a, double b) {
  double term = 1.0;
  double sum = 1.0;
  for (int k = 1; k <= kSeriesTerms && term > kRelativeTolerance * sum; ++k) {
    term *= (a + b + (k - 1)) * x / (a + k);
    sum += term;
  }
  return sum;
}

namespace {

double SeriesTail(double x, double a, double b, double logPrefactor) {
  if (logPrefactor - std::log(a) < kLogSmallestSubnormal) return 0.0;
  return std::exp(logPrefactor - std::log(a)) * SeriesSum(x, a, b);
}

// ln Γ(1 + b) for |b| <= kSmallParameter from its Maclaurin series,
// -γ b + Σ ζ(k) (-b)^k / k (A&S 6.1.33).
double LogGammaOnePlus(double b) {
  double sum = 0.0;
  for (int k = 12; k >= 2; --k) sum = sum * -b + kZeta[k - 2] / k;
  return -kEulerGamma * b + b * b * sum;
}

}  // namespace

// ln Γ(a + b) - ln Γ(a) for 0 < b <= kSmallParameter, to a small error
// relative to b: below kStirlingSeriesStart from Γ(z + 1) = z Γ(z), then
// (a - 1/2) ln(1 + b/a) + b (ln(a + b) - 1) + mu(a + b) - mu(a), each term
// of mu's difference c a^(1 - 2k) ((1 + b/a)^(1 - 2k) - 1) formed whole.
double LogGammaShift(double a, double b) {
  double sum = 0.0;
  for (; a < kStirlingSeriesStart; a += 1.0) sum -= std::log1p(b / a);
  const double logRatio = std::log1p(b / a);
  const double inverse = 1.0 / a;
  double power = inverse;
  double muDifference = 0.0;
  for (int k = 1; k <= 8; ++k) {
    muDifference += kStirlingCoefficients[k - 1] * power * std::expm1((1 - 2 * k) * logRatio);
    power *= inverse * inverse;
  }
  return sum + ((a - 0.5) * logRatio + b * (std::log(a + b) - 1.0) + muDifference);
}

// ln I(t, c, e) where this tail holds nearly all the mass (c at most
// kSmallParameter, e t at most kNearOneReach). With A&S 26.5.23,
// I = t^c Γ(c + e)/(Γ(e) Γ(1 + c)) (1 - t)^e Σ (c + e)_k / (c + 1)_k t^k,
// and (1 - t)^e Σ (e)_k / k! t^k = 1, so the last factor is
// 1 + Σ w_k r_k, w_k = (1 - t)^e (e)_k / k! t^k and
// r_k = Π (1 + c/(e + j)) / Π (1 + c/(j + 1)) - 1 (j < k), each of the
// order of c: every part of the logarithm is small and formed apart from
// the leading 1s, so that the other tail follows from expm1 to full
// precision.
double NearOneSum(double t, double c, double e, double weightFloor) {
  double weight = std::exp(e * std::log1p(-t));
  double logRatio = 0.0;
  double sum = 0.0;
  for (int k = 1; k <= kSeriesTerms && weight > weightFloor; ++k) {
    weight *= (e + (k - 1)) * t / k;
    logRatio += std::log1p(c / (e + (k - 1))) - std::log1p(c / k);
    sum += weight * std::expm1(logRatio);
  }
  return sum;
}

double LogTailNearOne(double t, double c, double e) {
  const double sum = NearOneSum(t, c, e, kRelativeTolerance);
  return c * std::log(t) + (LogGammaShift(e, c) - LogGammaOnePlus(c)) + std::log1p(sum);
}

// Whether the other tail of the series' tail at t, with its parameter c,
// comes from LogTailNearOne.
bool NearlyAllMass(double t, double c, double e) {
  return c <= kSmallParameter && e * t <= kNearOneReach;
}

namespace {

// The series' argument t and its parameter c, the other argument s and
// parameter e, and g = e t - c s.
struct SeriesSide {
  double t;
  double s;
  double c;
  double e;
  double g;
};

// The fraction is taken at x below the mean (D <= 0) and at y above it, so
// that it gives the smaller tail, or one not far above a half. Where
// (a + b) times the smaller argument is small (a gamma-like tail, in which
// the fraction converges slowly near the mean) the series at that argument
// gives its tail, and the other is its complement unless that would be
// below kComplementFloor, when it is taken directly; where the series' tail
// holds nearly all the mass, both come from LogTailNearOne. Given are the
// deviation d, logSum = LogSum(a, b) and the prefactor's logarithm.
TailsPlan ByFractionGiven(double x, double y, double a, double b, double d, double logSum,
                          double logPrefactor) {
  const bool xSmaller = x <= y;
  const double smaller = xSmaller ? x : y;
  if (logSum + std::log(smaller) <= kLogSeriesReach) {
    double near = xSmaller ? SeriesTail(x, a, b, logPrefactor) : SeriesTail(y, b, a, logPrefactor);
    double far = 1.0 - near;
    if (far < kComplementFloor) {
      const SeriesSide side = xSmaller ? SeriesSide{x, y, a, b, d} : SeriesSide{y, x, b, a, -d};
      if (NearlyAllMass(side.t, side.c, side.e)) {
        const double logNear = LogTailNearOne(side.t, side.c, side.e);
        near = std::exp(logNear);
        far = -std::expm1(logNear);
      } else {
        far = SmallerTail(side.s, side.e, side.c, side.g, logPrefactor);
      }
    }
    return Finished(AtMostOne(xSmaller ? BetaTails{near, far} : BetaTails{far, near}));
  }
  if (d <= 0.0) return SmallerTailPlan(x, a, b, -d, logPrefactor, false);
  return SmallerTailPlan(y, b, a, d, logPrefactor, true);
}

// ByUniformExpansion given the deviation d, e = Exponent(x, y, a, b, d) and
// mu = Stirling(a, b).
BetaTails ByUniformExpansionGiven(double a, double b, double d, double e,
                                  const StirlingTerms& mu) {
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

}  // namespace

namespace {

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

namespace {

BetaTails ByUniformExpansion(double x, double y, double a, double b) {
  const double d = Deviation(x, y, a, b);
  return ByUniformExpansionGiven(a, b, d, Exponent(x, y, a, b, d), Stirling(a, b));
}

// ln p and ln q for p = a/(a + b), q = b/(a + b), without overflow.
double LogShare(double a, double b) {
  if (a >= b) return -std::log1p(b / a);
  return (std::log(a) - std::log(b)) - std::log1p(a / b);
}

// I(x, a, b) for x below the normal range and normal a, b as
// e^logPrefactor / a times the series of A&S 26.5.23,
// sum (a + b)_k / (a + 1)_k x^k, with (a + b) x at most about 8.
struct TinyArgumentTail {
  double logPrefactor;  // ln(x^a y^b / B(a, b))
  double series;
};

TinyArgumentTail TailOfTinyArgument(double logX, double a, double b) {
  // x^a y^b / B(a, b) = e^E p^a q^b / B(a, b) with
  // E = a (ln x - ln p) + b (ln(1 - x) - ln q) and b ln(1 - x) = -b x.
  const double bx = std::exp(std::log(b) + logX);
  const double exponent = a * (logX - LogShare(a, b)) - bx - b * LogShare(b, a);
  const double x = std::exp(logX);
  const double w = std::exp(LogSum(a, b) + logX);
  double term = 1.0;
  double series = 1.0;
  for (int k = 1; k < kTinyArgumentTerms && term > kRelativeTolerance * series; ++k) {
    term *= (w + (k - 1) * x) / (a + k);
    series += term;
  }
  return {exponent + LogPeak(a, b), series};
}

// ln I(x, a, b) and ln(1 - I(x, a, b)) by the methods of ByFraction, in
// logarithms: the tails taken from a prefactor and a fraction or series
// keep their digits below the doubles' range.
LogBetaTails LogByFraction(double x, double y, double logX, double logY, double a, double b) {
  const double d = Deviation(x, y, a, b);
  const double logPrefactor = ExponentGivenLogs(x, y, logX, logY, a, b, d) + LogPeak(a, b);
  const bool xSmaller = x <= y;
  const double smaller = xSmaller ? x : y;
  if (LogSum(a, b) + std::log(smaller) <= kLogSeriesReach) {
    double logNear = xSmaller ? logPrefactor - std::log(a) + std::log(SeriesSum(x, a, b))
                              : logPrefactor - std::log(b) + std::log(SeriesSum(y, b, a));
    const double near = std::exp(logNear);
    double logFar = std::log1p(-near);
    if (1.0 - near < kComplementFloor) {
      const SeriesSide side = xSmaller ? SeriesSide{x, y, a, b, d} : SeriesSide{y, x, b, a, -d};
      if (NearlyAllMass(side.t, side.c, side.e)) {
        logNear = LogTailNearOne(side.t, side.c, side.e);
        logFar = std::log(-std::expm1(logNear));
      } else {
        logFar = logPrefactor - std::log(FractionDenominator(side.s, side.e, side.c, side.g));
        logNear = std::log1p(-std::exp(logFar));
      }
    }
    return xSmaller ? LogBetaTails{logNear, logFar, logPrefactor}
                    : LogBetaTails{logFar, logNear, logPrefactor};
  }
  if (d <= 0.0) {
    const double logLower = logPrefactor - std::log(FractionDenominator(x, a, b, -d));
    return {logLower, std::log1p(-std::exp(logLower)), logPrefactor};
  }
  const double logUpper = logPrefactor - std::log(FractionDenominator(y, b, a, d));
  return {std::log1p(-std::exp(logUpper)), logUpper, logPrefactor};
}

// ln I(x, a, b) and ln(1 - I(x, a, b)) by Temme's expansion as in
// ByUniformExpansion. Where the tails lie within the doubles they are its
// values; beyond, the tail on the side of the deviation is
//   e^(-z²)/√(2π) (R(√2 |z|) ± e^(mu(r) - mu(a) - mu(b)) (c0/√r + c1/r^(3/2))),
// R being Mills' ratio, since erfc(|z|)/2 = Q(√2 |z|).
LogBetaTails LogByUniformExpansion(double x, double y, double logX, double logY, double a,
                                   double b) {
  const double d = Deviation(x, y, a, b);
  const double e = ExponentGivenLogs(x, y, logX, logY, a, b, d);
  const double logPrefactor = e + LogPeak(a, b);
  if (e >= kLogTailsWithinDoubles) {
    const BetaTails tails = ByUniformExpansion(x, y, a, b);
    return {std::log(tails.lower), std::log(tails.upper), logPrefactor};
  }
  const double z = std::copysign(std::sqrt(-e), d);
  const double p = 1.0 / (1.0 + b / a);
  const double q = 1.0 / (1.0 + a / b);
  const double rho = std::sqrt(a * q);
  const double sigma2 = p * q;
  const double c0Slope = (sigma2 - 1.0) / 12.0;
  // |z| is above 26 here, beyond the small-z forms of c0 and c1.
  const double c0 = 1.0 / (kRootTwo * z) - rho / d;
  const double w = d / rho;
  const double slope =
      -0.5 / (z * z) + kRootTwo * z * ((1.0 + d / a) * (1.0 - d / b)) / (w * w * w);
  const double c1 = (slope - c0Slope / (rho * rho)) / (kRootTwo * z);
  const double sum = a + b;
  const double scale =
      std::exp(StirlingRemainder(sum) - StirlingRemainder(a) - StirlingRemainder(b));
  const double mills = std::exp(LogMillsRatio(kRootTwo * std::fabs(z)));
  const double logNear =
      e - kHalfLogTwoPi + std::log(z < 0.0 ? mills + scale * (c0 + c1) : mills - scale * (c0 + c1));
  const double logFar = std::log1p(-std::exp(logNear));
  return z < 0.0 ? LogBetaTails{logNear, logFar, logPrefactor}
                 : LogBetaTails{logFar, logNear, logPrefactor};
}

}  // namespace

double LogBeta(double a, double b) {
  // Stirling's remainder needs 1/a and 1/b; below the normal doubles ln Γ
  // is -ln of the parameter to all digits.
  if (a < DBL_MIN || b < DBL_MIN) return LnGamma(a) + LnGamma(b) - LnGamma(a + b);
  return a * LogShare(a, b) + b * LogShare(b, a) - LogPeak(a, b);
}

LogBetaTails LogIncompleteBetaTails(double x, double y, double logX, double logY, double a,
                                    double b) {
  const double kNaN = NaN();
  if (std::isnan(logX) || std::isnan(logY) || !(a > 0.0) || !(b > 0.0)) return {kNaN, kNaN, kNaN};
  const double inf = std::numeric_limits<double>::infinity();
  // The limits for subnormal or infinite parameters, the same for every
  // x strictly between 0 and 1 (as x is wherever its logarithm is finite).
  if (a < DBL_MIN || b < DBL_MIN || std::isinf(a) || std::isinf(b)) {
    const BetaTails tails = IncompleteBetaTails(0.5, 0.5, a, b);
    return {std::log(tails.lower), std::log(tails.upper), -inf};
  }
  if (x < DBL_MIN || y < DBL_MIN) {
    const bool xTiny = logX <= logY;
    const TinyArgumentTail tail =
        xTiny ? TailOfTinyArgument(logX, a, b) : TailOfTinyArgument(logY, b, a);
    const double logNear = tail.logPrefactor - std::log(xTiny ? a : b) + std::log(tail.series);
    const double logFar = std::log1p(-std::exp(logNear));
    return xTiny ? LogBetaTails{logNear, logFar, tail.logPrefactor}
                 : LogBetaTails{logFar, logNear, tail.logPrefactor};
  }
  const LogBetaTails logs = std::fmin(a, b) >= kUniformExpansionStart
                                ? LogByUniformExpansion(x, y, logX, logY, a, b)
                                : LogByFraction(x, y, logX, logY, a, b);
  // As in IncompleteBetaTails, a tail of nearly 1 is kept from passing it.
  return {std::fmin(logs.lower, 0.0), std::fmin(logs.upper, 0.0), logs.logPrefactor};
}

double LowerTailOfTinyArgument(double logX, double a, double b) {
  if (std::isnan(logX) || !(a > 0.0) || !(b > 0.0)) return NaN();
  // The limits of IncompleteBetaTails for subnormal or infinite parameters.
  if (a < DBL_MIN || b < DBL_MIN || std::isinf(a) || std::isinf(b)) {
    return IncompleteBetaTails(DBL_MIN, 1.0, a, b).lower;
  }
  const TinyArgumentTail tail = TailOfTinyArgument(logX, a, b);
  return std::exp(tail.logPrefactor - std::log(a)) * tail.series;
}

namespace {

// PlanTails for normal, finite parameters and 0 < x, y < 1, by Temme's
// expansion or ByFraction, given the deviation d, e = Exponent(x, y, a, b, d)
// and mu = Stirling(a, b).
TailsPlan PlanOfMethods(double x, double y, double a, double b, double d, double e,
                        const StirlingTerms& mu) {
  if (std::fmin(a, b) >= kUniformExpansionStart) {
    return Finished(AtMostOne(ByUniformExpansionGiven(a, b, d, e, mu)));
  }
  const double logSum = LogSum(a, b);
  return ByFractionGiven(x, y, a, b, d, logSum, e + LogPeak(a, b, logSum, mu));
}

TailsPlan PlanTails(double x, double y, double a, double b) {
  if (std::isnan(x) || std::isnan(y) || std::isnan(a) || std::isnan(b)) {
    return Finished({NaN(), NaN()});
  }
  if (a < 0.0 || b < 0.0) return Finished({NaN(), NaN()});
  if (x <= 0.0) return Finished({0.0, 1.0});
  if (y <= 0.0) return Finished({1.0, 0.0});
  // Limits: a → 0 puts all mass at 0, b → 0 at 1, both together mass
  // b/(a + b) at 0 (no answer when both are 0); an infinite parameter moves
  // the mass to its end.
  const bool tinyA = a < DBL_MIN;
  const bool tinyB = b < DBL_MIN;
  // (+ 0.0 makes a -0 parameter's share +0.)
  if (tinyA && tinyB) return Finished({b / (a + b) + 0.0, a / (a + b) + 0.0});
  if (tinyA || std::isinf(b)) {
    return Finished(std::isinf(a) ? BetaTails{NaN(), NaN()} : BetaTails{1.0, 0.0});
  }
  if (tinyB || std::isinf(a)) return Finished({0.0, 1.0});
  const double d = Deviation(x, y, a, b);
  return PlanOfMethods(x, y, a, b, d, Exponent(x, y, a, b, d), Stirling(a, b));
}

// The lanes' fractions between terms, lane by lane, and each lane's next term.
struct FractionLanes {
  alignas(64) double x[kLaneCount];
  alignas(64) double a[kLaneCount];
  alignas(64) double b[kLaneCount];
  alignas(64) double g[kLaneCount];
  alignas(64) double value[kLaneCount];
  alignas(64) double c[kLaneCount];
  alignas(64) double d[kLaneCount];
  alignas(64) double ratioNumerator[kLaneCount];
  alignas(64) double ratioDenominator[kLaneCount];
  alignas(64) double ratio[kLaneCount];
  alignas(64) double m[kLaneCount];
};

// The fractions FractionDenominator(x[k], a[k], b[k], g[k]), k < count, side
// by side, each lane at its own term, the scalar routine's steps lane by
// lane; a lane whose fraction ends takes the next one.
SPECFUN_LANE_TARGETS
void RunTailFractions(const double* x, const double* a, const double* b, const double* g,
                      std::size_t count, double* fraction) {
  constexpr int kLanes = kLaneCount;
  FractionLanes state;
  std::size_t member[kLanes];
  constexpr std::size_t kIdle = ~std::size_t{0};
  std::size_t next = 0;
  std::size_t busy = 0;
  const auto load = [&](int lane) {
    // An idle lane runs a fraction that ends at its first term: b = 1.
    TailFraction<double> start{0.5, 1.0, 1.0, 0.0};
    member[lane] = kIdle;
    if (next < count) {
      start = {x[next], a[next], b[next], g[next]};
      member[lane] = next++;
      ++busy;
    }
    start.Start();
    state.x[lane] = start.x;
    state.a[lane] = start.a;
    state.b[lane] = start.b;
    state.g[lane] = start.g;
    state.value[lane] = start.value;
    state.c[lane] = start.c;
    state.d[lane] = start.d;
    state.ratioNumerator[lane] = start.ratioNumerator;
    state.ratioDenominator[lane] = start.ratioDenominator;
    state.ratio[lane] = start.ratio;
    state.m[lane] = 1.0;
  };
  for (int lane = 0; lane < kLanes; ++lane) load(lane);
  int rounds = 0;
  while (busy > 0) {
    TailFraction<Lanes> lanes{Lanes::Load(state.x), Lanes::Load(state.a), Lanes::Load(state.b),
                              Lanes::Load(state.g)};
    lanes.value = Lanes::Load(state.value);
    lanes.c = Lanes::Load(state.c);
    lanes.d = Lanes::Load(state.d);
    lanes.ratioNumerator = Lanes::Load(state.ratioNumerator);
    lanes.ratioDenominator = Lanes::Load(state.ratioDenominator);
    lanes.ratio = Lanes::Load(state.ratio);
    const Lanes m = Lanes::Load(state.m);
    const Lanes step = lanes.Term(m);
    lanes.value.Store(state.value);
    lanes.c.Store(state.c);
    lanes.d.Store(state.d);
    lanes.ratioNumerator.Store(state.ratioNumerator);
    lanes.ratioDenominator.Store(state.ratioDenominator);
    lanes.ratio.Store(state.ratio);
    (m + 1.0).Store(state.m);
    // As FractionDenominator: converged, or at the last term (which no
    // lane reaches in fewer rounds than that).
    unsigned ends = MagnitudeBelow(step - 1.0, kRelativeTolerance);
    if (++rounds >= kTermLimit) {
      for (int lane = 0; lane < kLanes; ++lane) {
        ends |= static_cast<unsigned>(state.m[lane] > kTermLimit) << lane;
      }
    }
    for (; ends != 0; ends &= ends - 1) {
      const int lane = std::countr_zero(ends);
      if (member[lane] != kIdle) {
        fraction[member[lane]] = state.value[lane];
        --busy;
      }
      load(lane);
    }
  }
}

// Whether PlanTails takes PlanOfMethods with both parameters at least
// kStirlingSeriesStart, the parts of whose prefactors ExponentsInLanes
// forms.
bool LargeParameters(double x, double y, double a, double b) {
  return x > 0.0 && y > 0.0 && a >= kStirlingSeriesStart && b >= kStirlingSeriesStart &&
         !std::isinf(a) && !std::isinf(b);
}

// Exponent(x, y, a, b, d) and Stirling(a, b) of the lanes' elements
// (LargeParameters, with d = Deviation(x, y, a, b)) as the scalar routines
// form them: the series of LogOnePlusMinusSmall and StirlingSeries side by
// side (StirlingRemainder being 0 + StirlingSeries from kStirlingSeriesStart
// on). A lane whose deviation leaves the series' range takes Exponent
// itself.
SPECFUN_LANE_TARGETS
void ExponentsInLanes(const double* x, const double* y, const double* a, const double* b,
                      const double* d, double* exponent, double* muSum, double* muA,
                      double* muB) {
  const Lanes la = Lanes::Load(a);
  const Lanes lb = Lanes::Load(b);
  const Lanes ld = Lanes::Load(d);
  // As ScaledLogRatio(a, b, x, d) + ScaledLogRatio(b, a, y, -d).
  const Lanes ua = ld / la;
  const Lanes ub = -ld / lb;
  const Lanes e = la * LogOnePlusMinusSmall(ua) + lb * LogOnePlusMinusSmall(ub);
  (0.0 + StirlingSeries(la + lb)).Store(muSum);
  (0.0 + StirlingSeries(la)).Store(muA);
  (0.0 + StirlingSeries(lb)).Store(muB);
  const unsigned inRange = MagnitudeAtMost(ua, 0.5) & MagnitudeAtMost(ub, 0.5);
  for (int lane = 0; lane < kLaneCount; ++lane) {
    exponent[lane] = (inRange >> lane) & 1u
                         ? std::fmin(e.Get(lane), 0.0)
                         : Exponent(x[lane], y[lane], a[lane], b[lane], d[lane]);
  }
}

}  // namespace

BetaTails IncompleteBetaTails(double x, double y, double a, double b) {
  const TailsPlan plan = PlanTails(x, y, a, b);
  if (!plan.waits) return plan.tails;
  return FromFraction(plan, FractionDenominator(plan.x, plan.a, plan.b, plan.g));
}

void IncompleteBetaTailsInLockstep(const double* x, const double* y, const double* a,
                                   const double* b, std::size_t count, BetaTails* tails) {
  if (count == 0) return;
  TailsPlan waiting[kChunkLength];
  std::size_t element[kChunkLength];
  std::size_t waitingCount = 0;
  const auto add = [&](std::size_t i, const TailsPlan& plan) {
    if (plan.waits) {
      element[waitingCount] = i;
      waiting[waitingCount++] = plan;
    } else {
      tails[i] = plan.tails;
    }
  };
  // Elements of large parameters have the series of their prefactors
  // formed side by side.
  std::size_t large[kLaneCount];
  std::size_t largeCount = 0;
  const auto flush = [&] {
    double lx[kLaneCount], ly[kLaneCount], la[kLaneCount], lb[kLaneCount], d[kLaneCount];
    double e[kLaneCount], muSum[kLaneCount], muA[kLaneCount], muB[kLaneCount];
    for (std::size_t lane = 0; lane < kLaneCount; ++lane) {
      const std::size_t i = large[lane < largeCount ? lane : largeCount - 1];
      lx[lane] = x[i];
      ly[lane] = y[i];
      la[lane] = a[i];
      lb[lane] = b[i];
      d[lane] = Deviation(x[i], y[i], a[i], b[i]);
    }
    ExponentsInLanes(lx, ly, la, lb, d, e, muSum, muA, muB);
    for (std::size_t lane = 0; lane < largeCount; ++lane) {
      add(large[lane], PlanOfMethods(lx[lane], ly[lane], la[lane], lb[lane], d[lane], e[lane],
                                     {muSum[lane], muA[lane], muB[lane]}));
    }
    largeCount = 0;
  };
  for (std::size_t i = 0; i < count; ++i) {
    if (!LargeParameters(x[i], y[i], a[i], b[i])) {
      add(i, PlanTails(x[i], y[i], a[i], b[i]));
      continue;
    }
    large[largeCount++] = i;
    if (largeCount == kLaneCount) flush();
  }
  if (largeCount > 0) flush();
  if (waitingCount == 0) return;
  double fractionX[kChunkLength];
  double fractionA[kChunkLength];
  double fractionB[kChunkLength];
  double fractionG[kChunkLength];
  for (std::size_t k = 0; k < waitingCount; ++k) {
    fractionX[k] = waiting[k].x;
    fractionA[k] = waiting[k].a;
    fractionB[k] = waiting[k].b;
    fractionG[k] = waiting[k].g;
  }
  double fraction[kChunkLength];
  RunTailFractions(fractionX, fractionA, fractionB, fractionG, waitingCount, fraction);
  for (std::size_t k = 0; k < waitingCount; ++k) {
    tails[element[k]] = FromFraction(waiting[k], fraction[k]);
  }
}

double LogGammaRemainder(double z) { return StirlingRemainder(z); }

}  // namespace specfun::detail
