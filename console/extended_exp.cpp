#include "console/extended_exp.hpp"

#include <cmath>

namespace console {

double ExtendedExp(double x) {
  constexpr long double kLog2E = 1.442695040888963407359924681001892137L;
  const long double t = static_cast<long double>(x) * kLog2E;
  const long double n = std::nearbyint(t);
  const long double f = t - n;
  return static_cast<double>(std::exp2(f) * std::exp2(n));
}

}  // namespace console
