// R's non-central chi-square functions on the precise family's arguments
// (df, ncp, x or a probability), kept apart from Boost's names as
// r_peers.cpp is.
#pragma once

#include "accuracy/peers.hpp"

namespace accuracy::r_math {

// Index 0..9: cdf, sf, log_cdf, log_sf, pdf, log_pdf, quantile,
// quantile_upper, quantile_log, quantile_upper_log.
double NonCentralChiSquared(int function, Arguments a);

}  // namespace accuracy::r_math
