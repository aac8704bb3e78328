// R's pnchisq, dnchisq and qnchisq for the non-central chi-square rows.
#define MATHLIB_STANDALONE
#include <Rmath.h>

#include "accuracy/r_peers_noncentral_chi_squared.hpp"

namespace accuracy::r_math {

double NonCentralChiSquared(int function, Arguments a) {
  const double df = a[0], ncp = a[1], v = a[2];
  switch (function) {
    case 0: return pnchisq(v, df, ncp, 1, 0);
    case 1: return pnchisq(v, df, ncp, 0, 0);
    case 2: return pnchisq(v, df, ncp, 1, 1);
    case 3: return pnchisq(v, df, ncp, 0, 1);
    case 4: return dnchisq(v, df, ncp, 0);
    case 5: return dnchisq(v, df, ncp, 1);
    case 6: return qnchisq(v, df, ncp, 1, 0);
    case 7: return qnchisq(v, df, ncp, 0, 0);
    case 8: return qnchisq(v, df, ncp, 1, 1);
    default: return qnchisq(v, df, ncp, 0, 1);
  }
}

}  // namespace accuracy::r_math
