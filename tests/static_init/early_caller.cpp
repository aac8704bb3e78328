// Library calls made by this translation unit's static initialisers, which
// may run before any initialiser of the library's own translation units.
#include "tests/static_init/early_values.hpp"

#include "specfun/specfun.hpp"

namespace static_init {

const double kArgument = 10.0;
const double kProbability = 0.05;
const double kDegreesOfFreedom = 1.0;

const EarlyValues kEarlyValues = {specfun::LnGamma(kArgument),
                                  specfun::StudentInv(kProbability, kDegreesOfFreedom)};

}  // namespace static_init
