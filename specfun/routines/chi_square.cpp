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
// is below 5e-9 absolute. Results are kept inside [0, 1]. Where a bound on
// the prefactor shows that the tail a fraction would give is far below
// 2^-54, its complement is 1 exactly and the fraction is not evaluated.
//
// Many tails at once (ChiSquareBatch, the terms of NCChiSquare) are planned
// one by one, then the fractions of equal method run side by side in
// vector lanes, ordered by depth, and the ln Γ of their prefactors too;
// every lane performs the operations of the single evaluation in the same
// order, so each result is bit for bit the scalar one.
#include "specfun/routines/chi_square.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>

#include "specfun/kernels/batch.hpp"
#include "specfun/kernels/inline_calls.hpp"
#include "specfun/kernels/lanes.hpp"
#include "specfun/kernels/log_one_plus.hpp"
#include "specfun/kernels/math_constants.hpp"
#include "specfun/kernels/stirling_remainder.hpp"
#include "specfun/kernels/log_gamma.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using detail::kLogTwo;
using detail::kTwoPi;

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
// Above the u of every node.
constexpr double kLowerKeepUCeiling = 2.5;

// The first node above nu, or the end.
const KeepNode* UpperKeepNode(double nu) {
  return std::upper_bound(std::begin(kLowerKeepNodes), std::end(kLowerKeepNodes), nu,
                          [](double value, const KeepNode& node) { return value < node.nu; });
}

// Far above the rounding of the interpolated u.
constexpr double kInterpolationMargin = 1e-9;

double LowerKeepU(double nu) {
  const KeepNode* upper = UpperKeepNode(nu);
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

using detail::Method;
using detail::Plan;

constexpr Plan Fraction(Method method, int depth) { return {method, depth, 0.0}; }
constexpr Plan Settled(double value) { return {Method::kSettled, 0, value}; }
constexpr Plan kWilsonHilfertyPlan{Method::kWilsonHilferty, 0, 0.0};

// The fractions below are written once for a lane type T: a double, or a
// vector of doubles whose lanes are independent arguments run side by side
// (each lane's arithmetic is that of the one-double evaluation, IEEE
// operation for operation, so it gives the same bits).
#define SPECFUN_ALWAYS_INLINE [[gnu::always_inline]] inline

// Legendre's fraction for Γ(a, z), each level normalised to 1 + c/(…):
// level k.
template <class T>
SPECFUN_ALWAYS_INLINE void UpperLevel(int k, const T& x, const T& nu, const T& f, T& next) {
  const T numerator = k % 2 == 0 ? T{} + k : (T{} + (k + 1)) - nu;
  next = 1.0 + numerator / (x * f);
}

// The fraction of γ(a, z), each level normalised to 1 ± c/(…): level k >= 2,
// then the first level that closes it.
template <class T>
SPECFUN_ALWAYS_INLINE void LowerLevel(int k, const T& x, const T& nu, const T& s, T& next) {
  const T shifted = nu + 2 * k;
  const T d = shifted * (shifted - 2.0);
  if (k % 2 == 0) {
    next = 1.0 + (((T{} + k) / d) * x) / s;
  } else {
    next = 1.0 - ((((nu + k) - 1.0) / d) * x) / s;
  }
}

template <class T>
SPECFUN_ALWAYS_INLINE void LowerClose(const T& x, const T& nu, T& s) {
  s = 1.0 - (x * (1.0 / (nu + 2.0))) / s;
}

double UpperFraction(double x, double nu, int depth) {
  double f = 1.0;
  for (int k = depth; k >= 1; --k) UpperLevel(k, x, nu, f, f);
  return f;
}

double LowerFraction(double x, double nu, int depth) {
  double s = 1.0;
  for (int k = depth; k >= 2; --k) LowerLevel(k, x, nu, s, s);
  LowerClose(x, nu, s);
  return s;
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
  bool LowerKeepHalfXGiven() const { return !std::isnan(given_.lowerKeepHalfX); }

 private:
  double nu_;
  detail::ChiSquareConstants given_;
};

constexpr detail::ChiSquareConstants kNoConstants{kNaN, kNaN, kNaN};

// The prefactors as written, ((ν/2 − 1)·ln(x/2) − x/2) − ln Γ(ν/2) and
// ((ν/2)·ln(x/2) − x/2) − ln Γ(ν/2 + 1), up to this ν; beyond it their
// rounding (about 1e-12 at ν = 700 and 2e-9 at 1e6) is replaced by the form
// above.
constexpr double kStablePrefactorFrom = 400.0;

// ln of the prefactor of the fraction `method`; ln(x/2) is `logHalfX`
// where that is not NaN (the same x for many ν).
double Exponent(Method method, double x, double nu, const Constants& constants, double logHalfX) {
  const double halfNu = nu * 0.5;
  const double halfX = x * 0.5;
  if (nu <= kStablePrefactorFrom) {
    double logOfHalfX = std::isnan(logHalfX) ? std::log(halfX) : logHalfX;
    // The smallest subnormal x halves to 0: ln(x/2) = ln x − ln 2.
    if (halfX == 0.0 && x > 0.0 && nu > 0.0) logOfHalfX = std::log(x) - kLogTwo;
    if (method == Method::kUpperFraction) {
      return ((halfNu - 1.0) * logOfHalfX - halfX) - constants.LnGammaHalfNu();
    }
    return (halfNu * logOfHalfX - halfX) - constants.LnGammaHalfNuPlusOne();
  }
  if (method == Method::kUpperFraction) {
    return detail::LogLowerPrefactor(halfNu, halfX) - std::log1p((halfX - halfNu) / halfNu);
  }
  return detail::LogLowerPrefactor(halfNu, halfX);
}

// A&S 26.4.14: (x/ν)^(1/3) is nearly normal with mean 1 − c and variance c,
// c = 2/(9ν); the cube root is taken as expm1(ln(1 + t)/3) with t = (x − ν)/ν,
// which keeps the digits that x/ν would round away for large ν. The result
// is the tail it computes, upper or lower.
double WilsonHilferty(double x, double nu, bool& upper) {
  const double c = 2.0 / 9.0 / nu;  // 9ν would overflow for the largest ν
  const double cubeRootMinusOne = std::expm1(std::log1p((x - nu) / nu) / 3.0);
  const double w = (cubeRootMinusOne + c) / std::sqrt(c);
  upper = w > 0.0;
  if (upper) return QGauss(w);
  const double minusW = -w;
  return QGauss(minusW);
}

bool IsEvenWhole(double nu) { return std::trunc(nu * 0.5) * 2.0 == nu; }

// min(ν − 2, 30) levels for an even ν, never fewer than none.
int FixedUpperDepth(double nu) {
  if (!IsEvenWhole(nu)) return kFractionDepth;
  return static_cast<int>(std::clamp(nu - kEvenDepthOffset, 0.0, static_cast<double>(kFractionDepth)));
}

Plan UpperBranch(double x, double nu) {
  if (IsEvenWhole(nu) || x >= UpperFractionKeepLimit(nu)) {
    return Fraction(Method::kUpperFraction, FixedUpperDepth(nu));
  }
  if (x >= kSmallXUpperFrom) {
    return Fraction(Method::kUpperFraction, static_cast<int>(std::ceil(SmallXUpperDepth(x))));
  }
  return Fraction(Method::kLowerFraction, kFractionDepth);
}

// x/2 <= LowerKeepHalfX(ν), deciding without the interpolation (where it is
// not given) where x/2 lies outside the band that the u of the two
// neighbouring nodes span (the interpolated u lies between them, and
// a + u·√a rounds monotonically in u).
bool WithinLowerKeep(double halfX, double nu, const Constants& constants) {
  if (nu > kLowerKeepAllUpTo && !constants.LowerKeepHalfXGiven()) {
    const double a = nu * 0.5;
    const double root = std::sqrt(a);
    // Every u lies between these two.
    if (halfX <= a + kLowerKeepBeyondNodes * root) return true;
    if (halfX > a + kLowerKeepUCeiling * root) return false;
    const KeepNode* upper = UpperKeepNode(nu);
    if (upper == std::end(kLowerKeepNodes)) return halfX <= constants.LowerKeepHalfX();
    const KeepNode* lower = upper - 1;
    if (halfX <= a + (std::min(lower->u, upper->u) - kInterpolationMargin) * root) return true;
    if (halfX > a + (std::max(lower->u, upper->u) + kInterpolationMargin) * root) return false;
  }
  return halfX <= constants.LowerKeepHalfX();
}

Plan LowerBranch(double x, double nu, bool upperWanted, const Constants& constants) {
  // P(0|ν) = 0 for every ν > 0, also where ν/2 underflows to 0.
  if (x == 0.0 && nu > 0.0) return Settled(upperWanted ? 1.0 : 0.0);
  if (WithinLowerKeep(x * 0.5, nu, constants)) return Fraction(Method::kLowerFraction, kFractionDepth);
  const double a = nu * 0.5;
  const double u = (x * 0.5 - a) / std::sqrt(a);
  const double depth = std::min(CentreDepth(a), OffCentreDepth(std::fabs(u)));
  if (depth > kMaxDepth) return kWilsonHilfertyPlan;
  const int levels = static_cast<int>(std::ceil(depth));
  return Fraction(u <= kCentreSwitch ? Method::kLowerFraction : Method::kUpperFraction, levels);
}

// The limits at an infinite argument; NaN where both are infinite.
double AtInfinity(double x, double nu, bool upperWanted) {
  if (std::isinf(x) && std::isinf(nu)) return kNaN;
  const bool allBelowX = std::isinf(x);
  return allBelowX == upperWanted ? 0.0 : 1.0;
}

// Where the tail a fraction computes directly is far below 2^-54, its
// complement rounds to exactly 1 and the fraction need not be evaluated.
// Its exponent L (step 4 or 8, or the stable form) is bounded above
// through Stirling's lower bound ln Γ(s) >= (s − ½)·ln s − s + ½·ln 2π,
// valid for every s > 0, and bounds of the logarithm free of any call:
//   lower fraction, r = z/(a + 1) <= ½, ln r <= 2(r − 1)/(r + 1):
//     L <= a·ln r + a + 1 − z <= a·2(r − 1)/(r + 1) + a + 1 − z;
//   upper fraction, R = z/a > 2, a >= 1, ln R <= (R − 1)/√R:
//     L <= (a − 1)·ln R + a − z <= (a − 1)·(R − 1)/√R + a − z;
// plus a margin far above the rounding of L and of the bound. The fraction
// itself is at least ½ there: the lower one is at least 1 − z/(a + 1)
// (A&S 6.5.29 summed as a geometric series), the upper one at least
// (z − a + 1)/z (A&S 6.5.32). A bound below ln(2^-54·½) leaves the direct
// tail below 2^-54; one below −746 leaves e^L, and so the direct tail, at
// exactly 0.
constexpr double kComplementIsOneBelow = -39.0;
constexpr double kDirectIsZeroBelow = -746.0;
constexpr double kExponentMargin = 1e-9;

// Whether the bound on L plus its margin lies below `threshold`; false
// where the bound does not apply.
bool ExponentBelow(const Plan& plan, double x, double nu, double threshold) {
  const double a = nu * 0.5;
  const double z = x * 0.5;
  if (!(a > 0.0 && z > 0.0)) return false;
  const double margin = kExponentMargin * (a + z + 1.0);
  if (plan.method == Method::kLowerFraction) {
    // The bound is at least 1 − a − z.
    if (!(z <= 0.5 * (a + 1.0) && 1.0 - a - z < threshold)) return false;
    const double r = z / (a + 1.0);
    return a * (2.0 * (r - 1.0) / (r + 1.0)) + (a + 1.0 - z) + margin < threshold;
  }
  // The bound is at least a − z.
  if (!(z > 2.0 * a && a >= 1.0 && a - z < threshold)) return false;
  const double ratio = z / a;
  return (a - 1.0) * ((ratio - 1.0) / std::sqrt(ratio)) + (a - z) + margin < threshold;
}

// The plan, settled at once where the bound decides the value.
Plan SettleByBound(const Plan& plan, double x, double nu, bool upperWanted) {
  if (plan.method != Method::kUpperFraction && plan.method != Method::kLowerFraction) return plan;
  if (upperWanted != (plan.method == Method::kUpperFraction)) {
    return ExponentBelow(plan, x, nu, kComplementIsOneBelow) ? Settled(1.0) : plan;
  }
  return ExponentBelow(plan, x, nu, kDirectIsZeroBelow) ? Settled(0.0) : plan;
}

Plan PlanTail(double x, double nu, bool upperWanted, const Constants& constants) {
  if (std::isnan(x) || std::isnan(nu)) return Settled(kNaN);
  if (std::isinf(x) || std::isinf(nu)) return Settled(AtInfinity(x, nu, upperWanted));
  if (nu >= kWilsonHilfertyFrom) return kWilsonHilfertyPlan;
  if (x / nu > kSwitchRatio) return SettleByBound(UpperBranch(x, nu), x, nu, upperWanted);
  return SettleByBound(LowerBranch(x, nu, upperWanted, constants), x, nu, upperWanted);
}

// The wanted tail from the one computed, kept inside [0, 1].
double Finish(double direct, bool directIsUpper, bool upperWanted) {
  const double value = upperWanted == directIsUpper ? direct : 1.0 - direct;
  return std::clamp(value, 0.0, 1.0);
}

// e^L, the prefactor of a planned fraction.
double Prefactor(const Plan& plan, double x, double nu, const Constants& constants,
                 double logHalfX = kNaN) {
  return std::exp(Exponent(plan.method, x, nu, constants, logHalfX));
}

// The wanted tail from the prefactor and the value of a planned fraction.
double FromFraction(const Plan& plan, double prefactor, double fraction, bool upperWanted) {
  return Finish(prefactor / fraction, plan.method == Method::kUpperFraction, upperWanted);
}

double FromWilsonHilferty(double x, double nu, bool upperWanted) {
  bool upper = false;
  const double direct = WilsonHilferty(x, nu, upper);
  return Finish(direct, upper, upperWanted);
}

// Lanes evaluated side by side in a batch: groups of eight, up to four
// groups (of either fraction) advancing level by level together, so that
// their divisions overlap. Eight, not the kLaneCount = 16 of the other
// batch routines: a group runs to the depth of its deepest member, and
// sixteen members sorted by depth spread further. Measured (make bench,
// AVX-512, median ns per element): ChiSquareBatch 62-66 with eight lanes
// against 133 with sixteen in two groups; NCChiSquare, whose terms run
// here, 2250-2720 against 4740 per call.
constexpr std::size_t kLanes = 8;
constexpr std::size_t kGroups = 4;
using Lanes = double __attribute__((vector_size(kLanes * sizeof(double))));

struct LaneGroup {
  Lanes x;
  Lanes nu;
  Lanes depth;
  Lanes value;
  int minDepth;
  int maxDepth;
  bool upper;
};

// kCount groups level by level, held in registers. Below the smallest depth
// of a group every lane takes the level; above it lanes whose depth is
// below k keep their value.
template <std::size_t kCount>
SPECFUN_ALWAYS_INLINE void GroupFractions(LaneGroup* groups) {
  Lanes x[kCount];
  Lanes nu[kCount];
  Lanes depth[kCount];
  Lanes value[kCount];
  int top = 0;
  for (std::size_t i = 0; i < kCount; ++i) {
    x[i] = groups[i].x;
    nu[i] = groups[i].nu;
    depth[i] = groups[i].depth;
    value[i] = Lanes{} + 1.0;
    top = std::max(top, groups[i].maxDepth);
  }
  for (int k = top; k >= 1; --k) {
    for (std::size_t i = 0; i < kCount; ++i) {
      const LaneGroup& group = groups[i];
      if (k > group.maxDepth || (!group.upper && k < 2)) continue;
      Lanes next;
      if (group.upper) {
        UpperLevel(k, x[i], nu[i], value[i], next);
      } else {
        LowerLevel(k, x[i], nu[i], value[i], next);
      }
      value[i] = k <= group.minDepth ? next : (Lanes{} + k <= depth[i] ? next : value[i]);
    }
  }
  for (std::size_t i = 0; i < kCount; ++i) {
    if (!groups[i].upper) LowerClose(x[i], nu[i], value[i]);
    groups[i].value = value[i];
  }
}

#undef SPECFUN_ALWAYS_INLINE

// The fractions of `count` groups (1 to kGroups), compiled for the widest
// vector unit present. Not flattened like the other lane drivers: the
// groups are already inlined, and flattening measured slower.
SPECFUN_LANE_TARGETS_UNFLATTENED
void FractionLanes(LaneGroup* groups, std::size_t count) {
  switch (count) {
    case 1:
      GroupFractions<1>(groups);
      break;
    case 2:
      GroupFractions<2>(groups);
      break;
    case 3:
      GroupFractions<3>(groups);
      break;
    default:
      GroupFractions<kGroups>(groups);
      break;
  }
}

// Orders `members` by the depth of their plans (few elements: insertion).
void SortByDepth(std::uint16_t* members, std::size_t count, const Plan* plans) {
  for (std::size_t i = 1; i < count; ++i) {
    const std::uint16_t member = members[i];
    std::size_t j = i;
    for (; j > 0 && plans[members[j - 1]].depth > plans[member].depth; --j) members[j] = members[j - 1];
    members[j] = member;
  }
}

// The elements of one method, ordered by depth, cut into groups of kLanes.
struct Members {
  std::uint16_t index[detail::kChiSquareChunk];
  std::size_t count = 0;
};

// The fractions of the members of both methods, up to kGroups groups of
// kLanes at a time (members ordered by depth, so a group's first member has
// its smallest depth and its last the largest); a short group is filled with
// idle lanes of depth 0.
void FractionsInLanes(const Members& upper, const Members& lower, const double* x,
                      const double* nu, const Plan* plans, double* fractions) {
  std::size_t upperNext = 0;
  std::size_t lowerNext = 0;
  while (upperNext < upper.count || lowerNext < lower.count) {
    LaneGroup groups[kGroups];
    const std::uint16_t* members[kGroups] = {};
    std::size_t used[kGroups] = {};
    std::size_t groupCount = 0;
    for (std::size_t i = 0; i < kGroups && (upperNext < upper.count || lowerNext < lower.count); ++i) {
      ++groupCount;
      const bool fromUpper = upperNext < upper.count;
      const Members& source = fromUpper ? upper : lower;
      std::size_t& next = fromUpper ? upperNext : lowerNext;
      used[i] = std::min(kLanes, source.count - next);
      members[i] = source.index + next;
      next += used[i];
      LaneGroup& group = groups[i];
      group.upper = fromUpper;
      group.minDepth = used[i] < kLanes ? 0 : plans[members[i][0]].depth;
      group.maxDepth = plans[members[i][used[i] - 1]].depth;
      for (std::size_t l = 0; l < kLanes; ++l) {
        const bool idle = l >= used[i];
        const std::size_t e = idle ? 0 : members[i][l];
        group.x[l] = idle ? 1.0 : x[e];
        group.nu[l] = idle ? 1.0 : nu[e];
        group.depth[l] = idle ? 0 : plans[e].depth;
      }
    }
    FractionLanes(groups, groupCount);
    for (std::size_t i = 0; i < groupCount; ++i) {
      for (std::size_t l = 0; l < used[i]; ++l) fractions[members[i][l]] = groups[i].value[l];
    }
  }
}

}  // namespace

namespace detail {

// ln of z^a·e^(−z)/Γ(a + 1), the lower fraction's prefactor, without the
// cancellation of its large terms: −a·(δ − ln(1 + δ)) − ½·ln(2πa) − R(a),
// with δ = (z − a)/a and R(a) the remainder of Stirling's series for
// ln Γ(a + 1).
double LogLowerPrefactor(double a, double z) {
  const double delta = (z - a) / a;
  return -a * SelfMinusLogOnePlus(delta) - 0.5 * std::log(kTwoPi * a) -
         StirlingRemainderThreeTerms(a);
}

ChiSquareConstants ChiSquareConstantsFor(double nu) {
  const double halfNu = nu * 0.5;
  const double halfNuPlusOne = halfNu + 1.0;
  return {LnGamma(halfNu), LnGamma(halfNuPlusOne), LowerKeepHalfXFor(nu)};
}

SPECFUN_INLINE_CALLS
double ChiSquareTail(double x, double nu, std::int32_t tail, const ChiSquareConstants& given) {
  const bool upperWanted = tail != 0;
  const Constants constants(nu, given);
  const Plan plan = PlanTail(x, nu, upperWanted, constants);
  switch (plan.method) {
    case Method::kSettled:
      return plan.settled;
    case Method::kWilsonHilferty:
      return FromWilsonHilferty(x, nu, upperWanted);
    case Method::kUpperFraction:
    case Method::kLowerFraction:
      break;
  }
  // The prefactor first: its work overlaps the fraction's chain of divisions.
  const double prefactor = Prefactor(plan, x, nu, constants);
  const double fraction = plan.method == Method::kUpperFraction ? UpperFraction(x, nu, plan.depth)
                                                                : LowerFraction(x, nu, plan.depth);
  return FromFraction(plan, prefactor, fraction, upperWanted);
}

double ChiSquareWithFixedDepth(double x, double nu, std::int32_t tail) {
  const bool upperWanted = tail != 0;
  const Constants constants(nu, kNoConstants);
  const Plan plan = x / nu > kSwitchRatio ? Fraction(Method::kUpperFraction, FixedUpperDepth(nu))
                                          : Fraction(Method::kLowerFraction, kFractionDepth);
  const double prefactor = Prefactor(plan, x, nu, constants);
  const double fraction = plan.method == Method::kUpperFraction ? UpperFraction(x, nu, plan.depth)
                                                                : LowerFraction(x, nu, plan.depth);
  return FromFraction(plan, prefactor, fraction, upperWanted);
}

ChiSquareChunk::ChiSquareChunk(const double* x, const double* nu, std::int32_t tail,
                               std::size_t count, bool sameX, const ChiSquareConstants* constants)
    : x_(x), nu_(nu), constants_(constants), count_(count), upperWanted_(tail != 0), logHalfX_(kNaN) {
  if (sameX && count > 0) logHalfX_ = std::log(x[0] * 0.5);
  Members upper;
  Members lower;
  for (std::size_t i = 0; i < count; ++i) {
    const ChiSquareConstants& given = constants_ == nullptr ? kNoConstants : constants_[i];
    plans_[i] = PlanTail(x[i], nu[i], upperWanted_, Constants(nu[i], given));
    const auto member = static_cast<std::uint16_t>(i);
    if (plans_[i].method == Method::kUpperFraction) upper.index[upper.count++] = member;
    if (plans_[i].method == Method::kLowerFraction) lower.index[lower.count++] = member;
  }
  SortByDepth(upper.index, upper.count, plans_);
  SortByDepth(lower.index, lower.count, plans_);
  FractionsInLanes(upper, lower, x, nu, plans_, fractions_);
}

// Elements whose ln Γ are taken together: one set of the shared lanes.
constexpr std::size_t kLnGammaGroup = detail::kLaneCount;

void ChiSquareChunk::LnGammasOfGroup(std::size_t group) {
  const std::size_t first = group * kLnGammaGroup;
  const std::size_t count = std::min(kLnGammaGroup, count_ - first);
  double arguments[kLnGammaGroup];
  for (std::size_t l = 0; l < count; ++l) {
    const std::size_t i = first + l;
    const double halfNu = nu_[i] * 0.5;
    arguments[l] = plans_[i].method == Method::kUpperFraction ? halfNu : halfNu + 1.0;
  }
  detail::LnGammaInLockstep(arguments, lnGammas_ + first, count);
  lnGammaGroupsDone_ |= 1u << group;
}

double ChiSquareChunk::Tail(std::size_t i) {
  const Plan& plan = plans_[i];
  switch (plan.method) {
    case Method::kSettled:
      return plan.settled;
    case Method::kWilsonHilferty:
      return FromWilsonHilferty(x_[i], nu_[i], upperWanted_);
    case Method::kUpperFraction:
    case Method::kLowerFraction:
      break;
  }
  ChiSquareConstants given = constants_ != nullptr ? constants_[i] : kNoConstants;
  if (constants_ == nullptr && nu_[i] <= kStablePrefactorFrom) {
    const std::size_t group = i / kLnGammaGroup;
    if ((lnGammaGroupsDone_ & (1u << group)) == 0) LnGammasOfGroup(group);
    (plan.method == Method::kUpperFraction ? given.lnGammaHalfNu : given.lnGammaHalfNuPlusOne) =
        lnGammas_[i];
  }
  const double prefactor = Prefactor(plan, x_[i], nu_[i], Constants(nu_[i], given), logHalfX_);
  return FromFraction(plan, prefactor, fractions_[i], upperWanted_);
}

}  // namespace detail

// ν = −0 is taken as +0 (adding +0 changes no other value): the quotient
// x/ν choosing the branch would otherwise take the other infinity.
double ChiSquare(const double& x, const double& nu, const std::int32_t& tail) {
  return detail::ChiSquareTail(x, nu + 0.0, tail, kNoConstants);
}

void ChiSquareBatch(const double* x, const double* nu, std::int32_t tail, double* result,
                    std::size_t count) {
  // Nothing is reported, so the driver only shares large batches among the
  // cores; every element is its scalar call whatever the chunk it falls in.
  detail::RunQuietBatch(count, [&](std::size_t begin, std::size_t end) {
    double unsignedNu[detail::kChiSquareChunk];
    for (std::size_t first = begin; first < end; first += detail::kChiSquareChunk) {
      const std::size_t size = std::min(detail::kChiSquareChunk, end - first);
      for (std::size_t i = 0; i < size; ++i) unsignedNu[i] = nu[first + i] + 0.0;
      detail::ChiSquareChunk chunk(x + first, unsignedNu, tail, size);
      for (std::size_t i = 0; i < size; ++i) result[first + i] = chunk.Tail(i);
    }
  });
}

}  // namespace specfun
