// Fingerprints every public routine: evaluates each one, scalar and batch
// forms, over the arguments of every reference table under tests/data and
// over random arguments (fixed seed), and prints per routine form the count
// of results, a hash of their bits and a hash of the diagnostic records they
// wrote. Two builds whose fingerprints agree gave the same bits everywhere
// they were asked. A refactoring's check, not a test: built only with
// -DSPECFUN_BUILD_TOOLS=ON, run by hand.
//
//   fingerprint_routines [--count N] [--filter SUBSTRING] [--dump FILE]
//
// N random argument sets per routine (default 1000000, scaled down for the
// slow routines); --dump writes every result's bits, one per line, to FILE.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "specfun/diagnostics.hpp"
#include "specfun/distributions.hpp"
#include "specfun/specfun.hpp"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// What an argument stands for; each kind draws from its own mixture.
enum class Kind { kReal, kPositive, kProbability, kLogProbability };

std::uint64_t Bits(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// splitmix64's finaliser: every bit of the input moves every bit of the hash.
std::uint64_t Mix(std::uint64_t hash, std::uint64_t value) {
  std::uint64_t z = hash ^ (value + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2));
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

class ArgumentSource {
 public:
  explicit ArgumentSource(std::uint64_t seed) : engine_(seed) {}

  double Draw(Kind kind) {
    switch (kind) {
      case Kind::kReal:
        return Uniform() < 0.3 ? -Positive() : Positive();
      case Kind::kPositive:
        return Positive();
      case Kind::kProbability:
        return Probability();
      case Kind::kLogProbability:
        return LogProbability();
    }
    return kNaN;
  }

 private:
  double Uniform() { return std::uniform_real_distribution<double>(0.0, 1.0)(engine_); }
  double Pick(std::initializer_list<double> values) {
    std::size_t index = std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(engine_);
    return values.begin()[index];
  }
  double LogUniform(double lowest_exponent, double highest_exponent) {
    return std::pow(10.0, lowest_exponent + (highest_exponent - lowest_exponent) * Uniform());
  }
  double Edge() {
    return Pick({kNaN,
                 kInf,
                 -kInf,
                 0.0,
                 -0.0,
                 1.0,
                 -1.0,
                 2.0,
                 0.5,
                 std::numeric_limits<double>::denorm_min(),
                 std::numeric_limits<double>::min(),
                 std::numeric_limits<double>::max(),
                 std::numeric_limits<double>::epsilon(),
                 1e-300,
                 1e300,
                 1e5,
                 1.25e5,
                 1e6,
                 1e10,
                 37.0,
                 11.0,
                 2.25});
  }
  double Positive() {
    double choice = Uniform();
    if (choice < 0.05) return Edge();
    if (choice < 0.15) return std::floor(LogUniform(0.0, 3.0)) + Pick({0.0, 0.0, 0.5});
    if (choice < 0.70) return LogUniform(-6.0, 6.0);
    return LogUniform(-310.0, 308.0);
  }
  double Probability() {
    double choice = Uniform();
    if (choice < 0.05)
      return Pick({0.0, -0.0, 1.0, -0.1, 1.1, kNaN, kInf, -kInf, 0.5,
                   std::numeric_limits<double>::denorm_min()});
    if (choice < 0.45) return Uniform();
    if (choice < 0.75) return LogUniform(-320.0, 0.0);
    return 1.0 - LogUniform(-17.0, 0.0);
  }
  double LogProbability() {
    double choice = Uniform();
    if (choice < 0.05) return Pick({0.0, -0.0, 1.0, -kInf, kNaN, kInf, -1e-300});
    return -LogUniform(-17.0, 5.0);
  }

  std::mt19937_64 engine_;
};

// One routine form over argument columns: results[i] from row i.
using Evaluate = std::function<void(const std::vector<std::vector<double>>& columns,
                                    double* results, std::size_t count)>;

struct Routine {
  std::string name;
  std::vector<Kind> kinds;
  double cost = 1.0;  // the share of the random count this routine gets
  Evaluate evaluate;
};

// Diagnostics go into the hash of the routine being fingerprinted.
struct RecordTally {
  std::uint64_t hash = 0;
  std::size_t count = 0;
};
RecordTally g_records;

void HashReport(specfun::Report report, void*) {
  for (char c : specfun::FormatFreeFormReport(report)) {
    g_records.hash = Mix(g_records.hash, static_cast<unsigned char>(c));
  }
  ++g_records.count;
}

template <class Scalar>
Evaluate ScalarForm(Scalar scalar) {
  return [scalar](const std::vector<std::vector<double>>& c, double* r, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) r[i] = scalar(c, i);
  };
}

// Batches in chunks of varying sizes, so that single elements, lane
// remainders and batches shared among the cores are all exercised.
template <class Batch>
Evaluate ChunkedForm(Batch batch) {
  return [batch](const std::vector<std::vector<double>>& c, double* r, std::size_t n) {
    static constexpr std::size_t kChunks[] = {1, 7, 16, 64, 333, 20000};
    std::size_t chunk_index = 0;
    for (std::size_t start = 0; start < n;) {
      std::size_t size = std::min(kChunks[chunk_index++ % std::size(kChunks)], n - start);
      batch(c, start, size, r + start);
      start += size;
    }
  };
}

void AddSpecified(std::vector<Routine>& routines) {
  using specfun::BETAF;
  auto add1 = [&](std::string name, Kind k0, double cost, double (*f)(const double&),
                  void (*fb)(const double*, double*, std::size_t)) {
    routines.push_back(
        {name, {k0}, cost, ScalarForm([f](auto& c, std::size_t i) { return f(c[0][i]); })});
    routines.push_back({name + "Batch",
                        {k0},
                        cost,
                        ChunkedForm([fb](auto& c, std::size_t s, std::size_t n, double* r) {
                          fb(c[0].data() + s, r, n);
                        })});
  };
  auto add2 = [&](std::string name, Kind k0, Kind k1, double cost,
                  double (*f)(const double&, const double&),
                  void (*fb)(const double*, const double*, double*, std::size_t)) {
    routines.push_back({name, {k0, k1}, cost, ScalarForm([f](auto& c, std::size_t i) {
                          return f(c[0][i], c[1][i]);
                        })});
    routines.push_back({name + "Batch",
                        {k0, k1},
                        cost,
                        ChunkedForm([fb](auto& c, std::size_t s, std::size_t n, double* r) {
                          fb(c[0].data() + s, c[1].data() + s, r, n);
                        })});
  };
  auto add3 = [&](std::string name, Kind k0, Kind k1, Kind k2, double cost,
                  double (*f)(const double&, const double&, const double&),
                  void (*fb)(const double*, const double*, const double*, double*, std::size_t)) {
    routines.push_back({name, {k0, k1, k2}, cost, ScalarForm([f](auto& c, std::size_t i) {
                          return f(c[0][i], c[1][i], c[2][i]);
                        })});
    routines.push_back({name + "Batch",
                        {k0, k1, k2},
                        cost,
                        ChunkedForm([fb](auto& c, std::size_t s, std::size_t n, double* r) {
                          fb(c[0].data() + s, c[1].data() + s, c[2].data() + s, r, n);
                        })});
  };
  const Kind R = Kind::kReal, P = Kind::kPositive, Pr = Kind::kProbability;
  add1("LnGamma", P, 1.0, specfun::LnGamma, specfun::LnGammaBatch);
  add1("QGauss", R, 1.0, specfun::QGauss, specfun::QGaussBatch);
  add1("QGaussInv", Pr, 1.0, specfun::QGaussInv, specfun::QGaussInvBatch);
  add3("BETAF", Pr, P, P, 1.0, specfun::BETAF, specfun::BETAFBatch);
  add3("FDistP", P, P, P, 1.0, specfun::FDistP, specfun::FDistPBatch);
  add3("FDistQ", P, P, P, 1.0, specfun::FDistQ, specfun::FDistQBatch);
  add2("StudentA", R, P, 1.0, specfun::StudentA, specfun::StudentABatch);
  add2("StudentAQ", R, P, 1.0, specfun::StudentAQ, specfun::StudentAQBatch);
  add3("BinomP", Pr, P, P, 1.0, specfun::BinomP, specfun::BinomPBatch);
  add3("BinomQ", Pr, P, P, 1.0, specfun::BinomQ, specfun::BinomQBatch);
  add3("BetaInv", Pr, P, P, 0.25, specfun::BetaInv, specfun::BetaInvBatch);
  add3("FDistInv", Pr, P, P, 0.25, specfun::FDistInv, specfun::FDistInvBatch);
  add2("StudentInv", Pr, P, 0.25, specfun::StudentInv, specfun::StudentInvBatch);
  add2("ChiSquareInv", Pr, P, 0.25, specfun::ChiSquareInv, specfun::ChiSquareInvBatch);
  for (std::int32_t tail : {0, 1}) {
    std::string suffix = tail == 0 ? ".P" : ".Q";
    routines.push_back(
        {"ChiSquare" + suffix, {P, P}, 1.0, ScalarForm([tail](auto& c, std::size_t i) {
           return specfun::ChiSquare(c[0][i], c[1][i], tail);
         })});
    routines.push_back({"ChiSquareBatch" + suffix,
                        {P, P},
                        1.0,
                        ChunkedForm([tail](auto& c, std::size_t s, std::size_t n, double* r) {
                          specfun::ChiSquareBatch(c[0].data() + s, c[1].data() + s, tail, r, n);
                        })});
    routines.push_back(
        {"NCChiSquare" + suffix, {P, P, P}, 0.05, ScalarForm([tail](auto& c, std::size_t i) {
           return specfun::NCChiSquare(c[0][i], c[1][i], c[2][i], tail);
         })});
    routines.push_back({"NCChiSquareBatch" + suffix,
                        {P, P, P},
                        0.05,
                        ChunkedForm([tail](auto& c, std::size_t s, std::size_t n, double* r) {
                          specfun::NCChiSquareBatch(c[0].data() + s, c[1].data() + s,
                                                    c[2].data() + s, tail, r, n);
                        })});
  }
}

// The ten functions of a distribution D, in three forms each. `make` builds
// D from the parameter columns at row i; the argument is the last column.
template <class D, class Make>
void AddDistribution(std::vector<Routine>& routines, const std::string& family,
                     std::vector<Kind> parameter_kinds, double cost, Make make) {
  struct Function {
    const char* name;
    Kind argument;
    double (*scalar)(const D&, double);
    void (*one)(const D&, const double*, double*, std::size_t);
    void (*each)(const D*, const double*, double*, std::size_t);
    double cost;
  };
  const Function functions[] = {
      {"cdf", Kind::kReal, specfun::cdf, specfun::cdf, specfun::cdf, 1.0},
      {"sf", Kind::kReal, specfun::sf, specfun::sf, specfun::sf, 1.0},
      {"log_cdf", Kind::kReal, specfun::log_cdf, specfun::log_cdf, specfun::log_cdf, 1.0},
      {"log_sf", Kind::kReal, specfun::log_sf, specfun::log_sf, specfun::log_sf, 1.0},
      {"pdf", Kind::kReal, specfun::pdf, specfun::pdf, specfun::pdf, 1.0},
      {"log_pdf", Kind::kReal, specfun::log_pdf, specfun::log_pdf, specfun::log_pdf, 1.0},
      {"quantile", Kind::kProbability, specfun::quantile, specfun::quantile, specfun::quantile,
       0.3},
      {"quantile_upper", Kind::kProbability, specfun::quantile_upper, specfun::quantile_upper,
       specfun::quantile_upper, 0.3},
      {"quantile_log", Kind::kLogProbability, specfun::quantile_log, specfun::quantile_log,
       specfun::quantile_log, 0.3},
      {"quantile_upper_log", Kind::kLogProbability, specfun::quantile_upper_log,
       specfun::quantile_upper_log, specfun::quantile_upper_log, 0.3},
  };
  const std::size_t x_column = parameter_kinds.size();
  std::vector<Kind> kinds = parameter_kinds;
  kinds.push_back(Kind::kReal);
  for (const Function& f : functions) {
    kinds.back() = f.argument;
    std::string name = family + "." + f.name;
    auto scalar = f.scalar;
    auto one = f.one;
    auto each = f.each;
    routines.push_back({name, kinds, cost * f.cost, ScalarForm([=](auto& c, std::size_t i) {
                          return scalar(make(c, i), c[x_column][i]);
                        })});
    // One distribution per chunk: the chunk's first row's.
    routines.push_back({name + "[one]", kinds, cost * f.cost,
                        ChunkedForm([=](auto& c, std::size_t s, std::size_t n, double* r) {
                          one(make(c, s), c[x_column].data() + s, r, n);
                        })});
    routines.push_back({name + "[each]", kinds, cost * f.cost,
                        ChunkedForm([=](auto& c, std::size_t s, std::size_t n, double* r) {
                          std::vector<D> ds;
                          ds.reserve(n);
                          for (std::size_t i = s; i < s + n; ++i) ds.push_back(make(c, i));
                          each(ds.data(), c[x_column].data() + s, r, n);
                        })});
  }
}

void AddDistributions(std::vector<Routine>& routines) {
  const Kind R = Kind::kReal, P = Kind::kPositive, Pr = Kind::kProbability;
  using Columns = std::vector<std::vector<double>>;
  AddDistribution<specfun::Normal>(routines, "normal", {R, P}, 1.0,
                                   [](const Columns& c, std::size_t i) {
                                     return specfun::Normal{c[0][i], c[1][i]};
                                   });
  AddDistribution<specfun::Gamma>(routines, "gamma", {P, P}, 0.3,
                                  [](const Columns& c, std::size_t i) {
                                    return specfun::Gamma{c[0][i], c[1][i]};
                                  });
  AddDistribution<specfun::ChiSquared>(
      routines, "chisq", {P}, 0.3,
      [](const Columns& c, std::size_t i) { return specfun::ChiSquared{c[0][i]}; });
  AddDistribution<specfun::Poisson>(
      routines, "poisson", {P}, 0.3,
      [](const Columns& c, std::size_t i) { return specfun::Poisson{c[0][i]}; });
  AddDistribution<specfun::Beta>(routines, "beta", {P, P}, 0.2,
                                 [](const Columns& c, std::size_t i) {
                                   return specfun::Beta{c[0][i], c[1][i]};
                                 });
  AddDistribution<specfun::StudentT>(routines, "t", {P}, 0.2, [](const Columns& c, std::size_t i) {
    return specfun::StudentT{c[0][i]};
  });
  AddDistribution<specfun::FisherF>(routines, "f", {P, P}, 0.2,
                                    [](const Columns& c, std::size_t i) {
                                      return specfun::FisherF{c[0][i], c[1][i]};
                                    });
  AddDistribution<specfun::Binomial>(routines, "binomial", {P, Pr}, 0.2,
                                     [](const Columns& c, std::size_t i) {
                                       return specfun::Binomial{c[0][i], c[1][i]};
                                     });
  AddDistribution<specfun::NonCentralChiSquared>(
      routines, "ncchisq", {P, P}, 0.02, [](const Columns& c, std::size_t i) {
        return specfun::NonCentralChiSquared{c[0][i], c[1][i]};
      });
}

// Every row of every reference table, as plain numbers.
std::vector<std::vector<double>> ReadTableRows(const std::filesystem::path& directory) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(directory)) {
    if (entry.is_regular_file() && entry.path().extension() == ".txt")
      files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  std::vector<std::vector<double>> rows;
  for (const auto& file : files) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#') continue;
      std::istringstream fields(line);
      std::vector<double> row;
      std::string field;
      while (fields >> field) row.push_back(std::strtod(field.c_str(), nullptr));
      if (!row.empty()) rows.push_back(row);
    }
  }
  return rows;
}

// The table arguments of a routine of `arity` arguments: every run of
// `arity` consecutive numbers of every row, so that whichever columns a
// table keeps its arguments in, they are among them.
std::vector<std::vector<double>> TableColumns(const std::vector<std::vector<double>>& rows,
                                              std::size_t arity) {
  std::vector<std::vector<double>> columns(arity);
  for (const auto& row : rows) {
    for (std::size_t start = 0; start + arity <= row.size(); ++start) {
      for (std::size_t k = 0; k < arity; ++k) columns[k].push_back(row[start + k]);
    }
  }
  return columns;
}

std::vector<std::vector<double>> RandomColumns(const Routine& routine, std::size_t count) {
  // The batch forms draw the same arguments as their scalar routine.
  std::string base = routine.name.substr(0, routine.name.find('['));
  if (auto batch = base.find("Batch"); batch != std::string::npos) base.erase(batch, 5);
  std::uint64_t seed = 20261207;
  for (char c : base) seed = Mix(seed, static_cast<unsigned char>(c));
  ArgumentSource source(seed);
  std::vector<std::vector<double>> columns(routine.kinds.size(), std::vector<double>(count));
  for (std::size_t i = 0; i < count; ++i) {
    for (std::size_t k = 0; k < routine.kinds.size(); ++k)
      columns[k][i] = source.Draw(routine.kinds[k]);
  }
  return columns;
}

std::uint64_t HashResults(const std::vector<double>& results, std::FILE* dump,
                          const std::string& name) {
  std::uint64_t hash = 0;
  for (double value : results) {
    hash = Mix(hash, Bits(value));
    if (dump)
      std::fprintf(dump, "%s %016llx\n", name.c_str(),
                   static_cast<unsigned long long>(Bits(value)));
  }
  return hash;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t count = 1000000;
  std::string filter;
  std::FILE* dump = nullptr;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string option = argv[i];
    if (option == "--count")
      count = std::strtoull(argv[i + 1], nullptr, 10);
    else if (option == "--filter")
      filter = argv[i + 1];
    else if (option == "--dump")
      dump = std::fopen(argv[i + 1], "w");
    else {
      std::fprintf(stderr, "unknown option %s\n", option.c_str());
      return 2;
    }
  }
  std::vector<Routine> routines;
  AddSpecified(routines);
  AddDistributions(routines);
  const auto rows = ReadTableRows(SPECFUN_TEST_DATA);
  specfun::ScopedDiagnosticSink sink({HashReport, nullptr});
  std::printf("%-34s %9s %16s %9s %16s %6s %16s\n", "routine", "tables", "hash", "random", "hash",
              "records", "records hash");
  for (const Routine& routine : routines) {
    if (!filter.empty() && routine.name.find(filter) == std::string::npos) continue;
    g_records = {};
    const auto table = TableColumns(rows, routine.kinds.size());
    std::vector<double> table_results(table[0].size());
    routine.evaluate(table, table_results.data(), table_results.size());
    const std::size_t random_count = std::max<std::size_t>(1000, count * routine.cost);
    const auto random = RandomColumns(routine, random_count);
    std::vector<double> random_results(random_count);
    routine.evaluate(random, random_results.data(), random_count);
    std::printf("%-34s %9zu %016llx %9zu %016llx %6zu %016llx\n", routine.name.c_str(),
                table_results.size(),
                static_cast<unsigned long long>(HashResults(table_results, dump, routine.name)),
                random_count,
                static_cast<unsigned long long>(HashResults(random_results, dump, routine.name)),
                g_records.count, static_cast<unsigned long long>(g_records.hash));
    std::fflush(stdout);
  }
  if (dump) std::fclose(dump);
  return 0;
}
