// Prints two-sided normal quantiles and the tail they leave; the library's
// reports (here, on a probability outside [0, 1]) go to standard error.
#include <cstdio>

#include "specfun/specfun.hpp"

namespace {

void ToStandardError(specfun::Report report, void*) {
  for (const specfun::Record record : report) {
    std::fprintf(stderr, "specfun:%s\n", specfun::FormatFreeFormRecord(record).c_str());
  }
}

}  // namespace

int main() {
  const specfun::ScopedDiagnosticSink toStandardError({&ToStandardError, nullptr});
  for (double level : {0.10, 0.05, 0.01}) {
    const double z = specfun::QGaussInv(level / 2);
    std::printf("%.2f %.6f %.3g\n", level, z, 2 * specfun::QGauss(z));
  }
  specfun::QGaussInv(1.5);
}
