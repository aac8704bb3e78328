// The F, Student's t and binomial distributions through the incomplete beta
// function (A&S 26.6.2, 26.7.1 and 26.5.24):
//   P(F | n1, n2) = I(n1 F / (n2 + n1 F), n1/2, n2/2),
//   A(t | n)      = I(t² / (n + t²), 1/2, n/2),
//   P(a, n)       = I(1 - p, n - a + 1, a)   (fewer than a successes),
// each complement by the symmetry I(x, a, b) = 1 - I(1 - x, b, a) written
// with its own transformed argument.
#include <cmath>

#include "specfun/beta_distributions.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

// Below this, a share r/(s + r) computed as such lies so close to 1 that its
// complement s/(r + s) has lost a millionth of its digits or more.
constexpr double kTinyComplementRatio = 0x1p-20;

// r / (s + r); a ratio r that overflows (F or t² beyond the double range)
// stands for the limit 1 rather than inf/inf.
double ShareOf(double r, double s) { return std::isinf(r) ? 1.0 : r / (s + r); }

// I(r/(s + r), a, b) given complementRatio = s/r, formed by the caller
// without overflow. Where the share rounds towards 1 the symmetry
// I(x, a, b) = 1 - I(1 - x, b, a) is taken with 1 - x = s/(r + s) formed
// directly, so that its digits are not lost to the rounding of x.
detail::BetaCall BetaOfShare(double r, double s, double a, double b, double complementRatio) {
  if (complementRatio < kTinyComplementRatio) {
    const double complement = complementRatio / (1.0 + complementRatio);
    return {complement, b, a, true};
  }
  const double x = ShareOf(r, s);
  return {x, a, b, false};
}

double Evaluate(const detail::BetaCall& call) {
  return call.complement ? 1.0 - BETAF(call.x, call.a, call.b) : BETAF(call.x, call.a, call.b);
}

}  // namespace

namespace detail {

BetaCall FDistPCall(double f, double nu1, double nu2) {
  const double a = 0.5 * nu1;
  const double b = 0.5 * nu2;
  return BetaOfShare(nu1 * f, nu2, a, b, nu2 / nu1 / f);
}

BetaCall FDistQCall(double f, double nu1, double nu2) {
  const double a = 0.5 * nu2;
  const double b = 0.5 * nu1;
  return BetaOfShare(nu2, nu1 * f, a, b, nu1 * f / nu2);
}

BetaCall StudentACall(double t, double nu) {
  const double a = 0.5;
  const double b = 0.5 * nu;
  const double magnitude = std::fabs(t);
  return BetaOfShare(t * t, nu, a, b, nu / magnitude / magnitude);
}

BetaCall StudentAQCall(double t, double nu) {
  const double a = 0.5 * nu;
  const double b = 0.5;
  return BetaOfShare(nu, t * t, a, b, t * t / nu);
}

BetaCall BinomPCall(double p, double a, double n) {
  const double x = 1.0 - p;
  const double shape = n - a + 1.0;
  return {x, shape, a, false};
}

BetaCall BinomQCall(double p, double a, double n) {
  const double b = n - a + 1.0;
  return {p, a, b, false};
}

}  // namespace detail

double FDistP(const double& f, const double& nu1, const double& nu2) {
  return Evaluate(detail::FDistPCall(f, nu1, nu2));
}

double FDistQ(const double& f, const double& nu1, const double& nu2) {
  return Evaluate(detail::FDistQCall(f, nu1, nu2));
}

double StudentA(const double& t, const double& nu) { return Evaluate(detail::StudentACall(t, nu)); }

double StudentAQ(const double& t, const double& nu) {
  return Evaluate(detail::StudentAQCall(t, nu));
}

double BinomP(const double& p, const double& a, const double& n) {
  return Evaluate(detail::BinomPCall(p, a, n));
}

double BinomQ(const double& p, const double& a, const double& n) {
  return Evaluate(detail::BinomQCall(p, a, n));
}

}  // namespace specfun
