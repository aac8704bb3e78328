// What the log of a run may hold: the dialogues' titles, their header lines
// each followed by its value row, and the general test's free-form records.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// The number part of a double item: fixed form with 15 significant digits,
// exponent form d.dddddddddddddddE+ddd, INF or NaN.
bool IsPrintedDouble(std::string_view text);

// The number of double items in a run of them ("  1.00000000000000" or
// " -1.00000000000000" each), or nothing if the text is not such a run.
std::optional<std::size_t> CountDoubleItems(std::string_view items);

// A record of the general test: one blank, then one of its titles or labels
// or nothing, then as many double items as that record carries.
bool IsGeneralTestRecord(std::string_view line);

// The first fault of a log written by the dialogues: a line that is neither
// a title nor a header line, or a header line not followed by a value row
// with that header's number of values. Nothing if the log is sound.
std::optional<std::string> FirstDialogueLogFault(const std::vector<std::string>& lines);

}  // namespace fuzz
