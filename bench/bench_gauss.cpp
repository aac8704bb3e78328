// The Gaussian upper tail and its inverse: ours against R's pnorm/qnorm
// (upper tail, not logged) and Boost's normal distribution complements.
#include <boost/math/distributions/normal.hpp>

#include "bench/peers.hpp"
#include "specfun/specfun.hpp"

namespace {

// Both fractions: centre arguments on either side of zero, tail arguments
// from just past the switch point out to 8.
constexpr std::array<double, 8> kDeviates = {-3.0, -1.2, 0.3, 1.0, 2.0, 2.5, 4.0, 8.0};
constexpr std::array<double, 8> kProbabilities = {1e-10, 1e-4, 0.01, 0.025, 0.2, 0.5, 0.8, 0.99};

const boost::math::normal kStandardNormal;

void BM_QGauss_specfun(benchmark::State& state) {
  bench::Sweep(state, kDeviates, [](double x) { return specfun::QGauss(x); });
}
void BM_QGauss_Rmath(benchmark::State& state) {
  bench::Sweep(state, kDeviates, [](double x) { return pnorm(x, 0.0, 1.0, 0, 0); });
}
void BM_QGauss_Boost(benchmark::State& state) {
  bench::Sweep(state, kDeviates,
               [](double x) { return cdf(boost::math::complement(kStandardNormal, x)); });
}

void BM_QGaussInv_specfun(benchmark::State& state) {
  bench::Sweep(state, kProbabilities, [](double p) { return specfun::QGaussInv(p); });
}
void BM_QGaussInv_Rmath(benchmark::State& state) {
  bench::Sweep(state, kProbabilities, [](double p) { return qnorm(p, 0.0, 1.0, 0, 0); });
}
void BM_QGaussInv_Boost(benchmark::State& state) {
  bench::Sweep(state, kProbabilities,
               [](double p) { return quantile(boost::math::complement(kStandardNormal, p)); });
}

}  // namespace

BENCHMARK(BM_QGauss_specfun);
BENCHMARK(BM_QGauss_Rmath);
BENCHMARK(BM_QGauss_Boost);
BENCHMARK(BM_QGaussInv_specfun);
BENCHMARK(BM_QGaussInv_Rmath);
BENCHMARK(BM_QGaussInv_Boost);
