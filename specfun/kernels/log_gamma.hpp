// ln Γ for callers inside the library (internal): many arguments at once.
#pragma once

#include <cstddef>

namespace specfun::detail {

// LnGamma of count arguments, kLaneCount at a time, without reporting.
void LnGammaInLockstep(const double* x, double* result, std::size_t count);

}  // namespace specfun::detail
