// The normal distribution's functions in R's standalone math library
// (pnorm, dnorm, qnorm with their lower-tail and log flags), for the
// accuracy report's normal rows.
#pragma once

#include "accuracy/peers.hpp"

namespace accuracy::r_math {
double NormalCdf(Arguments a);
double NormalSf(Arguments a);
double NormalLogCdf(Arguments a);
double NormalLogSf(Arguments a);
double NormalPdf(Arguments a);
double NormalQuantile(Arguments a);
double NormalQuantileUpper(Arguments a);
double NormalQuantileLog(Arguments a);
double NormalQuantileUpperLog(Arguments a);
}  // namespace accuracy::r_math
