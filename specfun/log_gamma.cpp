// ln Γ(x) for x > 0.
//
// Stirling's formula with its remainder given by the Stieltjes continued
// fraction (Abramowitz & Stegun 6.1.48) to eight coefficients, evaluated at
// z >= 5; smaller arguments are shifted up and brought back down with the
// recurrence ln Γ(x) = ln Γ(x + 1) - ln x.
#include <array>
#include <cmath>
#include <limits>

#include "specfun/log_gamma.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

// Coefficients a0 ... a7 of the remainder's continued fraction
// a0/(z + a1/(z + a2/(z + ... a7/z))). a6 is the value the routine has always
// used; it departs from the exact coefficient in the eighth digit.
constexpr std::array<double, 8> kRemainder = {
    0.083333333333333329, 0.033333333333333333, 0.25238095238095237, 0.52560646900269536,
    1.0115230681268417,   1.5174736491532874,   2.2694889572773258,  3.0099173832593982};

// Arguments below this are shifted up to (5, 6] before Stirling's formula.
constexpr double kShiftThreshold = 5.0;
constexpr double kShiftBase = 6.0;
// Below this the shift would cancel the digits of x (and for x <= 2^-51 take
// ln 0), so ln Γ(x) = ln Γ(x + 1) - ln x is taken at once.
constexpr double kTinyArgument = 1e-3;

double StirlingRemainder(double z) {
  double t = kRemainder[7] / z;
  for (int k = 6; k >= 0; --k) t = kRemainder[k] / (z + t);
  return t;
}

}  // namespace

double LnGamma(const double& x) {
  if (x < 0.0) return std::numeric_limits<double>::quiet_NaN();
  if (std::isinf(x)) return x;
  if (x > 0.0 && x < kTinyArgument) {
    const double shifted = x + 1.0;
    return LnGamma(shifted) - std::log(x);
  }
  const int shift = x < kShiftThreshold ? static_cast<int>(kShiftBase - x) : 0;
  double z = x + shift;
  double s = (z - 0.5) * std::log(z) - z + detail::kHalfLogTwoPi + StirlingRemainder(z);
  for (int i = 0; i < shift; ++i) {
    z = z - 1.0;
    s = s - std::log(z);
  }
  return s;
}

}  // namespace specfun
