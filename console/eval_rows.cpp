#include "console/eval_rows.hpp"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

#include "console/command_line.hpp"
#include "console/input.hpp"
#include "specfun/diagnostics.hpp"

namespace console {
namespace {

// The longest row read whole; the rest of a longer one is skipped.
constexpr std::size_t kLongestRow = 4096;
// The most characters of a malformed value echoed in its message.
constexpr std::size_t kLongestEcho = 32;
// The most arguments of any routine (NCChiSquare's four).
constexpr std::size_t kMostArguments = 4;

std::string Quoted(std::string_view text) {
  if (text.size() <= kLongestEcho) return "'" + std::string(text) + "'";
  return "'" + std::string(text.substr(0, kLongestEcho)) + "...' (" +
         std::to_string(text.size()) + " characters)";
}

double ParseArgument(std::string_view text, bool isTail) {
  const std::optional<double> value = ParseFreeFormNumber(text);
  if (!value) throw RowError{"malformed number " + Quoted(text)};
  if (isTail && !(std::trunc(*value) == *value && std::fabs(*value) <= 2147483647.0)) {
    throw RowError{"malformed tail " + Quoted(text) + " (a whole number: 0 for P, else Q)"};
  }
  return *value;
}

void AppendReport(specfun::Report report, void* text) {
  static_cast<std::string*>(text)->append(specfun::FormatFreeFormReport(report));
}

enum class LineRead { kLine, kTooLong, kEnd };

// The next line without its line end (LF or CR LF), its first kLongestRow
// characters only.
LineRead ReadRowLine(std::istream& in, std::string& line) {
  line.clear();
  std::streambuf& buffer = *in.rdbuf();
  bool any = false;
  bool tooLong = false;
  for (;;) {
    const std::streambuf::int_type c = buffer.sbumpc();
    if (std::streambuf::traits_type::eq_int_type(c, std::streambuf::traits_type::eof())) {
      if (!any) return LineRead::kEnd;
      break;
    }
    any = true;
    if (c == '\n') break;
    if (line.size() < kLongestRow) {
      line.push_back(std::streambuf::traits_type::to_char_type(c));
    } else {
      tooLong = true;
    }
  }
  if (tooLong) return LineRead::kTooLong;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return LineRead::kLine;
}

// Whether reading on would wait for more input.
bool InputWouldWait(std::istream& in) { return in.rdbuf()->in_avail() == 0; }

}  // namespace

std::vector<std::string_view> SplitRow(std::string_view line) {
  std::vector<std::string_view> fields;
  const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  std::size_t pos = 0;
  bool expectField = false;
  for (;;) {
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    if (pos == line.size()) break;
    if (line[pos] == ',') {
      if (expectField || fields.empty()) throw RowError{"malformed number ''"};
      expectField = true;
      ++pos;
      continue;
    }
    const std::size_t begin = pos;
    while (pos < line.size() && !isBlank(line[pos]) && line[pos] != ',') ++pos;
    fields.push_back(line.substr(begin, pos - begin));
    expectField = false;
  }
  if (expectField) throw RowError{"malformed number ''"};
  return fields;
}

std::vector<double> ParseRow(const Routine& routine, const std::vector<std::string_view>& fields) {
  if (fields.empty()) throw RowError{"blank row"};
  if (fields.size() < routine.leastArity || fields.size() > routine.arity) {
    const std::string count = routine.leastArity == routine.arity
                                  ? std::to_string(routine.arity)
                                  : std::to_string(routine.leastArity) + " to " +
                                        std::to_string(routine.arity);
    throw RowError{std::string(routine.name) + " takes " + count + " argument" +
                   (routine.arity == 1 ? "" : "s") + " (" + std::string(routine.arguments()) +
                   "), not " + std::to_string(fields.size())};
  }
  std::vector<double> row;
  for (std::size_t k = 0; k < fields.size(); ++k) {
    row.push_back(ParseArgument(fields[k], routine.takesTail && k + 1 == fields.size()));
  }
  for (std::size_t k = fields.size(); k < routine.arity; ++k) {
    row.push_back(routine.defaults[k - routine.leastArity]);
  }
  return row;
}

RowEvaluator::RowEvaluator(const Routine& routine, std::ostream& out, std::ostream& errors)
    : routine_(routine), out_(out), errors_(errors), columns_(routine.arity) {
  if (routine.arity > kMostArguments) throw std::logic_error("more arguments than a row holds");
  lines_.reserve(kChunkRows);
  for (std::vector<double>& column : columns_) column.reserve(kChunkRows);
}

void RowEvaluator::Add(std::size_t number, std::vector<double> row) {
  for (std::size_t k = 0; k < columns_.size(); ++k) columns_[k].push_back(row[k]);
  lines_.push_back({number, true, {}});
}

void RowEvaluator::AddMalformed(std::size_t number, const std::string& message) {
  lines_.push_back({number, false, message});
}

void RowEvaluator::WriteMessage(std::size_t number, const std::string& message) {
  // Standard output first, so that a terminal shows both in order.
  out_.flush();
  errors_ << "specfun: ";
  if (number != 0) errors_ << "line " << number << ": ";
  errors_ << message << '\n';
}

std::string RowEvaluator::Echo(std::size_t row) const {
  std::string echo(routine_.name);
  for (const std::vector<double>& column : columns_) {
    echo += ' ';
    echo += ShortestText(column[row]);
  }
  return echo;
}

void RowEvaluator::Flush() {
  const std::size_t count = columns_.front().size();
  std::vector<const double*> columns;
  for (const std::vector<double>& column : columns_) columns.push_back(column.data());
  results_.resize(count);
  std::string reports;
  if (count > 0) {
    const specfun::ScopedDiagnosticSink capture({&AppendReport, &reports});
    routine_.Evaluate(columns.data(), count, results_.data());
  }
  // Reports come in row order but without their rows: where there are any,
  // each row is evaluated once more on its own to tell whose they are.
  const bool attribute = !reports.empty();
  std::size_t row = 0;
  for (const Line& line : lines_) {
    if (!line.evaluated) {
      out_ << "nan\n";
      WriteMessage(line.number, line.message);
      status_ = std::max(status_, kMalformedRow);
      continue;
    }
    const double value = results_[row];
    double argument[kMostArguments];
    for (std::size_t k = 0; k < columns_.size(); ++k) argument[k] = columns_[k][row];
    std::string rowReports;
    if (attribute) {
      const double* single[kMostArguments];
      for (std::size_t k = 0; k < columns_.size(); ++k) single[k] = &argument[k];
      double again;
      const specfun::ScopedDiagnosticSink capture({&AppendReport, &rowReports});
      routine_.Evaluate(single, 1, &again);
    }
    out_ << ShortestText(value) << '\n';
    if (!routine_.InDomain(argument, value)) {
      std::string message = Echo(row) + ": outside the domain";
      message += routine_.domain().empty() ? ", no value" : " ";
      message += routine_.domain();
      WriteMessage(line.number, message);
      status_ = std::max(status_, kOutsideDomain);
    } else if (!rowReports.empty()) {
      WriteMessage(line.number, Echo(row) + ": the library reports");
      errors_ << rowReports;
    }
    ++row;
  }
  out_.flush();
  lines_.clear();
  for (std::vector<double>& column : columns_) column.clear();
}

int EvaluateRows(const Routine& routine, std::istream& in, std::ostream& out,
                 std::ostream& errors) {
  RowEvaluator rows(routine, out, errors);
  std::string line;
  for (std::size_t number = 1;; ++number) {
    if (!rows.Empty() && (rows.Full() || InputWouldWait(in))) {
      rows.Flush();
      if (!out) return rows.status();
    }
    const LineRead read = ReadRowLine(in, line);
    if (read == LineRead::kEnd) break;
    if (read == LineRead::kTooLong) {
      rows.AddMalformed(number, "a row longer than " + std::to_string(kLongestRow) + " characters");
      continue;
    }
    try {
      rows.Add(number, ParseRow(routine, SplitRow(line)));
    } catch (const RowError& error) {
      rows.AddMalformed(number, error.message);
    }
  }
  if (!rows.Empty()) rows.Flush();
  return rows.status();
}

}  // namespace console
