// Both tails of the incomplete beta function for parameters up to the
// largest double, and the t, F and binomial tails at arguments beyond the
// double range, against the mpmath tables tests/data/beta_tails.txt and
// tests/data/distribution_tails.txt (tools/gen_forward_tails_reference.py).
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "specfun/kernels/incomplete_beta_tails.hpp"
#include "specfun/routines/incomplete_beta.hpp"
#include "specfun/specfun.hpp"

#include "tests/diagnostic_capture.hpp"
#include "tests/reference_table.hpp"

namespace {

using testing_support::DiagnosticCapture;
using testing_support::ReadReferenceTable;
using testing_support::ReferenceRow;

// Tails from this size on are held to a relative bound; smaller ones only to
// lie below it.
constexpr double kSmallestTail = 1e-300;

// Error of a tail: relative where the reference is at least kSmallestTail,
// else the amount by which the value exceeds that size.
double TailError(double value, double reference) {
  if (reference >= kSmallestTail) return testing_support::RelativeError(value, reference);
  return value <= kSmallestTail ? 0.0 : value;
}

struct Worst {
  double error = 0.0;
  ReferenceRow row;
  void Note(double e, const ReferenceRow& r) {
    if (e > error) *this = {e, r};
  }
  void Print(const char* what) const {
    if (row.empty()) return;
    std::printf("%s: worst %.3g at %.17g %.17g %.17g\n", what, error, row[0], row[1], row[2]);
  }
};

// IncompleteBetaTails keeps each tail to 3e-12 of its own size: the exponent
// of the prefactor, a ln x of several hundred near x = 1e-300, carries about
// 5e-14, and a tail taken as the complement of one near 1 (down to 1e-2)
// magnifies that (measured 2.4e-12 at x = 8e-300, a = 3, b = 1e300; 3e-13
// elsewhere). BETAF is within 1e-9 of I absolutely everywhere.
TEST(BetaTailsReference, EachTailToItsOwnSizeAndBetafAbsolutely) {
  const auto rows = ReadReferenceTable("beta_tails.txt");
  ASSERT_GT(rows.size(), 2000u);
  const DiagnosticCapture capture;
  Worst lower, upper, betaf;
  for (const ReferenceRow& row : rows) {
    const double x = row[0], a = row[1], b = row[2];
    const specfun::detail::BetaTails tails = specfun::detail::IncompleteBetaTails(x, 1.0 - x, a, b);
    lower.Note(TailError(tails.lower, row[3]), row);
    upper.Note(TailError(tails.upper, row[4]), row);
    EXPECT_LE(TailError(tails.lower, row[3]), 3e-12) << "lower at " << x << " " << a << " " << b;
    EXPECT_LE(TailError(tails.upper, row[4]), 3e-12) << "upper at " << x << " " << a << " " << b;
    const double value = specfun::BETAF(x, a, b);
    betaf.Note(std::fabs(value - row[3]), row);
    EXPECT_LE(std::fabs(value - row[3]), 1e-9) << "BETAF at " << x << " " << a << " " << b;
  }
  lower.Print("lower tail");
  upper.Print("upper tail");
  betaf.Print("BETAF");
}

// A parameter far below 1 puts nearly all the mass beside one end; the tail
// away from it, down to 1e-298, keeps its digits, and so does the one near
// 1, by both the double and the logarithmic forms
// (tools/gen_near_one_tails.py).
TEST(BetaTailsReference, TailsBesideNearlyAllTheMass) {
  const auto rows = ReadReferenceTable("beta_near_one_tails.txt");
  ASSERT_GE(rows.size(), 13u);
  for (const ReferenceRow& row : rows) {
    const double x = row[0], y = row[1], a = row[2], b = row[3];
    const specfun::detail::BetaTails tails = specfun::detail::IncompleteBetaTails(x, y, a, b);
    EXPECT_LE(testing_support::RelativeError(tails.lower, row[4]), 4e-15)
        << x << " " << y << " " << a << " " << b;
    EXPECT_LE(testing_support::RelativeError(tails.upper, row[5]), 4e-15)
        << x << " " << y << " " << a << " " << b;
    const specfun::detail::LogBetaTails logs =
        specfun::detail::LogIncompleteBetaTails(x, y, std::log(x), std::log(y), a, b);
    EXPECT_NEAR(logs.lower, std::log(row[4]), 4e-15) << x << " " << y << " " << a << " " << b;
    EXPECT_NEAR(logs.upper, std::log(row[5]), 4e-15) << x << " " << y << " " << a << " " << b;
  }
}

// ln I below the doubles' range, x itself underflowing from ln x = -800 on.
TEST(BetaTailsReference, LogarithmOfATailBelowTheDoubles) {
  const auto rows = ReadReferenceTable("beta_log_tails.txt");
  ASSERT_GE(rows.size(), 5u);
  for (const ReferenceRow& row : rows) {
    const double logX = row[0], a = row[1], b = row[2];
    const double x = std::exp(logX);
    const specfun::detail::LogBetaTails logs =
        specfun::detail::LogIncompleteBetaTails(x, -std::expm1(logX), logX, std::log1p(-x), a, b);
    EXPECT_LE(std::fabs(logs.lower - row[3]), 1e-13 * std::fabs(row[3]))
        << logX << " " << a << " " << b;
    EXPECT_LE(logs.upper, 0.0);
  }
}

// The table reaches the fraction's slow convergence: both the Aitken value
// (approximants settled) and the accurate value beyond it are exercised.
TEST(BetaTailsReference, ReachesBothEndingsOfSlowConvergence) {
  int extrapolated = 0;
  int continued = 0;
  DiagnosticCapture capture;
  for (const ReferenceRow& row : ReadReferenceTable("beta_tails.txt")) {
    capture.clear();
    specfun::BETAF(row[0], row[1], row[2]);
    if (capture.records().size() < 2 || capture.records()[1].reals.size() != 5) continue;
    const std::vector<double>& five = capture.records()[1].reals;
    const bool settled = std::fabs(five[3] - five[2]) <= 1e-9 && std::fabs(five[3] - five[1]) <= 1.5e-10;
    ++(settled ? extrapolated : continued);
  }
  EXPECT_GT(extrapolated, 10);
  EXPECT_GT(continued, 10);
}

double Distribution(const ReferenceRow& row) {
  switch (static_cast<int>(row[0])) {
    case 1: return specfun::FDistP(row[1], row[2], row[3]);
    case 2: return specfun::FDistQ(row[1], row[2], row[3]);
    case 3: return specfun::StudentA(row[1], row[2]);
    case 4: return specfun::StudentAQ(row[1], row[2]);
    case 5: return specfun::BinomP(row[1], row[2], row[3]);
    default: return specfun::BinomQ(row[1], row[2], row[3]);
  }
}

// t up to 1e300 and F up to 1e308, where t², ν1·F or the share leave the
// double range, and ν, ν1, ν2 or n up to 1e300: relative error at most 1e-9
// wherever the tail is at least 1e-300.
TEST(DistributionTailsReference, RelativeToEachTail) {
  const auto rows = ReadReferenceTable("distribution_tails.txt");
  ASSERT_GT(rows.size(), 300u);
  const DiagnosticCapture capture;
  double worst = 0.0;
  for (const ReferenceRow& row : rows) {
    const double value = Distribution(row);
    const double error = TailError(value, row[4]);
    worst = std::fmax(worst, error);
    EXPECT_LE(error, 1e-9) << "kind " << row[0] << " at " << row[1] << " " << row[2] << " "
                           << row[3] << " gives " << value << " for " << row[4];
  }
  std::printf("worst relative error %.3g\n", worst);
}

// Whether a row's routine evaluates BETAF's 41-iteration fraction: t² or ν1·F
// a normal double and the halved parameters (or n) within its range.
bool TakesBetafFraction(const ReferenceRow& row) {
  const double u = row[1], v = row[2], w = row[3];
  const auto normal = [](double value) { return value >= DBL_MIN && value <= DBL_MAX; };
  switch (static_cast<int>(row[0])) {
    case 1: return normal(v * u) && 0.5 * std::fmax(v, w) <= 1.25e5;
    case 3: return normal(u * u) && 0.5 * v <= 1.25e5;
    default: return w <= 1.25e5;
  }
}

// A + AQ and P + Q are 1 within 1e-12 wherever the arguments leave BETAF's
// 41-iteration fraction. Where they do not, the two calls keep their fraction's
// bits, whose ln B(a, b) is subtracted in different orders: up to 5e-12
// apart for parameters near 1e4 (1.3e-12 measured at t = 0.5, ν = 1e4).
TEST(DistributionTailsReference, ComplementsAddToOne) {
  const DiagnosticCapture capture;
  for (const ReferenceRow& row : ReadReferenceTable("distribution_tails.txt")) {
    const double u = row[1], v = row[2], w = row[3];
    double sum = 0.0;
    switch (static_cast<int>(row[0])) {
      case 1: sum = specfun::FDistP(u, v, w) + specfun::FDistQ(u, v, w); break;
      case 3: sum = specfun::StudentA(u, v) + specfun::StudentAQ(u, v); break;
      case 5: sum = specfun::BinomP(u, v, w) + specfun::BinomQ(u, v, w); break;
      default: continue;
    }
    const double bound = TakesBetafFraction(row) ? 5e-12 : 1e-12;
    EXPECT_NEAR(sum, 1.0, bound) << "kind " << row[0] << " at " << u << " " << v << " " << w;
  }
}

// Limits where a parameter is subnormal (half of the smallest one rounds to
// 0) or beyond any fraction's reach, and exact identities.
TEST(ForwardTailLimits, SubnormalAndHugeParameters) {
  const DiagnosticCapture capture;
  const double tiny = 4.9406564584124654e-324;
  const double largest = DBL_MAX;
  struct Case {
    const char* call;
    double value;
    double expected;
  };
  const Case cases[] = {
      {"BETAF(0.3, tiny, 1)", specfun::BETAF(0.3, tiny, 1.0), 1.0},
      {"BETAF(0.3, 1, tiny)", specfun::BETAF(0.3, 1.0, tiny), 0.0},
      {"BETAF(0.3, tiny, tiny)", specfun::BETAF(0.3, tiny, tiny), 0.5},
      {"StudentA(0.5, tiny)", specfun::StudentA(0.5, tiny), 0.0},
      {"StudentAQ(0.5, tiny)", specfun::StudentAQ(0.5, tiny), 1.0},
      {"FDistP(2, tiny, tiny)", specfun::FDistP(2.0, tiny, tiny), 0.5},
      {"BETAF(0.5, 1e15, 1e15)", specfun::BETAF(0.5, 1e15, 1e15), 0.5},
      {"BETAF(0.5, largest, largest)", specfun::BETAF(0.5, largest, largest), 0.5},
      {"BETAF(0.9, 1.4e154, 2)", specfun::BETAF(0.9, 1.4e154, 2.0), 0.0},
      {"BETAF(0.1, 2, largest)", specfun::BETAF(0.1, 2.0, largest), 1.0},
      {"LnGamma(+inf)", specfun::LnGamma(INFINITY), INFINITY},
  };
  for (const Case& c : cases) EXPECT_EQ(c.value, c.expected) << c.call;
}

// Never a NaN, always inside [0, 1], and the two tails adding to 1 (within
// the rounding of ln Γ at the smallest parameters, 5e-14), for
// parameters from the smallest normal double to the largest.
TEST(ForwardTailLimits, EveryParameterGivesAProbability) {
  const DiagnosticCapture capture;
  const double parameters[] = {DBL_MIN, 1e-300, 1e-3, 0.5, 7.0, 1e5, 1e6, 1e10,
                               1e17,    1e100,  1e300, DBL_MAX};
  const double arguments[] = {1e-300, 1e-17, 1e-6, 0.25, 0.5, 0.75, 1.0 - 1e-6, 1.0 - 0x1p-53};
  for (double a : parameters) {
    for (double b : parameters) {
      for (double x : arguments) {
        const specfun::detail::BetaTails tails = specfun::detail::IncompleteBetaTails(x, 1.0 - x, a, b);
        const double value = specfun::BETAF(x, a, b);
        ASSERT_TRUE(value >= 0.0 && value <= 1.0) << x << " " << a << " " << b << ": " << value;
        ASSERT_TRUE(tails.lower >= 0.0 && tails.lower <= 1.0) << x << " " << a << " " << b;
        EXPECT_NEAR(tails.lower + tails.upper, 1.0, 1e-13) << x << " " << a << " " << b;
      }
    }
  }
}

std::uint64_t Bits(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

// IncompleteBetaTailsInLockstep against IncompleteBetaTails element by
// element, bit for bit, over `count` elements from `first`.
void ExpectTailsSideBySideAreScalar(const std::vector<double>& x, const std::vector<double>& y,
                                    const std::vector<double>& a, const std::vector<double>& b,
                                    std::size_t first, std::size_t count) {
  std::vector<specfun::detail::BetaTails> tails(count + 2, {-7.0, -7.0});
  specfun::detail::IncompleteBetaTailsInLockstep(x.data() + first, y.data() + first,
                                                 a.data() + first, b.data() + first, count,
                                                 tails.data() + 1);
  EXPECT_EQ(tails.front().lower, -7.0);
  EXPECT_EQ(tails.back().upper, -7.0);
  std::size_t mismatches = 0;
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t i = first + k;
    const specfun::detail::BetaTails expected =
        specfun::detail::IncompleteBetaTails(x[i], y[i], a[i], b[i]);
    const bool same = Bits(tails[k + 1].lower) == Bits(expected.lower) &&
                      Bits(tails[k + 1].upper) == Bits(expected.upper);
    if (!same && ++mismatches <= 5) {
      ADD_FAILURE() << "tails at " << x[i] << " (" << y[i] << ") " << a[i] << " " << b[i]
                    << ": side by side " << tails[k + 1].lower << " " << tails[k + 1].upper
                    << ", alone " << expected.lower << " " << expected.upper;
    }
  }
  EXPECT_EQ(mismatches, 0u) << count << " elements";
}

// Both tails side by side are the scalar ones: every method (the series at
// a small argument, the fraction below or above the mean, Temme's
// expansion, the limits), a complement supplied apart from x, and the
// awkward doubles, in groups around the lane width and up to a chunk.
TEST(BetaTailsSideBySide, AreTheScalarTailsBitForBit) {
  std::mt19937_64 rng(2718);
  const auto uniform = [&](double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(rng);
  };
  const auto logUniform = [&](double low, double high) {
    return std::exp(uniform(std::log(low), std::log(high)));
  };
  const double special[] = {NAN, INFINITY, 0.0, -1.0, 4.9e-324, 1e-310, DBL_MAX};
  std::vector<double> x, y, a, b;
  for (int i = 0; i < 3000; ++i) {
    double pa = logUniform(1e-3, 1e9);
    double pb = logUniform(1e-3, 1e9);
    double px = i % 3 == 0 ? uniform(0.0, 1.0) : pa / (pa + pb) * uniform(0.9, 1.1);
    if (i % 5 == 0) px = logUniform(1e-300, 1e-3);
    double py = 1.0 - px;
    // A complement of its own near x = 1: y exact, x its rounding.
    if (i % 7 == 0) {
      py = logUniform(1e-300, 1e-3);
      px = 1.0 - py;
    }
    if (i % 23 == 0) pa = special[rng() % 7];
    if (i % 29 == 0) pb = special[rng() % 7];
    if (i % 31 == 0) px = special[rng() % 7];
    x.push_back(std::fmin(px, 1.0));
    y.push_back(py);
    a.push_back(pa);
    b.push_back(pb);
  }
  constexpr std::size_t kChunk = specfun::detail::kChunkLength;
  const std::size_t counts[] = {0, 1, 15, 16, 17, 33, kChunk};
  std::size_t first = 0;
  for (std::size_t count : counts) {
    ExpectTailsSideBySideAreScalar(x, y, a, b, first, count);
    first += count;
  }
  ASSERT_LE(first, x.size());
  for (; first + kChunk <= x.size(); first += kChunk) {
    ExpectTailsSideBySideAreScalar(x, y, a, b, first, kChunk);
  }
}

// Which evaluations BETAF gives to its 41-iteration fraction.
TEST(IncompleteBetaPath, FortyOneIterationFractionForOrdinaryArguments) {
  struct Case {
    double x, a, b;
    bool fraction;
  };
  const Case cases[] = {
      {0.3, 2.0, 3.0, true},          {0.5, 1000.0, 1000.0, true},
      {0.5, 1.25e5, 0.01, true},      {0.5, 1.26e5, 0.01, false},
      {0.5, 2.0, 2e6, false},         {0.5, DBL_MIN, 1.0, true},
      {0.5, 4.9e-324, 1.0, false},    {0.5, INFINITY, 1.0, false},
      {0.5, NAN, 1.0, false},         {0.0, 1.0, 1.0, false},
      {1.0, 1.0, 1.0, false},         {NAN, 1.0, 1.0, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(specfun::detail::TakesFortyOneIterationFraction(c.x, c.a, c.b), c.fraction)
        << c.x << " " << c.a << " " << c.b;
  }
}

}  // namespace
