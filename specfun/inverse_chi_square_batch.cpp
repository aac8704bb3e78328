// The batch form of the inverse chi-square distribution: the scalar routine
// element by element, side by side only across cores, since its Newton steps
// are not split into lanes; probabilities outside (0, 1) are answered in
// order, with their reports.
#include "specfun/batch.hpp"
#include "specfun/specfun.hpp"

namespace specfun {

void ChiSquareInvBatch(const double* p, const double* nu, double* result, std::size_t count) {
  detail::RunBatch(
      count,
      [=](std::size_t begin, std::size_t end, detail::ElementFlag* flags,
          detail::DeferredRecords&) {
        for (std::size_t i = begin; i < end; ++i) {
          const bool inside = p[i] > 0.0 && p[i] < 1.0;
          flags[i - begin] = inside ? detail::kDone : detail::kEvaluateScalar;
          if (inside) result[i] = ChiSquareInv(p[i], nu[i]);
        }
      },
      [=](std::size_t i) { result[i] = ChiSquareInv(p[i], nu[i]); });
}

}  // namespace specfun
