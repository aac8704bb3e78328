// ln Γ for callers inside the library (internal): many arguments at once,
// and the pieces of ln Γ that keep their digits where ln Γ itself would not,
// each in the forms whose bits their callers are pinned to, side by side.
#pragma once

#include <cstddef>

#include "specfun/kernels/double_double.hpp"

namespace specfun::detail {

// LnGamma of count arguments, kLaneCount at a time, without reporting.
void LnGammaInLockstep(const double* x, double* result, std::size_t count);

// ln Γ(1 + c) for small |c| (the callers take |c| <= 0.01): from its
// Maclaurin series -γ c + Σ ζ(k) (-c)^k / k (A&S 6.1.33) in double, for the
// incomplete beta's near-one tails.
double LogGammaOnePlusMaclaurin(double c);

// ln Γ(2 + z) for |z| <= 0.5 in double-double, from its Maclaurin series
// (A&S 6.1.33) to z^28, for the incomplete gamma kernels.
DoubleDouble LogGammaTwoPlus(double z);

// ln Γ(1 + a) for -0.5 < a <= 1.5 in double-double, from LogGammaTwoPlus at
// a - 1 (or at a, less ln(1 + a)), for the incomplete gamma kernels.
DoubleDouble LogGammaOnePlusNearOne(double a);

// ln Γ(1 + c) in double-double for any c > -1: Stirling's formula at 1 + c
// with its remainder in double-double, for the precise beta family.
DoubleDouble LogGammaOnePlusFromStirling(double c);

// ln Γ(e + c) - ln Γ(e) for 0 < c <= e in double, to a small error
// relative to c (the incomplete beta's near-one tails, where c <= 0.01).
double LogGammaShift(double e, double c);

// ln Γ(e + c) - ln Γ(e) for 0 < c in double-double, to a small error
// relative to c (the precise beta family).
DoubleDouble LogGammaShiftDoubleDouble(double e, double c);

}  // namespace specfun::detail
