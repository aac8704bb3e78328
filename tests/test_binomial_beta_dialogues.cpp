// Options 8 and 9 end to end: the binomial section and both incomplete beta
// sections on the console and in the log, with bad answers at every prompt
// loop, and the diagnostics of the incomplete beta function on the console
// only.
#include <gtest/gtest.h>

#include <string>

#include "tests/program_runner.hpp"

namespace {

using testing_support::ConsoleLine;
using testing_support::kProbabilityPrompt;
using testing_support::LogLine;
namespace texts = console::texts;

using testing_support::MenuBlock;
using testing_support::RunProgram;

const std::string kBinomialTitle =
    std::string(texts::kBinomialTitle);
const std::string kProbabilityParameterPrompt = ConsoleLine(texts::kBinomialProbability.prompt);
const std::string kSumParametersPrompt =
    ConsoleLine(texts::kSumParameters.prompt);

const std::string kInverseTitle = std::string(texts::kInverseBetaTitle);
const std::string kInverseParameterHeader = std::string(texts::kInverseBetaParametersHeader);
const std::string kInverseHeader =
    std::string(texts::kInverseBetaHeader);
const std::string kBetaTitle = std::string(texts::kBetaTitle);
const std::string kBetaParameterHeader = std::string(texts::kBetaParametersHeader);
const std::string kBetaHeader = std::string(texts::kBetaHeader);
const std::string kInverseParametersPrompt =
    ConsoleLine(texts::kInverseBetaParameters.prompt);
const std::string kPointPrompt = ConsoleLine(texts::kBetaPoint.prompt);
const std::string kBetaParametersPrompt =
    ConsoleLine(texts::kBetaParameters.prompt);

struct BinomialTranscript {
  const char* name;
  std::string input;  // after the selection 8, before the final 0
  std::string talk;
  std::string probabilityRow, parameterRow, sumRow;
};

TEST(BinomialDialogue, Transcripts) {
  const std::string sumRange = ConsoleLine(texts::kSumParameters.rangeMessage) + ConsoleLine(texts::kTryAgainWithoutStop);
  // P(1, 3) at p = 1/2 is (1/2)^3. The loop for p accepts 1.5, and the sums
  // are then the end values of the incomplete beta function. A rejected a or
  // n asks again for the pair only; "1" alone waits for n on the next line.
  const BinomialTranscript transcripts[] = {
      {"bad answers everywhere", "abc\n-1\n0.5\n0,3\n-2 3\n1,0\nabc\n1\n3\n",
       kProbabilityParameterPrompt + ConsoleLine(texts::kBinomialProbability.readError) +
           kProbabilityParameterPrompt +
           ConsoleLine(texts::kBinomialProbability.rangeMessage) + ConsoleLine(texts::kTryAgain) +
           kProbabilityParameterPrompt + kSumParametersPrompt + sumRange +
           kSumParametersPrompt + sumRange + kSumParametersPrompt + sumRange +
           kSumParametersPrompt + ConsoleLine(texts::kSumParameters.readError) +
           kSumParametersPrompt,
       "   0.500000000000000", "   1.00000000000000  3.00000000000000",
       "   0.125000000000000  0.875000000000000"},
      {"p above 1", "1.5\n1,3\n", kProbabilityParameterPrompt + kSumParametersPrompt,
       "   1.50000000000000", "   1.00000000000000  3.00000000000000",
       "   0.000000000000000  1.00000000000000"},
  };
  for (const BinomialTranscript& t : transcripts) {
    const auto run = RunProgram("8\n" + t.input + "0\n");
    EXPECT_EQ(run.status, 0) << t.name;
    // The log holds the header lines as they are, the console with a blank.
    const std::string headersAndRows[2] = {
        LogLine(texts::kBinomialProbabilityHeader) + t.probabilityRow + "\nSum parameters a and n:\n" +
            t.parameterRow + "\nP(a,n), Q(a,n):\n" + t.sumRow + "\n",
        ConsoleLine(texts::kBinomialProbabilityHeader) + t.probabilityRow +
            "\n Sum parameters a and n:\n" + t.parameterRow + "\n P(a,n), Q(a,n):\n" + t.sumRow +
            "\n"};
    EXPECT_EQ(run.console, ConsoleLine(texts::kAnnouncement) + MenuBlock() + " " + kBinomialTitle +
                               "\n" + t.talk + headersAndRows[1] + MenuBlock())
        << t.name;
    EXPECT_EQ(run.log, kBinomialTitle + "\n" + headersAndRows[0]) << t.name;
  }
}

struct BetaTranscript {
  const char* name;
  std::string input;  // after the selection 9, before the final 0
  std::string inverseTalk;
  std::string inverseParameterRow, inverseRow;
  std::string betaTalk;
  std::string betaParameterRow, betaRow;
};

TEST(IncompleteBetaDialogue, Transcripts) {
  const std::string pointRange =
      ConsoleLine(texts::kBetaPoint.rangeMessage) + ConsoleLine(texts::kTryAgain);
  // I^-1(0.3 | 2, 3) = 0.2723839420751053, I^-1(0.7 | 2, 3) =
  // 0.5084047548725844 (mpmath), I(0.3 | 2, 3) = 0.3483. With a = b = 1/2
  // the inverse is sin²(πp/2): 0.2061073738537634 and 0.7938926261462365.
  // The loop for x accepts both ends and a NaN, which BETAF answers with 0.
  const BetaTranscript transcripts[] = {
      {"bad answers everywhere",
       "0.3\nabc\n0 2\n2\n3\n1.01\n-0.01\nabc\n0.3\nabc\n2,-3\n2,3\n",
       kProbabilityPrompt + kInverseParametersPrompt +
           ConsoleLine(texts::kInverseBetaParameters.readError) + kInverseParametersPrompt +
           ConsoleLine(texts::kInverseBetaParameters.rangeMessage) + ConsoleLine(texts::kTryAgainWithoutStop) +
           kInverseParametersPrompt,
       "   2.00000000000000  3.00000000000000",
       "   0.300000000000000  0.508404754872583  0.272383942075106  0.300000000000000",
       kPointPrompt + pointRange + kPointPrompt + pointRange + kPointPrompt +
           ConsoleLine(texts::kBinomialProbability.readError) + kPointPrompt +
           kBetaParametersPrompt + ConsoleLine(texts::kInverseBetaParameters.readError) +
           kBetaParametersPrompt +
           ConsoleLine(texts::kBetaParameters.rangeMessage) + ConsoleLine(texts::kTryAgainWithoutStop) +
           kBetaParametersPrompt,
       "   2.00000000000000  3.00000000000000",
       "   0.300000000000000  0.348299999999998  0.651700000000002  0.300000000000000"},
      {"half-half closed form and x = 0", "0.3\n0.5 .5\n0\n2,3\n",
       kProbabilityPrompt + kInverseParametersPrompt, "   0.500000000000000  0.500000000000000",
       "   0.300000000000000  0.793892626146236  0.206107373853763  0.300000000000000",
       kPointPrompt + kBetaParametersPrompt, "   2.00000000000000  3.00000000000000",
       "   0.000000000000000  0.000000000000000  1.00000000000000  0.000000000000000"},
      {"x = 1", "0.3\n2,3\n1\n2,3\n", kProbabilityPrompt + kInverseParametersPrompt,
       "   2.00000000000000  3.00000000000000",
       "   0.300000000000000  0.508404754872583  0.272383942075106  0.300000000000000",
       kPointPrompt + kBetaParametersPrompt, "   2.00000000000000  3.00000000000000",
       "   1.00000000000000  1.00000000000000  0.000000000000000  1.00000000000000"},
      {"x not a number", "0.3\n2,3\nnan\n2,3\n", kProbabilityPrompt + kInverseParametersPrompt,
       "   2.00000000000000  3.00000000000000",
       "   0.300000000000000  0.508404754872583  0.272383942075106  0.300000000000000",
       kPointPrompt + kBetaParametersPrompt, "   2.00000000000000  3.00000000000000",
       "   NaN  0.000000000000000  1.00000000000000  0.000000000000000"},
  };
  for (const BetaTranscript& t : transcripts) {
    const auto run = RunProgram("9\n" + t.input + "0\n");
    EXPECT_EQ(run.status, 0) << t.name;
    EXPECT_EQ(run.console,
              ConsoleLine(texts::kAnnouncement) + MenuBlock() + " " + kInverseTitle + "\n" +
                  t.inverseTalk + " " + kInverseParameterHeader + "\n" + t.inverseParameterRow +
                  "\n" + " " + kInverseHeader + "\n" + t.inverseRow + "\n" + " " + kBetaTitle +
                  "\n" + t.betaTalk + " " + kBetaParameterHeader + "\n" + t.betaParameterRow +
                  "\n" + " " + kBetaHeader + "\n" + t.betaRow + "\n" + MenuBlock())
        << t.name;
    EXPECT_EQ(run.log, kInverseTitle + "\n" + kInverseParameterHeader + "\n" +
                           t.inverseParameterRow + "\n" + kInverseHeader + "\n" + t.inverseRow +
                           "\n" + kBetaTitle + "\n" + kBetaParameterHeader + "\n" +
                           t.betaParameterRow + "\n" + kBetaHeader + "\n" + t.betaRow + "\n")
        << t.name;
  }
}

// I(1/2 | 1000, 1000) does not converge in 41 iterations: its four records
// come once for I and once for the second call behind 1 - I, on the console
// between the last prompt and the header, never in the log.
TEST(IncompleteBetaDialogue, DiagnosticsOnTheConsoleOnly) {
  const auto run = RunProgram("9\n0.5\n2,3\n0.5\n1000,1000\n0\n");
  const std::string records =
      " Slow convergence in BETAF, last 4 vals & return:\n"
      "   0.499999999871555  0.499999999903000  0.500000000054519  0.500000000041021"
      "  0.500000000042125\n"
      " x,a,b=  0.500000000000000  1000.00000000000  1000.00000000000\n"
      " Identity I((x),a,b)=1-I((1-x),b,a) used\n";
  EXPECT_NE(run.console.find(kBetaParametersPrompt + records + records), std::string::npos)
      << run.console;
  const std::size_t header = run.console.find(" " + kBetaParameterHeader);
  ASSERT_NE(header, std::string::npos);
  EXPECT_LT(run.console.rfind("Identity I((x),a,b)"), header);
  EXPECT_EQ(run.log.find("BETAF"), std::string::npos);
  EXPECT_EQ(run.log.find("x,a,b="), std::string::npos);
}

}  // namespace
