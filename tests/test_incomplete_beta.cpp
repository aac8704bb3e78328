// BETAF: the ends, known values, the convergence reports and their exact
// text, NaN handling, small arguments, large parameters, and the range of
// every result.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "specfun/specfun.hpp"
#include "tests/diagnostic_capture.hpp"

namespace {

using testing_support::DiagnosticCapture;
using specfun::BETAF;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct EndCase {
  double x, a, b, expected;
};

TEST(IncompleteBetaEnds, AnsweredExactlyAndSilently) {
  const EndCase cases[] = {
      {0.0, 2.0, 3.0, 0.0},   {1.0, 2.0, 3.0, 1.0},  {-0.5, 2.0, 3.0, 0.0},
      {1.5, 2.0, 3.0, 1.0},   {kNaN, 2.0, 3.0, 0.0}, {-kInf, 0.5, 0.5, 0.0},
      {kInf, 0.5, 0.5, 1.0},  {0.0, 1e-3, 1e5, 0.0}, {1.0, 1e5, 1e-3, 1.0},
  };
  const DiagnosticCapture capture;
  for (const EndCase& c : cases) {
    EXPECT_EQ(BETAF(c.x, c.a, c.b), c.expected) << "x=" << c.x << " a=" << c.a << " b=" << c.b;
  }
  EXPECT_TRUE(capture.records().empty());
}

struct KnownValue {
  double x, a, b, expected, tolerance;
};

TEST(IncompleteBetaKnownValues, MatchReferenceValues) {
  const KnownValue cases[] = {
      // A binomial sum: at least 2 successes in 4 trials at 0.3, 0.3483.
      {0.3, 2.0, 3.0, 0.3483, 3e-15},
      // x = a/(a + b) takes the swapped side; (2/π) arcsin(√x).
      {0.5, 0.5, 0.5, 0.5, 3e-15},
      // I(x, 1, 1) = x, at an x where a guard of 1e-20 inside the logarithm
      // would double the prefactor.
      {1e-20, 1.0, 1.0, 1e-20, 1e-34},
      // (2/π) arcsin(√1e-30) = 6.3661977236758137e-16 (mpmath).
      {1e-30, 0.5, 0.5, 6.3661977236758137e-16, 1e-28},
      // About 6e-14 after two iterations: the tolerance is absolute, so only
      // about five digits are right (mpmath: 6.1397154928073698e-14).
      {0.2, 50.0, 40.0, 6.1397154928073698e-14, 6.1397154928073698e-14 * 1e-5},
  };
  const DiagnosticCapture capture;
  for (const KnownValue& c : cases) {
    EXPECT_NEAR(BETAF(c.x, c.a, c.b), c.expected, c.tolerance)
        << "x=" << c.x << " a=" << c.a << " b=" << c.b;
  }
  EXPECT_TRUE(capture.records().empty());
}

TEST(IncompleteBetaReports, ConvergenceAfterTwentyIterationsIsReported) {
  const DiagnosticCapture capture;
  const double value = BETAF(0.5, 300.0, 300.0);
  EXPECT_NEAR(value, 0.5, 1e-12);
  // Index 31 lies between 20 and 41; the text item keeps its own blank.
  EXPECT_EQ(capture.lines(), std::vector<std::string>{"   31  iterations in BETAF"});
}

TEST(IncompleteBetaReports, SlowConvergenceIsExtrapolatedAndReported) {
  const DiagnosticCapture capture;
  const double value = BETAF(0.5, 1000.0, 1000.0);
  EXPECT_NEAR(value, 0.5, 1e-10);
  const std::vector<std::string> expected = {
      " Slow convergence in BETAF, last 4 vals & return:",
      "   0.499999999871555  0.499999999903000  0.500000000054519  0.500000000041021  "
      "0.500000000042125",
      " x,a,b=  0.500000000000000  1000.00000000000  1000.00000000000",
      " Identity I((x),a,b)=1-I((1-x),b,a) used",
  };
  ASSERT_EQ(capture.lines(), expected);
  // The fifth value is the extrapolated value of the swapped side.
  EXPECT_EQ(value, 1.0 - capture.records()[1].reals[4]);
}

TEST(IncompleteBetaReports, UnswappedSlowConvergenceHasNoIdentityLine) {
  const DiagnosticCapture capture;
  const double x = 0.4999;  // just below the mean, so not swapped
  BETAF(x, 1000.0, 1000.0);
  ASSERT_EQ(capture.records().size(), 3u);
  EXPECT_EQ(capture.lines()[2], " x,a,b=  0.499900000000000  1000.00000000000  1000.00000000000");
}

TEST(IncompleteBetaReports, ContinuedIterationReturnsTheConvergedValue) {
  const DiagnosticCapture capture;
  const double value = BETAF(0.5, 1e5, 1e5);
  EXPECT_NEAR(value, 0.5, 1e-9);
  ASSERT_EQ(capture.records().size(), 4u);
  EXPECT_EQ(capture.lines()[0], " Slow convergence in BETAF, last 4 vals & return:");
  EXPECT_EQ(capture.lines()[2], " x,a,b=  0.500000000000000  100000.000000000  100000.000000000");
  EXPECT_EQ(capture.lines()[3], " Identity I((x),a,b)=1-I((1-x),b,a) used");
  const std::vector<double>& five = capture.records()[1].reals;
  ASSERT_EQ(five.size(), 5u);
  // The 40th approximants are far apart (so no extrapolation) ...
  EXPECT_GT(std::fabs(five[3] - five[2]), 1e-9);
  // ... and the fifth value is the converged one, complemented on return.
  EXPECT_EQ(value, 1.0 - five[4]);
}

TEST(IncompleteBetaNaN, EndsTheIterationWithoutAReport) {
  const DiagnosticCapture capture;
  EXPECT_TRUE(std::isnan(BETAF(0.5, kNaN, 2.0)));
  EXPECT_TRUE(std::isnan(BETAF(0.5, 2.0, kNaN)));
  // ln Γ of a negative parameter is a NaN.
  EXPECT_TRUE(std::isnan(BETAF(0.5, -1.0, 2.0)));
  EXPECT_TRUE(capture.records().empty());
}

// Large or very unequal parameters, where 41 iterations do not converge, or
// where the approximants still move after them although the last odd and
// even ones agree to 1e-9 (mpmath references).
TEST(IncompleteBetaLargeParameters, AccurateBeyondTheFraction) {
  const KnownValue cases[] = {
      {0.5, 1e5, 1e5, 0.5, 1e-15},
      {0.5, 1e6, 1e6, 0.5, 1e-15},
      {0.3, 3e3, 7e3, 0.50116076913624899, 1e-9},
      {0.7, 70001.0, 30000.0, 0.49880705126885458, 1e-9},
      {0.99999999, 1e6, 0.01, 0.039652581090051867, 1e-14},
      // |e40 - o40| is 2.8e-11 but |e40 - e39| 7.5e-8: not settled.
      {0.999997263945, 1e5, 0.05, 0.048955300686011926345, 1e-14},
      {0.5, 1e10, 1e10, 0.5, 1e-15},
  };
  const DiagnosticCapture capture;
  for (const KnownValue& c : cases) {
    const double value = BETAF(c.x, c.a, c.b);
    EXPECT_NEAR(value, c.expected, c.tolerance) << "x=" << c.x << " a=" << c.a << " b=" << c.b;
  }
}

// Where the approximants have not settled after 41 iterations the report
// still comes, with the accurate value on the fraction's side as its fifth
// number.
TEST(IncompleteBetaReports, UnsettledApproximantsReportTheAccurateValue) {
  const DiagnosticCapture capture;
  const double value = BETAF(0.999997263945, 1e5, 0.05);
  // x lies below the mean, so the fraction is not mirrored: three records.
  ASSERT_EQ(capture.records().size(), 3u);
  const std::vector<double>& five = capture.records()[1].reals;
  ASSERT_EQ(five.size(), 5u);
  EXPECT_LE(std::fabs(five[3] - five[2]), 1e-9);
  EXPECT_GT(std::fabs(five[3] - five[1]), 1.5e-10);
  EXPECT_EQ(value, five[4]);
  EXPECT_NEAR(value, 0.048955300686011926345, 1e-14);
}

// Log-uniform parameters in [1e-3, 1e6] and points spread over (0, 1),
// including near both ends and near the mean: no result leaves [0, 1].
TEST(IncompleteBetaRange, EveryResultLiesInTheUnitInterval) {
  DiagnosticCapture capture;
  std::mt19937_64 generator(20240604);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const auto logUniform = [&](double low, double high) {
    return std::exp(std::log(low) + unit(generator) * (std::log(high) - std::log(low)));
  };
  for (int i = 0; i < 3000; ++i) {
    const double a = logUniform(1e-3, 1e6);
    const double b = logUniform(1e-3, 1e6);
    const double mean = a / (a + b);
    const double x[] = {unit(generator), logUniform(1e-300, 1.0), 1.0 - logUniform(1e-16, 1.0),
                        mean * (1.0 + 1e-3 * (unit(generator) - 0.5))};
    for (double xi : x) {
      const double value = BETAF(xi, a, b);
      ASSERT_TRUE(value >= 0.0 && value <= 1.0)
          << "x=" << xi << " a=" << a << " b=" << b << " gives " << value;
    }
    capture.clear();
  }
}

}  // namespace
