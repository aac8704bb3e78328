#include "log_grammar.hpp"

#include <algorithm>
#include <cstddef>

#include "console/texts.hpp"

namespace fuzz {
namespace {

namespace texts = console::texts;

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
    texts::kLogGammaTitle,
    texts::kInverseGaussianTitle,
    texts::kGaussianTitle,
    texts::kInverseChiSquareTitle,
    texts::kChiSquareTitle,
    texts::kNonCentralChiSquareTitle,
    texts::kInverseStudentTitle,
    texts::kStudentTitle,
    texts::kInverseFTitle,
    texts::kFTitle,
    texts::kBinomialTitle,
    texts::kInverseBetaTitle,
    texts::kBetaTitle,
};

// Header lines of the dialogues and the number of values in the row under each.
constexpr Labelled kDialogueHeaders[] = {
    {texts::kLogGammaHeader, 3},
    {texts::kInverseGaussianHeader, 4},
    {texts::kGaussianHeader, 4},
    {texts::kDegreesOfFreedomHeader, 1},
    {texts::kInverseChiSquareHeader, 4},
    {texts::kTailsHeader, 4},
    {texts::kNonCentralityHeader, 1},
    {texts::kNonCentralTailsHeader, 3},
    {texts::kStudentDegreesHeader, 1},
    {texts::kInverseStudentHeader, 4},
    {texts::kFDegreesHeader, 2},
    {texts::kInverseFHeader, 4},
    {texts::kBinomialProbabilityHeader, 1},
    {texts::kSumParametersHeader, 2},
    {texts::kBinomialSumsHeader, 2},
    {texts::kInverseBetaParametersHeader, 2},
    {texts::kInverseBetaHeader, 4},
    {texts::kBetaParametersHeader, 2},
    {texts::kBetaHeader, 4},
};

// Titles and labels of the general test's records with their numbers of
// values; the unlabelled records are the blank record and the log-gamma rows.
constexpr Labelled kGeneralTestLabels[] = {
    {texts::kGeneralLogGammaTitle, 0},
    {texts::kGeneralFTitles[0], 0},
    {texts::kGeneralFTitles[1], 0},
    {texts::kGeneralFTitles[2], 0},
    {texts::kGeneralStudentTitle, 0},
    {texts::kGeneralChiSquareTitle, 0},
    {texts::kDegreesPairLabel, 2},
    {texts::kInverseLabel, 1},
    {texts::kFLowerLabel, 1},
    {texts::kFUpperLabel, 1},
    {texts::kProbabilityDegreesLabel, 2},
    {texts::kStudentCentralLabel, 1},
    {texts::kStudentTailLabel, 1},
    {texts::kChiSquareArgumentsLabel, 2},
    {texts::kChiSquareLowerLabel, 1},
    {texts::kChiSquareUpperLabel, 1},
    {texts::kChiSquareRoundTripLabel, 3},
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
