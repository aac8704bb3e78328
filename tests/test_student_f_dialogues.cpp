// Options 6 and 7 end to end: both sections on the console and in the log,
// bad answers at every reader and prompt loop, and the diagnostics of the
// incomplete beta function on the console only.
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

const std::string kLimitPrompt = ConsoleLine(texts::kNonnegativeLimit.prompt);
const std::string kPairPrompt =
    ConsoleLine(texts::kDegreesOfFreedomPairPrompt);

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
              ConsoleLine(texts::kAnnouncement) + MenuBlock() + " " + layout.firstTitle + "\n" +
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
                      std::string(texts::kInverseStudentTitle),
                      std::string(texts::kStudentDegreesHeader),
                      std::string(texts::kInverseStudentHeader),
                      std::string(texts::kStudentTitle),
                      std::string(texts::kStudentDegreesHeader),
                      std::string(texts::kTailsHeader)};
  const std::string probabilityRetry =
      ConsoleLine(texts::kProbability.readError) + ConsoleLine(texts::kTryAgain);
  const std::string probabilityRange =
      ConsoleLine(texts::kProbability.rangeMessage) + ConsoleLine(texts::kTryAgain);
  const std::string degreesRetry = ConsoleLine(texts::kDegreesOfFreedom.readError);
  const std::string degreesRange =
      ConsoleLine(texts::kDegreesOfFreedom.rangeMessage) + ConsoleLine(texts::kTryAgain);
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
       kLimitPrompt + ConsoleLine(texts::kNonnegativeLimit.rangeMessage) + ConsoleLine(texts::kTryAgain) +
           kLimitPrompt +
           ConsoleLine(texts::kNonnegativeLimit.readError) + ConsoleLine(texts::kTryAgain) +
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
                      std::string(texts::kInverseFTitle),
                      std::string(texts::kFDegreesHeader),
                      std::string(texts::kInverseFHeader),
                      std::string(texts::kFTitle),
                      std::string(texts::kFDegreesHeader),
                      std::string(texts::kTailsHeader)};
  // The two loops share a prompt but not their messages. "3" alone on a
  // line leaves the read waiting for nu2 on the next line.
  const std::string firstLoopRetry = ConsoleLine(texts::kInverseFDegreesOfFreedom.readError);
  const std::string firstLoopRange =
      ConsoleLine(texts::kInverseFDegreesOfFreedom.rangeMessage) + ConsoleLine(texts::kTryAgain);
  const std::string secondLoopRetry = ConsoleLine(texts::kFDegreesOfFreedom.readError);
  const std::string secondLoopRange =
      ConsoleLine(texts::kFDegreesOfFreedom.rangeMessage) + ConsoleLine(texts::kTryAgainWithoutStop);
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
      kPairPrompt + report + report + report + ConsoleLine(texts::kFDegreesHeader);
  EXPECT_NE(run.console.find(beforeHeader), std::string::npos) << run.console;
  EXPECT_EQ(run.log.find("iterations"), std::string::npos);
  EXPECT_NE(run.log.find("   1.00000000000000  0.499999999999983  0.499999999999983"),
            std::string::npos)
      << run.log;
}

}  // namespace
