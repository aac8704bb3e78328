// Both tails of the regularized incomplete beta function, I(x, a, b) and
// 1 - I(x, a, b), each to full relative accuracy, and their logarithms
// (internal): the kernel under BETAF beyond its fraction, the beta, F, t and
// binomial inverses and the precise beta family.
#pragma once

#include <cstddef>

namespace specfun::detail {

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
