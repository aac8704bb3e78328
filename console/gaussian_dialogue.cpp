// Option 3: the Gaussian upper tail, its inverse and their round trips.
#include "console/dialogues.hpp"
#include "console/lower_tail_inverses.hpp"
#include "console/readers.hpp"
#include "console/records.hpp"
#include "console/texts.hpp"
#include "specfun/specfun.hpp"

namespace console {
namespace {

// The deviates of p as an upper and as a lower tail, and Q of the first.
void InverseGaussianSection(Channels& channels) {
  WriteBoth(channels, texts::kInverseGaussianTitle);
  const double p = ReadProbability(channels);
  const double complement = 1.0 - p;
  const double upperDeviate = specfun::QGaussInv(p);
  const double lowerDeviate = ComplementIsOne(complement) ? LowerGaussianDeviate(p)
                                                         : specfun::QGaussInv(complement);
  const double roundTrip = specfun::QGauss(upperDeviate);
  WriteBoth(channels, texts::kInverseGaussianHeader);
  WriteRow(channels, {Real(p), Real(lowerDeviate), Real(upperDeviate), Real(roundTrip)});
}

// Both tails at X, and the inverse of the upper one.
void GaussianSection(Channels& channels) {
  WriteBoth(channels, texts::kGaussianTitle);
  const double x = ReadLimitX(channels, 0);
  const double minusX = -x;
  const double upper = specfun::QGauss(x);
  const double lower = specfun::QGauss(minusX);
  const double roundTrip = specfun::QGaussInv(upper);
  WriteBoth(channels, texts::kGaussianHeader);
  WriteRow(channels, {Real(x), Real(lower), Real(upper), Real(roundTrip)});
}

}  // namespace

void GaussianDialogue(Channels& channels) {
  InverseGaussianSection(channels);
  GaussianSection(channels);
}

}  // namespace console
