#include "console/readers.hpp"

#include <algorithm>

#include "console/input.hpp"
#include "console/records.hpp"

namespace console {
namespace {

void WriteMessage(Channels& channels, std::string_view message) {
  if (!message.empty()) WriteConsole(channels, {Text(message)});
}

}  // namespace

double AskNumber(Channels& channels, const PromptTexts& texts, AcceptTest accept) {
  double value = 0.0;
  AskNumbers(channels, texts, std::span(&value, 1), accept);
  return value;
}

PositivePair AskPositivePair(Channels& channels, const PromptTexts& texts) {
  double values[2] = {0.0, 0.0};
  AskNumbers(channels, texts, std::span(values), AllPositive);
  return {values[0], values[1]};
}

bool AllPositive(std::span<const double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return v > 0.0; });
}

bool AllNonnegative(std::span<const double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return v >= 0.0; });
}

void AskNumbers(Channels& channels, const PromptTexts& texts, std::span<double> values,
                AcceptTest accept) {
  for (;;) {
    WriteConsole(channels, {Text(texts.prompt)});
    if (!ReadFreeFormNumbers(channels.in, values)) {
      WriteMessage(channels, texts.readError);
      WriteMessage(channels, texts.readErrorRetry);
      continue;
    }
    if (accept(values)) return;
    WriteMessage(channels, texts.rangeMessage);
    WriteMessage(channels, texts.rangeRetry);
  }
}

double ReadProbability(Channels& channels) {
  return AskNumber(channels, texts::kProbability, [](std::span<const double> p) {
    return p[0] > 0.0 && p[0] < 1.0;
  });
}

double ReadLimitX(Channels& channels, const std::int32_t& nonnegativeOnly) {
  if (nonnegativeOnly != 0) return AskNumber(channels, texts::kNonnegativeLimit, AllNonnegative);
  return AskNumber(channels, texts::kAnyLimit, [](std::span<const double>) { return true; });
}

double ReadDegreesOfFreedom(Channels& channels) {
  return AskNumber(channels, texts::kDegreesOfFreedom, AllPositive);
}

}  // namespace console
