// The quantile of the chi-square distribution for either tail (internal),
// for the inverses that reduce to it (F with an infinite degree of freedom,
// the beta distribution with one parameter beyond all bounds), and the
// accurate completion of ChiSquareInv's Newton run, shared with callers
// that run those steps themselves.
#pragma once

#include <cstddef>

#include "specfun/batch.hpp"

namespace specfun::detail {

// The x with Q(x|ν) = tail when `upper`, else with P(x|ν) = tail, for
// 0 <= tail <= 1 and ν >= 0: 0 or +∞ at the ends, relative error below 1e-9
// (the given tail is exact, so a lower tail near 0 keeps its digits). +∞
// for ν = +∞, NaN for a NaN or negative argument.
double SolveChiSquareQuantile(double tail, bool upper, double nu);

// ChiSquareInv's result given x from its Newton run on Q(x|ν) = p (0 < p < 1,
// 0 < ν < ∞), whether that run met its tolerance, and the Gaussian deviate
// z of p: x itself where the run converged and a Newton step on the
// logarithm of the smaller tail would move it by less than 1e-8 relative,
// else the root to about 1e-12 (from ν = 1e10 on, the Wilson–Hilferty
// quantile of z).
double RefineChiSquareQuantile(double p, double nu, double z, double x, bool converged);

// ChiSquareInv of count (at most kChunkLength) elements side by side:
// flags[i] is kDone for 0 < p[i] < 1 and 0 < nu[i] < ∞, else
// kEvaluateScalar (the scalar routine answers, and may report) and
// result[i] is not set.
void ChiSquareInvInLockstep(const double* p, const double* nu, std::size_t count, double* result,
                            ElementFlag* flags);

}  // namespace specfun::detail
