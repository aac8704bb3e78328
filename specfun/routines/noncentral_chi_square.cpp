// The non-central chi-square distribution with ν degrees of freedom and
// non-centrality λ: the Poisson mixture of central tails
//   e^(−λ/2) · Σ_j ((λ/2)^j / j!) · T(x | ν + 2j)   (A&S 26.4.25),
// T being the lower tail P or the upper tail Q of ChiSquare.
//
// Up to λ/2 = 700 and ν = 400 the sum runs upward from j = 0 with the
// weights (λ/2)^j/j! kept without the factor e^(−λ/2), each term the
// central tail of ChiSquare, the terms evaluated sixteen side by side and
// summed in order. The sum ends at the first term below 1e-7 once j has
// passed λ/2, the mode of the weights (before it, terms below the threshold
// are added and the sum goes on). For the lower tail that term bounds the
// rest: the tails fall with j and the weights beyond the mode fall faster
// than geometrically. The upper tails grow with j, so there the sum looks
// on until the weights still ahead (a tail is at most 1) and the terms seen
// bound what the stop leaves out: where that leaves less than 1e-7 in the
// result the sum at the stop stands, otherwise the sum goes on until the
// weights still ahead are below 1e-7.
//
// Beyond those limits (the weights would overflow, or every central tail
// would need a deep fraction) the sum runs outward from the mode with the
// weights scaled by e^(−λ/2), until the terms left cannot add 1e-14 nor
// 1e-12 of the sum, and the central tails follow from one ChiSquare at the mode by their
// recurrence in ν, P(a + 1, z) = P(a, z) − z^a·e^(−z)/Γ(a + 1) (A&S 6.5.21).
// Beyond λ = 2e6, where that takes too many terms (some 18 000 at λ = 2e6),
// Pearson's three-moment approximation (Biometrika 46, 1959) is used.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "specfun/kernels/batch.hpp"
#include "specfun/kernels/math_constants.hpp"
#include "specfun/kernels/stirling_remainder.hpp"
#include "specfun/routines/chi_square.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using detail::kTwoPi;
// A term below this, once j >= λ/2, ends the upward sum.
constexpr double kTermThreshold = 1e-7;
// λ/2 up to which the weights (λ/2)^j/j! and the sum stay inside the doubles.
constexpr double kLargestUpwardHalfLambda = 700.0;
// ν up to which the upward sum takes its terms from ChiSquare: beyond it
// every term has ν + 2j above 400, where ChiSquare's prefactor is the
// stable form and its fractions grow deep near the centre.
constexpr double kLargestUpwardNu = 400.0;
// λ/2 up to which the sum outward from the mode is taken.
constexpr double kLargestSummedHalfLambda = 1e6;
// What the weights left out of the outward sum may add at most, and what
// part of the sum the terms left out may be at most.
constexpr double kNeglectedWeight = 1e-14;
constexpr double kNeglectedShare = 1e-12;
constexpr double kSmallestSum = 1e-100;
// Bounds on the terms either sum takes, far beyond where its weights are
// spent (past j = 3λ/2 + 200 the weights h^j/j! are below 1e-80, past
// 40 standard deviations above the mode the scaled ones below 1e-300), so
// that a sum whose terms cannot be settled still ends.
constexpr double kUpwardTermsPerHalfLambda = 3.0;
constexpr double kUpwardExtraTerms = 200.0;
constexpr double kOutwardDeviations = 40.0;
constexpr double kOutwardExtraTerms = 100.0;
// Terms of the upward sum evaluated side by side.
constexpr std::size_t kBlock = 16;

double ClampToUnit(double value) { return std::clamp(value, 0.0, 1.0); }

// The upward sum from j = 0, fed its central tails T(x | ν + 2j) in order
// of j, a block at a time. The first block holds the terms up to the mode,
// where the sum cannot stop, and eight more (a single term for λ = 0, whose
// second weight is 0); the others `kBlock` each, except that a lower tail's
// block ends where a bound on its terms shows the sum must have ended.
class UpwardSum {
 public:
  UpwardSum(double x, double nu, double halfLambda, std::int32_t tail)
      : halfX_(x * 0.5),
        nu_(nu),
        halfLambda_(halfLambda),
        lowerTail_(tail == 0),
        upper_(tail != 0 && halfLambda >= 0.0),
        scale_(std::exp(-halfLambda)),
        leftOutBound_(kTermThreshold / scale_) {}

  // The degrees of freedom of the next `size` terms.
  std::size_t NextBlock(double* degrees) const {
    const std::size_t size = j_ == 0 ? FirstBlockSize() : LaterBlockSize();
    for (std::size_t l = 0; l < size; ++l) {
      degrees[l] = static_cast<double>(2 * (j_ + static_cast<std::int32_t>(l))) + nu_;
    }
    return size;
  }

  // Takes the central tail of term j; true once the sum has ended, with
  // its value in Result().
  bool Take(double centralTail) {
    const double term = centralTail * weight_;
    lastTail_ = centralTail;
    const std::int32_t j = j_++;
    // A NaN term (x and ν both infinite) would never fall below the
    // threshold: the sum has no value.
    if (std::isnan(term)) return End(term);
    if (j > kUpwardTermsPerHalfLambda * std::fmax(halfLambda_, 0.0) + kUpwardExtraTerms) {
      return End(scale_ * sum_);
    }
    if (!pastStop_) {
      if (!(term < kTermThreshold && j >= halfLambda_)) {
        sum_ = sum_ + term;
        weight_ = (halfLambda_ * weight_) / (j + 1);
        return false;
      }
      if (!upper_) return End(scale_ * sum_);
      pastStop_ = true;
      atStop_ = sum_;
    }
    ahead_ = ahead_ + term;
    sum_ = sum_ + term;
    weight_ = (halfLambda_ * weight_) / (j + 1);
    // The weights from j + 1 on shrink by at least h/(j + 2) each.
    const double weightsAhead = weight_ / (1.0 - halfLambda_ / (j + 2));
    if (!stopLeavesTooMuch_) {
      if (ahead_ + weightsAhead < leftOutBound_) return End(scale_ * atStop_);
      stopLeavesTooMuch_ = ahead_ >= leftOutBound_;
    }
    if (stopLeavesTooMuch_ && weightsAhead < kTermThreshold) return End(scale_ * sum_);
    return false;
  }

  double Result() const { return result_; }

 private:
  std::size_t FirstBlockSize() const {
    if (!(halfLambda_ > 0.0)) return 1;
    return static_cast<std::size_t>(std::min(static_cast<double>(kBlock), std::ceil(halfLambda_) + 8.0));
  }
  // The lower tails fall with j, P(x | n + 2) <= P(x | n)·min(1, z/(n/2 + 1))
  // (each term of the series of A&S 6.5.29 shrinks so), which bounds each
  // term ahead by its weight times the last tail taken; the block reaches
  // the first term past the mode that this bound puts below half the
  // threshold.
  std::size_t LaterBlockSize() const {
    if (!lowerTail_ || !(lastTail_ >= 0.0 && halfX_ >= 0.0)) return kBlock;
    double tailBound = lastTail_;
    double weight = weight_;
    for (std::size_t size = 1; size < kBlock; ++size) {
      const double j = static_cast<double>(j_) + static_cast<double>(size - 1);
      const double previousHalfDegrees = (2.0 * (j - 1.0) + nu_) * 0.5;
      tailBound = tailBound * std::fmin(1.0, halfX_ / (previousHalfDegrees + 1.0));
      if (j >= halfLambda_ && weight * tailBound < 0.5 * kTermThreshold) return size;
      weight = halfLambda_ * weight / (j + 1.0);
    }
    return kBlock;
  }
  bool End(double result) {
    result_ = ClampToUnit(result);
    return true;
  }

  double halfX_;
  double nu_;
  double halfLambda_;
  bool lowerTail_;
  bool upper_;
  // What the stop may leave out of the sum before the factor e^(−h) = scale_,
  // for at most 1e-7 in the result.
  double scale_;
  double leftOutBound_;
  std::int32_t j_ = 0;
  double weight_ = 1.0;
  double sum_ = 0.0;
  double lastTail_ = -1.0;
  // Past the first stop of the upper tail: the sum at that stop, what the
  // terms from it on add, and whether that is known to exceed 1e-7.
  bool pastStop_ = false;
  double atStop_ = 0.0;
  double ahead_ = 0.0;
  bool stopLeavesTooMuch_ = false;
  double result_ = 0.0;
};

// e^(−h)·h^j/j!, the Poisson weight at j >= 1, as
// e^(j·ln(1 + f/j) − f − ½·ln(2πj) − R(j)) with f = h − j and R(j) the
// remainder of Stirling's series for ln j!, free of the cancellation
// between j·ln h and ln j!.
double PoissonWeight(double j, double halfLambda) {
  const double excess = halfLambda - j;
  return std::exp(j * std::log1p(excess / j) - excess - 0.5 * std::log(kTwoPi * j) -
                  detail::StirlingRemainderThreeTerms(j));
}

// The central tails T_j = T(x | ν + 2j) and the steps between them,
// d_j = z^(a_j)·e^(−z)/Γ(a_j + 1) with a_j = ν/2 + j and z = x/2, walked
// from the mode along j: P_(j+1) = P_j − d_j, Q_(j+1) = Q_j + d_j, and
// d_(j+1) = d_j·z/(a_j + 1).
struct CentralTails {
  double tail;
  double step;  // d_j
  double a;     // a_j
};

// Whether the terms left out of the outward sum are negligible: their
// weights, from `weight` on, shrinking by at least `ratio` each, add at
// most weight/(1 − ρ); with their tails at most `tailBound`, they must
// leave out less than 1e-14 and less than 1e-12 of the sum so far, so that
// a small sum keeps its relative precision (down to sums of 1e-88).
bool LeftOutIsNegligible(double weight, double ratio, double tailBound, double sum) {
  const double room = 1.0 - ratio;
  return weight < kNeglectedWeight * room &&
         weight * tailBound < std::fmax(kNeglectedShare * room * sum, kSmallestSum);
}

// The sum outward from the mode m = ⌊h⌋ with the weights e^(−h)·h^j/j!:
// upward they shrink by ρ = h/(j + 1), downward by ρ = j/h, ever faster, so
// the weights from w on add at most w/(1 − ρ).
double OutwardSum(double x, double nu, double halfLambda, std::int32_t tail) {
  const double mode = std::floor(halfLambda);
  const double modeWeight = mode == 0.0 ? std::exp(-halfLambda) : PoissonWeight(mode, halfLambda);
  const double z = x * 0.5;
  const double degrees = 2.0 * mode + nu;
  const double a = degrees * 0.5;
  const double modeTail = ChiSquare(x, degrees, tail);
  // At x = 0 every central tail is settled: P = 0, Q = 1.
  if (z == 0.0) return modeTail;
  const double modeStep = a >= 200.0 ? std::exp(detail::LogLowerPrefactor(a, z))
                                     : std::exp((a * std::log(z) - z) - LnGamma(a + 1.0));
  // Each step raises Q and lowers P.
  const double sign = tail != 0 ? 1.0 : -1.0;

  double sum = 0.0;
  double weight = modeWeight;
  CentralTails up{modeTail, modeStep, a};
  const double lastTerm = mode + kOutwardDeviations * std::sqrt(halfLambda) + kOutwardExtraTerms;
  for (double j = mode; j <= lastTerm; j = j + 1.0) {
    sum = sum + weight * up.tail;
    const double ratio = halfLambda / (j + 1.0);
    weight = weight * ratio;
    // P falls with j: the lower tails ahead are at most this one.
    if (LeftOutIsNegligible(weight, ratio, tail != 0 ? 1.0 : up.tail, sum)) break;
    up.tail = up.tail + sign * up.step;
    up.step = up.step * (z / (up.a + 1.0));
    up.a = up.a + 1.0;
  }
  weight = modeWeight;
  CentralTails down{modeTail, modeStep, a};
  for (double j = mode; j > 0.0;) {
    const double ratio = j / halfLambda;
    weight = weight * ratio;
    j = j - 1.0;
    // d_(j) = d_(j+1)·a_(j+1)/z, then T_j from T_(j+1). A step that has
    // underflowed stays 0 (a/z may overflow where z is tiny).
    if (down.step != 0.0) down.step = down.step * (down.a / z);
    down.a = down.a - 1.0;
    down.tail = down.tail - sign * down.step;
    sum = sum + weight * down.tail;
    // Q rises with j: the upper tails below are at most this one.
    if (LeftOutIsNegligible(weight * ratio, ratio, tail != 0 ? down.tail : 1.0, sum)) break;
  }
  return sum;
}

// The fixed-depth fraction strays most at the centre of a term, z = a with
// a = ν/2 + j; from a = 100 on by more than 2e-7 of the tail there, growing
// with a. Where the term at the centre is one the upward sum adds and its
// fixed-depth tail strays by more than 1e-9 after its weight e^(−h)·h^j/j!,
// the upward sum of the fixed-depth tails is unsound, and the sum outward
// from the mode, as accurate and far faster, is taken instead.
constexpr double kLargeCentre = 100.0;
constexpr double kStrayLimit = 1e-9;

bool FixedDepthSumStrays(double x, double nu, double halfLambda, std::int32_t tail) {
  const double halfNu = nu * 0.5;
  const double centre = std::round(x * 0.5 - halfNu);
  if (!(centre >= 1.0 && halfNu + centre >= kLargeCentre)) return false;
  const double weight = PoissonWeight(centre, halfLambda);
  const double degrees = 2.0 * centre + nu;
  const double accurate = ChiSquare(x, degrees, tail);
  // Terms below the mode are always added; past it, where each term up to
  // the centre is at least twice the threshold: the weights fall with j,
  // and so do the lower tails, while the upper tails rise, so that the
  // term's weight times the smaller tail at either end bounds them.
  if (!(centre < halfLambda)) {
    const double smallestTail =
        tail == 0 ? accurate : ChiSquare(x, 2.0 * std::ceil(halfLambda) + nu, tail);
    if (!(smallestTail * weight * std::exp(halfLambda) >= 2.0 * kTermThreshold)) return false;
  }
  const double stray = std::fabs(detail::ChiSquareWithFixedDepth(x, degrees, tail) - accurate);
  return stray * weight > kStrayLimit;
}

// The upward sum, or the sum outward from the mode where the upward one
// strays.
double SumUpward(double x, double nu, double halfLambda, std::int32_t tail) {
  if (halfLambda > 0.0 && nu > 0.0 && FixedDepthSumStrays(x, nu, halfLambda, tail)) {
    return ClampToUnit(OutwardSum(x, nu, halfLambda, tail));
  }
  UpwardSum sum(x, nu, halfLambda, tail);
  double xs[kBlock];
  double degrees[kBlock];
  std::fill(std::begin(xs), std::end(xs), x);
  for (;;) {
    const std::size_t size = sum.NextBlock(degrees);
    detail::ChiSquareChunk tails(xs, degrees, tail, size, true);
    for (std::size_t l = 0; l < size; ++l) {
      if (sum.Take(tails.Tail(l))) return sum.Result();
    }
  }
}

// Pearson's three-moment approximation: X is nearly c·Y + b with Y central
// chi-square on ν* degrees of freedom, c = (ν + 3λ)/(ν + 2λ),
// ν* = (ν + 2λ)³/(ν + 3λ)², b = −λ²/(ν + 3λ), which matches the first three
// cumulants. Its error falls like 1/λ: 1.5e-8 at λ = 2e6.
// The moments are taken relative to λ, so that λ up to the largest double
// does not overflow them.
double PearsonThreeMoment(double x, double nu, double lambda, std::int32_t tail) {
  const double share = nu / lambda;
  const double second = share + 2.0;  // (ν + 2λ)/λ
  const double third = share + 3.0;    // (ν + 3λ)/λ
  const double c = third / second;
  const double ratio = second / third;
  const double degrees = lambda * second * (ratio * ratio);
  const double y = x / c + lambda / third / c;
  return ChiSquare(y, degrees, tail);
}

// Whether the sum runs upward from j = 0: where its weights and terms stay
// in range and its central tails are not all deep fractions, and for the
// arguments outside the domain; not for a NaN or a negative x, which are
// answered at once.
bool SummedUpward(double x, double nu, double lambda) {
  if (std::isnan(x) || std::isnan(nu) || std::isnan(lambda) || x < 0.0 || nu < 0.0) return false;
  const double halfLambda = lambda * 0.5;
  return halfLambda <= kLargestUpwardHalfLambda &&
         (nu <= kLargestUpwardNu || halfLambda < 0.0 || std::isinf(x) || std::isinf(nu) || x == 0.0);
}

}  // namespace

double NCChiSquare(const double& x, const double& nu, const double& lambda,
                   const std::int32_t& tail) {
  // A negative x or ν is outside the domain and, like a NaN, gives a NaN, as
  // the central tails of a negative x do: with ν < 0 the central tails of
  // the first terms have no meaning and the sums need not end.
  if (std::isnan(x) || std::isnan(nu) || std::isnan(lambda) || x < 0.0 || nu < 0.0) return kNaN;
  const double halfLambda = lambda * 0.5;
  if (SummedUpward(x, nu, lambda)) return SumUpward(x, nu, halfLambda, tail);
  if (std::isinf(x) || std::isinf(nu) || std::isinf(lambda)) {
    // The limits: the whole distribution lies below an infinite x and none
    // of it below a finite x when ν or λ is infinite (no answer when both
    // are). ν + λ may overflow only where x is infinite, and is not needed.
    const double degrees = std::isinf(x) ? std::fmax(nu, lambda) : nu + lambda;
    return ChiSquare(x, degrees, tail);
  }
  if (halfLambda <= kLargestSummedHalfLambda) {
    return ClampToUnit(OutwardSum(x, nu, halfLambda, tail));
  }
  return PearsonThreeMoment(x, nu, lambda, tail);
}

// Each element's sum already evaluates its terms side by side in lanes;
// running several sums through shared chunks measured no faster.
void NCChiSquareBatch(const double* x, const double* nu, const double* lambda, std::int32_t tail,
                      double* result, std::size_t count) {
  detail::RunQuietBatch(count, [&](std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) result[i] = NCChiSquare(x[i], nu[i], lambda[i], tail);
  });
}

}  // namespace specfun
