#include "accuracy/evaluation.hpp"

#include <cstdlib>
#include <exception>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "specfun/diagnostics.hpp"

namespace accuracy {
namespace {

struct DiagnosticCounts {
  long long_iterations = 0;
  long slow_convergence = 0;
};

// Counts BETAF's reports instead of printing them: "<m> iterations in BETAF"
// and "Slow convergence in BETAF, ..." (the first record of its report).
void CountDiagnostic(specfun::Report report, void* context) {
  auto* counts = static_cast<DiagnosticCounts*>(context);
  const specfun::Record record = report[0];
  if (record.size() >= 2 && record[0].kind == specfun::RecordItem::Kind::kInteger &&
      record[1].text.find("iterations in BETAF") != std::string_view::npos) {
    ++counts->long_iterations;
  } else if (!record.empty() && record[0].kind == specfun::RecordItem::Kind::kText &&
             record[0].text.starts_with("Slow convergence in BETAF")) {
    ++counts->slow_convergence;
  }
}

class CountingSink : public specfun::ScopedDiagnosticSink {
 public:
  explicit CountingSink(DiagnosticCounts& counts)
      : ScopedDiagnosticSink({&CountDiagnostic, &counts}) {}
};

bool Contains(const Region& region, Arguments arguments, double reference, bool ours_slow) {
  return region.slow_convergence ? ours_slow : region.contains(arguments, reference);
}

}  // namespace

std::vector<std::vector<double>> ReadTable(const std::string& directory, const std::string& table) {
  const std::string path = directory + "/" + table + ".txt";
  std::ifstream file(path);
  if (!file) throw std::runtime_error("cannot read reference table " + path);
  std::vector<std::vector<double>> rows;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::vector<double> row;
    std::string field;
    while (fields >> field) row.push_back(std::strtod(field.c_str(), nullptr));
    rows.push_back(std::move(row));
  }
  return rows;
}

RoutineResult EvaluateRoutine(const Routine& routine, const std::vector<std::vector<double>>& rows) {
  RoutineResult result;
  result.routine = &routine;
  for (auto& tallies : result.tallies) tallies.resize(routine.regions.size() + 1);
  const std::size_t arity = routine.argument_names.size();
  const std::array<const Evaluate*, 3> implementations = {&routine.ours, &routine.r,
                                                          &routine.boost};
  DiagnosticCounts counts;
  for (const auto& row : rows) {
    if (row.size() < arity + routine.value_column + 1) {
      throw std::runtime_error("short row in table " + routine.table);
    }
    const Arguments arguments(row.data(), arity);
    const double reference = row[arity + routine.value_column];
    ++result.rows;
    PlotPoint point{routine.plot_abscissa(arguments), {-1.0, -1.0, -1.0}};
    std::array<double, 3> answers{};
    bool ours_slow = false;
    for (int which = kOurs; which <= kBoost; ++which) {
      double computed = std::numeric_limits<double>::quiet_NaN();
      std::string thrown;
      try {
        if (which == kOurs) {
          const long slow_before = counts.slow_convergence;
          CountingSink sink(counts);
          computed = (*implementations[which])(arguments);
          ours_slow = counts.slow_convergence > slow_before;
        } else {
          computed = (*implementations[which])(arguments);
        }
      } catch (const std::exception& error) {
        thrown = error.what();
      }
      auto& tallies = result.tallies[which];
      for (std::size_t region = 0; region <= routine.regions.size(); ++region) {
        if (region > 0 && !Contains(routine.regions[region - 1], arguments, reference, ours_slow)) {
          continue;
        }
        if (thrown.empty()) {
          tallies[region].Add(arguments, reference, computed);
        } else {
          tallies[region].AddThrow(arguments, thrown);
        }
      }
      if (thrown.empty()) point.relative[which] = RelativeError(reference, computed);
      answers[which] = computed;
    }
    result.plot.push_back(point);
    // Both peers agreeing closely with each other and not with the table
    // points at the table rather than at them.
    const double peers_apart = RelativeError(answers[kR], answers[kBoost]);
    const double r_off = RelativeError(reference, answers[kR]);
    if (peers_apart >= 0.0 && peers_apart < 1e-13 && r_off > 1e-10) {
      if (result.suspect_references++ == 0) result.first_suspect.assign(row.begin(), row.end());
    }
  }
  result.long_iteration_reports = counts.long_iterations;
  result.slow_convergence_reports = counts.slow_convergence;
  return result;
}

}  // namespace accuracy
