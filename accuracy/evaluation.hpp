// Runs one routine and its two peers over every row of its reference table.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "accuracy/catalogue.hpp"
#include "accuracy/error_tally.hpp"

namespace accuracy {

enum Implementation { kOurs = 0, kR = 1, kBoost = 2 };
inline constexpr std::array<const char*, 3> kImplementationNames = {"ours", "R", "Boost"};

// One point of the error plot: the abscissa and the three relative errors
// (negative where there is none).
struct PlotPoint {
  double abscissa = 0.0;
  std::array<double, 3> relative{};
};

struct RoutineResult {
  const Routine* routine = nullptr;
  int rows = 0;
  // tallies[implementation][0] is the whole table, [i + 1] region i.
  std::array<std::vector<ErrorTally>, 3> tallies;
  std::vector<PlotPoint> plot;
  // The library's own diagnostics during our calls: convergence reports of
  // BETAF, and its reports of slow convergence with the Aitken value.
  long long_iteration_reports = 0;
  long slow_convergence_reports = 0;
  // Points where R and Boost agree to 1e-13 but both differ from the
  // reference by more than 1e-10: a check on the tables themselves.
  int suspect_references = 0;
  std::vector<double> first_suspect;
};

// Reads <directory>/<table>.txt: rows of numbers, # comments.
std::vector<std::vector<double>> ReadTable(const std::string& directory, const std::string& table);

RoutineResult EvaluateRoutine(const Routine& routine, const std::vector<std::vector<double>>& rows);

}  // namespace accuracy
