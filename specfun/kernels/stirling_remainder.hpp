// Stirling's remainder of ln Γ and the constants of Stirling's formula
// (internal).
#pragma once

namespace specfun::detail {

// ½·ln(2π) as the C library's logarithm and arctangent give it,
// 0.5·log(8·atan(1)) = 0x1.d67f1c864beb4p-1 (one unit below the double
// nearest to ½·ln(2π)); a literal, so that it is set before any caller's
// static initialiser runs.
inline constexpr double kHalfLogTwoPi = 0.91893853320467267;

// Stirling's remainder ln Γ(z) − (z − ½)·ln z + z − ½·ln(2π), to full
// precision for every z > 0 (its series from z = 10 on, the recurrence in
// z below).
double LogGammaRemainder(double z);

}  // namespace specfun::detail
