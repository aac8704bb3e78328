// The continued fraction of DiDonato and Morris for the incomplete beta
// function below its mean (internal): I(x, a, b) = x^a y^b / (B(a, b)
// fraction), y = 1 - x, one at a time or many side by side.
#pragma once

#include <cstddef>

namespace specfun::detail {

// The fraction's value given g = a y - b x, for x below the mean (g >= 0),
// to a relative tolerance of 1e-16.
double FractionDenominator(double x, double a, double b, double g);

// FractionDenominator(x[k], a[k], b[k], g[k]) for k < count, side by side,
// each lane at its own term: the same values, bit for bit.
void FractionDenominatorsInLanes(const double* x, const double* a, const double* b,
                                 const double* g, std::size_t count, double* fraction);

}  // namespace specfun::detail
