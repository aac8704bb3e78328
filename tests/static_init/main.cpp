// The library's results do not depend on the order of static initialisation:
// values computed by another translation unit's static initialisers (linked
// ahead of the library, so they run first) equal the same calls made from
// main. Exit status 0 when they agree bit for bit.
#include <cstdio>
#include <cstring>

#include "specfun/specfun.hpp"
#include "tests/static_init/early_values.hpp"

namespace {

bool SameBits(const char* name, double early, double late) {
  if (std::memcmp(&early, &late, sizeof early) == 0) return true;
  std::printf("%s: %.17g during static initialisation, %.17g from main\n", name, early, late);
  return false;
}

}  // namespace

int main() {
  const double argument = 10.0;
  const double probability = 0.05;
  const double degreesOfFreedom = 1.0;
  const bool lnGammaAgrees =
      SameBits("LnGamma(10)", static_init::kEarlyValues.lnGammaOfTen, specfun::LnGamma(argument));
  const bool studentInvAgrees =
      SameBits("StudentInv(0.05, 1)", static_init::kEarlyValues.studentInvOneDegree,
               specfun::StudentInv(probability, degreesOfFreedom));
  return lnGammaAgrees && studentInvAgrees ? 0 : 1;
}
