// Options 4 and 5: the chi-square distribution with its inverse, and the
// non-central chi-square distribution.
#include <cstdint>

#include "console/dialogues.hpp"
#include "console/readers.hpp"
#include "console/records.hpp"
#include "specfun/specfun.hpp"

namespace console {
namespace {

constexpr std::int32_t kNonnegativeOnly = 1;

constexpr PromptTexts kNonCentrality{
    "Please input the non-centrality parameter (floating point)",
    "Please input valid positive floating point number", "",
    "Non-centrality paramter must be greater than 0", "Please try again"};

void InverseChiSquareSection(Channels& channels) {
  WriteBoth(channels, "Inverse chi-square distribution function");
  const double p = ReadProbability(channels);
  const double nu = ReadDegreesOfFreedom(channels);
  const double complement = 1.0 - p;
  const double inverseQ = specfun::ChiSquareInv(p, nu);
  const double inverseP = specfun::ChiSquareInv(complement, nu);
  const double roundTrip = specfun::ChiSquare(inverseQ, nu, specfun::kUpperTail);
  WriteBoth(channels, "Number of degrees of freedom:");
  WriteRow(channels, {Real(nu)});
  WriteBoth(channels, "p,Inverse P(p), inverse Q(p), Q(inverse Q(p)):");
  WriteRow(channels, {Real(p), Real(inverseP), Real(inverseQ), Real(roundTrip)});
}

void ChiSquareSection(Channels& channels) {
  WriteBoth(channels, "Chi-square distribution function");
  const double x = ReadLimitX(channels, kNonnegativeOnly);
  const double nu = ReadDegreesOfFreedom(channels);
  const double lower = specfun::ChiSquare(x, nu, specfun::kLowerTail);
  const double upper = specfun::ChiSquare(x, nu, specfun::kUpperTail);
  const double roundTrip = specfun::ChiSquareInv(upper, nu);
  WriteBoth(channels, "Number of degrees of freedom:");
  WriteRow(channels, {Real(nu)});
  WriteBoth(channels, "x,P(x,nu), Q(x,nu), Q(inverse Q(x,nu)):");
  WriteRow(channels, {Real(x), Real(lower), Real(upper), Real(roundTrip)});
}

}  // namespace

void ChiSquareDialogue(Channels& channels) {
  InverseChiSquareSection(channels);
  ChiSquareSection(channels);
}

void NonCentralChiSquareDialogue(Channels& channels) {
  WriteBoth(channels, "Non-central chi-square distribution function");
  const double x = ReadLimitX(channels, kNonnegativeOnly);
  const double nu = ReadDegreesOfFreedom(channels);
  const double lambda = AskNumber(channels, kNonCentrality, AllPositive);
  const double lower = specfun::NCChiSquare(x, nu, lambda, specfun::kLowerTail);
  const double upper = specfun::NCChiSquare(x, nu, lambda, specfun::kUpperTail);
  WriteBoth(channels, "Number of degrees of freedom:");
  WriteRow(channels, {Real(nu)});
  WriteBoth(channels, "Non-centrality parameter:");
  WriteRow(channels, {Real(lambda)});
  WriteBoth(channels, "x,P(x,nu,lambda), Q(x,nu,lambda):");
  WriteRow(channels, {Real(x), Real(lower), Real(upper)});
}

}  // namespace console
