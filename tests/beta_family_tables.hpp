// Checks of a distribution against a reference table of
// tests/data/distributions: each row the arguments, then ln P(X <= x),
// ln P(X > x) and the log-density, then the three values, by mpmath. The tails and the density are
// checked where their values are normal doubles, their logarithms
// everywhere; each error is relative, against the tolerance of the row.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "specfun/distributions.hpp"
#include "tests/reference_table.hpp"

namespace testing_support {

// The batch lengths the batch forms are checked at: empty, single, around
// a lane group, and large enough to be shared among cores.
inline const std::size_t kBatchLengths[] = {0, 1, 15, 16, 17, 20000};

// The five checked values of one row, computed, against their references.
template <class D>
void ExpectRowWithin(const D& d, double x, const ReferenceRow& row, std::size_t first,
                     double tolerance, const std::string& where) {
  const double lnCdf = row[first];
  const double lnSf = row[first + 1];
  const double lnPdf = row[first + 2];
  const auto check = [&](const char* name, double got, double want) {
    EXPECT_LE(RelativeError(got, want), tolerance)
        << name << " at " << where << ": " << got << " against " << want;
  };
  if (std::fabs(lnCdf) >= 1e-300) check("log_cdf", specfun::log_cdf(d, x), lnCdf);
  if (std::fabs(lnSf) >= 1e-300) check("log_sf", specfun::log_sf(d, x), lnSf);
  // The log-density is held to its bound relative to max(1, |ln f|).
  EXPECT_LE(std::fabs(specfun::log_pdf(d, x) - lnPdf), tolerance * std::max(1.0, std::fabs(lnPdf)))
      << "log_pdf at " << where;
  const auto normal = [](double v) { return v >= DBL_MIN && v <= DBL_MAX; };
  if (normal(row[first + 3])) check("cdf", specfun::cdf(d, x), row[first + 3]);
  if (normal(row[first + 4])) check("sf", specfun::sf(d, x), row[first + 4]);
  if (normal(row[first + 5])) check("pdf", specfun::pdf(d, x), row[first + 5]);
}

// A round trip's tolerance: the bounds' 4e-15 and twice the tail's change
// over the root's last digit (the conditioning of the tail at the root).
inline double RoundTripTolerance(double density, double root, double p) {
  const double spacing = std::fabs(std::nextafter(root, HUGE_VAL) - root);
  return 4e-15 + 2.0 * density * spacing / p;
}

// Both batch forms against the scalar calls, bit for bit, at kBatchLengths.
template <class D, class Scalar, class Batch, class PerElement>
void ExpectBatchesAsScalar(const D& d, const std::vector<double>& arguments, Scalar scalar,
                           Batch batch, PerElement perElement) {
  for (const std::size_t n : kBatchLengths) {
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i) x[i] = arguments[i % arguments.size()];
    std::vector<double> out(n);
    std::vector<double> outEach(n);
    const std::vector<D> ds(n, d);
    batch(d, x.data(), out.data(), n);
    perElement(ds.data(), x.data(), outEach.data(), n);
    for (std::size_t i = 0; i < n; ++i) {
      const double want = scalar(d, x[i]);
      ASSERT_TRUE(std::memcmp(&out[i], &want, sizeof want) == 0) << "length " << n << " at " << i;
      ASSERT_TRUE(std::memcmp(&outEach[i], &want, sizeof want) == 0)
          << "length " << n << " at " << i;
    }
  }
}

}  // namespace testing_support
