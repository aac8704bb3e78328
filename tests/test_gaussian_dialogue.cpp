// Option 3 end to end: both sections on the console and in the log.
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

const std::string kInverseTitle = std::string(texts::kInverseGaussianTitle);
const std::string kInverseHeader = std::string(texts::kInverseGaussianHeader);
const std::string kTailTitle = std::string(texts::kGaussianTitle);
const std::string kTailHeader = std::string(texts::kGaussianHeader);
const std::string kLimitPrompt = ConsoleLine(texts::kAnyLimit.prompt);

struct Transcript {
  const char* name;
  std::string input;             // after the selection 3, before the final 0
  std::string probabilityTalk;   // prompts and messages up to the accepted p
  std::string inverseRow;
  std::string limitTalk;         // prompts and messages up to the accepted X
  std::string tailRow;
};

TEST(GaussianDialogue, Transcripts) {
  const std::string probabilityRetry =
      ConsoleLine(texts::kProbability.readError) + ConsoleLine(texts::kTryAgain);
  const std::string probabilityRange =
      ConsoleLine(texts::kProbability.rangeMessage) + ConsoleLine(texts::kTryAgain);
  const std::string limitRetry =
      ConsoleLine(texts::kAnyLimit.readError) + ConsoleLine(texts::kTryAgain);
  // p = 1/2 goes to QGaussInv twice: the deviates are equal, and three Newton
  // steps leave 1.9394010467469283e-18 rather than zero. X = -12 is below
  // the lower limit: Q = 1 exactly, whose inverse is the substitute, with no
  // message. X = 40 is above the upper limit: Q = 0 and P = 1.
  const Transcript transcripts[] = {
      {"centre", "0.5\n0\n", kProbabilityPrompt,
       "   0.500000000000000  1.939401046746928E-018  1.939401046746928E-018  0.500000000000000",
       kLimitPrompt,
       "   0.000000000000000  0.500000000000000  0.500000000000000  1.939401046746928E-018"},
      {"bad answers and the lower limit", "abc\n1.5\n0\n0.025\nxyz\n-12\n",
       kProbabilityPrompt + probabilityRetry + kProbabilityPrompt + probabilityRange +
           kProbabilityPrompt + probabilityRange + kProbabilityPrompt,
       "   2.500000000000000E-002 -1.95996398454005  1.95996398454006"
       "  2.499999999999980E-002",
       kLimitPrompt + limitRetry + kLimitPrompt,
       "  -12.0000000000000  1.776482112077679E-033  1.00000000000000"
       " -1.000000020040877E+020"},
      {"upper limit", "0.975\n40\n", kProbabilityPrompt,
       "   0.975000000000000  1.95996398454006 -1.95996398454005  0.975000000000000",
       kLimitPrompt,
       "   40.0000000000000  1.00000000000000  0.000000000000000  1.000000020040877E+020"},
  };
  for (const Transcript& t : transcripts) {
    const auto run = RunProgram("3\n" + t.input + "0\n");
    EXPECT_EQ(run.status, 0) << t.name;
    EXPECT_EQ(run.console, ConsoleLine(texts::kAnnouncement) + MenuBlock() + " " +
                               kInverseTitle + "\n" + t.probabilityTalk + " " +
                               kInverseHeader + "\n" + t.inverseRow + "\n" + " " + kTailTitle +
                               "\n" + t.limitTalk + " " + kTailHeader + "\n" + t.tailRow +
                               "\n" + MenuBlock())
        << t.name;
    EXPECT_EQ(run.log, kInverseTitle + "\n" + kInverseHeader + "\n" + t.inverseRow + "\n" +
                           kTailTitle + "\n" + kTailHeader + "\n" + t.tailRow + "\n")
        << t.name;
  }
}

}  // namespace
