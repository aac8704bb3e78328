// The inverses that the dialogues show beside those of p, at 1 - p, for a p
// so small that 1 - p rounds to 1: there the inverse at 1 - p has lost p
// altogether, so each is taken from the tail p itself.
#pragma once

namespace console {

// Whether 1 - p, formed in double precision, is 1.
inline bool ComplementIsOne(double complement) { return complement == 1.0; }

// The x with P(x) = p for the standard normal distribution: -QGaussInv(p),
// by the distribution's symmetry.
double LowerGaussianDeviate(double p);

// The x with P(x | nu) = p for the chi-square distribution.
double LowerChiSquareQuantile(double p, double nu);

// The t >= 0 with A(t | nu) = p, the two-sided central probability of
// Student's t, for p < 2^-53.
double CentralStudentQuantile(double p, double nu);

// The F with P(F | nu1, nu2) = p for the F-distribution.
double LowerFQuantile(double p, double nu1, double nu2);

// The x with I(x, a, b) = 1 - p for the incomplete beta function.
double UpperBetaQuantile(double p, double a, double b);

}  // namespace console
