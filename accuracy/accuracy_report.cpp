// The accuracy report: evaluates every routine of the library, and its
// equivalents in R's standalone math library and Boost.Math, over the
// high-precision reference tables, and writes docs/ACCURACY.md with the data
// and gnuplot script of one error plot per routine family.
//
//   accuracy_report --tables DIR --docs DIR --plots DIR [--r-version TEXT]
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "accuracy/catalogue.hpp"
#include "accuracy/evaluation.hpp"
#include "accuracy/report_writer.hpp"

namespace {

struct Options {
  std::string tables = "tests/data/accuracy";
  std::string docs = "docs";
  std::string plots = "build/accuracy/plots";
  std::string r_version = "r-mathlib";
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    const std::string value = argv[i + 1];
    if (flag == "--tables") {
      options.tables = value;
    } else if (flag == "--docs") {
      options.docs = value;
    } else if (flag == "--plots") {
      options.plots = value;
    } else if (flag == "--r-version") {
      options.r_version = value;
    } else {
      throw std::runtime_error("unknown option " + flag);
    }
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Options options = ParseOptions(argc, argv);
    const std::vector<accuracy::Family> families = accuracy::Catalogue();
    std::vector<accuracy::FamilyResult> results;
    for (const auto& family : families) {
      accuracy::FamilyResult family_result{&family, {}};
      for (const auto& routine : family.routines) {
        const auto rows = accuracy::ReadTable(options.tables, routine.table);
        family_result.routines.push_back(accuracy::EvaluateRoutine(routine, rows));
        const auto& ours = family_result.routines.back().tallies[accuracy::kOurs][0];
        std::fprintf(stderr, "%-14s %5zu points, worst relative error %.2g\n",
                     routine.name.c_str(), rows.size(), ours.relative().error);
        const auto& evaluated = family_result.routines.back();
        if (evaluated.suspect_references > 0) {
          std::fprintf(stderr, "  %d points where R and Boost agree but not with the table, first:",
                       evaluated.suspect_references);
          for (double value : evaluated.first_suspect) std::fprintf(stderr, " %.17g", value);
          std::fprintf(stderr, "\n");
        }
      }
      results.push_back(std::move(family_result));
    }
    const std::string markdown = options.docs + "/ACCURACY.md";
    std::ofstream out(markdown);
    if (!out) throw std::runtime_error("cannot write " + markdown);
    accuracy::WriteMarkdown(out, results, {accuracy::BoostVersion(), options.r_version});
    accuracy::WritePlots(options.plots, options.docs, results);
    std::fprintf(stderr, "wrote %s and the plot data in %s\n", markdown.c_str(),
                 options.plots.c_str());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "accuracy_report: %s\n", error.what());
    return 1;
  }
}
