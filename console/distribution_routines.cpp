#include "console/distribution_routines.hpp"

#include "specfun/distributions.hpp"

namespace console {
namespace {

// A family: its name on the command line, its parameters and how a
// distribution is made of one row's parameters.
template <class D>
struct Family;
template <>
struct Family<specfun::Normal> {
  static constexpr std::string_view kName = "normal";
  static constexpr std::string_view kParameters = "[mean sd]";
  static constexpr std::size_t kRequired = 0;
  static std::vector<double> Defaults() { return {0.0, 1.0}; }
  static specfun::Normal Make(const double* p) { return {p[0], p[1]}; }
};
template <>
struct Family<specfun::Gamma> {
  static constexpr std::string_view kName = "gamma";
  static constexpr std::string_view kParameters = "shape [scale]";
  static constexpr std::size_t kRequired = 1;
  static std::vector<double> Defaults() { return {1.0}; }
  static specfun::Gamma Make(const double* p) { return {p[0], p[1]}; }
};
template <>
struct Family<specfun::ChiSquared> {
  static constexpr std::string_view kName = "chisq";
  static constexpr std::string_view kParameters = "df";
  static constexpr std::size_t kRequired = 1;
  static std::vector<double> Defaults() { return {}; }
  static specfun::ChiSquared Make(const double* p) { return {p[0]}; }
};
template <>
struct Family<specfun::Poisson> {
  static constexpr std::string_view kName = "poisson";
  static constexpr std::string_view kParameters = "mean";
  static constexpr std::size_t kRequired = 1;
  static std::vector<double> Defaults() { return {}; }
  static specfun::Poisson Make(const double* p) { return {p[0]}; }
};
template <>
struct Family<specfun::Beta> {
  static constexpr std::string_view kName = "beta";
  static constexpr std::string_view kParameters = "a b";
  static constexpr std::size_t kRequired = 2;
  static std::vector<double> Defaults() { return {}; }
  static specfun::Beta Make(const double* p) { return {p[0], p[1]}; }
};
template <>
struct Family<specfun::StudentT> {
  static constexpr std::string_view kName = "t";
  static constexpr std::string_view kParameters = "df";
  static constexpr std::size_t kRequired = 1;
  static std::vector<double> Defaults() { return {}; }
  static specfun::StudentT Make(const double* p) { return {p[0]}; }
};
template <>
struct Family<specfun::FisherF> {
  static constexpr std::string_view kName = "f";
  static constexpr std::string_view kParameters = "df1 df2";
  static constexpr std::size_t kRequired = 2;
  static std::vector<double> Defaults() { return {}; }
  static specfun::FisherF Make(const double* p) { return {p[0], p[1]}; }
};
template <>
struct Family<specfun::Binomial> {
  static constexpr std::string_view kName = "binom";
  static constexpr std::string_view kParameters = "n prob";
  static constexpr std::size_t kRequired = 2;
  static std::vector<double> Defaults() { return {}; }
  static specfun::Binomial Make(const double* p) { return {p[0], p[1]}; }
};
template <>
struct Family<specfun::NonCentralChiSquared> {
  static constexpr std::string_view kName = "ncchisq";
  static constexpr std::string_view kParameters = "df ncp";
  static constexpr std::size_t kRequired = 2;
  static std::vector<double> Defaults() { return {}; }
  static specfun::NonCentralChiSquared Make(const double* p) { return {p[0], p[1]}; }
};

template <class D>
using PerElement = void (*)(const D*, const double*, double*, std::size_t);

// The most parameters of any family.
constexpr std::size_t kMostParameters = 2;

template <class D, PerElement<D> F>
void EvaluateColumns(const double* const* columns, double* result, std::size_t count) {
  std::vector<D> distributions(count);
  const std::size_t parameters = Family<D>::kRequired + Family<D>::Defaults().size();
  for (std::size_t i = 0; i < count; ++i) {
    double p[kMostParameters] = {};
    for (std::size_t k = 0; k < parameters; ++k) p[k] = columns[1 + k][i];
    distributions[i] = Family<D>::Make(p);
  }
  F(distributions.data(), columns[0], result, count);
}

struct Function {
  std::string_view name;
  std::string_view argument;
  std::string_view meaning;
};

template <class D>
void AddFamily(std::vector<DistributionRoutine>& routines) {
  using specfun::cdf, specfun::sf, specfun::log_cdf, specfun::log_sf, specfun::pdf,
      specfun::log_pdf, specfun::quantile, specfun::quantile_upper, specfun::quantile_log,
      specfun::quantile_upper_log;
  const std::pair<Function, ColumnsBatch> functions[] = {
      {{"cdf", "x", "P(X <= x)"}, &EvaluateColumns<D, &cdf>},
      {{"sf", "x", "P(X > x)"}, &EvaluateColumns<D, &sf>},
      {{"log_cdf", "x", "ln P(X <= x)"}, &EvaluateColumns<D, &log_cdf>},
      {{"log_sf", "x", "ln P(X > x)"}, &EvaluateColumns<D, &log_sf>},
      {{"pdf", "x", "the density (mass) at x"}, &EvaluateColumns<D, &pdf>},
      {{"log_pdf", "x", "ln of the density (mass) at x"}, &EvaluateColumns<D, &log_pdf>},
      {{"quantile", "p", "the least x with P(X <= x) >= p"}, &EvaluateColumns<D, &quantile>},
      {{"quantile_upper", "q", "the x with P(X > x) = q"},
       &EvaluateColumns<D, &quantile_upper>},
      {{"quantile_log", "log_p", "quantile of p = e^log_p"},
       &EvaluateColumns<D, &quantile_log>},
      {{"quantile_upper_log", "log_q", "quantile_upper of q = e^log_q"},
       &EvaluateColumns<D, &quantile_upper_log>},
  };
  const std::vector<double> defaults = Family<D>::Defaults();
  for (const auto& [function, evaluate] : functions) {
    routines.push_back({std::string(Family<D>::kName) + "." + std::string(function.name),
                        std::string(function.argument) + " " +
                            std::string(Family<D>::kParameters),
                        function.meaning, 1 + Family<D>::kRequired,
                        1 + Family<D>::kRequired + defaults.size(), defaults, evaluate});
  }
}

std::vector<DistributionRoutine> AllRoutines() {
  std::vector<DistributionRoutine> routines;
  AddFamily<specfun::Normal>(routines);
  AddFamily<specfun::Gamma>(routines);
  AddFamily<specfun::ChiSquared>(routines);
  AddFamily<specfun::Poisson>(routines);
  AddFamily<specfun::Beta>(routines);
  AddFamily<specfun::StudentT>(routines);
  AddFamily<specfun::FisherF>(routines);
  AddFamily<specfun::Binomial>(routines);
  AddFamily<specfun::NonCentralChiSquared>(routines);
  return routines;
}

}  // namespace

const std::vector<DistributionRoutine>& DistributionRoutines() {
  static const std::vector<DistributionRoutine> routines = AllRoutines();
  return routines;
}

}  // namespace console
