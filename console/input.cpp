#include "console/input.hpp"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "console/channels.hpp"

namespace console {
namespace {

constexpr std::size_t kMenuFieldWidth = 4;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSign(char c) { return c == '+' || c == '-'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view text, std::string_view word) {
  if (text.size() != word.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (Lower(text[i]) != word[i]) return false;
  }
  return true;
}

std::size_t CountDigits(std::string_view text, std::size_t from) {
  std::size_t end = from;
  while (end < text.size() && IsDigit(text[end])) ++end;
  return end - from;
}

// Rewrites a well-formed free-form number in the syntax of strtod (exponent
// letter e), or nothing if the text is not one.
std::optional<std::string> NormalizedNumber(std::string_view text) {
  std::size_t pos = 0;
  std::string normalized;
  if (pos < text.size() && IsSign(text[pos])) normalized += text[pos++];
  const std::string_view body = text.substr(pos);
  if (EqualsIgnoringCase(body, "nan") || EqualsIgnoringCase(body, "inf") ||
      EqualsIgnoringCase(body, "infinity")) {
    return normalized + std::string(body);
  }
  const std::size_t integerDigits = CountDigits(text, pos);
  normalized += text.substr(pos, integerDigits);
  pos += integerDigits;
  std::size_t fractionDigits = 0;
  if (pos < text.size() && text[pos] == '.') {
    fractionDigits = CountDigits(text, pos + 1);
    normalized += text.substr(pos, fractionDigits + 1);
    pos += fractionDigits + 1;
  }
  if (integerDigits + fractionDigits == 0) return std::nullopt;
  if (pos < text.size() && (Lower(text[pos]) == 'e' || Lower(text[pos]) == 'd')) {
    normalized += 'e';
    ++pos;
    if (pos < text.size() && IsSign(text[pos])) normalized += text[pos++];
    const std::size_t exponentDigits = CountDigits(text, pos);
    if (exponentDigits == 0) return std::nullopt;
    normalized += text.substr(pos, exponentDigits);
    pos += exponentDigits;
  }
  if (pos != text.size()) return std::nullopt;
  return normalized;
}

}  // namespace

bool ReadLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

std::optional<double> ParseFreeFormNumber(std::string_view text) {
  const std::optional<std::string> normalized = NormalizedNumber(text);
  if (!normalized) return std::nullopt;
  errno = 0;
  const double value = std::strtod(normalized->c_str(), nullptr);
  // ERANGE with a finite result is an underflow, which reads as the
  // correctly rounded subnormal or zero; an infinite one is an overflow.
  if (errno == ERANGE && std::isinf(value)) return std::nullopt;
  return value;
}

bool ReadFreeFormNumbers(std::istream& in, std::span<double> values) {
  std::size_t count = 0;
  std::string line;
  while (count < values.size()) {
    if (!ReadLine(in, line)) throw EndOfInput();
    bool afterValue = false;
    std::size_t pos = 0;
    while (count < values.size()) {
      while (pos < line.size() && IsBlank(line[pos])) ++pos;
      if (pos == line.size()) break;
      if (line[pos] == ',') {
        // One comma may separate two values; any other comma is an empty value.
        if (!afterValue) return false;
        afterValue = false;
        ++pos;
        continue;
      }
      std::size_t end = pos;
      while (end < line.size() && !IsBlank(line[end]) && line[end] != ',') ++end;
      const std::optional<double> value = ParseFreeFormNumber(std::string_view(line).substr(pos, end - pos));
      if (!value) return false;
      values[count++] = *value;
      afterValue = true;
      pos = end;
    }
  }
  return true;
}

std::optional<std::int32_t> ParseMenuSelection(std::string_view line) {
  std::string_view field = line.substr(0, kMenuFieldWidth);
  field = field.substr(0, field.find(','));
  std::string kept;
  for (char c : field) {
    if (!IsBlank(c)) kept += c;
  }
  std::size_t pos = 0;
  const bool negative = !kept.empty() && kept[0] == '-';
  if (!kept.empty() && IsSign(kept[0])) pos = 1;
  std::int32_t magnitude = 0;
  for (; pos < kept.size(); ++pos) {
    if (!IsDigit(kept[pos])) return std::nullopt;
    magnitude = magnitude * 10 + (kept[pos] - '0');
  }
  return negative ? -magnitude : magnitude;
}

}  // namespace console
