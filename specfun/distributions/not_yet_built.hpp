// Placeholder definitions (NaN everywhere) for a distribution whose
// functions are still being built (internal; goes when the last one is).
#pragma once

#include <limits>

#define SPECFUN_NOT_YET_BUILT_ONE(D, f) \
  double f(const D&, double) { return std::numeric_limits<double>::quiet_NaN(); }
#define SPECFUN_NOT_YET_BUILT(D)                  \
  SPECFUN_NOT_YET_BUILT_ONE(D, cdf)               \
  SPECFUN_NOT_YET_BUILT_ONE(D, sf)                \
  SPECFUN_NOT_YET_BUILT_ONE(D, log_cdf)           \
  SPECFUN_NOT_YET_BUILT_ONE(D, log_sf)            \
  SPECFUN_NOT_YET_BUILT_ONE(D, pdf)               \
  SPECFUN_NOT_YET_BUILT_ONE(D, log_pdf)           \
  SPECFUN_NOT_YET_BUILT_ONE(D, quantile)          \
  SPECFUN_NOT_YET_BUILT_ONE(D, quantile_upper)    \
  SPECFUN_NOT_YET_BUILT_ONE(D, quantile_log)      \
  SPECFUN_NOT_YET_BUILT_ONE(D, quantile_upper_log)
