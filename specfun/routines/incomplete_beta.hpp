// BETAF for callers inside the library (internal): with its normalising
// constant supplied, its choice of the 41-iteration fraction, and many
// elements at once.
#pragma once

#include <cfloat>
#include <cstddef>

#include "specfun/kernels/batch.hpp"

namespace specfun::detail {

// -ln B(a, b) = ln Γ(a + b) - ln Γ(a) - ln Γ(b), subtracted in that order.
double NegativeLogBeta(double a, double b);

// Above this parameter ln B(a, b) from three ln Γ values of size a ln a
// carries more than a few 1e-10 of rounding (about 3e-10 here).
inline constexpr double kFractionParameterLimit = 1.25e5;

// Whether BETAF(x, a, b) is evaluated by its 41-iteration continued fraction
// (0 < x < 1, a and b normal doubles up to kFractionParameterLimit). Where
// that fraction converges within 41 iterations its value is BETAF's, bit for
// bit; elsewhere BETAF takes IncompleteBetaTails.
inline bool TakesFortyOneIterationFraction(double x, double a, double b) {
  const auto ordinary = [](double p) { return p >= DBL_MIN && p <= kFractionParameterLimit; };
  return x > 0.0 && x < 1.0 && ordinary(a) && ordinary(b);
}

// BETAF(x, a, b) given negativeLogBeta = NegativeLogBeta(a, b): the same
// value, bit for bit, and the same diagnostics.
double IncompleteBeta(double x, double a, double b, double negativeLogBeta);

// IncompleteBeta, setting `settled` where the value comes without a report:
// from IncompleteBetaTails, or from the fraction within 20 iterations.
double IncompleteBeta(double x, double a, double b, double negativeLogBeta, bool& settled);

// IncompleteBeta where TakesFortyOneIterationFraction(x, a, b): the fraction itself.
double FortyOneIterationFraction(double x, double a, double b, double negativeLogBeta, bool& settled);

// BETAF(x, a, b) where TakesFortyOneIterationFraction(x, a, b).
double FortyOneIterationFraction(double x, double a, double b);

// Reports the convergence of the fraction after m > 20 iterations.
void ReportIterations(int m);

// LnGamma(a[i]), LnGamma(b[i]) and LnGamma(a[i] + b[i]) of count (at most
// kChunkLength) pairs, side by side.
void LnGammaOfPairsInLockstep(const double* a, const double* b, std::size_t count, double* lnGammaA,
                              double* lnGammaB, double* lnGammaSum);

// NegativeLogBeta of count (at most kChunkLength) pairs, side by side.
void NegativeLogBetaInLockstep(const double* a, const double* b, std::size_t count,
                               double* negativeLogBeta);

// IncompleteBeta of count (at most kChunkLength) elements, side by side,
// with the same values and records: flags[i] is kDone, or kDeferred where
// element i's records are appended to `records` (their element being i).
void IncompleteBetaInLockstep(const double* x, const double* a, const double* b,
                              const double* negativeLogBeta, std::size_t count, double* result,
                              ElementFlag* flags, DeferredRecords& records);

}  // namespace specfun::detail
