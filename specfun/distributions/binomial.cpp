// The binomial distribution through the incomplete beta function
// (A&S 26.5.24): P(X > k) = I(p, k + 1, n - k) and P(X <= k) = I(1 - p,
// n - k, k + 1), both tails at the exact p with 1 - p in double-double; the
// mass C(n, k) p^k (1 - p)^(n-k) = x^(k+1) (1 - x)^(n-k+1) / (B(k + 1,
// n - k + 1) (n + 1) p (1 - p)) at x = p from the same prefactor. The
// quantile, the least k with P(X <= k) >= P, by Newton's steps on the
// logarithm of the smaller tail over the integers from the normal
// approximation with its skewness correction, settled at the last point by
// its tails and the mass there and at its neighbour (the neighbour's tails
// evaluated only where their sum lies near the target).
#include <algorithm>
#include <cmath>
#include <limits>

#include "specfun/distributions.hpp"
#include "specfun/kernels/precise_beta.hpp"
#include "specfun/kernels/table_log.hpp"
#include "specfun/kernels/precise_beta_quantile.hpp"

namespace specfun {
namespace {

using detail::PreciseTails;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kLargestCount = 0x1p53;
constexpr int kNewtonSteps = 12;

bool Valid(const Binomial& d) {
  return d.n >= 0.0 && d.n <= kLargestCount && d.n == std::floor(d.n) && d.p >= 0.0 &&
         d.p <= 1.0;
}

// {P(X <= k), P(X > k)} at k = floor(x), or their logarithms.
PreciseTails Tails(const Binomial& d, double x, bool logarithm) {
  if (!Valid(d) || std::isnan(x)) return {kNaN, kNaN};
  const double k = std::floor(x);
  PreciseTails ends{kNaN, kNaN};
  if (k < 0.0) ends = {0.0, 1.0};
  if (k >= d.n || d.p == 0.0) ends = {1.0, 0.0};
  if (d.p == 1.0 && k < d.n && k >= 0.0) ends = {0.0, 1.0};
  if (!std::isnan(ends.lower)) {
    return logarithm ? PreciseTails{std::log(ends.lower), std::log(ends.upper)} : ends;
  }
  const detail::BetaPoint point = detail::PointAt(d.p);
  const PreciseTails beta = logarithm ? detail::PreciseLogBetaTails(point, k + 1.0, d.n - k)
                                      : detail::PreciseBetaTails(point, k + 1.0, d.n - k);
  return {beta.upper, beta.lower};
}

// ln P(X = k) for an integer 0 <= k <= n and 0 < p < 1.
detail::DoubleDouble LogMass(const Binomial& d, double k) {
  const detail::BetaPoint point = detail::PointAt(d.p);
  return detail::LogBetaPrefactor(point, k + 1.0, d.n - k + 1.0) -
         detail::TableLog(detail::TwoSum(d.n, 1.0)) - detail::TableLog(point.x) -
         detail::TableLog(point.y);
}

// The mass at x where it is 0 or 1, else NaN.
double SettledMass(const Binomial& d, double x) {
  if (x != std::floor(x) || x < 0.0 || x > d.n) return 0.0;
  if (d.p == 0.0) return x == 0.0 ? 1.0 : 0.0;
  if (d.p == 1.0) return x == d.n ? 1.0 : 0.0;
  return kNaN;
}

// Whether k satisfies the quantile's condition, judged on the smaller
// tail: P(X <= k) >= target where `onCdf`, else P(X > k) <= target.
bool Reaches(const Binomial& d, double k, const detail::TailTarget& target, bool onCdf) {
  if (k >= d.n) return true;
  if (k < 0.0) return false;
  // P(X <= k) is the upper beta tail, P(X > k) the lower.
  const detail::BetaEvaluation e = detail::EvaluateBeta(detail::PointAt(d.p), k + 1.0, d.n - k);
  if (onCdf) return detail::LogRatioTo(target, e.tails.upper, e.logUpper) >= 0.0;
  return detail::LogRatioTo(target, e.tails.lower, e.logLower) <= 0.0;
}

// The tails at a count k < n: the beta evaluation at p with a = k + 1,
// b = n - k, whose prefactor is the mass times (n - k) p.
struct Cut {
  double k;
  detail::BetaEvaluation beta;
  double logMass;
  double LogCdf() const { return beta.logUpper.hi; }
  double LogSf() const { return beta.logLower.hi; }
};

Cut CutAt(const Binomial& d, double k) {
  const detail::BetaEvaluation e = detail::EvaluateBeta(detail::PointAt(d.p), k + 1.0, d.n - k);
  return {k, e, e.logPrefactor.hi - std::log(d.p) - std::log(d.n - k)};
}

bool Reaches(const Cut& cut, const detail::TailTarget& target, bool onCdf) {
  const detail::BetaEvaluation& e = cut.beta;
  if (onCdf) return detail::LogRatioTo(target, e.tails.upper, e.logUpper) >= 0.0;
  return detail::LogRatioTo(target, e.tails.lower, e.logLower) <= 0.0;
}

// The change of the smaller tail's logarithm from k - 1 to k: from the mass
// at k, P(X <= k - 1) = P(X <= k) - P(X = k) and P(X > k - 1) = P(X > k) +
// P(X = k), where that difference keeps its digits; else from the tails at
// a neighbour.
double LogTailStep(const Binomial& d, const Cut& here, bool onCdf) {
  constexpr double kLargestShare = 0.5;
  const double k = here.k;
  // P(X > k - 1) = P(X > k) + P(X = k), at k = 0 as well.
  if (!onCdf) return -std::log1p(std::exp(here.logMass - here.LogSf()));
  if (k >= 1.0) {
    const double share = std::exp(here.logMass - here.LogCdf());
    if (share <= kLargestShare) return -std::log1p(-share);
  }
  const double neighbour = k >= 1.0 ? k - 1.0 : k + 1.0;
  if (neighbour >= d.n) return kNaN;
  const PreciseTails there = Tails(d, neighbour, true);
  const double change = onCdf ? here.LogCdf() - there.lower : here.LogSf() - there.upper;
  return change / (k - neighbour);
}

// Whether k - 1 (step -1) or k + 1 (step +1) Reaches the target, from the
// tails and the mass at k, P(X = k ± 1) following from P(X = k) by the
// ratio of neighbouring masses: 1 (yes), 0 (no), or -1 where the sum or
// difference lies within kDecisionMargin of the target or cancels (the
// neighbour is then evaluated for itself).
constexpr double kDecisionMargin = 1e-12;
int NeighbourReaches(const Binomial& d, const Cut& here, int step,
                     const detail::TailTarget& target, bool onCdf) {
  const double k = here.k;
  double logMass = here.logMass;
  if (step > 0) {
    if (k + 1.0 >= d.n) return -1;
    logMass += std::log((d.n - k) / (k + 1.0)) + std::log(d.p) - std::log1p(-d.p);
  }
  // The tail changes by this mass: added to P(X <= k) going up, taken
  // from it going down, and the other way round for P(X > k).
  const double logTail = onCdf ? here.LogCdf() : here.LogSf();
  const double share = std::exp(logMass - logTail);
  const bool adds = (step > 0) == onCdf;
  constexpr double kLargestShare = 0.5;
  if (!adds && share > kLargestShare) return -1;
  const double logNeighbour = logTail + (adds ? std::log1p(share) : std::log1p(-share));
  const double gap = logNeighbour - target.log;
  if (!(std::fabs(gap) > kDecisionMargin * (1.0 + std::fabs(target.log)))) return -1;
  return onCdf ? gap > 0.0 : gap < 0.0;
}

// The least k in [0, n] that Reaches the target, from a guess k: the
// bracket around the guess doubled until it holds the change, then halved
// (the neighbours of a close guess are the only ones evaluated).
double LeastReaching(const Binomial& d, double k, const detail::TailTarget& target, bool onCdf) {
  double reaching = k;  // Reaches
  double notReaching = k - 1.0;  // does not reach (-1: none does)
  double width = 1.0;
  if (Reaches(d, k, target, onCdf)) {
    while (notReaching >= 0.0 && Reaches(d, notReaching, target, onCdf)) {
      reaching = notReaching;
      width *= 2.0;
      notReaching = std::max(reaching - width, -1.0);
    }
  } else {
    notReaching = k;
    reaching = std::min(k + 1.0, d.n);
    while (reaching < d.n && !Reaches(d, reaching, target, onCdf)) {
      notReaching = reaching;
      width *= 2.0;
      reaching = std::min(notReaching + width, d.n);
    }
  }
  while (reaching - notReaching > 1.0) {
    const double middle = std::floor(0.5 * (notReaching + reaching));
    if (Reaches(d, middle, target, onCdf)) {
      reaching = middle;
    } else {
      notReaching = middle;
    }
  }
  return reaching;
}

// The least k with P(X <= k) >= P (for the upper forms P(X > k) <= Q),
// from a probability (isLog false) or its logarithm.
double QuantileOf(const Binomial& d, double argument, bool isLog, bool upper) {
  const detail::TailTarget target = detail::SmallerTailTarget(argument, isLog);
  if (!Valid(d) || std::isnan(target.log)) return kNaN;
  // P(X <= k) >= P is P(X > k) <= 1 - P, and the other way round.
  const bool onCdf = upper == target.complemented;
  if (d.p == 0.0) return 0.0;
  if (d.p == 1.0) return Reaches(d, 0.0, target, onCdf) ? 0.0 : d.n;
  // The ends from their closed forms where the target lies clear of them:
  // P(X <= 0) = (1 - p)^n, P(X > n - 1) = p^n.
  const double logEnd = onCdf ? d.n * std::log1p(-d.p) : d.n * std::log(d.p);
  if (std::fabs(logEnd - target.log) > kDecisionMargin * (1.0 + std::fabs(target.log))) {
    if (onCdf && logEnd > target.log) return 0.0;
    if (!onCdf && logEnd > target.log) return d.n;
  }
  // The normal approximation with the skewness correction (Cornish–Fisher);
  // z is the deviate of the smaller tail, on the side of the root.
  const double deviate = quantile_upper_log(Normal{}, target.log);
  const double z = onCdf ? -deviate : deviate;
  const double q = 1.0 - d.p;
  const double sd = std::sqrt(d.n * d.p * q);
  double k = std::floor(d.n * d.p + z * sd + (z * z - 1.0) * (q - d.p) / 6.0);
  k = std::clamp(k, 0.0, d.n);
  // Newton's steps on the logarithm of that tail, over the integers, until
  // they stall or turn back (the root then lies within a step or two).
  if (k >= d.n) return LeastReaching(d, k, target, onCdf);
  double previous = -1.0;
  Cut here = CutAt(d, k);
  for (int step = 0; step < kNewtonSteps; ++step) {
    const double value = onCdf ? here.LogCdf() : here.LogSf();
    const double slope = LogTailStep(d, here, onCdf);
    if (!(std::fabs(slope) > 0.0) || !std::isfinite(slope)) break;
    const double next = std::clamp(k + std::round((target.log - value) / slope), 0.0, d.n);
    if (next == k || next == previous || next >= d.n) break;
    previous = k;
    k = next;
    here = CutAt(d, k);
  }
  // Settled at k where k reaches and k - 1 does not (or k does not and
  // k + 1 does), judged from the tails at k where the margin allows.
  // Where the margin does not allow, the neighbour is evaluated for itself.
  if (Reaches(here, target, onCdf)) {
    if (k == 0.0) return 0.0;
    int below = NeighbourReaches(d, here, -1, target, onCdf);
    if (below == -1) below = Reaches(CutAt(d, k - 1.0), target, onCdf);
    return below == 0 ? k : LeastReaching(d, k - 1.0, target, onCdf);
  }
  int above = NeighbourReaches(d, here, 1, target, onCdf);
  if (above == -1 && k + 1.0 < d.n) above = Reaches(CutAt(d, k + 1.0), target, onCdf);
  return above == 1 ? k + 1.0 : LeastReaching(d, k + 1.0, target, onCdf);
}

}  // namespace

double cdf(const Binomial& d, double x) { return Tails(d, x, false).lower; }
double sf(const Binomial& d, double x) { return Tails(d, x, false).upper; }
double log_cdf(const Binomial& d, double x) { return Tails(d, x, true).lower; }
double log_sf(const Binomial& d, double x) { return Tails(d, x, true).upper; }

double pdf(const Binomial& d, double x) {
  if (!Valid(d) || std::isnan(x)) return kNaN;
  const double settled = SettledMass(d, x);
  if (!std::isnan(settled)) return settled;
  return detail::Exp(LogMass(d, x));
}

double log_pdf(const Binomial& d, double x) {
  if (!Valid(d) || std::isnan(x)) return kNaN;
  const double settled = SettledMass(d, x);
  if (!std::isnan(settled)) return std::log(settled);
  return LogMass(d, x).hi;
}

double quantile(const Binomial& d, double p) { return QuantileOf(d, p, false, false); }
double quantile_upper(const Binomial& d, double q) { return QuantileOf(d, q, false, true); }
double quantile_log(const Binomial& d, double logP) { return QuantileOf(d, logP, true, false); }
double quantile_upper_log(const Binomial& d, double logQ) {
  return QuantileOf(d, logQ, true, true);
}

}  // namespace specfun
