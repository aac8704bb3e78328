#include "console/command_line.hpp"

#include <algorithm>
#include <charconv>
#include <string>

#include "console/eval_routines.hpp"
#include "console/eval_rows.hpp"
#include "console/menu.hpp"

namespace console {
namespace {

constexpr std::string_view kUsage =
    "Usage: specfun                      the interactive menu; results also in logtest.txt\n"
    "       specfun eval NAME ARG...     print NAME(ARG...)\n"
    "       specfun eval NAME            read rows of arguments from standard input,\n"
    "                                    separated by commas or blanks; print one line\n"
    "                                    per row, nan for a malformed or blank row\n"
    "       specfun --help | --version\n"
    "Names may be written in any case. Values are printed as the shortest text that\n"
    "reads back to the same double. A tail is 0 for the lower tail P, any other whole\n"
    "number for the upper tail Q. Each malformed row, and each value outside its\n"
    "routine's domain, is named on standard error with its line number.\n"
    "Exit status: 0 done; 1 a value outside its routine's domain (still printed);\n"
    "2 a bad command line, a malformed or blank row, or lost output (2 wins over 1).\n";

std::size_t WidestCall(const std::vector<Routine>& routines) {
  std::size_t widest = 0;
  for (const Routine& routine : routines) {
    widest = std::max(widest, routine.name.size() + 1 + routine.arguments().size());
  }
  return widest;
}

// The routines as a table: the call, what it computes, where it is defined.
void WriteRoutines(std::ostream& out, const std::vector<Routine>& routines) {
  const std::size_t width = WidestCall(routines) + 2;
  for (const Routine& routine : routines) {
    const std::string call = std::string(routine.name) + " " + std::string(routine.arguments());
    out << "  " << call << std::string(width - call.size(), ' ') << routine.meaning();
    if (!routine.domain().empty()) out << " (" << routine.domain() << ")";
    out << '\n';
  }
}

void WriteUsage(std::ostream& out) {
  out << kUsage << "Routines (name and arguments, what the value is, its domain):\n";
  WriteRoutines(out, LibraryRoutines());
  out << "Distributions (FAMILY.FUNCTION, the argument first, then the parameters;\n"
         "optional ones in brackets):\n";
  WriteRoutines(out, DistributionRoutineTable());
}

// A failure of the command line, reported as one line with status 2.
struct UsageError {
  std::string message;
};

std::string UnknownRoutine(std::string_view name) {
  std::string message = "unknown routine '" + std::string(name.substr(0, 32)) + "'";
  const std::vector<std::string_view> nearest = NearestRoutineNames(name);
  for (std::size_t i = 0; i < nearest.size(); ++i) {
    message += i == 0 ? "; did you mean " : i + 1 == nearest.size() ? " or " : ", ";
    message += nearest[i];
  }
  return message + (nearest.empty() ? "; see specfun --help" : "? (see specfun --help)");
}

// Evaluates the row given on the command line, or every row of `in`, and
// returns the status of the rows.
int Evaluate(const std::vector<std::string_view>& arguments, std::istream& in,
             std::ostream& out, std::ostream& errors) {
  if (arguments.empty()) throw UsageError{"eval needs a routine name; see specfun --help"};
  const Routine* routine = FindRoutine(arguments[0]);
  if (routine == nullptr) throw UsageError{UnknownRoutine(arguments[0])};
  SetFloatingPointEnvironment();
  if (arguments.size() == 1) return EvaluateRows(*routine, in, out, errors);
  RowEvaluator row(*routine, out, errors);
  try {
    row.Add(0, ParseRow(*routine, {arguments.begin() + 1, arguments.end()}));
  } catch (const RowError& error) {
    throw UsageError{error.message};
  }
  row.Flush();
  return row.status();
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
      return Evaluate({arguments.begin() + 1, arguments.end()}, in, out, errors);
    } else if (command == "--help" && arguments.size() == 1) {
      WriteUsage(out);
    } else if (command == "--version" && arguments.size() == 1) {
      out << "specfun " SPECFUN_VERSION "\n";
    } else {
      throw UsageError{"unknown argument '" + std::string(command.substr(0, 32)) +
                       "'; see specfun --help"};
    }
  } catch (const UsageError& error) {
    errors << "specfun: " << error.message << '\n';
    return 2;
  }
  return 0;
}

}  // namespace console
