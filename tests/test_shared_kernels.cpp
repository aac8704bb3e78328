// The kernels the routines share, each form against mpmath: Stirling's
// remainder mu(z) = ln Γ(z) - (z - 1/2) ln z + z - ln √(2π) in its five
// forms, and ln(1 + t) - t in its three.
#include <gtest/gtest.h>

#include <cmath>

#include "specfun/kernels/double_double.hpp"
#include "specfun/kernels/log_one_plus.hpp"
#include "specfun/kernels/stirling_remainder.hpp"

namespace {

using specfun::detail::DoubleDouble;
using specfun::detail::Exact;
using specfun::detail::LogOnePlusMinusSelfSeries;
using specfun::detail::LogOnePlusMinusWithBound;
using specfun::detail::RoundedPair;
using specfun::detail::RoundedValue;
using specfun::detail::SelfMinusLogOnePlus;
using specfun::detail::StirlingRemainderDoubleDouble;
using specfun::detail::StirlingRemainderSeries;
using specfun::detail::StirlingRemainderStieltjes;
using specfun::detail::StirlingRemainderThreeTerms;
using specfun::detail::StirlingRemainderWithBound;

struct Reference {
  double argument;
  double value;  // mpmath at 40 digits
};

double Relative(double computed, double reference) {
  return std::fabs(computed - reference) / std::fabs(reference);
}

// A reference double's own rounding, relative.
constexpr double kReferenceRounding = 0x1p-53;

// mu(z), across the switch of the series at 10, of the three terms at 200,
// the Stieltjes fraction's range from 5 and the fits on [1, 7).
constexpr Reference kStirlingRemainders[] = {
    {0.001, 2.5422704679670945518},     {0.5, 0.15342640972002734529},
    {3.7, 0.022468770580143145898},
    {1.0, 0.08106146679532725822},      {5.0, 0.016644691189821192163},
    {9.5, 0.008768700134139385463},     {10.0, 0.0083305634333628712565},
    {150.0, 0.00055555473252073908596}, {199.5, 0.00041771059418978066783},
    {200.0, 0.00041666631944692455667}, {1e4, 8.3333333305555555635e-6},
    {1e10, 8.3333333333333333338e-12},
};

TEST(StirlingRemainder, EachFormAgainstMpmath) {
  for (const Reference& r : kStirlingRemainders) {
    SCOPED_TRACE(r.argument);
    // Below 10 the recurrence's rounding adds up, of the order of 1e-16 of
    // the terms it sums, which are larger than mu.
    const double bound = r.argument < 10.0 ? 3e-14 : 4e-16;
    EXPECT_LT(Relative(StirlingRemainderSeries(r.argument), r.value), bound);
    EXPECT_LT(Relative(StirlingRemainderThreeTerms(r.argument), r.value), bound);
    // The fraction's sixth coefficient is off in its eighth digit.
    if (r.argument >= 5.0) {
      EXPECT_LT(Relative(StirlingRemainderStieltjes(r.argument), r.value), 1e-11);
    }
    const DoubleDouble pair = StirlingRemainderDoubleDouble(Exact(r.argument));
    EXPECT_LE(std::fabs(pair.hi - r.value + pair.lo), 2.0 * kReferenceRounding * r.value);
    const RoundedPair bounded = StirlingRemainderWithBound(r.argument);
    EXPECT_LE(std::fabs(bounded.value.hi - r.value + bounded.value.lo),
              bounded.error + kReferenceRounding * r.value);
  }
}

// ln(1 + t) - t, in the series' range |t| <= 1/2 and beside the switch to
// log1p at 0.1.
constexpr Reference kLogOnePlusMinusSelf[] = {
    {-0.45, -0.14783700075562044937},    {-0.05, -0.0012932943875505334262},
    {-1e-6, -5.0000033333358333353e-13}, {1e-9, -4.9999999966666666692e-19},
    {0.02, -0.00019737270382028697397},  {0.3, -0.037635735532508947965},
    {0.5, -0.094534891891835618022},
};

TEST(LogOnePlus, EachFormAgainstMpmath) {
  for (const Reference& r : kLogOnePlusMinusSelf) {
    SCOPED_TRACE(r.argument);
    EXPECT_LT(Relative(LogOnePlusMinusSelfSeries(r.argument), r.value), 4e-16);
    EXPECT_LT(Relative(-SelfMinusLogOnePlus(r.argument), r.value), 8e-16);
    const RoundedValue bounded = LogOnePlusMinusWithBound(r.argument);
    EXPECT_LE(std::fabs(bounded.value - r.value),
              bounded.error + kReferenceRounding * std::fabs(r.value));
  }
}

}  // namespace
