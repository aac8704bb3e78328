#include "console/eval_routines.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "specfun/specfun.hpp"

namespace console {
namespace {

bool Probability(double p) { return p > 0.0 && p < 1.0; }
bool Positive(double v) { return v > 0.0; }
bool Nonnegative(double v) { return v >= 0.0; }

bool Everywhere(const double*) { return true; }
bool PositiveX(const double* r) { return Positive(r[0]); }
bool ProbabilityP(const double* r) { return Probability(r[0]); }
bool BetaArguments(const double* r) {
  return r[0] >= 0.0 && r[0] <= 1.0 && Positive(r[1]) && Positive(r[2]);
}
bool FArguments(const double* r) { return Nonnegative(r[0]) && Positive(r[1]) && Positive(r[2]); }
bool TArguments(const double* r) { return Positive(r[1]); }
bool BinomialArguments(const double* r) {
  return Probability(r[0]) && r[1] > 0.0 && r[1] < r[2] + 1.0;
}
bool QuantileOfTwo(const double* r) { return Probability(r[0]) && Positive(r[1]); }
bool QuantileOfThree(const double* r) {
  return Probability(r[0]) && Positive(r[1]) && Positive(r[2]);
}
bool ChiSquareArguments(const double* r) { return Nonnegative(r[0]) && Positive(r[1]); }
bool NonCentralArguments(const double* r) {
  return Nonnegative(r[0]) && Positive(r[1]) && Nonnegative(r[2]);
}

constexpr std::string_view kProbabilityDomain = "0 < p < 1";

std::vector<Routine> MakeLibraryRoutines() {
  return {
      {"LnGamma", {"x", "ln Gamma(x)", "x > 0"}, &PositiveX, &specfun::LnGammaBatch},
      {"QGauss", {"x", "upper normal tail Q(x) = P(X > x); P(x) is QGauss(-x)", ""}, &Everywhere,
       &specfun::QGaussBatch},
      {"QGaussInv", {"p", "the x with upper normal tail p", kProbabilityDomain}, &ProbabilityP,
       &specfun::QGaussInvBatch},
      {"BETAF", {"x a b", "I(x, a, b), the beta(a, b) lower tail", "0 <= x <= 1, a, b > 0"},
       &BetaArguments, &specfun::BETAFBatch},
      {"FDistP", {"F nu1 nu2", "lower F tail P(X <= F)", "F >= 0, nu1, nu2 > 0"},
       &FArguments, &specfun::FDistPBatch},
      {"FDistQ", {"F nu1 nu2", "upper F tail P(X > F)", "F >= 0, nu1, nu2 > 0"},
       &FArguments, &specfun::FDistQBatch},
      {"StudentA", {"t nu", "central t probability P(|T| <= |t|)", "nu > 0"}, &TArguments,
       &specfun::StudentABatch},
      {"StudentAQ", {"t nu", "two-sided t tail P(|T| > |t|)", "nu > 0"}, &TArguments,
       &specfun::StudentAQBatch},
      {"BinomP", {"p a n", "P(fewer than a successes in n trials)",
                  "0 < p < 1, 0 < a < n + 1"},
       &BinomialArguments, &specfun::BinomPBatch},
      {"BinomQ", {"p a n", "P(a or more successes in n trials)",
                  "0 < p < 1, 0 < a < n + 1"},
       &BinomialArguments, &specfun::BinomQBatch},
      {"BetaInv", {"p a b", "the x with I(x, a, b) = p (lower tail)", "0 < p < 1, a, b > 0"},
       &QuantileOfThree, &specfun::BetaInvBatch},
      {"FDistInv", {"p nu1 nu2", "the F with upper tail p", "0 < p < 1, nu1, nu2 > 0"},
       &QuantileOfThree, &specfun::FDistInvBatch},
      {"StudentInv", {"p nu", "the t with two-sided tail p", "0 < p < 1, nu > 0"},
       &QuantileOfTwo, &specfun::StudentInvBatch},
      {"ChiSquare", {"x nu tail", "chi-square lower tail P (tail 0) or upper Q (else)",
                     "x >= 0, nu > 0"},
       &ChiSquareArguments, &specfun::ChiSquareBatch},
      {"ChiSquareInv", {"p nu", "the x with upper chi-square tail p", "0 < p < 1, nu > 0"},
       &QuantileOfTwo, &specfun::ChiSquareInvBatch},
      {"NCChiSquare", {"x nu lambda tail",
                       "non-central chi-square P (tail 0) or Q (else)",
                       "x >= 0, nu > 0, lambda >= 0"},
       &NonCentralArguments, &specfun::NCChiSquareBatch},
  };
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

// The fewest single letters to change, add or drop to turn a into b, in any
// case (Levenshtein's distance).
std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  std::iota(row.begin(), row.end(), std::size_t{0});
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const std::size_t change = diagonal + (Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1);
      row[j] = std::min({change, above + 1, row[j - 1] + 1});
      diagonal = above;
    }
  }
  return row[b.size()];
}

template <class Visit>
void ForEachRoutine(Visit visit) {
  for (const Routine& routine : LibraryRoutines()) visit(routine);
  for (const Routine& routine : DistributionRoutineTable()) visit(routine);
}

}  // namespace

Routine::Routine(const DistributionRoutine& routine)
    : name(routine.name),
      arity(routine.arity),
      leastArity(routine.leastArity),
      defaults(routine.defaults.data()),
      text_{routine.arguments, routine.meaning, ""},
      columns_(routine.evaluate) {}

void Routine::Evaluate(const double* const* columns, std::size_t count, double* result) const {
  if (columns_ != nullptr) return columns_(columns, result, count);
  if (one_ != nullptr) return one_(columns[0], result, count);
  if (two_ != nullptr) return two_(columns[0], columns[1], result, count);
  if (three_ != nullptr) return three_(columns[0], columns[1], columns[2], result, count);
  const double* tails = columns[arity - 1];
  for (std::size_t begin = 0, end = 0; begin < count; begin = end) {
    while (end < count && tails[end] == tails[begin]) ++end;
    const auto tail = static_cast<std::int32_t>(tails[begin]);
    if (tailTwo_ != nullptr) {
      tailTwo_(columns[0] + begin, columns[1] + begin, tail, result + begin, end - begin);
    } else {
      tailThree_(columns[0] + begin, columns[1] + begin, columns[2] + begin, tail,
                 result + begin, end - begin);
    }
  }
}

bool Routine::InDomain(const double* row, double value) const {
  return !std::isnan(value) && (inDomain_ == nullptr || inDomain_(row));
}

const std::vector<Routine>& LibraryRoutines() {
  static const std::vector<Routine> routines = MakeLibraryRoutines();
  return routines;
}

const std::vector<Routine>& DistributionRoutineTable() {
  static const std::vector<Routine> table = [] {
    std::vector<Routine> routines;
    for (const DistributionRoutine& routine : DistributionRoutines()) routines.emplace_back(routine);
    return routines;
  }();
  return table;
}

const Routine* FindRoutine(std::string_view name) {
  const Routine* found = nullptr;
  ForEachRoutine([&](const Routine& routine) {
    if (found == nullptr && SameIgnoringCase(routine.name, name)) found = &routine;
  });
  return found;
}

std::vector<std::string_view> NearestRoutineNames(std::string_view name) {
  // Near enough to be meant: up to a third of the name's letters, at least 2.
  const std::size_t farthest = std::max<std::size_t>(2, name.size() / 3);
  std::vector<std::pair<std::size_t, std::string_view>> near;
  ForEachRoutine([&](const Routine& routine) {
    // A family's name alone is near each of its functions.
    const bool family = routine.name.size() > name.size() && routine.name[name.size()] == '.' &&
                        SameIgnoringCase(routine.name.substr(0, name.size()), name);
    const std::size_t distance = family ? 1 : EditDistance(name, routine.name);
    if (distance <= farthest) near.emplace_back(distance, routine.name);
  });
  std::stable_sort(near.begin(), near.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string_view> names;
  for (std::size_t i = 0; i < near.size() && i < 3; ++i) names.push_back(near[i].second);
  return names;
}

}  // namespace console
