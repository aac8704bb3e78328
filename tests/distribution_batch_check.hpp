// Checks that a distribution's batch forms give, element for element, the
// scalar call's bits: one distribution over many arguments and a
// distribution per element, at lengths around the lane width and one
// length the batch driver shares among the cores.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace testing_support {

inline bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

inline constexpr std::size_t kBatchLengths[] = {0, 1, 15, 16, 17, 20000};

// scalar(d, x) against batchOne(d, x, out, n) and batchEach(ds, x, out, n)
// for the distributions `ds` and arguments `xs` taken in turn.
template <class D, class Scalar, class BatchOne, class BatchEach>
void ExpectBatchFormsMatchScalar(const char* name, const std::vector<D>& ds,
                                 const std::vector<double>& xs, Scalar scalar,
                                 BatchOne batchOne, BatchEach batchEach) {
  for (std::size_t length : kBatchLengths) {
    std::vector<double> x(length);
    std::vector<D> each(length);
    for (std::size_t i = 0; i < length; ++i) {
      x[i] = xs[i % xs.size()];
      each[i] = ds[(i / xs.size() + i) % ds.size()];
    }
    std::vector<double> one(length, -1.0);
    std::vector<double> per(length, -1.0);
    batchOne(ds[0], x.data(), one.data(), length);
    batchEach(each.data(), x.data(), per.data(), length);
    for (std::size_t i = 0; i < length; ++i) {
      ASSERT_TRUE(SameBits(one[i], scalar(ds[0], x[i])))
          << name << " one distribution, length " << length << ", element " << i;
      ASSERT_TRUE(SameBits(per[i], scalar(each[i], x[i])))
          << name << " per element, length " << length << ", element " << i;
    }
  }
}

}  // namespace testing_support

// Every one of the ten functions of D over `ds` and `xs` (the probabilities of
// the quantiles from `ps`, the log forms from `logPs`).
#define SPECFUN_EXPECT_BATCH_FORM(D, f, ds, xs)                                              \
  testing_support::ExpectBatchFormsMatchScalar<D>(                                           \
      #f, ds, xs, [](const D& d, double v) { return specfun::f(d, v); },                     \
      [](const D& d, const double* x, double* out, std::size_t n) { specfun::f(d, x, out, n); }, \
      [](const D* d, const double* x, double* out, std::size_t n) { specfun::f(d, x, out, n); })
#define SPECFUN_EXPECT_BATCH_FORMS(D, ds, xs, ps, logPs)  \
  SPECFUN_EXPECT_BATCH_FORM(D, cdf, ds, xs);              \
  SPECFUN_EXPECT_BATCH_FORM(D, sf, ds, xs);               \
  SPECFUN_EXPECT_BATCH_FORM(D, log_cdf, ds, xs);          \
  SPECFUN_EXPECT_BATCH_FORM(D, log_sf, ds, xs);           \
  SPECFUN_EXPECT_BATCH_FORM(D, pdf, ds, xs);              \
  SPECFUN_EXPECT_BATCH_FORM(D, log_pdf, ds, xs);          \
  SPECFUN_EXPECT_BATCH_FORM(D, quantile, ds, ps);         \
  SPECFUN_EXPECT_BATCH_FORM(D, quantile_upper, ds, ps);   \
  SPECFUN_EXPECT_BATCH_FORM(D, quantile_log, ds, logPs);  \
  SPECFUN_EXPECT_BATCH_FORM(D, quantile_upper_log, ds, logPs)
