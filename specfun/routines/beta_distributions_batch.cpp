// Batch forms of the incomplete beta function and of the F, t and binomial
// distributions built on it: the three ln Γ values and the continued
// fractions of a chunk of elements run side by side (each lane at its own
// iteration, a finished lane taking the next element), and so do the
// accurate tails' prefactors and fractions of the elements that take them;
// the reports are held back until they can be made in element order.

#include "specfun/kernels/batch.hpp"
#include "specfun/routines/beta_distributions.hpp"
#include "specfun/routines/incomplete_beta.hpp"
#include "specfun/specfun.hpp"

namespace specfun {
namespace {

// callOf(i) gives element i's call of BETAF, scalar(i) its scalar routine.
template <class CallOf, class Scalar>
void BetaCallBatch(std::size_t count, double* result, CallOf callOf, Scalar scalar) {
  detail::RunBatch(
      count,
      [=](std::size_t begin, std::size_t end, detail::ElementFlag* flags,
          detail::DeferredRecords& records) {
        const std::size_t n = end - begin;
        double x[detail::kChunkLength] = {};
        double a[detail::kChunkLength] = {};
        double b[detail::kChunkLength] = {};
        bool complement[detail::kChunkLength] = {};
        bool direct[detail::kChunkLength] = {};
        for (std::size_t i = 0; i < n; ++i) {
          const detail::BetaCall call = callOf(begin + i);
          x[i] = call.x;
          a[i] = call.a;
          b[i] = call.b;
          complement[i] = call.complement;
          direct[i] = call.direct;
          // Found already: the fraction runs at x = 0, which costs nothing.
          if (direct[i]) {
            result[begin + i] = call.value;
            x[i] = 0.0;
          }
        }
        double negativeLogBeta[detail::kChunkLength];
        detail::NegativeLogBetaInLockstep(a, b, n, negativeLogBeta);
        double value[detail::kChunkLength];
        const std::size_t first = records.size();
        detail::IncompleteBetaInLockstep(x, a, b, negativeLogBeta, n, value, flags, records);
        for (std::size_t k = first; k < records.size(); ++k) records[k].element += begin;
        for (std::size_t i = 0; i < n; ++i) {
          if (flags[i] == detail::kEvaluateScalar || direct[i]) continue;
          result[begin + i] = complement[i] ? 1.0 - value[i] : value[i];
        }
      },
      [=](std::size_t i) { result[i] = scalar(i); });
}

}  // namespace

void BETAFBatch(const double* x, const double* a, const double* b, double* result,
                std::size_t count) {
  BetaCallBatch(
      count, result,
      [=](std::size_t i) {
        return detail::BetaCall{x[i], a[i], b[i], false};
      },
      [=](std::size_t i) { return BETAF(x[i], a[i], b[i]); });
}

void FDistPBatch(const double* f, const double* nu1, const double* nu2, double* result,
                 std::size_t count) {
  BetaCallBatch(
      count, result, [=](std::size_t i) { return detail::FDistPCall(f[i], nu1[i], nu2[i]); },
      [=](std::size_t i) { return FDistP(f[i], nu1[i], nu2[i]); });
}

void FDistQBatch(const double* f, const double* nu1, const double* nu2, double* result,
                 std::size_t count) {
  BetaCallBatch(
      count, result, [=](std::size_t i) { return detail::FDistQCall(f[i], nu1[i], nu2[i]); },
      [=](std::size_t i) { return FDistQ(f[i], nu1[i], nu2[i]); });
}

void StudentABatch(const double* t, const double* nu, double* result, std::size_t count) {
  BetaCallBatch(
      count, result, [=](std::size_t i) { return detail::StudentACall(t[i], nu[i]); },
      [=](std::size_t i) { return StudentA(t[i], nu[i]); });
}

void StudentAQBatch(const double* t, const double* nu, double* result, std::size_t count) {
  BetaCallBatch(
      count, result, [=](std::size_t i) { return detail::StudentAQCall(t[i], nu[i]); },
      [=](std::size_t i) { return StudentAQ(t[i], nu[i]); });
}

void BinomPBatch(const double* p, const double* a, const double* n, double* result,
                 std::size_t count) {
  BetaCallBatch(
      count, result, [=](std::size_t i) { return detail::BinomPCall(p[i], a[i], n[i]); },
      [=](std::size_t i) { return BinomP(p[i], a[i], n[i]); });
}

void BinomQBatch(const double* p, const double* a, const double* n, double* result,
                 std::size_t count) {
  BetaCallBatch(
      count, result, [=](std::size_t i) { return detail::BinomQCall(p[i], a[i], n[i]); },
      [=](std::size_t i) { return BinomQ(p[i], a[i], n[i]); });
}

}  // namespace specfun
