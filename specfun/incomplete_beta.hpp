// The incomplete beta function with its normalising constant supplied, and
// both of its tails to full relative accuracy (internal).
#pragma once

#include <cfloat>
#include <cstddef>

#include "specfun/batch.hpp"

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

struct BetaTails {
  double lower;
  double upper;
};

// I(x, a, b) and 1 - I(x, a, b), each to a small relative error of its own
// size (down to the smallest normal double), for 0 <= x <= 1 with y = 1 - x
// supplied by the caller (so a complement near 1 keeps its digits), and any
// a, b > 0 up to the largest double. Subnormal or infinite parameters give
// the limiting values; a NaN anywhere gives NaNs.
BetaTails IncompleteBetaTails(double x, double y, double a, double b);

// IncompleteBetaTails of count (at most kChunkLength) elements, their
// continued fractions side by side: the same values, bit for bit.
void IncompleteBetaTailsInLockstep(const double* x, const double* y, const double* a,
                                   const double* b, std::size_t count, BetaTails* tails);

// ln I(x, a, b) and ln(1 - I(x, a, b)), each to a small absolute error
// (each tail to a small relative one, below the doubles' range too), with
// logPrefactor = ln(x^a (1 - x)^b / B(a, b)), for 0 < x < 1 given with
// y = 1 - x and both logarithms (x or y may underflow to 0 where its
// logarithm is finite), and a, b > 0. Subnormal or infinite parameters give
// the logarithms of the limits of IncompleteBetaTails; a NaN gives NaNs.
struct LogBetaTails {
  double lower;
  double upper;
  double logPrefactor;
};
LogBetaTails LogIncompleteBetaTails(double x, double y, double logX, double logY, double a,
                                    double b);

// ln B(a, b) for a, b > 0, from Stirling's remainders as in
// IncompleteBetaTails' prefactor (±∞ where it overflows).
double LogBeta(double a, double b);

// I(x, a, b) given ln x, for x below the smallest normal double, to a small
// relative error, from the series x^a (1 - x)^b / (a B(a, b)) (1 +
// (a + b) x / (a + 1) + ...). Subnormal or infinite parameters give the
// limits of IncompleteBetaTails; a NaN or a parameter not above 0 a NaN.
double LowerTailOfTinyArgument(double logX, double a, double b);

}  // namespace specfun::detail
