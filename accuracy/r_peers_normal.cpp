// R's normal distribution for the accuracy report (a file of its own:
// Rmath.h defines macros that clash with Boost's names).
#define MATHLIB_STANDALONE
#include <Rmath.h>

#include "accuracy/r_peers_normal.hpp"

namespace accuracy::r_math {

double NormalCdf(Arguments a) { return pnorm(a[0], 0.0, 1.0, 1, 0); }
double NormalSf(Arguments a) { return pnorm(a[0], 0.0, 1.0, 0, 0); }
double NormalLogCdf(Arguments a) { return pnorm(a[0], 0.0, 1.0, 1, 1); }
double NormalLogSf(Arguments a) { return pnorm(a[0], 0.0, 1.0, 0, 1); }
double NormalPdf(Arguments a) { return dnorm(a[0], 0.0, 1.0, 0); }
double NormalQuantile(Arguments a) { return qnorm(a[0], 0.0, 1.0, 1, 0); }
double NormalQuantileUpper(Arguments a) { return qnorm(a[0], 0.0, 1.0, 0, 0); }
double NormalQuantileLog(Arguments a) { return qnorm(a[0], 0.0, 1.0, 1, 1); }
double NormalQuantileUpperLog(Arguments a) { return qnorm(a[0], 0.0, 1.0, 0, 1); }

}  // namespace accuracy::r_math
