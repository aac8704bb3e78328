// The normal distribution's tails and quantiles: ours (scalar and batch)
// against R's pnorm/qnorm and Boost's normal distribution, on the same sets
// of arguments as the Gaussian routines' rows.
#include <boost/math/distributions/normal.hpp>

#include "bench/compare.hpp"
#include "specfun/distributions.hpp"

namespace {

namespace bm = boost::math;

const bench::ArgumentSet kDeviates = {
    "x in {-3, -1.2, 0.3, 1, 2, 2.5, 4, 8}: centre and both tails",
    {{-3.0}, {-1.2}, {0.3}, {1.0}, {2.0}, {2.5}, {4.0}, {8.0}}};
const bench::ArgumentSet kProbabilities = {
    "p in {1e-10, 1e-4, 0.01, 0.025, 0.2, 0.5, 0.8, 0.99}",
    {{1e-10}, {1e-4}, {0.01}, {0.025}, {0.2}, {0.5}, {0.8}, {0.99}}};

const specfun::Normal kStandard{};
const bm::normal kBoostStandard;

// A batch form of the standard normal over the first column.
bench::BatchCall StandardBatch(void (*batch)(const specfun::Normal&, const double*, double*,
                                             std::size_t)) {
  return [batch](const std::vector<double>* c, double* r, std::size_t n) {
    batch(kStandard, c[0].data(), r, n);
  };
}

const bool kRegistered =
    bench::Compare(
        "normal.cdf", kDeviates, [](const double* v) { return specfun::cdf(kStandard, v[0]); },
        StandardBatch(specfun::cdf), [](const double* v) { return pnorm(v[0], 0.0, 1.0, 1, 0); },
        [](const double* v) { return cdf(kBoostStandard, v[0]); }) &&
    bench::Compare(
        "normal.sf", kDeviates, [](const double* v) { return specfun::sf(kStandard, v[0]); },
        StandardBatch(specfun::sf), [](const double* v) { return pnorm(v[0], 0.0, 1.0, 0, 0); },
        [](const double* v) { return cdf(bm::complement(kBoostStandard, v[0])); }) &&
    bench::Compare(
        "normal.quantile", kProbabilities,
        [](const double* v) { return specfun::quantile(kStandard, v[0]); },
        StandardBatch(specfun::quantile),
        [](const double* v) { return qnorm(v[0], 0.0, 1.0, 1, 0); },
        [](const double* v) { return quantile(kBoostStandard, v[0]); }) &&
    bench::Compare(
        "normal.quantile_upper", kProbabilities,
        [](const double* v) { return specfun::quantile_upper(kStandard, v[0]); },
        StandardBatch(specfun::quantile_upper),
        [](const double* v) { return qnorm(v[0], 0.0, 1.0, 0, 0); },
        [](const double* v) { return quantile(bm::complement(kBoostStandard, v[0])); });

}  // namespace
