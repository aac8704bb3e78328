// Reading answers from the console: free-form numbers and the menu field.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace console {

// Reads the next line without its line end (LF or CR LF); false at the end
// of the input.
bool ReadLine(std::istream& in, std::string& line);

// One free-form number: an optional sign, then digits with an optional
// decimal point (digits may be missing on one side of it) and an optional
// exponent introduced by E or D in either case; or NaN, Inf or Infinity in
// any case. Nothing if the text is malformed or overflows the double range.
std::optional<double> ParseFreeFormNumber(std::string_view text);

// Reads values.size() numbers, separated by blanks or a comma, going on to
// the next line while a line holds too few and skipping empty lines; the
// rest of the last line is ignored. False on a bad answer (the rest of its
// line is dropped). Throws EndOfInput when the input ends first.
bool ReadFreeFormNumbers(std::istream& in, std::span<double> values);

// The menu selection in a line: the first four characters, ending earlier
// at a comma, with blanks and tabs dropped, must be an optional sign and
// digits; an empty field or a lone sign reads as 0. Nothing if malformed.
std::optional<std::int32_t> ParseMenuSelection(std::string_view line);

}  // namespace console
