// ln Γ(x): ours against R's lgammafn and Boost's lgamma.
#include <boost/math/special_functions/gamma.hpp>

#include "bench/peers.hpp"
#include "specfun/specfun.hpp"

namespace {

constexpr std::array<double, 8> kArguments = {0.1, 0.5, 1.5, 3.7, 4.999, 7.25, 42.0, 1e5};

void BM_LnGamma_specfun(benchmark::State& state) {
  bench::Sweep(state, kArguments, [](double x) { return specfun::LnGamma(x); });
}
void BM_LnGamma_Rmath(benchmark::State& state) {
  bench::Sweep(state, kArguments, [](double x) { return lgammafn(x); });
}
void BM_LnGamma_Boost(benchmark::State& state) {
  bench::Sweep(state, kArguments, [](double x) { return boost::math::lgamma(x); });
}

}  // namespace

BENCHMARK(BM_LnGamma_specfun);
BENCHMARK(BM_LnGamma_Rmath);
BENCHMARK(BM_LnGamma_Boost);
