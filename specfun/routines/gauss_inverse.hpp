// The accurate completion of the inverse Gaussian (internal), shared by
// QGaussInv and by callers that run its three Newton steps themselves.
#pragma once

#include <cstddef>

#include "specfun/kernels/batch.hpp"

namespace specfun::detail {

// Given 0 < p < 1 and x, the deviate after the rational start and three
// Newton steps on QGauss: x itself where it is within 8e-13 relative (or
// 1e-17 absolute, at the centre) of the x with Q(x) = p, else that x to
// about 1e-14 relative. The three steps fall short of that near p = 1/2,
// just above the switch of QGauss's fractions at 2.25, for p within 1e-7 of
// 1 (Q near 1 has only absolute accuracy) and below Q(37).
double RefineGaussianDeviate(double p, double x);

// The same, given also smallerTailX, the deviate after the rational start
// and three Newton steps for the smaller tail min(p, 1 - p) (x itself for
// p <= 1/2).
double RefineGaussianDeviate(double p, double x, double smallerTailX);

// QGaussInv of count (at most kChunkLength) probabilities side by side:
// flags[i] is kDone for 0 < p[i] < 1, else kEvaluateScalar (the scalar
// routine answers, and may report) and result[i] is not set.
void QGaussInvInLockstep(const double* p, std::size_t count, double* result, ElementFlag* flags);

}  // namespace specfun::detail
