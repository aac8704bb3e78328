// Options 7 and 6 far in the upper tail: the F dialogue at p = 1e-20 with
// nu1 = 1, nu2 = 60 and the Student's t dialogue at p = 1e-30 with nu = 3.
// The inverses are printed to their fifteen digits as mpmath has them
// (F = 199.2322675267311316, t = 13016380892.07149268); the columns that
// evaluate the distribution itself (the round trips) are held to the
// accuracy of those evaluations instead of to their digits.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "tests/program_runner.hpp"

namespace {

using testing_support::MenuBlock;
using testing_support::RunProgram;

// The numbers of the first line in `text` that starts with `prefix`,
// after the prefix; empty when there is none.
std::vector<double> NumbersAfter(const std::string& text, const std::string& prefix) {
  std::vector<double> numbers;
  const std::size_t at = text.find("\n" + prefix);
  if (at == std::string::npos) return numbers;
  const std::size_t start = at + 1 + prefix.size();
  std::istringstream rest(text.substr(start, text.find('\n', start) - start));
  std::string field;
  while (rest >> field) numbers.push_back(std::strtod(field.c_str(), nullptr));
  return numbers;
}

struct TailDialogue {
  const char* name;
  std::string input;
  std::string talk;             // the first section from its title to its row
  std::string rowStart;         // p, the inverse of 1 - p, the inverse of p
  double roundTrip;             // the last column: the distribution at the inverse
  std::string secondRowStart;   // X
  std::vector<double> second;   // the lower tail, the upper tail, the inverse of the upper
};

void ExpectDialogue(const TailDialogue& d) {
  const auto run = RunProgram(d.input);
  EXPECT_EQ(run.status, 0) << d.name;
  EXPECT_EQ(run.console.rfind(" Output in file logtest.txt\n" + MenuBlock() + d.talk, 0), 0u)
      << d.name << "\n" << run.console;
  for (const std::string* text : {&run.console, &run.log}) {
    const std::vector<double> first = NumbersAfter(*text, d.rowStart);
    ASSERT_EQ(first.size(), 1u) << d.name << "\n" << *text;
    EXPECT_NEAR(first[0] / d.roundTrip, 1.0, 1e-8) << d.name;
    const std::vector<double> second = NumbersAfter(*text, d.secondRowStart);
    ASSERT_EQ(second.size(), d.second.size()) << d.name << "\n" << *text;
    for (std::size_t i = 0; i < second.size(); ++i) {
      EXPECT_NEAR(second[i] / d.second[i], 1.0, 1e-8) << d.name << " column " << i;
    }
    EXPECT_EQ(text->find("iterations"), std::string::npos) << d.name;
  }
}

TEST(InverseDialoguesFarInTheTail, FAtOneIn1e20) {
  // 1 - 1e-20 rounds to 1, whose inverse is the end value 0. FQ(200 | 1, 60)
  // = 9.1471588675532825618e-21 (mpmath).
  ExpectDialogue({"option 7", "7\n1e-20\n1,60\n200\n1,60\n0\n",
                  " Inverse F-distribution\n"
                  " Please input a probability or confidence level (greater than 0, less than "
                  "1):\n"
                  " Please input the two DOFs (floating point) separated by commas:\n"
                  " Numbers of degrees of freedom nu1, nu2:\n"
                  "   1.00000000000000  60.0000000000000\n"
                  " p,Inverse F(p,nu1,nu2), inverse FQ(p,nu1,nu2), FQ(inverse FQ(p,nu1,nu2)):\n"
                  "   1.000000000000000E-020  0.000000000000000  199.232267526731  ",
                  "   1.000000000000000E-020  0.000000000000000  199.232267526731  ", 1e-20,
                  "   200.000000000000  ", {1.0, 9.1471588675532825618e-21, 200.0}});
}

TEST(InverseDialoguesFarInTheTail, StudentAtOneIn1e30) {
  // AQ(5 | 3) = 0.015392438073302300987, A = 0.98460756192669769901 (mpmath).
  ExpectDialogue({"option 6", "6\n1e-30\n3\n5\n3\n0\n",
                  " Inverse Student's t distribution\n"
                  " Please input a probability or confidence level (greater than 0, less than "
                  "1):\n"
                  " Please input the number of degrees of freedom (floating point):\n"
                  " Number of degrees of freedom nu:\n"
                  "   3.00000000000000\n"
                  " p,Inverse A(p), inverse AQ(p), AQ(inverse AQ(p)):\n"
                  "   1.000000000000000E-030  0.000000000000000  13016380892.0715  ",
                  "   1.000000000000000E-030  0.000000000000000  13016380892.0715  ", 1e-30,
                  "   5.00000000000000  ", {0.98460756192669769901, 0.015392438073302300987, 5.0}});
}

}  // namespace
