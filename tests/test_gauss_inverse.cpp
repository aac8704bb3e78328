// QGaussInv, the inverse of the Gaussian upper tail: substitutes and
// diagnostics outside (0, 1), accuracy against mpmath, and the round trip
// through QGauss.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "console/menu.hpp"
#include "specfun/specfun.hpp"
#include "tests/diagnostic_capture.hpp"
#include "tests/gauss_tolerances.hpp"
#include "tests/program_runner.hpp"
#include "tests/reference_table.hpp"

namespace {

using specfun::QGauss;
using specfun::QGaussInv;
using testing_support::QGaussInvAbsoluteTolerance;
using testing_support::ReadReferenceTable;
using testing_support::UnitInLastPlace;

constexpr double kInfiniteDeviate = 1.0000000200408773e+20;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const std::string kNegativeMessage = " QGaussInv negative input; 0 used; inpu: -0.100000000000000";
const std::string kAboveOneMessage = " QGaussInv input >1; 1 used; input:  1.50000000000000";

TEST(QGaussInv, OutsideTheOpenIntervalGivesTheSubstitute) {
  struct Case {
    double p, expected;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {0.0, kInfiniteDeviate, {}},
      {-0.0, kInfiniteDeviate, {}},
      {1.0, -kInfiniteDeviate, {}},
      {kNaN, -kInfiniteDeviate, {}},
      {-kNaN, -kInfiniteDeviate, {}},
      {-0.1, kInfiniteDeviate, {kNegativeMessage}},
      {1.5, -kInfiniteDeviate, {kAboveOneMessage}},
      {-5e-324, kInfiniteDeviate,
       {" QGaussInv negative input; 0 used; inpu: -0.000000000000000"}},
      {-INFINITY, kInfiniteDeviate, {" QGaussInv negative input; 0 used; inpu: -INF"}},
      {std::nextafter(1.0, 2.0), -kInfiniteDeviate,
       {" QGaussInv input >1; 1 used; input:  1.00000000000000"}},
  };
  for (const Case& c : cases) {
    const testing_support::DiagnosticCapture diagnostics;
    EXPECT_EQ(QGaussInv(c.p), c.expected) << "p = " << c.p;
    EXPECT_EQ(diagnostics.lines(), c.messages) << "p = " << c.p;
  }
}

TEST(QGaussInv, InsideTheIntervalWritesNothing) {
  const testing_support::DiagnosticCapture diagnostics;
  for (double p : {5e-324, 1e-300, 0.025, 0.5, 0.975, std::nextafter(1.0, 0.0)}) QGaussInv(p);
  EXPECT_TRUE(diagnostics.lines().empty());
}

TEST(QGaussInv, DefaultSinkPrintsOnStandardOutput) {
  const specfun::ScopedDiagnosticSink standardOutput(specfun::StandardOutputSink());
  testing::internal::CaptureStdout();
  QGaussInv(-0.1);
  QGaussInv(1.5);
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(printed, kNegativeMessage + "\n" + kAboveOneMessage + "\n");
}

// Console input served in pieces; before handing out a piece the program
// asked for, its action runs. Lets a test act while the program waits for
// an answer.
class InputWithActions : public std::streambuf {
 public:
  struct Piece {
    std::function<void()> before;
    std::string text;
  };
  explicit InputWithActions(std::vector<Piece> pieces) : pieces_(std::move(pieces)) {}

 protected:
  int_type underflow() override {
    if (gptr() != egptr()) return traits_type::to_int_type(*gptr());
    if (next_ == pieces_.size()) return traits_type::eof();
    Piece& piece = pieces_[next_++];
    if (piece.before) piece.before();
    setg(piece.text.data(), piece.text.data(), piece.text.data() + piece.text.size());
    return traits_type::to_int_type(*gptr());
  }

 private:
  std::vector<Piece> pieces_;
  std::size_t next_ = 0;
};

TEST(QGaussInv, InTheProgramDiagnosticsReachTheConsoleOnly) {
  InputWithActions input({{nullptr, "3\n"},
                          {[] {
                             QGaussInv(-0.1);
                             QGaussInv(1.5);
                           },
                           "0.5\n0\n0\n"}});
  std::istream in(&input);
  std::ostringstream out, errors;
  const testing_support::TemporaryDirectory directory;
  ASSERT_EQ(console::MainMenu(in, out, errors, directory.path() / "logtest.txt"), 0);
  const std::string prompt =
      " Please input a probability or confidence level (greater than 0, less than 1):\n";
  EXPECT_NE(out.str().find(prompt + kNegativeMessage + "\n" + kAboveOneMessage + "\n" +
                           " p, Inverse P(p)"),
            std::string::npos)
      << out.str();
  const std::string log = testing_support::ReadFile(directory.path() / "logtest.txt");
  EXPECT_EQ(log.find("QGaussInv"), std::string::npos) << log;
  EXPECT_EQ(log.rfind("Inverse Gaussian distribution function\n", 0), 0u) << log;
}

TEST(QGaussInv, KnownDeviates) {
  // mpmath: the x with Q(x) = p for the doubles nearest 0.025 and 0.975.
  EXPECT_NEAR(QGaussInv(0.025), 1.9599639845400542, 1e-14);
  EXPECT_NEAR(QGaussInv(0.975), -1.9599639845400539, 1e-14);
  EXPECT_NEAR(QGaussInv(0.5), 0.0, 1e-15);
}

TEST(QGaussInv, AgreesWithHighPrecisionReference) {
  const auto rows = ReadReferenceTable("gauss_inverse.txt");
  ASSERT_GT(rows.size(), 1000u);
  std::size_t checked = 0;
  for (const auto& row : rows) {
    const double p = row[0], reference = row[1];
    // Beyond 37 (p below about 5.7e-300) QGauss is 0 and Newton's steps have
    // nothing to go on.
    if (reference > 37.0) continue;
    ++checked;
    EXPECT_NEAR(QGaussInv(p), reference, QGaussInvAbsoluteTolerance(p, reference))
        << "p = " << p;
  }
  EXPECT_GT(checked, 1000u);
}

// Every p from 1e-300 to 1 - 1e-12, including the far tail below Q(37) where
// QGauss is 0 and p near 1 where Q holds only absolute accuracy: within
// 1e-12 relative (1e-17 absolute at the centre, where x is 0).
TEST(QGaussInv, WithinOneTrillionthRelativeForEveryProbability) {
  std::size_t checked = 0;
  for (const char* table : {"gauss_inverse.txt", "accuracy/qgauss_inv.txt"}) {
    for (const auto& row : ReadReferenceTable(table)) {
      const double p = row[0], reference = row[1];
      if (!(p >= 1e-300 && p <= 1.0 - 1e-12)) continue;
      ++checked;
      EXPECT_LE(std::fabs(QGaussInv(p) - reference), 1e-12 * std::fabs(reference) + 1e-17)
          << table << ": p = " << p;
    }
  }
  EXPECT_GT(checked, 2400u);
}

// Near p = 1/2, where the three Newton steps can stray beyond the tolerance
// and the refinement takes Newton's step on the central integral: relative
// to the deviate even where it is near 0 (mpmath's sqrt(2)·erfinv(1 − 2p),
// 25 digits).
TEST(QGaussInv, WithinOneTrillionthRelativeNearOneHalf) {
  struct Case {
    double p, deviate;
  };
  const Case cases[] = {
      {0.49999999999345596, 1.640348342776402935807026e-11},
      {0.4999999999996358, 9.129357331135731388388387e-13},
      {0.4, 0.2533471031357997413246887},
      {0.49, 0.02506890825871105803269163},
      {0.499, 0.002506630899571766231698791},
      {0.4999, 0.0002506628300880074923888501},
      {0.49999, 0.00002506628274896000852684996},
      {0.499999, 0.000002506628274566559377905064},
      {0.4999999, 0.0000002506628274703106513497816},
      {0.49999999, 2.506628273311622314305519e-8},
      {0.499999999, 2.506628342884532671231129e-9},
      {0.4999999999, 2.506628482030353902220789e-10},
      {0.49999999999, 2.506628482030353902194802e-11},
      {0.499999999999, 2.506572823701860466856097e-12},
      {0.4999999999999, 2.506016240416926113471648e-13},
      {0.49999999999999, 2.504624782204590230010531e-14},
      {0.499999999999999, 2.504624782204590230010531e-15},
      {0.4999999999999999, 2.782916424671766922233923e-16},
      {0.6, -0.2533471031357997413246887},
      {0.51, -0.02506890825871105803269163},
      {0.501, -0.002506630899571766231698791},
      {0.5001, -0.0002506628300880074923888501},
      {0.50001, -0.00002506628274882086270557266},
      {0.500001, -0.00000250662827470570519913909},
      {0.5000001, -0.0000002506628273311648301161888},
      {0.50000001, -2.506628287226204437664358e-8},
      {0.500000001, -2.506628203738711437642782e-9},
      {0.5000000001, -2.506628482030353902220789e-10},
      {0.50000000001, -2.506628482030353902194802e-11},
      {0.500000000001, -2.506572823701860466856097e-12},
      {0.5000000000001, -2.507407698629261996932765e-13},
      {0.50000000000001, -2.504624782204590230010531e-14},
      {0.500000000000001, -2.504624782204590230010531e-15},
      {0.5000000000000001, -2.782916424671766922233923e-16},
      {0.3754196606449613, 0.3175328449313261279813515},
      {0.35164260188964114, 0.3808895542904340581987944},
      {0.3409612866820542, 0.4098410198341481698970958},
      {0.3115099431870402, 0.4915749065232970059930307},
      {0.3520202847919124, 0.3798718158151705054389443},
      {0.31553500058924155, 0.4802213583911136981912972},
  };
  for (const Case& c : cases) {
    EXPECT_LE(std::fabs(QGaussInv(c.p) - c.deviate), 1e-12 * std::fabs(c.deviate)) << "p = " << c.p;
  }
}

// Arguments for the round trip: log-spaced from 1e-100 up, evenly spaced
// over (0, 1), and towards 1.
std::vector<double> RoundTripArguments() {
  std::vector<double> arguments;
  for (int k = 0; k < 1600; ++k) {
    for (double mantissa : {1.0, 1.7, 4.3}) {
      arguments.push_back(mantissa * std::pow(10.0, -100.0 + k / 16.0));
    }
  }
  for (int j = 1; j < 4096; ++j) arguments.push_back(j / 4096.0);
  for (int k = 2; k <= 53; ++k) arguments.push_back(1.0 - std::ldexp(1.0, -k));
  return arguments;
}

// The round trip can come no closer than the doubles near x allow: moving x
// by one unit in its last place moves Q by about x * ulp(x) relative. In the
// centre, Q = 1/2 - integral is resolved to about 6e-16 absolute, twice that
// after the round trip. Nor closer than QGauss itself: x is the true deviate,
// so the round trip shows QGauss's own error (up to 1.5e-11 just above 2.25).
double RoundTripTolerance(double p, double x) {
  double tolerance = std::max(1e-14, 1.5 * std::fabs(x) * UnitInLastPlace(x));
  if (std::fabs(x) <= 2.25) tolerance = std::max(tolerance, 1.5e-15 / p);
  return tolerance + testing_support::QGaussRelativeTolerance(x);
}

TEST(QGaussInv, RoundTripGivesBackTheProbability) {
  // QGauss jumps by about 1e-11 relative between 2.25 (centre fraction) and
  // the next double (tail fraction); no x gives a p inside the jump.
  const double jumpTop = QGauss(2.25);
  const double jumpBottom = QGauss(std::nextafter(2.25, 3.0));
  for (double p : RoundTripArguments()) {
    if (!(p >= 1e-100 && p < 1.0) || (p >= jumpBottom && p <= jumpTop)) continue;
    const double x = QGaussInv(p);
    EXPECT_LE(testing_support::RelativeError(QGauss(x), p), RoundTripTolerance(p, x))
        << "p = " << p << ", x = " << x;
  }
}

TEST(QGaussInv, RoundTripInsideTheJumpAtTheSwitchPoint) {
  const double jumpTop = QGauss(2.25);
  const double jumpBottom = QGauss(std::nextafter(2.25, 3.0));
  const double jump = (jumpTop - jumpBottom) / jumpTop;
  EXPECT_LT(jump, 1.2e-11);
  // x lands within the width of the jump in x: the jump over the slope there.
  const double jumpWidth = (jumpTop - jumpBottom) / testing_support::StandardNormalDensity(2.25);
  for (int i = 0; i <= 16; ++i) {
    const double p = jumpBottom + (jumpTop - jumpBottom) * i / 16.0;
    const double x = QGaussInv(p);
    EXPECT_NEAR(x, 2.25, jumpWidth) << "p = " << p;
    EXPECT_LE(testing_support::RelativeError(QGauss(x), p), 1.01 * jump) << "p = " << p;
  }
}

}  // namespace
