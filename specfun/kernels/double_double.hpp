// Double-double arithmetic (internal): a value carried as the unevaluated
// sum hi + lo of two doubles, |lo| <= ulp(hi)/2, from the error-free
// transformations of Knuth (two-sum) and Dekker (two-product, by fma), so
// that exponents of a few hundred keep about 30 digits and e^(hi + lo)
// stays correct to the last bit of a double.
#pragma once

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "specfun/kernels/math_constants.hpp"

namespace specfun::detail {

struct DoubleDouble {
  double hi;
  double lo;
};

// a + b exactly, for any a and b.
inline DoubleDouble TwoSum(double a, double b) {
  const double s = a + b;
  const double v = s - a;
  return {s, (a - (s - v)) + (b - v)};
}

// a + b exactly, for |a| >= |b| (or a = 0).
inline DoubleDouble FastTwoSum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// The halves of a double, each of at most 26 significant bits (Veltkamp's
// splitting), for |a| below kSplitLimit.
inline constexpr double kSplitter = 134217729.0;  // 2^27 + 1
inline constexpr double kSplitLimit = 0x1p995;
inline DoubleDouble Split(double a) {
  const double c = kSplitter * a;
  const double high = c - (c - a);
  return {high, a - high};
}

// a·b exactly (short of underflow): Dekker's product from the halves, which
// needs no fused multiply-add (without one in the instruction set the
// library's fma is a call into software, several times slower); std::fma
// where a half would overflow.
inline DoubleDouble TwoProduct(double a, double b) {
  const double p = a * b;
  if (!(std::fabs(a) < kSplitLimit && std::fabs(b) < kSplitLimit)) return {p, std::fma(a, b, -p)};
  const DoubleDouble x = Split(a);
  const DoubleDouble y = Split(b);
  return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

inline DoubleDouble operator-(const DoubleDouble& a) { return {-a.hi, -a.lo}; }

inline DoubleDouble operator+(const DoubleDouble& a, const DoubleDouble& b) {
  const DoubleDouble s = TwoSum(a.hi, b.hi);
  const DoubleDouble t = TwoSum(a.lo, b.lo);
  const DoubleDouble u = FastTwoSum(s.hi, s.lo + t.hi);
  return FastTwoSum(u.hi, u.lo + t.lo);
}

inline DoubleDouble operator+(const DoubleDouble& a, double b) {
  const DoubleDouble s = TwoSum(a.hi, b);
  return FastTwoSum(s.hi, s.lo + a.lo);
}

inline DoubleDouble operator-(const DoubleDouble& a, const DoubleDouble& b) { return a + -b; }
inline DoubleDouble operator-(const DoubleDouble& a, double b) { return a + -b; }

inline DoubleDouble operator*(const DoubleDouble& a, const DoubleDouble& b) {
  const DoubleDouble p = TwoProduct(a.hi, b.hi);
  return FastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

inline DoubleDouble operator*(const DoubleDouble& a, double b) {
  const DoubleDouble p = TwoProduct(a.hi, b);
  return FastTwoSum(p.hi, p.lo + a.lo * b);
}

inline DoubleDouble operator/(const DoubleDouble& a, const DoubleDouble& b) {
  const double q = a.hi / b.hi;
  // The remainder a - q·b, formed exactly in its leading part.
  const DoubleDouble r = a - b * q;
  return FastTwoSum(q, r.hi / b.hi);
}

inline DoubleDouble operator/(const DoubleDouble& a, double b) {
  return a / DoubleDouble{b, 0.0};
}

inline DoubleDouble Exact(double a) { return {a, 0.0}; }

// 1 - x exactly, as a double-double.
inline DoubleDouble OneMinus(double x) { return TwoSum(1.0, -x); }

// e^(hi + lo) to within an ulp or so: e^lo = 1 + lo to double precision
// (0 below the doubles' range, +inf beyond, where lo may exceed 1).
inline double Exp(const DoubleDouble& a) {
  const double e = std::exp(a.hi);
  if (!(std::fabs(a.hi) < 746.0) || std::isinf(e)) return e;
  return e + e * a.lo;
}

// ln 2 and ln √(2π) as double-doubles.
inline constexpr DoubleDouble kLogTwoDoubleDouble = {0.6931471805599453, 2.3190468138462996e-17};
inline constexpr DoubleDouble kRootTwoDoubleDouble = {1.4142135623730951, -9.667293313452913e-17};
inline constexpr DoubleDouble kLogRootTwoPi = {0.9189385332046728, -3.8782941580672414e-17};

// 1 - e^y for y < 0, to about 1e-22 relative: -expm1(y) corrected by one
// Newton step on ln(1 - p) = y taken in double-double.
DoubleDouble OneMinusExp(double y);

// v = fraction 2^exponent with fraction in [√½, √2), and v.lo 2^-exponent
// (scaledLo) beside it: the exact reduction of a logarithm's argument, for a
// v with 0 < hi <= DBL_MAX. The bits of a normal hi give it (frexp those
// of a subnormal one), and the power of two its bits where it is a normal
// double (the product then rounds as ldexp would).
struct OctaveReduction {
  double fraction;
  int exponent;
  double scaledLo;
};
inline OctaveReduction ReduceToOctave(const DoubleDouble& v) {
  constexpr int kExponentBias = 1023;
  constexpr int kFractionBits = 52;
  constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << kFractionBits) - 1;
  int exponent;
  double fraction;
  if (v.hi >= DBL_MIN) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(v.hi);
    exponent = static_cast<int>(bits >> kFractionBits) - kExponentBias;
    fraction = std::bit_cast<double>((bits & kFractionMask) |
                                     (std::uint64_t{kExponentBias} << kFractionBits));
  } else {
    fraction = 2.0 * std::frexp(v.hi, &exponent);
    --exponent;
  }
  if (fraction >= kRootTwo) {
    fraction *= 0.5;
    ++exponent;
  }
  double scaledLo = 0.0;
  if (v.lo != 0.0) {
    const auto powerBits = static_cast<std::uint64_t>(kExponentBias - exponent) << kFractionBits;
    scaledLo = exponent > -kExponentBias && exponent < kExponentBias
                   ? v.lo * std::bit_cast<double>(powerBits)
                   : std::ldexp(v.lo, -exponent);
  }
  return {fraction, exponent, scaledLo};
}

// ln v for a positive finite v (subnormal too), to about 1e-22 relative (a few parts in
// 1e22 of ln 2 absolute near v = 1, where it is relative to ln v).
DoubleDouble Log(const DoubleDouble& v);


}  // namespace specfun::detail
