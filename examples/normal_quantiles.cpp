// Prints two-sided normal quantiles and the tail they leave.
#include <cstdio>

#include "specfun/specfun.hpp"

int main() {
  for (double level : {0.10, 0.05, 0.01}) {
    const double z = specfun::QGaussInv(level / 2);
    std::printf("%.2f %.6f %.3g\n", level, z, 2 * specfun::QGauss(z));
  }
}
