// The batch routines against their scalar routines: every result bit for
// bit and every diagnostic record in element order, on the reference tables
// and on random arguments over every method region (NaN, infinities, zeros,
// the diagnostics' triggers), at lengths 0, 1, the lane width ± 1 and large.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "specfun/specfun.hpp"
#include "tests/diagnostic_capture.hpp"
#include "tests/reference_table.hpp"

namespace {

using Arguments = std::vector<std::vector<double>>;  // one array per parameter
using testing_support::DiagnosticCapture;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Routine {
  const char* name;
  int arity;
  std::function<double(const double*)> scalar;
  std::function<void(const Arguments&, double*, std::size_t)> batch;
  // Random arguments of every method region, one element per call.
  std::function<std::vector<double>(std::mt19937_64&)> draw;
};

double LogUniform(std::mt19937_64& rng, double low, double high) {
  return std::exp(std::uniform_real_distribution<double>(std::log(low), std::log(high))(rng));
}
double Uniform(std::mt19937_64& rng, double low, double high) {
  return std::uniform_real_distribution<double>(low, high)(rng);
}
// Mostly a value of the distribution given, sometimes one of the awkward
// doubles every routine must take.
double OrSpecial(std::mt19937_64& rng, double value) {
  static const double kSpecial[] = {kNaN, kInf, -kInf, 0.0, -0.0, -1.0, 1.0, 5e-324, 1e300};
  if (std::uniform_int_distribution<int>(0, 24)(rng) != 0) return value;
  return kSpecial[std::uniform_int_distribution<int>(0, 8)(rng)];
}
// A probability: inside (0, 1) on a log scale towards either end, the ends,
// and outside (the inverse Gaussian's reports).
double Probability(std::mt19937_64& rng) {
  switch (std::uniform_int_distribution<int>(0, 9)(rng)) {
    case 0:
      return LogUniform(rng, 1e-300, 1e-10);
    case 1:
      return 1.0 - LogUniform(rng, 1e-16, 1e-3);
    case 2:
      return std::uniform_int_distribution<int>(0, 1)(rng) ? -0.1 : 1.5;
    case 3:  // both sides of the upper ranges whose three Newton steps are kept
      return 1.0 - Uniform(rng, 0.01, 0.5);
    case 4:
      return 1.0 - LogUniform(rng, 1e-5, 0.01);
    default:
      return OrSpecial(rng, LogUniform(rng, 1e-10, 0.999));
  }
}
// A shape parameter or degrees of freedom, from tiny to large, with the
// one halves and whole numbers the inverses' starts test for.
double Shape(std::mt19937_64& rng) {
  switch (std::uniform_int_distribution<int>(0, 7)(rng)) {
    case 0:
      return 0.5;
    case 1:
      return std::floor(Uniform(rng, 1.0, 40.0));
    case 2:
      return LogUniform(rng, 100.0, 2000.0);
    default:
      return OrSpecial(rng, LogUniform(rng, 1e-3, 200.0));
  }
}
// A point in [0, 1] near the mean, near either end, or outside.
double UnitPoint(std::mt19937_64& rng) {
  switch (std::uniform_int_distribution<int>(0, 5)(rng)) {
    case 0:
      return LogUniform(rng, 1e-300, 1e-3);
    case 1:
      return 1.0 - LogUniform(rng, 1e-16, 1e-3);
    default:
      return OrSpecial(rng, Uniform(rng, 0.0, 1.0));
  }
}

std::vector<Routine> Routines() {
  using namespace specfun;
  const auto one = [](double (*f)(const double&), void (*b)(const double*, double*, std::size_t)) {
    return std::make_pair(
        std::function<double(const double*)>([f](const double* v) { return f(v[0]); }),
        std::function<void(const Arguments&, double*, std::size_t)>(
            [b](const Arguments& a, double* r, std::size_t n) { b(a[0].data(), r, n); }));
  };
  const auto two = [](double (*f)(const double&, const double&),
                      void (*b)(const double*, const double*, double*, std::size_t)) {
    return std::make_pair(
        std::function<double(const double*)>([f](const double* v) { return f(v[0], v[1]); }),
        std::function<void(const Arguments&, double*, std::size_t)>(
            [b](const Arguments& a, double* r, std::size_t n) {
              b(a[0].data(), a[1].data(), r, n);
            }));
  };
  const auto three = [](double (*f)(const double&, const double&, const double&),
                        void (*b)(const double*, const double*, const double*, double*,
                                  std::size_t)) {
    return std::make_pair(
        std::function<double(const double*)>([f](const double* v) { return f(v[0], v[1], v[2]); }),
        std::function<void(const Arguments&, double*, std::size_t)>(
            [b](const Arguments& a, double* r, std::size_t n) {
              b(a[0].data(), a[1].data(), a[2].data(), r, n);
            }));
  };
  const auto deviate = [](std::mt19937_64& rng) -> std::vector<double> {
    switch (std::uniform_int_distribution<int>(0, 3)(rng)) {
      case 0:
        return {Uniform(rng, -2.25, 2.25)};
      case 1:
        return {OrSpecial(rng, Uniform(rng, -12.0, 38.0))};
      case 2:
        return {std::uniform_int_distribution<int>(0, 1)(rng) ? 2.25 : -2.25};
      default:
        return {Uniform(rng, 2.0, 9.0) * (rng() % 2 ? 1.0 : -1.0)};
    }
  };
  std::vector<Routine> routines;
  const auto add = [&](const char* name, int arity, auto calls, auto draw) {
    routines.push_back({name, arity, calls.first, calls.second, draw});
  };
  add("LnGamma", 1, one(LnGamma, LnGammaBatch), [](std::mt19937_64& rng) -> std::vector<double> {
    return {OrSpecial(rng, LogUniform(rng, 1e-310, 1e30))};
  });
  add("QGauss", 1, one(QGauss, QGaussBatch), deviate);
  // A third of the probabilities where the smaller tail's deviate lies from
  // 2.25 to 3, where the refinement may take Laplace's deep fraction.
  add("QGaussInv", 1, one(QGaussInv, QGaussInvBatch),
      [](std::mt19937_64& rng) -> std::vector<double> {
        if (rng() % 3 != 0) return {Probability(rng)};
        const double q = Uniform(rng, 0.00134, 0.0123);
        return {rng() % 2 ? q : 1.0 - q};
      });
  const auto beta = [](std::mt19937_64& rng) -> std::vector<double> {
    switch (std::uniform_int_distribution<int>(0, 9)(rng)) {
      case 0:
        return {0.5, 300.0, 300.0};  // reports its iteration count
      case 1:
        return {0.5, 1000.0, 1000.0};  // reports slow convergence
      case 2: {
        const double a = LogUniform(rng, 50.0, 5000.0);  // near the mean of large a, b
        const double b = LogUniform(rng, 50.0, 5000.0);
        return {a / (a + b) * Uniform(rng, 0.97, 1.03), a, b};
      }
      case 3: {
        // Beyond the fraction's parameters: the accurate tails.
        const double a = LogUniform(rng, 1e4, 1e8);
        const double b = rng() % 2 ? LogUniform(rng, 1e4, 1e8) : LogUniform(rng, 1e-310, 1e-300);
        return {a / (a + b) * Uniform(rng, 0.9, 1.1), a, b};
      }
      default:
        return {UnitPoint(rng), Shape(rng), Shape(rng)};
    }
  };
  const auto ratio = [](std::mt19937_64& rng) -> std::vector<double> {
    const double value =
        rng() % 4 == 0 ? LogUniform(rng, 1e-300, 1e300) : LogUniform(rng, 0.01, 30.0);
    return {OrSpecial(rng, value), Shape(rng) * 2.0, Shape(rng) * 2.0};
  };
  const auto t = [](std::mt19937_64& rng) -> std::vector<double> {
    const double value = rng() % 4 == 0 ? LogUniform(rng, 1e-200, 1e200) : Uniform(rng, -8.0, 8.0);
    return {OrSpecial(rng, value), Shape(rng) * 2.0};
  };
  const auto binomial = [](std::mt19937_64& rng) -> std::vector<double> {
    const double n = rng() % 2 ? std::floor(LogUniform(rng, 1.0, 3000.0)) : Shape(rng) * 10.0;
    const double a =
        rng() % 2 ? std::floor(Uniform(rng, 1.0, n + 1.0)) : Uniform(rng, 0.0, n + 1.0);
    return {UnitPoint(rng), OrSpecial(rng, a), n};
  };
  const auto inverse = [](std::mt19937_64& rng) -> std::vector<double> {
    return {Probability(rng), Shape(rng), Shape(rng)};
  };
  add("BETAF", 3, three(BETAF, BETAFBatch), beta);
  add("FDistP", 3, three(FDistP, FDistPBatch), ratio);
  add("FDistQ", 3, three(FDistQ, FDistQBatch), ratio);
  add("StudentA", 2, two(StudentA, StudentABatch), t);
  add("StudentAQ", 2, two(StudentAQ, StudentAQBatch), t);
  add("BinomP", 3, three(BinomP, BinomPBatch), binomial);
  add("BinomQ", 3, three(BinomQ, BinomQBatch), binomial);
  add("BetaInv", 3, three(BetaInv, BetaInvBatch), inverse);
  add("FDistInv", 3, three(FDistInv, FDistInvBatch), inverse);
  add("StudentInv", 2, two(StudentInv, StudentInvBatch), inverse);
  // Degrees of freedom up to and past 1e10, where the tail and its inverse
  // take the Wilson–Hilferty approximation.
  const auto chiSquareInverse = [](std::mt19937_64& rng) -> std::vector<double> {
    const bool huge = std::uniform_int_distribution<int>(0, 3)(rng) == 0;
    return {Probability(rng), huge ? LogUniform(rng, 2000.0, 1e12) : Shape(rng)};
  };
  add("ChiSquareInv", 2, two(ChiSquareInv, ChiSquareInvBatch), chiSquareInverse);
  return routines;
}

std::uint64_t Bits(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

// Runs the routine's batch form on `arguments` and its scalar form element
// by element, and compares the values bit for bit and the records line by line.
void ExpectBatchIsScalar(const Routine& routine, const Arguments& arguments) {
  const std::size_t count = arguments[0].size();
  std::vector<double> expected(count);
  std::vector<std::string> expectedRecords;
  std::vector<std::size_t> expectedReportSizes;
  {
    const DiagnosticCapture capture;
    for (std::size_t i = 0; i < count; ++i) {
      double v[3];
      for (int k = 0; k < routine.arity; ++k) v[k] = arguments[k][i];
      expected[i] = routine.scalar(v);
    }
    expectedRecords = capture.lines();
    expectedReportSizes = capture.reportSizes();
  }
  // Guard values either side of the result catch a write out of bounds.
  std::vector<double> result(count + 2, -7.0);
  std::vector<std::string> records;
  std::vector<std::size_t> reportSizes;
  {
    const DiagnosticCapture capture;
    routine.batch(arguments, result.data() + 1, count);
    records = capture.lines();
    reportSizes = capture.reportSizes();
  }
  EXPECT_EQ(Bits(result.front()), Bits(-7.0)) << routine.name;
  EXPECT_EQ(Bits(result.back()), Bits(-7.0)) << routine.name;
  std::size_t mismatches = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (Bits(result[i + 1]) == Bits(expected[i])) continue;
    if (++mismatches > 5) continue;
    std::ostringstream where;
    where.precision(17);
    for (int k = 0; k < routine.arity; ++k) where << " " << arguments[k][i];
    ADD_FAILURE() << routine.name << "(" << where.str() << " ) element " << i << ": batch "
                  << result[i + 1] << ", scalar " << expected[i];
  }
  EXPECT_EQ(mismatches, 0u) << routine.name << " over " << count << " elements";
  EXPECT_EQ(records.size(), expectedRecords.size()) << routine.name << " over " << count;
  EXPECT_EQ(reportSizes, expectedReportSizes) << routine.name << " over " << count;
  for (std::size_t k = 0; k < records.size() && k < expectedRecords.size(); ++k) {
    if (records[k] == expectedRecords[k]) continue;
    ADD_FAILURE() << routine.name << " over " << count << " elements: record " << k << " is \""
                  << records[k] << "\", the scalar calls' \"" << expectedRecords[k] << "\"";
    break;
  }
}

Arguments Draw(const Routine& routine, std::size_t count, std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  Arguments arguments(routine.arity);
  for (std::size_t i = 0; i < count; ++i) {
    const std::vector<double> element = routine.draw(rng);
    for (int k = 0; k < routine.arity; ++k) arguments[k].push_back(element[k]);
  }
  return arguments;
}

TEST(Batch, RandomArgumentsAtEveryLength) {
  // 0, 1, the lane width 16 ± 1 and half of it, more than a chunk, and a
  // batch shared among cores.
  const std::size_t lengths[] = {0, 1, 7, 8, 9, 15, 16, 17, 600, 2500, 12000};
  for (const Routine& routine : Routines()) {
    for (std::size_t length : lengths) {
      ExpectBatchIsScalar(routine, Draw(routine, length, 1234 + length));
    }
  }
}

// Reference table columns that hold each routine's arguments; where `kind`
// is not negative, only the rows whose first column holds it.
struct TableArguments {
  const char* routine;
  const char* table;
  std::vector<int> columns;
  int kind = -1;
};

TEST(Batch, ReferenceTables) {
  const TableArguments tables[] = {
      {"LnGamma", "log_gamma.txt", {0}},
      {"LnGamma", "accuracy/ln_gamma.txt", {0}},
      {"QGauss", "gauss_upper_tail.txt", {0}},
      {"QGauss", "accuracy/qgauss.txt", {0}},
      {"QGaussInv", "gauss_inverse.txt", {0}},
      {"QGaussInv", "accuracy/qgauss_inv.txt", {0}},
      {"BETAF", "beta_incomplete.txt", {0, 1, 2}},
      {"BETAF", "accuracy/betaf.txt", {0, 1, 2}},
      {"FDistP", "beta_distributions.txt", {1, 2, 3}, 1},
      {"FDistQ", "beta_distributions.txt", {1, 2, 3}, 2},
      {"StudentA", "beta_distributions.txt", {1, 2}, 3},
      {"StudentAQ", "beta_distributions.txt", {1, 2}, 4},
      {"BinomP", "beta_distributions.txt", {1, 2, 3}, 5},
      {"BinomQ", "beta_distributions.txt", {1, 2, 3}, 6},
      {"FDistP", "accuracy/fdist.txt", {0, 1, 2}},
      {"FDistQ", "accuracy/fdist.txt", {0, 1, 2}},
      {"StudentA", "accuracy/student.txt", {0, 1}},
      {"StudentAQ", "accuracy/student.txt", {0, 1}},
      {"BinomP", "accuracy/binom.txt", {0, 1, 2}},
      {"BinomQ", "accuracy/binom.txt", {0, 1, 2}},
      {"BetaInv", "beta_inverse.txt", {0, 1, 2}},
      {"BetaInv", "accuracy/beta_inv.txt", {0, 1, 2}},
      {"FDistInv", "accuracy/fdist_inv.txt", {0, 1, 2}},
      {"StudentInv", "accuracy/student_inv.txt", {0, 1}},
      {"ChiSquareInv", "chisq_inverse.txt", {0, 1}},
      {"ChiSquareInv", "accuracy/chi_square_inv.txt", {0, 1}},
  };
  const std::vector<Routine> routines = Routines();
  for (const TableArguments& t : tables) {
    const auto rows = testing_support::ReadReferenceTable(t.table);
    for (const Routine& routine : routines) {
      if (std::string(routine.name) != t.routine) continue;
      Arguments arguments(routine.arity);
      for (const auto& row : rows) {
        if (t.kind >= 0 && row[0] != t.kind) continue;
        for (int k = 0; k < routine.arity; ++k) arguments[k].push_back(row[t.columns[k]]);
      }
      ASSERT_FALSE(arguments[0].empty()) << t.table;
      SCOPED_TRACE(t.table);
      ExpectBatchIsScalar(routine, arguments);
    }
  }
}

// Elements that report (QGaussInv outside [0, 1]; BETAF after more than 20
// iterations, a = b = 300 near the mean, or without convergence, a = b =
// 1000) among quiet ones, each routine's reports in element order.
struct ReportingElements {
  const char* routine;
  Arguments arguments;
};

TEST(Batch, ReportsComeInElementOrder) {
  const ReportingElements cases[] = {
      {"QGaussInv", {{0.3, -0.1, 0.5, 1.5, 0.0, -0.2, 0.9, 2.0, 0.01, 1.0, -3.0}}},
      {"BETAF",
       {{0.5, 0.3, 0.5, -1.0, 0.5, 0.2, 0.5},
        {300.0, 2.0, 1000.0, 2.0, 300.0, 50.0, 1e4},
        {300.0, 3.0, 1000.0, 3.0, 300.0, 40.0, 1e4}}},
      {"FDistP", {{1.0, 2.0, 1.0, 1.0}, {600.0, 3.0, 2000.0, 600.0}, {600.0, 30.0, 2000.0, 600.0}}},
      {"BinomQ", {{0.5, 0.3, 0.5}, {300.0, 2.0, 1000.0}, {599.0, 10.0, 1999.0}}},
      {"BetaInv",
       {{0.5, -0.1, 0.3, 1.5, 0.5, 0.05},
        {300.0, 2.0, 2.0, 2.0, 1000.0, 0.4},
        {300.0, 3.0, 3.0, 3.0, 1000.0, 5.0}}},
      {"FDistInv",
       {{0.5, -0.1, 0.05, 2.0, 0.5},
        {600.0, 3.0, 3.0, 3.0, 2000.0},
        {600.0, 30.0, 30.0, 30.0, 2000.0}}},
      {"StudentInv", {{0.05, -0.1, 0.5, 1.5, 1e-6}, {10.0, 5.0, 3.0, 3.0, 30.0}}},
      {"ChiSquareInv", {{0.05, -0.1, 0.5, 1.5, 0.01}, {3.0, 3.0, 1.0, 2.0, 10.0}}},
  };
  const std::vector<Routine> routines = Routines();
  for (const ReportingElements& c : cases) {
    for (const Routine& routine : routines) {
      if (std::string(routine.name) != c.routine) continue;
      {
        // The case is meant to report.
        const DiagnosticCapture capture;
        for (std::size_t i = 0; i < c.arguments[0].size(); ++i) {
          double v[3];
          for (int k = 0; k < routine.arity; ++k) v[k] = c.arguments[k][i];
          routine.scalar(v);
        }
        EXPECT_GE(capture.records().size(), 2u) << c.routine;
      }
      ExpectBatchIsScalar(routine, c.arguments);
    }
  }
}

// Elements of BETAF that take the accurate tails: the large-parameter set
// near the mean (a = b = 1e4, a = 3e3 with b = 7e3 and a = b = 1e5 leave
// Aitken's value unsettled after 41 iterations; a = b = 1e3 keeps it),
// parameters past the fraction's limit, subnormal or infinite ones, tails
// below the doubles, and ordinary elements among them.
std::vector<double> AccurateTailsElement(std::mt19937_64& rng) {
  static const double kLargeSet[][3] = {
      {0.5, 1e3, 1e3}, {0.5, 1e4, 1e4}, {0.3, 3e3, 7e3}, {0.5, 1e5, 1e5}};
  switch (std::uniform_int_distribution<int>(0, 8)(rng)) {
    case 0: {
      const double* v = kLargeSet[rng() % 4];
      return {v[0], v[1], v[2]};
    }
    case 1: {  // unsettled near the mean: the tails' fraction, or Temme's expansion
      const double a = LogUniform(rng, 2e3, 1.25e5);
      const double b = LogUniform(rng, 2e3, 1.25e5);
      return {a / (a + b) * Uniform(rng, 0.995, 1.005), a, b};
    }
    case 2: {  // past the fraction's parameters
      const double a = LogUniform(rng, 1.25e5, 1e9);
      const double b = rng() % 2 ? LogUniform(rng, 10.0, 1e9) : LogUniform(rng, 0.1, 10.0);
      return {a / (a + b) * Uniform(rng, 0.98, 1.02), a, b};
    }
    case 3: {  // subnormal or infinite beside a large parameter
      const double odd = rng() % 2 ? 5e-320 : kInf;
      return rng() % 2 ? std::vector<double>{0.4, odd, 2e5} : std::vector<double>{0.4, 2e5, odd};
    }
    case 4: {  // far from the mean: a tail below the doubles
      const double a = LogUniform(rng, 1.3e5, 1e7);
      return {rng() % 2 ? 0.2 : 0.8, a, a};
    }
    case 5: {  // a large and a small parameter: the series at the small argument
      const double a = LogUniform(rng, 1.3e5, 1e7);
      return {1.0 - LogUniform(rng, 1e-9, 1e-4) / a, a, LogUniform(rng, 1e-3, 2.0)};
    }
    case 6: {  // both parameters of the Stirling series, the series at a small argument
      const double b = LogUniform(rng, 1.3e5, 1e8);
      return {LogUniform(rng, 1e-300, 1e-6), LogUniform(rng, 10.0, 1e3), b};
    }
    default:
      return {UnitPoint(rng), Shape(rng), Shape(rng)};
  }
}

TEST(Batch, IncompleteBetaAccurateTailsSideBySide) {
  Routine betaf;
  for (const Routine& routine : Routines()) {
    if (std::string(routine.name) == "BETAF") betaf = routine;
  }
  betaf.draw = AccurateTailsElement;
  // Around the lane width, more than a chunk, and a batch shared among cores.
  const std::size_t lengths[] = {0, 1, 2, 15, 16, 17, 33, 600, 2500, 12000};
  for (std::size_t length : lengths) {
    ExpectBatchIsScalar(betaf, Draw(betaf, length, 77 + length));
  }
  // Only unsettled elements, only elements past the fraction's limit, and
  // each of the large set alone, filling every lane with the same fraction.
  const Arguments alike[] = {
      {std::vector<double>(40, 0.5), std::vector<double>(40, 1e4), std::vector<double>(40, 1e4)},
      {std::vector<double>(17, 0.3), std::vector<double>(17, 3e3), std::vector<double>(17, 7e3)},
      {std::vector<double>(16, 0.5), std::vector<double>(16, 1e5), std::vector<double>(16, 1e5)},
      {std::vector<double>(15, 0.5), std::vector<double>(15, 2e5), std::vector<double>(15, 3e5)},
  };
  for (const Arguments& arguments : alike) ExpectBatchIsScalar(betaf, arguments);
}

// The values of the slow-convergence reports, bit for bit: the batch's
// fraction side by side gives each element's last approximants and value.
TEST(Batch, IncompleteBetaReportsCarryTheScalarBits) {
  const Arguments arguments = Draw(
      {"BETAF", 3, nullptr, nullptr, AccurateTailsElement}, 700, 4242);
  const std::size_t count = arguments[0].size();
  std::vector<std::vector<double>> expected;
  {
    const DiagnosticCapture capture;
    for (std::size_t i = 0; i < count; ++i) {
      specfun::BETAF(arguments[0][i], arguments[1][i], arguments[2][i]);
    }
    for (const auto& record : capture.records()) expected.push_back(record.reals);
  }
  std::vector<std::vector<double>> reals;
  {
    const DiagnosticCapture capture;
    std::vector<double> result(count);
    specfun::BETAFBatch(arguments[0].data(), arguments[1].data(), arguments[2].data(),
                        result.data(), count);
    for (const auto& record : capture.records()) reals.push_back(record.reals);
  }
  ASSERT_EQ(reals.size(), expected.size());
  ASSERT_GT(expected.size(), 100u);
  for (std::size_t k = 0; k < reals.size(); ++k) {
    ASSERT_EQ(reals[k].size(), expected[k].size()) << "record " << k;
    for (std::size_t j = 0; j < reals[k].size(); ++j) {
      EXPECT_EQ(Bits(reals[k][j]), Bits(expected[k][j])) << "record " << k << " value " << j;
    }
  }
}

TEST(Batch, SpanFormsCheckTheirLengths) {
  using Span = std::span<const double>;
  const std::vector<double> x = {0.1, 0.2, 0.3};
  const std::vector<double> a = {2.0, 3.0, 4.0};
  std::vector<double> result(3);
  specfun::QGaussBatch(Span(x), std::span<double>(result));
  EXPECT_EQ(result[1], specfun::QGauss(0.2));
  specfun::BETAFBatch(Span(x), Span(a), Span(a), std::span<double>(result));
  EXPECT_EQ(result[2], specfun::BETAF(0.3, 4.0, 4.0));
  specfun::StudentInvBatch(Span(x), Span(a), std::span<double>(result));
  EXPECT_EQ(result[0], specfun::StudentInv(0.1, 2.0));
  std::vector<double> shorter(2);
  EXPECT_THROW(specfun::QGaussBatch(Span(x), std::span<double>(shorter)), std::invalid_argument);
  EXPECT_THROW(specfun::BETAFBatch(Span(x), Span(a), Span(shorter), std::span<double>(result)),
               std::invalid_argument);
}

}  // namespace
