// The quantile of the beta distribution, x with I(x, a, b) = p, to full
// relative precision in the smaller of x and 1 - x.
//
// The equation is solved for the smaller tail: I(x, a, b) = p for p <= 1/2,
// else I(1 - x, b, a) = 1 - p (A&S 26.5.2), 1 - p being exact there. The
// unknown is u = ln(x / (1 - x)), from which x and 1 - x both follow to full
// precision. The density of u is proportional to e^(au)/(1 + e^u)^(a + b),
// which is log-concave, so the logarithm of either tail is concave in u and
// Newton's method on h(u) = ln I - ln p never overshoots from below and
// overshoots at most once from above; a bracket of the root, shrunk at every
// step, takes a bisection wherever a step would leave it. dh/du is
// x^a (1 - x)^b / (B(a, b) I); ln I and that prefactor come from
// LogIncompleteBetaTails.
#include "specfun/routines/beta_quantile.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "specfun/kernels/incomplete_beta_tails.hpp"
#include "specfun/kernels/log_one_plus.hpp"
#include "specfun/kernels/gauss.hpp"
#include "specfun/kernels/log_tail_newton.hpp"
#include "specfun/kernels/math_constants.hpp"
#include "specfun/kernels/stirling_remainder.hpp"
#include "specfun/routines/chi_square_inverse.hpp"
#include "specfun/routines/gauss_inverse.hpp"
#include "specfun/specfun.hpp"

namespace specfun::detail {
namespace {

// Beyond ±745 in u, x or 1 - x is 0 in double precision; u itself serves
// the t and F inverses, whose largest results (1.8e308) lie within ±1500.
constexpr double kLogitLimit = 1500.0;
// A step in u below this (relative to max(1, |u|)) ends the iteration; u
// then has about twice as many correct digits.
constexpr double kStepTolerance = 1e-9;
// BetaInv's own result is kept where it is within this of the root.
constexpr double kKeepWithin = 1e-8;
// The odds x/(1 - x) from it serve the F and t inverses where they are
// within this of the root's (F keeps 9.9e-9, t half the odds' error, 5e-9).
constexpr double kOddsKeepWithin = 9e-9;
// Half the spacing of the doubles just below 1.
constexpr double kHalfQuantumBelowOne = 0x1p-54;

// A point u with x, 1 - x and their logarithms, each to full precision.
struct Point {
  double u;
  double x;
  double y;
  double logX;
  double logY;
};

Point PointAt(double u) {
  if (u < 0.0) {
    const double e = std::exp(u);
    const double log1pE = std::log1p(e);
    return {u, e / (1.0 + e), 1.0 / (1.0 + e), u - log1pE, -log1pE};
  }
  const double e = std::exp(-u);
  const double log1pE = std::log1p(e);
  return {u, 1.0 / (1.0 + e), e / (1.0 + e), -log1pE, -u - log1pE};
}

Point Mirror(const Point& point) { return {-point.u, point.y, point.x, point.logY, point.logX}; }

// The equation on the smaller tail: I(x, a, b) = target, with a and b
// exchanged and u mirrored when p > 1/2.
struct Frame {
  double logTarget;
  double a;
  double b;
  bool mirrored;
};

Frame FrameFor(double p, double a, double b) {
  const bool mirrored = p > 0.5;
  if (mirrored) return {std::log(1.0 - p), b, a, true};
  return {std::log(p), a, b, false};
}

// h(u) and dh/du.
LogTailStep Evaluate(const Frame& frame, const Point& point) {
  const LogBetaTails tails =
      LogIncompleteBetaTails(point.x, point.y, point.logX, point.logY, frame.a, frame.b);
  return {tails.lower - frame.logTarget, std::exp(tails.logPrefactor - tails.lower)};
}

// The u of the leading term of the lower tail, I ≈ x^a / (a B(a, b)), or of
// the mean where that is not small; logBeta = ln B(a, b).
double TailStart(const Frame& frame, double logBeta) {
  const double logX = (frame.logTarget + std::log(frame.a) + logBeta) / frame.a;
  if (logX < -std::log(2.0)) return logX - std::log1p(-std::exp(logX));
  return std::log(frame.a / frame.b);
}

BetaQuantile ToQuantile(const Frame& frame, const Point& point) {
  const Point inFrame = frame.mirrored ? Mirror(point) : point;
  return {inFrame.x, inFrame.y, inFrame.u};
}

BetaQuantile SolveInFrame(const Frame& frame, double u) {
  const auto evaluate = [&frame](double at) { return Evaluate(frame, PointAt(at)); };
  return ToQuantile(frame, PointAt(SolveOnLogTail(evaluate, u, -kLogitLimit, kLogitLimit,
                                             kStepTolerance)));
}

// Large parameters.

// Temme's expansion serves from this smaller parameter on; below it the
// gamma limit. Measured at p = 1e-300 beside a larger parameter of 1.1e6:
// Temme's error falls from 2e-6 at 150 to 3e-7 at 300 and 8e-9 at 1000,
// the gamma limit's grows from 2e-9 at 250 to 1e-7 at 1000.
constexpr double kTemmeFrom = 600.0;
// Below this |η| the term 1/η - √(x0 x1)/(x - x0) of Temme's expansion is
// taken at its limit, (x0 - x1)/(3√(x0 x1)).
constexpr double kEtaSeriesBelow = 1e-6;
// Offsets v = u - ln(a/b) are sought within ±this.
constexpr double kOffsetLimit = 700.0;
constexpr double kOffsetTolerance = 1e-12;
// The approximate quantile is kept where Newton's correction in u is below
// this: x, 1 - x and the odds then lie within about 1e-9 of the root.
constexpr double kLargeParameterKeepWithin = 1e-9;
constexpr double kRefinedBelow = 1e5;

// One of a and b beyond all bounds beside the other: with a large,
// 1 - I(x, a, b) tends to P(b, -(a + (b - 1)/2)·ln x), the incomplete gamma
// function (Temme's expansion for a large and b fixed, first term), with an
// error that grows with b and with the argument; with b large likewise
// I(x, a, b) tends to P(a, -(b + (a - 1)/2)·ln(1 - x)). The quantile then
// comes from the chi-square quantile with 2b (or 2a) degrees of freedom.
BetaQuantile GammaLimitQuantile(double p, double a, double b) {
  const bool lowerTail = p <= 0.5;
  const double tail = lowerTail ? p : 1.0 - p;
  if (a >= b) {
    const double halfChiSquare = 0.5 * SolveChiSquareQuantile(tail, lowerTail, b + b);
    const double logX = -halfChiSquare / (a + 0.5 * (b - 1.0));
    const double y = -std::expm1(logX);
    return {std::exp(logX), y, logX - std::log(y)};
  }
  const double halfChiSquare = 0.5 * SolveChiSquareQuantile(tail, !lowerTail, a + a);
  const double logY = -halfChiSquare / (b + 0.5 * (a - 1.0));
  const double x = -std::expm1(logY);
  return {x, std::exp(logY), std::log(x) - logY};
}

// Both parameters large: Temme's uniform expansion (DLMF §8.18(ii)) in the
// offset v = u - ln(a/b) from the mean x0 = a/(a + b), x1 = 1 - x0, r = a + b:
//   I(x, a, b) = Φ(η√r) + φ(η√r)·(1/η - √(x0 x1)/(x - x0))/√r,
// with -η²/2 = x0·ln(x/x0) + x1·ln((1 - x)/x1), η of the sign of x - x0; the
// second term tends to (x1 - x0)/(3√(x0 x1)) as η tends to 0. The next term
// is of relative order 1/r. dI/dv = G·√(x0 x1 r)·φ(η√r), with
// G = Γ*(r)/(Γ*(a)Γ*(b)) from the scaled gamma function Γ*.
class Temme {
 public:
  Temme(double p, double a, double b)
      : lowerTail_(p <= 0.5),
        logTarget_(std::log(p <= 0.5 ? p : 1.0 - p)),
        x0_(1.0 / (1.0 + b / a)),
        x1_(1.0 / (1.0 + a / b)),
        spread_(std::sqrt(x0_ * x1_)),
        rootR_(std::sqrt(std::fmax(a, b)) * std::sqrt(1.0 + std::fmin(a, b) / std::fmax(a, b))),
        logG_(StirlingRemainderThreeTerms(rootR_ * rootR_) - StirlingRemainderThreeTerms(a) -
              StirlingRemainderThreeTerms(b)),
        logMean_(std::log(a) - std::log(b)) {}

  // h(v) = ln(tail) - ln(target), increasing in v, and dh/dv.
  LogTailStep At(double v) const {
    const double e = std::expm1(v);
    const double scale = 1.0 + x0_ * e;
    const double delta0 = x1_ * e / scale;  // (x - x0)/x0
    const double delta1 = x0_ * e / scale;  // (x - x0)/x1
    const double halfEtaSquared =
        x0_ * SelfMinusLogOnePlus(delta0) + x1_ * SelfMinusLogOnePlus(-delta1);
    const double eta = std::copysign(std::sqrt(2.0 * halfEtaSquared), v);
    const double w = eta * rootR_;
    const double c = std::fabs(eta) < kEtaSeriesBelow ? (x1_ - x0_) / (3.0 * spread_)
                                                     : 1.0 / eta - spread_ / (x0_ * delta0);
    const double logPhi = -0.5 * w * w - kLogSqrtTwoPi;
    // The tail on the side of v, then the other as its complement.
    const double millsRatio = std::exp(LogMillsRatio(std::fabs(w)));
    const double logNear = logPhi + std::log(v <= 0.0 ? millsRatio + c / rootR_ : millsRatio - c / rootR_);
    const bool nearIsLower = v <= 0.0;
    const double logTail =
        nearIsLower == lowerTail_ ? logNear : std::log1p(-std::exp(logNear));
    const double logDensity = logG_ + std::log(spread_ * rootR_) + logPhi;
    const double h = lowerTail_ ? logTail - logTarget_ : logTarget_ - logTail;
    return {h, std::exp(logDensity - logTail)};
  }

  double Start() const {
    const double z = QGaussInv(std::exp(logTarget_));
    return (lowerTail_ ? -z : z) / (rootR_ * spread_);
  }

  BetaQuantile Quantile(double v) const {
    const Point point = PointAt(logMean_ + v);
    return {point.x, point.y, point.u};
  }

 private:
  bool lowerTail_;
  double logTarget_;
  double x0_;
  double x1_;
  double spread_;
  double rootR_;
  double logG_;
  double logMean_;
};

// The quantile from the gamma limit where the smaller parameter is below
// kTemmeFrom, else from Temme's expansion.
BetaQuantile ApproximateLargeParameterQuantile(double p, double a, double b) {
  if (std::fmin(a, b) < kTemmeFrom) return GammaLimitQuantile(p, a, b);
  const Temme temme(p, a, b);
  const auto evaluate = [&temme](double v) { return temme.At(v); };
  return temme.Quantile(
      SolveOnLogTail(evaluate, temme.Start(), -kOffsetLimit, kOffsetLimit, kOffsetTolerance));
}

}  // namespace

BetaQuantile LargeParameterBetaQuantile(double p, double a, double b) {
  const BetaQuantile approximate = ApproximateLargeParameterQuantile(p, a, b);
  // The approximations' own errors (the gamma limit's, Temme's next term)
  // reach 1e-5 where the smaller parameter lies between a few hundred and a
  // few thousand beside a far larger one; there, past 1e-9, they are
  // corrected by Newton's method on the tail itself. Beyond, Temme's error
  // is far below 1e-12, and the root lies so near the mean that the tail
  // cannot resolve it in double precision.
  if (std::fmin(a, b) >= kRefinedBelow) return approximate;
  const Frame frame = FrameFor(p, a, b);
  if (!std::isfinite(approximate.logRatio)) return SolveBetaQuantile(p, a, b, approximate.x);
  const Point point = PointAt(frame.mirrored ? -approximate.logRatio : approximate.logRatio);
  const LogTailStep e = Evaluate(frame, point);
  // Newton's correction in u, by which x/(1 - x) moves relatively, x by
  // (1 - x) times it and 1 - x by x times it.
  const double correction = e.h / e.slope;
  if (std::fabs(correction) <= kLargeParameterKeepWithin) return approximate;
  return SolveInFrame(frame, point.u - correction);
}

BetaQuantile SolveBetaQuantile(double p, double a, double b, double start) {
  const double logBeta = LogBeta(a, b);
  const Frame frame = FrameFor(p, a, b);
  // A root beyond the doubles at either end, as with a parameter far below
  // 1: the leading term of the lower tail, an upper bound on x where it is
  // this small, puts x below e^-750; or the lower tail cannot reach the
  // target anywhere x is below 1 in double precision, since there
  // I(x, a, b) <= b·(1/a + 750 + ln(1 + a)) for small b.
  const double logLeading = (frame.logTarget + std::log(frame.a) + logBeta) / frame.a;
  // There u is infinite: the t and F inverses are then 0 or +∞.
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  if (logLeading < -kLogitLimit) return ToQuantile(frame, PointAt(-kInfinity));
  if (frame.b * (1.0 / frame.a + kLogitLimit + std::log1p(frame.a)) < std::exp(frame.logTarget)) {
    return ToQuantile(frame, PointAt(kInfinity));
  }
  double u = TailStart(frame, logBeta);
  if (start > 0.0 && start < 1.0) {
    const double logit = std::log(start / (1.0 - start));
    u = frame.mirrored ? -logit : logit;
  }
  return SolveInFrame(frame, u);
}

BetaQuantile RefineBetaQuantile(double p, double a, double b, double x, bool converged) {
  if (!converged || !(x > 0.0 && x < 1.0)) return SolveBetaQuantile(p, a, b, x);
  const double y = 1.0 - x;
  const Frame frame = FrameFor(p, a, b);
  const Point point{std::log(x / y), x, y, std::log(x), std::log(y)};
  const Point inFrame = frame.mirrored ? Mirror(point) : point;
  const LogTailStep e = Evaluate(frame, inFrame);
  // Newton's correction in u; x and 1 - x move by x(1 - x) times it.
  const double correction = std::fabs(e.h / e.slope);
  const double xMove = correction * x * y;
  const bool xWithin = xMove <= kKeepWithin * std::min(x, y) ||
                       (x > 0.5 && xMove <= kHalfQuantumBelowOne);
  const bool yWithin = correction * x <= kKeepWithin;
  // The odds from the kept x and y err by the correction itself; from the
  // kept x and the root's y, by x's part of it.
  const bool oddsWithin = correction * (yWithin ? 1.0 : y) <= kOddsKeepWithin;
  if (xWithin && yWithin && oddsWithin) return {x, y, point.u};
  const BetaQuantile solved = SolveInFrame(frame, inFrame.u - e.h / e.slope);
  if (xWithin && yWithin) return {x, y, solved.logRatio, true};
  if (xWithin) return {x, solved.y, solved.logRatio, !oddsWithin};
  return solved;
}

}  // namespace specfun::detail
