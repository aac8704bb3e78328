// The free-form number reader on arbitrary bytes: ParseFreeFormNumber
// against a small model of the number syntax, and ReadFreeFormNumbers for
// one and for two numbers, call after call, until the input ends.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <string_view>

#include "console/channels.hpp"
#include "console/input.hpp"
#include "fuzz_check.hpp"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSign(char c) { return c == '+' || c == '-'; }

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerWord) {
  return std::ranges::equal(text, lowerWord, [](char c, char w) {
    return (c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c) == w;
  });
}

// digits [. digits], at least one digit in all, then [EeDd] [sign] digits.
bool IsDecimalNumber(std::string_view body) {
  std::size_t pos = 0;
  std::size_t mantissaDigits = 0;
  while (pos < body.size() && IsDigit(body[pos])) ++pos, ++mantissaDigits;
  if (pos < body.size() && body[pos] == '.') {
    ++pos;
    while (pos < body.size() && IsDigit(body[pos])) ++pos, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return false;
  if (pos == body.size()) return true;
  if (std::string_view("EeDd").find(body[pos]) == std::string_view::npos) return false;
  ++pos;
  if (pos < body.size() && IsSign(body[pos])) ++pos;
  const std::size_t exponentStart = pos;
  while (pos < body.size() && IsDigit(body[pos])) ++pos;
  return pos > exponentStart && pos == body.size();
}

// What the reader must give for one field: the correctly rounded double of
// a well-formed number, nothing for anything else or for an overflow.
std::optional<double> ExpectedNumber(std::string_view text) {
  const std::string_view body = !text.empty() && IsSign(text[0]) ? text.substr(1) : text;
  const bool word = EqualsIgnoringCase(body, "nan") || EqualsIgnoringCase(body, "inf") ||
                    EqualsIgnoringCase(body, "infinity");
  if (!word && !IsDecimalNumber(body)) return std::nullopt;
  std::string forStrtod(text);
  if (!word) std::ranges::replace_if(forStrtod, [](char c) { return c == 'd' || c == 'D'; }, 'e');
  const double value = std::strtod(forStrtod.c_str(), nullptr);
  if (!word && std::isinf(value)) return std::nullopt;
  return value;
}

bool SameNumber(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) {
    return std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b);
  }
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool SameOutcome(const std::optional<double>& a, const std::optional<double>& b) {
  return a.has_value() == b.has_value() && (!a || SameNumber(*a, *b));
}

void CheckParse(std::string_view text) {
  fuzz::Require(SameOutcome(console::ParseFreeFormNumber(text), ExpectedNumber(text)),
                "ParseFreeFormNumber disagrees with the number syntax");
}

struct ReadOutcome {
  bool ended = false;  // EndOfInput before an answer
  bool accepted = false;
  double first = 0.0;
};

ReadOutcome FirstRead(std::string_view bytes, std::size_t count) {
  std::istringstream in{std::string(bytes)};
  std::array<double, 2> values{};
  ReadOutcome outcome;
  try {
    outcome.accepted = console::ReadFreeFormNumbers(in, std::span(values).first(count));
  } catch (const console::EndOfInput&) {
    outcome.ended = true;
  }
  outcome.first = values[0];
  return outcome;
}

// The first read of one number: blank lines are skipped, a line starting
// with a comma is a bad answer, else its first field (up to a blank or a
// comma) is the answer. A CR before the LF belongs to the line end.
ReadOutcome ExpectedFirstSingleRead(std::string_view bytes) {
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t newline = bytes.find('\n', start);
    std::string_view line = bytes.substr(start, newline - start);
    start = newline == std::string_view::npos ? bytes.size() : newline + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t fieldStart = line.find_first_not_of(" \t");
    if (fieldStart == std::string_view::npos) continue;
    if (line[fieldStart] == ',') return {};
    const std::string_view rest = line.substr(fieldStart);
    const std::optional<double> value = ExpectedNumber(rest.substr(0, rest.find_first_of(" \t,")));
    return {false, value.has_value(), value.value_or(0.0)};
  }
  return {true, false, 0.0};
}

void CheckFirstReads(std::string_view bytes) {
  const ReadOutcome single = FirstRead(bytes, 1);
  const ReadOutcome expected = ExpectedFirstSingleRead(bytes);
  fuzz::Require(single.ended == expected.ended && single.accepted == expected.accepted,
                "first one-number read: wrong outcome");
  if (single.accepted) {
    fuzz::Require(SameNumber(single.first, expected.first), "first one-number read: wrong value");
  }
  // Two numbers start with the same first field as one number.
  const ReadOutcome pair = FirstRead(bytes, 2);
  if (pair.accepted) {
    fuzz::Require(single.accepted && SameNumber(pair.first, single.first),
                  "first two-number read: first value differs from the one-number read");
  }
}

// Every call consumes at least one line, so the input runs out after at
// most one call per line and one more.
void ReadUntilEnd(std::string_view bytes, std::size_t count) {
  std::istringstream in{std::string(bytes)};
  const auto lines = static_cast<std::size_t>(std::ranges::count(bytes, '\n')) + 1;
  std::array<double, 2> values{};
  for (std::size_t calls = 0; calls <= lines; ++calls) {
    try {
      console::ReadFreeFormNumbers(in, std::span(values).first(count));
    } catch (const console::EndOfInput&) {
      return;
    }
  }
  fuzz::Fail("ReadFreeFormNumbers returned without consuming a line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckParse(bytes);
  CheckFirstReads(bytes);
  ReadUntilEnd(bytes, 1);
  ReadUntilEnd(bytes, 2);
  return 0;
}
