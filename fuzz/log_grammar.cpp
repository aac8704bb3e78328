#include "log_grammar.hpp"

#include <algorithm>
#include <cstddef>

namespace fuzz {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view text) { return std::ranges::all_of(text, IsDigit); }

constexpr std::size_t kSignificantDigits = 15;

// 0.ddddddddddddddd, or k integer digits (the first not zero), a point and
// 15 - k fraction digits; or the carry 1000000000000000.
bool IsFixedForm(std::string_view text) {
  // Rounding 999999999999999.5 and above carries into a sixteenth digit and
  // keeps the fixed form.
  if (text == "1000000000000000.") return true;
  const std::size_t point = text.find('.');
  if (point == std::string_view::npos || point == 0) return false;
  const std::string_view integerPart = text.substr(0, point);
  const std::string_view fraction = text.substr(point + 1);
  if (!AllDigits(integerPart) || !AllDigits(fraction)) return false;
  if (integerPart == "0") return fraction.size() == kSignificantDigits;
  return integerPart[0] != '0' && integerPart.size() + fraction.size() == kSignificantDigits;
}

// d.dddddddddddddddE+ddd with a first digit that is not zero.
bool IsExponentForm(std::string_view text) {
  constexpr std::size_t kLength = 1 + 1 + 15 + 1 + 1 + 3;
  if (text.size() != kLength) return false;
  return text[0] >= '1' && text[0] <= '9' && text[1] == '.' && AllDigits(text.substr(2, 15)) &&
         text[17] == 'E' && (text[18] == '+' || text[18] == '-') && AllDigits(text.substr(19));
}

struct Labelled {
  std::string_view text;
  std::size_t values;
};

// Titles of the dialogues' sections, written as exact text.
constexpr std::string_view kDialogueTitles[] = {
    "Log Gamma function",
    "Inverse Gaussian distribution function",
    "Gaussian distribution function",
    "Inverse chi-square distribution function",
    "Chi-square distribution function",
    "Non-central chi-square distribution function",
    "Inverse Student's t distribution",
    "Student's t distribution",
    "Inverse F-distribution",
    "F-distribution",
    "Binomial distribution sum(i=0 to a-1): (n!/(i!*(n-i)!)*p^i*(1-p)^n-i)",
    "Inverse incomplete beta function",
    "Incomplete beta function",
};

// Header lines of the dialogues and the number of values in the row under each.
constexpr Labelled kDialogueHeaders[] = {
    {"x, log(Gamma(x)), Gamma(x)", 3},
    {"p, Inverse P(p), inverse Q(p), Q(inverse Q(p)):", 4},
    {"x, P(x), Q(x), inverse Q(Q(x)):", 4},
    {"Number of degrees of freedom:", 1},
    {"p,Inverse P(p), inverse Q(p), Q(inverse Q(p)):", 4},
    {"x,P(x,nu), Q(x,nu), Q(inverse Q(x,nu)):", 4},
    {"Non-centrality parameter:", 1},
    {"x,P(x,nu,lambda), Q(x,nu,lambda):", 3},
    {"Number of degrees of freedom nu:", 1},
    {"p,Inverse A(p), inverse AQ(p), AQ(inverse AQ(p)):", 4},
    {"Numbers of degrees of freedom nu1, nu2:", 2},
    {"p,Inverse F(p,nu1,nu2), inverse FQ(p,nu1,nu2), FQ(inverse FQ(p,nu1,nu2)):", 4},
    {"Binomial probability parameter p:", 1},
    {"Sum parameters a and n:", 2},
    {"P(a,n), Q(a,n):", 2},
    {"Degrees of freedom parameters a, b:", 2},
    {"x,Inverse I(x,a,b), inverse IQ(x,a,b), I(inverse FQ(p,a,b),a,b):", 4},
    {"Degrees of freedom paramters a, b:", 2},
    {"x, I(x,a,b), 1-I(x,a,b), I(inverse I(x,a,b)a,b):", 4},
};

// Titles and labels of the general test's records with their numbers of
// values; the unlabelled records are the blank record and the log-gamma rows.
constexpr Labelled kGeneralTestLabels[] = {
    {"x, ln(Gamma(x)), Gamma(x):", 0},
    {"F-distribution Q = 0.5; A&S p. 986", 0},
    {"F-distribution Q = 0.25, A&S p. 986", 0},
    {"F-distribution Q = 0.001, A&S p. 989", 0},
    {"Student's t distribution, A&S p. 990", 0},
    {"Chi-square distribution, A&S p. 978", 0},
    {"nu1, nu2:", 2},
    {"Inverse:", 1},
    {"P(z,nu1,nu2):", 1},
    {"Q(z,nu1,nu2):", 1},
    {"p, nu:", 2},
    {"AP(z,nu):", 1},
    {"AQ(z,nu):", 1},
    {"chisq,nu:", 2},
    {"P(chisq,nu):", 1},
    {"Q(chisq,nu):", 1},
    {"p,nu,chisq:", 3},
    {"", 0},
    {"", 3},
};

// The double items of a value row: a free-form record of numbers only.
std::optional<std::size_t> ValueRowItems(std::string_view line) {
  if (line.empty() || line[0] != ' ') return std::nullopt;
  return CountDoubleItems(line.substr(1));
}

}  // namespace

bool IsPrintedDouble(std::string_view text) {
  return text == "INF" || text == "NaN" || IsFixedForm(text) || IsExponentForm(text);
}

std::optional<std::size_t> CountDoubleItems(std::string_view items) {
  std::size_t count = 0;
  while (!items.empty()) {
    if (items.size() < 2 || items[0] != ' ' || (items[1] != ' ' && items[1] != '-')) {
      return std::nullopt;
    }
    items.remove_prefix(2);
    const std::size_t end = std::min(items.size(), items.find(' '));
    if (!IsPrintedDouble(items.substr(0, end))) return std::nullopt;
    items.remove_prefix(end);
    ++count;
  }
  return count;
}

bool IsGeneralTestRecord(std::string_view line) {
  if (line.empty() || line[0] != ' ') return false;
  line.remove_prefix(1);
  return std::ranges::any_of(kGeneralTestLabels, [line](const Labelled& label) {
    return line.starts_with(label.text) &&
           CountDoubleItems(line.substr(label.text.size())) == label.values;
  });
}

std::optional<std::string> FirstDialogueLogFault(const std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::string where = "log line " + std::to_string(i + 1) + " \"" + line + "\": ";
    if (std::ranges::find(kDialogueTitles, line) != std::end(kDialogueTitles)) continue;
    const auto header = std::ranges::find(kDialogueHeaders, line, &Labelled::text);
    if (header == std::end(kDialogueHeaders)) {
      return where + "neither a title nor a header line, or a row without its header";
    }
    if (i + 1 == lines.size() || ValueRowItems(lines[i + 1]) != header->values) {
      return where + "not followed by a row of " + std::to_string(header->values) + " values";
    }
    ++i;
  }
  return std::nullopt;
}

}  // namespace fuzz
