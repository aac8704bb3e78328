// The batch form of the inverse chi-square distribution: the Newton runs of
// a chunk side by side (ChiSquareInvInLockstep); probabilities outside
// (0, 1) and degrees of freedom outside (0, ∞) are answered by the scalar
// routine in order, with their reports.

#include "specfun/kernels/batch.hpp"
#include "specfun/routines/chi_square_inverse.hpp"
#include "specfun/specfun.hpp"

namespace specfun {

void ChiSquareInvBatch(const double* p, const double* nu, double* result, std::size_t count) {
  detail::RunBatch(
      count,
      [=](std::size_t begin, std::size_t end, detail::ElementFlag* flags,
          detail::DeferredRecords&) {
        detail::ChiSquareInvInLockstep(p + begin, nu + begin, end - begin, result + begin, flags);
      },
      [=](std::size_t i) { result[i] = ChiSquareInv(p[i], nu[i]); });
}

}  // namespace specfun
