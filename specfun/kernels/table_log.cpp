// The natural logarithm in double-double from a table of reciprocals.
#include "specfun/kernels/table_log.hpp"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "specfun/kernels/table_log_points.hpp"

namespace specfun::detail {
namespace {

// ln 2 = kLogTwoHigh + kLogTwoLow, the first of 42 bits, so that e ln 2 is
// exact in its leading part for any binary exponent e.
constexpr double kLogTwoHigh = 0.6931471805598903;
constexpr double kLogTwoLow = 5.497923018708371e-14;
// 1/k (-1)^k for k = 3 ... 10, the terms of ln(1 + t) beyond t²/2 over t³.
constexpr double kSeries[] = {1.0 / 3, -1.0 / 4, 1.0 / 5, -1.0 / 6,
                              1.0 / 7, -1.0 / 8, 1.0 / 9, -1.0 / 10};
constexpr int kSeriesTerms = sizeof kSeries / sizeof kSeries[0];
static_assert(kSeriesTerms % 2 == 0);

}  // namespace

DoubleDouble TableLog(const DoubleDouble& v) {
  if (!(v.hi > 0.0 && v.hi <= DBL_MAX)) return Exact(std::log(v.hi));
  const auto [fraction, exponent, scaledLo] = ReduceToOctave(v);
  // The nearest point: (m - 1) 256 is a multiple of 2^-45 below 128 in size,
  // so that adding ½ rounds nothing.
  const double steps = (fraction - 1.0) * kTableLogSteps;
  const int nearest = static_cast<int>(std::fabs(steps) + 0.5);
  const int j = steps < 0.0 ? -nearest : nearest;
  // m r = 1 + t, exactly in double-double: r has 20 bits, each half of m 27.
  const TableLogPoint& point = kTableLogPoints[j - kTableLogFirst];
  const DoubleDouble halves = Split(fraction);
  const DoubleDouble t = TwoSum(halves.hi * point.reciprocal - 1.0, halves.lo * point.reciprocal) +
                         scaledLo * point.reciprocal;
  // ln(1 + t) = t - t²/2 + t³ P(t).
  const DoubleDouble square = TwoProduct(t.hi, t.hi);
  const DoubleDouble leading = TwoSum(t.hi, -0.5 * square.hi);
  // P(t) by its even and odd terms, two independent chains in t².
  const double t2 = t.hi * t.hi;
  double even = 0.0;
  double odd = 0.0;
  for (int k = kSeriesTerms - 2; k >= 0; k -= 2) {
    even = even * t2 + kSeries[k];
    odd = odd * t2 + kSeries[k + 1];
  }
  const double series = even + t.hi * odd;
  const double low = leading.lo - 0.5 * square.lo + t.lo * (1.0 - t.hi) +
                     t.hi * square.hi * series;
  // e ln 2 - ln r + ln(1 + t).
  const double e = static_cast<double>(exponent);
  const DoubleDouble first = TwoSum(e * kLogTwoHigh, point.minusLog.hi);
  const DoubleDouble second = TwoSum(first.hi, leading.hi);
  return FastTwoSum(second.hi, second.lo + first.lo + point.minusLog.lo + low + e * kLogTwoLow);
}

}  // namespace specfun::detail
