// The gamma and Poisson distributions of the precise family in the accuracy
// report: cdf and sf of Gamma{shape} and of Poisson{mean}, and the gamma
// quantile, beside R's pgamma, qgamma, ppois and Boost's gamma_p, gamma_q,
// gamma_p_inv and poisson.
#include <cmath>

#include "accuracy/catalogue.hpp"
#include "specfun/distributions.hpp"

namespace accuracy {
namespace {

Region ParameterUpTo(double high, const char* name) {
  return {name, [high](Arguments a, double) { return a[1] <= high; }};
}

Region ParameterAbove(double low, const char* name) {
  return {name, [low](Arguments a, double) { return a[1] > low; }};
}

}  // namespace

Family GammaDistributionFamily() {
  const std::vector<Region> regions = {
      ParameterUpTo(1e5, "shape 1e-3 ... 1e5"), ParameterAbove(1e5, "shape 1e5 ... 1e15"),
      {"result < 1e-100", [](Arguments, double reference) { return reference < 1e-100; }}};
  auto ratio = [](Arguments a) { return a[0] / a[1]; };
  Routine gamma_p{
      .name = "Gamma cdf",
      .table = "gamma",
      .argument_names = {"x", "shape"},
      .value_column = 0,
      .ours = [](Arguments a) { return specfun::cdf(specfun::Gamma{a[1]}, a[0]); },
      .r = r_math::GammaP,
      .boost = boost_math::GammaP,
      .r_equivalent = "pgamma(x, shape)",
      .boost_equivalent = "gamma_p(shape, x)",
      .regions = regions,
      .plot_label = "x/shape",
      .plot_abscissa = ratio,
      .headline_region = 0,
  };
  Routine gamma_q = gamma_p;
  gamma_q.name = "Gamma sf";
  gamma_q.value_column = 1;
  gamma_q.ours = [](Arguments a) { return specfun::sf(specfun::Gamma{a[1]}, a[0]); };
  gamma_q.r = r_math::GammaQ;
  gamma_q.boost = boost_math::GammaQ;
  gamma_q.r_equivalent = "pgamma(x, shape, upper)";
  gamma_q.boost_equivalent = "gamma_q(shape, x)";
  Routine gamma_inv{
      .name = "Gamma quantile",
      .table = "gamma_inv",
      .argument_names = {"p", "shape"},
      .ours = [](Arguments a) { return specfun::quantile(specfun::Gamma{a[1]}, a[0]); },
      .r = r_math::GammaInv,
      .boost = boost_math::GammaInv,
      .r_equivalent = "qgamma(p, shape)",
      .boost_equivalent = "gamma_p_inv(shape, p)",
      .regions = {ParameterUpTo(1e5, "shape 1e-3 ... 1e5"),
                  ParameterAbove(1e5, "shape 1e5 ... 1e15"),
                  {"p > 0.9", [](Arguments a, double) { return a[0] > 0.9; }}},
      .plot_label = "log10 p for p <= 1/2,  -log10(1 - p) for p > 1/2",
      .plot_abscissa = [](Arguments a) {
        return a[0] <= 0.5 ? std::log10(a[0]) : -std::log10(1.0 - a[0]);
      },
      .plot_log_x = false,
  };
  Routine poisson_cdf{
      .name = "Poisson cdf",
      .table = "poisson",
      .argument_names = {"k", "mean"},
      .value_column = 0,
      .ours = [](Arguments a) { return specfun::cdf(specfun::Poisson{a[1]}, a[0]); },
      .r = r_math::PoissonCdf,
      .boost = boost_math::PoissonCdf,
      .r_equivalent = "ppois(k, mean)",
      .boost_equivalent = "cdf(poisson(mean), k)",
      .regions = {ParameterUpTo(1e5, "mean 1e-3 ... 1e5"), ParameterAbove(1e5, "mean 1e5 ... 1e15"),
                  {"result < 1e-100", [](Arguments, double r) { return r < 1e-100; }}},
      .plot_label = "k/mean",
      .plot_abscissa = [](Arguments a) { return (a[0] + 1.0) / a[1]; },
  };
  Routine poisson_sf = poisson_cdf;
  poisson_sf.name = "Poisson sf";
  poisson_sf.value_column = 1;
  poisson_sf.ours = [](Arguments a) { return specfun::sf(specfun::Poisson{a[1]}, a[0]); };
  poisson_sf.r = r_math::PoissonSf;
  poisson_sf.boost = boost_math::PoissonSf;
  poisson_sf.r_equivalent = "ppois(k, mean, upper)";
  poisson_sf.boost_equivalent = "cdf(complement(poisson(mean), k))";
  return {"Gamma and Poisson distributions (precise family)", "accuracy_gamma.png",
          "The precise family's gamma and Poisson distributions: the regularized incomplete "
          "gamma functions to full relative accuracy in both tails (Temme's uniform expansion "
          "near the mean of large shapes, the series and Legendre's fraction elsewhere, the "
          "prefactor's exponent in double-double arithmetic), the quantile by Halley's method "
          "on the logarithm of a tail.",
          {gamma_p, gamma_q, gamma_inv, poisson_cdf, poisson_sf}};
}

}  // namespace accuracy
