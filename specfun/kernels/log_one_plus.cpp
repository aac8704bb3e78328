// δ - ln(1 + δ): log1p where that keeps its digits, the series of
// 2 atanh(δ/(2 + δ)) for small |δ|.
#include "specfun/kernels/log_one_plus.hpp"

#include <cmath>

namespace specfun::detail {
namespace {

// Below this |δ| the difference δ - log1p(δ) would cancel.
constexpr double kSeriesBelow = 0.1;

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

}  // namespace specfun::detail
