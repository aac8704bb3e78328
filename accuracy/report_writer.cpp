#include "accuracy/report_writer.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace accuracy {
namespace {

// Relative errors below this, exact results included, are drawn on it, and
// those above the ceiling on the ceiling.
constexpr double kPlotFloor = 1e-17;
constexpr double kPlotCeiling = 10.0;

std::string Format(const char* layout, double value) {
  char text[64];
  std::snprintf(text, sizeof text, layout, value);
  return text;
}

std::string FormatError(double error) {
  if (error == 0.0) return "0";
  return Format("%.1e", error);
}

// An argument as written in the tables where that is short (0.9999999999,
// 1e-300), else to ten digits.
std::string FormatArgument(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  const std::string shortest(text, end);
  if (shortest.size() <= 12) return shortest;
  const std::string rounded = Format("%.10g", value);
  // 0.9999999999999999 must not read as 1.
  const double back = std::strtod(rounded.c_str(), nullptr);
  return back == std::floor(back) && value != back ? shortest : rounded;
}

// A table cell's text, its bars escaped.
std::string CellText(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '|') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string FormatAt(const std::vector<double>& at, const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < at.size() && i < names.size(); ++i) {
    if (!text.empty()) text += ", ";
    text += names[i] + "=" + FormatArgument(at[i]);
  }
  return text;
}

// A number as gnuplot's enhanced text shows it: a power of ten as 10^{k}.
std::string AxisNumber(double value) {
  const double exponent = std::round(std::log10(value));
  if (value == std::pow(10.0, exponent)) return Format("10^{%g}", exponent);
  return Format("%g", value);
}

std::string FileName(const Routine& routine) {
  std::string name = routine.name;
  std::replace(name.begin(), name.end(), ' ', '_');
  return name;
}

std::string Cell(const ErrorTally& tally, bool relative) {
  const int counted = relative ? tally.relative_points() : tally.points() - tally.failures();
  std::string text = counted == 0 ? "–" : FormatError(relative ? tally.relative().error
                                                               : tally.absolute().error);
  if (tally.failures() > 0) text += " (" + std::to_string(tally.failures()) + " failed)";
  return text;
}

std::string Where(const ErrorTally& tally, bool relative, const Routine& routine) {
  const WorstError& worst = relative ? tally.relative() : tally.absolute();
  if (worst.error == 0.0 || worst.at.empty()) return "";
  return FormatAt(worst.at, routine.argument_names);
}

std::string RegionName(const Routine& routine, int region) {
  return region < 0 ? std::string("all points") : routine.regions[region].name;
}

void WriteHeadline(std::ostream& out, const std::vector<FamilyResult>& results) {
  out << "## Headline: worst relative error of each routine\n\n"
      << "Over the region where each routine is meant to carry relative accuracy (the "
         "whole table where no region is named); the coarse regions and every other region "
         "follow below.\n\n"
      << "| Routine | Region | Points | Ours | where | R | Boost |\n"
      << "|---|---|---:|---:|---|---:|---:|\n";
  for (const auto& family : results) {
    for (const auto& result : family.routines) {
      const Routine& routine = *result.routine;
      const std::size_t index = static_cast<std::size_t>(routine.headline_region + 1);
      const auto& ours = result.tallies[kOurs][index];
      out << "| " << routine.name << " | "
          << CellText(RegionName(routine, routine.headline_region)) << " | " << ours.points() << " | " << Cell(ours, true) << " | "
          << Where(ours, true, routine) << " | " << Cell(result.tallies[kR][index], true)
          << " | " << Cell(result.tallies[kBoost][index], true) << " |\n";
    }
  }
  out << "\n## Whole tables: worst relative and absolute error\n\n"
      << "| Routine | Points | Ours: rel. | R: rel. | Boost: rel. | Ours: abs. | R: abs. "
         "| Boost: abs. |\n"
      << "|---|---:|---:|---:|---:|---:|---:|---:|\n";
  for (const auto& family : results) {
    for (const auto& result : family.routines) {
      out << "| " << result.routine->name << " | " << result.rows;
      for (bool relative : {true, false}) {
        for (int which = kOurs; which <= kBoost; ++which) {
          out << " | " << Cell(result.tallies[which][0], relative);
        }
      }
      out << " |\n";
    }
  }
  out << "\n";
}

void WriteCoarseRegions(std::ostream& out, const std::vector<FamilyResult>& results) {
  out << "## Where the algorithm is coarse\n\n"
      << "These regions are where the library's methods are known to lose accuracy by "
         "design (fixed depths and absolute tolerances). They are reported, not hidden; "
         "the tables below give every region.\n\n";
  for (const auto& family : results) {
    for (const auto& result : family.routines) {
      const Routine& routine = *result.routine;
      for (std::size_t i = 0; i < routine.regions.size(); ++i) {
        if (!routine.regions[i].coarse) continue;
        const auto& ours = result.tallies[kOurs][i + 1];
        if (ours.points() == 0) continue;
        out << "- **" << routine.name << "**, " << routine.regions[i].name << ": " << ours.points()
            << " points; ours worst relative " << Cell(ours, true);
        if (!Where(ours, true, routine).empty()) out << " at " << Where(ours, true, routine);
        out << ", worst absolute " << Cell(ours, false);
        if (!Where(ours, false, routine).empty()) out << " at " << Where(ours, false, routine);
        out << "; R " << Cell(result.tallies[kR][i + 1], true) << " / "
            << Cell(result.tallies[kR][i + 1], false) << ", Boost "
            << Cell(result.tallies[kBoost][i + 1], true) << " / "
            << Cell(result.tallies[kBoost][i + 1], false) << " (relative / absolute).\n";
      }
    }
  }
  out << "\n";
}

void WriteRegionTable(std::ostream& out, const RoutineResult& result, bool relative) {
  const Routine& routine = *result.routine;
  const char* kind = relative ? "rel." : "abs.";
  out << "| Region | Points | Ours: worst " << kind << " | where | R: worst " << kind
      << " | where | Boost: worst " << kind << " | where |\n"
      << "|---|---:|---:|---|---:|---|---:|---|\n";
  for (std::size_t region = 0; region <= routine.regions.size(); ++region) {
    const auto& ours = result.tallies[kOurs][region];
    if (ours.points() == 0) continue;
    out << "| " << CellText(region == 0 ? std::string("all") : routine.regions[region - 1].name)
        << " | "
        << ours.points();
    for (int which = kOurs; which <= kBoost; ++which) {
      const auto& tally = result.tallies[which][region];
      out << " | " << Cell(tally, relative) << " | " << Where(tally, relative, routine);
    }
    out << " |\n";
  }
  out << "\n";
}

void WriteFailures(std::ostream& out, const RoutineResult& result) {
  const Routine& routine = *result.routine;
  for (int which = kOurs; which <= kBoost; ++which) {
    const auto& all = result.tallies[which][0];
    if (all.failures() == 0) continue;
    out << "- " << kImplementationNames[which] << ": no finite answer at " << all.failures()
        << " of " << all.points() << " points (first at "
        << FormatAt(all.first_failure(), routine.argument_names) << ": " << all.failure_message()
        << ").\n";
  }
  if (result.slow_convergence_reports > 0 || result.long_iteration_reports > 0) {
    out << "- ours: BETAF reported slow convergence " << result.slow_convergence_reports
        << " times and convergence after more than 20 iterations "
        << result.long_iteration_reports << " times over this table.\n";
  }
}

void WriteFamily(std::ostream& out, const FamilyResult& family) {
  out << "## " << family.family->title << "\n\n"
      << family.family->note << "\n\n"
      << "![" << family.family->title << ": relative error against the argument]("
      << family.family->plot_file << ")\n\n";
  for (const auto& result : family.routines) {
    const Routine& routine = *result.routine;
    out << "### " << routine.name << "\n\n"
        << "Table `tests/data/accuracy/" << routine.table << ".txt`, " << result.rows
        << " points. R: `" << routine.r_equivalent << "`; Boost: `" << routine.boost_equivalent
        << "`.\n\n";
    out << "Relative error:\n\n";
    WriteRegionTable(out, result, true);
    out << "Absolute error:\n\n";
    WriteRegionTable(out, result, false);
    WriteFailures(out, result);
    out << "\n";
  }
}

}  // namespace

void WriteMarkdown(std::ostream& out, const std::vector<FamilyResult>& results,
                   const ReportContext& context) {
  out << "# Accuracy of the library\n\n"
      << "Every routine of `specfun/specfun.hpp` is evaluated over high-precision reference "
         "tables that cover the whole range the program's dialogues accept, beside R's "
         "standalone math library (" << context.r_version << ") and Boost.Math ("
      << context.boost_version << ") on the same points.\n\n"
      << "## Regenerating\n\n"
      << "`make accuracy` (that is, `accuracy/run.sh`) builds the evaluator "
         "`accuracy/accuracy_report.cpp` into `build/accuracy`, runs it over "
         "`tests/data/accuracy/*.txt`, writes this file and draws the plots "
         "`docs/accuracy_*.png` with gnuplot. The reference tables are committed; "
         "`accuracy/run.sh --tables` first regenerates them with "
         "`tools/gen_accuracy_tables.py` (mpmath, a few minutes; "
         "`--only TABLE` for one table).\n\n"
      << "The references are computed independently of the library's methods: mpmath's "
         "`loggamma`, `erfc` and `gammainc`; the positive-term power series of the incomplete "
         "beta function (A&S 26.5.4) summed exactly on the exact arguments; the non-central "
         "chi-square as its Poisson mixture of central tails summed outward until the terms are "
         "negligible; and the inverses by a bracketed Newton iteration on the logarithm of the "
         "tail, converged to 1e-28.\n\n"
      << "## How errors are measured\n\n"
      << "For each routine and region: the largest absolute error |computed − true| and the "
         "largest relative error |computed − true| / |true|, with the arguments where each "
         "occurs. The relative error is counted only where the true value is a normal double "
         "(at least 2.2e-308); where it is smaller only the absolute error is counted. A "
         "result that is not finite where the true value is, or an exception (Boost's default "
         "policy throws on arguments and iterations it cannot handle), is counted as a failure "
         "and shown as \"(N failed)\" beside the errors of the points that did answer. "
         "Probabilities are compared as returned: a tail formed as the complement of the "
         "other tail carries that subtraction's absolute error. In the plots relative errors "
         "below 1e-17, exact results included, are drawn at 1e-17, and those above 10 at 10 "
         "(on a dashed line); where an axis ends before the table does (t above 1e4 in the "
         "StudentA and StudentAQ panels), the points beyond are drawn at its end, circled.\n\n";
  WriteHeadline(out, results);
  WriteCoarseRegions(out, results);
  for (const auto& family : results) WriteFamily(out, family);
}

void WritePlots(const std::string& plot_directory, const std::string& docs_directory,
                const std::vector<FamilyResult>& results) {
  for (const auto& family : results) {
    for (const auto& result : family.routines) {
      const Routine& routine = *result.routine;
      std::ofstream data(plot_directory + "/" + FileName(routine) + ".dat");
      if (!data) throw std::runtime_error("cannot write plot data in " + plot_directory);
      data << "# " << routine.plot_label
           << "  relative error: ours  R  Boost  beyond the axis (drawn at its end)\n";
      for (const auto& point : result.plot) {
        if (!std::isfinite(point.abscissa) || (routine.plot_log_x && !(point.abscissa > 0.0))) {
          continue;
        }
        const bool beyond = routine.plot_x_high != 0.0 && point.abscissa > routine.plot_x_high;
        data << Format("%.10g", beyond ? routine.plot_x_high : point.abscissa);
        for (double relative : point.relative) {
          data << ' ' << (relative < 0.0 ? std::string("nan")
                                         : Format("%.4g", std::clamp(relative, kPlotFloor,
                                                                     kPlotCeiling)));
        }
        data << (beyond ? " 1" : " 0") << '\n';
      }
    }
  }
  std::ofstream script(plot_directory + "/plots.gp");
  if (!script) throw std::runtime_error("cannot write the gnuplot script in " + plot_directory);
  script << "# Drawn by gnuplot from the data the accuracy evaluator wrote beside it.\n"
         << "set datafile missing 'nan'\n"
         << "set logscale y\nset format y '10^{%L}'\nset yrange [1e-18:1e2]\n"
         << "set ytics 1e-18, 100, 1\n"
         << "set ylabel 'relative error'\n"
         << "set grid ytics\n"
         // Errors above the ceiling are drawn on this line, below the frame.
         << "set arrow 1 from graph 0, first " << kPlotCeiling << " to graph 1, first "
         << kPlotCeiling << " nohead dt 2 lc rgb '#999999'\n"
         << "set label 1 'above " << kPlotCeiling << ": drawn at " << kPlotCeiling
         << "' at graph 0.01, first 30 font ',8' tc rgb '#666666'\n"
         // The extreme abscissas stand inside the frame, not on it.
         << "set offsets graph 0.02, graph 0.02, 0, 0\n"
         // The legend stands beside the panel, never over its points.
         << "set key outside right top vertical font ',8' samplen 1\n";
  for (const auto& family : results) {
    std::size_t panels = 0;
    for (const auto& result : family.routines) {
      panels += result.routine->zoom_high > result.routine->zoom_low ? 2 : 1;
    }
    const std::size_t columns = panels == 1 ? 1 : 2;
    const std::size_t rows = (panels + columns - 1) / columns;
    script << "\nset terminal pngcairo size " << (columns == 1 ? 900 : 1400) << ","
           << 120 + 380 * rows << " font 'DejaVu Sans,10'\n"
           << "set output '" << docs_directory << "/" << family.family->plot_file << "'\n"
           << "set multiplot layout " << rows << "," << columns << " title '"
           << family.family->title
           << ": relative error against the argument (ours, R, Boost)' font ',13'\n";
    for (const auto& result : family.routines) {
      const Routine& routine = *result.routine;
      const std::string file = "'" + plot_directory + "/" + FileName(routine) + ".dat'";
      const std::string plot =
          "plot " + file + " using 1:4 with points pt 2 ps 0.5 lc rgb '#2ca02c' title 'Boost', " +
          file + " using 1:3 with points pt 8 ps 0.5 lc rgb '#ff7f0e' title 'R', " + file +
          " using 1:2 with points pt 7 ps 0.35 lc rgb '#1f3fb4' title 'ours'\n";
      script << "set title '" << routine.name << "'\n"
             << "set xlabel '" << routine.plot_label << "'\n"
             << (routine.plot_log_x ? "set logscale x\nset format x '10^{%L}'\n"
                                    : "unset logscale x\nset format x '%g'\n");
      if (routine.plot_x_high != 0.0) {
        const double high = routine.plot_x_high;
        script << "set xrange [*:" << (routine.plot_log_x ? 10.0 * high : 1.1 * high) << "]\n"
               << "plot " << file
               << " using 1:($5 > 0 ? $2 : 1/0) with points pt 6 ps 1.6 lc rgb 'black' title '"
               << routine.plot_label << " > " << AxisNumber(high) << "', "
               << plot.substr(5);
      } else {
        script << "set xrange [*:*]\n" << plot;
      }
      if (routine.zoom_high > routine.zoom_low) {
        script << "set title '" << routine.name << ", " << routine.plot_label << " in ["
               << routine.zoom_low << ", " << routine.zoom_high << "]'\n"
               << "unset logscale x\nset format x '%g'\n"
               << "set xrange [" << routine.zoom_low << ":" << routine.zoom_high << "]\n"
               << plot << "set xrange [*:*]\n";
      }
    }
    script << "unset multiplot\n";
  }
}

}  // namespace accuracy
