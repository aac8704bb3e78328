// Options 8 and 9: the binomial sums, and the incomplete beta function
// inverted at a probability and evaluated at a point, with the round trip
// through the inverse.
#include <cmath>
#include <span>

#include "console/dialogues.hpp"
#include "console/readers.hpp"
#include "console/records.hpp"
#include "specfun/specfun.hpp"

namespace console {
namespace {

constexpr PromptTexts kBinomialProbability{
    "Please input probability parameter p",
    "Please input valid nonnegative floating point number", "",
    "Number for P(x,nu) and Q(x,nu) must be nonnegative", "Please try again."};

constexpr PromptTexts kSumParameters{
    "Please input the numbers a and n (floating point) separated by commas:",
    "Please input valid positive floating point number", "",
    "Bith a and n must be greater than 0", "Please try again"};

constexpr PromptTexts kInverseBetaParameters{
    "Please input the degrees of freedom paramters a and b (floating point) separated by "
    "commas:",
    "Please input valid positive floating point numbers", "",
    "Degrees of freedom parameters must both be greater than 0", "Please try again"};

constexpr PromptTexts kBetaPoint{"Please input the paramter x between 0 and 1 (inclusive)",
                                 "Please input valid nonnegative floating point number", "",
                                 "Number for paramter x must not be negative or >1",
                                 "Please try again."};

constexpr PromptTexts kBetaParameters{
    "Please input the degrees of freedom parameters a and b (floating point) separated by "
    "commas:",
    "Please input valid positive floating point numbers", "",
    "Degreess of freedom paramters must both be greater than 0", "Please try again"};

// 0 <= x <= 1, tested as a distance from 1/2 so that a NaN passes.
bool WithinUnitInterval(std::span<const double> values) {
  return !(std::fabs(values[0] - 0.5) > 0.5);
}

void InverseBetaSection(Channels& channels) {
  WriteBoth(channels, "Inverse incomplete beta function");
  const double p = ReadProbability(channels);
  const auto [a, b] = AskPositivePair(channels, kInverseBetaParameters);
  const double complement = 1.0 - p;
  const double inverse = specfun::BetaInv(p, a, b);
  const double inverseOfComplement = specfun::BetaInv(complement, a, b);
  const double roundTrip = specfun::BETAF(inverse, a, b);
  WriteBoth(channels, "Degrees of freedom parameters a, b:");
  WriteRow(channels, {Real(a), Real(b)});
  WriteBoth(channels, "x,Inverse I(x,a,b), inverse IQ(x,a,b), I(inverse FQ(p,a,b),a,b):");
  WriteRow(channels, {Real(p), Real(inverseOfComplement), Real(inverse), Real(roundTrip)});
}

void BetaSection(Channels& channels) {
  WriteBoth(channels, "Incomplete beta function");
  const double x = AskNumber(channels, kBetaPoint, WithinUnitInterval);
  const auto [a, b] = AskPositivePair(channels, kBetaParameters);
  const double value = specfun::BETAF(x, a, b);
  const double complement = 1.0 - specfun::BETAF(x, a, b);
  const double roundTrip = specfun::BetaInv(value, a, b);
  WriteBoth(channels, "Degrees of freedom paramters a, b:");
  WriteRow(channels, {Real(a), Real(b)});
  WriteBoth(channels, "x, I(x,a,b), 1-I(x,a,b), I(inverse I(x,a,b)a,b):");
  WriteRow(channels, {Real(x), Real(value), Real(complement), Real(roundTrip)});
}

}  // namespace

void BinomialDialogue(Channels& channels) {
  WriteBoth(channels, "Binomial distribution sum(i=0 to a-1): (n!/(i!*(n-i)!)*p^i*(1-p)^n-i)");
  const double p = AskNumber(channels, kBinomialProbability, AllNonnegative);
  const auto [a, n] = AskPositivePair(channels, kSumParameters);
  const double fewer = specfun::BinomP(p, a, n);
  const double atLeast = specfun::BinomQ(p, a, n);
  WriteBoth(channels, "Binomial probability parameter p:");
  WriteRow(channels, {Real(p)});
  WriteBoth(channels, "Sum parameters a and n:");
  WriteRow(channels, {Real(a), Real(n)});
  WriteBoth(channels, "P(a,n), Q(a,n):");
  WriteRow(channels, {Real(fewer), Real(atLeast)});
}

void IncompleteBetaDialogue(Channels& channels) {
  InverseBetaSection(channels);
  BetaSection(channels);
}

}  // namespace console
