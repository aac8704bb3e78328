// Both regularized incomplete gamma functions, P(a, x) and Q(a, x), each to a
// small error relative to its own size, and their logarithms.
//
// The prefactor D(a, x) = x^a e^(-x)/Γ(a + 1) is formed from Stirling's
// series as ln D = -a φ(x/a - 1) - ½ ln(2πa) - μ(a), φ(t) = t - ln(1 + t),
// μ the remainder of Stirling's series, with a φ carried in double-double
// arithmetic: near x = a from the series of 2 atanh (so that no large terms
// cancel), elsewhere from a double-double logarithm. D then keeps its digits
// however large its exponent. Where the tails themselves are asked for (not
// their logarithms) and D's factors stay normal doubles, D comes directly in
// double from pow, exp and 1/Γ(1 + a) (a table for whole and half-whole
// shapes below 10), with a few units in the last place of rounding whose
// bounds the functions below state.
//
// The methods by region follow A. R. DiDonato and A. H. Morris (ACM TOMS 12
// (1986) 377-393) and A. Gil, J. Segura and N. M. Temme (SIAM J. Sci.
// Comput. 34 (2012) A2965-A2981):
// - a >= kTemmeFrom with |η| <= kTemmeEtaLimit (x within about 0.3a ... 2.3a):
//   Temme's uniform asymptotic expansion (N. M. Temme, SIAM J. Math. Anal. 10
//   (1979) 757-766), whose coefficients tools/gen_incomplete_gamma_coefficients.py
//   computes; the smaller tail as e^(-z²) times terms of moderate size,
//   z² = a φ, so its logarithm stays finite below the doubles.
// - a < 1 and x <= 0.7: ln P = ln(x^a/Γ(1 + a)) + ln(1 + a Σ_(n>=1)
//   (-x)^n/(n! (a + n))), Q = -expm1(ln P), with ln Γ(1 + a) from its own
//   series (after DiDonato and Morris, eq. 10-12).
// - otherwise x < a: P = D Σ_n x^n/((a + 1) ... (a + n)) (A&S 6.5.29), Q its
//   complement (at least 0.37 there);
// - otherwise Q = a D F, F the continued fraction of Legendre
//   1/(x + 1 - a - 1(1 - a)/(x + 3 - a - 2(2 - a)/(x + 5 - a - ...)))
//   (A&S 6.5.31), by the modified Lentz method; P its complement.
#include "specfun/kernels/incomplete_gamma.hpp"

#include <cmath>
#include <limits>

#include "specfun/kernels/incomplete_gamma_coefficients.hpp"
#include "specfun/kernels/log_gamma.hpp"
#include "specfun/kernels/math_constants.hpp"
#include "specfun/kernels/stirling_remainder.hpp"

namespace specfun::detail {
namespace {

// Temme's expansion serves a >= kTemmeFrom (its twelve orders reach 1e-18
// there) where |η| <= kTemmeEtaLimit (its coefficients' series reach 1e-18).
constexpr double kTemmeFrom = 20.0;
constexpr double kTemmeEtaLimit = 1.1;
// From here on erfc(z) would lose its range; the scaled form takes over.
constexpr double kScaledErfcFrom = 26.0;
// The series and fractions stop when a term changes the sum by less than
// this share.
constexpr double kTolerance = 0x1p-57;
// The forward fraction's factors settle at 1 to within the rounding of
// their own products, one unit in the last place of 1 above it; a tighter
// test could go on to kTermLimit where they stay there (x far beyond a).
constexpr double kFactorSettled = 0x1p-52;
// Bound on their terms (a few hundred at most outside Temme's region).
constexpr int kTermLimit = 100000;
// Below this x + 1 - a and a the backward fraction runs as products (their
// terms stay far from overflow between rescalings); beyond it, where the
// fraction is a few terms deep, as divisions.
constexpr double kProductFormLimit = 0x1p64;
// Lentz's guard against a zero denominator.
constexpr double kTinyDenominator = 1e-300;
// For a < 1 the small-shape form of Q serves x up to here (where its terms
// cancel to at most a factor 2.2), the fraction beyond.
constexpr double kSmallShapeReach = 0.7;
// Below this shape ln Γ(1 + a) comes from its recurrence and series rather
// than from Stirling's, whose remainder there is too large to keep 1e-17.
constexpr double kStirlingFrom = 10.0;
// 1/Γ(1 + a) for a = ½, 1, 3/2, ... 19/2 as double-doubles (mpmath): the
// whole and half-whole shapes of Poisson and chi-square tails.
constexpr double kHalfIntegerShapes = 19.0;  // twice the largest
constexpr DoubleDouble kInverseGammaOfHalfIntegers[] = {
    {1.1283791670955126, 1.533545961316588e-17},
    {1.0, 0.0},
    {0.7522527780636751, -2.6783794412061297e-17},
    {0.5, 0.0},
    {0.30090111122547003, -1.0713517764824519e-17},
    {0.16666666666666666, 9.25185853854297e-18},
    {0.08597174606442, 6.851700501346178e-18},
    {0.041666666666666664, 2.3129646346357427e-18},
    {0.01910483245876, 3.661177940923904e-19},
    {0.008333333333333333, 1.1564823173178714e-19},
    {0.0034736059015927274, 1.0599240519808932e-19},
    {0.001388888888888889, -5.300543954373577e-20},
    {0.0005344009079373427, -3.735095462247882e-22},
    {0.0001984126984126984, 1.7209558293420705e-22},
    {7.125345439164569e-05, -4.980127282997176e-23},
    {2.48015873015873e-05, 2.1511947866775882e-23},
    {8.38275934019361e-06, 3.927447666102623e-22},
    {2.7557319223985893e-06, -1.858393274046472e-22},
    {8.823957200203801e-07, 2.3334581248953587e-24},
};
static_assert(sizeof kInverseGammaOfHalfIntegers / sizeof kInverseGammaOfHalfIntegers[0] ==
              static_cast<int>(kHalfIntegerShapes));
// The direct form of D for small shapes serves x up to here (e^(-x) a
// normal double) and D from here on (below, its logarithm keeps the digits).
constexpr double kDirectPrefactorReach = 700.0;
constexpr double kDirectPrefactorFloor = 1e-290;
// Bounds of the direct form far from the shape: the shape (its first-order
// correction of pow), x^a and |a - x| (e^(a - x) a normal double).
constexpr double kDirectFarShapeLimit = 1e6;
constexpr double kDirectPowerCeiling = 1e290;
constexpr double kDirectExponentReach = 690.0;
// |t| = |x - a|/(x + a) up to which a φ comes from the atanh series.
constexpr double kAtanhReach = 0.2;
// a |t|³ up to which the series' terms beyond d t are summed in double.
constexpr double kShortAtanhReach = 0x1p-5;
// ln(2π) and 1/3 as double-double constants; 1/√(2π), 1/√π.
constexpr DoubleDouble kLogTwoPi = {1.8378770664093456, -7.756588316134483e-17};
constexpr DoubleDouble kHalfLogOfTwoPi = {0.91893853320467278, -3.8782941580672415e-17};
constexpr DoubleDouble kOneThird = {0.33333333333333331, 1.8503717077085943e-17};
using detail::kInvSqrtTwoPi;
using detail::kRootTwo;
constexpr double kInverseRootPi = 0.56418958354775628695;

double NaN() { return std::numeric_limits<double>::quiet_NaN(); }

// √a for a >= 0 as a double-double, one Newton correction of the double
// square root.
DoubleDouble RootOf(const DoubleDouble& a) {
  if (a.hi == 0.0) return {0.0, 0.0};
  const double s = std::sqrt(a.hi);
  const DoubleDouble square = TwoProduct(s, s);
  const double residual = ((a.hi - square.hi) - square.lo) + a.lo;
  return FastTwoSum(s, residual / (2.0 * s));
}

// ln(x + xLow), |xLow| <= ulp(x)/2.
DoubleDouble LogOfArgument(double x, double xLow) { return Log(Exact(x)) + xLow / x; }

// 1/k for the odd k = 5 ... 29.
constexpr double kOddReciprocals[] = {1.0 / 5,  1.0 / 7,  1.0 / 9,  1.0 / 11, 1.0 / 13,
                                      1.0 / 15, 1.0 / 17, 1.0 / 19, 1.0 / 21, 1.0 / 23,
                                      1.0 / 25, 1.0 / 27, 1.0 / 29};

// 1/5 + s/7 + s²/9 + ... + s^((last - 5)/2)/last, last odd in 5 ... 29.
double AtanhSeriesTail(double s, int last) {
  double tail = kOddReciprocals[(last - 5) / 2];
  for (int k = (last - 5) / 2 - 1; k >= 0; --k) tail = kOddReciprocals[k] + s * tail;
  return tail;
}

// a φ(x/a - 1) = (x - a) - a ln(x/a) >= 0 for a, x > 0. With d = x - a and
// t = d/(x + a), ln(x/a) = 2 atanh t, so a φ = d t - 2a t³ (1/3 + t²/5 +
// t⁴/7 + ...), free of cancellation for small |t|.
// ln a is taken (into logA, unless it is there) only where the series does
// not serve.
DoubleDouble ShapeTimesDeviation(double a, double x, double xLow, DoubleDouble& logA) {
  const DoubleDouble d = TwoSum(x, -a) + xLow;
  const DoubleDouble sum = TwoSum(x, a) + xLow;
  if (!(std::fabs(d.hi) <= kAtanhReach * sum.hi) || std::isinf(sum.hi)) {
    if (std::isnan(logA.hi)) logA = Log(Exact(a));
    const DoubleDouble shapeTimesLog = (LogOfArgument(x, xLow) - logA) * a;
    // a ln(x/a) overflows only for x far below a huge a: a φ beyond the doubles.
    if (!std::isfinite(shapeTimesLog.hi)) return {std::numeric_limits<double>::infinity(), 0.0};
    return d - shapeTimesLog;
  }
  const DoubleDouble t = d / sum;
  const double square = t.hi * t.hi;
  if (a * std::fabs(t.hi) * square <= kShortAtanhReach) {
    // a φ = t (d - c), c = 2a t² (1/3 + t²/5 + ...): c in double carries
    // about 7 roundings, so the error of a φ is below 7·2^-53 |t c|, and
    // |t c| <= 0.7 a |t|³: below 2e-17 absolute here. The series stops
    // where t^(2k) falls below 2^-56 of 1/3.
    const int last = square < 1e-4 ? 11 : square < 3e-3 ? 15 : square < 0.012 ? 19 : 29;
    const double c = 2.0 * a * square * (1.0 / 3.0 + square * AtanhSeriesTail(square, last));
    return t * (d - c);
  }
  const DoubleDouble t2 = t * t;
  const DoubleDouble inner = kOneThird + t2.hi * AtanhSeriesTail(square, 29);
  return d * t - (t2 * t) * inner * (2.0 * a);
}

// Γ(1 + a) = a (a - 1) ... (f + 1) Γ(1 + f) for a > 1.5, f in [0.5, 1.5):
// the factors are exact, their product is carried in double-double.
struct ReducedShape {
  DoubleDouble product;
  double f;
};
ReducedShape ReduceShape(double a) {
  DoubleDouble product = {1.0, 0.0};
  double f = a;
  for (; f > 1.5; f -= 1.0) product = product * f;
  return {product, f};
}

// ln Γ(1 + a) for 0 <= a < kStirlingFrom, from the reduction above.
DoubleDouble LogGammaOnePlusOfSmall(double a) {
  if (a <= 1.5) return LogGammaOnePlusNearOne(a);
  const ReducedShape r = ReduceShape(a);
  // ln(hi + lo) = ln hi + lo/hi; ln hi in double-double.
  const DoubleDouble logProduct = Log(Exact(r.product.hi)) + r.product.lo / r.product.hi;
  return logProduct + LogGammaOnePlusNearOne(r.f);
}

// power/Γ(1 + a) for 0 < a < kStirlingFrom without logarithms: from the
// table for whole and half-whole a, otherwise Γ(1 + a) from the reduction
// above and e^(ln Γ(2 + z)); about 1.5 units in the last place of rounding
// beyond those of power.
double OverGammaOnePlus(double power, double a) {
  const double twice = 2.0 * a;
  if (twice <= kHalfIntegerShapes && twice == std::floor(twice)) {
    const DoubleDouble& inverse = kInverseGammaOfHalfIntegers[static_cast<int>(twice) - 1];
    return power * inverse.hi + power * inverse.lo;
  }
  if (a > 1.5) {
    const ReducedShape r = ReduceShape(a);
    return power * Exp(-(LogGammaTwoPlus(r.f - 1.0) + r.product.lo / r.product.hi)) / r.product.hi;
  }
  if (a >= 0.5) return power * Exp(-LogGammaTwoPlus(a - 1.0));
  // Γ(1 + a) = Γ(2 + a)/(1 + a).
  const DoubleDouble onePlus = TwoSum(1.0, a);
  return power * Exp(-LogGammaTwoPlus(a) + onePlus.lo / onePlus.hi) * onePlus.hi;
}

// D(a, x) for a < kStirlingFrom without logarithms, x^a e^(-x)/Γ(1 + a):
// pow and exp are correct to within 0.52 units in the last place, and D
// carries about 3.5 units of rounding in all (4e-16). 0 where x^a e^(-x)
// or D leaves the normal doubles (the logarithmic form then serves).
double DirectPrefactorOfSmallShape(double a, double x, double xLow) {
  if (!(x <= kDirectPrefactorReach)) return 0.0;
  const double power = std::pow(x, a) * std::exp(-x);
  if (!(power >= kDirectPrefactorFloor)) return 0.0;
  double value = OverGammaOnePlus(power, a);
  // D(x + xLow) = D(x) (1 + xLow (a - x)/x) to first order.
  if (xLow != 0.0) value *= 1.0 + xLow * (a - x) / x;
  return value >= kDirectPrefactorFloor ? value : 0.0;
}

// ln D(a, x) for a < kStirlingFrom, x > 0 (x + xLow): a ln x - x - ln Γ(1 + a).
// ln Γ(1 + a) is taken into logGammaOnePlus unless it is there.
DoubleDouble LogPrefactorOfSmallShape(double a, double x, double xLow,
                                      DoubleDouble& logGammaOnePlus) {
  if (std::isnan(logGammaOnePlus.hi)) logGammaOnePlus = LogGammaOnePlusOfSmall(a);
  return (LogOfArgument(x, xLow) * a - TwoSum(x, xLow)) - logGammaOnePlus;
}

// ln D(a, x) for a >= kStirlingFrom from Stirling's series, given a φ and
// ln a (NaN where it is still to be taken, and is taken into it).
DoubleDouble LogPrefactorOfLargeShape(double a, const DoubleDouble& aPhi, DoubleDouble& logA) {
  if (std::isnan(logA.hi)) logA = Log(Exact(a));
  return -(aPhi + (logA + kLogTwoPi) * 0.5) + -StirlingRemainderSeries(a);
}

// D(a, x) for a >= kStirlingFrom without ln a: e^(-(a φ + μ(a)))/√(2πa),
// to about 2.5 units in the last place; 0 below kDirectPrefactorFloor.
double DirectPrefactorOfLargeShape(double a, const DoubleDouble& aPhi) {
  const double value = Exp(-(aPhi + StirlingRemainderSeries(a))) * kInvSqrtTwoPi / std::sqrt(a);
  return value >= kDirectPrefactorFloor ? value : 0.0;
}

// Whether x lies beyond the atanh series' reach from a and (for a from
// kTemmeFrom on) beyond Temme's region, by φ in double (a decision only).
bool OutsideTemmeFarFromShape(double a, double x) {
  if (!(std::fabs(x - a) > kAtanhReach * (x + a))) return false;
  if (a < kTemmeFrom) return true;
  const double ratio = x / a;
  return 2.0 * ((ratio - 1.0) - std::log(ratio)) > kTemmeEtaLimit * kTemmeEtaLimit;
}

// D(a, x) for a >= kStirlingFrom without the double-double logarithms, as
// (x/a)^a e^(a - x - μ(a))/√(2πa): pow at the rounded quotient q, corrected
// by (1 + a r/q) for its remainder r (second order below (a 2^-53)²), and
// the exponent in double-double; about 5 units in the last place of rounding
// in all. 0 where a factor or D leaves the normal doubles, or a is too large
// for the first-order correction (the logarithmic form then serves).
double DirectPrefactorFarFromShape(double a, double x, double xLow) {
  if (!(a <= kDirectFarShapeLimit)) return 0.0;
  const double q = x / a;
  const DoubleDouble qa = TwoProduct(q, a);
  const double remainder = (((x - qa.hi) - qa.lo) + xLow) / a;
  const double power = std::pow(q, a);
  const DoubleDouble exponent = (TwoSum(a, -x) - xLow) - StirlingRemainderSeries(a);
  if (!(power >= kDirectPrefactorFloor && power <= kDirectPowerCeiling) ||
      !(std::fabs(exponent.hi) <= kDirectExponentReach)) {
    return 0.0;
  }
  const double value = power * (1.0 + a * remainder / q) * Exp(exponent) * kInvSqrtTwoPi /
                       std::sqrt(a);
  return value >= kDirectPrefactorFloor ? value : 0.0;
}

// Σ_(n>=0) x^n/((a + 1) ... (a + n)), P(a, x) = D(a, x) times this.
double LowerSeries(double a, double x) {
  double term = 1.0;
  double sum = 1.0;
  for (int n = 1; n < kTermLimit; ++n) {
    term *= x / (a + n);
    sum += term;
    if (term <= sum * kTolerance) break;
  }
  return sum;
}

// The depth at which Legendre's fraction 1/(b_0 + a_1/(b_1 + a_2/(b_2 +
// ...))), b_n = x + 1 - a + 2n, a_n = n (a - n), has settled, where its
// successive convergents agree to kFactorSettled: by the modified Lentz
// method where b_0 or a is beyond kProductFormLimit (a few terms deep),
// elsewhere from the forward recurrences of Wallis for the convergents A_n/B_n
// (A&S 3.10.1), rescaled by powers of 2 as they grow and compared by cross
// products, so that no step divides.
int SettledDepth(double a, double x) {
  const double first = x + 1.0 - a;
  int depth = 1;
  if (!(first < kProductFormLimit && a < kProductFormLimit)) {
    double b = first;
    double c = b;
    double d = 0.0;
    for (; depth < kTermLimit; ++depth) {
      const double numerator = depth * (a - depth);
      b += 2.0;
      d = b + numerator * d;
      if (d == 0.0) d = kTinyDenominator;
      c = b + numerator / c;
      if (c == 0.0) c = kTinyDenominator;
      d = 1.0 / d;
      if (std::fabs(c * d - 1.0) <= kFactorSettled) break;
    }
    return depth;
  }
  double previousA = 1.0;
  double previousB = 0.0;
  double currentA = first;
  double currentB = 1.0;
  for (; depth < kTermLimit; ++depth) {
    const double numerator = depth * (a - depth);
    const double b = first + 2.0 * depth;
    const double nextA = b * currentA + numerator * previousA;
    const double nextB = b * currentB + numerator * previousB;
    previousA = currentA;
    previousB = currentB;
    currentA = nextA;
    currentB = nextB;
    const double cross = currentA * previousB;
    if (std::fabs(cross - previousA * currentB) <= kFactorSettled * std::fabs(cross)) break;
    if (std::fabs(currentB) > 0x1p500 || std::fabs(currentA) > 0x1p500) {
      previousA *= 0x1p-500;
      previousB *= 0x1p-500;
      currentA *= 0x1p-500;
      currentB *= 0x1p-500;
    }
  }
  return depth;
}

// Legendre's fraction F for x >= 1 or x >= a: Q(a, x) = a D(a, x) F. The
// depth at which it has settled found, it is evaluated backwards from a
// quarter deeper (the forward test stops early where the fraction converges
// slowly, at small x), and backwards its rounding errors do not build up as
// the forward products' do.
double UpperFraction(double a, double x) {
  const double first = x + 1.0 - a;
  int depth = SettledDepth(a, x);
  depth += depth / 4 + 8;
  if (!(first < kProductFormLimit && a < kProductFormLimit)) {
    double t = first + 2.0 * depth;
    for (int n = depth; n >= 1; --n) t = (first + 2.0 * (n - 1)) + n * (a - n) / t;
    return 1.0 / t;
  }
  // The tails t_n = b_n + a_(n+1)/t_(n+1) as P_n/P_(n+1), P_n = b_n P_(n+1) +
  // a_(n+1) P_(n+2) from P_(depth+1) = 1, P_(depth+2) = 0: products in place
  // of a chain of divisions, rescaled by powers of 2 as they grow.
  double next = 1.0;
  double afterNext = 0.0;
  for (int n = depth; n >= 0; --n) {
    const double current = (first + 2.0 * n) * next + (n + 1.0) * (a - (n + 1.0)) * afterNext;
    afterNext = next;
    next = current;
    if (std::fabs(next) > 0x1p500) {
      next *= 0x1p-500;
      afterNext *= 0x1p-500;
    }
  }
  return afterNext / next;
}

// S = Σ_(n>=1) (-x)^n/(n! (a + n)), so that P(a, x) = x^a/Γ(1 + a) (1 + a S)
// (the series of γ(a, x), A&S 6.5.29).
double SmallShapeSeries(double a, double x) {
  double term = 1.0;
  double sum = 0.0;
  for (int n = 1; n < kTermLimit; ++n) {
    term *= -x / n;
    const double added = term / (a + n);
    sum += added;
    if (std::fabs(added) <= std::fabs(sum) * kTolerance) break;
  }
  return sum;
}

// ln P(a, x) for a < 1 and 0 < x <= kSmallShapeReach (x + xLow), given ln D,
// with ln(x^a/Γ(1 + a)) = ln D + x in double-double. Every part is of the
// size of a, so ln P, and Q = -expm1(ln P), keep their digits to about 1e-16
// a (DiDonato and Morris, eq. 10, in logarithms).
DoubleDouble LogLowerOfSmallShape(double a, double x, double xLow, const DoubleDouble& logD) {
  return (logD + TwoSum(x, xLow)) + std::log1p(a * SmallShapeSeries(a, x));
}

// P(a, x) itself for the same arguments, to about 3 units in the last place;
// 0 where x^a leaves the normal doubles.
double DirectLowerOfSmallShape(double a, double x, double xLow) {
  const double power = std::pow(x, a);
  // 1 + a S >= 1 - 0.7a/(1 + a) > 0.65 and Γ(1 + a) <= 1: beyond this
  // power P exceeds ½.
  if (!(power >= kDirectPrefactorFloor && power <= 0.77)) return 0.0;
  const double lower = OverGammaOnePlus(power, a) * (1.0 + a * SmallShapeSeries(a, x));
  // (x + xLow)^a = x^a (1 + a xLow/x) to first order.
  return xLow != 0.0 ? lower * (1.0 + a * xLow / x) : lower;
}

// For each order k and depth n, the largest |c_(k,m)|, m >= n, of Temme's
// coefficients: a bound on the terms beyond n.
struct TemmeEnvelope {
  double bound[kTemmeOrders][kTemmeTerms];
};
constexpr TemmeEnvelope kTemmeEnvelope = [] {
  TemmeEnvelope e{};
  for (int k = 0; k < kTemmeOrders; ++k) {
    double largest = 0.0;
    for (int n = kTemmeTerms - 1; n >= 0; --n) {
      const double c = kTemmeCoefficients[k][n];
      largest = c > largest ? c : -c > largest ? -c : largest;
      e.bound[k][n] = largest;
    }
  }
  return e;
}();
// A term of Temme's sum below this is left out, where its orders are
// deeper than kTemmeTermsKeptWhole.
constexpr double kTemmeTermFloor = 1e-21;
constexpr int kTemmeTermsKeptWhole = 16;

// Σ_k C_k(η) a^-k of Temme's expansion, to the orders and terms that reach
// 1e-18 at this a and η: each order from the depth that the size of η
// calls for, less the terms that its factor a^-k makes negligible.
double TemmeSum(double eta, double a) {
  const double size = std::fabs(eta);
  const int terms = size < 0.05 ? 10 : size < 0.12 ? 13 : size < 0.25 ? 16 : size < 0.6 ? 26
                                                                              : kTemmeTerms;
  // |η|^n, as products of earlier powers (a short chain of dependent steps),
  // where the orders are deep enough to be worth shortening.
  const bool shorten = terms > kTemmeTermsKeptWhole;
  double sizePowers[kTemmeTerms];
  sizePowers[0] = 1.0;
  sizePowers[1] = size;
  for (int n = 2; shorten && n < terms; ++n) {
    sizePowers[n] = sizePowers[n / 2] * sizePowers[n - n / 2];
  }
  const double inverse = 1.0 / a;
  double sum = 0.0;
  double power = 1.0;
  for (int k = 0; k < kTemmeOrders && power > 1e-19; ++k) {
    const double* c = kTemmeCoefficients[k];
    int depth = terms;
    while (shorten && depth > 1 &&
           kTemmeEnvelope.bound[k][depth - 1] * sizePowers[depth - 1] * power < kTemmeTermFloor) {
      --depth;
    }
    double ck = c[depth - 1];
    for (int n = depth - 2; n >= 0; --n) ck = c[n] + eta * ck;
    sum += ck * power;
    power *= inverse;
  }
  return sum;
}

// erfc(z) e^(z²) for z >= kScaledErfcFrom from its asymptotic series (A&S
// 7.1.23), whose ninth term is below 1e-21 there.
double ScaledErfcOfLarge(double z) {
  const double w = 1.0 / (2.0 * z * z);
  double sum = 1.0;
  for (int n = 8; n >= 1; --n) sum = 1.0 - (2 * n - 1) * w * sum;
  return kInverseRootPi / z * sum;
}

// A tail and its logarithm, carried as a double-double.
struct Tail {
  double value;
  DoubleDouble log;
};

// The smaller tail by Temme's expansion: with z = √(a φ) (sign of x - a),
// T = erfc(|z|)/2 ± e^(-z²) S/√(2πa), + for Q (x >= a), - for P; its
// logarithm as -z² + ln(e^(z²) erfc(|z|)/2 ± S/√(2πa)).
Tail TemmeTail(double a, bool lower, const DoubleDouble& aPhi, bool logs) {
  // η = z √(2/a), 1/√a formed apart from a φ so that it waits on nothing.
  const double inverseRootA = 1.0 / std::sqrt(a);
  const DoubleDouble z = RootOf(aPhi);
  const double eta = std::copysign(kRootTwo * inverseRootA * z.hi, lower ? -1.0 : 1.0);
  const double s = TemmeSum(eta, a) * kInvSqrtTwoPi * inverseRootA;
  const double signedS = lower ? -s : s;
  if (z.hi < kScaledErfcFrom) {
    const double exponential = Exp(-aPhi);
    // erfc at z.hi + z.lo to first order in z.lo.
    const double half = 0.5 * std::erfc(z.hi) - z.lo * exponential * kInverseRootPi;
    const double value = half + exponential * signedS;
    if (!logs) return {value, {NaN(), 0.0}};
    const double scaled = half * Exp(aPhi) + signedS;
    return {value, {-aPhi.hi, -aPhi.lo + std::log(scaled)}};
  }
  const double scaled = 0.5 * ScaledErfcOfLarge(z.hi) + signedS;
  return {Exp(-aPhi) * scaled, {-aPhi.hi, -aPhi.lo + std::log(scaled)}};
}

// Both tails and their logarithms, and ln D(a, x).
struct TailsByMethod {
  Tail lower;
  Tail upper;
  DoubleDouble logTerm;
};

// The other tail, 1 - t, and its logarithm where wanted.
Tail Complement(double t, bool logs) {
  return {1.0 - t, {logs ? std::log1p(-t) : NaN(), 0.0}};
}

// What Evaluate forms beside the tails: their logarithms, and ln D.
enum class Forms { kTails, kLogs, kLogsAndTerm };

// The tails of a > 0, x > 0 (x + xLow) finite; their logarithms and ln D
// as `forms` asks (ln D is formed wherever the logarithms need it).
TailsByMethod Evaluate(double a, double x, double xLow, Forms forms, ShapeLogarithms& shape) {
  const bool logs = forms != Forms::kTails;
  DoubleDouble logD = {NaN(), 0.0};
  // D itself where the tails need no logarithms and its range allows.
  double directD = 0.0;
  if (a < kStirlingFrom) {
    if (!logs && a < 1.0 && x <= kSmallShapeReach) {
      // Where P <= ½ its complement Q keeps its digits.
      const double lower = DirectLowerOfSmallShape(a, x, xLow);
      const DoubleDouble noLog = {NaN(), 0.0};
      if (lower > 0.0 && lower <= 0.5) return {{lower, noLog}, {1.0 - lower, noLog}, logD};
    } else if (!logs) {
      directD = DirectPrefactorOfSmallShape(a, x, xLow);
    }
    if (directD == 0.0) logD = LogPrefactorOfSmallShape(a, x, xLow, shape.logGammaOnePlus);
  } else if (!logs && OutsideTemmeFarFromShape(a, x)) {
    directD = DirectPrefactorFarFromShape(a, x, xLow);
  }
  if (a >= kStirlingFrom && directD == 0.0) {
    DoubleDouble& logA = shape.logA;
    const DoubleDouble aPhi = ShapeTimesDeviation(a, x, xLow, logA);
    if (std::isinf(aPhi.hi)) {
      // x far below a huge a: P and ln P below anything a double holds.
      const DoubleDouble minusInfinity = {-std::numeric_limits<double>::infinity(), 0.0};
      return {{0.0, minusInfinity}, {1.0, {0.0, 0.0}}, minusInfinity};
    }
    if (a >= kTemmeFrom && 2.0 * aPhi.hi <= kTemmeEtaLimit * kTemmeEtaLimit * a) {
      // Below a where x + xLow is, xLow deciding where x = a.
      const bool below = x < a || (x == a && xLow < 0.0);
      const Tail t = TemmeTail(a, below, aPhi, logs);
      if (forms == Forms::kLogsAndTerm) logD = LogPrefactorOfLargeShape(a, aPhi, logA);
      return below ? TailsByMethod{t, Complement(t.value, logs), logD}
                   : TailsByMethod{Complement(t.value, logs), t, logD};
    }
    if (!logs) directD = DirectPrefactorOfLargeShape(a, aPhi);
    if (directD == 0.0) logD = LogPrefactorOfLargeShape(a, aPhi, logA);
  }
  if (a < 1.0 && x <= kSmallShapeReach) {
    const DoubleDouble logLower = LogLowerOfSmallShape(a, x, xLow, logD);
    const double lower = Exp(logLower);
    const double upper = -(std::expm1(logLower.hi) + std::exp(logLower.hi) * logLower.lo);
    return {{lower, logLower},
            upper < 0.5 ? Tail{upper, {logs ? std::log(upper) : NaN(), 0.0}}
                        : Complement(lower, logs),
            logD};
  }
  const double d = directD > 0.0 ? directD : Exp(logD);
  if (x < a) {
    const double series = LowerSeries(a, x);
    const Tail lower = {d * series, {logD.hi, logD.lo + (logs ? std::log(series) : 0.0)}};
    return {lower, Complement(lower.value, logs), logD};
  }
  const double fraction = a * UpperFraction(a, x);
  const Tail upper = {d * fraction, {logD.hi, logD.lo + (logs ? std::log(fraction) : 0.0)}};
  return {Complement(upper.value, logs), upper, logD};
}

// The tails where the arguments settle them, or NaN where they are out of
// the domain; `settled` is false where Evaluate must run.
struct Limits {
  bool settled;
  double lower;
  double upper;
};

Limits LimitsOf(double a, double x) {
  if (std::isnan(a) || std::isnan(x) || a <= 0.0 || x < 0.0) return {true, NaN(), NaN()};
  if (x == 0.0 || std::isinf(a)) return {true, 0.0, 1.0};
  if (std::isinf(x)) return {true, 1.0, 0.0};
  return {false, 0.0, 0.0};
}

}  // namespace

GammaTails RegularizedGammaTails(double a, double x, double xLow) {
  const Limits limits = LimitsOf(a, x);
  if (limits.settled) return {limits.lower, limits.upper};
  ShapeLogarithms shape;
  const TailsByMethod t = Evaluate(a, x, xLow, Forms::kTails, shape);
  return {t.lower.value, t.upper.value};
}

LogGammaTailsAndTerm LogRegularizedGammaTailsAndTerm(double a, double x, double xLow) {
  ShapeLogarithms shape;
  return LogRegularizedGammaTailsAndTerm(a, x, xLow, shape);
}

LogGammaTailsAndTerm LogRegularizedGammaTailsAndTerm(double a, double x, double xLow,
                                                     ShapeLogarithms& shape) {
  const Limits limits = LimitsOf(a, x);
  if (limits.settled) {
    return {{std::log(limits.lower), 0.0},
            {std::log(limits.upper), 0.0},
            LogPoissonTermAsDoubleDouble(a, x, xLow)};
  }
  const TailsByMethod t = Evaluate(a, x, xLow, Forms::kLogsAndTerm, shape);
  return {t.lower.log, t.upper.log, t.logTerm};
}

LogGammaTailsAsDoubleDouble LogRegularizedGammaTailsAsDoubleDouble(double a, double x,
                                                                   double xLow) {
  const Limits limits = LimitsOf(a, x);
  if (limits.settled) return {{std::log(limits.lower), 0.0}, {std::log(limits.upper), 0.0}};
  ShapeLogarithms shape;
  const TailsByMethod t = Evaluate(a, x, xLow, Forms::kLogs, shape);
  return {t.lower.log, t.upper.log};
}

GammaTails LogRegularizedGammaTails(double a, double x, double xLow) {
  const LogGammaTailsAsDoubleDouble t = LogRegularizedGammaTailsAsDoubleDouble(a, x, xLow);
  return {t.lower.hi + t.lower.lo, t.upper.hi + t.upper.lo};
}

DoubleDouble LogPoissonTermAsDoubleDouble(double a, double x, double xLow) {
  if (std::isnan(a) || std::isnan(x) || a < 0.0 || x < 0.0) return {NaN(), 0.0};
  if (std::isinf(x) || std::isinf(a)) return {-std::numeric_limits<double>::infinity(), 0.0};
  if (a == 0.0) return TwoSum(-x, -xLow);
  if (x == 0.0) return {-std::numeric_limits<double>::infinity(), 0.0};
  ShapeLogarithms shape;
  if (a < kStirlingFrom) return LogPrefactorOfSmallShape(a, x, xLow, shape.logGammaOnePlus);
  DoubleDouble logA = {NaN(), 0.0};
  const DoubleDouble aPhi = ShapeTimesDeviation(a, x, xLow, logA);
  if (std::isinf(aPhi.hi)) return {-std::numeric_limits<double>::infinity(), 0.0};
  return LogPrefactorOfLargeShape(a, aPhi, logA);
}

DoubleDouble LogGammaOnePlusAsDoubleDouble(double a) {
  if (a < kStirlingFrom) return LogGammaOnePlusOfSmall(a);
  // (a + ½) ln a - a + ½ ln 2π + μ(a).
  const DoubleDouble logA = Log(Exact(a));
  return ((logA * a + logA * 0.5 + kHalfLogOfTwoPi) - TwoSum(a, 0.0)) + StirlingRemainderSeries(a);
}

double LogPoissonTerm(double a, double x) {
  const DoubleDouble y = LogPoissonTermAsDoubleDouble(a, x, 0.0);
  return y.hi + y.lo;
}

double PoissonTerm(double a, double x) {
  const DoubleDouble y = LogPoissonTermAsDoubleDouble(a, x, 0.0);
  if (std::isinf(y.hi)) return 0.0;
  return Exp(y);
}

}  // namespace specfun::detail
