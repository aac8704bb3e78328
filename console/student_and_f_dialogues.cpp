// Options 6 and 7: Student's t distribution and the F-distribution, each
// inverted at a probability and evaluated at a limit, with the round trip
// through the inverse.

#include "console/dialogues.hpp"
#include "console/readers.hpp"
#include "console/records.hpp"
#include "specfun/specfun.hpp"

namespace console {
namespace {

// The two local prompt loops for the F-distribution's degrees of freedom:
// one prompt, two sets of messages (the first section's and the second's).
constexpr std::string_view kDegreesOfFreedomPairPrompt =
    "Please input the two DOFs (floating point) separated by commas:";

constexpr PromptTexts kInverseFDegreesOfFreedom{
    kDegreesOfFreedomPairPrompt, "Please input valid positive floating point numbers.", "",
    "Degrees of freedom must both be greater than 0.", "Please try again."};

constexpr PromptTexts kFDegreesOfFreedom{
    kDegreesOfFreedomPairPrompt, "Please input valid positive floating point number", "",
    "Degreess of freedom must both be greater than 0", "Please try again"};

void InverseStudentSection(Channels& channels) {
  WriteBoth(channels, "Inverse Student's t distribution");
  const double p = ReadProbability(channels);
  const double nu = ReadDegreesOfFreedom(channels);
  const double complement = 1.0 - p;
  const double inverse = specfun::StudentInv(p, nu);
  const double inverseOfComplement = specfun::StudentInv(complement, nu);
  const double roundTrip = specfun::StudentAQ(inverse, nu);
  WriteBoth(channels, "Number of degrees of freedom nu:");
  WriteRow(channels, {Real(nu)});
  WriteBoth(channels, "p,Inverse A(p), inverse AQ(p), AQ(inverse AQ(p)):");
  WriteRow(channels, {Real(p), Real(inverseOfComplement), Real(inverse), Real(roundTrip)});
}

void StudentSection(Channels& channels) {
  WriteBoth(channels, "Student's t distribution");
  const double x = ReadLimitX(channels, 1);
  const double nu = ReadDegreesOfFreedom(channels);
  const double central = specfun::StudentA(x, nu);
  const double tail = specfun::StudentAQ(x, nu);
  const double roundTrip = specfun::StudentInv(tail, nu);
  WriteBoth(channels, "Number of degrees of freedom nu:");
  WriteRow(channels, {Real(nu)});
  WriteBoth(channels, "x,P(x,nu), Q(x,nu), Q(inverse Q(x,nu)):");
  WriteRow(channels, {Real(x), Real(central), Real(tail), Real(roundTrip)});
}

void InverseFSection(Channels& channels) {
  WriteBoth(channels, "Inverse F-distribution");
  const double p = ReadProbability(channels);
  const auto [nu1, nu2] = AskPositivePair(channels, kInverseFDegreesOfFreedom);
  const double complement = 1.0 - p;
  const double inverse = specfun::FDistInv(p, nu1, nu2);
  const double inverseOfComplement = specfun::FDistInv(complement, nu1, nu2);
  const double roundTrip = specfun::FDistQ(inverse, nu1, nu2);
  WriteBoth(channels, "Numbers of degrees of freedom nu1, nu2:");
  WriteRow(channels, {Real(nu1), Real(nu2)});
  WriteBoth(channels,
            "p,Inverse F(p,nu1,nu2), inverse FQ(p,nu1,nu2), FQ(inverse FQ(p,nu1,nu2)):");
  WriteRow(channels, {Real(p), Real(inverseOfComplement), Real(inverse), Real(roundTrip)});
}

void FSection(Channels& channels) {
  WriteBoth(channels, "F-distribution");
  const double x = ReadLimitX(channels, 1);
  const auto [nu1, nu2] = AskPositivePair(channels, kFDegreesOfFreedom);
  const double lower = specfun::FDistP(x, nu1, nu2);
  const double upper = specfun::FDistQ(x, nu1, nu2);
  const double roundTrip = specfun::FDistInv(upper, nu1, nu2);
  WriteBoth(channels, "Numbers of degrees of freedom nu1, nu2:");
  WriteRow(channels, {Real(nu1), Real(nu2)});
  WriteBoth(channels, "x,P(x,nu), Q(x,nu), Q(inverse Q(x,nu)):");
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
