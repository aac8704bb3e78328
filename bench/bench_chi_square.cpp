// The chi-square family: ours against R's pchisq, qchisq and pnchisq and
// Boost's chi_squared and non_central_chi_squared, on the same arguments.
#include <string>

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/non_central_chi_squared.hpp>

#include "bench/compare.hpp"
#include "bench/non_central_sets.hpp"
#include "specfun/specfun.hpp"

namespace {

namespace bm = boost::math;

const bench::ArgumentSet kTails = {
    "(x, nu): (2,1) (2,10) (10,10) (25,10) (1,0.4) (150,100) (1000,1000) (1.03e6,1e6)",
    {{2.0, 1.0},
     {2.0, 10.0},
     {10.0, 10.0},
     {25.0, 10.0},
     {1.0, 0.4},
     {150.0, 100.0},
     {1000.0, 1000.0},
     {1.03e6, 1e6}}};
const bench::ArgumentSet kInverses = {
    "(p, nu): (0.5,1) (0.05,2) (0.01,10) (1e-6,10) (0.3,29.99) (0.5,100) (1e-10,200) (0.1,1000)",
    {{0.5, 1.0},
     {0.05, 2.0},
     {0.01, 10.0},
     {1e-6, 10.0},
     {0.3, 29.99},
     {0.5, 100.0},
     {1e-10, 200.0},
     {0.1, 1000.0}}};
const bench::ArgumentSet kNonCentrals = {
    "(x, nu, lambda): (1,2,1) (10,5,3) (50,5,30) (120,20,100) (3,1,0.5) (800,50,700)",
    {{1.0, 2.0, 1.0},
     {10.0, 5.0, 3.0},
     {50.0, 5.0, 30.0},
     {120.0, 20.0, 100.0},
     {3.0, 1.0, 0.5},
     {800.0, 50.0, 700.0}}};
constexpr std::int32_t kLower = specfun::kLowerTail;

bool CompareNonCentral(const std::string& routine, const bench::ArgumentSet& set) {
  return bench::Compare(
      routine, set,
      [](const double* v) { return specfun::NCChiSquare(v[0], v[1], v[2], kLower); },
      bench::BatchOf(specfun::NCChiSquareBatch, kLower),
      [](const double* v) { return pnchisq(v[0], v[1], v[2], 1, 0); },
      [](const double* v) {
        return bm::cdf(bm::non_central_chi_squared_distribution<double>(v[1], v[2]), v[0]);
      });
}

const bool kRegistered =
    bench::Compare(
        "ChiSquare", kTails, [](const double* v) { return specfun::ChiSquare(v[0], v[1], kLower); },
        bench::BatchOf(specfun::ChiSquareBatch, kLower),
        [](const double* v) { return pchisq(v[0], v[1], 1, 0); },
        [](const double* v) {
          return bm::cdf(bm::chi_squared_distribution<double>(v[1]), v[0]);
        }) &&
    bench::Compare(
        "ChiSquareInv", kInverses,
        [](const double* v) { return specfun::ChiSquareInv(v[0], v[1]); },
        bench::BatchOf(specfun::ChiSquareInvBatch),
        [](const double* v) { return qchisq(v[0], v[1], 0, 0); },
        [](const double* v) {
          return bm::quantile(bm::complement(bm::chi_squared_distribution<double>(v[1]), v[0]));
        }) &&
    CompareNonCentral("NCChiSquare", kNonCentrals) &&
    CompareNonCentral("NCChiSquare small lambda", bench::kSmallNonCentralities) &&
    CompareNonCentral("NCChiSquare large lambda", bench::kLargeNonCentralities);

}  // namespace
