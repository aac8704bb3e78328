// Stirling's remainder mu(z) = ln Γ(z) - (z - 1/2) ln z + z - ln √(2π) from
// Stirling's series (A&S 6.1.40): to z^-15 with the recurrence below z = 10,
// or its first three terms for large z.
#include "specfun/kernels/stirling_remainder.hpp"

#include <cmath>

namespace specfun::detail {
namespace {

// From this z on three terms of Stirling's series give its remainder to
// 1e-19.
constexpr double kThreeTermsFrom = 200.0;

}  // namespace

// Below kStirlingSeriesStart from mu(z) = mu(z + 1) + (z + 1/2) ln(1 + 1/z)
// - 1, which follows from Γ(z + 1) = z Γ(z) and keeps its digits down to
// the smallest z.
double StirlingRemainderSeries(double z) {
  double shifted = 0.0;
  for (; z < kStirlingSeriesStart; z += 1.0) shifted += (z + 0.5) * std::log1p(1.0 / z) - 1.0;
  return shifted + StirlingSeriesTerms(z);
}

double StirlingRemainderThreeTerms(double z) {
  if (z < kThreeTermsFrom) return StirlingRemainderSeries(z);
  const double inverse = 1.0 / z;
  const double inverse2 = inverse * inverse;
  return inverse * (1.0 / 12.0 - inverse2 * (1.0 / 360.0 - inverse2 / 1260.0));
}

}  // namespace specfun::detail
