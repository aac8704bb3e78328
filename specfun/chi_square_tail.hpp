// The chi-square tails with the parts that depend on the degrees of freedom
// alone worked out once, for callers that evaluate many x at one nu
// (internal).
#pragma once

#include <cstdint>

namespace specfun::detail {

// ln Γ(ν/2) and ln Γ(ν/2 + 1), the normalising constants of the two
// continued fractions, and the largest x/2 at which 30 levels of the lower
// fraction suffice. A value left NaN is computed when it is needed.
struct ChiSquareConstants {
  double lnGammaHalfNu;
  double lnGammaHalfNuPlusOne;
  double lowerKeepHalfX;
};

// All constants for nu.
ChiSquareConstants ChiSquareConstantsFor(double nu);

// ChiSquare(x, nu, tail), taking from `constants` what is not NaN there; the
// result is the same, bit for bit.
double ChiSquareTail(double x, double nu, std::int32_t tail, const ChiSquareConstants& constants);

// ln Γ(a + 1) − ((a + ½)·ln a − a + ½·ln 2π), the remainder of Stirling's
// series (A&S 6.1.40, three terms), for a >= 200.
double StirlingRemainder(double a);

}  // namespace specfun::detail
