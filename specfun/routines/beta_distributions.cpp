// The F, Student's t and binomial distributions through the incomplete beta
// function (A&S 26.6.2, 26.7.1 and 26.5.24):
//   P(F | n1, n2) = I(n1 F / (n2 + n1 F), n1/2, n2/2),
//   A(t | n)      = I(t² / (n + t²), 1/2, n/2),
//   P(a, n)       = I(1 - p, n - a + 1, a)   (fewer than a successes),
// each complement by the symmetry I(x, a, b) = 1 - I(1 - x, b, a) written
// with its own transformed argument.
#include "specfun/routines/beta_distributions.hpp"

#include <cfloat>
#include <cmath>
#include <limits>

#include "specfun/kernels/incomplete_beta_tails.hpp"
#include "specfun/kernels/inline_calls.hpp"
#include "specfun/routines/incomplete_beta.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

// Below this, a share r/(s + r) computed as such lies so close to 1 that its
// complement s/(r + s) has lost a millionth of its digits or more.
constexpr double kTinyComplementRatio = 0x1p-20;
// ln of the smallest normal double: a share below it is taken from its
// logarithm.
constexpr double kLogSmallestNormal = -708.39641853226408;
// 1/√2, the scale from a normal deviate to the argument of erf.
constexpr double kSqrtHalf = 0.70710678118654752;

// 0.5·ν; half of the smallest subnormal, which rounds to 0, is kept as that
// subnormal, so that a parameter in the domain stays positive (the tails
// then take their limit as the parameter goes to 0).
double HalfOf(double nu) {
  const double half = 0.5 * nu;
  return half == 0.0 && nu > 0.0 ? nu : half;
}

// r / (s + r); a ratio r that overflows (F or t² beyond the double range)
// stands for the limit 1 rather than inf/inf.
double ShareOf(double r, double s) { return std::isinf(r) ? 1.0 : r / (s + r); }

// ln(r/(r + s)) given ln(r/s).
double LogShareOf(double logRatio) {
  if (logRatio >= 0.0) return -std::log1p(std::exp(-logRatio));
  return logRatio - std::log1p(std::exp(logRatio));
}

// I(r/(r + s), a, b) from logRatio = ln(r/s) alone, for shares that leave
// the double range or lie beyond its normal part: the share and its
// complement are formed from their logarithms, and one below the normal
// range goes to the series for a tiny argument.
double BetaOfLogRatio(double logRatio, double a, double b) {
  const double logShare = LogShareOf(logRatio);
  const double logComplement = LogShareOf(-logRatio);
  if (logShare < kLogSmallestNormal) return detail::LowerTailOfTinyArgument(logShare, a, b);
  if (logComplement < kLogSmallestNormal) {
    return 1.0 - detail::LowerTailOfTinyArgument(logComplement, b, a);
  }
  return detail::IncompleteBetaTails(std::exp(logShare), std::exp(logComplement), a, b).lower;
}

bool Inside(double share) { return share > 0.0 && share < 1.0; }

// The call of BETAF(x, a, b) (of its complement where `complement`), marked
// where BETAF takes its fraction; or tails() where it would not (a
// parameter above its range, subnormal, or x rounded to an end) though a
// and b lie in the domain and the share that is exact lies inside (0, 1)
// (`inside`): there the tails are taken from IncompleteBetaTails at that
// share, with the other formed directly, so that none of its digits are
// lost.
template <class Tails>
detail::BetaCall CallAt(double x, double a, double b, bool complement, bool inside, Tails tails) {
  if (detail::TakesFortyOneIterationFraction(x, a, b)) return {x, a, b, complement, false, 0.0, true};
  if (inside && a > 0.0 && b > 0.0) return detail::BetaCall::Direct(tails());
  return {x, a, b, complement};
}

// I(r/(s + r), a, b) given complementRatio = s/r, formed by the caller
// without overflow, and logRatio = ln(r/s) formed from the logarithms of the
// caller's arguments. Where the share rounds towards 1 the symmetry
// I(x, a, b) = 1 - I(1 - x, b, a) is taken with 1 - x = s/(r + s) formed
// directly, so that its digits are not lost to the rounding of x. Where r,
// s/r or the argument so formed is not a normal double (t², ν1·F or the
// share beyond the double range) the value comes from logRatio instead; a
// zero, infinite or NaN logRatio (t or F zero, infinite, negative or NaN)
// keeps the direct evaluation.
// logRatioOf() gives logRatio; it is formed only where it is needed.
template <class LogRatio>
detail::BetaCall BetaOfShare(double r, double s, double a, double b, double complementRatio,
                             LogRatio logRatioOf) {
  if (complementRatio < kTinyComplementRatio) {
    const double logRatio = complementRatio >= DBL_MIN ? 0.0 : logRatioOf();
    if (complementRatio >= DBL_MIN || !std::isfinite(logRatio)) {
      const double complement = complementRatio / (1.0 + complementRatio);
      return CallAt(complement, b, a, true, Inside(complement), [&] {
        return detail::IncompleteBetaTails(complement, 1.0 - complement, b, a).upper;
      });
    }
    return detail::BetaCall::Direct(BetaOfLogRatio(logRatio, a, b));
  }
  const double x = ShareOf(r, s);
  // BETAF(x, a, b), or the tails at x where BETAF would not take its fraction.
  const auto atShare = [&] {
    return CallAt(x, a, b, false, Inside(x),
                  [&] { return detail::IncompleteBetaTails(x, s / (r + s), a, b).lower; });
  };
  if (std::isnormal(r) && std::isfinite(s + r) && x >= DBL_MIN) return atShare();
  const double logRatio = logRatioOf();
  if (!std::isfinite(logRatio)) return atShare();
  return detail::BetaCall::Direct(BetaOfLogRatio(logRatio, a, b));
}

// ln(ν1 F / ν2) and 2 ln|t| - ln ν, from the arguments themselves.
double LogFRatio(double f, double nu1, double nu2) {
  return (std::log(nu1) + std::log(f)) - std::log(nu2);
}
double LogTRatio(double t, double nu) { return 2.0 * std::log(std::fabs(t)) - std::log(nu); }

double Evaluate(const detail::BetaCall& call) {
  if (call.direct) return call.value;
  const double value = call.fraction ? detail::FortyOneIterationFraction(call.x, call.a, call.b)
                                     : BETAF(call.x, call.a, call.b);
  return call.complement ? 1.0 - value : value;
}

// −0 as +0: the routines compare their arguments with 0 as their domains
// say, and a quotient by −0 would take the other infinity.
double Unsigned(double zero) { return zero + 0.0; }

// Both F tails (lower, upper) where they need no incomplete beta function:
// at F = 0 (no mass at or below 0, whatever the degrees of freedom), and
// at an infinite degree of freedom the limits F = χ²(ν1)/ν1 (ν2 = ∞),
// ν2/χ²(ν2) (ν1 = ∞) and 1 (both); sets `tails` and returns true.
bool FTailsWithoutBeta(double f, double nu1, double nu2, detail::BetaTails& tails) {
  if (std::isnan(f) || std::isnan(nu1) || std::isnan(nu2)) return false;
  if (f == 0.0) {
    tails = {0.0, 1.0};
    return true;
  }
  const bool inf1 = std::isinf(nu1) && nu1 > 0.0;
  const bool inf2 = std::isinf(nu2) && nu2 > 0.0;
  if (!(f > 0.0) || !(inf1 || inf2) || !(nu1 > 0.0 && nu2 > 0.0)) return false;
  if (inf1 && inf2) {
    tails = f >= 1.0 ? detail::BetaTails{1.0, 0.0} : detail::BetaTails{0.0, 1.0};
  } else if (inf2) {
    const double x = nu1 * f;
    tails = {ChiSquare(x, nu1, kLowerTail), ChiSquare(x, nu1, kUpperTail)};
  } else {
    const double x = nu2 / f;
    tails = {ChiSquare(x, nu2, kUpperTail), ChiSquare(x, nu2, kLowerTail)};
  }
  return true;
}

// Both t tails (A, AQ) at infinitely many degrees of freedom, the normal
// limits P(|Z| <= |t|) = erf(|t|/√2) and its complement erfc(|t|/√2);
// sets `tails` and returns true.
bool TTailsWithoutBeta(double t, double nu, detail::BetaTails& tails) {
  if (std::isnan(t) || nu != std::numeric_limits<double>::infinity()) return false;
  const double z = std::fabs(t) * kSqrtHalf;
  tails = {std::erf(z), std::erfc(z)};
  return true;
}

// What the rounding of 1 - p to `complement` may move a binomial sum by,
// at most, before the sums take their tails from p itself: well below the
// 7.6e-12 they keep.
constexpr double kComplementRoundingLimit = 3e-12;

// Whether the incomplete beta function's fraction, handed complement =
// 1 - p rounded, would miss I(p, a, b) by more than kComplementRoundingLimit:
// that rounding moves p by δ = (1 - complement) - p, and the sums by about
// the density of the beta distribution at p times |δ|. For p >= 1/2 the
// difference is exact.
bool RoundedComplementMisleads(double p, double complement, double a, double b) {
  if (!(p > 0.0 && p < 0.5 && a >= DBL_MIN && b >= DBL_MIN) || std::isinf(a + b)) return false;
  const double shift = std::fabs((1.0 - complement) - p);
  if (shift == 0.0) return false;
  const double logDensity =
      (a - 1.0) * std::log(p) + (b - 1.0) * std::log1p(-p) - detail::LogBeta(a, b);
  return std::log(shift) + logDensity > std::log(kComplementRoundingLimit);
}

}  // namespace

namespace detail {

BetaCall FDistPCall(double f, double nu1, double nu2) {
  f = Unsigned(f);
  nu1 = Unsigned(nu1);
  nu2 = Unsigned(nu2);
  BetaTails limit;
  if (FTailsWithoutBeta(f, nu1, nu2, limit)) return BetaCall::Direct(limit.lower);
  const double a = HalfOf(nu1);
  const double b = HalfOf(nu2);
  return BetaOfShare(nu1 * f, nu2, a, b, nu2 / nu1 / f, [&] { return LogFRatio(f, nu1, nu2); });
}

BetaCall FDistQCall(double f, double nu1, double nu2) {
  f = Unsigned(f);
  nu1 = Unsigned(nu1);
  nu2 = Unsigned(nu2);
  BetaTails limit;
  if (FTailsWithoutBeta(f, nu1, nu2, limit)) return BetaCall::Direct(limit.upper);
  const double a = HalfOf(nu2);
  const double b = HalfOf(nu1);
  return BetaOfShare(nu2, nu1 * f, a, b, nu1 * f / nu2, [&] { return -LogFRatio(f, nu1, nu2); });
}

BetaCall StudentACall(double t, double nu) {
  nu = Unsigned(nu);
  BetaTails limit;
  if (TTailsWithoutBeta(t, nu, limit)) return BetaCall::Direct(limit.lower);
  const double a = 0.5;
  const double b = HalfOf(nu);
  const double magnitude = std::fabs(t);
  return BetaOfShare(t * t, nu, a, b, nu / magnitude / magnitude, [&] { return LogTRatio(t, nu); });
}

BetaCall StudentAQCall(double t, double nu) {
  nu = Unsigned(nu);
  BetaTails limit;
  if (TTailsWithoutBeta(t, nu, limit)) return BetaCall::Direct(limit.upper);
  const double a = HalfOf(nu);
  const double b = 0.5;
  return BetaOfShare(nu, t * t, a, b, t * t / nu, [&] { return -LogTRatio(t, nu); });
}

BetaCall BinomPCall(double p, double a, double n) {
  p = Unsigned(p);
  a = Unsigned(a);
  n = Unsigned(n);
  const double x = 1.0 - p;
  const double shape = n - a + 1.0;
  if (RoundedComplementMisleads(p, x, a, shape)) {
    return BetaCall::Direct(IncompleteBetaTails(p, x, a, shape).upper);
  }
  return CallAt(x, shape, a, false, Inside(p),
                [&] { return IncompleteBetaTails(p, x, a, shape).upper; });
}

BetaCall BinomQCall(double p, double a, double n) {
  p = Unsigned(p);
  a = Unsigned(a);
  n = Unsigned(n);
  const double b = n - a + 1.0;
  const double y = 1.0 - p;
  // The fraction takes 1 - p only on the far side of the mean a/(a + b).
  if ((a + b) * p >= a && RoundedComplementMisleads(p, y, a, b)) {
    return BetaCall::Direct(IncompleteBetaTails(p, y, a, b).lower);
  }
  return CallAt(p, a, b, false, Inside(p),
                [&] { return IncompleteBetaTails(p, y, a, b).lower; });
}

}  // namespace detail

// The scalar routines take their call's steps inline, so that the call is
// never stored.
SPECFUN_INLINE_CALLS
double FDistP(const double& f, const double& nu1, const double& nu2) {
  return Evaluate(detail::FDistPCall(f, nu1, nu2));
}

SPECFUN_INLINE_CALLS
double FDistQ(const double& f, const double& nu1, const double& nu2) {
  return Evaluate(detail::FDistQCall(f, nu1, nu2));
}

SPECFUN_INLINE_CALLS
double StudentA(const double& t, const double& nu) { return Evaluate(detail::StudentACall(t, nu)); }

SPECFUN_INLINE_CALLS
double StudentAQ(const double& t, const double& nu) {
  return Evaluate(detail::StudentAQCall(t, nu));
}

SPECFUN_INLINE_CALLS
double BinomP(const double& p, const double& a, const double& n) {
  return Evaluate(detail::BinomPCall(p, a, n));
}

SPECFUN_INLINE_CALLS
double BinomQ(const double& p, const double& a, const double& n) {
  return Evaluate(detail::BinomQCall(p, a, n));
}

}  // namespace specfun
