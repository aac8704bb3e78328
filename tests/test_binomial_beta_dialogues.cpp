// Options 8 and 9 end to end: the binomial section and both incomplete beta
// sections on the console and in the log, with bad answers at every prompt
// loop, and the diagnostics of the incomplete beta function on the console
// only.
#include <gtest/gtest.h>

#include <string>

#include "tests/program_runner.hpp"

namespace {

using testing_support::MenuBlock;
using testing_support::RunProgram;

const std::string kBinomialTitle =
    "Binomial distribution sum(i=0 to a-1): (n!/(i!*(n-i)!)*p^i*(1-p)^n-i)";
const std::string kProbabilityParameterPrompt = " Please input probability parameter p\n";
const std::string kSumParametersPrompt =
    " Please input the numbers a and n (floating point) separated by commas:\n";

const std::string kInverseTitle = "Inverse incomplete beta function";
const std::string kInverseParameterHeader = "Degrees of freedom parameters a, b:";
const std::string kInverseHeader =
    "x,Inverse I(x,a,b), inverse IQ(x,a,b), I(inverse FQ(p,a,b),a,b):";
const std::string kBetaTitle = "Incomplete beta function";
const std::string kBetaParameterHeader = "Degrees of freedom paramters a, b:";
const std::string kBetaHeader = "x, I(x,a,b), 1-I(x,a,b), I(inverse I(x,a,b)a,b):";
const std::string kProbabilityPrompt =
    " Please input a probability or confidence level (greater than 0, less than 1):\n";
const std::string kInverseParametersPrompt =
    " Please input the degrees of freedom paramters a and b (floating point) separated by "
    "commas:\n";
const std::string kPointPrompt = " Please input the paramter x between 0 and 1 (inclusive)\n";
const std::string kBetaParametersPrompt =
    " Please input the degrees of freedom parameters a and b (floating point) separated by "
    "commas:\n";

struct BinomialTranscript {
  const char* name;
  std::string input;  // after the selection 8, before the final 0
  std::string talk;
  std::string probabilityRow, parameterRow, sumRow;
};

TEST(BinomialDialogue, Transcripts) {
  const std::string sumRange = " Bith a and n must be greater than 0\n Please try again\n";
  // P(1, 3) at p = 1/2 is (1/2)^3. The loop for p accepts 1.5, and the sums
  // are then the end values of the incomplete beta function. A rejected a or
  // n asks again for the pair only; "1" alone waits for n on the next line.
  const BinomialTranscript transcripts[] = {
      {"bad answers everywhere", "abc\n-1\n0.5\n0,3\n-2 3\n1,0\nabc\n1\n3\n",
       kProbabilityParameterPrompt + " Please input valid nonnegative floating point number\n" +
           kProbabilityParameterPrompt +
           " Number for P(x,nu) and Q(x,nu) must be nonnegative\n Please try again.\n" +
           kProbabilityParameterPrompt + kSumParametersPrompt + sumRange +
           kSumParametersPrompt + sumRange + kSumParametersPrompt + sumRange +
           kSumParametersPrompt + " Please input valid positive floating point number\n" +
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
        "Binomial probability parameter p:\n" + t.probabilityRow + "\nSum parameters a and n:\n" +
            t.parameterRow + "\nP(a,n), Q(a,n):\n" + t.sumRow + "\n",
        " Binomial probability parameter p:\n" + t.probabilityRow +
            "\n Sum parameters a and n:\n" + t.parameterRow + "\n P(a,n), Q(a,n):\n" + t.sumRow +
            "\n"};
    EXPECT_EQ(run.console, " Output in file logtest.txt\n" + MenuBlock() + " " + kBinomialTitle +
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
      " Number for paramter x must not be negative or >1\n Please try again.\n";
  // I^-1(0.3 | 2, 3) = 0.2723839420751053, I^-1(0.7 | 2, 3) =
  // 0.5084047548725844 (mpmath), I(0.3 | 2, 3) = 0.3483. With a = b = 1/2
  // the inverse is sin²(πp/2): 0.2061073738537634 and 0.7938926261462365.
  // The loop for x accepts both ends and a NaN, which BETAF answers with 0.
  const BetaTranscript transcripts[] = {
      {"bad answers everywhere",
       "0.3\nabc\n0 2\n2\n3\n1.01\n-0.01\nabc\n0.3\nabc\n2,-3\n2,3\n",
       kProbabilityPrompt + kInverseParametersPrompt +
           " Please input valid positive floating point numbers\n" + kInverseParametersPrompt +
           " Degrees of freedom parameters must both be greater than 0\n Please try again\n" +
           kInverseParametersPrompt,
       "   2.00000000000000  3.00000000000000",
       "   0.300000000000000  0.508404754872583  0.272383942075106  0.300000000000000",
       kPointPrompt + pointRange + kPointPrompt + pointRange + kPointPrompt +
           " Please input valid nonnegative floating point number\n" + kPointPrompt +
           kBetaParametersPrompt + " Please input valid positive floating point numbers\n" +
           kBetaParametersPrompt +
           " Degreess of freedom paramters must both be greater than 0\n Please try again\n" +
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
              " Output in file logtest.txt\n" + MenuBlock() + " " + kInverseTitle + "\n" +
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
