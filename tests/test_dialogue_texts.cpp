// Every text of the console, pinned independently of console/texts.hpp: a
// run through every option with a bad answer at each reader and prompt loop,
// compared line by line with its transcript in tests/golden/ (value rows,
// which the other tests check, stand there as "<values>").
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/program_runner.hpp"

namespace {

// A value row is a free-form record that starts with a number: one blank,
// then a blank or a minus sign.
std::string WithValueRowsMarked(const std::string& console) {
  std::istringstream lines(console);
  std::string marked, line;
  while (std::getline(lines, line)) {
    const bool valueRow = line.size() >= 2 && line[0] == ' ' && (line[1] == ' ' || line[1] == '-');
    marked += (valueRow ? "<values>" : line) + "\n";
  }
  return marked;
}

TEST(DialogueTexts, EveryPromptMessageTitleAndHeaderAsTranscribed) {
  const std::string input = R"(abc
12
2
x
-1
1
3
x
2
0.5
x
1
4
0.5
x
-1
3
1
3
5
1
2
x
-1
1
6
0.5
3
1
3
7
0.5
x
-1 1
2 3
1
x
-1 1
2 3
8
x
-1
0.3
x
-1 2
2 5
9
0.5
x
-1 1
2 3
x
2
0.5
x
-1 1
2 3
0
)";
  const auto run = testing_support::RunProgram(input);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(WithValueRowsMarked(run.console),
            testing_support::ReadFile(SPECFUN_GOLDEN "/dialogue_texts_console.txt"));
}

}  // namespace
