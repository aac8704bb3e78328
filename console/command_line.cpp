#include "console/command_line.hpp"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "console/distribution_routines.hpp"
#include "console/input.hpp"
#include "console/menu.hpp"
#include "specfun/specfun.hpp"

namespace console {
namespace {

// The arguments of each routine as columns: columns[k][i] is argument k of row i.
using Columns = std::vector<std::vector<double>>;

using Batch1 = void (*)(const double*, double*, std::size_t);
using Batch2 = void (*)(const double*, const double*, double*, std::size_t);
using Batch3 = void (*)(const double*, const double*, const double*, double*, std::size_t);
using TailBatch2 = void (*)(const double*, const double*, std::int32_t, double*, std::size_t);
using TailBatch3 = void (*)(const double*, const double*, const double*, std::int32_t, double*,
                            std::size_t);

// One routine the command line evaluates: its name, its arguments' names and
// the batch routine that evaluates rows of them. A tail selector, where there
// is one, is the last argument and one value for each run of rows.
class Routine {
 public:
  constexpr Routine(std::string_view name, std::string_view arguments, Batch1 batch)
      : name(name), arguments(arguments), arity(1), one_(batch) {}
  constexpr Routine(std::string_view name, std::string_view arguments, Batch2 batch)
      : name(name), arguments(arguments), arity(2), two_(batch) {}
  constexpr Routine(std::string_view name, std::string_view arguments, Batch3 batch)
      : name(name), arguments(arguments), arity(3), three_(batch) {}
  constexpr Routine(std::string_view name, std::string_view arguments, TailBatch2 batch)
      : name(name), arguments(arguments), arity(3), takesTail(true), tailTwo_(batch) {}
  constexpr Routine(std::string_view name, std::string_view arguments, TailBatch3 batch)
      : name(name), arguments(arguments), arity(4), takesTail(true), tailThree_(batch) {}
  explicit Routine(const DistributionRoutine& routine)
      : name(routine.name),
        arguments(routine.arguments),
        arity(routine.arity),
        leastArity(routine.leastArity),
        defaults(routine.defaults.data()),
        columns_(routine.evaluate) {}

  void Evaluate(const Columns& columns, std::size_t count, double* result) const {
    if (columns_ != nullptr) {
      std::vector<const double*> data;
      for (const std::vector<double>& column : columns) data.push_back(column.data());
      return columns_(data.data(), result, count);
    }
    if (one_ != nullptr) return one_(columns[0].data(), result, count);
    if (two_ != nullptr) return two_(columns[0].data(), columns[1].data(), result, count);
    if (three_ != nullptr) {
      return three_(columns[0].data(), columns[1].data(), columns[2].data(), result, count);
    }
    const std::vector<double>& tails = columns.back();
    for (std::size_t begin = 0, end = 0; begin < count; begin = end) {
      while (end < count && tails[end] == tails[begin]) ++end;
      const auto tail = static_cast<std::int32_t>(tails[begin]);
      if (tailTwo_ != nullptr) {
        tailTwo_(columns[0].data() + begin, columns[1].data() + begin, tail, result + begin,
                 end - begin);
      } else {
        tailThree_(columns[0].data() + begin, columns[1].data() + begin,
                   columns[2].data() + begin, tail, result + begin, end - begin);
      }
    }
  }

  std::string_view name;
  std::string_view arguments;
  std::size_t arity;
  // Fewer arguments than arity take defaults[k - leastArity] for argument k.
  std::size_t leastArity = arity;
  const double* defaults = nullptr;
  bool takesTail = false;

 private:
  Batch1 one_ = nullptr;
  Batch2 two_ = nullptr;
  Batch3 three_ = nullptr;
  TailBatch2 tailTwo_ = nullptr;
  TailBatch3 tailThree_ = nullptr;
  ColumnsBatch columns_ = nullptr;
};

// Every public routine; a row names the batch routine that evaluates it.
const Routine kRoutines[] = {
    {"LnGamma", "x", &specfun::LnGammaBatch},
    {"QGauss", "x", &specfun::QGaussBatch},
    {"QGaussInv", "p", &specfun::QGaussInvBatch},
    {"BETAF", "x a b", &specfun::BETAFBatch},
    {"FDistP", "F nu1 nu2", &specfun::FDistPBatch},
    {"FDistQ", "F nu1 nu2", &specfun::FDistQBatch},
    {"StudentA", "t nu", &specfun::StudentABatch},
    {"StudentAQ", "t nu", &specfun::StudentAQBatch},
    {"BinomP", "p a n", &specfun::BinomPBatch},
    {"BinomQ", "p a n", &specfun::BinomQBatch},
    {"BetaInv", "p a b", &specfun::BetaInvBatch},
    {"FDistInv", "p nu1 nu2", &specfun::FDistInvBatch},
    {"StudentInv", "p nu", &specfun::StudentInvBatch},
    {"ChiSquare", "x nu tail", &specfun::ChiSquareBatch},
    {"ChiSquareInv", "p nu", &specfun::ChiSquareInvBatch},
    {"NCChiSquare", "x nu lambda tail", &specfun::NCChiSquareBatch},
};

// The distributions' functions (console/distribution_routines.hpp).
const std::vector<Routine>& DistributionRoutineTable() {
  static const std::vector<Routine> table = [] {
    std::vector<Routine> routines;
    for (const DistributionRoutine& routine : DistributionRoutines()) routines.emplace_back(routine);
    return routines;
  }();
  return table;
}

const Routine* FindRoutine(std::string_view name) {
  for (const Routine& routine : kRoutines) {
    if (routine.name == name) return &routine;
  }
  for (const Routine& routine : DistributionRoutineTable()) {
    if (routine.name == name) return &routine;
  }
  return nullptr;
}

constexpr std::string_view kUsage =
    "Usage: specfun                      the interactive menu; results also in logtest.txt\n"
    "       specfun eval NAME ARG...     print NAME(ARG...)\n"
    "       specfun eval NAME            read rows of arguments from standard input,\n"
    "                                    separated by commas or blanks; print one value per row\n"
    "       specfun --help | --version\n"
    "Values are printed as the shortest text that reads back to the same double.\n"
    "A tail is 0 for the lower tail P, any other whole number for the upper tail Q.\n"
    "Exit status: 0 done; 2 a bad command line, argument or row, or lost output.\n"
    "Routines:\n";

void WriteRoutine(std::ostream& out, const Routine& routine, std::size_t width) {
  out << "  " << routine.name << std::string(width - routine.name.size(), ' ') << routine.arguments
      << '\n';
}

void WriteUsage(std::ostream& out) {
  out << kUsage;
  for (const Routine& routine : kRoutines) WriteRoutine(out, routine, 14);
  out << "Distributions (FAMILY.FUNCTION, the argument first, then the parameters):\n";
  for (const Routine& routine : DistributionRoutineTable()) WriteRoutine(out, routine, 28);
}

// A failure of the command line, reported as one line with status 2.
struct UsageError {
  std::string message;
};

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

double ParseArgument(std::string_view text, bool isTail) {
  const std::optional<double> value = ParseFreeFormNumber(text);
  if (!value) throw UsageError{"malformed number " + Quoted(text)};
  if (isTail && !(std::trunc(*value) == *value && std::fabs(*value) <= 2147483647.0)) {
    throw UsageError{"malformed tail " + Quoted(text) + " (a whole number: 0 for P, else Q)"};
  }
  return *value;
}

void AppendRow(const Routine& routine, const std::vector<std::string_view>& fields,
               Columns& columns) {
  if (fields.size() < routine.leastArity || fields.size() > routine.arity) {
    const std::string count = routine.leastArity == routine.arity
                                  ? std::to_string(routine.arity)
                                  : std::to_string(routine.leastArity) + " to " +
                                        std::to_string(routine.arity);
    throw UsageError{std::string(routine.name) + " takes " + count + " argument" +
                     (routine.arity == 1 ? "" : "s") + " (" + std::string(routine.arguments) +
                     "), not " + std::to_string(fields.size())};
  }
  for (std::size_t k = 0; k < fields.size(); ++k) {
    columns[k].push_back(ParseArgument(fields[k], routine.takesTail && k + 1 == fields.size()));
  }
  for (std::size_t k = fields.size(); k < routine.arity; ++k) {
    columns[k].push_back(routine.defaults[k - routine.leastArity]);
  }
}

// The fields of a row: separated by one comma or by blanks, or both; an
// empty field between commas, or before or after a comma, is malformed.
std::vector<std::string_view> SplitRow(std::string_view line) {
  std::vector<std::string_view> fields;
  const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  std::size_t pos = 0;
  bool expectField = false;
  for (;;) {
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    if (pos == line.size()) break;
    if (line[pos] == ',') {
      if (expectField || fields.empty()) throw UsageError{"malformed number ''"};
      expectField = true;
      ++pos;
      continue;
    }
    const std::size_t begin = pos;
    while (pos < line.size() && !isBlank(line[pos]) && line[pos] != ',') ++pos;
    fields.push_back(line.substr(begin, pos - begin));
    expectField = false;
  }
  if (expectField) throw UsageError{"malformed number ''"};
  return fields;
}

void WriteReportToErrors(specfun::Report report, void* errors) {
  *static_cast<std::ostream*>(errors) << specfun::FormatFreeFormReport(report);
}

// Evaluates one row given on the command line, or every row of `in`.
void Evaluate(const std::vector<std::string_view>& arguments, std::istream& in,
              std::ostream& out, std::ostream& errors) {
  if (arguments.empty()) throw UsageError{"eval needs a routine name; see specfun --help"};
  const Routine* routine = FindRoutine(arguments[0]);
  if (routine == nullptr) {
    throw UsageError{"unknown routine " + Quoted(arguments[0]) + "; see specfun --help"};
  }
  Columns columns(routine->arity);
  std::size_t rows = 0;
  if (arguments.size() > 1) {
    AppendRow(*routine, {arguments.begin() + 1, arguments.end()}, columns);
    rows = 1;
  } else {
    std::string line;
    for (std::size_t number = 1; ReadLine(in, line); ++number) {
      try {
        const std::vector<std::string_view> fields = SplitRow(line);
        if (fields.empty()) continue;
        AppendRow(*routine, fields, columns);
        ++rows;
      } catch (const UsageError& error) {
        throw UsageError{"line " + std::to_string(number) + ": " + error.message};
      }
    }
  }
  SetFloatingPointEnvironment();
  // Reports of the routines go to standard error, so that standard output
  // holds the values alone.
  const specfun::ScopedDiagnosticSink toErrors({&WriteReportToErrors, &errors});
  std::vector<double> results(rows);
  routine->Evaluate(columns, rows, results.data());
  for (const double value : results) out << ShortestText(value) << '\n';
}

}  // namespace

std::string ShortestText(double value) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

int RunCommandLine(const std::vector<std::string_view>& arguments, std::istream& in,
                   std::ostream& out, std::ostream& errors, const std::filesystem::path& logPath) {
  if (arguments.empty()) return MainMenu(in, out, errors, logPath);
  try {
    const std::string_view command = arguments[0];
    if (command == "eval") {
      Evaluate({arguments.begin() + 1, arguments.end()}, in, out, errors);
    } else if (command == "--help" && arguments.size() == 1) {
      WriteUsage(out);
    } else if (command == "--version" && arguments.size() == 1) {
      out << "specfun " SPECFUN_VERSION "\n";
    } else {
      throw UsageError{"unknown argument " + Quoted(command) + "; see specfun --help"};
    }
  } catch (const UsageError& error) {
    errors << "specfun: " << error.message << '\n';
    return 2;
  }
  return 0;
}

}  // namespace console
