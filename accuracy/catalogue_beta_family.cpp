// The precise beta, Student's t, F and binomial distributions of
// specfun/distributions.hpp, on the reference tables of the incomplete beta
// routines (the same points), beside the same peers.
#include <algorithm>
#include <cmath>

#include "accuracy/catalogue.hpp"
#include "specfun/distributions.hpp"

namespace accuracy {
namespace {

bool Within(double value, double low, double high) { return value >= low && value <= high; }

// The parameters of a row (all but the first argument) lie in [0.05, 1e6].
bool PeerParameters(Arguments a) {
  return std::all_of(a.begin() + 1, a.end(), [](double v) { return Within(v, 0.05, 1e6); });
}

std::vector<Region> PreciseRegions() {
  return {{"parameters in [0.05, 1e6]", [](Arguments a, double) { return PeerParameters(a); }},
          {"parameters in [0.05, 1e6], result >= 1e-300",
           [](Arguments a, double reference) {
             return PeerParameters(a) && std::fabs(reference) >= 1e-300;
           }}};
}

Routine Precise(std::string name, std::string table, std::vector<std::string> arguments,
                int column, Evaluate ours, Evaluate r, Evaluate boost, std::string r_equivalent,
                std::string boost_equivalent, std::string plot_label) {
  return {.name = std::move(name),
          .table = std::move(table),
          .argument_names = std::move(arguments),
          .value_column = column,
          .ours = std::move(ours),
          .r = std::move(r),
          .boost = std::move(boost),
          .r_equivalent = std::move(r_equivalent),
          .boost_equivalent = std::move(boost_equivalent),
          .regions = PreciseRegions(),
          .plot_label = std::move(plot_label),
          .plot_abscissa = [](Arguments a) { return a[0]; },
          .plot_log_x = false,
          .headline_region = 0};
}

// P(X < a) (P(X >= a) where `upper`) of the binomial distribution with n
// trials at p; the table's rows of fractional a or n, beyond the binomial,
// take the same beta tails, I(1 - p; n - a + 1, a) and I(p; a, n - a + 1).
double BinomialTail(Arguments a, bool upper) {
  const double p = a[0];
  const double successes = a[1];
  const double n = a[2];
  if (successes == std::floor(successes) && n == std::floor(n)) {
    const specfun::Binomial d{n, p};
    return upper ? specfun::sf(d, successes - 1.0) : specfun::cdf(d, successes - 1.0);
  }
  const specfun::Beta d{successes, n - successes + 1.0};
  return upper ? specfun::cdf(d, p) : specfun::sf(d, p);
}

// The binomial rows proper: whole a and n, n in [0.05, 1e6], first.
Routine WholeCounts(Routine routine) {
  routine.regions.insert(routine.regions.begin(),
                         {"whole a and n, n in [0.05, 1e6]", [](Arguments a, double) {
                            return a[1] == std::floor(a[1]) && a[2] == std::floor(a[2]) &&
                                   PeerParameters(a);
                          }});
  return routine;
}

}  // namespace

Family PreciseBetaFamily() {
  using specfun::Beta, specfun::StudentT, specfun::FisherF;
  return {
      "Precise beta, t, F and binomial distributions",
      "accuracy_beta_precise.png",
      "The distributions of specfun/distributions.hpp on the points of the beta family's "
      "tables: both incomplete beta tails with the prefactor x^a (1 - x)^b / B(a, b) in "
      "double-double, each tail evaluated for itself; the quantiles refined at the double "
      "root. The t tail is twice the one-sided sf, the binomial ones are the cdf and sf at "
      "a - 1 (rows of fractional a or n: the same beta tails of Beta(a, n - a + 1) at p); the "
      "t inverse is quantile_upper at p/2, exact.",
      {Precise("beta.cdf", "betaf", {"x", "a", "b"}, 0,
               [](Arguments a) { return specfun::cdf(Beta{a[1], a[2]}, a[0]); }, r_math::BETAF,
               boost_math::BETAF, "pbeta(x, a, b)", "ibeta(a, b, x)", "x"),
       Precise("t.sf two-sided", "student", {"t", "nu"}, 1,
               [](Arguments a) { return 2.0 * specfun::sf(StudentT{a[1]}, std::fabs(a[0])); },
               r_math::StudentAQ, boost_math::StudentAQ, "2·pt(-|t|, ν)",
               "2·cdf(complement(students_t(ν), |t|))", "t"),
       Precise("f.cdf", "fdist", {"F", "nu1", "nu2"}, 0,
               [](Arguments a) { return specfun::cdf(FisherF{a[1], a[2]}, a[0]); },
               r_math::FDistP, boost_math::FDistP, "pf(F, ν1, ν2)", "cdf(fisher_f(ν1, ν2), F)",
               "F"),
       Precise("f.sf", "fdist", {"F", "nu1", "nu2"}, 1,
               [](Arguments a) { return specfun::sf(FisherF{a[1], a[2]}, a[0]); },
               r_math::FDistQ, boost_math::FDistQ, "pf(F, ν1, ν2, upper)",
               "cdf(complement(fisher_f(ν1, ν2), F))", "F"),
       WholeCounts(Precise("binom.cdf at a-1", "binom", {"p", "a", "n"}, 0,
                           [](Arguments a) { return BinomialTail(a, false); },
                           r_math::BinomP, boost_math::BinomP, "pbeta(p, a, n-a+1, upper)",
                           "ibetac(a, n-a+1, p)", "p")),
       WholeCounts(Precise("binom.sf at a-1", "binom", {"p", "a", "n"}, 1,
                           [](Arguments a) { return BinomialTail(a, true); },
                           r_math::BinomQ, boost_math::BinomQ, "pbeta(p, a, n-a+1)",
                           "ibeta(a, n-a+1, p)", "p")),
       Precise("beta.quantile", "beta_inv", {"p", "a", "b"}, 0,
               [](Arguments a) { return specfun::quantile(Beta{a[1], a[2]}, a[0]); },
               r_math::BetaInv, boost_math::BetaInv, "qbeta(p, a, b)", "ibeta_inv(a, b, p)",
               "p"),
       Precise("t.quantile_upper at half p", "student_inv", {"p", "nu"}, 0,
               [](Arguments a) { return specfun::quantile_upper(StudentT{a[1]}, 0.5 * a[0]); },
               r_math::StudentInv, boost_math::StudentInv, "qt(p/2, ν, upper)",
               "quantile(complement(students_t(ν), p/2))", "p"),
       Precise("f.quantile_upper", "fdist_inv", {"p", "nu1", "nu2"}, 0,
               [](Arguments a) { return specfun::quantile_upper(FisherF{a[1], a[2]}, a[0]); },
               r_math::FDistInv, boost_math::FDistInv, "qf(p, ν1, ν2, upper)",
               "quantile(complement(fisher_f(ν1, ν2), p))", "p")}};
}

}  // namespace accuracy
