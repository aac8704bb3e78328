// Option 1: the general test's 130 log records, their layout, the values
// the handbook tables give, and the round trips.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/program_runner.hpp"

namespace {

using testing_support::ConsoleLine;
using testing_support::LogLine;
namespace texts = console::texts;

using testing_support::MenuBlock;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// The numbers of a free-form record, after its text.
std::vector<double> Numbers(const std::string& record) {
  std::vector<double> numbers;
  std::istringstream stream(record);
  for (std::string field; stream >> field;) {
    char* end = nullptr;
    const double value = std::strtod(field.c_str(), &end);
    if (*end == '\0') numbers.push_back(value);
  }
  return numbers;
}

class GeneralTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { run_ = new testing_support::ProgramRun(testing_support::RunProgram("1\n")); }
  static void TearDownTestSuite() { delete run_; }
  static std::vector<std::string> Log() { return Lines(run_->log); }
  static double Value(int line) { return Numbers(Log().at(line - 1)).back(); }
  static testing_support::ProgramRun* run_;
};

testing_support::ProgramRun* GeneralTest::run_ = nullptr;

TEST_F(GeneralTest, EndsTheProgramWithNothingOnTheConsoleAfterTheMenu) {
  EXPECT_EQ(run_->status, 0);
  EXPECT_EQ(run_->console, ConsoleLine(texts::kAnnouncement) + MenuBlock());
  EXPECT_EQ(run_->errors, "");
}

TEST_F(GeneralTest, RecordsTitlesAndBlanksInOrder) {
  const auto log = Log();
  ASSERT_EQ(log.size(), 130u);
  const struct {
    int line;  // 1-based
    const char* record;
  } fixed[] = {
      {1, " x, ln(Gamma(x)), Gamma(x):"},
      {22, " "},
      {23, " F-distribution Q = 0.5; A&S p. 986"},
      {24, " nu1, nu2:  1.00000000000000  1.00000000000000"},
      {28, " nu1, nu2:  60.0000000000000  1.00000000000000"},
      {32, " nu1, nu2:  3.00000000000000  30.0000000000000"},
      {36, " "},
      {37, " F-distribution Q = 0.25, A&S p. 986"},
      {50, " "},
      {51, " F-distribution Q = 0.001, A&S p. 989"},
      {64, " "},
      {65, " Student's t distribution, A&S p. 990"},
      {66, " p, nu:  0.200000000000000  1.00000000000000"},
      {78, " "},
      {91, " "},
      {100, " p, nu:  0.999999000000000  30.0000000000000"},
      {104, " "},
      {105, " Chi-square distribution, A&S p. 978"},
      {106, " chisq,nu:  2.00000000000000  1.00000000000000"},
      {118, " "},
      {119, " p,nu,chisq:  0.500000000000000  1.00000000000000  0.454936423119571"},
  };
  for (const auto& f : fixed) EXPECT_EQ(log.at(f.line - 1), f.record) << "record " << f.line;
  EXPECT_EQ(log.at(127).rfind(" p,nu,chisq:  1.000000000000000E-006  10.0000000000000  ", 0), 0u);
  EXPECT_EQ(log.back().substr(0, 13), " Q(chisq,nu):");
  int blanks = 0;
  for (const std::string& record : log) blanks += record == " ";
  EXPECT_EQ(blanks, 8);
}

TEST_F(GeneralTest, LogGammaTableUsesIntegerStepsFromOne) {
  const auto log = Log();
  for (int i = 1; i <= 20; ++i) {
    const std::vector<double> row = Numbers(log.at(i));
    ASSERT_EQ(row.size(), 3u);
    EXPECT_NEAR(row[0], 1.0 + 0.05 * i, 1e-14);
    EXPECT_NEAR(row[2], std::exp(row[1]), 2e-15) << "x = " << row[0];
  }
  EXPECT_EQ(log.at(14), "   1.70000000000000 -9.580769740706607E-002  0.908638732853290");
  EXPECT_EQ(log.at(10), "   1.50000000000000 -0.120782237635247  0.886226925452757");
}

// Values of the handbook's tables to 8 significant digits.
TEST_F(GeneralTest, ValuesAgreeWithTheTablesToEightDigits) {
  const struct {
    int line;
    double value;
  } cases[] = {
      {11, 0.88622693},                                                   // Γ(1.5)
      {25, 1.0},       {29, 2.1715577},   {33, 0.80688687},             // F, Q = 0.5
      {39, 5.8284271}, {43, 9.7591531},   {47, 1.4425617},              // F, Q = 0.25
      {53, 405284.07}, {57, 631336.56},   {61, 7.0544571},              // F, Q = 0.001
      {67, 0.32491970}, {71, 0.26718087}, {75, 0.25560536},             // t, p = 0.2
      {80, 1.0},       {84, 0.72668684},  {88, 0.68275569},             // t, p = 0.5
      {93, 636619.77}, {97, 28.478473},   {101, 6.1190756},             // t, p = 0.999999
      {107, 0.84270079}, {110, 0.15085496}, {113, 0.0036598468}, {116, 1.0249197e-05},
      {119, 0.454936423}, {122, 23.2092512}, {125, 29.5882984}, {128, 46.8630468},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(Value(c.line), c.value, 5e-8 * c.value) << "record " << c.line;
  }
  EXPECT_NEAR(Numbers(Log().at(10))[1], -0.12078224, 5e-9);
}

// Each inverse gives back its probability, to the accuracy of the library
// (the incomplete beta function's absolute tolerance, and the loss of 1 - x
// when t or F is large).
TEST_F(GeneralTest, RoundTripsReturnTheirProbabilities) {
  constexpr double kTolerance = 1e-10;
  const double fTails[] = {0.5, 0.25, 0.001};
  for (int section = 0; section < 3; ++section) {
    for (int c = 0; c < 3; ++c) {
      const int first = 24 + 14 * section + 4 * c;
      EXPECT_NEAR(Value(first + 2), 1.0 - fTails[section], kTolerance) << first;
      EXPECT_NEAR(Value(first + 3), fTails[section], kTolerance) << first;
    }
  }
  const double tProbabilities[] = {0.2, 0.5, 0.999999};
  for (int group = 0; group < 3; ++group) {
    for (int c = 0; c < 3; ++c) {
      const int first = 66 + 13 * group + 4 * c;
      EXPECT_NEAR(Value(first + 2), tProbabilities[group], kTolerance) << first;
      EXPECT_NEAR(Value(first + 3), 1.0 - tProbabilities[group], kTolerance) << first;
    }
  }
  const double chiProbabilities[] = {0.5, 0.01, 0.001, 0.000001};
  for (int c = 0; c < 4; ++c) {
    const int first = 119 + 3 * c;
    EXPECT_NEAR(Value(first + 1), 1.0 - chiProbabilities[c], kTolerance) << first;
    EXPECT_NEAR(Value(first + 2), chiProbabilities[c], 1e-14) << first;
  }
}

// The whole log, kept after checking it against the handbook values above.
TEST_F(GeneralTest, MatchesTheGoldenLog) {
  EXPECT_EQ(run_->log, testing_support::ReadFile(SPECFUN_GOLDEN "/general_test_log.txt"));
}

}  // namespace
