// The beta, Student's t, F and binomial distributions of the precise family
// against R's pbeta/qbeta, pt/qt, pf/qf, pbinom/qbinom and Boost.Math's
// distributions, on the same arguments: both tails of moderate and far
// arguments, moderate and large parameters.
#include <boost/math/distributions/beta.hpp>
#include <boost/math/distributions/binomial.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>

#include <cstddef>
#include <vector>

#include "bench/compare.hpp"
#include "specfun/distributions.hpp"

namespace {

namespace bm = boost::math;

const bench::ArgumentSet kBetaArguments = {
    "(x, a, b) in {(0.3, 2, 5), (0.01, 0.5, 30), (0.9, 100, 20), (0.2, 1e3, 3e3), "
    "(1e-8, 3, 0.7), (0.6, 0.05, 0.1), (0.999, 40, 1.5), (0.45, 20, 25)}",
    {{0.3, 2.0, 5.0}, {0.01, 0.5, 30.0}, {0.9, 100.0, 20.0}, {0.2, 1e3, 3e3},
     {1e-8, 3.0, 0.7}, {0.6, 0.05, 0.1}, {0.999, 40.0, 1.5}, {0.45, 20.0, 25.0}}};
const bench::ArgumentSet kBetaProbabilities = {
    "(p, a, b) in {(0.3, 2, 5), (1e-10, 0.5, 30), (0.9, 100, 20), (0.05, 1e3, 3e3), "
    "(0.5, 3, 0.7), (0.6, 0.05, 0.1), (0.999, 40, 1.5), (0.45, 20, 25)}",
    {{0.3, 2.0, 5.0}, {1e-10, 0.5, 30.0}, {0.9, 100.0, 20.0}, {0.05, 1e3, 3e3},
     {0.5, 3.0, 0.7}, {0.6, 0.05, 0.1}, {0.999, 40.0, 1.5}, {0.45, 20.0, 25.0}}};
const bench::ArgumentSet kTArguments = {
    "(t, df) in {(-3, 10), (1.5, 2.5), (40, 1), (-0.2, 30), (5, 300), (-12, 4), "
    "(0.8, 0.5), (2, 1e5)}",
    {{-3.0, 10.0}, {1.5, 2.5}, {40.0, 1.0}, {-0.2, 30.0}, {5.0, 300.0}, {-12.0, 4.0},
     {0.8, 0.5}, {2.0, 1e5}}};
const bench::ArgumentSet kTProbabilities = {
    "(p, df) in {(0.975, 10), (0.3, 2.5), (1e-6, 1), (0.55, 30), (0.999, 300), (1e-12, 4), "
    "(0.8, 0.5), (0.05, 1e5)}",
    {{0.975, 10.0}, {0.3, 2.5}, {1e-6, 1.0}, {0.55, 30.0}, {0.999, 300.0}, {1e-12, 4.0},
     {0.8, 0.5}, {0.05, 1e5}}};
const bench::ArgumentSet kFArguments = {
    "(f, df1, df2) in {(2.5, 3, 7), (0.1, 1, 1), (30, 5, 40), (1.2, 100, 80), "
    "(0.01, 20, 3), (4, 2, 1e4), (0.7, 0.5, 6), (1.05, 1e3, 1e3)}",
    {{2.5, 3.0, 7.0}, {0.1, 1.0, 1.0}, {30.0, 5.0, 40.0}, {1.2, 100.0, 80.0},
     {0.01, 20.0, 3.0}, {4.0, 2.0, 1e4}, {0.7, 0.5, 6.0}, {1.05, 1e3, 1e3}}};
const bench::ArgumentSet kFProbabilities = {
    "(p, df1, df2) in {(0.95, 3, 7), (0.1, 1, 1), (1e-8, 5, 40), (0.5, 100, 80), "
    "(0.999, 20, 3), (0.3, 2, 1e4), (0.7, 0.5, 6), (0.99, 1e3, 1e3)}",
    {{0.95, 3.0, 7.0}, {0.1, 1.0, 1.0}, {1e-8, 5.0, 40.0}, {0.5, 100.0, 80.0},
     {0.999, 20.0, 3.0}, {0.3, 2.0, 1e4}, {0.7, 0.5, 6.0}, {0.99, 1e3, 1e3}}};
const bench::ArgumentSet kBinomialArguments = {
    "(k, n, p) in {(3, 10, 0.3), (40, 100, 0.5), (0, 20, 0.01), (900, 1000, 0.95), "
    "(2, 1e4, 1e-3), (5200, 1e4, 0.5), (60, 200, 0.2), (480, 2000, 0.25)}",
    {{3.0, 10.0, 0.3}, {40.0, 100.0, 0.5}, {0.0, 20.0, 0.01}, {900.0, 1000.0, 0.95},
     {2.0, 1e4, 1e-3}, {5200.0, 1e4, 0.5}, {60.0, 200.0, 0.2}, {480.0, 2000.0, 0.25}}};
const bench::ArgumentSet kBinomialProbabilities = {
    "(p, n, prob) in {(0.5, 10, 0.3), (0.05, 100, 0.5), (0.9, 20, 0.01), (1e-6, 1000, 0.95), "
    "(0.3, 1e4, 1e-3), (0.99, 1e4, 0.5), (0.7, 200, 0.2), (0.2, 2000, 0.25)}",
    {{0.5, 10.0, 0.3}, {0.05, 100.0, 0.5}, {0.9, 20.0, 0.01}, {1e-6, 1000.0, 0.95},
     {0.3, 1e4, 1e-3}, {0.99, 1e4, 0.5}, {0.7, 200.0, 0.2}, {0.2, 2000.0, 0.25}}};

// Our batch form with a distribution per element, its parameters taken
// from the argument columns after the first (the distributions are built
// outside the timing's concern: once per call of the batch, as a caller
// holding such columns would).
template <class D, class Make>
bench::BatchCall PerElement(void (*batch)(const D*, const double*, double*, std::size_t),
                            Make make) {
  return [batch, make](const std::vector<double>* c, double* r, std::size_t n) {
    thread_local std::vector<D> ds;
    ds.resize(n);
    for (std::size_t i = 0; i < n; ++i) ds[i] = make(c, i);
    batch(ds.data(), c[0].data(), r, n);
  };
}

using BetaBatch = void (*)(const specfun::Beta*, const double*, double*, std::size_t);
using TBatch = void (*)(const specfun::StudentT*, const double*, double*, std::size_t);
using FBatch = void (*)(const specfun::FisherF*, const double*, double*, std::size_t);
using BinomialBatch = void (*)(const specfun::Binomial*, const double*, double*, std::size_t);

const auto kMakeBeta = [](const std::vector<double>* c, std::size_t i) {
  return specfun::Beta{c[1][i], c[2][i]};
};
const auto kMakeT = [](const std::vector<double>* c, std::size_t i) {
  return specfun::StudentT{c[1][i]};
};
const auto kMakeF = [](const std::vector<double>* c, std::size_t i) {
  return specfun::FisherF{c[1][i], c[2][i]};
};
const auto kMakeBinomial = [](const std::vector<double>* c, std::size_t i) {
  return specfun::Binomial{c[1][i], c[2][i]};
};

const bool kRegistered =
    bench::Compare(
        "beta.cdf", kBetaArguments,
        [](const double* v) { return specfun::cdf(specfun::Beta{v[1], v[2]}, v[0]); },
        PerElement(static_cast<BetaBatch>(specfun::cdf), kMakeBeta),
        [](const double* v) { return pbeta(v[0], v[1], v[2], 1, 0); },
        [](const double* v) { return bm::cdf(bm::beta_distribution<>(v[1], v[2]), v[0]); }) &&
    bench::Compare(
        "beta.sf", kBetaArguments,
        [](const double* v) { return specfun::sf(specfun::Beta{v[1], v[2]}, v[0]); },
        PerElement(static_cast<BetaBatch>(specfun::sf), kMakeBeta),
        [](const double* v) { return pbeta(v[0], v[1], v[2], 0, 0); },
        [](const double* v) {
          return bm::cdf(bm::complement(bm::beta_distribution<>(v[1], v[2]), v[0]));
        }) &&
    bench::Compare(
        "beta.quantile", kBetaProbabilities,
        [](const double* v) { return specfun::quantile(specfun::Beta{v[1], v[2]}, v[0]); },
        PerElement(static_cast<BetaBatch>(specfun::quantile), kMakeBeta),
        [](const double* v) { return qbeta(v[0], v[1], v[2], 1, 0); },
        [](const double* v) {
          return bm::quantile(bm::beta_distribution<>(v[1], v[2]), v[0]);
        }) &&
    bench::Compare(
        "t.cdf", kTArguments,
        [](const double* v) { return specfun::cdf(specfun::StudentT{v[1]}, v[0]); },
        PerElement(static_cast<TBatch>(specfun::cdf), kMakeT),
        [](const double* v) { return pt(v[0], v[1], 1, 0); },
        [](const double* v) { return bm::cdf(bm::students_t(v[1]), v[0]); }) &&
    bench::Compare(
        "t.quantile", kTProbabilities,
        [](const double* v) { return specfun::quantile(specfun::StudentT{v[1]}, v[0]); },
        PerElement(static_cast<TBatch>(specfun::quantile), kMakeT),
        [](const double* v) { return qt(v[0], v[1], 1, 0); },
        [](const double* v) { return bm::quantile(bm::students_t(v[1]), v[0]); }) &&
    bench::Compare(
        "f.cdf", kFArguments,
        [](const double* v) { return specfun::cdf(specfun::FisherF{v[1], v[2]}, v[0]); },
        PerElement(static_cast<FBatch>(specfun::cdf), kMakeF),
        [](const double* v) { return pf(v[0], v[1], v[2], 1, 0); },
        [](const double* v) { return bm::cdf(bm::fisher_f(v[1], v[2]), v[0]); }) &&
    bench::Compare(
        "f.quantile", kFProbabilities,
        [](const double* v) { return specfun::quantile(specfun::FisherF{v[1], v[2]}, v[0]); },
        PerElement(static_cast<FBatch>(specfun::quantile), kMakeF),
        [](const double* v) { return qf(v[0], v[1], v[2], 1, 0); },
        [](const double* v) { return bm::quantile(bm::fisher_f(v[1], v[2]), v[0]); }) &&
    bench::Compare(
        "binom.cdf", kBinomialArguments,
        [](const double* v) { return specfun::cdf(specfun::Binomial{v[1], v[2]}, v[0]); },
        PerElement(static_cast<BinomialBatch>(specfun::cdf), kMakeBinomial),
        [](const double* v) { return pbinom(v[0], v[1], v[2], 1, 0); },
        [](const double* v) { return bm::cdf(bm::binomial(v[1], v[2]), v[0]); }) &&
    bench::Compare(
        "binom.quantile", kBinomialProbabilities,
        [](const double* v) {
          return specfun::quantile(specfun::Binomial{v[1], v[2]}, v[0]);
        },
        PerElement(static_cast<BinomialBatch>(specfun::quantile), kMakeBinomial),
        [](const double* v) { return qbinom(v[0], v[1], v[2], 1, 0); },
        [](const double* v) { return bm::quantile(bm::binomial(v[1], v[2]), v[0]); });

}  // namespace
