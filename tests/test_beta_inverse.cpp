// The inverses of the incomplete beta, F and t distributions: known values,
// the half-half closed form, the ends, the start where the percentage-point
// approximation is undefined, large parameters, inverses near 1, round
// trips and finiteness. Reference values from mpmath
// (tools/gen_beta_reference.py) unless a closed form is given.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "specfun/specfun.hpp"
#include "tests/diagnostic_capture.hpp"

namespace {

using testing_support::DiagnosticCapture;
using namespace specfun;

constexpr double kInf = std::numeric_limits<double>::infinity();

// The header's accuracy figures, relative (for BetaInv in the smaller of x
// and 1 - x).
constexpr double kBetaInvRelative = 9.9e-9;
constexpr double kFDistInvRelative = 9.9e-9;
constexpr double kStudentInvRelative = 5.0e-9;

struct Expected {
  const char* name;
  double value, expected, relativeTolerance;
};

void ExpectRelative(const Expected& c) {
  EXPECT_LE(std::fabs(c.value - c.expected), c.relativeTolerance * std::fabs(c.expected))
      << c.name << " gives " << c.value << " for " << c.expected;
}

TEST(BetaInverseKnownValues, MatchTheirEightDigits) {
  const Expected cases[] = {
      {"StudentInv(0.05,10)", StudentInv(0.05, 10.0), 2.2281388519862747, kStudentInvRelative},
      {"StudentInv(1e-6,30)", StudentInv(1e-6, 30.0), 6.1190756203842168, kStudentInvRelative},
      {"FDistInv(0.05,3,30)", FDistInv(0.05, 3.0, 30.0), 2.9222771906450386, kFDistInvRelative},
      {"FDistInv(0.001,3,30)", FDistInv(0.001, 3.0, 30.0), 7.0544571465911166, kFDistInvRelative},
      {"FDistInv(0.25,60,1)", FDistInv(0.25, 60.0, 1.0), 9.7591531305107534, kFDistInvRelative},
      {"BetaInv(0.3,2,3)", BetaInv(0.3, 2.0, 3.0), 0.27238394207510534, kBetaInvRelative},
  };
  for (const Expected& c : cases) ExpectRelative(c);
}

// a = b = 1/2: x = sin²(πp/2) exactly, hence t = cot(πp/2), F = cot²(πp/2).
TEST(BetaInverseHalfHalf, IsTheClosedForm) {
  const double quarterPi = std::atan(1.0);
  const Expected cases[] = {
      {"BetaInv(0.25,.5,.5)", BetaInv(0.25, 0.5, 0.5), (2.0 - std::sqrt(2.0)) / 4.0, 1e-15},
      {"BetaInv(0.5,.5,.5)", BetaInv(0.5, 0.5, 0.5), 0.5, 1e-15},
      {"StudentInv(0.05,1)", StudentInv(0.05, 1.0), 1.0 / std::tan(0.05 * 2.0 * quarterPi),
       1e-14},
      {"StudentInv(0.05,1) 8 digits", StudentInv(0.05, 1.0), 12.70620474, 1e-9},
      {"StudentInv(0.5,1)", StudentInv(0.5, 1.0), 1.0, 1e-15},
      {"FDistInv(0.5,1,1)", FDistInv(0.5, 1.0, 1.0), 1.0, 1e-15},
      {"FDistInv(0.25,1,1)", FDistInv(0.25, 1.0, 1.0), 5.828427125, 1e-9},
      // x = sin² underflows below p = 1e-154; t = cot(πp/2) is still finite.
      {"StudentInv(1e-200,1)", StudentInv(1e-200, 1.0), 2.0 / (1e-200 * 4.0 * quarterPi), 1e-15},
  };
  for (const Expected& c : cases) ExpectRelative(c);
}

// p <= 0 and p >= 1 give the ends, after QGaussInv has had its say.
TEST(BetaInverseEnds, GiveTheEndsAfterTheGaussianDiagnostics) {
  DiagnosticCapture capture;
  for (const double a : {0.5, 2.0, 1000.0}) {
    for (const double b : {0.5, 3.0, 1000.0}) {
      EXPECT_EQ(BetaInv(0.0, a, b), 0.0);
      EXPECT_EQ(BetaInv(1.0, a, b), 1.0);
    }
  }
  EXPECT_TRUE(capture.records().empty());
  EXPECT_EQ(BetaInv(-0.5, 2.0, 3.0), 0.0);
  EXPECT_EQ(BetaInv(1.5, 2.0, 3.0), 1.0);
  ASSERT_EQ(capture.records().size(), 2u);
  EXPECT_NE(capture.lines()[0].find("QGaussInv negative input"), std::string::npos);
  EXPECT_NE(capture.lines()[1].find("QGaussInv input >1"), std::string::npos);
  capture.clear();
  EXPECT_EQ(StudentInv(-0.5, 3.0), kInf);
  EXPECT_EQ(FDistInv(1.5, 2.0, 3.0), 0.0);
  ASSERT_EQ(capture.records().size(), 2u);
  EXPECT_NE(capture.lines()[0].find("QGaussInv negative input"), std::string::npos);
  EXPECT_NE(capture.lines()[1].find("QGaussInv input >1"), std::string::npos);
  capture.clear();
  for (const double nu : {1.0, 2.5, 30.0}) {
    EXPECT_EQ(StudentInv(0.0, nu), kInf);
    EXPECT_EQ(StudentInv(1.0, nu), 0.0);
    EXPECT_EQ(FDistInv(0.0, nu, 3.0), kInf);
    EXPECT_EQ(FDistInv(1.0, nu, 3.0), 0.0);
  }
  EXPECT_TRUE(capture.records().empty());
  EXPECT_TRUE(std::isnan(BetaInv(std::nan(""), 2.0, 3.0)));
  EXPECT_TRUE(std::isnan(StudentInv(std::nan(""), 3.0)));
}

// Where h + λ of the percentage-point approximation is not positive, or its
// h is infinite, another start is taken.
TEST(BetaInverseStart, WorksWhereTheApproximationIsUndefined) {
  const DiagnosticCapture capture;
  const Expected cases[] = {
      {"BetaInv(0.5,.6,.6)", BetaInv(0.5, 0.6, 0.6), 0.5, 1e-10},
      {"BetaInv(0.05,.4,5)", BetaInv(0.05, 0.4, 5.0), 8.8081607143157603e-5, kBetaInvRelative},
      {"BetaInv(0.7,.05,.3)", BetaInv(0.7, 0.05, 0.3), 0.011631742450623233, kBetaInvRelative},
      {"FDistInv(0.5,1.2,1.2)", FDistInv(0.5, 1.2, 1.2), 1.0, 1e-10},
      {"FDistInv(0.3,.5,.7)", FDistInv(0.3, 0.5, 0.7), 4.181469760737686, kFDistInvRelative},
  };
  for (const Expected& c : cases) ExpectRelative(c);
  // 1/(2a - 1) + 1/(2b - 1) = 0 makes h infinite; I(x, a, 1) = x^a, so the
  // inverse 0.5^(1e10) underflows to 0.
  EXPECT_EQ(BetaInv(0.5, 1e-10, 1.0), 0.0);
  // Both parameters just above 1/2, where h is small: round trips.
  for (const double a : {0.5001, 0.52, 0.6, 0.7}) {
    for (const double b : {0.5001, 0.55, 0.6, 0.75}) {
      for (const double p : {1e-4, 0.01, 0.3, 0.5, 0.7, 0.99, 0.9999}) {
        const double x = BetaInv(p, a, b);
        ASSERT_TRUE(x > 0.0 && x < 1.0) << "p=" << p << " a=" << a << " b=" << b;
        // 2e-7 of the smaller tail (the inverse's 1e-6 times a < 1), plus the
        // absolute accuracy of BETAF.
        EXPECT_NEAR(BETAF(x, a, b), p, 2e-7 * std::fmin(p, 1.0 - p) + 1e-12)
            << "p=" << p << " a=" << a << " b=" << b;
      }
    }
  }
}

// B(a, b) and x^(a-1)(1-x)^(b-1) underflow; the Newton step is formed in
// logarithms.
TEST(BetaInverseLargeParameters, NewtonStepsInLogarithms) {
  const DiagnosticCapture capture;
  EXPECT_NEAR(BetaInv(0.5, 1000.0, 1000.0), 0.5, 1e-9);
  EXPECT_NEAR(BetaInv(0.5, 5000.0, 5000.0), 0.5, 1e-9);
  for (const double p : {1e-4, 0.05, 0.5, 0.95}) {
    const double x = BetaInv(p, 3000.0, 7000.0);
    EXPECT_NEAR(BETAF(x, 3000.0, 7000.0), p, 1e-6 * std::fmin(p, 1.0 - p)) << p;
  }
}

// Inverses that lie within 1e-4 of 1 keep their digits in 1 - x (small t and
// small F), also where x itself rounds to 1.
TEST(BetaInverseNearOne, KeepsTheDigitsOfOneMinusX) {
  const DiagnosticCapture capture;
  const Expected cases[] = {
      {"StudentInv(0.99,1e4)", StudentInv(0.99, 1e4), 0.012533782897947874, kStudentInvRelative},
      {"StudentInv(0.999999,30)", StudentInv(0.999999, 30.0), 1.2638001130983685e-6,
       kStudentInvRelative},
      {"StudentInv(1-2^-40,30)", StudentInv(1.0 - std::ldexp(1.0, -40), 30.0),
       1.1494195069296251e-12, kStudentInvRelative},
      {"FDistInv(0.9,.5,.5)", FDistInv(0.9, 0.5, 0.5), 0.0011822632250665591, 1e-10},
      // x = 1 - 2.5e-31 rounds to 1; F = 5 (1 - x) / (0.01 x).
      {"FDistInv(0.5,.02,10)", FDistInv(0.5, 0.02, 10.0), 4.9461202120562698e-29,
       kFDistInvRelative},
  };
  for (const Expected& c : cases) ExpectRelative(c);
}

// Round trips through each inverse at moderate parameters, to 1e-6 of the
// smaller tail. (Above p = 0.999 the forward functions themselves see x
// only to its quantum near 1, which moves the upper tail by up to 3e-6 of
// itself at p = 0.9999.)
TEST(BetaInverseRoundTrips, GiveBackTheProbability) {
  const DiagnosticCapture capture;
  const double probabilities[] = {1e-4, 0.001, 0.025, 0.2, 0.5, 0.8, 0.975, 0.999};
  const double parameters[] = {0.5, 0.8, 1.0, 1.7, 4.0, 12.5, 60.0, 400.0};
  for (const double p : probabilities) {
    const double scale = std::fmin(p, 1.0 - p);
    for (const double a : parameters) {
      for (const double b : parameters) {
        const double x = BetaInv(p, a, b);
        EXPECT_NEAR(BETAF(x, a, b), p, 1e-6 * scale + 1e-12)
            << "p=" << p << " a=" << a << " b=" << b;
        const double f = FDistInv(p, 2.0 * a, 2.0 * b);
        EXPECT_NEAR(FDistQ(f, 2.0 * a, 2.0 * b), p, 1e-6 * scale + 1e-12)
            << "F: p=" << p << " nu1=" << 2.0 * a << " nu2=" << 2.0 * b;
      }
      const double t = StudentInv(p, 2.0 * a);
      EXPECT_NEAR(StudentAQ(t, 2.0 * a), p, 1e-6 * scale + 1e-12)
          << "t: p=" << p << " nu=" << 2.0 * a;
    }
  }
}

// Finite results for every p strictly inside (0, 1), far beyond the range
// where they are accurate; the estimate never leaves [0, 1].
TEST(BetaInverseRange, FiniteEverywhereInside) {
  const DiagnosticCapture capture;
  const double probabilities[] = {1e-300, 1e-100, 1e-10, 0.3, 0.5, 1.0 - 1e-10,
                                  1.0 - std::ldexp(1.0, -53)};
  const double parameters[] = {1e-3, 0.1, 0.45, 0.5, 0.6, 1.0, 3.0, 1e3, 1e5, 1e6};
  for (const double p : probabilities) {
    for (const double a : parameters) {
      for (const double b : parameters) {
        const double x = BetaInv(p, a, b);
        EXPECT_TRUE(x >= 0.0 && x <= 1.0) << "p=" << p << " a=" << a << " b=" << b;
      }
    }
    for (const double nu1 : {1.0, 1.5, 2.0, 10.0, 1e3, 1e6}) {
      EXPECT_TRUE(std::isfinite(StudentInv(p, nu1))) << "p=" << p << " nu=" << nu1;
      for (const double nu2 : {1.0, 1.5, 2.0, 10.0, 1e3, 1e6}) {
        // The true F, about p^(-2/nu2), is itself beyond the doubles there.
        if (p < 1e-100) continue;
        const double f = FDistInv(p, nu1, nu2);
        EXPECT_TRUE(std::isfinite(f) && f >= 0.0) << "p=" << p << " nu1=" << nu1 << " nu2=" << nu2;
      }
    }
  }
}

}  // namespace
