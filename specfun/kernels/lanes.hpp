// Lanes: independent evaluations of one kernel side by side (internal).
//
// A kernel written once as a template over its value type runs on a double
// (the scalar routine) or on Lanes of kLaneCount doubles, the batch
// routines' elements in lockstep. Every operation on Lanes is the double
// operation lane by lane, in the same order: IEEE +, −, ×, ÷ and the C
// library's exp and log, so each lane gives the scalar routine's bits. The
// lanes' divisions are independent, so the divider overlaps them instead of
// waiting for each in turn; the batch drivers are built for several
// instruction sets (SPECFUN_LANE_TARGETS) and pick one at run time, with the
// kernels inlined into each.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstring>

namespace specfun::detail {

// Elements evaluated side by side.
inline constexpr int kLaneCount = 16;
static_assert(kLaneCount <= 32, "a bit for each lane in an unsigned");

struct Lanes {
  static constexpr int N = kLaneCount;
  // GCC's and Clang's vector type: lane-wise arithmetic that the compiler
  // maps onto the widest vector unit of the target.
  typedef double Vector __attribute__((vector_size(kLaneCount * sizeof(double))));
  Vector v;

  static Lanes Load(const double* values) {
    Lanes r;
    std::memcpy(&r.v, values, sizeof r.v);
    return r;
  }
  void Store(double* values) const { std::memcpy(values, &v, sizeof v); }
  double Get(int i) const { return v[i]; }

  friend Lanes operator+(const Lanes& a, const Lanes& b) { return {a.v + b.v}; }
  friend Lanes operator+(double a, const Lanes& b) { return {a + b.v}; }
  friend Lanes operator+(const Lanes& a, double b) { return {a.v + b}; }
  friend Lanes operator-(const Lanes& a, const Lanes& b) { return {a.v - b.v}; }
  friend Lanes operator-(double a, const Lanes& b) { return {a - b.v}; }
  friend Lanes operator-(const Lanes& a, double b) { return {a.v - b}; }
  friend Lanes operator-(const Lanes& a) { return {-a.v}; }
  friend Lanes operator*(const Lanes& a, const Lanes& b) { return {a.v * b.v}; }
  friend Lanes operator*(double a, const Lanes& b) { return {a * b.v}; }
  friend Lanes operator*(const Lanes& a, double b) { return {a.v * b}; }
  friend Lanes operator/(const Lanes& a, const Lanes& b) { return {a.v / b.v}; }
  friend Lanes operator/(double a, const Lanes& b) { return {a / b.v}; }
  friend Lanes operator/(const Lanes& a, double b) { return {a.v / b}; }
};

// Lanes compared and chosen among four at a time, a width whose comparisons
// every target's compiler maps onto vector instructions (no function
// returns a Quarter: below AVX its return convention differs between
// compilers). The quarters are taken apart by shuffles, in registers, where
// the compiler has them.
typedef double Quarter __attribute__((vector_size(4 * sizeof(double))));
typedef long long QuarterMask __attribute__((vector_size(4 * sizeof(double))));
inline constexpr int kQuarters = 4;
static_assert(kLaneCount == 4 * kQuarters, "lanes in four quarters");

inline void Split(const Lanes& lanes, Quarter (&part)[kQuarters]) {
#if defined(__clang__) || (defined(__GNUC__) && __GNUC__ >= 12)
  part[0] = __builtin_shufflevector(lanes.v, lanes.v, 0, 1, 2, 3);
  part[1] = __builtin_shufflevector(lanes.v, lanes.v, 4, 5, 6, 7);
  part[2] = __builtin_shufflevector(lanes.v, lanes.v, 8, 9, 10, 11);
  part[3] = __builtin_shufflevector(lanes.v, lanes.v, 12, 13, 14, 15);
#else
  std::memcpy(part, &lanes.v, sizeof part);
#endif
}

// Whether a and b are equal in every lane.
inline bool AllEqual(double a, double b) { return a == b; }
inline bool AllEqual(const Lanes& a, const Lanes& b) {
  Quarter partA[kQuarters];
  Quarter partB[kQuarters];
  Split(a, partA);
  Split(b, partB);
  QuarterMask differ = {};
  for (int q = 0; q < kQuarters; ++q) differ |= partA[q] != partB[q];
  return (differ[0] | differ[1] | differ[2] | differ[3]) == 0;
}

// The lanes, one bit each, where test(quarter, mask) sets the mask's lane.
template <class Test>
unsigned LanesWhere(const Lanes& value, Test test) {
  Quarter part[kQuarters];
  Split(value, part);
  QuarterMask bits = {};
  for (int q = 0; q < kQuarters; ++q) {
    QuarterMask mask;
    test(part[q], mask);
    bits |= (mask & QuarterMask{1, 2, 4, 8}) << (4 * q);
  }
  return static_cast<unsigned>(bits[0] | bits[1] | bits[2] | bits[3]);
}

// The lanes, one bit each, where |value| < limit (not where it is a NaN).
inline unsigned MagnitudeBelow(const Lanes& value, double limit) {
  return LanesWhere(value, [limit](const Quarter& v, QuarterMask& mask) {
    mask = (v < limit) & (v > -limit);
  });
}

// The lanes, one bit each, where |value| <= limit (not where it is a NaN).
inline unsigned MagnitudeAtMost(const Lanes& value, double limit) {
  return LanesWhere(value, [limit](const Quarter& v, QuarterMask& mask) {
    mask = (v <= limit) & (v >= -limit);
  });
}

// value, or floor where |value| < floor (Lentz's guard against a zero
// denominator), lane by lane. For lanes the test, rarely met, only decides
// a branch, so the value goes on to its use without waiting for it.
inline double AwayFromZero(double value, double floor) {
  return std::fabs(value) < floor ? floor : value;
}
inline Lanes AwayFromZero(const Lanes& value, double floor) {
  if (MagnitudeBelow(value, floor) == 0) return value;
  Lanes r = value;
  for (int i = 0; i < Lanes::N; ++i) r.v[i] = AwayFromZero(value.v[i], floor);
  return r;
}

// The C library's functions, one lane at a time.
inline double LaneExp(double x) { return std::exp(x); }
inline double LaneLog(double x) { return std::log(x); }

inline Lanes LaneExp(const Lanes& argument) {
  Lanes x = argument;
  for (int i = 0; i < Lanes::N; ++i) x.v[i] = std::exp(x.v[i]);
  return x;
}
inline Lanes LaneLog(const Lanes& argument) {
  Lanes x = argument;
  for (int i = 0; i < Lanes::N; ++i) x.v[i] = std::log(x.v[i]);
  return x;
}

}  // namespace specfun::detail

// The instruction sets the lockstep drivers are built for; the loader picks
// the widest the processor has (not under ThreadSanitizer, whose runtime is
// not yet up when the loader picks). Lane arithmetic is IEEE in every one of
// them (the build forbids contraction into fused multiply-adds).
// SPECFUN_LANE_TARGETS also inlines every call into the driver;
// SPECFUN_LANE_TARGETS_UNFLATTENED leaves that to the kernels' own
// always_inline where flattening measured slower. A function built with
// either stays inside its file (an anonymous namespace): the resolver that
// picks its version would otherwise be visible outside a shared library.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define SPECFUN_LANE_TARGET_CLONES target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")
#define SPECFUN_LANE_TARGETS __attribute__((SPECFUN_LANE_TARGET_CLONES, flatten))
#define SPECFUN_LANE_TARGETS_UNFLATTENED __attribute__((SPECFUN_LANE_TARGET_CLONES))
#elif defined(__GNUC__)
#define SPECFUN_LANE_TARGETS __attribute__((flatten))
#define SPECFUN_LANE_TARGETS_UNFLATTENED
#else
#define SPECFUN_LANE_TARGETS
#define SPECFUN_LANE_TARGETS_UNFLATTENED
#endif
