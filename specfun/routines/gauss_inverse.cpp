// The inverse of the Gaussian upper tail: the x with Q(x) = p.
//
// A rational start in t = sqrt(-2 ln p'), p' = min(p, 1 - p) (Abramowitz &
// Stegun 26.2.23, absolute error below 4.5e-4), then exactly three Newton
// steps on QGauss.
//
// Where those steps leave more than 1e-12 relative error, the deviate is
// solved again for the smaller tail q = min(p, 1 - p), which is exact, and
// given the sign of p - 1/2 (RefineGaussianDeviate):
// - near the centre (q above Q(1/2)), one Newton step on
//   1/2 - q = ∫ from 0 to x of φ, the integral from its power series
//   φ(x)·(x + x³/3 + x⁵/15 + ...) (A&S 26.2.11), which keeps the digits of a
//   small x;
// - from x = 2.25 to 3, one Newton step on Laplace's continued fraction for
//   Q (A&S 26.2.14) taken 100 levels deep;
// - below Q(35.8), where QGauss ends at 37, Newton's method on ln Q from its
//   asymptotic series Q(x) = φ(x)/x·(1 - 1/x² + 3/x⁴ - 15/x⁶ + ...)
//   (A&S 26.2.12), eight terms.
// Where the three steps are known to be kept (KeepsThreeSteps) neither the
// smaller tail nor the accurate deviate is evaluated.
#include "specfun/routines/gauss_inverse.hpp"

#include <cmath>

#include "specfun/diagnostics/diagnostic_sink.hpp"
#include "specfun/kernels/batch.hpp"
#include "specfun/kernels/inline_calls.hpp"
#include "specfun/kernels/lanes.hpp"
#include "specfun/kernels/math_constants.hpp"
#include "specfun/kernels/gauss.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

constexpr double kC0 = 2.515517;
constexpr double kC1 = 0.802853;
constexpr double kC2 = 0.010328;
constexpr double kD1 = 1.432788;
constexpr double kD2 = 0.189269;
constexpr double kD3 = 0.001308;
using detail::kInvSqrtTwoPi;
using detail::DeepLaplaceRatio;
using detail::kLogSqrtTwoPi;
// Stands for an infinite deviate: the single-precision value nearest 1e20.
constexpr double kInfiniteDeviate = 1.0000000200408773e+20;
constexpr int kNewtonSteps = 3;

// Accepted distance of the three steps' deviate from the accurate one,
// relative to it (near p = 1/2 too, where the deviate is near 0 and
// 1/2 − p is exact).
constexpr double kKeepRelative = 9.9e-13;
// At p = 1/2, whose deviate is 0, the steps are kept up to this distance
// from 0.
constexpr double kCentreKeptUpTo = 0.99e-17;
// Below this tail the deviate comes from the asymptotic series (x > 35.8).
constexpr double kAsymptoticBelow = 1e-280;
// Deviates below this take the power series of the central integral.
constexpr double kCentralSeriesBelow = 0.5;
// Deviates above QGauss's switch point 2.25 and up to this take the deep
// fraction (DeepLaplaceRatio); beyond 3 Laplace's fraction at QGauss's 40
// levels is within 1e-14.
constexpr double kSwitchPoint = 2.25;
constexpr double kDeepFractionUpTo = 3.0;
constexpr int kAsymptoticTerms = 8;
constexpr int kAsymptoticNewtonSteps = 4;
// For p above 1/2 with 1 - p in these ranges, the three steps on p itself
// come within 2 % (first range) and 9 % (second) of the keep tolerance of
// the accurate deviate (checked at every double p next to the ends and at
// millions between), so they are kept without solving the smaller tail
// again. Between the ranges Laplace's fraction at 40 levels leaves the
// steps near the tolerance.
//
// Up to 1 - p = 0.0101 (deviates from 2.3226 on) the bound is a priori:
// from the rational start, within 4.5e-4, the three Newton steps (error
// (x/2)·e² each, 3e-7, 2e-13, 1e-25) reach the root of QGauss's 40-level
// fraction to its rounding, a few 1e-15; that root lies R100(x) - R40(x)
// from the deviate the refinement's 100 levels give (to 2e-16 of Laplace's
// fraction), a difference that falls with x from 2.02e-12 = 0.88 of the
// tolerance 9.9e-13·x at x = 2.32 to 1.4e-15 at 3.
constexpr double kUpperKeepFrom = 0.0135;
constexpr double kUpperKeepTo = 0.46;
constexpr double kFarUpperKeepFrom = 5e-5;
constexpr double kFarKeepTo = 0.0101;
// For p up to 1/2 the three steps are the refinement's result from the foot
// of the asymptotic series up to the same kFarKeepTo (deviates from 2.3226
// to 35.8: beyond 3 the refinement takes the steps as they are), and from
// 0.0123 to 0.30 (deviates from 0.524 to 2.248, between the central series
// and the deep fraction, where it takes them as they are too).
constexpr double kMiddleKeepFrom = 0.0123;
constexpr double kMiddleKeepTo = 0.30;

double RationalStart(double p) {
  const double pp = p <= 0.5 ? p : 1.0 - p;
  const double t = std::sqrt(-2.0 * std::log(pp));
  const double numerator = kC0 + kC1 * t + kC2 * t * t;
  const double denominator = 1.0 + kD1 * t + kD2 * t * t + kD3 * t * t * t;
  const double x = t - numerator / denominator;
  return p > 0.5 ? -x : x;
}

template <class V>
V Density(const V& x) {
  return detail::LaneExp(-x * x / 2.0) * kInvSqrtTwoPi;
}

// Newton's step on QGauss from x, given q = QGauss(x); the derivative of Q
// is -φ, taken at the x of the start of the step.
template <class V>
V NewtonStep(const V& x, const V& q, const V& p) {
  return x + (q - p) / Density(x);
}

// NewtonStep from x, with QGauss and φ at x from one evaluation.
double NewtonStepOnQGauss(double x, double p) {
  double density;
  const double q = detail::QGaussAndDensity(x, density);
  return x + (q - p) / density;
}

double ThreeNewtonSteps(double p, double x) {
  for (int step = 0; step < kNewtonSteps; ++step) x = NewtonStepOnQGauss(x, p);
  return x;
}

// ThreeNewtonSteps of kLaneCount probabilities side by side.
SPECFUN_LANE_TARGETS
void ThreeNewtonStepsLanes(const double* p, const double* start, double* result) {
  using Pack = detail::Lanes;
  const Pack probability = Pack::Load(p);
  Pack x = Pack::Load(start);
  for (int step = 0; step < kNewtonSteps; ++step) {
    double deviate[detail::kLaneCount];
    double q[detail::kLaneCount];
    x.Store(deviate);
    detail::QGaussLanes(deviate, q);
    x = NewtonStep(x, Pack::Load(q), probability);
  }
  x.Store(result);
}

// The series of ∫ from 0 to x of φ for 0 <= x < 1/2, the integral over
// φ(x): Σ x^(2k+1)/(1·3·…·(2k+1)).
double CentralSeries(double x) {
  const double x2 = x * x;
  double term = x;
  double sum = x;
  for (int k = 1; term > 1e-18 * sum; ++k) {
    term *= x2 / (2 * k + 1);
    sum += term;
  }
  return sum;
}

bool TakesDeepFraction(double x) { return x > kSwitchPoint && x <= kDeepFractionUpTo; }

// DeepLaplaceRatio of kLaneCount arguments side by side.
SPECFUN_LANE_TARGETS
void DeepLaplaceRatioLanes(const double* x, double* ratio) {
  DeepLaplaceRatio(detail::Lanes::Load(x)).Store(ratio);
}

// The x > 35 with Q(x) = q, by Newton's method on ln Q from the asymptotic
// series, starting from x² = -2 ln q - ln(-2 ln q) - ln 2π.
double AsymptoticTailDeviate(double q) {
  const double logQ = std::log(q);
  const double twiceMinusLogQ = -2.0 * logQ;
  double x = std::sqrt(twiceMinusLogQ - std::log(twiceMinusLogQ) - 2.0 * kLogSqrtTwoPi);
  for (int step = 0; step < kAsymptoticNewtonSteps; ++step) {
    const double inverseSquare = 1.0 / (x * x);
    double term = 1.0;
    double series = 1.0;
    for (int k = 1; k < kAsymptoticTerms; ++k) {
      term *= -(2 * k - 1) * inverseSquare;
      series += term;
    }
    const double logTail = -x * x / 2.0 - std::log(x) - kLogSqrtTwoPi + std::log(series);
    // d ln Q / dx = -φ/Q = -x/series.
    x = x + (logTail - logQ) * series / x;
  }
  return x;
}

// The positive deviate of the tail q <= 1/2, to about 1e-14 relative, given
// x = ThreeNewtonSteps(q, RationalStart(q)) (not used below Q(35.8)) and,
// where TakesDeepFraction(x), deepRatio = DeepLaplaceRatio(x).
double AccurateUpperDeviate(double q, double x, double deepRatio) {
  if (q < kAsymptoticBelow) return AsymptoticTailDeviate(q);
  if (x < kCentralSeriesBelow) {
    // 1/2 - q is exact here (q > 0.3).
    const double density = Density(x);
    // Newton's step for Q(x) = q with Q(x) = 1/2 − φ(x)·CentralSeries(x).
    return x + ((0.5 - q) - density * CentralSeries(x)) / density;
  }
  if (TakesDeepFraction(x)) {
    const double density = Density(x);
    return x + (density * deepRatio - q) / density;
  }
  return x;
}

// RefineGaussianDeviate given also deepRatio = DeepLaplaceRatio(smallerTailX)
// where TakesDeepFraction(smallerTailX).
double RefineWithRatio(double p, double x, double smallerTailX, double deepRatio) {
  const double accurate = p <= 0.5 ? AccurateUpperDeviate(p, smallerTailX, deepRatio)
                                   : -AccurateUpperDeviate(1.0 - p, smallerTailX, deepRatio);
  if (std::fabs(x - accurate) <= kKeepRelative * std::fabs(accurate)) return x;
  // At p = 1/2 the steps land within a unit of 0, where no relative
  // distance can be met; they are kept there.
  if (p == 0.5 && std::fabs(x) <= kCentreKeptUpTo) return x;
  return accurate;
}

// Whether p's three steps are its deviate without refinement.
bool KeepsThreeSteps(double p) {
  if (p <= 0.5) {
    return (p >= kAsymptoticBelow && p <= kFarKeepTo) ||
           (p >= kMiddleKeepFrom && p <= kMiddleKeepTo);
  }
  const double q = 1.0 - p;
  return (q >= kUpperKeepFrom && q <= kUpperKeepTo) ||
         (q >= kFarUpperKeepFrom && q <= kFarKeepTo);
}

}  // namespace

namespace detail {

double RefineGaussianDeviate(double p, double x) {
  // Where p is the smaller tail, its three steps are x itself.
  const double q = 1.0 - p;
  return RefineGaussianDeviate(p, x, p <= 0.5 ? x : ThreeNewtonSteps(q, RationalStart(q)));
}

double RefineGaussianDeviate(double p, double x, double smallerTailX) {
  const bool deep = TakesDeepFraction(smallerTailX);
  return RefineWithRatio(p, x, smallerTailX, deep ? DeepLaplaceRatio(smallerTailX) : 0.0);
}

}  // namespace detail

SPECFUN_INLINE_CALLS
double QGaussInv(const double& p) {
  if (p < 0.0) {
    detail::EmitDiagnostic({Text("QGaussInv negative input; 0 used; inpu:"), Real(p)});
    return kInfiniteDeviate;
  }
  if (p == 0.0) return kInfiniteDeviate;
  if (p > 1.0) {
    detail::EmitDiagnostic({Text("QGaussInv input >1; 1 used; input:"), Real(p)});
    return -kInfiniteDeviate;
  }
  if (!(p < 1.0)) return -kInfiniteDeviate;
  if (KeepsThreeSteps(p)) return ThreeNewtonSteps(p, RationalStart(p));
  if (p <= 0.5) {
    const double x = ThreeNewtonSteps(p, RationalStart(p));
    // At p = 1/2, where 1/2 - p is 0 and the central series of an x this
    // small is x itself, the refinement's correction is x itself in size (to
    // within a unit), so it keeps x within the absolute tolerance.
    if (p == 0.5 && std::fabs(x) <= kCentreKeptUpTo) return x;
    return detail::RefineGaussianDeviate(p, x);
  }
  // The steps for p and for the smaller tail 1 - p, interleaved so that
  // their fractions overlap.
  const double q = 1.0 - p;
  double x = RationalStart(p);
  double smallerTailX = RationalStart(q);
  for (int step = 0; step < kNewtonSteps; ++step) {
    x = NewtonStepOnQGauss(x, p);
    smallerTailX = NewtonStepOnQGauss(smallerTailX, q);
  }
  return detail::RefineGaussianDeviate(p, x, smallerTailX);
}

namespace detail {

// The three Newton steps run in lockstep, for p and, where p > 1/2, for the
// smaller tail 1 - p as well, sorted by the fraction of QGauss their start
// needs; the refinement follows element by element.
void QGaussInvInLockstep(const double* p, std::size_t count, double* result, ElementFlag* flags) {
  // Runs 2i and 2i + 1: element i for p and for 1 - p.
  double probability[2 * kChunkLength];
  double start[2 * kChunkLength];
  double deviate[2 * kChunkLength];
  MethodGroups centre;
  MethodGroups tail;
  const auto addRun = [&](std::size_t run, double q) {
    probability[run] = q;
    start[run] = RationalStart(q);
    (QGaussInCentre(start[run]) ? centre : tail).Add(run);
  };
  for (std::size_t i = 0; i < count; ++i) {
    const bool inside = p[i] > 0.0 && p[i] < 1.0;
    flags[i] = inside ? kDone : kEvaluateScalar;
    if (!inside) continue;
    addRun(2 * i, p[i]);
    if (p[i] > 0.5 && !KeepsThreeSteps(p[i])) addRun(2 * i + 1, 1.0 - p[i]);
  }
  for (const MethodGroups* group : {&centre, &tail}) {
    ForEachLaneSet(*group, [&](const std::size_t* run, std::size_t used) {
      double lanesP[kLaneCount];
      double lanesStart[kLaneCount];
      double out[kLaneCount];
      Gather(probability, run, lanesP);
      Gather(start, run, lanesStart);
      ThreeNewtonStepsLanes(lanesP, lanesStart, out);
      Scatter(out, run, used, deviate);
    });
  }
  // The refinement's deep fraction, side by side, where the smaller tail
  // takes it.
  double smallerTailX[kChunkLength];
  double deepRatio[kChunkLength];
  MethodGroups deep;
  for (std::size_t i = 0; i < count; ++i) {
    if (flags[i] != kDone || KeepsThreeSteps(p[i])) continue;
    smallerTailX[i] = p[i] <= 0.5 ? deviate[2 * i] : deviate[2 * i + 1];
    if (TakesDeepFraction(smallerTailX[i])) deep.Add(i);
  }
  ForEachLaneSet(deep, [&](const std::size_t* element, std::size_t used) {
    double lanesX[kLaneCount];
    double out[kLaneCount];
    Gather(smallerTailX, element, lanesX);
    DeepLaplaceRatioLanes(lanesX, out);
    Scatter(out, element, used, deepRatio);
  });
  for (std::size_t i = 0; i < count; ++i) {
    if (flags[i] != kDone) continue;
    if (KeepsThreeSteps(p[i])) {
      result[i] = deviate[2 * i];
      continue;
    }
    const bool takesDeep = TakesDeepFraction(smallerTailX[i]);
    result[i] =
        RefineWithRatio(p[i], deviate[2 * i], smallerTailX[i], takesDeep ? deepRatio[i] : 0.0);
  }
}

}  // namespace detail

// Probabilities outside (0, 1) are answered by the scalar routine in order,
// with its reports.
void QGaussInvBatch(const double* p, double* result, std::size_t count) {
  detail::RunBatch(
      count,
      [=](std::size_t begin, std::size_t end, detail::ElementFlag* flags,
          detail::DeferredRecords&) {
        detail::QGaussInvInLockstep(p + begin, end - begin, result + begin, flags);
      },
      [=](std::size_t i) { result[i] = QGaussInv(p[i]); });
}

}  // namespace specfun
