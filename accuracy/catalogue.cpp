#include "accuracy/catalogue.hpp"

#include <cmath>
#include <cstdint>

#include "specfun/specfun.hpp"

namespace accuracy {
namespace {

// Below this, results of the incomplete beta function carry only the
// absolute accuracy of its stopping test.
constexpr double kBetaTolerance = 1e-12;
// The absolute tolerance of the non-central chi-square sum.
constexpr double kNonCentralTolerance = 1e-7;
// |t| above which t·t overflows.
const double kSquareOverflow = std::sqrt(1.7976931348623157e308);

Region Where(std::string name, std::function<bool(Arguments)> contains) {
  return {std::move(name), [contains](Arguments a, double) { return contains(a); }};
}

Region ResultAtLeast(double floor, std::string name) {
  return {std::move(name), [floor](Arguments, double reference) { return reference >= floor; }};
}

Region ResultBelow(double floor, std::string name) {
  return {std::move(name), [floor](Arguments, double reference) { return reference < floor; }};
}

Region Coarse(Region region) {
  region.coarse = true;
  return region;
}

Region SlowConvergence() {
  return {"BETAF reported slow convergence (not converged within 41 iterations)",
          nullptr, true, true};
}

bool Within(double value, double low, double high) { return value >= low && value <= high; }

double First(Arguments a) { return a[0]; }

// The abscissa of a probability p: log10 of the smaller tail, signed so that
// both ends show, -300 for p = 1e-300 and +10 for p = 1 - 1e-10; p = 1/2
// sits at -0.3 on the left and its neighbours above at +0.3.
double SmallerTailLog10(Arguments a) {
  const double p = a[0];
  return p <= 0.5 ? std::log10(p) : -std::log10(1.0 - p);
}
constexpr const char* kTailAxisLabel = "log10 p for p <= 1/2,  -log10(1 - p) for p > 1/2";

std::int32_t Tail(bool upper) { return upper ? specfun::kUpperTail : specfun::kLowerTail; }

Family LogGammaFamily() {
  Routine lngamma{
      .name = "LnGamma",
      .table = "ln_gamma",
      .argument_names = {"x"},
      .ours = [](Arguments a) { return specfun::LnGamma(a[0]); },
      .r = r_math::LnGamma,
      .boost = boost_math::LnGamma,
      .r_equivalent = "lgammafn(x)",
      .boost_equivalent = "lgamma(x)",
      .regions = {Where("|x - 1| >= 0.1 and |x - 2| >= 0.1 (away from the zeros)",
                        [](Arguments a) {
                          return std::fabs(a[0] - 1.0) >= 0.1 && std::fabs(a[0] - 2.0) >= 0.1;
                        }),
                  Where("0 < x < 0.5", [](Arguments a) { return a[0] < 0.5; }),
                  Where("0.5 <= x < 5 (shifted up by the recurrence)",
                        [](Arguments a) { return Within(a[0], 0.5, 5.0) && a[0] != 5.0; }),
                  Where("|x - 1| < 0.1 or |x - 2| < 0.1 (near the zeros: absolute error counts)",
                        [](Arguments a) {
                          return std::fabs(a[0] - 1.0) < 0.1 || std::fabs(a[0] - 2.0) < 0.1;
                        }),
                  Where("5 <= x <= 1e6", [](Arguments a) { return Within(a[0], 5.0, 1e6); }),
                  Where("1e6 < x <= 1e300", [](Arguments a) { return a[0] > 1e6; })},
      .plot_label = "x",
      .plot_abscissa = First,
      .headline_region = 0,
      .zoom_low = 0.0,
      .zoom_high = 6.0,
  };
  return {"Log-gamma", "accuracy_log_gamma.png",
          "Stirling's formula with the Stieltjes continued fraction of its remainder "
          "(eight coefficients) at arguments of at least 5, and the recurrence below. "
          "Near the zeros at 1 and 2 the result is small and only its absolute error is "
          "meaningful.",
          {lngamma}};
}

Family GaussianFamily() {
  Routine qgauss{
      .name = "QGauss",
      .table = "qgauss",
      .argument_names = {"x"},
      .ours = [](Arguments a) { return specfun::QGauss(a[0]); },
      .r = r_math::QGauss,
      .boost = boost_math::QGauss,
      .r_equivalent = "pnorm(x, 0, 1, upper)",
      .boost_equivalent = "cdf(complement(normal(), x))",
      .regions = {Where("-11 <= x <= 37 (the computed range)",
                        [](Arguments a) { return Within(a[0], -11.0, 37.0); }),
                  Where("x < -11 (the constant 1)", [](Arguments a) { return a[0] < -11.0; }),
                  Where("-11 <= x < -2.25 (Q near 1)",
                        [](Arguments a) { return Within(a[0], -11.0, -2.25) && a[0] != -2.25; }),
                  Where("|x| <= 2.25 (centre fraction)",
                        [](Arguments a) { return std::fabs(a[0]) <= 2.25; }),
                  Coarse(Where("2.25 < x <= 3 (tail fraction just above its switch)",
                               [](Arguments a) { return a[0] > 2.25 && a[0] <= 3.0; })),
                  Where("3 < x <= 37", [](Arguments a) { return a[0] > 3.0 && a[0] <= 37.0; }),
                  Where("x > 37 (the constant 0)", [](Arguments a) { return a[0] > 37.0; })},
      .plot_label = "x",
      .plot_abscissa = First,
      .plot_log_x = false,
      .headline_region = 0,
  };
  Routine qgauss_inv{
      .name = "QGaussInv",
      .table = "qgauss_inv",
      .argument_names = {"p"},
      .ours = [](Arguments a) { return specfun::QGaussInv(a[0]); },
      .r = r_math::QGaussInv,
      .boost = boost_math::QGaussInv,
      .r_equivalent = "qnorm(p, 0, 1, upper)",
      .boost_equivalent = "quantile(complement(normal(), p))",
      .regions = {Where("1e-100 <= p < 1", [](Arguments a) { return a[0] >= 1e-100; }),
                  Where("1e-300 <= p < 1e-100 (three Newton steps from the start fall short)",
                        [](Arguments a) { return a[0] < 1e-100; }),
                  Where("1e-100 <= p < 1e-10",
                        [](Arguments a) { return a[0] >= 1e-100 && a[0] < 1e-10; }),
                  Where("1e-10 <= p <= 0.5", [](Arguments a) { return Within(a[0], 1e-10, 0.5); }),
                  Coarse(Where("0.5 < p < 1 (p − Q(x) with Q(x) near 1 is only absolute)",
                               [](Arguments a) { return a[0] > 0.5; }))},
      .plot_label = kTailAxisLabel,
      .plot_abscissa = SmallerTailLog10,
      .plot_log_x = false,
      .headline_region = 0,
  };
  return {"Gaussian", "accuracy_gaussian.png",
          "QGauss switches at |x| = 2.25 from the centre continued fraction (27 levels) to "
          "Laplace's tail fraction (40 levels) at a fixed depth with no convergence test. Just "
          "above the switch the tail fraction is not yet converged: the relative error there is "
          "the largest of the routine and falls off by |x| = 3 (region \"2.25 < x <= 3\"). "
          "Beyond -11 and 37 the results are the constants 1 and 0 (Q(37.5) is about 5e-309, "
          "below the normal doubles). QGaussInv refines its rational start by three Newton "
          "steps on QGauss and inherits its accuracy; below p = 1e-100 three steps from the "
          "start do not reach full accuracy, and for p > 0.5 the correction p − Q(x) is "
          "formed where Q(x) is near 1, so the result keeps only the absolute accuracy of that "
          "difference (region \"0.5 < p < 1\").",
          {qgauss, qgauss_inv}};
}

// The regions of a probability computed through the incomplete beta function.
std::vector<Region> BetaToleranceRegions() {
  return {ResultAtLeast(kBetaTolerance, "result >= 1e-12"),
          Coarse(ResultBelow(kBetaTolerance, "result < 1e-12 (below the absolute tolerance 1e-12)")),
          SlowConvergence()};
}

std::vector<Region> StudentRegions() {
  auto regions = BetaToleranceRegions();
  regions.push_back(Where("|t| > 1.3e154 (t·t overflows)",
                          [](Arguments a) { return std::fabs(a[0]) > kSquareOverflow; }));
  return regions;
}

// Inverses of the beta family: where they must be within 1e-6.
bool InRequiredInverseRange(double p, double a, double b) {
  return Within(p, 1e-300, 1.0 - 1e-12) && Within(a, 0.05, 1e6) && Within(b, 0.05, 1e6);
}

std::vector<Region> InverseRegions(std::function<bool(Arguments)> required) {
  return {Where("parameters (a, b) in [0.05, 1e6], p in [1e-300, 1 - 1e-12]", required),
          Where("p in [1e-4, 1 - 1e-4], parameters in [0.5, 1e4]",
                [](Arguments a) {
                  return Within(a[0], 1e-4, 1.0 - 1e-4) && Within(a[1], 0.5, 1e4) &&
                         (a.size() < 3 || Within(a[2], 0.5, 1e4));
                }),
          Where("parameters outside [0.05, 1e6]",
                [required](Arguments a) { return !required(a); })};
}

Family BetaFamily() {
  Routine betaf{
      .name = "BETAF",
      .table = "betaf",
      .argument_names = {"x", "a", "b"},
      .ours = [](Arguments a) { return specfun::BETAF(a[0], a[1], a[2]); },
      .r = r_math::BETAF,
      .boost = boost_math::BETAF,
      .r_equivalent = "pbeta(x, a, b)",
      .boost_equivalent = "ibeta(a, b, x)",
      .regions = {ResultAtLeast(kBetaTolerance, "result >= 1e-12"),
                  ResultAtLeast(kBetaTolerance, "result >= 1e-12, a and b <= 1000"),
                  Coarse(ResultBelow(kBetaTolerance,
                                     "result < 1e-12 (below the absolute tolerance 1e-12)")),
                  Where("max(a, b) > 1000 (iterated past 41 steps)",
                        [](Arguments a) { return std::max(a[1], a[2]) > 1000.0; }),
                  Where("min(a, b) < 0.5", [](Arguments a) { return std::min(a[1], a[2]) < 0.5; }),
                  SlowConvergence()},
      .plot_label = "x",
      .plot_abscissa = First,
      .plot_log_x = false,
      .headline_region = 0,
  };
  // The second region of BETAF also bounds the parameters.
  betaf.regions[1].contains = [](Arguments a, double reference) {
    return reference >= kBetaTolerance && std::max(a[1], a[2]) <= 1000.0;
  };
  Routine student_a{
      .name = "StudentA",
      .table = "student",
      .argument_names = {"t", "nu"},
      .value_column = 0,
      .ours = [](Arguments a) { return specfun::StudentA(a[0], a[1]); },
      .r = r_math::StudentA,
      .boost = boost_math::StudentA,
      .r_equivalent = "pbeta(t²/(ν+t²), 1/2, ν/2) for t² < ν, else 1 − 2·pt(-|t|, ν)",
      .boost_equivalent =
          "ibeta(1/2, ν/2, t²/(ν+t²)) for t² < ν, else 1 − 2·cdf(complement(students_t(ν), |t|))",
      .regions = StudentRegions(),
      .plot_label = "t",
      .plot_abscissa = First,
      .headline_region = 0,
      // The table's t run up to 1e200, but all its structure lies below 1e4.
      .plot_x_high = 1e4,
  };
  Routine student_aq = student_a;
  student_aq.name = "StudentAQ";
  student_aq.value_column = 1;
  student_aq.ours = [](Arguments a) { return specfun::StudentAQ(a[0], a[1]); };
  student_aq.r = r_math::StudentAQ;
  student_aq.boost = boost_math::StudentAQ;
  student_aq.r_equivalent = "2·pt(-|t|, ν)";
  student_aq.boost_equivalent = "2·cdf(complement(students_t(ν), |t|))";
  Routine fdist_p{
      .name = "FDistP",
      .table = "fdist",
      .argument_names = {"F", "nu1", "nu2"},
      .value_column = 0,
      .ours = [](Arguments a) { return specfun::FDistP(a[0], a[1], a[2]); },
      .r = r_math::FDistP,
      .boost = boost_math::FDistP,
      .r_equivalent = "pf(F, ν1, ν2)",
      .boost_equivalent = "cdf(fisher_f(ν1, ν2), F)",
      .regions = BetaToleranceRegions(),
      .plot_label = "F",
      .plot_abscissa = First,
      .headline_region = 0,
  };
  Routine fdist_q = fdist_p;
  fdist_q.name = "FDistQ";
  fdist_q.value_column = 1;
  fdist_q.ours = [](Arguments a) { return specfun::FDistQ(a[0], a[1], a[2]); };
  fdist_q.r = r_math::FDistQ;
  fdist_q.boost = boost_math::FDistQ;
  fdist_q.r_equivalent = "pf(F, ν1, ν2, upper)";
  fdist_q.boost_equivalent = "cdf(complement(fisher_f(ν1, ν2), F))";
  Routine binom_p{
      .name = "BinomP",
      .table = "binom",
      .argument_names = {"p", "a", "n"},
      .value_column = 0,
      .ours = [](Arguments a) { return specfun::BinomP(a[0], a[1], a[2]); },
      .r = r_math::BinomP,
      .boost = boost_math::BinomP,
      .r_equivalent = "pbeta(p, a, n-a+1, upper)",
      .boost_equivalent = "ibetac(a, n-a+1, p)",
      .regions = BetaToleranceRegions(),
      .plot_label = kTailAxisLabel,
      .plot_abscissa = SmallerTailLog10,
      .plot_log_x = false,
      .headline_region = 0,
  };
  Routine binom_q = binom_p;
  binom_q.name = "BinomQ";
  binom_q.value_column = 1;
  binom_q.ours = [](Arguments a) { return specfun::BinomQ(a[0], a[1], a[2]); };
  binom_q.r = r_math::BinomQ;
  binom_q.boost = boost_math::BinomQ;
  binom_q.r_equivalent = "pbeta(p, a, n-a+1)";
  binom_q.boost_equivalent = "ibeta(a, n-a+1, p)";
  Routine beta_inv{
      .name = "BetaInv",
      .table = "beta_inv",
      .argument_names = {"p", "a", "b"},
      .ours = [](Arguments a) { return specfun::BetaInv(a[0], a[1], a[2]); },
      .r = r_math::BetaInv,
      .boost = boost_math::BetaInv,
      .r_equivalent = "qbeta(p, a, b)",
      .boost_equivalent = "ibeta_inv(a, b, p)",
      .regions = InverseRegions(
          [](Arguments a) { return InRequiredInverseRange(a[0], a[1], a[2]); }),
      .plot_label = kTailAxisLabel,
      .plot_abscissa = SmallerTailLog10,
      .plot_log_x = false,
      .headline_region = 0,
  };
  Routine student_inv{
      .name = "StudentInv",
      .table = "student_inv",
      .argument_names = {"p", "nu"},
      .ours = [](Arguments a) { return specfun::StudentInv(a[0], a[1]); },
      .r = r_math::StudentInv,
      .boost = boost_math::StudentInv,
      .r_equivalent = "qt(p/2, ν, upper)",
      .boost_equivalent = "quantile(complement(students_t(ν), p/2))",
      .regions = InverseRegions(
          [](Arguments a) { return InRequiredInverseRange(a[0], 0.5 * a[1], 0.5 * a[1]); }),
      .plot_label = kTailAxisLabel,
      .plot_abscissa = SmallerTailLog10,
      .plot_log_x = false,
      .headline_region = 0,
  };
  student_inv.regions[0].name = "ν in [0.1, 2e6], p in [1e-300, 1 - 1e-12]";
  Routine fdist_inv{
      .name = "FDistInv",
      .table = "fdist_inv",
      .argument_names = {"p", "nu1", "nu2"},
      .ours = [](Arguments a) { return specfun::FDistInv(a[0], a[1], a[2]); },
      .r = r_math::FDistInv,
      .boost = boost_math::FDistInv,
      .r_equivalent = "qf(p, ν1, ν2, upper)",
      .boost_equivalent = "quantile(complement(fisher_f(ν1, ν2), p))",
      .regions = InverseRegions([](Arguments a) {
        return InRequiredInverseRange(a[0], 0.5 * a[1], 0.5 * a[2]);
      }),
      .plot_label = kTailAxisLabel,
      .plot_abscissa = SmallerTailLog10,
      .plot_log_x = false,
      .headline_region = 0,
  };
  fdist_inv.regions[0].name = "ν1 and ν2 in [0.1, 2e6], p in [1e-300, 1 - 1e-12]";
  return {"Beta family", "accuracy_beta.png",
          "BETAF evaluates the continued fraction of A&S 26.5.8 until two successive even "
          "approximants differ by less than 1e-12 absolute. Results far below 1e-12 therefore "
          "have few correct digits (region \"result < 1e-12\"; I(0.2, 50, 40), about 6e-14, is "
          "returned after two iterations with about five correct digits), and the t, F and "
          "binomial routines, which are single BETAF calls there, inherit that floor for their "
          "small tails. Where the fraction has not converged after 41 iterations BETAF reports "
          "slow convergence and returns the Aitken extrapolation only where the last "
          "approximants have settled, else both tails evaluated to full relative accuracy; the "
          "region \"BETAF reported slow convergence\" collects those points. Parameters above "
          "1.25e5 take Temme's uniform asymptotic expansion, and t and F whose transformed "
          "argument leaves the doubles take their tails from logarithms. The inverses keep the "
          "result of at most 40 safeguarded Newton steps on BETAF where it is within 1e-8 of "
          "the root and otherwise solve on the logarithm of the smaller tail.",
          {betaf, student_a, student_aq, fdist_p, fdist_q, binom_p, binom_q, beta_inv,
           student_inv, fdist_inv}};
}

Family ChiSquareFamily() {
  auto ratio = [](Arguments a) { return a[0] / a[1]; };
  std::vector<Region> central_regions = {
      Where("x/ν <= 2 (lower-tail fraction)", [ratio](Arguments a) { return ratio(a) <= 2.0; }),
      Where("x/ν > 2 (upper-tail fraction)", [ratio](Arguments a) { return ratio(a) > 2.0; }),
      Where("ν >= 30 and 1.5 <= x/ν <= 2 (where depth 30 alone falls short)",
            [ratio](Arguments a) { return a[1] >= 30.0 && Within(ratio(a), 1.5, 2.0); }),
      Where("ν > 1e4", [](Arguments a) { return a[1] > 1e4; }),
      ResultBelow(1e-300, "result < 1e-300")};
  Routine chi_p{
      .name = "ChiSquare P",
      .table = "chi_square",
      .argument_names = {"x", "nu"},
      .value_column = 0,
      .ours = [](Arguments a) { return specfun::ChiSquare(a[0], a[1], Tail(false)); },
      .r = r_math::ChiSquareP,
      .boost = boost_math::ChiSquareP,
      .r_equivalent = "pchisq(x, ν)",
      .boost_equivalent = "cdf(chi_squared(ν), x)",
      .regions = central_regions,
      .plot_label = "x/ν",
      .plot_abscissa = ratio,
  };
  Routine chi_q = chi_p;
  chi_q.name = "ChiSquare Q";
  chi_q.value_column = 1;
  chi_q.ours = [](Arguments a) { return specfun::ChiSquare(a[0], a[1], Tail(true)); };
  chi_q.r = r_math::ChiSquareQ;
  chi_q.boost = boost_math::ChiSquareQ;
  chi_q.r_equivalent = "pchisq(x, ν, upper)";
  chi_q.boost_equivalent = "cdf(complement(chi_squared(ν), x))";
  Routine chi_inv{
      .name = "ChiSquareInv",
      .table = "chi_square_inv",
      .argument_names = {"p", "nu"},
      .ours = [](Arguments a) { return specfun::ChiSquareInv(a[0], a[1]); },
      .r = r_math::ChiSquareInv,
      .boost = boost_math::ChiSquareInv,
      .r_equivalent = "qchisq(p, ν, upper)",
      .boost_equivalent = "quantile(complement(chi_squared(ν), p))",
      .regions = {Where("0.1 <= ν <= 1e6, 1e-300 <= p <= 1 - 1e-12",
                        [](Arguments a) {
                          return Within(a[1], 0.1, 1e6) && Within(a[0], 1e-300, 1.0 - 1e-12);
                        }),
                  Where("p > 0.9", [](Arguments a) { return a[0] > 0.9; }),
                  Where("ν < 0.5", [](Arguments a) { return a[1] < 0.5; }),
                  Where("ν > 302 (2^(ν/2)·Γ(ν/2) beyond the doubles)",
                        [](Arguments a) { return a[1] > 302.0; })},
      .plot_label = kTailAxisLabel,
      .plot_abscissa = SmallerTailLog10,
      .plot_log_x = false,
      .headline_region = 0,
  };
  std::vector<Region> noncentral_regions = {
      ResultAtLeast(kNonCentralTolerance, "result >= 1e-7"),
      Coarse(ResultBelow(kNonCentralTolerance, "result < 1e-7 (below the absolute tolerance 1e-7)")),
      Where("λ = 0", [](Arguments a) { return a[2] == 0.0; }),
      Where("x beyond ν + λ + 4·√(2(ν + 2λ)) (upper tail far out)",
            [](Arguments a) { return a[0] > a[1] + a[2] + 4.0 * std::sqrt(2.0 * (a[1] + 2.0 * a[2])); }),
      Where("ν > 400", [](Arguments a) { return a[1] > 400.0; }),
      Where("λ > 1e4", [](Arguments a) { return a[2] > 1e4; })};
  auto mean_ratio = [](Arguments a) { return a[0] / (a[1] + a[2]); };
  Routine nc_p{
      .name = "NCChiSquare P",
      .table = "nc_chi_square",
      .argument_names = {"x", "nu", "lambda"},
      .value_column = 0,
      .ours = [](Arguments a) { return specfun::NCChiSquare(a[0], a[1], a[2], Tail(false)); },
      .r = r_math::NCChiSquareP,
      .boost = boost_math::NCChiSquareP,
      .r_equivalent = "pnchisq(x, ν, λ)",
      .boost_equivalent = "cdf(non_central_chi_squared(ν, λ), x)",
      .regions = noncentral_regions,
      .plot_label = "x/(ν+λ)",
      .plot_abscissa = mean_ratio,
      .headline_region = 0,
  };
  Routine nc_q = nc_p;
  nc_q.name = "NCChiSquare Q";
  nc_q.value_column = 1;
  nc_q.ours = [](Arguments a) { return specfun::NCChiSquare(a[0], a[1], a[2], Tail(true)); };
  nc_q.r = r_math::NCChiSquareQ;
  nc_q.boost = boost_math::NCChiSquareQ;
  nc_q.r_equivalent = "pnchisq(x, ν, λ, upper)";
  nc_q.boost_equivalent = "cdf(complement(non_central_chi_squared(ν, λ), x))";
  return {"Chi-square family", "accuracy_chi_square.png",
          "ChiSquare evaluates one of two continued fractions chosen by x/ν and takes the other "
          "tail as the complement, which has only absolute accuracy. Depth 30 alone is short "
          "for large ν as x/ν nears 2 from below, and the routine evaluates deeper there "
          "(region \"1.5 <= x/ν <= 2\" shows how that fares). NCChiSquare sums Poisson-weighted "
          "central tails until what is left out is below 1e-7, so it is accurate to about 1e-7 "
          "absolute and tails below that have "
          "no guaranteed digits (region \"result < 1e-7\"); results between 1e-7 and 1e-3 "
          "have correspondingly few. ChiSquareInv runs at most 40 Newton steps with a step "
          "tolerance of 1e-8 absolute (0.001·x below x = 1e-5) and keeps their result where it "
          "is within 1e-8 of the root; elsewhere it solves on the logarithm of the smaller tail.",
          {chi_p, chi_q, chi_inv, nc_p, nc_q}};
}

}  // namespace

std::vector<Family> Catalogue() {
  return {LogGammaFamily(),     GaussianFamily(),     BetaFamily(),
          ChiSquareFamily(),    NormalFamily(),       PreciseBetaFamily(),
          GammaDistributionFamily(), NonCentralChiSquaredFamily()};
}

}  // namespace accuracy
