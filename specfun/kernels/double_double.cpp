// Logarithms in double-double arithmetic, from ln(1 + u) = 2 atanh(s),
// s = u/(2 + u) (A&S 4.1.27 with 4.6.22): for ln v after reduction to a
// table point c = 1 + j/64 near v 2^-k, s = (v 2^-k - c)/(v 2^-k + c) is
// below 0.0056 and the series beyond 2s is summed in double; for
// ln(1 + u) - u with |u| <= 0.05 the leading terms s + s³/3 + s⁵/5 + s⁷/7 are
// carried in double-double, the rest, below 1e-9 of the sum, in double.
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "specfun/kernels/double_double.hpp"
#include "specfun/kernels/log_one_plus.hpp"

namespace specfun::detail {
namespace {

// ln(1 + j/64) for j = kFirstTablePoint ... kLastTablePoint (mpmath), the points of the
// reduced argument's range [√½, √2).
constexpr double kTableSteps = 64.0;
constexpr int kFirstTablePoint = -19;
constexpr int kLastTablePoint = 27;
constexpr DoubleDouble kLogOfTablePoints[] = {
    {-0.3522205935893521, -5.7233316949182485e-18},
    {-0.33024168687057687, 1.0828321637483858e-17},
    {-0.3087354816496133, 1.6199186085148102e-17},
    {-0.2876820724517809, -2.607160616442564e-17},
    {-0.26706278524904525, 7.32891532732017e-18},
    {-0.24686007793152578, -1.361743371748368e-17},
    {-0.22705745063534608, -9.551415762738488e-18},
    {-0.2076393647782445, -1.2053243216686129e-17},
    {-0.18859116980755003, 7.432164219196925e-18},
    {-0.16989903679539747, 4.868008764439071e-19},
    {-0.15154989812720093, -5.1669593684615594e-18},
    {-0.13353139262452263, 3.664457663660085e-18},
    {-0.1158318155251217, -4.338484369808096e-18},
    {-0.09844007281325252, 4.439009633675136e-18},
    {-0.0813456394539524, -5.07707635593117e-18},
    {-0.06453852113757118, 6.470486661692933e-18},
    {-0.048009219186360606, -1.4390903347292205e-18},
    {-0.0317486983145803, -3.0382263084680858e-18},
    {-0.015748356968139168, -1.0021578630528974e-18},
    {0.0, 0.0},
    {0.015504186535965254, -3.278321022892429e-19},
    {0.030771658666753687, 1.0431732029005968e-18},
    {0.0458095360312942, 1.902959866474257e-18},
    {0.06062462181643484, 2.6424025938726934e-18},
    {0.07522342123758753, -5.930604196293241e-18},
    {0.08961215868968714, -5.4268129336647135e-18},
    {0.10379679368164356, 5.47772415726659e-18},
    {0.11778303565638346, -1.1971685747593677e-18},
    {0.13157635778871926, 1.1123000879729588e-17},
    {0.1451820098444979, 8.242418783022475e-18},
    {0.15860503017663857, 1.1257003872182592e-17},
    {0.17185025692665923, -6.0224538210113705e-18},
    {0.184922338494012, 3.0236614153574064e-18},
    {0.19782574332991987, 1.2821194372980142e-17},
    {0.21056476910734964, -4.249405314729895e-18},
    {0.22314355131420976, -9.091270597324799e-18},
    {0.2355660713127669, -2.3943371495187355e-18},
    {0.24783616390458127, -1.2432209578702523e-17},
    {0.25995752443692605, 2.069806938978935e-17},
    {0.27193371548364176, 7.83319637697442e-19},
    {0.2837681731306446, -2.032665581126656e-17},
    {0.2954642128938359, -2.16461086040599e-17},
    {0.3070250352949119, -1.2319916200101964e-17},
    {0.3184537311185346, 2.7114779367326236e-17},
    {0.329753286372468, 2.122020616196946e-18},
    {0.3409265869705932, 1.7467136443544747e-17},
    {0.3519764231571782, -1.2953893030191963e-17},
};
static_assert(sizeof kLogOfTablePoints / sizeof kLogOfTablePoints[0] ==
              kLastTablePoint - kFirstTablePoint + 1);
// Terms 1/3, 1/5, ... of the series beyond 2s that Log sums in double.
constexpr int kShortTerms = 5;

// ln 2's leading double in halves of at most 26 bits (Veltkamp's splitting).
constexpr DoubleDouble kLogTwoHalves = [] {
  const double scaled = kSplitter * kLogTwoDoubleDouble.hi;
  const double high = scaled - (scaled - kLogTwoDoubleDouble.hi);
  return DoubleDouble{high, kLogTwoDoubleDouble.hi - high};
}();

// e ln 2 for a whole e, |e| < 2^11, as a double-double: Dekker's product of
// e and ln 2's leading double, with e its own upper half, plus e times ln 2's
// trailing double; the same operations as TwoProduct's, less those on zeros.
DoubleDouble ExponentTimesLogTwo(int exponent) {
  const double e = static_cast<double>(exponent);
  const double product = e * kLogTwoDoubleDouble.hi;
  const DoubleDouble leading = {product, (e * kLogTwoHalves.hi - product) + e * kLogTwoHalves.lo};
  return leading + e * kLogTwoDoubleDouble.lo;
}

// The double-double quotient h/b of a double h, as the general quotient of
// DoubleDouble{h, 0} forms it, the operations on its zero trailing part left out.
DoubleDouble QuotientOfExact(double h, const DoubleDouble& b) {
  const double q = h / b.hi;
  const DoubleDouble bq = b * q;
  const DoubleDouble s = TwoSum(h, -bq.hi);
  const double remainder = s.hi + (s.lo + -bq.lo);
  return FastTwoSum(q, remainder / b.hi);
}

}  // namespace

DoubleDouble Log(const DoubleDouble& v) {
  if (!(v.hi > 0.0 && v.hi <= DBL_MAX)) return Exact(std::log(v.hi));
  const auto [fraction, exponent, scaledLo] = ReduceToOctave(v);
  const DoubleDouble m = {fraction, scaledLo};
  // m = c (1 + t) with c = 1 + j/64 the nearest table point:
  // ln m = ln c + 2 atanh(s), s = (m - c)/(m + c), |s| <= 0.0056, whose
  // series beyond 2s is below 1e-5 of it and taken in double. (m - 1) 64
  // is a multiple of 2^-47 below 32 in size, so adding ½ rounds nothing.
  const double steps = (m.hi - 1.0) * kTableSteps;
  const int nearest = static_cast<int>(std::fabs(steps) + 0.5);
  const int j = steps < 0.0 ? -nearest : nearest;
  const double c = 1.0 + j / kTableSteps;
  const DoubleDouble s = m.lo == 0.0 ? QuotientOfExact(m.hi - c, TwoSum(m.hi, c))
                                     : (DoubleDouble{m.hi - c, 0.0} + m.lo) / (m + c);
  const double s2 = s.hi * s.hi;
  double tail = 0.0;
  for (int k = kShortTerms - 1; k >= 0; --k) tail = tail * s2 + kOddReciprocals[k];
  const DoubleDouble atanh = s + s.hi * s2 * tail;
  // 2 atanh exactly (the double-double product by 2 forms the same).
  const DoubleDouble twiceAtanh = {2.0 * atanh.hi, 2.0 * atanh.lo};
  if (exponent == 0) return kLogOfTablePoints[j - kFirstTablePoint] + twiceAtanh;
  return ExponentTimesLogTwo(exponent) + kLogOfTablePoints[j - kFirstTablePoint] + twiceAtanh;
}

DoubleDouble OneMinusExp(double y) {
  const double p = -std::expm1(y);
  // Where p rounds to 1, e^y is below half an ulp of 1: 1 - e^y as it stands.
  if (p == 1.0) return {1.0, -std::exp(y)};
  const DoubleDouble q = TwoSum(1.0, -p);
  const DoubleDouble logQ = Log(Exact(q.hi)) + q.lo / q.hi;
  const DoubleDouble residual = logQ + -y;
  return FastTwoSum(p, q.hi * (residual.hi + residual.lo));
}

}  // namespace specfun::detail
