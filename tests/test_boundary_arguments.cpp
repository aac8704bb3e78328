// The routines at the edges of their domains: negative zeros, infinite and
// huge degrees of freedom, success probabilities so small that 1 - p
// rounds, and arguments where an accuracy figure was once missed, against
// mpmath (tests/data/boundary_cases.txt, tools/gen_boundary_cases.py).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "specfun/specfun.hpp"
#include "tests/diagnostic_capture.hpp"
#include "tests/reference_table.hpp"

namespace {

using namespace specfun;
using testing_support::ReferenceRow;

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Routine {
  const char* name;
  int arity;
  std::function<double(const double*)> call;
  // Allowed error: absolute for the tails, relative for the inverses.
  double tolerance;
  bool relative;
};

// Indexed by the tables' kind: the header's figure for each routine.
const std::vector<Routine>& Routines() {
  static const std::vector<Routine> routines = {
      {"", 0, nullptr, 0.0, false},
      {"FDistP", 3, [](const double* u) { return FDistP(u[0], u[1], u[2]); }, 8.8e-11, false},
      {"FDistQ", 3, [](const double* u) { return FDistQ(u[0], u[1], u[2]); }, 8.8e-11, false},
      {"StudentA", 2, [](const double* u) { return StudentA(u[0], u[1]); }, 5.4e-11, false},
      {"StudentAQ", 2, [](const double* u) { return StudentAQ(u[0], u[1]); }, 5.4e-11, false},
      {"BinomP", 3, [](const double* u) { return BinomP(u[0], u[1], u[2]); }, 7.7e-12, false},
      {"BinomQ", 3, [](const double* u) { return BinomQ(u[0], u[1], u[2]); }, 7.7e-12, false},
      {"BetaInv", 3, [](const double* u) { return BetaInv(u[0], u[1], u[2]); }, 9.9e-9, true},
      {"FDistInv", 3, [](const double* u) { return FDistInv(u[0], u[1], u[2]); }, 9.9e-9, true},
      {"StudentInv", 2, [](const double* u) { return StudentInv(u[0], u[1]); }, 5e-9, true},
      {"ChiSquareInv", 2, [](const double* u) { return ChiSquareInv(u[0], u[1]); }, 9e-9, true},
  };
  return routines;
}

// Tails below this are held to kSmallTailRelative of their size as well.
constexpr double kSmallTail = 1e-12;
constexpr double kSmallTailRelative = 1e-9;

// Where BETAF reports 41 iterations without convergence, a tail is the
// fraction's extrapolated value, which the header bounds by this.
constexpr double kExtrapolatedTolerance = 6e-10;

bool Within(const Routine& routine, double value, double reference, bool extrapolated) {
  if (value == reference) return true;
  const double error = std::fabs(value - reference);
  if (routine.relative) return error <= routine.tolerance * std::fabs(reference);
  if (error > (extrapolated ? kExtrapolatedTolerance : routine.tolerance)) return false;
  return reference >= kSmallTail || error <= kSmallTailRelative * reference;
}

TEST(BoundaryArguments, MatchMpmath) {
  const auto rows = testing_support::ReadReferenceTable("boundary_cases.txt");
  ASSERT_GT(rows.size(), 20u);
  testing_support::DiagnosticCapture capture;
  for (const ReferenceRow& row : rows) {
    const Routine& routine = Routines().at(static_cast<std::size_t>(row[0]));
    capture.clear();
    const double value = routine.call(&row[1]);
    const bool extrapolated = capture.reportSizes().size() == 1 && capture.reportSizes()[0] >= 3;
    EXPECT_TRUE(Within(routine, value, row[4], extrapolated))
        << routine.name << "(" << row[1] << ", " << row[2] << ", " << row[3] << ") = " << value
        << ", mpmath " << row[4];
    EXPECT_TRUE(routine.relative || (value >= 0.0 && value <= 1.0)) << routine.name;
  }
}

// The inverses with parameters from 1e16 to the largest double (the other
// parameter of the beta and F inverses there too, or between 0.05 and 1e5)
// meet the header's bounds; the worst error of each is reported.
TEST(BoundaryArguments, InversesWithHugeParametersMatchTheirLimits) {
  const auto rows = testing_support::ReadReferenceTable("boundary_inverse_sweep.txt");
  ASSERT_GT(rows.size(), 300u);
  double worst[10] = {};
  const ReferenceRow* worstRow[10] = {};
  for (const ReferenceRow& row : rows) {
    const auto kind = static_cast<std::size_t>(row[0]);
    const Routine& routine = Routines().at(kind);
    const double value = routine.call(&row[1]);
    const double error = testing_support::RelativeError(value, row[4]);
    if (error >= worst[kind]) {
      worst[kind] = error;
      worstRow[kind] = &row;
    }
    EXPECT_LE(error, routine.tolerance)
        << routine.name << "(" << row[1] << ", " << row[2] << ", " << row[3] << ") = " << value
        << ", limit " << row[4];
  }
  for (std::size_t kind = 7; kind <= 9; ++kind) {
    if (worstRow[kind] == nullptr) continue;
    const ReferenceRow& row = *worstRow[kind];
    std::printf("%s: worst %.3g at %.17g %.17g %.17g\n", Routines()[kind].name, worst[kind], row[1],
                row[2], row[3]);
  }
}

bool SameBits(double u, double v) {
  return std::memcmp(&u, &v, sizeof u) == 0 || (std::isnan(u) && std::isnan(v));
}

// Every argument of every routine that is 0 gives the same result, bit for
// bit, when it is -0, at ordinary, extreme and infinite other arguments.
TEST(BoundaryArguments, NegativeZeroIsZeroInEveryArgument) {
  std::vector<Routine> routines(Routines().begin() + 1, Routines().end());
  routines.push_back({"LnGamma", 1, [](const double* u) { return LnGamma(u[0]); }, 0.0, false});
  routines.push_back({"QGauss", 1, [](const double* u) { return QGauss(u[0]); }, 0.0, false});
  routines.push_back({"QGaussInv", 1, [](const double* u) { return QGaussInv(u[0]); }, 0.0, false});
  routines.push_back(
      {"BETAF", 3, [](const double* u) { return BETAF(u[0], u[1], u[2]); }, 0.0, false});
  for (const std::int32_t tail : {kLowerTail, kUpperTail}) {
    routines.push_back(
        {"ChiSquare", 2, [tail](const double* u) { return ChiSquare(u[0], u[1], tail); }, 0.0,
         false});
    routines.push_back({"NCChiSquare", 3,
                        [tail](const double* u) { return NCChiSquare(u[0], u[1], u[2], tail); },
                        0.0, false});
  }
  const double others[] = {0.0, 0.3, 2.0, 1e300, 1e-310, kInf};
  constexpr int kOthers = sizeof others / sizeof others[0];
  const testing_support::DiagnosticCapture capture;
  for (const Routine& routine : routines) {
    int combinations = 1;
    for (int k = 0; k < routine.arity; ++k) combinations *= kOthers;
    for (int c = 0; c < combinations; ++c) {
      double u[3];
      for (int k = 0, rest = c; k < routine.arity; ++k, rest /= kOthers) u[k] = others[rest % kOthers];
      const double atPlusZero = routine.call(u);
      for (int k = 0; k < routine.arity; ++k) {
        if (u[k] != 0.0) continue;
        double v[3] = {u[0], u[1], u[2]};
        v[k] = -0.0;
        EXPECT_TRUE(SameBits(routine.call(v), atPlusZero))
            << routine.name << " argument " << k << " at (" << u[0] << ", " << u[1] << ", "
            << u[2] << ")";
      }
    }
  }
}

}  // namespace
