// The inverse of the regularized incomplete gamma functions in x, from the
// logarithm of either tail (internal).
#pragma once

#include "specfun/kernels/double_double.hpp"

namespace specfun::detail {

// The x >= 0 with ln P(a, x) = logTail (upper false) or ln Q(a, x) = logTail
// (upper true), for a > 0 and logTail < 0, the target carried as a
// double-double so that a probability's own logarithm enters without
// rounding. x to a few units in its last place where the tail's logarithm
// changes by at least about 1 with ln x (the caller picks the tail); 0 or
// +inf where it lies beyond the doubles.
double InverseRegularizedGamma(double a, const DoubleDouble& logTail, bool upper);


}  // namespace specfun::detail
