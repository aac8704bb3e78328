// The natural logarithm in double-double without divisions (internal), for
// the beta family's prefactors, where it is the most frequent operation.
#pragma once

#include "specfun/kernels/double_double.hpp"

namespace specfun::detail {

// ln v for a double-double v > 0 (hi not above 0 or not finite: the
// logarithm of hi), to about 2^-70 of its size: v = m 2^e with m in
// [√½, √2), m r_j = 1 + t with r_j a 20-bit reciprocal of the nearest point
// 1 + j/256 (table_log_points.hpp), so that t (|t| < 0.003) is exact from
// the halves of m, and ln(1 + t) = t - t²/2 + t³ (1/3 - t/4 + ...) with its
// first two terms in double-double (A&S 4.1.24).
DoubleDouble TableLog(const DoubleDouble& v);

}  // namespace specfun::detail
