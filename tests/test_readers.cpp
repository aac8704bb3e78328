#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>

#include "console/readers.hpp"
#include "console/records.hpp"
#include "tests/program_runner.hpp"

namespace {

using testing_support::ConsoleLine;
using testing_support::kProbabilityPrompt;
using testing_support::LogLine;
namespace texts = console::texts;

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

const std::string kTryAgain = ConsoleLine(texts::kTryAgain);

TEST(ReadProbability, MessagesAndAcceptedValues) {
  const auto read = [](console::Channels& c) { return console::ReadProbability(c); };
  const Conversation conversation = Ask("0\n1\nabc\nnan\n\n  \n0.5\n", read);
  EXPECT_EQ(conversation.value, 0.5);
  const std::string range = ConsoleLine(texts::kProbability.rangeMessage);
  const std::string bad = ConsoleLine(texts::kProbability.readError);
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
  const std::string prompt = ConsoleLine(texts::kNonnegativeLimit.prompt);
  EXPECT_EQ(conversation.console,
            prompt + ConsoleLine(texts::kNonnegativeLimit.rangeMessage) + kTryAgain + prompt +
                ConsoleLine(texts::kNonnegativeLimit.readError) + kTryAgain + prompt);
}

TEST(ReadLimitX, AnyValueWhenTheFlagIsZero) {
  const Conversation conversation =
      Ask("?\n-3\n", [](console::Channels& c) { return console::ReadLimitX(c, 0); });
  EXPECT_EQ(conversation.value, -3.0);
  const std::string prompt = ConsoleLine(texts::kAnyLimit.prompt);
  EXPECT_EQ(conversation.console,
            prompt + ConsoleLine(texts::kAnyLimit.readError) + kTryAgain + prompt);
  EXPECT_TRUE(std::isnan(
      Ask("NaN\n", [](console::Channels& c) { return console::ReadLimitX(c, 0); }).value));
}

TEST(ReadDegreesOfFreedom, NoRetryLineAfterABadAnswer) {
  const Conversation conversation =
      Ask("0\n-1\nabc\n4.5\n", [](console::Channels& c) { return console::ReadDegreesOfFreedom(c); });
  EXPECT_EQ(conversation.value, 4.5);
  const std::string prompt = ConsoleLine(texts::kDegreesOfFreedom.prompt);
  const std::string range = ConsoleLine(texts::kDegreesOfFreedom.rangeMessage);
  EXPECT_EQ(conversation.console, prompt + range + kTryAgain + prompt + range + kTryAgain +
                                      prompt + ConsoleLine(texts::kDegreesOfFreedom.readError) +
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
