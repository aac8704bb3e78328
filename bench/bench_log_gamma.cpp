// ln Γ(x): ours against R's lgammafn and Boost's lgamma.
#include <boost/math/special_functions/gamma.hpp>

#include "bench/compare.hpp"
#include "specfun/specfun.hpp"

namespace {

const bench::ArgumentSet kArguments = {
    "x in {0.1, 0.5, 1.5, 3.7, 4.999, 7.25, 42, 1e5}: every shift, and none",
    {{0.1}, {0.5}, {1.5}, {3.7}, {4.999}, {7.25}, {42.0}, {1e5}}};

const bool kRegistered = bench::Compare(
    "LnGamma", kArguments, [](const double* v) { return specfun::LnGamma(v[0]); },
    bench::BatchOf(specfun::LnGammaBatch), [](const double* v) { return lgammafn(v[0]); },
    [](const double* v) { return boost::math::lgamma(v[0]); });

}  // namespace
