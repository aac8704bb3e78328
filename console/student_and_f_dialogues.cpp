// Options 6 and 7: Student's t distribution and the F-distribution, each
// inverted at a probability and evaluated at a limit, with the round trip
// through the inverse.

#include "console/dialogues.hpp"
#include "console/lower_tail_inverses.hpp"
#include "console/readers.hpp"
#include "console/records.hpp"
#include "console/texts.hpp"
#include "specfun/specfun.hpp"

namespace console {
namespace {

void InverseStudentSection(Channels& channels) {
  WriteBoth(channels, texts::kInverseStudentTitle);
  const double p = ReadProbability(channels);
  const double nu = ReadDegreesOfFreedom(channels);
  const double complement = 1.0 - p;
  const double inverse = specfun::StudentInv(p, nu);
  const double inverseOfComplement = ComplementIsOne(complement)
                                         ? CentralStudentQuantile(p, nu)
                                         : specfun::StudentInv(complement, nu);
  const double roundTrip = specfun::StudentAQ(inverse, nu);
  WriteBoth(channels, texts::kStudentDegreesHeader);
  WriteRow(channels, {Real(nu)});
  WriteBoth(channels, texts::kInverseStudentHeader);
  WriteRow(channels, {Real(p), Real(inverseOfComplement), Real(inverse), Real(roundTrip)});
}

void StudentSection(Channels& channels) {
  WriteBoth(channels, texts::kStudentTitle);
  const double x = ReadLimitX(channels, 1);
  const double nu = ReadDegreesOfFreedom(channels);
  const double central = specfun::StudentA(x, nu);
  const double tail = specfun::StudentAQ(x, nu);
  const double roundTrip = specfun::StudentInv(tail, nu);
  WriteBoth(channels, texts::kStudentDegreesHeader);
  WriteRow(channels, {Real(nu)});
  WriteBoth(channels, texts::kTailsHeader);
  WriteRow(channels, {Real(x), Real(central), Real(tail), Real(roundTrip)});
}

void InverseFSection(Channels& channels) {
  WriteBoth(channels, texts::kInverseFTitle);
  const double p = ReadProbability(channels);
  const auto [nu1, nu2] = AskPositivePair(channels, texts::kInverseFDegreesOfFreedom);
  const double complement = 1.0 - p;
  const double inverse = specfun::FDistInv(p, nu1, nu2);
  const double inverseOfComplement = ComplementIsOne(complement)
                                         ? LowerFQuantile(p, nu1, nu2)
                                         : specfun::FDistInv(complement, nu1, nu2);
  const double roundTrip = specfun::FDistQ(inverse, nu1, nu2);
  WriteBoth(channels, texts::kFDegreesHeader);
  WriteRow(channels, {Real(nu1), Real(nu2)});
  WriteBoth(channels, texts::kInverseFHeader);
  WriteRow(channels, {Real(p), Real(inverseOfComplement), Real(inverse), Real(roundTrip)});
}

void FSection(Channels& channels) {
  WriteBoth(channels, texts::kFTitle);
  const double x = ReadLimitX(channels, 1);
  const auto [nu1, nu2] = AskPositivePair(channels, texts::kFDegreesOfFreedom);
  const double lower = specfun::FDistP(x, nu1, nu2);
  const double upper = specfun::FDistQ(x, nu1, nu2);
  const double roundTrip = specfun::FDistInv(upper, nu1, nu2);
  WriteBoth(channels, texts::kFDegreesHeader);
  WriteRow(channels, {Real(nu1), Real(nu2)});
  WriteBoth(channels, texts::kTailsHeader);
  WriteRow(channels, {Real(x), Real(lower), Real(upper), Real(roundTrip)});
}

}  // namespace

void StudentDialogue(Channels& channels) {
  InverseStudentSection(channels);
  StudentSection(channels);
}

void FDistributionDialogue(Channels& channels) {
  InverseFSection(channels);
  FSection(channels);
}

}  // namespace console
