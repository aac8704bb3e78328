// The batch forms of the distributions' functions: the scalar function over
// each element, through the batch driver (large batches shared among the
// cores), so every element is the scalar call's, bit for bit.
#include <cstddef>

#include "specfun/kernels/batch.hpp"
#include "specfun/distributions.hpp"

namespace specfun {
namespace {

template <class D, class Function>
void OverArguments(const D& d, const double* x, double* out, std::size_t count, Function f) {
  detail::RunQuietBatch(count, [&](std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) out[i] = f(d, x[i]);
  });
}

template <class D, class Function>
void OverElements(const D* d, const double* x, double* out, std::size_t count, Function f) {
  detail::RunQuietBatch(count, [&](std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) out[i] = f(d[i], x[i]);
  });
}

}  // namespace

#define SPECFUN_BATCH_FORMS_OF(D, f)                                                   \
  void f(const D& d, const double* x, double* out, std::size_t count) {                \
    OverArguments(d, x, out, count, [](const D& e, double v) { return f(e, v); });     \
  }                                                                                    \
  void f(const D* d, const double* x, double* out, std::size_t count) {                \
    OverElements(d, x, out, count, [](const D& e, double v) { return f(e, v); });      \
  }
#define SPECFUN_BATCH_FORMS(D)                     \
  SPECFUN_BATCH_FORMS_OF(D, cdf)                   \
  SPECFUN_BATCH_FORMS_OF(D, sf)                    \
  SPECFUN_BATCH_FORMS_OF(D, log_cdf)               \
  SPECFUN_BATCH_FORMS_OF(D, log_sf)                \
  SPECFUN_BATCH_FORMS_OF(D, pdf)                   \
  SPECFUN_BATCH_FORMS_OF(D, log_pdf)               \
  SPECFUN_BATCH_FORMS_OF(D, quantile)              \
  SPECFUN_BATCH_FORMS_OF(D, quantile_upper)        \
  SPECFUN_BATCH_FORMS_OF(D, quantile_log)          \
  SPECFUN_BATCH_FORMS_OF(D, quantile_upper_log)

// The normal tails' and quantiles' forms run on lanes (normal_batch.cpp).
SPECFUN_BATCH_FORMS_OF(Normal, log_cdf)
SPECFUN_BATCH_FORMS_OF(Normal, log_sf)
SPECFUN_BATCH_FORMS_OF(Normal, pdf)
SPECFUN_BATCH_FORMS_OF(Normal, log_pdf)
SPECFUN_BATCH_FORMS_OF(Normal, quantile_log)
SPECFUN_BATCH_FORMS_OF(Normal, quantile_upper_log)
SPECFUN_BATCH_FORMS(Gamma)
SPECFUN_BATCH_FORMS(ChiSquared)
SPECFUN_BATCH_FORMS(Poisson)
SPECFUN_BATCH_FORMS(Beta)
SPECFUN_BATCH_FORMS(StudentT)
SPECFUN_BATCH_FORMS(FisherF)
SPECFUN_BATCH_FORMS(Binomial)
SPECFUN_BATCH_FORMS(NonCentralChiSquared)

}  // namespace specfun
