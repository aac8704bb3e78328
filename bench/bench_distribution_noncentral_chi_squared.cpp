// The non-central chi-square distribution: ours (scalar, and the batch form
// with a distribution per element) against R's pnchisq/qnchisq and Boost's
// non_central_chi_squared, on the non-centralities of the NCChiSquare rows.
#include <vector>

#include <boost/math/distributions/non_central_chi_squared.hpp>

#include "bench/compare.hpp"
#include "bench/non_central_sets.hpp"
#include "specfun/distributions.hpp"

namespace {

namespace bm = boost::math;

using specfun::NonCentralChiSquared;
using BoostNonCentral = bm::non_central_chi_squared_distribution<double>;

const bench::ArgumentSet kProbabilities = {
    "(p, df, ncp): (0.5,3,1) (0.05,3,10) (0.01,0.5,20) (1e-6,10,50) (0.9,50,5) (0.5,100,1500) "
    "(1e-10,1,5e3)",
    {{0.5, 3.0, 1.0},
     {0.05, 3.0, 10.0},
     {0.01, 0.5, 20.0},
     {1e-6, 10.0, 50.0},
     {0.9, 50.0, 5.0},
     {0.5, 100.0, 1500.0},
     {1e-10, 1.0, 5e3}}};

// The batch form with a distribution per element, over the columns
// (argument, df, ncp).
bench::BatchCall PerElement(void (*batch)(const NonCentralChiSquared*, const double*, double*,
                                          std::size_t)) {
  return [batch](const std::vector<double>* c, double* r, std::size_t n) {
    thread_local std::vector<NonCentralChiSquared> ds;
    ds.resize(n);
    for (std::size_t i = 0; i < n; ++i) ds[i] = {c[1][i], c[2][i]};
    batch(ds.data(), c[0].data(), r, n);
  };
}

template <class Function>
double Ours(Function f, const double* v) {
  return f(NonCentralChiSquared{v[1], v[2]}, v[0]);
}

bool CompareTails(const std::string& suffix, const bench::ArgumentSet& set) {
  return bench::Compare(
             "ncchisq.cdf" + suffix, set,
             [](const double* v) { return Ours<double (*)(const NonCentralChiSquared&, double)>(specfun::cdf, v); },
             PerElement(specfun::cdf), [](const double* v) { return pnchisq(v[0], v[1], v[2], 1, 0); },
             [](const double* v) { return bm::cdf(BoostNonCentral(v[1], v[2]), v[0]); }) &&
         bench::Compare(
             "ncchisq.sf" + suffix, set,
             [](const double* v) { return Ours<double (*)(const NonCentralChiSquared&, double)>(specfun::sf, v); },
             PerElement(specfun::sf), [](const double* v) { return pnchisq(v[0], v[1], v[2], 0, 0); },
             [](const double* v) { return bm::cdf(bm::complement(BoostNonCentral(v[1], v[2]), v[0])); });
}

const bool kRegistered =
    CompareTails(" small ncp", bench::kSmallNonCentralities) && CompareTails(" large ncp", bench::kLargeNonCentralities) &&
    bench::Compare(
        "ncchisq.quantile", kProbabilities,
        [](const double* v) {
          return Ours<double (*)(const NonCentralChiSquared&, double)>(specfun::quantile, v);
        },
        PerElement(specfun::quantile), [](const double* v) { return qnchisq(v[0], v[1], v[2], 1, 0); },
        [](const double* v) { return bm::quantile(BoostNonCentral(v[1], v[2]), v[0]); }) &&
    bench::Compare(
        "ncchisq.quantile_upper", kProbabilities,
        [](const double* v) {
          return Ours<double (*)(const NonCentralChiSquared&, double)>(specfun::quantile_upper, v);
        },
        PerElement(specfun::quantile_upper), [](const double* v) { return qnchisq(v[0], v[1], v[2], 0, 0); },
        [](const double* v) { return bm::quantile(bm::complement(BoostNonCentral(v[1], v[2]), v[0])); });

}  // namespace
