// The largest absolute and relative errors of one implementation over a set
// of points, and where they occur.
#pragma once

#include <string>
#include <vector>

#include "accuracy/peers.hpp"

namespace accuracy {

struct WorstError {
  double error = 0.0;
  std::vector<double> at;  // the arguments where it occurs
  double computed = 0.0;
  double reference = 0.0;
};

class ErrorTally {
 public:
  // One point: a result that is not finite where the reference is counts as
  // a failure; the relative error is taken where |reference| is a normal
  // double (below that only the absolute error means anything).
  void Add(Arguments arguments, double reference, double computed);
  // A point where the implementation threw instead of answering.
  void AddThrow(Arguments arguments, const std::string& what);

  int points() const { return points_; }
  int failures() const { return failures_; }
  int relative_points() const { return relative_points_; }
  const WorstError& absolute() const { return absolute_; }
  const WorstError& relative() const { return relative_; }
  const std::vector<double>& first_failure() const { return first_failure_; }
  const std::string& failure_message() const { return failure_message_; }

 private:
  void Fail(Arguments arguments, std::string message);

  int points_ = 0;
  int failures_ = 0;
  int relative_points_ = 0;
  WorstError absolute_;
  WorstError relative_;
  std::vector<double> first_failure_;
  std::string failure_message_;
};

// The relative error where it is defined, else a negative value.
double RelativeError(double reference, double computed);

}  // namespace accuracy
