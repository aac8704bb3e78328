// Rows of arguments for `specfun eval`: read, evaluated in chunks through
// the batch routines, one output line per row in order.
#pragma once

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "console/eval_routines.hpp"

namespace console {

// The exit statuses of an evaluation; the larger wins.
inline constexpr int kAllInDomain = 0;
inline constexpr int kOutsideDomain = 1;
inline constexpr int kMalformedRow = 2;

// A row that cannot be evaluated, and why.
struct RowError {
  std::string message;
};

// The fields of a row: separated by one comma or by blanks, or both.
// Throws RowError for an empty field (two commas, or a comma at either end).
std::vector<std::string_view> SplitRow(std::string_view line);

// The arguments of a row (defaults filled in for omitted optional ones),
// argument k in row[k]. Throws RowError for a wrong number of fields or a
// malformed number; the message echoes at most a few dozen characters.
std::vector<double> ParseRow(const Routine& routine, const std::vector<std::string_view>& fields);

// Evaluates rows in chunks and writes one line per row, in order: the
// shortest text of its value, or nan for a row that could not be read.
// Each malformed row and each value outside its routine's domain gets one
// line on `errors` naming the row ("line N: ..."); reports the library
// makes for a row follow a line naming the row and the routine.
class RowEvaluator {
 public:
  RowEvaluator(const Routine& routine, std::ostream& out, std::ostream& errors);

  // The row from input line `number`, or 0 for the command line's row.
  void Add(std::size_t number, std::vector<double> row);
  void AddMalformed(std::size_t number, const std::string& message);

  bool Full() const { return lines_.size() == kChunkRows; }
  bool Empty() const { return lines_.empty(); }

  // Evaluates the rows added since the last call and writes their lines.
  void Flush();

  int status() const { return status_; }

  // Rows per chunk: enough to keep the batch routines busy, few enough
  // that memory stays small.
  static constexpr std::size_t kChunkRows = 4096;

 private:
  struct Line {
    std::size_t number;
    bool evaluated;
    std::string message;  // the malformed row's
  };

  void WriteMessage(std::size_t number, const std::string& message);
  std::string Echo(std::size_t row) const;

  const Routine& routine_;
  std::ostream& out_;
  std::ostream& errors_;
  std::vector<Line> lines_;
  std::vector<std::vector<double>> columns_;
  std::vector<double> results_;
  int status_ = kAllInDomain;
};

// Reads rows from `in` and evaluates them until the input ends or standard
// output fails; rows are evaluated when a chunk is full and whenever reading
// on would wait for input, so that a row's line appears as soon as it can.
// Returns the status of the rows.
int EvaluateRows(const Routine& routine, std::istream& in, std::ostream& out,
                 std::ostream& errors);

}  // namespace console
