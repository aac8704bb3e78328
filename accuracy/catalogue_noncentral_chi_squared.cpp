// The accuracy report's rows of the non-central chi-square distribution
// (the precise family's NonCentralChiSquared), beside R's pnchisq, dnchisq,
// qnchisq and Boost's non_central_chi_squared.
#include <boost/math/distributions/non_central_chi_squared.hpp>

#include <cfloat>
#include <cmath>
#include <string>

#include "accuracy/catalogue.hpp"
#include "accuracy/r_peers_noncentral_chi_squared.hpp"
#include "specfun/distributions.hpp"

namespace accuracy {
namespace {

namespace bm = boost::math;

using Function = double (*)(const specfun::NonCentralChiSquared&, double);

bm::non_central_chi_squared Boost(Arguments a) { return {a[0], a[1]}; }

// Boost's counterpart of function i (no log forms: the log of its value,
// and its quantile of e^lp).
double BoostCall(int i, Arguments a) {
  switch (i) {
    case 0: return cdf(Boost(a), a[2]);
    case 1: return cdf(bm::complement(Boost(a), a[2]));
    case 2: return std::log(cdf(Boost(a), a[2]));
    case 3: return std::log(cdf(bm::complement(Boost(a), a[2])));
    case 4: return pdf(Boost(a), a[2]);
    case 5: return std::log(pdf(Boost(a), a[2]));
    case 6: return quantile(Boost(a), a[2]);
    case 7: return quantile(bm::complement(Boost(a), a[2]));
    case 8: return quantile(Boost(a), std::exp(a[2]));
    default: return quantile(bm::complement(Boost(a), std::exp(a[2])));
  }
}

Region Where(std::string name, std::function<bool(Arguments)> contains) {
  return {std::move(name), [contains](Arguments a, double) { return contains(a); }};
}

bool Moderate(Arguments a) { return a[0] <= 1e5 && a[1] <= 1e5; }

}  // namespace

Family NonCentralChiSquaredFamily() {
  const Function ours[] = {specfun::cdf, specfun::sf, specfun::log_cdf, specfun::log_sf,
                           specfun::pdf, specfun::log_pdf, specfun::quantile,
                           specfun::quantile_upper, specfun::quantile_log,
                           specfun::quantile_upper_log};
  const char* names[] = {"cdf", "sf", "log_cdf", "log_sf", "pdf", "log_pdf", "quantile",
                         "quantile_upper", "quantile_log", "quantile_upper_log"};
  const char* tables[] = {"ncchisq_tails", "ncchisq_tails", "ncchisq_tails", "ncchisq_tails",
                          "ncchisq_tails", "ncchisq_tails", "ncchisq_quantile",
                          "ncchisq_quantile_upper", "ncchisq_quantile_log",
                          "ncchisq_quantile_upper_log"};
  const char* r[] = {"pnchisq(x, df, ncp, TRUE, FALSE)", "pnchisq(x, df, ncp, FALSE, FALSE)",
                     "pnchisq(x, df, ncp, TRUE, TRUE)", "pnchisq(x, df, ncp, FALSE, TRUE)",
                     "dnchisq(x, df, ncp, FALSE)", "dnchisq(x, df, ncp, TRUE)",
                     "qnchisq(p, df, ncp, TRUE, FALSE)", "qnchisq(p, df, ncp, FALSE, FALSE)",
                     "qnchisq(lp, df, ncp, TRUE, TRUE)", "qnchisq(lp, df, ncp, FALSE, TRUE)"};
  const char* boost[] = {"cdf(d, x)", "cdf(complement(d, x))", "log(cdf(d, x))",
                         "log(cdf(complement(d, x)))", "pdf(d, x)", "log(pdf(d, x))",
                         "quantile(d, p)", "quantile(complement(d, p))",
                         "quantile(d, exp(lp))", "quantile(complement(d, exp(lp)))"};
  std::vector<Routine> routines;
  for (int i = 0; i < 10; ++i) {
    Routine routine;
    routine.name = std::string("ncchisq.") + names[i];
    routine.table = tables[i];
    routine.argument_names = {"df", "ncp", i < 6 ? "x" : i < 8 ? "p" : "ln p"};
    routine.value_column = i < 6 ? i : 0;
    routine.ours = [f = ours[i]](Arguments a) { return f({a[0], a[1]}, a[2]); };
    routine.r = [i](Arguments a) { return r_math::NonCentralChiSquared(i, a); };
    routine.boost = [i](Arguments a) { return BoostCall(i, a); };
    routine.r_equivalent = r[i];
    routine.boost_equivalent = boost[i];
    const bool linear = i == 0 || i == 1 || i == 4 || i == 6 || i == 7;
    routine.regions = {
        {"df, ncp <= 1e5" + std::string(linear && i < 6 ? ", value a normal double" : ""),
         [linear, i](Arguments a, double reference) {
           return Moderate(a) && (!(linear && i < 6) || std::fabs(reference) >= DBL_MIN);
         }},
        {"df or ncp beyond 1e5, to 1e10" + std::string(linear && i < 6 ? ", value a normal double" : ""),
         [linear, i](Arguments a, double reference) {
           return !Moderate(a) && (!(linear && i < 6) || std::fabs(reference) >= DBL_MIN);
         }},
        Where("df < 0.05 (lower quantiles bounded by the tail's slope df/2)",
              [](Arguments a) { return a[0] < 0.05; })};
    routine.headline_region = 0;
    routine.plot_label = "log10 ncp";
    routine.plot_abscissa = [](Arguments a) { return std::log10(a[1]); };
    routines.push_back(std::move(routine));
  }
  return {"Non-central chi-square distribution (precise family)", "accuracy_ncchisq.png",
          "NonCentralChiSquared{df, ncp} of specfun/distributions.hpp: the Poisson mixture of "
          "central tails summed from its dominant term in the recurrences' stable directions "
          "(ncp m/s0 up to 2e4), else the inverse Laplace integral of the Marcum Q-function by "
          "the trapezoidal rule less its erfc part. Boost has no log forms: its rows are the "
          "log of its value and its quantile of e^lp. Points: the test tables' (mpmath at 50 "
          "digits), both far tails, df and ncp from 1e-3 to 1e10.",
          std::move(routines)};
}

}  // namespace accuracy
