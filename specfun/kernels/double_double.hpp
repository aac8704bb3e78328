// Double-double arithmetic (internal): a value carried as the unevaluated
// sum hi + lo of two doubles, |lo| <= ulp(hi)/2, for the few quantities
// whose rounding in one double would dominate a result, such as an exponent
// of several hundred. The error-free transformations are Knuth's two-sum and
// the two-product from one fused multiply-add (T. J. Dekker, Numer. Math. 18
// (1971) 224-242; Y. Hida, X. S. Li, D. H. Bailey, ARITH-15, 2001).
#pragma once

#include <cmath>

namespace specfun::detail {

struct DoubleDouble {
  double hi;
  double lo;
};

// a + b exactly, for any a, b.
inline DoubleDouble TwoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
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

// a·b exactly (barring underflow): Dekker's product from the halves, which
// needs no fused multiply-add (the build may run where it is a library call
// in software); std::fma where a half would overflow.
inline DoubleDouble TwoProduct(double a, double b) {
  const double p = a * b;
  if (!(std::fabs(a) < kSplitLimit && std::fabs(b) < kSplitLimit)) return {p, std::fma(a, b, -p)};
  const DoubleDouble x = Split(a);
  const DoubleDouble y = Split(b);
  return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

inline DoubleDouble operator+(const DoubleDouble& a, const DoubleDouble& b) {
  DoubleDouble s = TwoSum(a.hi, b.hi);
  const DoubleDouble t = TwoSum(a.lo, b.lo);
  s = FastTwoSum(s.hi, s.lo + t.hi);
  return FastTwoSum(s.hi, s.lo + t.lo);
}

inline DoubleDouble operator-(const DoubleDouble& a) { return {-a.hi, -a.lo}; }

inline DoubleDouble operator-(const DoubleDouble& a, const DoubleDouble& b) { return a + -b; }

inline DoubleDouble operator+(const DoubleDouble& a, double b) {
  const DoubleDouble s = TwoSum(a.hi, b);
  return FastTwoSum(s.hi, s.lo + a.lo);
}

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
  const DoubleDouble r = a - b * q;
  return FastTwoSum(q, r.hi / b.hi);
}

// √a for a >= 0, one Newton correction of the double square root.
inline DoubleDouble SquareRoot(const DoubleDouble& a) {
  if (a.hi == 0.0) return {0.0, 0.0};
  const double s = std::sqrt(a.hi);
  const DoubleDouble square = TwoProduct(s, s);
  const double residual = ((a.hi - square.hi) - square.lo) + a.lo;
  return FastTwoSum(s, residual / (2.0 * s));
}

// ln x for a positive finite x, to about 1e-30 relative.
DoubleDouble LogAsDoubleDouble(double x);

// 1 - e^y for y < 0, to about 1e-30 relative: -expm1(y) corrected by one
// Newton step on ln(1 - p) = y taken in double-double.
DoubleDouble OneMinusExp(double y);

// e^(y.hi + y.lo) to a relative error of about one rounding of the double
// exponential (0 below the doubles' range, +inf beyond; y.lo may exceed 1
// there, where y.hi is huge).
inline double Exp(const DoubleDouble& y) {
  const double e = std::exp(y.hi);
  return std::fabs(y.hi) < 746.0 ? e * (1.0 + y.lo) : e;
}

}  // namespace specfun::detail
