#include "accuracy/error_tally.hpp"

#include <cmath>
#include <limits>

namespace accuracy {

double RelativeError(double reference, double computed) {
  if (!std::isfinite(computed) || std::fabs(reference) < std::numeric_limits<double>::min()) {
    return -1.0;
  }
  return std::fabs(computed - reference) / std::fabs(reference);
}

void ErrorTally::Add(Arguments arguments, double reference, double computed) {
  ++points_;
  if (!std::isfinite(computed) && std::isfinite(reference)) {
    Fail(arguments, std::isnan(computed) ? "NaN" : "infinite result");
    return;
  }
  const double absolute = computed == reference ? 0.0 : std::fabs(computed - reference);
  const std::vector<double> at(arguments.begin(), arguments.end());
  if (absolute > absolute_.error || absolute_.at.empty()) {
    absolute_ = {absolute, at, computed, reference};
  }
  const double relative = RelativeError(reference, computed);
  if (relative < 0.0) return;
  ++relative_points_;
  if (relative > relative_.error || relative_.at.empty()) {
    relative_ = {relative, at, computed, reference};
  }
}

void ErrorTally::AddThrow(Arguments arguments, const std::string& what) {
  ++points_;
  Fail(arguments, what);
}

void ErrorTally::Fail(Arguments arguments, std::string message) {
  if (failures_++ == 0) {
    first_failure_.assign(arguments.begin(), arguments.end());
    failure_message_ = std::move(message);
  }
}

}  // namespace accuracy
