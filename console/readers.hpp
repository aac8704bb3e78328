// Prompted readers: ask for numbers until the answer is valid.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "console/channels.hpp"
#include "console/texts.hpp"

namespace console {

using texts::PromptTexts;

using AcceptTest = bool (*)(std::span<const double> values);

// Writes the prompt and reads values.size() numbers until `accept` takes
// them: a bad answer gets the read-error message (and its retry line), a
// rejected one the range message and its retry line. All on the console.
void AskNumbers(Channels& channels, const PromptTexts& texts, std::span<double> values,
                AcceptTest accept);

// One number, asked for until `accept` takes it.
double AskNumber(Channels& channels, const PromptTexts& texts, AcceptTest accept);

// Two numbers on one answer, asked for until both are positive.
struct PositivePair {
  double first = 0.0;
  double second = 0.0;
};
PositivePair AskPositivePair(Channels& channels, const PromptTexts& texts);

// A probability p with 0 < p < 1.
double ReadProbability(Channels& channels);

// A variable limit X; only X >= 0 when nonnegativeOnly is nonzero.
double ReadLimitX(Channels& channels, const std::int32_t& nonnegativeOnly);

// A number of degrees of freedom nu > 0.
double ReadDegreesOfFreedom(Channels& channels);

// Tests shared by the readers and the dialogues' prompt loops; each rejects
// a NaN.
bool AllPositive(std::span<const double> values);
bool AllNonnegative(std::span<const double> values);

}  // namespace console
