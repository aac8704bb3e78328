// ln Γ(x) for x > 0.
//
// Stirling's formula with its remainder given by the Stieltjes continued
// fraction (Abramowitz & Stegun 6.1.48) to eight coefficients, evaluated at
// z >= 5; smaller arguments are shifted up and brought back down with the
// recurrence ln Γ(x) = ln Γ(x + 1) - ln x.
#include "specfun/kernels/log_gamma.hpp"

#include <cmath>
#include <limits>

#include "specfun/kernels/batch.hpp"
#include "specfun/kernels/double_double.hpp"
#include "specfun/kernels/incomplete_gamma_coefficients.hpp"
#include "specfun/kernels/lanes.hpp"
#include "specfun/kernels/math_constants.hpp"
#include "specfun/kernels/stirling_remainder.hpp"
#include "specfun/kernels/table_log.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

// Arguments below this are shifted up to (5, 6] before Stirling's formula.
constexpr double kShiftThreshold = 5.0;
constexpr double kShiftBase = 6.0;
// Below this the shift would cancel the digits of x (and for x <= 2^-51 take
// ln 0), so ln Γ(x) = ln Γ(x + 1) - ln x is taken at once.
constexpr double kTinyArgument = 1e-3;

// Stirling's formula at z with the remainder's continued fraction.
template <class V>
V Stirling(const V& z) {
  const V logZ = detail::LaneLog(z);
  const V t = detail::StirlingRemainderStieltjes(z);
  return (z - 0.5) * logZ - z + detail::kHalfLogTwoPi + t;
}

int ShiftFor(double x) { return x < kShiftThreshold ? static_cast<int>(kShiftBase - x) : 0; }

// The recurrence from ln Γ(z) with z = x + shift down to ln Γ(x).
double ShiftDown(double s, double z, int shift) {
  for (int i = 0; i < shift; ++i) {
    z = z - 1.0;
    s = s - std::log(z);
  }
  return s;
}

bool IsTiny(double x) { return x > 0.0 && x < kTinyArgument; }

// Arguments answered without Stirling's formula: a NaN for x < 0, +∞ for +∞.
bool AnsweredAtOnce(double x) { return x < 0.0 || std::isinf(x); }
double AnswerAtOnce(double x) { return x < 0.0 ? std::numeric_limits<double>::quiet_NaN() : x; }

// kLaneCount arguments side by side: the scalar routine's steps lane by lane.
SPECFUN_LANE_TARGETS
void LnGammaLanes(const double* x, double* result) {
  using Pack = detail::Lanes;
  double z[detail::kLaneCount];
  int shift[detail::kLaneCount];
  for (int i = 0; i < detail::kLaneCount; ++i) {
    // An argument answered at once runs at 6 meanwhile.
    const double argument = AnsweredAtOnce(x[i]) ? kShiftBase : IsTiny(x[i]) ? x[i] + 1.0 : x[i];
    shift[i] = ShiftFor(argument);
    z[i] = argument + shift[i];
  }
  const Pack s = Stirling(Pack::Load(z));
  for (int i = 0; i < detail::kLaneCount; ++i) {
    const double value = ShiftDown(s.Get(i), z[i], shift[i]);
    if (AnsweredAtOnce(x[i])) {
      result[i] = AnswerAtOnce(x[i]);
    } else {
      result[i] = IsTiny(x[i]) ? value - std::log(x[i]) : value;
    }
  }
}

}  // namespace

double LnGamma(const double& x) {
  if (x < 0.0) return AnswerAtOnce(x);
  if (IsTiny(x)) {
    const double shifted = x + 1.0;
    return LnGamma(shifted) - std::log(x);
  }
  const int shift = ShiftFor(x);
  // +∞ (AnsweredAtOnce) needs no shift.
  if (shift == 0 && std::isinf(x)) return AnswerAtOnce(x);
  const double z = x + shift;
  return ShiftDown(Stirling(z), z, shift);
}

namespace detail {

constexpr std::size_t kFewLeftOver = 10;

void LnGammaInLockstep(const double* x, double* result, std::size_t count) {
  std::size_t i = 0;
  for (; i + kLaneCount <= count; i += kLaneCount) LnGammaLanes(x + i, result + i);
  if (i == count) return;
  // A few left over cost less one at a time than a set of padded lanes.
  if (count - i <= kFewLeftOver) {
    for (; i < count; ++i) result[i] = LnGamma(x[i]);
    return;
  }
  double paddedX[kLaneCount];
  double paddedResult[kLaneCount];
  for (int lane = 0; lane < kLaneCount; ++lane) {
    paddedX[lane] = i + lane < count ? x[i + lane] : kShiftBase;
  }
  LnGammaLanes(paddedX, paddedResult);
  for (std::size_t lane = 0; i + lane < count; ++lane) result[i + lane] = paddedResult[lane];
}

}  // namespace detail

void LnGammaBatch(const double* x, double* result, std::size_t count) {
  detail::RunQuietBatch(count, [=](std::size_t begin, std::size_t end) {
    detail::LnGammaInLockstep(x + begin, result + begin, end - begin);
  });
}

}  // namespace specfun

namespace specfun::detail {
namespace {

// Euler's constant and ζ(2) ... ζ(12), for the series of ln Γ(1 + b).
constexpr double kEulerGamma = 0.57721566490153286061;
constexpr double kZeta[] = {1.6449340668482264365, 1.2020569031595942854, 1.0823232337111381915,
                            1.0369277551433699263, 1.0173430619844491397, 1.0083492773819228268,
                            1.0040773561979443394, 1.0020083928260822144, 1.0009945751278180853,
                            1.0004941886041194646, 1.0002460865533080483};

// 1 - γ, the first coefficient of the series of ln Γ(2 + z).
constexpr DoubleDouble kOneLessEuler = {0.42278433509846713, 4.942915152430645e-18};

}  // namespace

// ln Γ(1 + b) for small |b| (the callers take |b| <= 0.01) from its Maclaurin series,
// -γ b + Σ ζ(k) (-b)^k / k (A&S 6.1.33).
double LogGammaOnePlusMaclaurin(double b) {
  double sum = 0.0;
  for (int k = 12; k >= 2; --k) sum = sum * -b + kZeta[k - 2] / k;
  return -kEulerGamma * b + b * b * sum;
}

// ln Γ(2 + z) for |z| <= 0.5 as a double-double, from its series (its
// first coefficient 1 - γ in double-double).
DoubleDouble LogGammaTwoPlus(double z) {
  // Σ_(k>=2) c_k z^(k-2) as four interleaved polynomials in z⁴, so that no
  // long chain of dependent steps bounds its time.
  const double z2 = z * z;
  const double z4 = z2 * z2;
  double part[4] = {0.0, 0.0, 0.0, 0.0};
  for (int k = kLogGammaTwoTerms - 1; k >= 1; --k) {
    double& p = part[(k - 1) % 4];
    p = kLogGammaTwoCoefficients[k] + z4 * p;
  }
  const double rest = (part[0] + z * part[1]) + z2 * (part[2] + z * part[3]);
  return (kOneLessEuler + z * rest) * z;
}

// ln Γ(1 + a) for -0.5 < a <= 1.5 as a double-double: ln Γ(2 + (a - 1)),
// and below a = 0.5 ln Γ(2 + a) with ln(1 + a) taken off in double-double.
DoubleDouble LogGammaOnePlusNearOne(double a) {
  if (a >= 0.5) return LogGammaTwoPlus(a - 1.0);
  const DoubleDouble onePlus = TwoSum(1.0, a);
  return LogGammaTwoPlus(a) - (Log(Exact(onePlus.hi)) + onePlus.lo / onePlus.hi);
}

// ln Γ(1 + c) = mu(1 + c) + (c + ½) ln(1 + c) - (1 + c) + ln √(2π), small
// for small c and formed from double-double parts.
DoubleDouble LogGammaOnePlusFromStirling(double c) {
  const DoubleDouble z = TwoSum(1.0, c);
  return StirlingRemainderDoubleDouble(z) + (z - 0.5) * TableLog(z) - z + kLogRootTwoPi;
}

// ln Γ(a + b) - ln Γ(a) for 0 < b <= 0.01, to a small error
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
    muDifference += kStirlingSeriesCoefficients[k - 1] * power * std::expm1((1 - 2 * k) * logRatio);
    power *= inverse * inverse;
  }
  return sum + ((a - 0.5) * logRatio + b * (std::log(a + b) - 1.0) + muDifference);
}

// ln Γ(e + c) - ln Γ(e) for 0 < c, to a small error relative to c:
//   (e - ½) ln(1 + c/e) + c (ln(e + c) - 1) + mu(e + c) - mu(e),
// the logarithms in double-double; the difference of mu from its series,
// term by term c_k e^(1 - 2k) ((1 + c/e)^(1 - 2k) - 1), for e >= 10, else
// from the double-double remainders.
DoubleDouble LogGammaShiftDoubleDouble(double e, double c) {
  const DoubleDouble sum = TwoSum(e, c);
  const DoubleDouble logRatio = TableLog(sum / e);
  DoubleDouble muDifference;
  if (e >= kStirlingSeriesStart) {
    const double inverse = 1.0 / e;
    double power = inverse;
    double series = 0.0;
    for (int k = 1; k <= kStirlingSeriesLongTerms; ++k) {
      series += kStirlingSeriesCoefficients[k - 1] * power * std::expm1((1 - 2 * k) * logRatio.hi);
      power *= inverse * inverse;
    }
    muDifference = Exact(series);
  } else {
    muDifference = StirlingRemainderDoubleDouble(sum) - StirlingRemainderDoubleDouble(Exact(e));
  }
  return logRatio * (e - 0.5) + (TableLog(sum) - 1.0) * c + muDifference;
}

}  // namespace specfun::detail
