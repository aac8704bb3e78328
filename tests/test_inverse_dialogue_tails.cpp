// The inverse sections of options 3, 4, 6, 7 and 9 far in the tails, where
// 1 - p rounds to 1 and the inverse at 1 - p comes from p itself:
// each row against mpmath (tools/gen_inverse_dialogue_tails.py), and where
// 1 - p does not round to 1 the row keeps the inverse at 1 - p bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "console/texts.hpp"
#include "specfun/specfun.hpp"
#include "tests/program_runner.hpp"

namespace {

using testing_support::ConsoleLine;
using testing_support::kDegreesPrompt;
using testing_support::kProbabilityPrompt;
using testing_support::MenuBlock;
using testing_support::RunProgram;
namespace texts = console::texts;

const std::string kPairPrompt = ConsoleLine(texts::kInverseFDegreesOfFreedom.prompt);

// The fields of the line in `text` that follows the line `header`.
std::vector<std::string> RowAfter(const std::string& text, const std::string& header) {
  std::vector<std::string> fields;
  const std::size_t at = text.find(header + "\n");
  if (at == std::string::npos) return fields;
  const std::size_t start = at + header.size() + 1;
  std::istringstream row(text.substr(start, text.find('\n', start) - start));
  std::string field;
  while (row >> field) fields.push_back(field);
  return fields;
}

// A value and how near the printed one must come: relative, or exact (0).
struct Expected {
  double value;
  double tolerance;
};

struct TailDialogue {
  const char* name;
  std::string input;
  std::string talk;     // the first section from its title to its header
  std::string header;   // the row's header as the log has it
  std::vector<Expected> row;
};

void ExpectDialogue(const TailDialogue& d) {
  const auto run = RunProgram(d.input);
  EXPECT_EQ(run.status, 0) << d.name;
  EXPECT_EQ(run.console.rfind(" Output in file logtest.txt\n" + MenuBlock() + d.talk, 0), 0u)
      << d.name << "\n" << run.console;
  for (const std::string* text : {&run.console, &run.log}) {
    const std::vector<std::string> row = RowAfter(*text, d.header);
    ASSERT_EQ(row.size(), d.row.size()) << d.name << "\n" << *text;
    for (std::size_t i = 0; i < row.size(); ++i) {
      const Expected& e = d.row[i];
      const double printed = std::strtod(row[i].c_str(), nullptr);
      if (e.tolerance == 0.0) {
        EXPECT_EQ(printed, e.value) << d.name << " column " << i;
      } else {
        EXPECT_NEAR(printed / e.value, 1.0, e.tolerance) << d.name << " column " << i;
      }
    }
    EXPECT_EQ(text->find("iterations"), std::string::npos) << d.name;
  }
}

std::string Talk(std::string_view title, const std::string& prompts, const std::string& rows) {
  return ConsoleLine(title) + kProbabilityPrompt + prompts + rows;
}

// Reference values from mpmath (tools/gen_inverse_dialogue_tails.py). The
// inverses are held to 1e-12 relative (BetaInv to its own 1e-8), the round
// trips, which evaluate the distribution at the inverse, to 1e-9; p is
// printed exactly.
TEST(InverseDialoguesFarInTheTail, LowerInverseFromTheLowerTail) {
  const std::string nu10 = ConsoleLine(texts::kDegreesOfFreedomHeader) + "   10.0000000000000\n";
  const std::string studentNu10 =
      ConsoleLine(texts::kStudentDegreesHeader) + "   10.0000000000000\n";
  const TailDialogue dialogues[] = {
      // Q(37.05) is 0 by definition (QGauss gives 0 above 37).
      {"option 3 at 1e-300", "3\n1e-300\n1\n0\n",
       Talk(texts::kInverseGaussianTitle, "", ConsoleLine(texts::kInverseGaussianHeader)),
       std::string(texts::kInverseGaussianHeader),
       {{1e-300, 0.0},
        {-37.047096299361199237, 1e-12},
        {37.047096299361199237, 1e-12},
        {0.0, 0.0}}},
      {"option 4 at 1e-300", "4\n1e-300\n10\n1\n10\n0\n",
       Talk(texts::kInverseChiSquareTitle, kDegreesPrompt,
            nu10 + ConsoleLine(texts::kInverseChiSquareHeader)),
       std::string(texts::kInverseChiSquareHeader),
       {{1e-300, 0.0},
        {5.2103421693947037847e-60, 1e-12},
        {1427.7719561298886121, 1e-12},
        {1e-300, 1e-9}}},
      {"option 6 at 1e-300", "6\n1e-300\n10\n1\n10\n0\n",
       Talk(texts::kInverseStudentTitle, kDegreesPrompt,
            studentNu10 + ConsoleLine(texts::kInverseStudentHeader)),
       std::string(texts::kInverseStudentHeader),
       {{1e-300, 0.0},
        {1.2849890174652462047e-300, 1e-12},
        {2.7485906095604865973e+30, 1e-12},
        {1e-300, 1e-9}}},
      {"option 7 at 1e-300", "7\n1e-300\n10,5\n1\n10,5\n0\n",
       Talk(texts::kInverseFTitle, kPairPrompt,
            ConsoleLine(texts::kFDegreesHeader) + "   10.0000000000000  5.00000000000000\n" +
                ConsoleLine(texts::kInverseFHeader)),
       std::string(texts::kInverseFHeader),
       {{1e-300, 0.0},
        {3.0556733812626457758e-61, 1e-12},
        {1.766477659654701455e+120, 1e-12},
        {1e-300, 1e-9}}},
      {"option 7 at 1e-20", "7\n1e-20\n1,60\n200\n1,60\n0\n",
       Talk(texts::kInverseFTitle, kPairPrompt,
            ConsoleLine(texts::kFDegreesHeader) + "   1.00000000000000  60.0000000000000\n" +
                ConsoleLine(texts::kInverseFHeader)),
       std::string(texts::kInverseFHeader),
       {{1e-20, 0.0},
        {1.5839403786597126425e-40, 1e-12},
        {199.2322675267311316, 1e-12},
        {1e-20, 1e-8}}},
      {"option 9 at 1e-300", "9\n1e-300\n1,1000\n0.5\n1,1000\n0\n",
       Talk(texts::kInverseBetaTitle, ConsoleLine(texts::kInverseBetaParameters.prompt),
            ConsoleLine(texts::kInverseBetaParametersHeader) +
                "   1.00000000000000  1000.00000000000\n" + ConsoleLine(texts::kInverseBetaHeader)),
       std::string(texts::kInverseBetaHeader),
       {{1e-300, 0.0},
        {0.498812766372727715, 1e-12},
        {1.0000000000000000000e-303, 1e-8},
        {1e-300, 1e-9}}},
      {"option 6 at 1e-30", "6\n1e-30\n3\n5\n3\n0\n",
       Talk(texts::kInverseStudentTitle, kDegreesPrompt,
            ConsoleLine(texts::kStudentDegreesHeader) + "   3.00000000000000\n" +
                ConsoleLine(texts::kInverseStudentHeader)),
       std::string(texts::kInverseStudentHeader),
       {{1e-30, 0.0},
        {1.3603495231756633879e-30, 1e-12},
        {13016380892.07149268, 1e-12},
        {1e-30, 1e-9}}},
  };
  for (const TailDialogue& d : dialogues) ExpectDialogue(d);
}

// Just above the switch 1 - p is below 1, and the lower inverse is the
// upper-tail inverse at 1 - p, as everywhere else.
TEST(InverseDialoguesFarInTheTail, AboveTheSwitchTheInverseAtTheComplementStays) {
  const double p = 1.2e-16;
  const double complement = 1.0 - p;
  ASSERT_LT(complement, 1.0);
  const specfun::ScopedDiagnosticSink quiet(specfun::kSilentSink);
  const struct {
    const char* input;
    std::string header;
    double lower;
  } cases[] = {
      {"3\n1.2e-16\n1\n0\n", std::string(texts::kInverseGaussianHeader),
       specfun::QGaussInv(complement)},
      {"4\n1.2e-16\n10\n1\n10\n0\n", std::string(texts::kInverseChiSquareHeader),
       specfun::ChiSquareInv(complement, 10.0)},
      {"6\n1.2e-16\n10\n1\n10\n0\n", std::string(texts::kInverseStudentHeader),
       specfun::StudentInv(complement, 10.0)},
      {"7\n1.2e-16\n10,5\n1\n10,5\n0\n", std::string(texts::kInverseFHeader),
       specfun::FDistInv(complement, 10.0, 5.0)},
      {"9\n1.2e-16\n1,1000\n0.5\n1,1000\n0\n", std::string(texts::kInverseBetaHeader),
       specfun::BetaInv(complement, 1.0, 1000.0)},
  };
  for (const auto& c : cases) {
    const auto run = RunProgram(c.input);
    const std::vector<std::string> row = RowAfter(run.log, c.header);
    ASSERT_EQ(row.size(), 4u) << c.input;
    std::string printed = c.lower < 0.0 ? "-" : "";
    printed += specfun::FormatDouble(c.lower);
    EXPECT_EQ(row[1], printed) << c.input;
  }
}

}  // namespace
