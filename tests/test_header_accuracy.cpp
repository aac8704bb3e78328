// The accuracy figures of specfun/specfun.hpp, each over the region its
// comment names, on the mpmath tables of the accuracy report
// (tests/data/accuracy/, tools/gen_accuracy_tables.py). A tail whose BETAF
// call reports no convergence within 41 iterations is held to the 6e-10 the
// header gives for that case.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

#include "specfun/specfun.hpp"
#include "tests/diagnostic_capture.hpp"
#include "tests/reference_table.hpp"

namespace {

using namespace specfun;
using Row = testing_support::ReferenceRow;

constexpr double kExtrapolatedTolerance = 6e-10;
const double kSquareOverflow = std::sqrt(DBL_MAX);

struct Figure {
  const char* what;  // the routine and the region, as the header states them
  const char* table;
  double (*value)(const Row&);
  int reference;  // column of the true value
  bool (*inRegion)(const Row&);
  double absolute;  // 0: not stated
  double relative;  // 0: not stated; counted where the true value is a normal double
};

bool Everywhere(const Row&) { return true; }
bool InUnit(double v, double low, double high) { return v >= low && v <= high; }
bool BetaInverseDomain(const Row& r) {
  return InUnit(r[0], 1e-300, 1.0 - 1e-12) && InUnit(r[1], 0.05, 1e6) && InUnit(r[2], 0.05, 1e6);
}
bool FInverseDomain(const Row& r) {
  return InUnit(r[0], 1e-300, 1.0 - 1e-12) && InUnit(r[1], 0.1, 2e6) && InUnit(r[2], 0.1, 2e6);
}
bool LargeNonCentral(const Row& r) { return (r[1] > 400.0 || r[2] > 1400.0) && r[2] <= 2e6; }

const Figure kFigures[] = {
    {"LnGamma away from the zeros", "ln_gamma", [](const Row& r) { return LnGamma(r[0]); }, 1,
     [](const Row& r) { return std::fabs(r[0] - 1.0) >= 0.1 && std::fabs(r[0] - 2.0) >= 0.1; }, 0.0,
     1.3e-13},
    {"LnGamma within 0.1 of 1 and 2", "ln_gamma", [](const Row& r) { return LnGamma(r[0]); }, 1,
     [](const Row& r) { return std::fabs(r[0] - 1.0) < 0.1 || std::fabs(r[0] - 2.0) < 0.1; },
     9.3e-15, 0.0},
    {"QGauss on [-11, 37]", "qgauss", [](const Row& r) { return QGauss(r[0]); }, 1,
     [](const Row& r) { return InUnit(r[0], -11.0, 37.0); }, 1.4e-13, 1.1e-11},
    {"QGauss for 3 < x <= 37", "qgauss", [](const Row& r) { return QGauss(r[0]); }, 1,
     [](const Row& r) { return r[0] > 3.0 && r[0] <= 37.0; }, 0.0, 5.6e-14},
    {"QGaussInv for 1e-300 <= p < 1", "qgauss_inv", [](const Row& r) { return QGaussInv(r[0]); }, 1,
     [](const Row& r) { return r[0] >= 1e-300; }, 0.0, 1e-12},
    {"QGaussInv for p < 1e-10", "qgauss_inv", [](const Row& r) { return QGaussInv(r[0]); }, 1,
     [](const Row& r) { return r[0] >= 1e-300 && r[0] < 1e-10; }, 0.0, 2.3e-16},
    {"BETAF", "betaf", [](const Row& r) { return BETAF(r[0], r[1], r[2]); }, 3, Everywhere, 5e-10,
     0.0},
    {"BETAF with a parameter above 1.25e5", "betaf",
     [](const Row& r) { return BETAF(r[0], r[1], r[2]); }, 3,
     [](const Row& r) { return std::fmax(r[1], r[2]) > 1.25e5; }, 1.3e-15, 0.0},
    {"FDistP", "fdist", [](const Row& r) { return FDistP(r[0], r[1], r[2]); }, 3, Everywhere,
     8.8e-11, 0.0},
    {"FDistQ", "fdist", [](const Row& r) { return FDistQ(r[0], r[1], r[2]); }, 4, Everywhere,
     8.8e-11, 0.0},
    {"StudentA", "student", [](const Row& r) { return StudentA(r[0], r[1]); }, 2, Everywhere,
     5.4e-11, 0.0},
    {"StudentAQ", "student", [](const Row& r) { return StudentAQ(r[0], r[1]); }, 3, Everywhere,
     5.4e-11, 0.0},
    {"StudentAQ where t t leaves the doubles", "student",
     [](const Row& r) { return StudentAQ(r[0], r[1]); }, 3,
     [](const Row& r) { return std::fabs(r[0]) > kSquareOverflow; }, 0.0, 9.2e-14},
    {"BinomP", "binom", [](const Row& r) { return BinomP(r[0], r[1], r[2]); }, 3, Everywhere,
     7.7e-12, 0.0},
    {"BinomQ", "binom", [](const Row& r) { return BinomQ(r[0], r[1], r[2]); }, 4, Everywhere,
     7.7e-12, 0.0},
    {"BetaInv", "beta_inv", [](const Row& r) { return BetaInv(r[0], r[1], r[2]); }, 3,
     BetaInverseDomain, 0.0, 9.9e-9},
    {"FDistInv", "fdist_inv", [](const Row& r) { return FDistInv(r[0], r[1], r[2]); }, 3,
     FInverseDomain, 0.0, 9.9e-9},
    {"StudentInv", "student_inv", [](const Row& r) { return StudentInv(r[0], r[1]); }, 2,
     [](const Row& r) { return InUnit(r[0], 1e-300, 1.0 - 1e-12) && InUnit(r[1], 0.1, 2e6); }, 0.0,
     5.0e-9},
    {"ChiSquare P", "chi_square", [](const Row& r) { return ChiSquare(r[0], r[1], kLowerTail); }, 2,
     Everywhere, 9e-14, 6.4e-13},
    {"ChiSquare Q", "chi_square", [](const Row& r) { return ChiSquare(r[0], r[1], kUpperTail); }, 3,
     Everywhere, 9e-14, 2.8e-11},
    {"ChiSquareInv", "chi_square_inv", [](const Row& r) { return ChiSquareInv(r[0], r[1]); }, 2,
     [](const Row& r) { return InUnit(r[0], 1e-300, 1.0 - 1e-12) && InUnit(r[1], 0.1, 1e6); }, 0.0,
     9e-9},
    {"NCChiSquare P", "nc_chi_square",
     [](const Row& r) { return NCChiSquare(r[0], r[1], r[2], kLowerTail); }, 3, Everywhere, 9.4e-8,
     0.0},
    {"NCChiSquare Q", "nc_chi_square",
     [](const Row& r) { return NCChiSquare(r[0], r[1], r[2], kUpperTail); }, 4, Everywhere, 9.4e-8,
     0.0},
    {"NCChiSquare P for nu > 400 or lambda > 1400", "nc_chi_square",
     [](const Row& r) { return NCChiSquare(r[0], r[1], r[2], kLowerTail); }, 3, LargeNonCentral,
     7.3e-14, 0.0},
    {"NCChiSquare Q for nu > 400 or lambda > 1400", "nc_chi_square",
     [](const Row& r) { return NCChiSquare(r[0], r[1], r[2], kUpperTail); }, 4, LargeNonCentral,
     7.3e-14, 0.0},
    {"NCChiSquare P above 1e-88 for nu > 400 or lambda > 1400", "nc_chi_square",
     [](const Row& r) { return NCChiSquare(r[0], r[1], r[2], kLowerTail); }, 3,
     [](const Row& r) { return LargeNonCentral(r) && r[3] >= 1e-88; }, 0.0, 3.1e-12},
    {"NCChiSquare Q above 1e-88 for nu > 400 or lambda > 1400", "nc_chi_square",
     [](const Row& r) { return NCChiSquare(r[0], r[1], r[2], kUpperTail); }, 4,
     [](const Row& r) { return LargeNonCentral(r) && r[4] >= 1e-88; }, 0.0, 3.1e-12},
};

void PrintTo(const Figure& figure, std::ostream* out) { *out << figure.what; }

class HeaderAccuracy : public testing::TestWithParam<Figure> {};

TEST_P(HeaderAccuracy, HoldsOverTheAccuracyTables) {
  const Figure& figure = GetParam();
  testing_support::DiagnosticCapture capture;
  double worstAbsolute = 0.0, worstRelative = 0.0;
  std::size_t checked = 0;
  for (const Row& row :
       testing_support::ReadReferenceTable(std::string("accuracy/") + figure.table + ".txt")) {
    if (!figure.inRegion(row)) continue;
    capture.clear();
    const double value = figure.value(row);
    const double reference = row[static_cast<std::size_t>(figure.reference)];
    const bool extrapolated = !capture.reportSizes().empty() && capture.reportSizes()[0] >= 3;
    const double absolute = value == reference ? 0.0 : std::fabs(value - reference);
    ++checked;
    if (figure.absolute > 0.0) {
      EXPECT_LE(absolute, extrapolated ? kExtrapolatedTolerance : figure.absolute)
          << figure.what << " at " << row[0] << " " << row[1] << " " << row[2];
      if (!extrapolated) worstAbsolute = std::fmax(worstAbsolute, absolute);
    }
    if (figure.relative > 0.0 && std::fabs(reference) >= DBL_MIN && !extrapolated) {
      const double relative = absolute / std::fabs(reference);
      EXPECT_LE(relative, figure.relative)
          << figure.what << " at " << row[0] << " " << row[1] << " " << row[2];
      worstRelative = std::fmax(worstRelative, relative);
    }
  }
  EXPECT_GT(checked, 0u) << figure.what;
  std::printf("%s: worst %.4g absolute, %.4g relative over %zu points\n", figure.what,
              worstAbsolute, worstRelative, checked);
}

INSTANTIATE_TEST_SUITE_P(EveryFigure, HeaderAccuracy, testing::ValuesIn(kFigures),
                         [](const testing::TestParamInfo<Figure>& info) {
                           return "Figure" + std::to_string(info.index);
                         });

}  // namespace
