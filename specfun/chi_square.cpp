// The chi-square distribution: the lower tail P(x|ν) and the upper tail
// Q(x|ν) = 1 − P(x|ν), the regularized incomplete gamma functions P(a, z)
// and Q(a, z) with a = ν/2 and z = x/2.
//
// For x/ν > 2 the upper tail comes from Legendre's continued fraction of
// Γ(a, z) (A&S 6.5.31), otherwise the lower tail from the continued fraction
// of γ(a, z) = e^(−z)·z^a / (a − a·z/(a + 1 + z/(a + 2 − (a + 1)·z/(…))))
// (DLMF §8.9); the other tail is the complement. Each fraction is evaluated
// from its deepest level upward, 30 levels deep (an even ν up to 32 ends
// the upper fraction by itself after ν − 2 levels), times its prefactor e^L.
//
// Thirty levels fall short for small x in the upper fraction and, from
// ν = 12.3 on, near z = a in the lower one. The limits of those regions and
// the depth each point beyond them needs were measured against mpmath
// (tools/gen_chi_square_reference.py makes the tables that check them).
// Beyond the limits the fraction is taken deeper: below x = 1 the lower
// fraction instead of the upper one, near z = a the lower one up to
// z = a + √a/4 and the upper one above. Above ν = 400 the prefactor is
// computed in a form free of cancellation, since the rounding of L as
// written grows like ν·ln ν·1e-16. Where the fractions would need more than
// 1700 levels (ν above 2.3e6, z within 0.66·√a of a), and from ν = 1e10 on,
// the Wilson–Hilferty approximation (A&S 26.4.14) is used, whose error there
// is below 5e-9 absolute. Results are kept inside [0, 1].
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>

#include "specfun/chi_square_tail.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTwoPi = 6.283185307179586;

// x/ν above this takes the upper-tail fraction.
constexpr double kSwitchRatio = 2.0;
constexpr int kFractionDepth = 30;
// An even ν ends the upper fraction after ν − 2 levels.
constexpr double kEvenDepthOffset = 2.0;

// Upper fraction: 30 levels are within 8e-13 relative and 8e-14 + ν·8e-16
// absolute of Q for x at or above this limit (10.21 as ν → 0, at most 8.07
// for ν between 2 and 4; from ν = 3.9 on every x > 2ν qualifies).
double UpperFractionKeepLimit(double nu) { return nu < 2.0 ? 10.22 - 0.6 * nu : 8.1; }

// Upper fraction below that limit: the levels that reach 1e-16, with a
// margin, down to x = 1; below it 30 levels of the lower fraction reach that.
double SmallXUpperDepth(double x) { return 400.0 / x + 16.0; }
constexpr double kSmallXUpperFrom = 1.0;

// Lower fraction: 30 levels are within 8e-13 relative and 8e-14 + ν·8e-16
// absolute of P for z <= a + u·√a, u interpolated linearly in ln ν between
// these nodes (each a little below the measured limit, so that the
// interpolation stays inside it). Up to ν = 12.3 every x <= 2ν qualifies;
// beyond the last node the limit tends to u = −5.25.
struct KeepNode {
  double nu;
  double u;
};
constexpr double kLowerKeepAllUpTo = 12.3;
constexpr KeepNode kLowerKeepNodes[] = {
    {12.3, 2.469},   {13.0, 2.372},   {14.0, 2.221},   {15.0, 2.083},   {17.0, 1.840},
    {20.0, 1.539},   {25.0, 1.151},   {30.0, 0.851},   {40.0, 0.412},   {50.0, 0.095},
    {70.0, -0.344},  {100.0, -0.761}, {150.0, -1.263}, {200.0, -1.615}, {300.0, -2.080},
    {500.0, -2.609}, {700.0, -2.920}, {1e3, -3.233},   {2e3, -3.744},   {5e3, -4.250},
    {1e4, -4.526},   {3e4, -4.830},   {1e5, -5.025},   {3e5, -5.123},   {1e6, -5.188}};
constexpr double kLowerKeepBeyondNodes = -5.3;

double LowerKeepU(double nu) {
  const KeepNode* upper = std::upper_bound(
      std::begin(kLowerKeepNodes), std::end(kLowerKeepNodes), nu,
      [](double value, const KeepNode& node) { return value < node.nu; });
  if (upper == std::end(kLowerKeepNodes)) return kLowerKeepBeyondNodes;
  const KeepNode* lower = upper - 1;
  const double t = std::log(nu / lower->nu) / std::log(upper->nu / lower->nu);
  return lower->u + t * (upper->u - lower->u);
}

// The largest z = x/2 that 30 levels of the lower fraction serve.
double LowerKeepHalfXFor(double nu) {
  if (nu <= kLowerKeepAllUpTo) return std::numeric_limits<double>::infinity();
  const double a = nu * 0.5;
  return a + LowerKeepU(nu) * std::sqrt(a);
}

// Outside the keep regions near z = a, the levels that bring either fraction
// within 1e-16 (with a margin) at u = (z − a)/√a: a bound that grows like
// a^(1/3) at the centre and one in |u| alone away from it.
double CentreDepth(double a) { return 16.0 * std::cbrt(a) + 16.0; }
double OffCentreDepth(double absU) { return 16.0 + 48.0 / absU + 700.0 / (absU * absU); }
// z − a at or below this many √a takes the lower fraction.
constexpr double kCentreSwitch = 0.25;
constexpr double kMaxDepth = 1700.0;
// From this ν on the Wilson–Hilferty approximation is within 1e-12.
constexpr double kWilsonHilfertyFrom = 1e10;

// One tail as computed; the other is its complement.
struct DirectTail {
  double value;
  bool upper;
};

// Legendre's fraction for Γ(a, z), each level normalised to 1 + c/(…).
double UpperFraction(double x, double nu, int depth) {
  double f = 1.0;
  for (int k = depth; k >= 1; --k) {
    const double numerator = k % 2 == 0 ? static_cast<double>(k) : (k + 1) - nu;
    f = 1.0 + numerator / (x * f);
  }
  return f;
}

// The fraction of γ(a, z), each level normalised to 1 ± c/(…), closed by
// its first level.
double LowerFraction(double x, double nu, int depth) {
  double s = 1.0;
  for (int k = depth; k >= 2; --k) {
    const double shifted = nu + 2 * k;
    const double d = shifted * (shifted - 2.0);
    if (k % 2 == 0) {
      s = 1.0 + ((k / d) * x) / s;
    } else {
      s = 1.0 - ((((nu + k) - 1.0) / d) * x) / s;
    }
  }
  return 1.0 - (x * (1.0 / (nu + 2.0))) / s;
}

class Constants {
 public:
  Constants(double nu, const detail::ChiSquareConstants& given) : nu_(nu), given_(given) {}
  double LnGammaHalfNu() const {
    return std::isnan(given_.lnGammaHalfNu) ? LnGamma(nu_ * 0.5) : given_.lnGammaHalfNu;
  }
  double LnGammaHalfNuPlusOne() const {
    if (!std::isnan(given_.lnGammaHalfNuPlusOne)) return given_.lnGammaHalfNuPlusOne;
    const double argument = nu_ * 0.5 + 1.0;
    return LnGamma(argument);
  }
  double LowerKeepHalfX() const {
    return std::isnan(given_.lowerKeepHalfX) ? LowerKeepHalfXFor(nu_) : given_.lowerKeepHalfX;
  }

 private:
  double nu_;
  detail::ChiSquareConstants given_;
};

// ln of z^a·e^(−z)/Γ(a + 1), the lower fraction's prefactor, without the
// cancellation of its large terms: −a·(δ − ln(1 + δ)) − ½·ln(2πa) − R(a),
// with δ = (z − a)/a and R(a) the remainder of Stirling's series for
// ln Γ(a + 1).
double LogOnePlusMinusDelta(double delta) {
  if (std::fabs(delta) >= 0.1) return delta - std::log1p(delta);
  // δ − ln(1 + δ) = t·δ − 2(t³/3 + t⁵/5 + …) with t = δ/(2 + δ).
  const double t = delta / (2.0 + delta);
  const double t2 = t * t;
  double series = 1.0 / 13.0;
  for (int k = 11; k >= 3; k -= 2) series = 1.0 / k + t2 * series;
  return t * delta - 2.0 * t * t2 * series;
}

double StableLowerExponent(double a, double z) {
  const double delta = (z - a) / a;
  return -a * LogOnePlusMinusDelta(delta) - 0.5 * std::log(kTwoPi * a) -
         detail::StirlingRemainder(a);
}

// The prefactors as written, ((ν/2 − 1)·ln(x/2) − x/2) − ln Γ(ν/2) and
// ((ν/2)·ln(x/2) − x/2) − ln Γ(ν/2 + 1), up to this ν; beyond it their
// rounding (about 1e-12 at ν = 700 and 2e-9 at 1e6) is replaced by the form
// above.
constexpr double kStablePrefactorFrom = 400.0;

DirectTail UpperTail(double x, double nu, int depth, const Constants& constants) {
  const double halfNu = nu * 0.5;
  const double halfX = x * 0.5;
  double exponent = 0.0;
  if (nu <= kStablePrefactorFrom) {
    exponent = ((halfNu - 1.0) * std::log(halfX) - halfX) - constants.LnGammaHalfNu();
  } else {
    exponent = StableLowerExponent(halfNu, halfX) - std::log1p((halfX - halfNu) / halfNu);
  }
  return {std::exp(exponent) / UpperFraction(x, nu, depth), true};
}

DirectTail LowerTail(double x, double nu, int depth, const Constants& constants) {
  const double halfNu = nu * 0.5;
  const double halfX = x * 0.5;
  double exponent = 0.0;
  if (nu <= kStablePrefactorFrom) {
    exponent = (halfNu * std::log(halfX) - halfX) - constants.LnGammaHalfNuPlusOne();
  } else {
    exponent = StableLowerExponent(halfNu, halfX);
  }
  return {std::exp(exponent) / LowerFraction(x, nu, depth), false};
}

// A&S 26.4.14: (x/ν)^(1/3) is nearly normal with mean 1 − c and variance c,
// c = 2/(9ν); the cube root is taken as expm1(ln(1 + t)/3) with t = (x − ν)/ν,
// which keeps the digits that x/ν would round away for large ν.
DirectTail WilsonHilferty(double x, double nu) {
  const double c = 2.0 / 9.0 / nu;  // 9ν would overflow for the largest ν
  const double cubeRootMinusOne = std::expm1(std::log1p((x - nu) / nu) / 3.0);
  const double w = (cubeRootMinusOne + c) / std::sqrt(c);
  if (w > 0.0) return {QGauss(w), true};
  const double minusW = -w;
  return {QGauss(minusW), false};
}

bool IsEvenWhole(double nu) { return std::trunc(nu * 0.5) * 2.0 == nu; }

int FixedUpperDepth(double nu) {
  if (!IsEvenWhole(nu)) return kFractionDepth;
  return static_cast<int>(std::min(nu - kEvenDepthOffset, static_cast<double>(kFractionDepth)));
}

DirectTail UpperBranch(double x, double nu, const Constants& constants) {
  if (IsEvenWhole(nu) || x >= UpperFractionKeepLimit(nu)) {
    return UpperTail(x, nu, FixedUpperDepth(nu), constants);
  }
  if (x >= kSmallXUpperFrom) {
    const int depth = static_cast<int>(std::ceil(SmallXUpperDepth(x)));
    return UpperTail(x, nu, depth, constants);
  }
  return LowerTail(x, nu, kFractionDepth, constants);
}

DirectTail LowerBranch(double x, double nu, const Constants& constants) {
  if (x * 0.5 <= constants.LowerKeepHalfX()) return LowerTail(x, nu, kFractionDepth, constants);
  const double a = nu * 0.5;
  const double u = (x * 0.5 - a) / std::sqrt(a);
  const double depth = std::min(CentreDepth(a), OffCentreDepth(std::fabs(u)));
  if (depth > kMaxDepth) return WilsonHilferty(x, nu);
  const int levels = static_cast<int>(std::ceil(depth));
  if (u <= kCentreSwitch) return LowerTail(x, nu, levels, constants);
  return UpperTail(x, nu, levels, constants);
}

// The limits at an infinite argument; NaN where both are infinite.
double AtInfinity(double x, double nu, bool upperWanted) {
  if (std::isinf(x) && std::isinf(nu)) return kNaN;
  const bool allBelowX = std::isinf(x);
  return allBelowX == upperWanted ? 0.0 : 1.0;
}

}  // namespace

namespace detail {

double StirlingRemainder(double a) {
  const double inverse = 1.0 / a;
  const double inverse2 = inverse * inverse;
  return inverse * (1.0 / 12.0 - inverse2 * (1.0 / 360.0 - inverse2 / 1260.0));
}

ChiSquareConstants ChiSquareConstantsFor(double nu) {
  const double halfNu = nu * 0.5;
  const double halfNuPlusOne = halfNu + 1.0;
  return {LnGamma(halfNu), LnGamma(halfNuPlusOne), LowerKeepHalfXFor(nu)};
}

double ChiSquareTail(double x, double nu, std::int32_t tail, const ChiSquareConstants& given) {
  const bool upperWanted = tail != 0;
  if (std::isnan(x) || std::isnan(nu)) return kNaN;
  if (std::isinf(x) || std::isinf(nu)) return AtInfinity(x, nu, upperWanted);
  const Constants constants(nu, given);
  DirectTail direct{};
  if (nu >= kWilsonHilfertyFrom) {
    direct = WilsonHilferty(x, nu);
  } else if (x / nu > kSwitchRatio) {
    direct = UpperBranch(x, nu, constants);
  } else {
    direct = LowerBranch(x, nu, constants);
  }
  const double value = upperWanted == direct.upper ? direct.value : 1.0 - direct.value;
  return std::clamp(value, 0.0, 1.0);
}

}  // namespace detail

double ChiSquare(const double& x, const double& nu, const std::int32_t& tail) {
  return detail::ChiSquareTail(x, nu, tail, {kNaN, kNaN, kNaN});
}

}  // namespace specfun
