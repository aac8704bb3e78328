// The quantile of the chi-square distribution for either tail (internal),
// for the inverses that reduce to it (F with an infinite degree of freedom,
// the beta distribution with one parameter beyond all bounds), and
// ChiSquareInv over a chunk side by side.
#pragma once

#include <cstddef>

#include "specfun/kernels/batch.hpp"

namespace specfun::detail {

// The x with Q(x|ν) = tail when `upper`, else with P(x|ν) = tail, for
// 0 <= tail <= 1 and ν >= 0: 0 or +∞ at the ends, relative error below 1e-9
// (the given tail is exact, so a lower tail near 0 keeps its digits). +∞
// for ν = +∞, NaN for a NaN or negative argument.
double SolveChiSquareQuantile(double tail, bool upper, double nu);

// ChiSquareInv of count (at most kChunkLength) elements side by side:
// flags[i] is kDone for 0 < p[i] < 1 and 0 < nu[i] < ∞, else
// kEvaluateScalar (the scalar routine answers, and may report) and
// result[i] is not set.
void ChiSquareInvInLockstep(const double* p, const double* nu, std::size_t count, double* result,
                            ElementFlag* flags);

}  // namespace specfun::detail
