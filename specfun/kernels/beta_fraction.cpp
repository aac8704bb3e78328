// The continued fraction of DiDonato and Morris for the incomplete beta
// function, by the modified Lentz method, one at a time or many side by
// side in lanes, each lane the scalar evaluation's steps.
#include "specfun/kernels/beta_fraction.hpp"

#include <bit>
#include <cmath>

#include "specfun/kernels/lanes.hpp"

namespace specfun::detail {
namespace {

// The fraction stops when a convergent changes by less than this share.
constexpr double kRelativeTolerance = 1e-16;
// Bound on the fraction's terms; below the parameters where Temme's
// expansion takes over it needs a few thousand at most.
constexpr int kTermLimit = 200000;
// Lentz's guard against a zero denominator.
constexpr double kTinyDenominator = 1e-300;

// The continued fraction b0 + a1/(b1 + a2/(b2 + ...)) with
//   b0 = a (g + 1)/(a + 1),
//   a_m = (a + m - 1)(a + b + m - 1) m (b - m) x² / (a + 2m - 1)²,
//   b_m = m + m (b - m) x / (a + 2m - 1) + (a + m)(g + 1 + m (2 - x)) / (a + 2m + 1),
// g = a y - b x, for which I(x, a, b) = x^a y^b / (B(a, b) fraction)
// (DiDonato & Morris, ACM TOMS 18 (1992), the fraction of BFRAC), by the
// modified Lentz method, of one evaluation (V = double) or of several side
// by side (V = Lanes). The deviation g enters exactly, so a rounded
// argument near 1 costs no digits; each product is grouped to stay in range.
//
// The quotient (a + m)/(a + 2m + 1) of one term is the next term's
// (a + m' - 1)/(a + 2m' - 1) wherever their operands come out equal (as they
// do wherever a + 2m is exact), and is then taken over instead of divided
// again.
template <class V>
struct TailFraction {
  V x;
  V a;
  V b;
  V g;
  V value{};
  V c{};
  V d{};
  // The last quotient (a + m)/(a + 2m + 1) and its operands.
  V ratioNumerator{};
  V ratioDenominator{};
  V ratio{};

  void Start() {
    ratioNumerator = a;
    ratioDenominator = a + 1.0;
    ratio = ratioNumerator / ratioDenominator;
    value = AwayFromZero(ratio * (g + 1.0), kTinyDenominator);
    c = value;
    d = V{};
  }

  // Term m: returns the factor it gives the value.
  V Term(const V& m) {
    const V a2m1 = a + 2.0 * m - 1.0;
    const V share = m * ((b - m) * x) / a2m1;
    const V lowerNumerator = a + m - 1.0;
    const V lower = AllEqual(lowerNumerator, ratioNumerator) && AllEqual(a2m1, ratioDenominator)
                        ? ratio
                        : lowerNumerator / a2m1;
    const V numerator = lower * ((a + b + m - 1.0) * x) * share;
    ratioNumerator = a + m;
    ratioDenominator = a2m1 + 2.0;
    ratio = ratioNumerator / ratioDenominator;
    const V denominator = m + share + ratio * (g + 1.0 + m * (2.0 - x));
    d = 1.0 / AwayFromZero(denominator + numerator * d, kTinyDenominator);
    c = AwayFromZero(denominator + numerator / c, kTinyDenominator);
    const V step = c * d;
    value = value * step;
    return step;
  }
};

bool FractionEnds(double step) { return std::fabs(step - 1.0) < kRelativeTolerance; }

// The lanes' fractions between terms, lane by lane, and each lane's next term.
struct FractionLanes {
  alignas(64) double x[kLaneCount];
  alignas(64) double a[kLaneCount];
  alignas(64) double b[kLaneCount];
  alignas(64) double g[kLaneCount];
  alignas(64) double value[kLaneCount];
  alignas(64) double c[kLaneCount];
  alignas(64) double d[kLaneCount];
  alignas(64) double ratioNumerator[kLaneCount];
  alignas(64) double ratioDenominator[kLaneCount];
  alignas(64) double ratio[kLaneCount];
  alignas(64) double m[kLaneCount];
};

// FractionDenominatorsInLanes; a lane whose fraction ends takes the next
// one.
SPECFUN_LANE_TARGETS
void RunFractionsInLanes(const double* x, const double* a, const double* b, const double* g,
                         std::size_t count, double* fraction) {
  constexpr int kLanes = kLaneCount;
  FractionLanes state;
  std::size_t member[kLanes];
  constexpr std::size_t kIdle = ~std::size_t{0};
  std::size_t next = 0;
  std::size_t busy = 0;
  const auto load = [&](int lane) {
    // An idle lane runs a fraction that ends at its first term: b = 1.
    TailFraction<double> start{0.5, 1.0, 1.0, 0.0};
    member[lane] = kIdle;
    if (next < count) {
      start = {x[next], a[next], b[next], g[next]};
      member[lane] = next++;
      ++busy;
    }
    start.Start();
    state.x[lane] = start.x;
    state.a[lane] = start.a;
    state.b[lane] = start.b;
    state.g[lane] = start.g;
    state.value[lane] = start.value;
    state.c[lane] = start.c;
    state.d[lane] = start.d;
    state.ratioNumerator[lane] = start.ratioNumerator;
    state.ratioDenominator[lane] = start.ratioDenominator;
    state.ratio[lane] = start.ratio;
    state.m[lane] = 1.0;
  };
  for (int lane = 0; lane < kLanes; ++lane) load(lane);
  int rounds = 0;
  while (busy > 0) {
    TailFraction<Lanes> lanes{Lanes::Load(state.x), Lanes::Load(state.a), Lanes::Load(state.b),
                              Lanes::Load(state.g)};
    lanes.value = Lanes::Load(state.value);
    lanes.c = Lanes::Load(state.c);
    lanes.d = Lanes::Load(state.d);
    lanes.ratioNumerator = Lanes::Load(state.ratioNumerator);
    lanes.ratioDenominator = Lanes::Load(state.ratioDenominator);
    lanes.ratio = Lanes::Load(state.ratio);
    const Lanes m = Lanes::Load(state.m);
    const Lanes step = lanes.Term(m);
    lanes.value.Store(state.value);
    lanes.c.Store(state.c);
    lanes.d.Store(state.d);
    lanes.ratioNumerator.Store(state.ratioNumerator);
    lanes.ratioDenominator.Store(state.ratioDenominator);
    lanes.ratio.Store(state.ratio);
    (m + 1.0).Store(state.m);
    // As FractionDenominator: converged, or at the last term (which no
    // lane reaches in fewer rounds than that).
    unsigned ends = MagnitudeBelow(step - 1.0, kRelativeTolerance);
    if (++rounds >= kTermLimit) {
      for (int lane = 0; lane < kLanes; ++lane) {
        ends |= static_cast<unsigned>(state.m[lane] > kTermLimit) << lane;
      }
    }
    for (; ends != 0; ends &= ends - 1) {
      const int lane = std::countr_zero(ends);
      if (member[lane] != kIdle) {
        fraction[member[lane]] = state.value[lane];
        --busy;
      }
      load(lane);
    }
  }
}

}  // namespace

double FractionDenominator(double x, double a, double b, double g) {
  TailFraction<double> fraction{x, a, b, g};
  fraction.Start();
  for (int n = 1; n <= kTermLimit; ++n) {
    if (FractionEnds(fraction.Term(n))) break;
  }
  return fraction.value;
}

void FractionDenominatorsInLanes(const double* x, const double* a, const double* b,
                                 const double* g, std::size_t count, double* fraction) {
  RunFractionsInLanes(x, a, b, g, count, fraction);
}

}  // namespace specfun::detail
