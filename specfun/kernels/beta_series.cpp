// The series of positive terms of the incomplete beta function
// (A&S 26.5.23), its logarithm near one, and its form for an argument below
// the normal doubles.
#include "specfun/kernels/beta_series.hpp"

#include <cmath>

#include "specfun/kernels/beta_prefactor.hpp"
#include "specfun/kernels/log_gamma.hpp"
#include "specfun/kernels/stirling_remainder.hpp"

namespace specfun::detail {
namespace {

// The series stops when a term falls below this share of the sum.
constexpr double kRelativeTolerance = 1e-16;
// The series is taken where (a + b) times the smaller argument is at most
// e^kLogSeriesReach = 20 (at most about 100 terms).
constexpr double kLogSeriesReach = 2.9957322735539909;
constexpr int kSeriesTerms = 400;
// Where the series' tail is nearly 1, its complement comes from the
// logarithm of the series' tail formed from small parts if its parameter c
// is at most kSmallParameter and the other parameter times the argument at
// most kNearOneReach; that complement is then of the order of c or more,
// and the parts' rounding stays below its own.
constexpr double kSmallParameter = 1e-2;
constexpr double kNearOneReach = 0.1;
// Bound on the terms of the series for an argument below the normal range.
constexpr int kTinyArgumentTerms = 200;

}  // namespace

bool WithinSeriesReach(double logSum, double smaller) {
  return logSum + std::log(smaller) <= kLogSeriesReach;
}

double SeriesSum(double x, double a, double b) {
  double term = 1.0;
  double sum = 1.0;
  for (int k = 1; k <= kSeriesTerms && term > kRelativeTolerance * sum; ++k) {
    term *= (a + b + (k - 1)) * x / (a + k);
    sum += term;
  }
  return sum;
}

double SeriesTail(double x, double a, double b, double logPrefactor) {
  if (logPrefactor - std::log(a) < kLogSmallestSubnormal) return 0.0;
  return std::exp(logPrefactor - std::log(a)) * SeriesSum(x, a, b);
}

// ln I(t, c, e) where this tail holds nearly all the mass (c at most
// kSmallParameter, e t at most kNearOneReach). With A&S 26.5.23,
// I = t^c Γ(c + e)/(Γ(e) Γ(1 + c)) (1 - t)^e Σ (c + e)_k / (c + 1)_k t^k,
// and (1 - t)^e Σ (e)_k / k! t^k = 1, so the last factor is
// 1 + Σ w_k r_k, w_k = (1 - t)^e (e)_k / k! t^k and
// r_k = Π (1 + c/(e + j)) / Π (1 + c/(j + 1)) - 1 (j < k), each of the
// order of c: every part of the logarithm is small and formed apart from
// the leading 1s, so that the other tail follows from expm1 to full
// precision.
double NearOneSum(double t, double c, double e, double weightFloor) {
  double weight = std::exp(e * std::log1p(-t));
  double logRatio = 0.0;
  double sum = 0.0;
  for (int k = 1; k <= kSeriesTerms && weight > weightFloor; ++k) {
    weight *= (e + (k - 1)) * t / k;
    logRatio += std::log1p(c / (e + (k - 1))) - std::log1p(c / k);
    sum += weight * std::expm1(logRatio);
  }
  return sum;
}

double LogTailNearOne(double t, double c, double e) {
  const double sum = NearOneSum(t, c, e, kRelativeTolerance);
  return c * std::log(t) + (LogGammaShift(e, c) - LogGammaOnePlusMaclaurin(c)) + std::log1p(sum);
}

// Whether the other tail of the series' tail at t, with its parameter c,
// comes from LogTailNearOne.
bool NearlyAllMass(double t, double c, double e) {
  return c <= kSmallParameter && e * t <= kNearOneReach;
}

TinyArgumentTail TailOfTinyArgument(double logX, double a, double b) {
  // x^a y^b / B(a, b) = e^E p^a q^b / B(a, b) with
  // E = a (ln x - ln p) + b (ln(1 - x) - ln q) and b ln(1 - x) = -b x.
  const double bx = std::exp(std::log(b) + logX);
  const double exponent = a * (logX - LogShare(a, b)) - bx - b * LogShare(b, a);
  const double x = std::exp(logX);
  const double w = std::exp(LogSum(a, b) + logX);
  double term = 1.0;
  double series = 1.0;
  for (int k = 1; k < kTinyArgumentTerms && term > kRelativeTolerance * series; ++k) {
    term *= (w + (k - 1) * x) / (a + k);
    series += term;
  }
  return {exponent + LogPeak(a, b), series};
}

}  // namespace specfun::detail
