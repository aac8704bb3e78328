// The menu field on arbitrary bytes: ParseMenuSelection against a small
// model of the field rules, for the whole input as one line and for each
// line that ReadLine takes from it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "console/input.hpp"
#include "fuzz_check.hpp"

namespace {

// The first four characters, cut at a comma, without blanks and tabs: an
// optional sign and decimal digits; empty or a lone sign reads as 0.
std::optional<std::int32_t> ExpectedSelection(std::string_view line) {
  std::string field(line.substr(0, std::min(line.size(), line.find(','))).substr(0, 4));
  std::erase_if(field, [](char c) { return c == ' ' || c == '\t'; });
  std::int32_t sign = 1;
  if (!field.empty() && (field[0] == '+' || field[0] == '-')) {
    sign = field[0] == '-' ? -1 : 1;
    field.erase(0, 1);
  }
  if (!std::ranges::all_of(field, [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  return field.empty() ? 0 : sign * std::stoi(field);
}

void CheckLine(std::string_view line) {
  fuzz::Require(console::ParseMenuSelection(line) == ExpectedSelection(line),
                "ParseMenuSelection disagrees with the field rules");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckLine(bytes);
  std::istringstream in{std::string(bytes)};
  std::string line;
  while (console::ReadLine(in, line)) CheckLine(line);
  return 0;
}
