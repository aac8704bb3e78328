// The regularized incomplete beta function
//   I(x, a, b) = (1 / B(a, b)) ∫ from 0 to x of t^(a-1) (1 - t)^(b-1) dt.
//
// The continued fraction of A&S 26.5.8,
//   I = F / (1 + d1/(1 + d2/(1 + ...))),  F = X^A (1 - X)^B / (A B(A, B)),
//   d(2m+1) = -(A + m)(A + B + m) X / ((A + 2m)(A + 2m + 1)),
//   d(2m+2) = (m + 1)(B - m - 1) X / ((A + 2m + 1)(A + 2m + 2)),
// evaluated forward by the three-term recurrences of its numerators and
// denominators, on the side of I(x, a, b) = 1 - I(1 - x, b, a) where it
// converges fastest (X below the mean A/(A + B)). After 41 iterations without
// convergence the last approximants are extrapolated by Aitken's Δ² where they
// have settled (the last odd and even ones agree to 1e-9, the last two even
// ones to 1.5e-10); otherwise the fraction is taken on to convergence. Either way the
// case is reported.
//
// The recurrence values are scaled by a power of two only when they leave
// [2^-600, 2^600]; such scaling is exact, so it changes no approximant and
// only keeps the values from underflowing to 0/0.
//
// Parameters above kSpecifiedParameterLimit, subnormal or infinite, and the
// fraction taken on past 41 iterations, go to IncompleteBetaTails
// (beta_tails.cpp): there ln B(a, b) from three ln Γ values would lose more
// than 1e-9, and the fraction's length grows with the parameters.
#include <cfloat>
#include <cmath>

#include "specfun/diagnostic_sink.hpp"
#include "specfun/incomplete_beta.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

// Successive even approximants closer than this count as converged (absolute).
constexpr double kTolerance = 1e-12;
// Iterations m = 0 ... 40, each giving one odd and one even approximant.
constexpr int kIterationLimit = 41;
// Convergence at an iteration index above this is reported.
constexpr int kReportThreshold = 20;
// Aitken's value is kept only where the approximants have settled: the last
// odd and even ones within kExtrapolationSpread of each other (elsewhere it is
// no better than they are and can even leave [0, 1]), and the last two even
// ones within kSettledEvenSpread; its error, measured against mpmath, stays
// below four times that change.
constexpr double kExtrapolationSpread = 1e-9;
constexpr double kSettledEvenSpread = 1.5e-10;
// Above this parameter ln B(a, b) from three ln Γ values of size a ln a
// carries more than a few 1e-10 of rounding (about 3e-10 here).
constexpr double kSpecifiedParameterLimit = 1.25e5;
// The four recurrence values are scaled together by a power of two, which
// leaves every approximant unchanged, when the current denominator leaves
// [2^-600, 2^600].
constexpr double kLargestUnscaled = 0x1p600;
constexpr double kSmallestUnscaled = 0x1p-600;

// The numerators and denominators of the fraction's convergents.
struct Convergents {
  double a;
  double b;
  double x;
  double previousNumerator;
  double numerator;
  double previousDenominator;
  double denominator;
  double odd = 0.0;   // o_m, the (2m+1)-th convergent
  double even = 0.0;  // e_m, the (2m+2)-th convergent

  // Iteration m: the odd step with d(2m+1), then the even step with d(2m+2).
  void Step(int m) {
    const double dm = m;
    const double a2m = a + 2.0 * dm;
    const double alpha = (a + dm) * (a + b + dm) * x / (a2m * (a2m + 1.0));
    const double oddNumerator = numerator - alpha * previousNumerator;
    const double oddDenominator = denominator - alpha * previousDenominator;
    odd = oddNumerator / oddDenominator;
    const double beta = (dm + 1.0) * (b - dm - 1.0) * x / ((a2m + 1.0) * (a2m + 2.0));
    const double evenNumerator = oddNumerator + beta * numerator;
    const double evenDenominator = oddDenominator + beta * denominator;
    even = evenNumerator / evenDenominator;
    previousNumerator = oddNumerator;
    numerator = evenNumerator;
    previousDenominator = oddDenominator;
    denominator = evenDenominator;
  }

  // The numerators follow the denominators (their ratios are the
  // approximants), so the current denominator stands for all four.
  void KeepInRange() {
    const double size = std::fabs(denominator);
    if (size >= kSmallestUnscaled && size <= kLargestUnscaled) return;
    if (!(size > 0.0) || std::isinf(size)) return;
    const int shift = -std::ilogb(size);
    previousNumerator = std::ldexp(previousNumerator, shift);
    numerator = std::ldexp(numerator, shift);
    previousDenominator = std::ldexp(previousDenominator, shift);
    denominator = std::ldexp(denominator, shift);
  }
};

bool Converged(double even, double previousEven) {
  // Written so that a NaN counts as converged and ends the iteration.
  return !(std::fabs(even - previousEven) >= kTolerance);
}

// I(x, a, b) by IncompleteBetaTails, with y = 1 - x exact or x the smaller.
double AccurateValue(double x, double a, double b) {
  return detail::IncompleteBetaTails(x, 1.0 - x, a, b).lower;
}

bool Settled(double odd40, double even40, double even39) {
  return std::fabs(even40 - odd40) <= kExtrapolationSpread &&
         std::fabs(even40 - even39) <= kSettledEvenSpread;
}

// I(x, a, b) after 41 iterations without convergence, with its report, whose
// fifth number is the value on the fraction's side, I(X, A, B).
double SlowConvergence(const Convergents& fraction, double odd39, double even39, double x,
                       double a, double b, bool swapped) {
  const double odd40 = fraction.odd;
  const double even40 = fraction.even;
  double result = even40;
  if (Settled(odd40, even40, even39)) {
    const double denominator = even40 - 2.0 * odd40 + even39;
    if (std::fabs(denominator) > 0.0) {
      result = even40 - (even40 - odd40) * (even40 - odd40) / denominator;
    }
  } else {
    const detail::BetaTails tails = detail::IncompleteBetaTails(x, 1.0 - x, a, b);
    result = swapped ? tails.upper : tails.lower;
  }
  detail::EmitDiagnosticReport({{Text("Slow convergence in BETAF, last 4 vals & return:")},
                                {Real(odd39), Real(even39), Real(odd40), Real(even40), Real(result)},
                                {Text("x,a,b="), Real(x), Real(a), Real(b)},
                                {Text("Identity I((x),a,b)=1-I((1-x),b,a) used")}},
                               swapped ? 4 : 3);
  return swapped ? 1.0 - result : result;
}

// ln B(a, b) from three ln Γ values loses digits for extreme parameters
// (below 1e-3 beside a large one); a value pushed past an end by that is
// brought back to it. A NaN stays a NaN.
double ClampedResult(double result) {
  if (result < 0.0) return 0.0;
  if (result > 1.0) return 1.0;
  return result;
}

bool OrdinaryParameter(double p) { return p >= DBL_MIN && p <= kSpecifiedParameterLimit; }

}  // namespace

namespace detail {

double NegativeLogBeta(double a, double b) {
  const double sum = a + b;
  return LnGamma(sum) - LnGamma(a) - LnGamma(b);
}

bool TakesSpecifiedFraction(double x, double a, double b) {
  return x > 0.0 && x < 1.0 && OrdinaryParameter(a) && OrdinaryParameter(b);
}

double IncompleteBeta(double x, double a, double b, double negativeLogBeta) {
  if (!(x > 0.0)) return 0.0;
  if (x >= 1.0) return 1.0;
  if (!TakesSpecifiedFraction(x, a, b)) return AccurateValue(x, a, b);
  const bool swapped = (a + b) * x >= a;
  const double pa = swapped ? b : a;
  const double pb = swapped ? a : b;
  const double px = swapped ? 1.0 - x : x;
  // X^A (1 - X)^B / (A B(A, B)); X and 1 - X lie strictly inside (0, 1).
  const double prefactor =
      std::exp(pa * std::log(px) + pb * std::log(1.0 - px) + negativeLogBeta) / pa;

  Convergents fraction{pa, pb, px, 0.0, prefactor, 1.0, 1.0};
  fraction.Step(0);
  double previousOdd = fraction.odd;
  double previousEven = fraction.even;
  for (int m = 1; m < kIterationLimit; ++m) {
    previousOdd = fraction.odd;
    previousEven = fraction.even;
    fraction.KeepInRange();
    fraction.Step(m);
    if (Converged(fraction.even, previousEven)) {
      if (m > kReportThreshold) EmitDiagnostic({Integer(m), Text(" iterations in BETAF")});
      return ClampedResult(swapped ? 1.0 - fraction.even : fraction.even);
    }
  }
  return ClampedResult(SlowConvergence(fraction, previousOdd, previousEven, x, a, b, swapped));
}

}  // namespace detail

double BETAF(const double& x, const double& a, const double& b) {
  if (!(x > 0.0)) return 0.0;
  if (x >= 1.0) return 1.0;
  if (!detail::TakesSpecifiedFraction(x, a, b)) return AccurateValue(x, a, b);
  return detail::IncompleteBeta(x, a, b, detail::NegativeLogBeta(a, b));
}

}  // namespace specfun
