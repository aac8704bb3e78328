// The accuracy report's rows of the normal distribution (the precise
// family's Normal{}), beside R's pnorm/dnorm/qnorm and Boost's normal.
#include <boost/math/distributions/normal.hpp>

#include <cmath>

#include "accuracy/catalogue.hpp"
#include "accuracy/r_peers_normal.hpp"
#include "specfun/distributions.hpp"

namespace accuracy {
namespace {

namespace bm = boost::math;

const specfun::Normal kStandard{};
const bm::normal kBoostStandard;

double First(Arguments a) { return a[0]; }

// log10 of the smaller tail of p, signed as in the Gaussian rows.
double SmallerTailLog10(Arguments a) {
  return a[0] <= 0.5 ? std::log10(a[0]) : -std::log10(1.0 - a[0]);
}

// One routine of the table `table`, reference column `column`.
Routine Row(const char* name, const char* table, const char* argument, int column,
            double (*ours)(const specfun::Normal&, double), Evaluate r, Evaluate boost,
            const char* r_equivalent, const char* boost_equivalent) {
  Routine routine;
  routine.name = name;
  routine.table = table;
  routine.argument_names = {argument};
  routine.value_column = column;
  routine.ours = [ours](Arguments a) { return ours(kStandard, a[0]); };
  routine.r = std::move(r);
  routine.boost = std::move(boost);
  routine.r_equivalent = r_equivalent;
  routine.boost_equivalent = boost_equivalent;
  routine.plot_label = argument;
  routine.plot_abscissa = First;
  routine.plot_log_x = false;
  return routine;
}

Region Where(std::string name, std::function<bool(Arguments)> contains) {
  return {std::move(name), [contains](Arguments a, double) { return contains(a); }};
}

}  // namespace

Family NormalFamily() {
  std::vector<Routine> routines = {
      Row("normal.cdf", "normal_tails", "x", 0, specfun::cdf, r_math::NormalCdf,
          [](Arguments a) { return cdf(kBoostStandard, a[0]); }, "pnorm(x, 0, 1, TRUE, FALSE)",
          "cdf(normal(), x)"),
      Row("normal.sf", "normal_tails", "x", 1, specfun::sf, r_math::NormalSf,
          [](Arguments a) { return cdf(bm::complement(kBoostStandard, a[0])); },
          "pnorm(x, 0, 1, FALSE, FALSE)", "cdf(complement(normal(), x))"),
      Row("normal.log_cdf", "normal_tails", "x", 2, specfun::log_cdf, r_math::NormalLogCdf,
          [](Arguments a) { return std::log(cdf(kBoostStandard, a[0])); },
          "pnorm(x, 0, 1, TRUE, TRUE)", "log(cdf(normal(), x))"),
      Row("normal.log_sf", "normal_tails", "x", 3, specfun::log_sf, r_math::NormalLogSf,
          [](Arguments a) { return std::log(cdf(bm::complement(kBoostStandard, a[0]))); },
          "pnorm(x, 0, 1, FALSE, TRUE)", "log(cdf(complement(normal(), x)))"),
      Row("normal.pdf", "normal_tails", "x", 4, specfun::pdf, r_math::NormalPdf,
          [](Arguments a) { return pdf(kBoostStandard, a[0]); }, "dnorm(x, 0, 1, FALSE)",
          "pdf(normal(), x)"),
      Row("normal.quantile", "normal_quantile", "p", 0, specfun::quantile, r_math::NormalQuantile,
          [](Arguments a) { return quantile(kBoostStandard, a[0]); },
          "qnorm(p, 0, 1, TRUE, FALSE)", "quantile(normal(), p)"),
      Row("normal.quantile_upper", "normal_quantile", "p", 1, specfun::quantile_upper,
          r_math::NormalQuantileUpper,
          [](Arguments a) { return quantile(bm::complement(kBoostStandard, a[0])); },
          "qnorm(p, 0, 1, FALSE, FALSE)", "quantile(complement(normal(), p))"),
      Row("normal.quantile_log", "normal_quantile_log", "ln p", 0, specfun::quantile_log,
          r_math::NormalQuantileLog,
          [](Arguments a) { return quantile(kBoostStandard, std::exp(a[0])); },
          "qnorm(lp, 0, 1, TRUE, TRUE)", "quantile(normal(), exp(lp))"),
      Row("normal.quantile_upper_log", "normal_quantile_log", "ln p", 1,
          specfun::quantile_upper_log, r_math::NormalQuantileUpperLog,
          [](Arguments a) { return quantile(bm::complement(kBoostStandard, std::exp(a[0]))); },
          "qnorm(lp, 0, 1, FALSE, TRUE)", "quantile(complement(normal(), exp(lp)))"),
  };
  for (int i = 0; i < 5; ++i) {
    routines[i].regions = {
        Where("|x| <= 37.5", [](Arguments a) { return std::fabs(a[0]) <= 37.5; }),
        Where("|x| > 37.5 (log forms only: the tails are below the normal doubles)",
              [](Arguments a) { return std::fabs(a[0]) > 37.5; })};
  }
  for (int i = 5; i < 7; ++i) {
    routines[i].plot_label = "log10 p for p <= 1/2,  -log10(1 - p) for p > 1/2";
    routines[i].plot_abscissa = SmallerTailLog10;
    routines[i].regions = {
        Where("1e-300 <= p <= 1 - 1e-12",
              [](Arguments a) { return a[0] >= 1e-300 && a[0] <= 1.0 - 1e-12; }),
        Where("p < 1e-300", [](Arguments a) { return a[0] < 1e-300; })};
  }
  for (int i = 7; i < 9; ++i) {
    routines[i].plot_label = "log10(-ln p)";
    routines[i].plot_abscissa = [](Arguments a) { return std::log10(-a[0]); };
    routines[i].regions = {
        Where("ln p >= -745 (p a double)", [](Arguments a) { return a[0] >= -745.0; }),
        Where("ln p < -745", [](Arguments a) { return a[0] < -745.0; })};
  }
  return {"Normal distribution (precise family)", "accuracy_normal.png",
          "Normal{} of specfun/distributions.hpp. The tails are e^(-x²/2) F(x) with Mills' "
          "ratio F from polynomial fits and x²/2 carried in two doubles; the quantiles are "
          "polynomial fits in p - 1/2 (centre), in the smaller tail q itself down to 2^-40 and "
          "in -2 ln q below. Boost has no log forms: its "
          "rows are the log of its tail and its quantile of e^lp (which underflows below "
          "ln p = -745).",
          std::move(routines)};
}

}  // namespace accuracy
