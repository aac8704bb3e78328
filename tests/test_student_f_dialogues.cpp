// Options 6 and 7 end to end: both sections on the console and in the log,
// bad answers at every reader and prompt loop, and the diagnostics of the
// incomplete beta function on the console only.
#include <gtest/gtest.h>

#include <string>

#include "tests/program_runner.hpp"

namespace {

using testing_support::MenuBlock;
using testing_support::RunProgram;

const std::string kProbabilityPrompt =
    " Please input a probability or confidence level (greater than 0, less than 1):\n";
const std::string kDegreesPrompt =
    " Please input the number of degrees of freedom (floating point):\n";
const std::string kLimitPrompt = " Please input a nonnegative floating point variable limit X:\n";
const std::string kPairPrompt =
    " Please input the two DOFs (floating point) separated by commas:\n";

// One run of a two-section dialogue: the talk before each section's rows.
struct Transcript {
  const char* name;
  std::string input;      // after the selection, before the final 0
  std::string firstTalk;  // prompts and messages of the first section
  std::string firstParameterRow;
  std::string firstRow;
  std::string secondTalk;
  std::string secondParameterRow;
  std::string secondRow;
};

struct Layout {
  std::string option;
  std::string firstTitle, firstParameterHeader, firstHeader;
  std::string secondTitle, secondParameterHeader, secondHeader;
};

void ExpectTranscripts(const Layout& layout, const Transcript* begin, const Transcript* end) {
  for (const Transcript* t = begin; t != end; ++t) {
    const auto run = RunProgram(layout.option + "\n" + t->input + "0\n");
    EXPECT_EQ(run.status, 0) << t->name;
    EXPECT_EQ(run.console,
              " Output in file logtest.txt\n" + MenuBlock() + " " + layout.firstTitle + "\n" +
                  t->firstTalk + " " + layout.firstParameterHeader + "\n" +
                  t->firstParameterRow + "\n" + " " + layout.firstHeader + "\n" + t->firstRow +
                  "\n" + " " + layout.secondTitle + "\n" + t->secondTalk + " " +
                  layout.secondParameterHeader + "\n" + t->secondParameterRow + "\n" + " " +
                  layout.secondHeader + "\n" + t->secondRow + "\n" + MenuBlock())
        << t->name;
    EXPECT_EQ(run.log, layout.firstTitle + "\n" + layout.firstParameterHeader + "\n" +
                           t->firstParameterRow + "\n" + layout.firstHeader + "\n" +
                           t->firstRow + "\n" + layout.secondTitle + "\n" +
                           layout.secondParameterHeader + "\n" + t->secondParameterRow + "\n" +
                           layout.secondHeader + "\n" + t->secondRow + "\n")
        << t->name;
  }
}

TEST(StudentDialogue, Transcripts) {
  const Layout layout{"6",
                      "Inverse Student's t distribution",
                      "Number of degrees of freedom nu:",
                      "p,Inverse A(p), inverse AQ(p), AQ(inverse AQ(p)):",
                      "Student's t distribution",
                      "Number of degrees of freedom nu:",
                      "x,P(x,nu), Q(x,nu), Q(inverse Q(x,nu)):"};
  const std::string probabilityRetry =
      " Please input a valid floating point number between 0 and 1:\n Please try again.\n";
  const std::string probabilityRange =
      " Probability must be greater than 0.0 and less than 1.00;\n Please try again.\n";
  const std::string degreesRetry = " Please input valid positive floating point number.\n";
  const std::string degreesRange =
      " Degrees of freedom must be greater than 0.\n Please try again.\n";
  // p = 0.05, nu = 10: t = 2.2281388519862747 and, for 1 - p,
  // 0.06429814614428307 (mpmath); A(2 | 10) = 0.9266119652292596. With one
  // degree of freedom the inverse is the closed form cot(πp/2), and at X = 0
  // the round trip of AQ = 1 is the end value 0.
  const Transcript transcripts[] = {
      {"bad answers everywhere", "abc\n0\n1\n0.05\nabc\n0\n-1\n10\n-3\nx\n2\n\n10\n",
       kProbabilityPrompt + probabilityRetry + kProbabilityPrompt + probabilityRange +
           kProbabilityPrompt + probabilityRange + kProbabilityPrompt + kDegreesPrompt +
           degreesRetry + kDegreesPrompt + degreesRange + kDegreesPrompt + degreesRange +
           kDegreesPrompt,
       "   10.0000000000000",
       "   5.000000000000000E-002  6.429814611997001E-002  2.22813885198621"
       "  5.000000000000005E-002",
       kLimitPrompt + " Variable limit X must be nonnegative.\n Please try again.\n" +
           kLimitPrompt +
           " Please input a valid nonnegative floating point number\n Please try again.\n" +
           kLimitPrompt + kDegreesPrompt,
       "   10.0000000000000",
       "   2.00000000000000  0.926611965229270  7.338803477072993E-002  2.00000000000000"},
      {"Cauchy case and the end at X = 0", "0.5\n1\n0\n1\n", kProbabilityPrompt + kDegreesPrompt,
       "   1.00000000000000",
       "   0.500000000000000  1.00000000000000  1.00000000000000  0.499999999999998",
       kLimitPrompt + kDegreesPrompt, "   1.00000000000000",
       "   0.000000000000000  0.000000000000000  1.00000000000000  0.000000000000000"},
  };
  ExpectTranscripts(layout, std::begin(transcripts), std::end(transcripts));
}

TEST(FDistributionDialogue, Transcripts) {
  const Layout layout{"7",
                      "Inverse F-distribution",
                      "Numbers of degrees of freedom nu1, nu2:",
                      "p,Inverse F(p,nu1,nu2), inverse FQ(p,nu1,nu2), FQ(inverse FQ(p,nu1,nu2)):",
                      "F-distribution",
                      "Numbers of degrees of freedom nu1, nu2:",
                      "x,P(x,nu), Q(x,nu), Q(inverse Q(x,nu)):"};
  // The two loops share a prompt but not their messages. "3" alone on a
  // line leaves the read waiting for nu2 on the next line.
  const std::string firstLoopRetry = " Please input valid positive floating point numbers.\n";
  const std::string firstLoopRange =
      " Degrees of freedom must both be greater than 0.\n Please try again.\n";
  const std::string secondLoopRetry = " Please input valid positive floating point number\n";
  const std::string secondLoopRange =
      " Degreess of freedom must both be greater than 0\n Please try again\n";
  // F(0.05 | 3, 30) = 2.9222771906450386, F(0.95 | 3, 30) =
  // 0.1160553815186332 (mpmath); P(2.5 | 3, 30) = 0.9215260420853613. With
  // one degree of freedom each the inverse is cot²(πp/2) = 3.85184 at 0.3.
  const Transcript transcripts[] = {
      {"bad answers everywhere", "0.05\nabc\n0 3\n3\n30\n2.5\nabc\n0,3\nnan 3\n3,30\n",
       kProbabilityPrompt + kPairPrompt + firstLoopRetry + kPairPrompt + firstLoopRange +
           kPairPrompt,
       "   3.00000000000000  30.0000000000000",
       "   5.000000000000000E-002  0.116055381518638  2.92227719064636  5.000000000000005E-002",
       kLimitPrompt + kPairPrompt + secondLoopRetry + kPairPrompt + secondLoopRange +
           kPairPrompt + secondLoopRange + kPairPrompt,
       "   3.00000000000000  30.0000000000000",
       "   2.50000000000000  0.921526042085288  7.847395791471172E-002  2.50000000000000"},
      {"closed form and the end at X = 0", "0.3\n1 1\n0\n2,5\n", kProbabilityPrompt + kPairPrompt,
       "   1.00000000000000  1.00000000000000",
       "   0.300000000000000  0.259616183682500  3.85183999631918  0.300000000000000",
       kLimitPrompt + kPairPrompt, "   2.00000000000000  5.00000000000000",
       "   0.000000000000000  0.000000000000000  1.00000000000000  0.000000000000000"},
  };
  ExpectTranscripts(layout, std::begin(transcripts), std::end(transcripts));
}

// FDistP(1, 600, 600) and FDistQ(1, 600, 600) are I(1/2, 300, 300), which
// converges after 31 iterations: the report stands on the console between
// the last prompt and the header, and never in the log.
TEST(FDistributionDialogue, DiagnosticsOnTheConsoleOnly) {
  const auto run = RunProgram("7\n0.3\n1 1\n1\n600,600\n0\n");
  const std::string report = "   31  iterations in BETAF\n";
  const std::string beforeHeader =
      kPairPrompt + report + report + report + " Numbers of degrees of freedom nu1, nu2:\n";
  EXPECT_NE(run.console.find(beforeHeader), std::string::npos) << run.console;
  EXPECT_EQ(run.log.find("iterations"), std::string::npos);
  EXPECT_NE(run.log.find("   1.00000000000000  0.499999999999983  0.499999999999983"),
            std::string::npos)
      << run.log;
}

}  // namespace
