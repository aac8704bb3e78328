// The beta family: the incomplete beta function, the t, F and binomial
// distributions and the three inverses, each beside R's pbeta, pt, pf,
// qbeta, qt, qf and Boost's ibeta, ibeta_inv, students_t, fisher_f on the
// same arguments.
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/special_functions/beta.hpp>

#include <cmath>

#include "bench/peers.hpp"
#include "specfun/specfun.hpp"

namespace {

struct Triple {
  double x;
  double a;
  double b;
};

// Cycles through rows of arguments, like bench::Sweep for one argument.
template <std::size_t N, class Row, class Call>
void SweepRows(benchmark::State& state, const std::array<Row, N>& rows, Call call) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(call(rows[i]));
    i = i + 1 == N ? 0 : i + 1;
  }
}

// Silences the library's convergence reports for one benchmark, so that
// printing them is not timed (the Newton steps of the inverses can pass
// through slowly converging points, e.g. StudentInv(0.01, 120)).
class QuietDiagnostics : public specfun::ScopedDiagnosticSink {
 public:
  QuietDiagnostics() : ScopedDiagnosticSink(specfun::kSilentSink) {}
};

// I(x, a, b) at moderate parameters, on both sides of the mean.
constexpr std::array<Triple, 8> kBetaArguments = {{{0.3, 2.0, 3.0},
                                                    {0.5, 10.0, 10.0},
                                                    {0.9, 0.5, 5.0},
                                                    {0.05, 3.0, 30.0},
                                                    {0.7, 50.0, 40.0},
                                                    {0.2, 1.5, 0.7},
                                                    {0.999, 5.0, 0.5},
                                                    {0.6, 7.5, 2.5}}};
// Large parameters near the mean: a = b = 1000 ends in the Aitken
// extrapolation, the others in the continued iteration.
constexpr std::array<Triple, 4> kLargeBetaArguments = {
    {{0.5, 1000.0, 1000.0}, {0.5, 1e4, 1e4}, {0.3, 3e3, 7e3}, {0.5, 1e5, 1e5}}};
// (p, a, b) for the inverse.
constexpr std::array<Triple, 8> kBetaInverseArguments = {{{0.3, 2.0, 3.0},
                                                           {0.5, 10.0, 10.0},
                                                           {0.05, 0.5, 5.0},
                                                           {0.95, 3.0, 30.0},
                                                           {1e-3, 50.0, 40.0},
                                                           {0.7, 1.5, 0.7},
                                                           {0.999, 5.0, 0.5},
                                                           {0.25, 7.5, 2.5}}};
// (F, nu1, nu2) and (p, nu1, nu2).
constexpr std::array<Triple, 6> kFArguments = {
    {{1.0, 2.0, 2.0}, {2.9, 3.0, 30.0}, {0.4, 10.0, 5.0}, {9.8, 60.0, 1.0}, {1.5, 7.0, 12.0},
     {0.05, 4.0, 40.0}}};
constexpr std::array<Triple, 6> kFInverseArguments = {
    {{0.05, 3.0, 30.0}, {0.001, 3.0, 30.0}, {0.25, 60.0, 1.0}, {0.5, 10.0, 5.0},
     {0.9, 7.0, 12.0}, {0.01, 4.0, 40.0}}};
// (t, nu, unused) and (p, nu, unused).
constexpr std::array<Triple, 6> kTArguments = {
    {{2.015, 5.0, 0}, {1.0, 1.0, 0}, {2.228, 10.0, 0}, {0.5, 30.0, 0}, {4.0, 3.0, 0},
     {1.3, 120.0, 0}}};
constexpr std::array<Triple, 6> kTInverseArguments = {
    {{0.05, 10.0, 0}, {1e-6, 30.0, 0}, {0.5, 3.0, 0}, {0.9, 5.0, 0}, {0.01, 120.0, 0},
     {0.2, 1.5, 0}}};
// (p, a, n): the probability of fewer than a successes in n trials.
constexpr std::array<Triple, 6> kBinomialArguments = {
    {{0.5, 1.0, 3.0}, {0.3, 4.0, 10.0}, {0.1, 10.0, 50.0}, {0.7, 60.0, 100.0},
     {0.02, 3.0, 200.0}, {0.45, 20.0, 40.0}}};

namespace bm = boost::math;

// The incomplete beta function.
void BM_BETAF_specfun(benchmark::State& state) {
  const QuietDiagnostics quiet;
  SweepRows(state, kBetaArguments, [](const Triple& r) { return specfun::BETAF(r.x, r.a, r.b); });
}
void BM_BETAF_Rmath(benchmark::State& state) {
  SweepRows(state, kBetaArguments, [](const Triple& r) { return pbeta(r.x, r.a, r.b, 1, 0); });
}
void BM_BETAF_Boost(benchmark::State& state) {
  SweepRows(state, kBetaArguments, [](const Triple& r) { return bm::ibeta(r.a, r.b, r.x); });
}
void BM_BETAF_Large_specfun(benchmark::State& state) {
  const QuietDiagnostics quiet;
  SweepRows(state, kLargeBetaArguments,
            [](const Triple& r) { return specfun::BETAF(r.x, r.a, r.b); });
}
void BM_BETAF_Large_Rmath(benchmark::State& state) {
  SweepRows(state, kLargeBetaArguments,
            [](const Triple& r) { return pbeta(r.x, r.a, r.b, 1, 0); });
}
void BM_BETAF_Large_Boost(benchmark::State& state) {
  SweepRows(state, kLargeBetaArguments, [](const Triple& r) { return bm::ibeta(r.a, r.b, r.x); });
}

// The inverse incomplete beta function.
void BM_BetaInv_specfun(benchmark::State& state) {
  const QuietDiagnostics quiet;
  SweepRows(state, kBetaInverseArguments,
            [](const Triple& r) { return specfun::BetaInv(r.x, r.a, r.b); });
}
void BM_BetaInv_Rmath(benchmark::State& state) {
  SweepRows(state, kBetaInverseArguments,
            [](const Triple& r) { return qbeta(r.x, r.a, r.b, 1, 0); });
}
void BM_BetaInv_Boost(benchmark::State& state) {
  SweepRows(state, kBetaInverseArguments,
            [](const Triple& r) { return bm::ibeta_inv(r.a, r.b, r.x); });
}

// The F-distribution, both tails, and its inverse (of the upper tail).
void BM_FDistP_specfun(benchmark::State& state) {
  const QuietDiagnostics quiet;
  SweepRows(state, kFArguments, [](const Triple& r) { return specfun::FDistP(r.x, r.a, r.b); });
}
void BM_FDistP_Rmath(benchmark::State& state) {
  SweepRows(state, kFArguments, [](const Triple& r) { return pf(r.x, r.a, r.b, 1, 0); });
}
void BM_FDistP_Boost(benchmark::State& state) {
  SweepRows(state, kFArguments,
            [](const Triple& r) { return bm::cdf(bm::fisher_f(r.a, r.b), r.x); });
}
void BM_FDistQ_specfun(benchmark::State& state) {
  const QuietDiagnostics quiet;
  SweepRows(state, kFArguments, [](const Triple& r) { return specfun::FDistQ(r.x, r.a, r.b); });
}
void BM_FDistQ_Rmath(benchmark::State& state) {
  SweepRows(state, kFArguments, [](const Triple& r) { return pf(r.x, r.a, r.b, 0, 0); });
}
void BM_FDistQ_Boost(benchmark::State& state) {
  SweepRows(state, kFArguments,
            [](const Triple& r) { return bm::cdf(bm::complement(bm::fisher_f(r.a, r.b), r.x)); });
}
void BM_FDistInv_specfun(benchmark::State& state) {
  const QuietDiagnostics quiet;
  SweepRows(state, kFInverseArguments,
            [](const Triple& r) { return specfun::FDistInv(r.x, r.a, r.b); });
}
void BM_FDistInv_Rmath(benchmark::State& state) {
  SweepRows(state, kFInverseArguments, [](const Triple& r) { return qf(r.x, r.a, r.b, 0, 0); });
}
void BM_FDistInv_Boost(benchmark::State& state) {
  SweepRows(state, kFInverseArguments, [](const Triple& r) {
    return bm::quantile(bm::complement(bm::fisher_f(r.a, r.b), r.x));
  });
}

// Student's t: the central probability A, the two-sided tail AQ and its
// inverse; the peers' one-sided tails are doubled.
void BM_StudentA_specfun(benchmark::State& state) {
  const QuietDiagnostics quiet;
  SweepRows(state, kTArguments, [](const Triple& r) { return specfun::StudentA(r.x, r.a); });
}
void BM_StudentA_Rmath(benchmark::State& state) {
  SweepRows(state, kTArguments,
            [](const Triple& r) { return 1.0 - 2.0 * pt(-std::fabs(r.x), r.a, 1, 0); });
}
void BM_StudentA_Boost(benchmark::State& state) {
  SweepRows(state, kTArguments, [](const Triple& r) {
    return 1.0 - 2.0 * bm::cdf(bm::complement(bm::students_t(r.a), std::fabs(r.x)));
  });
}
void BM_StudentAQ_specfun(benchmark::State& state) {
  const QuietDiagnostics quiet;
  SweepRows(state, kTArguments, [](const Triple& r) { return specfun::StudentAQ(r.x, r.a); });
}
void BM_StudentAQ_Rmath(benchmark::State& state) {
  SweepRows(state, kTArguments,
            [](const Triple& r) { return 2.0 * pt(-std::fabs(r.x), r.a, 1, 0); });
}
void BM_StudentAQ_Boost(benchmark::State& state) {
  SweepRows(state, kTArguments, [](const Triple& r) {
    return 2.0 * bm::cdf(bm::complement(bm::students_t(r.a), std::fabs(r.x)));
  });
}
void BM_StudentInv_specfun(benchmark::State& state) {
  const QuietDiagnostics quiet;
  SweepRows(state, kTInverseArguments,
            [](const Triple& r) { return specfun::StudentInv(r.x, r.a); });
}
void BM_StudentInv_Rmath(benchmark::State& state) {
  SweepRows(state, kTInverseArguments, [](const Triple& r) { return qt(0.5 * r.x, r.a, 0, 0); });
}
void BM_StudentInv_Boost(benchmark::State& state) {
  SweepRows(state, kTInverseArguments, [](const Triple& r) {
    return bm::quantile(bm::complement(bm::students_t(r.a), 0.5 * r.x));
  });
}

// Binomial sums P(a, n) and Q(a, n), through the incomplete beta function
// for every peer (a and n need not be whole).
void BM_BinomP_specfun(benchmark::State& state) {
  const QuietDiagnostics quiet;
  SweepRows(state, kBinomialArguments,
            [](const Triple& r) { return specfun::BinomP(r.x, r.a, r.b); });
}
void BM_BinomP_Rmath(benchmark::State& state) {
  SweepRows(state, kBinomialArguments,
            [](const Triple& r) { return pbeta(1.0 - r.x, r.b - r.a + 1.0, r.a, 1, 0); });
}
void BM_BinomP_Boost(benchmark::State& state) {
  SweepRows(state, kBinomialArguments,
            [](const Triple& r) { return bm::ibeta(r.b - r.a + 1.0, r.a, 1.0 - r.x); });
}
void BM_BinomQ_specfun(benchmark::State& state) {
  const QuietDiagnostics quiet;
  SweepRows(state, kBinomialArguments,
            [](const Triple& r) { return specfun::BinomQ(r.x, r.a, r.b); });
}
void BM_BinomQ_Rmath(benchmark::State& state) {
  SweepRows(state, kBinomialArguments,
            [](const Triple& r) { return pbeta(r.x, r.a, r.b - r.a + 1.0, 1, 0); });
}
void BM_BinomQ_Boost(benchmark::State& state) {
  SweepRows(state, kBinomialArguments,
            [](const Triple& r) { return bm::ibeta(r.a, r.b - r.a + 1.0, r.x); });
}

}  // namespace

BENCHMARK(BM_BETAF_specfun);
BENCHMARK(BM_BETAF_Rmath);
BENCHMARK(BM_BETAF_Boost);
BENCHMARK(BM_BETAF_Large_specfun);
BENCHMARK(BM_BETAF_Large_Rmath);
BENCHMARK(BM_BETAF_Large_Boost);
BENCHMARK(BM_BetaInv_specfun);
BENCHMARK(BM_BetaInv_Rmath);
BENCHMARK(BM_BetaInv_Boost);
BENCHMARK(BM_FDistP_specfun);
BENCHMARK(BM_FDistP_Rmath);
BENCHMARK(BM_FDistP_Boost);
BENCHMARK(BM_FDistQ_specfun);
BENCHMARK(BM_FDistQ_Rmath);
BENCHMARK(BM_FDistQ_Boost);
BENCHMARK(BM_FDistInv_specfun);
BENCHMARK(BM_FDistInv_Rmath);
BENCHMARK(BM_FDistInv_Boost);
BENCHMARK(BM_StudentA_specfun);
BENCHMARK(BM_StudentA_Rmath);
BENCHMARK(BM_StudentA_Boost);
BENCHMARK(BM_StudentAQ_specfun);
BENCHMARK(BM_StudentAQ_Rmath);
BENCHMARK(BM_StudentAQ_Boost);
BENCHMARK(BM_StudentInv_specfun);
BENCHMARK(BM_StudentInv_Rmath);
BENCHMARK(BM_StudentInv_Boost);
BENCHMARK(BM_BinomP_specfun);
BENCHMARK(BM_BinomP_Rmath);
BENCHMARK(BM_BinomP_Boost);
BENCHMARK(BM_BinomQ_specfun);
BENCHMARK(BM_BinomQ_Rmath);
BENCHMARK(BM_BinomQ_Boost);
