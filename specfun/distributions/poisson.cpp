#include "specfun/distributions.hpp"
#include "specfun/distributions/not_yet_built.hpp"

namespace specfun {
SPECFUN_NOT_YET_BUILT(Poisson)
}  // namespace specfun
