#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>
#include <sstream>
#include <string>

#include "console/channels.hpp"
#include "console/input.hpp"

namespace {

using console::ParseFreeFormNumber;
using console::ParseMenuSelection;

TEST(FreeFormNumber, AcceptedForms) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"0.5", 0.5},         {"+0.5", 0.5},          {"-3", -3.0},        {"7", 7.0},
      {".5", 0.5},          {"5.", 5.0},            {"-.25", -0.25},     {"1e3", 1000.0},
      {"1E3", 1000.0},      {"1d3", 1000.0},        {"1D-3", 0.001},     {"2.5e+2", 250.0},
      {"1.e2", 100.0},      {".5d1", 5.0},          {"007", 7.0},        {"1e400000000000", NAN},
      {"inf", INFINITY},    {"-Infinity", -INFINITY}, {"+INF", INFINITY},
      {"1e-400", 0.0},      {"4.9406564584124654e-324", 4.9406564584124654e-324},
      {"0.1", 0.1},
  };
  for (const auto& c : cases) {
    const std::optional<double> parsed = ParseFreeFormNumber(c.text);
    if (std::isnan(c.value)) {
      EXPECT_FALSE(parsed.has_value()) << c.text;  // overflow
      continue;
    }
    ASSERT_TRUE(parsed.has_value()) << c.text;
    EXPECT_EQ(*parsed, c.value) << c.text;
  }
  EXPECT_TRUE(std::isnan(*ParseFreeFormNumber("NaN")));
  EXPECT_TRUE(std::signbit(*ParseFreeFormNumber("-nan")));
}

TEST(FreeFormNumber, MalformedTextIsABadAnswer) {
  const char* cases[] = {"",     "+",    "-",     ".",     "+.",   "e5",    "1e",  "1e+",
                         "1.5x", "abc",  "3x",    "1..2",  "1e5.", "0x10",  "nan(1)", "infinit",
                         "1e400", "-1e309", "1,5", "--1",  "1 2"};
  for (const char* text : cases) EXPECT_FALSE(ParseFreeFormNumber(text).has_value()) << text;
  EXPECT_FALSE(ParseFreeFormNumber(std::string_view("1\0", 2)).has_value());
  EXPECT_FALSE(ParseFreeFormNumber("\xff\xfe").has_value());
}

struct ReadResult {
  bool ok;
  std::array<double, 2> values;
  std::string rest;  // what the next read would see
};

ReadResult Read(const std::string& input, std::size_t count) {
  std::istringstream in(input);
  ReadResult result{false, {-99.0, -99.0}, ""};
  result.ok = console::ReadFreeFormNumbers(in, std::span(result.values.data(), count));
  std::getline(in, result.rest);
  return result;
}

TEST(FreeFormNumbers, SeparatorsLinesAndTheRestOfTheLine) {
  const struct {
    const char* input;
    std::size_t count;
    bool ok;
    double first, second;
    const char* next;
  } cases[] = {
      {"0.3,7\nnext", 1, true, 0.3, -99, "next"},        // rest of the line ignored
      {"1,2\nnext", 2, true, 1, 2, "next"},
      {"1 2\n", 2, true, 1, 2, ""},
      {"  1 ,\t2  junk\nnext", 2, true, 1, 2, "next"},
      {"1\n2\nnext", 2, true, 1, 2, "next"},              // continues on the next line
      {"1,\n2\n", 2, true, 1, 2, ""},
      {"\n   \n\t\n0.5\nnext", 1, true, 0.5, -99, "next"},  // blank lines skipped
      {"0.5\r\nnext", 1, true, 0.5, -99, "next"},         // CR LF
      {"abc\nnext", 1, false, -99, -99, "next"},
      {"1,,2\nnext", 2, false, 1, -99, "next"},
      {",1\nnext", 1, false, -99, -99, "next"},
      {"1 abc\nnext", 2, false, 1, -99, "next"},
      {"1e400\nnext", 1, false, -99, -99, "next"},
  };
  for (const auto& c : cases) {
    const ReadResult result = Read(c.input, c.count);
    EXPECT_EQ(result.ok, c.ok) << c.input;
    EXPECT_EQ(result.rest, c.next) << c.input;
    if (!c.ok) continue;
    EXPECT_EQ(result.values[0], c.first) << c.input;
    if (c.count == 2) {
      EXPECT_EQ(result.values[1], c.second) << c.input;
    }
  }
}

TEST(FreeFormNumbers, EndOfInputIsReported) {
  for (const char* input : {"", "\n\n  \n", "1\n", "1,"}) {
    std::istringstream in(input);
    std::array<double, 2> values{};
    EXPECT_THROW(console::ReadFreeFormNumbers(in, values), console::EndOfInput) << input;
  }
}

TEST(FreeFormNumbers, LongLinesAndArbitraryBytes) {
  std::string input(1 << 20, ' ');
  input += "0.25";
  input += std::string("\0\xff\xc3(", 4);
  input += "\n";
  std::istringstream in(input + "0.75 \0 junk\n");
  std::array<double, 1> value{};
  EXPECT_FALSE(console::ReadFreeFormNumbers(in, value));  // 0.25 followed by bytes
  std::istringstream second(std::string("0.75 ") + std::string(1, '\0') + "\n");
  EXPECT_TRUE(console::ReadFreeFormNumbers(second, value));
  EXPECT_EQ(value[0], 0.75);
}

TEST(MenuSelection, FieldRules) {
  const struct {
    const char* line;
    std::optional<int> selection;
  } cases[] = {
      {"3", 3},         {" 3", 3},         {"   3", 3},        {"    3", 0},
      {"3,9", 3},       {"12345", 1234},   {"1 0", 10},       {"-1", -1},
      {"", 0},          {"+", 0},          {"-", 0},          {"  ", 0},
      {"\t2", 2},       {"+7", 7},         {"9999", 9999},    {"-999", -999},
      {",5", 0},        {"2,x", 2},        {"7   abc", 7},     {"abc", std::nullopt},
      {"3x", std::nullopt}, {"1.5", std::nullopt}, {"+-1", std::nullopt}, {"1-", std::nullopt},
      {"\xff", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseMenuSelection(c.line), c.selection) << '"' << c.line << '"';
  }
  EXPECT_EQ(ParseMenuSelection(std::string_view("\0", 1)), std::nullopt);
}

}  // namespace
