// The beta family: the incomplete beta function, the t, F and binomial
// distributions and the three inverses, each beside R's pbeta, pt, pf,
// qbeta, qt, qf and Boost's ibeta, ibeta_inv, students_t, fisher_f on the
// same arguments.
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <cmath>

#include "bench/compare.hpp"
#include "specfun/specfun.hpp"

namespace {

namespace bm = boost::math;

const bench::ArgumentSet kBetaArguments = {"(x, a, b): moderate a, b on both sides of the mean",
                                           {{0.3, 2.0, 3.0},
                                            {0.5, 10.0, 10.0},
                                            {0.9, 0.5, 5.0},
                                            {0.05, 3.0, 30.0},
                                            {0.7, 50.0, 40.0},
                                            {0.2, 1.5, 0.7},
                                            {0.999, 5.0, 0.5},
                                            {0.6, 7.5, 2.5}}};
// a = b = 1000 ends in the Aitken extrapolation, the others in the continued
// iteration.
const bench::ArgumentSet kLargeBetaArguments = {
    "(x, a, b) near the mean of large a, b: (0.5, 1e3, 1e3), (0.5, 1e4, 1e4), (0.3, 3e3, 7e3), "
    "(0.5, 1e5, 1e5)",
    {{0.5, 1000.0, 1000.0}, {0.5, 1e4, 1e4}, {0.3, 3e3, 7e3}, {0.5, 1e5, 1e5}}};
const bench::ArgumentSet kBetaInverseArguments = {"(p, a, b): both tails, a or b one half",
                                                  {{0.3, 2.0, 3.0},
                                                   {0.5, 10.0, 10.0},
                                                   {0.05, 0.5, 5.0},
                                                   {0.95, 3.0, 30.0},
                                                   {1e-3, 50.0, 40.0},
                                                   {0.7, 1.5, 0.7},
                                                   {0.999, 5.0, 0.5},
                                                   {0.25, 7.5, 2.5}}};
const bench::ArgumentSet kFArguments = {
    "(F, nu1, nu2): (1,2,2) (2.9,3,30) (0.4,10,5) (9.8,60,1) (1.5,7,12) (0.05,4,40)",
    {{1.0, 2.0, 2.0},
     {2.9, 3.0, 30.0},
     {0.4, 10.0, 5.0},
     {9.8, 60.0, 1.0},
     {1.5, 7.0, 12.0},
     {0.05, 4.0, 40.0}}};
const bench::ArgumentSet kFInverseArguments = {
    "(p, nu1, nu2): (0.05,3,30) (0.001,3,30) (0.25,60,1) (0.5,10,5) (0.9,7,12) (0.01,4,40)",
    {{0.05, 3.0, 30.0},
     {0.001, 3.0, 30.0},
     {0.25, 60.0, 1.0},
     {0.5, 10.0, 5.0},
     {0.9, 7.0, 12.0},
     {0.01, 4.0, 40.0}}};
const bench::ArgumentSet kTArguments = {
    "(t, nu): (2.015,5) (1,1) (2.228,10) (0.5,30) (4,3) (1.3,120)",
    {{2.015, 5.0}, {1.0, 1.0}, {2.228, 10.0}, {0.5, 30.0}, {4.0, 3.0}, {1.3, 120.0}}};
const bench::ArgumentSet kTInverseArguments = {
    "(p, nu): (0.05,10) (1e-6,30) (0.5,3) (0.9,5) (0.01,120) (0.2,1.5)",
    {{0.05, 10.0}, {1e-6, 30.0}, {0.5, 3.0}, {0.9, 5.0}, {0.01, 120.0}, {0.2, 1.5}}};
const bench::ArgumentSet kBinomialArguments = {
    "(p, a, n): (0.5,1,3) (0.3,4,10) (0.1,10,50) (0.7,60,100) (0.02,3,200) (0.45,20,40)",
    {{0.5, 1.0, 3.0},
     {0.3, 4.0, 10.0},
     {0.1, 10.0, 50.0},
     {0.7, 60.0, 100.0},
     {0.02, 3.0, 200.0},
     {0.45, 20.0, 40.0}}};

// The peers' one-sided t tails, doubled.
double RTwoSided(const double* v) { return 2.0 * pt(-std::fabs(v[0]), v[1], 1, 0); }
double BoostTwoSided(const double* v) {
  return 2.0 * bm::cdf(bm::complement(bm::students_t(v[1]), std::fabs(v[0])));
}

const bool kRegistered =
    bench::Compare(
        "BETAF", kBetaArguments, [](const double* v) { return specfun::BETAF(v[0], v[1], v[2]); },
        bench::BatchOf(specfun::BETAFBatch),
        [](const double* v) { return pbeta(v[0], v[1], v[2], 1, 0); },
        [](const double* v) { return bm::ibeta(v[1], v[2], v[0]); }) &&
    bench::Compare(
        "BETAF large", kLargeBetaArguments,
        [](const double* v) { return specfun::BETAF(v[0], v[1], v[2]); },
        bench::BatchOf(specfun::BETAFBatch),
        [](const double* v) { return pbeta(v[0], v[1], v[2], 1, 0); },
        [](const double* v) { return bm::ibeta(v[1], v[2], v[0]); }) &&
    bench::Compare(
        "BetaInv", kBetaInverseArguments,
        [](const double* v) { return specfun::BetaInv(v[0], v[1], v[2]); },
        bench::BatchOf(specfun::BetaInvBatch),
        [](const double* v) { return qbeta(v[0], v[1], v[2], 1, 0); },
        [](const double* v) { return bm::ibeta_inv(v[1], v[2], v[0]); }) &&
    bench::Compare(
        "FDistP", kFArguments, [](const double* v) { return specfun::FDistP(v[0], v[1], v[2]); },
        bench::BatchOf(specfun::FDistPBatch),
        [](const double* v) { return pf(v[0], v[1], v[2], 1, 0); },
        [](const double* v) { return bm::cdf(bm::fisher_f(v[1], v[2]), v[0]); }) &&
    bench::Compare(
        "FDistQ", kFArguments, [](const double* v) { return specfun::FDistQ(v[0], v[1], v[2]); },
        bench::BatchOf(specfun::FDistQBatch),
        [](const double* v) { return pf(v[0], v[1], v[2], 0, 0); },
        [](const double* v) { return bm::cdf(bm::complement(bm::fisher_f(v[1], v[2]), v[0])); }) &&
    bench::Compare(
        "FDistInv", kFInverseArguments,
        [](const double* v) { return specfun::FDistInv(v[0], v[1], v[2]); },
        bench::BatchOf(specfun::FDistInvBatch),
        [](const double* v) { return qf(v[0], v[1], v[2], 0, 0); },
        [](const double* v) {
          return bm::quantile(bm::complement(bm::fisher_f(v[1], v[2]), v[0]));
        }) &&
    bench::Compare(
        "StudentA", kTArguments, [](const double* v) { return specfun::StudentA(v[0], v[1]); },
        bench::BatchOf(specfun::StudentABatch), [](const double* v) { return 1.0 - RTwoSided(v); },
        [](const double* v) { return 1.0 - BoostTwoSided(v); }) &&
    bench::Compare(
        "StudentAQ", kTArguments, [](const double* v) { return specfun::StudentAQ(v[0], v[1]); },
        bench::BatchOf(specfun::StudentAQBatch), RTwoSided, BoostTwoSided) &&
    bench::Compare(
        "StudentInv", kTInverseArguments,
        [](const double* v) { return specfun::StudentInv(v[0], v[1]); },
        bench::BatchOf(specfun::StudentInvBatch),
        [](const double* v) { return qt(0.5 * v[0], v[1], 0, 0); },
        [](const double* v) {
          return bm::quantile(bm::complement(bm::students_t(v[1]), 0.5 * v[0]));
        }) &&
    bench::Compare(
        "BinomP", kBinomialArguments,
        [](const double* v) { return specfun::BinomP(v[0], v[1], v[2]); },
        bench::BatchOf(specfun::BinomPBatch),
        [](const double* v) { return pbeta(1.0 - v[0], v[2] - v[1] + 1.0, v[1], 1, 0); },
        [](const double* v) { return bm::ibeta(v[2] - v[1] + 1.0, v[1], 1.0 - v[0]); }) &&
    bench::Compare(
        "BinomQ", kBinomialArguments,
        [](const double* v) { return specfun::BinomQ(v[0], v[1], v[2]); },
        bench::BatchOf(specfun::BinomQBatch),
        [](const double* v) { return pbeta(v[0], v[1], v[2] - v[1] + 1.0, 1, 0); },
        [](const double* v) { return bm::ibeta(v[1], v[2] - v[1] + 1.0, v[0]); });

}  // namespace
