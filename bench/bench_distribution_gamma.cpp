// The gamma, chi-square and Poisson distributions: ours (scalar and batch)
// against R's pgamma, qgamma, pchisq, qchisq, ppois, qpois and Boost's
// gamma_distribution, chi_squared_distribution and poisson_distribution, on
// the same arguments.
#include <string>
#include <vector>

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/gamma.hpp>
#include <boost/math/distributions/poisson.hpp>

#include "bench/compare.hpp"
#include "specfun/distributions.hpp"

namespace {

namespace bm = boost::math;

const bench::ArgumentSet kGammaTails = {
    "(x, shape): (0.5,0.01) (2,1) (8,10) (12,10) (1,3.5) (90,100) (1030,1000) (1.003e6,1e6)",
    {{0.5, 0.01},
     {2.0, 1.0},
     {8.0, 10.0},
     {12.0, 10.0},
     {1.0, 3.5},
     {90.0, 100.0},
     {1030.0, 1000.0},
     {1.003e6, 1e6}}};
const bench::ArgumentSet kGammaQuantiles = {
    "(p, shape): (0.5,0.01) (0.05,1) (0.01,5) (1e-6,10) (0.3,15) (0.5,100) (1e-10,200) "
    "(0.9,1e4)",
    {{0.5, 0.01},
     {0.05, 1.0},
     {0.01, 5.0},
     {1e-6, 10.0},
     {0.3, 15.0},
     {0.5, 100.0},
     {1e-10, 200.0},
     {0.9, 1e4}}};
const bench::ArgumentSet kPoissonTails = {
    "(k, mean): (0,0.5) (3,2) (10,10) (15,10) (90,100) (1050,1000) (9.99e5,1e6) (40,3)",
    {{0.0, 0.5},
     {3.0, 2.0},
     {10.0, 10.0},
     {15.0, 10.0},
     {90.0, 100.0},
     {1050.0, 1000.0},
     {9.99e5, 1e6},
     {40.0, 3.0}}};
const bench::ArgumentSet kPoissonQuantiles = {
    "(p, mean): (0.5,0.5) (0.05,2) (0.99,10) (1e-6,10) (0.3,100) (0.5,1000) (1e-10,1e4) "
    "(0.9,1e6)",
    {{0.5, 0.5},
     {0.05, 2.0},
     {0.99, 10.0},
     {1e-6, 10.0},
     {0.3, 100.0},
     {0.5, 1000.0},
     {1e-10, 1e4},
     {0.9, 1e6}}};

// The per-element batch form of f over (argument, parameter) columns; the
// distributions are laid out in a buffer kept between calls.
template <class D, class F>
bench::BatchCall PerElement(F f) {
  return [f](const std::vector<double>* c, double* r, std::size_t n) {
    thread_local std::vector<D> ds;
    ds.resize(n);
    for (std::size_t i = 0; i < n; ++i) ds[i] = D{c[1][i]};
    f(ds.data(), c[0].data(), r, n);
  };
}

using specfun::ChiSquared;
using specfun::Gamma;
using specfun::Poisson;
using BatchOf = void (*)(const Gamma*, const double*, double*, std::size_t);
using ChiBatchOf = void (*)(const ChiSquared*, const double*, double*, std::size_t);
using PoissonBatchOf = void (*)(const Poisson*, const double*, double*, std::size_t);

const bool kRegistered =
    bench::Compare(
        "Gamma cdf", kGammaTails,
        [](const double* v) { return specfun::cdf(Gamma{v[1]}, v[0]); },
        PerElement<Gamma>(static_cast<BatchOf>(specfun::cdf)),
        [](const double* v) { return pgamma(v[0], v[1], 1.0, 1, 0); },
        [](const double* v) { return bm::cdf(bm::gamma_distribution<double>(v[1]), v[0]); }) &&
    bench::Compare(
        "Gamma sf", kGammaTails, [](const double* v) { return specfun::sf(Gamma{v[1]}, v[0]); },
        PerElement<Gamma>(static_cast<BatchOf>(specfun::sf)),
        [](const double* v) { return pgamma(v[0], v[1], 1.0, 0, 0); },
        [](const double* v) {
          return bm::cdf(bm::complement(bm::gamma_distribution<double>(v[1]), v[0]));
        }) &&
    bench::Compare(
        "Gamma quantile", kGammaQuantiles,
        [](const double* v) { return specfun::quantile(Gamma{v[1]}, v[0]); },
        PerElement<Gamma>(static_cast<BatchOf>(specfun::quantile)),
        [](const double* v) { return qgamma(v[0], v[1], 1.0, 1, 0); },
        [](const double* v) { return bm::quantile(bm::gamma_distribution<double>(v[1]), v[0]); }) &&
    bench::Compare(
        "ChiSquared cdf", kGammaTails,
        [](const double* v) { return specfun::cdf(ChiSquared{v[1]}, v[0]); },
        PerElement<ChiSquared>(static_cast<ChiBatchOf>(specfun::cdf)),
        [](const double* v) { return pchisq(v[0], v[1], 1, 0); },
        [](const double* v) { return bm::cdf(bm::chi_squared_distribution<double>(v[1]), v[0]); }) &&
    bench::Compare(
        "ChiSquared quantile", kGammaQuantiles,
        [](const double* v) { return specfun::quantile(ChiSquared{v[1]}, v[0]); },
        PerElement<ChiSquared>(static_cast<ChiBatchOf>(specfun::quantile)),
        [](const double* v) { return qchisq(v[0], v[1], 1, 0); },
        [](const double* v) {
          return bm::quantile(bm::chi_squared_distribution<double>(v[1]), v[0]);
        }) &&
    bench::Compare(
        "Poisson cdf", kPoissonTails,
        [](const double* v) { return specfun::cdf(Poisson{v[1]}, v[0]); },
        PerElement<Poisson>(static_cast<PoissonBatchOf>(specfun::cdf)),
        [](const double* v) { return ppois(v[0], v[1], 1, 0); },
        [](const double* v) { return bm::cdf(bm::poisson_distribution<double>(v[1]), v[0]); }) &&
    bench::Compare(
        "Poisson quantile", kPoissonQuantiles,
        [](const double* v) { return specfun::quantile(Poisson{v[1]}, v[0]); },
        PerElement<Poisson>(static_cast<PoissonBatchOf>(specfun::quantile)),
        [](const double* v) { return qpois(v[0], v[1], 1, 0); },
        [](const double* v) { return bm::quantile(bm::poisson_distribution<double>(v[1]), v[0]); });

}  // namespace
