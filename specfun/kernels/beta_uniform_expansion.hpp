// Temme's uniform asymptotic expansion of the incomplete beta function for
// large a and b (internal; N. M. Temme, Special Functions, 1996, 11.3.3):
// with -z² = E, the integrand's exponent relative to its peak,
// sign(z) = sign(D) and r = a + b,
//   I = erfc(-z)/2 + e^(mu(r) - mu(a) - mu(b)) e^(-z²)/√(2π) (c0/√r + c1/r^(3/2)),
//   c0 = 1/η - √(pq)/(x - p), c1 = (c0'(η) - c0'(0))/η, η = z √(2/r),
// the next term being of relative order (ab/(a + b))^-2; for values and
// for logarithms.
#pragma once

#include "specfun/kernels/incomplete_beta_tails.hpp"

namespace specfun::detail {

struct StirlingTerms;

// Whether the incomplete beta tails of parameters a, b come from the
// expansion rather than the continued fraction or series.
bool TakesUniformExpansion(double a, double b);

// c0/√r + c1/r^(3/2), the correction of the expansion, at the deviation
// d = (a + b)(x - a/(a + b)) and z = sign(d) √(-E).
double UniformCorrection(double a, double b, double d, double z);
// Its two terms, c0/√r and c1/r^(3/2).
double UniformLeadingTerm(double a, double b, double d, double z);
double UniformSecondTerm(double a, double b, double d, double z);

// Both tails given the deviation d, e = IntegrandExponent(x, y, a, b, d)
// and mu = StirlingRemainders(a, b).
BetaTails UniformExpansionTails(double a, double b, double d, double e, const StirlingTerms& mu);

// ln I(x, a, b), ln(1 - I(x, a, b)) and the prefactor's logarithm, given
// ln x and ln y, for tails below the doubles' range too.
LogBetaTails LogUniformExpansionTails(double x, double y, double logX, double logY, double a,
                                      double b);

}  // namespace specfun::detail
