// Batch forms of the inverses of the incomplete beta, t, F and chi-square
// distributions.
#include "specfun/specfun.hpp"

namespace specfun {

void BetaInvBatch(const double* p, const double* a, const double* b, double* result,
                  std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) result[i] = BetaInv(p[i], a[i], b[i]);
}

void FDistInvBatch(const double* p, const double* nu1, const double* nu2, double* result,
                   std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) result[i] = FDistInv(p[i], nu1[i], nu2[i]);
}

void StudentInvBatch(const double* p, const double* nu, double* result, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) result[i] = StudentInv(p[i], nu[i]);
}

void ChiSquareInvBatch(const double* p, const double* nu, double* result, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) result[i] = ChiSquareInv(p[i], nu[i]);
}

}  // namespace specfun
