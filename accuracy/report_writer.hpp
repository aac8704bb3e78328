// Writes the accuracy report (markdown), the data of its plots and the
// gnuplot script that draws them.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "accuracy/catalogue.hpp"
#include "accuracy/evaluation.hpp"

namespace accuracy {

struct FamilyResult {
  const Family* family = nullptr;
  std::vector<RoutineResult> routines;
};

struct ReportContext {
  std::string boost_version;
  std::string r_version;
};

void WriteMarkdown(std::ostream& out, const std::vector<FamilyResult>& results,
                   const ReportContext& context);

// <plot_directory>/<routine>.dat for every routine, and
// <plot_directory>/plots.gp, which draws docs/<family plot> from them.
void WritePlots(const std::string& plot_directory, const std::string& docs_directory,
                const std::vector<FamilyResult>& results);

}  // namespace accuracy
