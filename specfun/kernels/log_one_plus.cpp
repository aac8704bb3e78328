// δ - ln(1 + δ), ln(1 + t) - t with a bound on its rounding, and ln(1 + u) - u
// in double-double: log1p (or Log) where that keeps its digits, the series of
// 2 atanh(t/(2 + t)) for small |t|.
#include "specfun/kernels/log_one_plus.hpp"

#include <cmath>

#include "specfun/kernels/math_constants.hpp"

namespace specfun::detail {
namespace {

// Below this |δ| the difference δ - log1p(δ) would cancel.
constexpr double kSeriesBelow = 0.1;

// Below this |t| LogOnePlusMinusWithBound takes the series in s = t/(2 + t)
// (s² below 0.021, nine terms); beyond it log1p.
constexpr double kBoundedSeriesBelow = 0.25;
constexpr int kBoundedSeriesTerms = 9;
static_assert(kBoundedSeriesTerms <= (kLastOddTerm - 1) / 2);

// 2^-53, the bound on one operation's relative rounding.

}  // namespace

double SelfMinusLogOnePlus(double delta) {
  if (std::fabs(delta) >= kSeriesBelow) return delta - std::log1p(delta);
  // δ - ln(1 + δ) = t·δ - 2(t³/3 + t⁵/5 + …) with t = δ/(2 + δ).
  const double t = delta / (2.0 + delta);
  const double t2 = t * t;
  double series = 1.0 / 13.0;
  for (int k = 11; k >= 3; k -= 2) series = 1.0 / k + t2 * series;
  return t * delta - 2.0 * t * t2 * series;
}

RoundedValue LogOnePlusMinusWithBound(double t) {
  if (std::fabs(t) <= kBoundedSeriesBelow) {
    // 2 atanh(s) - t = 2 s³ Σ s^(2k)/(2k + 3) - t s (A&S 4.6.22, 2s - t = -t s).
    const double s = t / (2.0 + t);
    const double s2 = s * s;
    double tail = 0.0;
    for (int k = kBoundedSeriesTerms - 1; k >= 0; --k) tail = tail * s2 + kOddReciprocals[k];
    const double value = 2.0 * s * s2 * tail - t * s;
    return {value, 8.0 * kUnitRoundoff * std::fabs(value)};
  }
  const double log = std::log1p(t);
  const double value = log - t;
  const double conditioning = t * t / (1.0 + t);
  return {value, kUnitRoundoff * (2.0 * std::fabs(log) + 2.0 * std::fabs(t) + 2.0 * conditioning)};
}

namespace {

constexpr DoubleDouble kThird = {0.3333333333333333, 1.850371707708594e-17};
constexpr DoubleDouble kFifth = {0.2, -1.1102230246251566e-17};
constexpr DoubleDouble kSeventh = {0.14285714285714285, 7.93016446160826e-18};
// Below this |u| the double-double ln(1 + u) - u is taken from its series.
constexpr double kDoubleDoubleSeriesBelow = 0.05;

// S(s) = Σ s^(2k)/(2k + 3), so that atanh(s) = s + s³ S(s), for
// s² <= 1/9, with its terms from s⁶/9 on summed in double (`terms` of them).
DoubleDouble AtanhRemainder(const DoubleDouble& s, int terms) {
  const DoubleDouble s2 = s * s;
  double tail = 0.0;
  for (int k = terms - 1; k >= 0; --k) tail = tail * s2.hi + kOddReciprocals[k + 3];
  return kThird + s2 * (kFifth + s2 * (kSeventh + s2 * tail));
}

}  // namespace

DoubleDouble LogOnePlusMinus(const DoubleDouble& u) {
  // Beyond kDoubleDoubleSeriesBelow ln(1 + u) itself keeps 1e-19 of the difference.
  if (std::fabs(u.hi) > kDoubleDoubleSeriesBelow) return Log(u + 1.0) - u;
  // ln(1 + u) - u = 2 s³ S(s) - u s, as 2s - u = -u s; |s| <= 0.026.
  const DoubleDouble s = u / (u + 2.0);
  constexpr int kTerms = 4;
  return s * (s * s) * AtanhRemainder(s, kTerms) * 2.0 - u * s;
}

}  // namespace specfun::detail
