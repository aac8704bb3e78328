#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>

#include "console/readers.hpp"
#include "console/records.hpp"
#include "tests/program_runner.hpp"

namespace {

struct Conversation {
  double value;
  std::string console;
  std::string log;
};

Conversation Ask(const std::string& input, const std::function<double(console::Channels&)>& reader) {
  std::istringstream in(input);
  std::ostringstream out;
  testing_support::StringLog log;
  console::Channels channels{in, out, log};
  const double value = reader(channels);
  return {value, out.str(), log.text()};
}

const std::string kProbabilityPrompt =
    " Please input a probability or confidence level (greater than 0, less than 1):\n";
const std::string kTryAgain = " Please try again.\n";

TEST(ReadProbability, MessagesAndAcceptedValues) {
  const auto read = [](console::Channels& c) { return console::ReadProbability(c); };
  const Conversation conversation = Ask("0\n1\nabc\nnan\n\n  \n0.5\n", read);
  EXPECT_EQ(conversation.value, 0.5);
  const std::string range = " Probability must be greater than 0.0 and less than 1.00;\n";
  const std::string bad = " Please input a valid floating point number between 0 and 1:\n";
  EXPECT_EQ(conversation.console, kProbabilityPrompt + range + kTryAgain + kProbabilityPrompt +
                                      range + kTryAgain + kProbabilityPrompt + bad + kTryAgain +
                                      kProbabilityPrompt + range + kTryAgain + kProbabilityPrompt);
  EXPECT_EQ(conversation.log, "");
  for (const char* answer : {"1e-10\n", "0.999999\n", "0.3,7\n"}) {
    EXPECT_EQ(Ask(answer, read).value, std::strtod(answer, nullptr)) << answer;
  }
}

TEST(ReadLimitX, NonnegativeOnlyRejectsNegatives) {
  const Conversation conversation =
      Ask("-3\nx\n0\n", [](console::Channels& c) { return console::ReadLimitX(c, 1); });
  EXPECT_EQ(conversation.value, 0.0);
  const std::string prompt = " Please input a nonnegative floating point variable limit X:\n";
  EXPECT_EQ(conversation.console,
            prompt + " Variable limit X must be nonnegative.\n" + kTryAgain + prompt +
                " Please input a valid nonnegative floating point number\n" + kTryAgain + prompt);
}

TEST(ReadLimitX, AnyValueWhenTheFlagIsZero) {
  const Conversation conversation =
      Ask("?\n-3\n", [](console::Channels& c) { return console::ReadLimitX(c, 0); });
  EXPECT_EQ(conversation.value, -3.0);
  const std::string prompt = " Please input a floating point variable limit X:\n";
  EXPECT_EQ(conversation.console,
            prompt + " Please input a valid floating point number\n" + kTryAgain + prompt);
  EXPECT_TRUE(std::isnan(
      Ask("NaN\n", [](console::Channels& c) { return console::ReadLimitX(c, 0); }).value));
}

TEST(ReadDegreesOfFreedom, NoRetryLineAfterABadAnswer) {
  const Conversation conversation =
      Ask("0\n-1\nabc\n4.5\n", [](console::Channels& c) { return console::ReadDegreesOfFreedom(c); });
  EXPECT_EQ(conversation.value, 4.5);
  const std::string prompt = " Please input the number of degrees of freedom (floating point):\n";
  const std::string range = " Degrees of freedom must be greater than 0.\n";
  EXPECT_EQ(conversation.console, prompt + range + kTryAgain + prompt + range + kTryAgain +
                                      prompt + " Please input valid positive floating point number.\n" +
                                      prompt);
}

TEST(Readers, EndOfInputEndsTheRead) {
  std::istringstream in("abc\n");
  std::ostringstream out;
  testing_support::StringLog log;
  console::Channels channels{in, out, log};
  EXPECT_THROW(console::ReadProbability(channels), console::EndOfInput);
}

TEST(WriteBoth, TitleOnConsoleWithBlankAndInLogWithout) {
  std::istringstream in;
  std::ostringstream out;
  testing_support::StringLog log;
  console::Channels channels{in, out, log};
  console::WriteBoth(channels, "Log Gamma function   ");
  console::WriteBoth(channels, "    ");
  EXPECT_EQ(out.str(), " Log Gamma function\n \n");
  EXPECT_EQ(log.text(), "Log Gamma function\n\n");
}

}  // namespace
