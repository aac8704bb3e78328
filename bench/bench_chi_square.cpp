// The chi-square family: ours against R's pchisq, qchisq and pnchisq and
// Boost's chi_squared and non_central_chi_squared, on the same arguments.
#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/non_central_chi_squared.hpp>

#include <array>
#include <cstddef>
#include <cstdint>

#include "bench/peers.hpp"
#include "specfun/specfun.hpp"

namespace {

struct Tail {
  double x;
  double nu;
};
struct Inverse {
  double p;
  double nu;
};
struct NonCentral {
  double x;
  double nu;
  double lambda;
};

// Both branches of the tails at 30 levels, the deeper regions near x = nu and
// at small x, and a large nu.
constexpr std::array<Tail, 8> kTails = {{{2.0, 1.0},
                                         {2.0, 10.0},
                                         {10.0, 10.0},
                                         {25.0, 10.0},
                                         {1.0, 0.4},
                                         {150.0, 100.0},
                                         {1000.0, 1000.0},
                                         {1.03e6, 1e6}}};
constexpr std::array<Inverse, 8> kInverses = {{{0.5, 1.0},
                                               {0.05, 2.0},
                                               {0.01, 10.0},
                                               {1e-6, 10.0},
                                               {0.3, 29.99},
                                               {0.5, 100.0},
                                               {1e-10, 200.0},
                                               {0.1, 1000.0}}};
constexpr std::array<NonCentral, 6> kNonCentrals = {{{1.0, 2.0, 1.0},
                                                     {10.0, 5.0, 3.0},
                                                     {50.0, 5.0, 30.0},
                                                     {120.0, 20.0, 100.0},
                                                     {3.0, 1.0, 0.5},
                                                     {800.0, 50.0, 700.0}}};

template <class Case, std::size_t N, class Call>
void SweepCases(benchmark::State& state, const std::array<Case, N>& cases, Call call) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(call(cases[i]));
    i = i + 1 == N ? 0 : i + 1;
  }
}

constexpr std::int32_t kLower = specfun::kLowerTail;

void BM_ChiSquare_specfun(benchmark::State& state) {
  SweepCases(state, kTails, [](const Tail& c) { return specfun::ChiSquare(c.x, c.nu, kLower); });
}
void BM_ChiSquare_Rmath(benchmark::State& state) {
  SweepCases(state, kTails, [](const Tail& c) { return pchisq(c.x, c.nu, 1, 0); });
}
void BM_ChiSquare_Boost(benchmark::State& state) {
  SweepCases(state, kTails, [](const Tail& c) {
    return boost::math::cdf(boost::math::chi_squared_distribution<double>(c.nu), c.x);
  });
}

void BM_ChiSquareInv_specfun(benchmark::State& state) {
  SweepCases(state, kInverses, [](const Inverse& c) { return specfun::ChiSquareInv(c.p, c.nu); });
}
void BM_ChiSquareInv_Rmath(benchmark::State& state) {
  SweepCases(state, kInverses, [](const Inverse& c) { return qchisq(c.p, c.nu, 0, 0); });
}
void BM_ChiSquareInv_Boost(benchmark::State& state) {
  SweepCases(state, kInverses, [](const Inverse& c) {
    const boost::math::chi_squared_distribution<double> distribution(c.nu);
    return boost::math::quantile(boost::math::complement(distribution, c.p));
  });
}

void BM_NCChiSquare_specfun(benchmark::State& state) {
  SweepCases(state, kNonCentrals, [](const NonCentral& c) {
    return specfun::NCChiSquare(c.x, c.nu, c.lambda, kLower);
  });
}
void BM_NCChiSquare_Rmath(benchmark::State& state) {
  SweepCases(state, kNonCentrals,
             [](const NonCentral& c) { return pnchisq(c.x, c.nu, c.lambda, 1, 0); });
}
void BM_NCChiSquare_Boost(benchmark::State& state) {
  SweepCases(state, kNonCentrals, [](const NonCentral& c) {
    const boost::math::non_central_chi_squared_distribution<double> distribution(c.nu, c.lambda);
    return boost::math::cdf(distribution, c.x);
  });
}

}  // namespace

BENCHMARK(BM_ChiSquare_specfun);
BENCHMARK(BM_ChiSquare_Rmath);
BENCHMARK(BM_ChiSquare_Boost);
BENCHMARK(BM_ChiSquareInv_specfun);
BENCHMARK(BM_ChiSquareInv_Rmath);
BENCHMARK(BM_ChiSquareInv_Boost);
BENCHMARK(BM_NCChiSquare_specfun);
BENCHMARK(BM_NCChiSquare_Rmath);
BENCHMARK(BM_NCChiSquare_Boost);
