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
// Parameters above kFractionParameterLimit, subnormal or infinite, and the
// fraction taken on past 41 iterations, go to IncompleteBetaTails
// (kernels/incomplete_beta_tails.cpp): there ln B(a, b) from three ln Γ
// values would lose more than 1e-9, and the fraction's length grows with
// the parameters.
#include "specfun/routines/incomplete_beta.hpp"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "specfun/diagnostics/diagnostic_sink.hpp"
#include "specfun/kernels/batch.hpp"
#include "specfun/kernels/incomplete_beta_tails.hpp"
#include "specfun/kernels/lanes.hpp"
#include "specfun/kernels/log_gamma.hpp"
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
// The four recurrence values are scaled together by a power of two, which
// leaves every approximant unchanged, when the current denominator leaves
// [2^-600, 2^600].
constexpr double kLargestUnscaled = 0x1p600;
constexpr double kSmallestUnscaled = 0x1p-600;

// The numerators follow the denominators (their ratios are the
// approximants), so the current denominator stands for all four.
void KeepInRange(double& previousNumerator, double& numerator, double& previousDenominator,
                 double& denominator) {
  const double size = std::fabs(denominator);
  if (size >= kSmallestUnscaled && size <= kLargestUnscaled) return;
  if (!(size > 0.0) || std::isinf(size)) return;
  const int shift = -std::ilogb(size);
  previousNumerator = std::ldexp(previousNumerator, shift);
  numerator = std::ldexp(numerator, shift);
  previousDenominator = std::ldexp(previousDenominator, shift);
  denominator = std::ldexp(denominator, shift);
}

// The numerators and denominators of the fraction's convergents, of one
// evaluation (V = double) or of several side by side (V = detail::Lanes).
template <class V>
struct Convergents {
  V a;
  V b;
  V x;
  V previousNumerator;
  V numerator;
  V previousDenominator;
  V denominator;
  // o_m, the (2m+1)-th convergent, is oddNumerator / oddDenominator (taken
  // only where it is used); e_m, the (2m+2)-th, is even.
  V oddNumerator{};
  V oddDenominator{};
  V even{};

  V Odd() const { return oddNumerator / oddDenominator; }

  // Iteration m: the odd step with d(2m+1), then the even step with d(2m+2).
  void Step(const V& dm) {
    const V a2m = a + 2.0 * dm;
    const V alpha = (a + dm) * (a + b + dm) * x / (a2m * (a2m + 1.0));
    oddNumerator = numerator - alpha * previousNumerator;
    oddDenominator = denominator - alpha * previousDenominator;
    const V beta = (dm + 1.0) * (b - dm - 1.0) * x / ((a2m + 1.0) * (a2m + 2.0));
    const V evenNumerator = oddNumerator + beta * numerator;
    const V evenDenominator = oddDenominator + beta * denominator;
    even = evenNumerator / evenDenominator;
    previousNumerator = oddNumerator;
    numerator = evenNumerator;
    previousDenominator = oddDenominator;
    denominator = evenDenominator;
  }

  void KeepInRange() {
    ::specfun::KeepInRange(previousNumerator, numerator, previousDenominator, denominator);
  }
};

bool Converged(double even, double previousEven) {
  // Written so that a NaN counts as converged and ends the iteration.
  return !(std::fabs(even - previousEven) >= kTolerance);
}

// BETAF's one dispatch: 0 for x <= 0 (and a NaN x), 1 for x >= 1, the
// 41-iteration fraction where it serves, else IncompleteBetaTails.
enum class Route { kZero, kOne, kFraction, kTails };

Route RouteOf(double x, double a, double b) {
  if (!(x > 0.0)) return Route::kZero;
  if (x >= 1.0) return Route::kOne;
  return detail::TakesFortyOneIterationFraction(x, a, b) ? Route::kFraction : Route::kTails;
}

// I(x, a, b) by IncompleteBetaTails, with y = 1 - x exact or x the smaller.
double AccurateValue(double x, double a, double b) {
  return detail::IncompleteBetaTails(x, 1.0 - x, a, b).lower;
}

bool Settled(double odd40, double even40, double even39) {
  return std::fabs(even40 - odd40) <= kExtrapolationSpread &&
         std::fabs(even40 - even39) <= kSettledEvenSpread;
}

// Aitken's Δ² of the last three approximants where it is defined, else the
// last one.
double ExtrapolatedValue(double odd40, double even40, double even39) {
  double result = even40;
  const double denominator = even40 - 2.0 * odd40 + even39;
  if (std::fabs(denominator) > 0.0) {
    result = even40 - (even40 - odd40) * (even40 - odd40) / denominator;
  }
  return result;
}

// The value on the fraction's side, I(X, A, B), after 41 iterations without
// convergence: Aitken's where the approximants have settled, else
// IncompleteBetaTails'.
double SlowValue(double odd40, double even40, double even39, double x, double a, double b,
                 bool swapped) {
  if (Settled(odd40, even40, even39)) return ExtrapolatedValue(odd40, even40, even39);
  const detail::BetaTails tails = detail::IncompleteBetaTails(x, 1.0 - x, a, b);
  return swapped ? tails.upper : tails.lower;
}

// The report of 41 iterations without convergence, whose fifth number is the
// value on the fraction's side.
void ReportSlowConvergence(double odd39, double even39, double odd40, double even40, double result,
                           double x, double a, double b, bool swapped) {
  detail::EmitDiagnosticReport(
      {{Text("Slow convergence in BETAF, last 4 vals & return:")},
       {Real(odd39), Real(even39), Real(odd40), Real(even40), Real(result)},
       {Text("x,a,b="), Real(x), Real(a), Real(b)},
       {Text("Identity I((x),a,b)=1-I((1-x),b,a) used")}},
      swapped ? 4 : 3);
}

// I(x, a, b) after 41 iterations without convergence, with its report.
double SlowConvergence(const Convergents<double>& fraction, double odd39, double even39, double x,
                       double a, double b, bool swapped) {
  const double odd40 = fraction.Odd();
  const double even40 = fraction.even;
  const double result = SlowValue(odd40, even40, even39, x, a, b, swapped);
  ReportSlowConvergence(odd39, even39, odd40, even40, result, x, a, b, swapped);
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

// The side of the symmetry I(x, a, b) = 1 - I(1 - x, b, a) and the start of
// the fraction there, for 0 < x < 1.
struct FractionStart {
  bool swapped;
  Convergents<double> fraction;
};

FractionStart StartFraction(double x, double a, double b, double negativeLogBeta) {
  const bool swapped = (a + b) * x >= a;
  const double pa = swapped ? b : a;
  const double pb = swapped ? a : b;
  const double px = swapped ? 1.0 - x : x;
  // X^A (1 - X)^B / (A B(A, B)); X and 1 - X lie strictly inside (0, 1).
  const double prefactor =
      std::exp(pa * std::log(px) + pb * std::log(1.0 - px) + negativeLogBeta) / pa;
  return {swapped, {pa, pb, px, 0.0, prefactor, 1.0, 1.0}};
}

// The first element of each distinct pair (a[i], b[i]), equal as bit
// patterns, by open addressing.
class DistinctPairs {
 public:
  DistinctPairs() {
    for (std::size_t& slot : slots_) slot = kEmpty;
  }
  // The first of the elements [0, i] with a[i] and b[i].
  std::size_t Find(const double* a, const double* b, std::size_t i) {
    const std::uint64_t keyA = Bits(a[i]);
    const std::uint64_t keyB = Bits(b[i]);
    std::size_t slot = (keyA * 0x9E3779B97F4A7C15u ^ keyB * 0xC2B2AE3D27D4EB4Fu) >> 54;
    while (slots_[slot] != kEmpty) {
      const std::size_t j = slots_[slot];
      if (Bits(a[j]) == keyA && Bits(b[j]) == keyB) return j;
      slot = (slot + 1) % kSlots;
    }
    slots_[slot] = i;
    return i;
  }

 private:
  static constexpr std::size_t kSlots = 1024;
  static_assert(kSlots >= 2 * detail::kChunkLength, "room for a chunk's pairs, half full");
  static constexpr std::size_t kEmpty = ~std::size_t{0};
  static std::uint64_t Bits(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
  }
  std::size_t slots_[kSlots];
};

// A fraction waiting for a lane: its element and the arguments x, a, b it
// was started from.
struct PendingFraction {
  FractionStart start;
  std::size_t element;
  double x;
  double a;
  double b;
};

void EmitIterations(const detail::DeferredRecord& record) {
  detail::ReportIterations(record.integer);
}

void EmitSlowConvergence(const detail::DeferredRecord& record) {
  const double* v = record.values;
  ReportSlowConvergence(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], record.integer != 0);
}

// Where a lane's fraction did not converge within 41 iterations: the last
// two odd and even approximants.
struct SlowLane {
  double odd39;
  double even39;
  double odd40;
  double even40;
};

// An element whose value comes from IncompleteBetaTails(x, 1 - x, a, b):
// its lower tail, or where `slow` (41 iterations without convergence, the
// approximants `last` unsettled) the tail on the fraction's side, reported.
struct TailsRequest {
  std::size_t element;
  bool slow;
  bool swapped;
  SlowLane last;
};

// The requests of a chunk, with their arguments side by side.
struct TailsRequests {
  TailsRequest request[detail::kChunkLength];
  double x[detail::kChunkLength];
  double y[detail::kChunkLength];
  double a[detail::kChunkLength];
  double b[detail::kChunkLength];
  std::size_t count = 0;

  void Add(const TailsRequest& r, double xr, double ar, double br) {
    request[count] = r;
    x[count] = xr;
    y[count] = 1.0 - xr;
    a[count] = ar;
    b[count] = br;
    ++count;
  }
};

// The held-back report of 41 iterations without convergence, r being the
// value on the fraction's side.
detail::DeferredRecord SlowRecord(std::size_t element, const SlowLane& s, double r, double x,
                                  double a, double b, bool swapped) {
  return {element,
          EmitSlowConvergence,
          swapped ? 1 : 0,
          {s.odd39, s.even39, s.odd40, s.even40, r, x, a, b}};
}

// A lane's m while it runs no fraction: it never reaches an end.
constexpr double kIdleIteration = -1e9;

// The lanes' state between iterations, lane by lane: the fraction's
// arguments and recurrence values, the last approximants and m.
struct LaneState {
  alignas(64) double a[detail::kLaneCount];
  alignas(64) double b[detail::kLaneCount];
  alignas(64) double x[detail::kLaneCount];
  alignas(64) double previousNumerator[detail::kLaneCount];
  alignas(64) double numerator[detail::kLaneCount];
  alignas(64) double previousDenominator[detail::kLaneCount];
  alignas(64) double denominator[detail::kLaneCount];
  alignas(64) double oddNumerator[detail::kLaneCount];
  alignas(64) double oddDenominator[detail::kLaneCount];
  alignas(64) double even[detail::kLaneCount];
  alignas(64) double m[detail::kLaneCount];

  void Load(int lane, const Convergents<double>& f, double iteration) {
    a[lane] = f.a;
    b[lane] = f.b;
    x[lane] = f.x;
    previousNumerator[lane] = f.previousNumerator;
    numerator[lane] = f.numerator;
    previousDenominator[lane] = f.previousDenominator;
    denominator[lane] = f.denominator;
    m[lane] = iteration;
  }
  double Odd(int lane) const { return oddNumerator[lane] / oddDenominator[lane]; }
};

// The lanes, one bit each, at iteration 39 or 40, the last two: found from m
// alone, so the branch on them need not wait for the iteration's divisions.
unsigned LateLanes(const detail::Lanes& m) {
  return detail::LanesWhere(m, [](const detail::Quarter& iteration, detail::QuarterMask& mask) {
    mask = iteration >= kIterationLimit - 2.0;
  });
}

// The lanes, one bit each, whose even approximant has stopped moving from
// previousEven to even (as Converged, a NaN among them).
unsigned StoppedLanes(const detail::Lanes& even, const detail::Lanes& previousEven) {
  const unsigned moving = detail::LanesWhere(
      even - previousEven, [](const detail::Quarter& change, detail::QuarterMask& mask) {
        mask = (change >= kTolerance) | (change <= -kTolerance);
      });
  return ~moving & ((1u << (detail::kLaneCount - 1) << 1) - 1u);
}

// Whether some lane's denominator may lie outside [2^-600, 2^600] (a NaN
// does not, and needs no scaling).
bool AnyOutOfRange(const detail::Lanes& denominator) {
  using detail::Quarter;
  using detail::QuarterMask;
  return detail::LanesWhere(denominator, [](const Quarter& d, QuarterMask& mask) {
           mask = (d > kLargestUnscaled) | (d < -kLargestUnscaled) |
                  ((d < kSmallestUnscaled) & (d > -kSmallestUnscaled));
         }) != 0;
}

// The fractions side by side, each lane at its own iteration m, the scalar
// routine's steps lane by lane: the 41 iterations, the value after them
// without convergence, and the reports, held back. A lane whose fraction
// ends takes the next one; one whose approximants have not settled after
// 41 iterations leaves its value to IncompleteBetaTails, as a request.
SPECFUN_LANE_TARGETS
void RunFractions(const PendingFraction* pending, std::size_t count, double* result,
                  detail::ElementFlag* flags, detail::DeferredRecords& records,
                  TailsRequests& requests) {
  using detail::Lanes;
  constexpr int kLanes = detail::kLaneCount;
  // Idle lanes run a harmless fraction whose values are not used.
  const Convergents<double> idle{1.0, 1.0, 0.5, 0.0, 1.0, 1.0, 1.0};
  LaneState state = {};
  const PendingFraction* member[kLanes];
  SlowLane slow[kLanes] = {};
  std::size_t next = 0;
  int busy = 0;
  unsigned occupied = 0;  // the lanes with a fraction of the batch
  const auto load = [&](int lane) {
    if (next < count) {
      member[lane] = &pending[next++];
      state.Load(lane, member[lane]->start.fraction, 0.0);
      occupied |= 1u << lane;
      ++busy;
    } else {
      member[lane] = nullptr;
      state.Load(lane, idle, kIdleIteration);
      occupied &= ~(1u << lane);
    }
  };
  // r is the value on the fraction's side after iteration m; slowly is set
  // where it came after 41 iterations without convergence.
  const auto finish = [&](int lane, double r, int m, bool slowly) {
    const PendingFraction& f = *member[lane];
    const bool swapped = f.start.swapped;
    result[f.element] = ClampedResult(swapped ? 1.0 - r : r);
    flags[f.element] = detail::kDone;
    if (slowly) {
      records.push_back(SlowRecord(f.element, slow[lane], r, f.x, f.a, f.b, swapped));
      flags[f.element] = detail::kDeferred;
    } else if (m > kReportThreshold) {
      records.push_back({f.element, EmitIterations, m, {}});
      flags[f.element] = detail::kDeferred;
    }
    --busy;
    load(lane);
  };
  for (int lane = 0; lane < kLanes; ++lane) load(lane);
  while (busy > 0) {
    if (AnyOutOfRange(Lanes::Load(state.denominator))) {
      for (int lane = 0; lane < kLanes; ++lane) {
        KeepInRange(state.previousNumerator[lane], state.numerator[lane],
                    state.previousDenominator[lane], state.denominator[lane]);
      }
    }
    Convergents<Lanes> lanes{Lanes::Load(state.a),          Lanes::Load(state.b),
                             Lanes::Load(state.x),          Lanes::Load(state.previousNumerator),
                             Lanes::Load(state.numerator),  Lanes::Load(state.previousDenominator),
                             Lanes::Load(state.denominator)};
    const Lanes m = Lanes::Load(state.m);
    const Lanes previousEven = Lanes::Load(state.even);
    lanes.Step(m);
    lanes.previousNumerator.Store(state.previousNumerator);
    lanes.numerator.Store(state.numerator);
    lanes.previousDenominator.Store(state.previousDenominator);
    lanes.denominator.Store(state.denominator);
    lanes.oddNumerator.Store(state.oddNumerator);
    lanes.oddDenominator.Store(state.oddDenominator);
    lanes.even.Store(state.even);
    (m + 1.0).Store(state.m);
    // A lane's fraction may end where its approximant has stopped moving,
    // or at the last two iterations (each lane's handled at most once).
    const auto iterate = [&](int lane) {
      const int iteration = static_cast<int>(m.Get(lane));
      const double even = state.even[lane];
      if (iteration >= 1 && Converged(even, previousEven.Get(lane))) {
        finish(lane, even, iteration, false);
      } else if (iteration == kIterationLimit - 2) {
        slow[lane].odd39 = state.Odd(lane);
        slow[lane].even39 = even;
      } else if (iteration == kIterationLimit - 1) {
        const double odd = state.Odd(lane);
        slow[lane].odd40 = odd;
        slow[lane].even40 = even;
        const double even39 = slow[lane].even39;
        if (Settled(odd, even, even39)) {
          finish(lane, ExtrapolatedValue(odd, even, even39), iteration, true);
        } else {
          // The value waits for IncompleteBetaTails, evaluated side by side.
          const PendingFraction& f = *member[lane];
          requests.Add({f.element, true, f.start.swapped, slow[lane]}, f.x, f.a, f.b);
          --busy;
          load(lane);
        }
      }
    };
    const unsigned late = LateLanes(m) & occupied;
    const unsigned stopped = StoppedLanes(lanes.even, previousEven) & occupied & ~late;
    for (unsigned bits = late; bits != 0; bits &= bits - 1) iterate(std::countr_zero(bits));
    for (unsigned bits = stopped; bits != 0; bits &= bits - 1) iterate(std::countr_zero(bits));
  }
}

}  // namespace

namespace detail {

void ReportIterations(int m) { EmitDiagnostic({Integer(m), Text(" iterations in BETAF")}); }

double NegativeLogBeta(double a, double b) {
  const double sum = a + b;
  return LnGamma(sum) - LnGamma(a) - LnGamma(b);
}

double IncompleteBeta(double x, double a, double b, double negativeLogBeta, bool& settled) {
  settled = true;
  switch (RouteOf(x, a, b)) {
    case Route::kZero:
      return 0.0;
    case Route::kOne:
      return 1.0;
    case Route::kTails:
      return AccurateValue(x, a, b);
    case Route::kFraction:
      break;
  }
  return FortyOneIterationFraction(x, a, b, negativeLogBeta, settled);
}

double FortyOneIterationFraction(double x, double a, double b, double negativeLogBeta, bool& settled) {
  FractionStart start = StartFraction(x, a, b, negativeLogBeta);
  const bool swapped = start.swapped;
  Convergents<double>& fraction = start.fraction;
  fraction.Step(0);
  double previousOdd = 0.0;
  double previousEven = fraction.even;
  for (int m = 1; m < kIterationLimit; ++m) {
    previousEven = fraction.even;
    if (m == kIterationLimit - 1) previousOdd = fraction.Odd();
    fraction.KeepInRange();
    fraction.Step(m);
    if (Converged(fraction.even, previousEven)) {
      if (m > kReportThreshold) {
        settled = false;
        ReportIterations(m);
      }
      return ClampedResult(swapped ? 1.0 - fraction.even : fraction.even);
    }
  }
  settled = false;
  return ClampedResult(SlowConvergence(fraction, previousOdd, previousEven, x, a, b, swapped));
}

double IncompleteBeta(double x, double a, double b, double negativeLogBeta) {
  bool settled;
  return IncompleteBeta(x, a, b, negativeLogBeta, settled);
}

double FortyOneIterationFraction(double x, double a, double b) {
  bool settled;
  return FortyOneIterationFraction(x, a, b, NegativeLogBeta(a, b), settled);
}

void LnGammaOfPairsInLockstep(const double* a, const double* b, std::size_t count, double* lnGammaA,
                              double* lnGammaB, double* lnGammaSum) {
  // Each distinct pair (a, b) is evaluated once: batches often hold few of
  // them (a table of tails at the same degrees of freedom).
  std::size_t firstOf[kChunkLength];
  std::size_t distinct[kChunkLength];
  std::size_t distinctCount = 0;
  DistinctPairs pairs;
  for (std::size_t i = 0; i < count; ++i) {
    firstOf[i] = pairs.Find(a, b, i);
    if (firstOf[i] == i) distinct[distinctCount++] = i;
  }
  double distinctA[kChunkLength] = {};
  double distinctB[kChunkLength] = {};
  double sum[kChunkLength] = {};
  for (std::size_t k = 0; k < distinctCount; ++k) {
    distinctA[k] = a[distinct[k]];
    distinctB[k] = b[distinct[k]];
    sum[k] = distinctA[k] + distinctB[k];
  }
  double valueA[kChunkLength];
  double valueB[kChunkLength];
  double valueSum[kChunkLength];
  LnGammaInLockstep(distinctA, valueA, distinctCount);
  LnGammaInLockstep(distinctB, valueB, distinctCount);
  LnGammaInLockstep(sum, valueSum, distinctCount);
  for (std::size_t k = 0; k < distinctCount; ++k) {
    lnGammaA[distinct[k]] = valueA[k];
    lnGammaB[distinct[k]] = valueB[k];
    lnGammaSum[distinct[k]] = valueSum[k];
  }
  for (std::size_t i = 0; i < count; ++i) {
    lnGammaA[i] = lnGammaA[firstOf[i]];
    lnGammaB[i] = lnGammaB[firstOf[i]];
    lnGammaSum[i] = lnGammaSum[firstOf[i]];
  }
}

void NegativeLogBetaInLockstep(const double* a, const double* b, std::size_t count,
                               double* negativeLogBeta) {
  double lnGammaA[kChunkLength];
  double lnGammaB[kChunkLength];
  double lnGammaSum[kChunkLength];
  LnGammaOfPairsInLockstep(a, b, count, lnGammaA, lnGammaB, lnGammaSum);
  for (std::size_t i = 0; i < count; ++i) {
    negativeLogBeta[i] = lnGammaSum[i] - lnGammaA[i] - lnGammaB[i];
  }
}

void IncompleteBetaInLockstep(const double* x, const double* a, const double* b,
                              const double* negativeLogBeta, std::size_t count, double* result,
                              ElementFlag* flags, DeferredRecords& records) {
  PendingFraction pending[kChunkLength];
  std::size_t waiting = 0;
  TailsRequests requests;
  for (std::size_t i = 0; i < count; ++i) {
    flags[i] = kDone;
    switch (RouteOf(x[i], a[i], b[i])) {
      case Route::kZero:
        result[i] = 0.0;
        break;
      case Route::kOne:
        result[i] = 1.0;
        break;
      case Route::kTails:
        requests.Add({i, false, false, {}}, x[i], a[i], b[i]);
        break;
      case Route::kFraction:
        pending[waiting++] = {StartFraction(x[i], a[i], b[i], negativeLogBeta[i]), i, x[i], a[i],
                              b[i]};
        break;
    }
  }
  RunFractions(pending, waiting, result, flags, records, requests);
  // The accurate tails, as AccurateValue and SlowConvergence take them.
  BetaTails tails[kChunkLength];
  IncompleteBetaTailsInLockstep(requests.x, requests.y, requests.a, requests.b, requests.count,
                                tails);
  for (std::size_t k = 0; k < requests.count; ++k) {
    const TailsRequest& q = requests.request[k];
    if (!q.slow) {
      result[q.element] = tails[k].lower;
      continue;
    }
    const double r = q.swapped ? tails[k].upper : tails[k].lower;
    result[q.element] = ClampedResult(q.swapped ? 1.0 - r : r);
    records.push_back(SlowRecord(q.element, q.last, r, requests.x[k], requests.a[k],
                                 requests.b[k], q.swapped));
    flags[q.element] = kDeferred;
  }
}

}  // namespace detail

double BETAF(const double& x, const double& a, const double& b) {
  // -ln B(a, b) is formed only where the fraction needs it.
  const bool fraction = RouteOf(x, a, b) == Route::kFraction;
  return detail::IncompleteBeta(x, a, b, fraction ? detail::NegativeLogBeta(a, b) : 0.0);
}

}  // namespace specfun
