// Options 4 and 5 end to end: both sections of option 4, the prompt loop of
// option 5, on the console and in the log.
//
// Values checked by hand: 2 ln 2 = 1.38629436111989; the 5 % and 95 % points
// of chi-square with 100 degrees of freedom are 77.9294651650173 and
// 124.342113404004; Q(150|100) = 9.039320423540157e-4 (mpmath); the
// non-central tails at x = 1, nu = 2, lambda = 1 are the sums of 5 and 8
// terms, 0.267120193952566 and 0.732879741599911.
#include <gtest/gtest.h>

#include <string>

#include "tests/program_runner.hpp"

namespace {

using testing_support::ConsoleLine;
using testing_support::kProbabilityPrompt;
using testing_support::kDegreesPrompt;
using testing_support::LogLine;
namespace texts = console::texts;

using testing_support::MenuBlock;
using testing_support::RunProgram;

const std::string kInverseTitle = std::string(texts::kInverseChiSquareTitle);
const std::string kInverseHeader = std::string(texts::kInverseChiSquareHeader);
const std::string kTailTitle = std::string(texts::kChiSquareTitle);
const std::string kTailHeader = std::string(texts::kTailsHeader);
const std::string kDegreesHeader = std::string(texts::kDegreesOfFreedomHeader);
const std::string kLimitPrompt = ConsoleLine(texts::kNonnegativeLimit.prompt);

struct ChiSquareTranscript {
  const char* name;
  std::string input;  // after the selection 4, before the final 0
  std::string degreesRow;
  std::string inverseRow;
  std::string limitTalk;
  std::string tailRow;
};

TEST(ChiSquareDialogue, Transcripts) {
  const ChiSquareTranscript transcripts[] = {
      {"median of two degrees and x = 0", "0.5\n2\n0\n2\n", "   2.00000000000000",
       "   0.500000000000000  1.38629436111989  1.38629436111989  0.500000000000000",
       kLimitPrompt,
       "   0.000000000000000  0.000000000000000  1.00000000000000  0.000000000000000"},
      {"a hundred degrees, x = 150 and a negative X", "0.05\n100\n-3\n150\n100\n",
       "   100.000000000000",
       "   5.000000000000000E-002  77.9294651650173  124.342113404004  4.999999999999973E-002",
       kLimitPrompt + ConsoleLine(texts::kNonnegativeLimit.rangeMessage) + ConsoleLine(texts::kTryAgain) + kLimitPrompt,
       "   150.000000000000  0.999096067957646  9.039320423540157E-004  150.000000000000"},
  };
  for (const ChiSquareTranscript& t : transcripts) {
    const auto run = RunProgram("4\n" + t.input + "0\n");
    EXPECT_EQ(run.status, 0) << t.name;
    EXPECT_EQ(run.console,
              ConsoleLine(texts::kAnnouncement) + MenuBlock() + " " + kInverseTitle + "\n" +
                  kProbabilityPrompt + kDegreesPrompt + " " + kDegreesHeader + "\n" +
                  t.degreesRow + "\n " + kInverseHeader + "\n" + t.inverseRow + "\n " +
                  kTailTitle + "\n" + t.limitTalk + kDegreesPrompt + " " + kDegreesHeader +
                  "\n" + t.degreesRow + "\n " + kTailHeader + "\n" + t.tailRow + "\n" +
                  MenuBlock())
        << t.name;
    EXPECT_EQ(run.log, kInverseTitle + "\n" + kDegreesHeader + "\n" + t.degreesRow + "\n" +
                           kInverseHeader + "\n" + t.inverseRow + "\n" + kTailTitle + "\n" +
                           kDegreesHeader + "\n" + t.degreesRow + "\n" + kTailHeader + "\n" +
                           t.tailRow + "\n")
        << t.name;
  }
}

TEST(NonCentralChiSquareDialogue, RejectsNonPositiveNonCentrality) {
  const std::string title = std::string(texts::kNonCentralChiSquareTitle);
  const std::string lambdaPrompt = ConsoleLine(texts::kNonCentrality.prompt);
  const std::string lambdaRange =
      ConsoleLine(texts::kNonCentrality.rangeMessage) + ConsoleLine(texts::kTryAgainWithoutStop);
  const std::string rows =
      "Number of degrees of freedom:\n"
      "   2.00000000000000\n"
      "Non-centrality parameter:\n"
      "   1.00000000000000\n"
      "x,P(x,nu,lambda), Q(x,nu,lambda):\n"
      "   1.00000000000000  0.267120193952566  0.732879741599911\n";
  // lambda = 0 and -1 are out of range, abc is no number (no retry line
  // after it); only lambda is asked again.
  const auto run = RunProgram("5\n1\n2\n0\n-1\nabc\n1\n0\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.console,
            ConsoleLine(texts::kAnnouncement) + MenuBlock() + " " + title + "\n" + kLimitPrompt +
                kDegreesPrompt + lambdaPrompt + lambdaRange + lambdaPrompt + lambdaRange +
                lambdaPrompt + ConsoleLine(texts::kNonCentrality.readError) +
                lambdaPrompt +
                " Number of degrees of freedom:\n"
                "   2.00000000000000\n"
                " Non-centrality parameter:\n"
                "   1.00000000000000\n"
                " x,P(x,nu,lambda), Q(x,nu,lambda):\n"
                "   1.00000000000000  0.267120193952566  0.732879741599911\n" +
                MenuBlock());
  EXPECT_EQ(run.log, title + "\n" + rows);
}

}  // namespace
