// Options 8 and 9: the binomial sums, and the incomplete beta function
// inverted at a probability and evaluated at a point, with the round trip
// through the inverse.
#include <cmath>
#include <span>

#include "console/dialogues.hpp"
#include "console/lower_tail_inverses.hpp"
#include "console/readers.hpp"
#include "console/records.hpp"
#include "console/texts.hpp"
#include "specfun/specfun.hpp"

namespace console {
namespace {

// 0 <= x <= 1, tested as a distance from 1/2 so that a NaN passes.
bool WithinUnitInterval(std::span<const double> values) {
  return !(std::fabs(values[0] - 0.5) > 0.5);
}

void InverseBetaSection(Channels& channels) {
  WriteBoth(channels, texts::kInverseBetaTitle);
  const double p = ReadProbability(channels);
  const auto [a, b] = AskPositivePair(channels, texts::kInverseBetaParameters);
  const double complement = 1.0 - p;
  const double inverse = specfun::BetaInv(p, a, b);
  const double inverseOfComplement = ComplementIsOne(complement)
                                         ? UpperBetaQuantile(p, a, b)
                                         : specfun::BetaInv(complement, a, b);
  const double roundTrip = specfun::BETAF(inverse, a, b);
  WriteBoth(channels, texts::kInverseBetaParametersHeader);
  WriteRow(channels, {Real(a), Real(b)});
  WriteBoth(channels, texts::kInverseBetaHeader);
  WriteRow(channels, {Real(p), Real(inverseOfComplement), Real(inverse), Real(roundTrip)});
}

void BetaSection(Channels& channels) {
  WriteBoth(channels, texts::kBetaTitle);
  const double x = AskNumber(channels, texts::kBetaPoint, WithinUnitInterval);
  const auto [a, b] = AskPositivePair(channels, texts::kBetaParameters);
  const double value = specfun::BETAF(x, a, b);
  const double complement = 1.0 - specfun::BETAF(x, a, b);
  const double roundTrip = specfun::BetaInv(value, a, b);
  WriteBoth(channels, texts::kBetaParametersHeader);
  WriteRow(channels, {Real(a), Real(b)});
  WriteBoth(channels, texts::kBetaHeader);
  WriteRow(channels, {Real(x), Real(value), Real(complement), Real(roundTrip)});
}

}  // namespace

void BinomialDialogue(Channels& channels) {
  WriteBoth(channels, texts::kBinomialTitle);
  const double p = AskNumber(channels, texts::kBinomialProbability, AllNonnegative);
  const auto [a, n] = AskPositivePair(channels, texts::kSumParameters);
  const double fewer = specfun::BinomP(p, a, n);
  const double atLeast = specfun::BinomQ(p, a, n);
  WriteBoth(channels, texts::kBinomialProbabilityHeader);
  WriteRow(channels, {Real(p)});
  WriteBoth(channels, texts::kSumParametersHeader);
  WriteRow(channels, {Real(a), Real(n)});
  WriteBoth(channels, texts::kBinomialSumsHeader);
  WriteRow(channels, {Real(fewer), Real(atLeast)});
}

void IncompleteBetaDialogue(Channels& channels) {
  InverseBetaSection(channels);
  BetaSection(channels);
}

}  // namespace console
