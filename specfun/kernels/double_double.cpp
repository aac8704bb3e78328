// The natural logarithm in double-double arithmetic: x = 2^e m with
// √½ <= m < √2, ln m = 2 atanh(s) = 2s + 2s³/3 + 2s⁵/5 + ..., s = (m - 1)/(m + 1)
// (A&S 4.1.27), |s| <= 0.172; s and the first two terms in double-double, the
// rest, below 6e-5, in double.
#include <cmath>

#include "specfun/kernels/double_double.hpp"

namespace specfun::detail {
namespace {

// ln 2 and 2/3 as double-double constants.
constexpr DoubleDouble kLogTwo = {0.69314718055994529, 2.3190468138462996e-17};
constexpr DoubleDouble kTwoThirds = {0.66666666666666663, 3.7007434154171886e-17};
constexpr double kRootHalf = 0.70710678118654752;
// 2/(2k + 1) for k = 2 ... 11: the series' terms past s³ (s² <= 0.0295, so
// eleven terms reach below 1e-22 of the logarithm).
constexpr double kOddReciprocals[] = {2.0 / 5,  2.0 / 7,  2.0 / 9,  2.0 / 11, 2.0 / 13,
                                      2.0 / 15, 2.0 / 17, 2.0 / 19, 2.0 / 21, 2.0 / 23};

}  // namespace

DoubleDouble LogAsDoubleDouble(double x) {
  int exponent = 0;
  double m = std::frexp(x, &exponent);
  if (m < kRootHalf) {
    m *= 2.0;
    --exponent;
  }
  const DoubleDouble s = DoubleDouble{m - 1.0, 0.0} / TwoSum(m, 1.0);
  const DoubleDouble s2 = s * s;
  const DoubleDouble s3 = s2 * s;
  double tail = kOddReciprocals[9];
  for (int k = 8; k >= 0; --k) tail = kOddReciprocals[k] + s2.hi * tail;
  const DoubleDouble series =
      s * 2.0 + (s3 * kTwoThirds + s3.hi * s2.hi * tail);
  return kLogTwo * static_cast<double>(exponent) + series;
}

DoubleDouble OneMinusExp(double y) {
  const double p = -std::expm1(y);
  // Where p rounds to 1, e^y is below half an ulp of 1: 1 - e^y as it stands.
  if (p == 1.0) return {1.0, -std::exp(y)};
  const DoubleDouble q = TwoSum(1.0, -p);
  const DoubleDouble logQ = LogAsDoubleDouble(q.hi) + q.lo / q.hi;
  const DoubleDouble residual = logQ + -y;
  return FastTwoSum(p, q.hi * (residual.hi + residual.lo));
}

}  // namespace specfun::detail
