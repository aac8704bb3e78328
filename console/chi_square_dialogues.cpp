// Options 4 and 5: the chi-square distribution with its inverse, and the
// non-central chi-square distribution.
#include <cstdint>

#include "console/dialogues.hpp"
#include "console/lower_tail_inverses.hpp"
#include "console/readers.hpp"
#include "console/records.hpp"
#include "console/texts.hpp"
#include "specfun/specfun.hpp"

namespace console {
namespace {

constexpr std::int32_t kNonnegativeOnly = 1;

void InverseChiSquareSection(Channels& channels) {
  WriteBoth(channels, texts::kInverseChiSquareTitle);
  const double p = ReadProbability(channels);
  const double nu = ReadDegreesOfFreedom(channels);
  const double complement = 1.0 - p;
  const double inverseQ = specfun::ChiSquareInv(p, nu);
  const double inverseP = ComplementIsOne(complement) ? LowerChiSquareQuantile(p, nu)
                                                     : specfun::ChiSquareInv(complement, nu);
  const double roundTrip = specfun::ChiSquare(inverseQ, nu, specfun::kUpperTail);
  WriteBoth(channels, texts::kDegreesOfFreedomHeader);
  WriteRow(channels, {Real(nu)});
  WriteBoth(channels, texts::kInverseChiSquareHeader);
  WriteRow(channels, {Real(p), Real(inverseP), Real(inverseQ), Real(roundTrip)});
}

void ChiSquareSection(Channels& channels) {
  WriteBoth(channels, texts::kChiSquareTitle);
  const double x = ReadLimitX(channels, kNonnegativeOnly);
  const double nu = ReadDegreesOfFreedom(channels);
  const double lower = specfun::ChiSquare(x, nu, specfun::kLowerTail);
  const double upper = specfun::ChiSquare(x, nu, specfun::kUpperTail);
  const double roundTrip = specfun::ChiSquareInv(upper, nu);
  WriteBoth(channels, texts::kDegreesOfFreedomHeader);
  WriteRow(channels, {Real(nu)});
  WriteBoth(channels, texts::kTailsHeader);
  WriteRow(channels, {Real(x), Real(lower), Real(upper), Real(roundTrip)});
}

}  // namespace

void ChiSquareDialogue(Channels& channels) {
  InverseChiSquareSection(channels);
  ChiSquareSection(channels);
}

void NonCentralChiSquareDialogue(Channels& channels) {
  WriteBoth(channels, texts::kNonCentralChiSquareTitle);
  const double x = ReadLimitX(channels, kNonnegativeOnly);
  const double nu = ReadDegreesOfFreedom(channels);
  const double lambda = AskNumber(channels, texts::kNonCentrality, AllPositive);
  const double lower = specfun::NCChiSquare(x, nu, lambda, specfun::kLowerTail);
  const double upper = specfun::NCChiSquare(x, nu, lambda, specfun::kUpperTail);
  WriteBoth(channels, texts::kDegreesOfFreedomHeader);
  WriteRow(channels, {Real(nu)});
  WriteBoth(channels, texts::kNonCentralityHeader);
  WriteRow(channels, {Real(lambda)});
  WriteBoth(channels, texts::kNonCentralTailsHeader);
  WriteRow(channels, {Real(x), Real(lower), Real(upper)});
}

}  // namespace console
