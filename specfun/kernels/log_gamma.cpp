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
#include "specfun/kernels/lanes.hpp"
#include "specfun/kernels/stirling_remainder.hpp"
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
