// Logarithms in double-double arithmetic, from ln(1 + u) = 2 atanh(s),
// s = u/(2 + u) (A&S 4.1.27 with 4.6.22): the leading terms of the series
// s + s³/3 + s⁵/5 + s⁷/7 carried in double-double, the rest, which is below
// 1e-3 of the sum, in double.
#include <cmath>

#include "specfun/kernels/double_double.hpp"

namespace specfun::detail {
namespace {

constexpr DoubleDouble kThird = {0.3333333333333333, 1.850371707708594e-17};
constexpr DoubleDouble kFifth = {0.2, -1.1102230246251566e-17};
constexpr DoubleDouble kSeventh = {0.14285714285714285, 7.93016446160826e-18};
// √½, the lower end of the reduced argument's range [√½, √2).
constexpr double kRootHalf = 0.70710678118654752;

// S(s) = Σ s^(2k)/(2k + 3), so that atanh(s) = s + s³ S(s), for
// s² <= 1/9, with its terms from s⁶/9 on summed in double (`terms` of them).
DoubleDouble AtanhRemainder(const DoubleDouble& s, int terms) {
  const DoubleDouble s2 = s * s;
  double tail = 0.0;
  for (int k = terms - 1; k >= 0; --k) tail = tail * s2.hi + 1.0 / (2 * k + 9);
  return kThird + s2 * (kFifth + s2 * (kSeventh + s2 * tail));
}

}  // namespace

DoubleDouble Log(const DoubleDouble& v) {
  int exponent = 0;
  double fraction = std::frexp(v.hi, &exponent);
  if (fraction < kRootHalf) {
    fraction *= 2.0;
    --exponent;
  }
  const DoubleDouble m = {fraction, std::ldexp(v.lo, -exponent)};
  // m - 1 is exact in its leading part (Sterbenz); |s| <= 0.172.
  const DoubleDouble s = (DoubleDouble{m.hi - 1.0, 0.0} + m.lo) / (m + 1.0);
  constexpr int kTerms = 10;
  const DoubleDouble atanh = s + s * (s * s) * AtanhRemainder(s, kTerms);
  const DoubleDouble scaled = TwoProduct(static_cast<double>(exponent), kLogTwo.hi) +
                              static_cast<double>(exponent) * kLogTwo.lo;
  return scaled + atanh * 2.0;
}

DoubleDouble LogOnePlusMinus(const DoubleDouble& u) {
  // ln(1 + u) - u = 2 s³ S(s) - u s, as 2s - u = -u s.
  const DoubleDouble s = u / (u + 2.0);
  constexpr int kTerms = 15;
  return s * (s * s) * AtanhRemainder(s, kTerms) * 2.0 - u * s;
}

}  // namespace specfun::detail
