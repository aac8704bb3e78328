// The incomplete beta function with its normalising constant supplied
// (internal), for callers that evaluate it many times at fixed a and b.
#pragma once

namespace specfun::detail {

// -ln B(a, b) = ln Γ(a + b) - ln Γ(a) - ln Γ(b), subtracted in that order.
double NegativeLogBeta(double a, double b);

// BETAF(x, a, b) given negativeLogBeta = NegativeLogBeta(a, b): the same
// value, bit for bit, and the same diagnostics.
double IncompleteBeta(double x, double a, double b, double negativeLogBeta);

}  // namespace specfun::detail
