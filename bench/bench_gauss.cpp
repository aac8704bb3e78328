// The Gaussian upper tail and its inverse: ours against R's pnorm/qnorm
// (upper tail, not logged) and Boost's normal distribution complements.
#include <boost/math/distributions/normal.hpp>

#include "bench/compare.hpp"
#include "specfun/specfun.hpp"

namespace {

namespace bm = boost::math;

const bench::ArgumentSet kDeviates = {
    "x in {-3, -1.2, 0.3, 1, 2, 2.5, 4, 8}: both fractions, both signs",
    {{-3.0}, {-1.2}, {0.3}, {1.0}, {2.0}, {2.5}, {4.0}, {8.0}}};
const bench::ArgumentSet kProbabilities = {
    "p in {1e-10, 1e-4, 0.01, 0.025, 0.2, 0.5, 0.8, 0.99}",
    {{1e-10}, {1e-4}, {0.01}, {0.025}, {0.2}, {0.5}, {0.8}, {0.99}}};

const bm::normal kStandardNormal;

const bool kRegistered =
    bench::Compare(
        "QGauss", kDeviates, [](const double* v) { return specfun::QGauss(v[0]); },
        bench::BatchOf(specfun::QGaussBatch),
        [](const double* v) { return pnorm(v[0], 0.0, 1.0, 0, 0); },
        [](const double* v) { return cdf(bm::complement(kStandardNormal, v[0])); }) &&
    bench::Compare(
        "QGaussInv", kProbabilities, [](const double* v) { return specfun::QGaussInv(v[0]); },
        bench::BatchOf(specfun::QGaussInvBatch),
        [](const double* v) { return qnorm(v[0], 0.0, 1.0, 0, 0); },
        [](const double* v) { return quantile(bm::complement(kStandardNormal, v[0])); });

}  // namespace
