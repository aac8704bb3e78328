// Newton's method on the logarithm of a distribution's tail, kept inside a
// bracket (internal), the root finder of the inverse beta and chi-square.
#pragma once

#include <algorithm>
#include <cmath>

namespace specfun::detail {

// h(s) and dh/ds at one point.
struct LogTailStep {
  double h;
  double slope;
};

// The root of an increasing h(s) on [low, high], from `start`. For the
// logarithm of a tail of a log-concave density (minus that of its target)
// h is also concave (the lower tail) or convex (the upper tail), so Newton's
// steps approach the root from one side and overshoot at most once from the
// other. Every evaluation shrinks the bracket;
// a step that would leave it, or is not a number, is replaced by the
// bisection of the bracket. Ends when a step falls below `tolerance` times
// max(1, |s|), or the bracket does, or after 200 evaluations; returns a root
// outside [low, high] as the nearer end.
template <class Evaluate>
double SolveOnLogTail(Evaluate evaluate, double start, double low, double high, double tolerance) {
  constexpr int kMaxEvaluations = 200;
  double s = std::isnan(start) ? 0.5 * (low + high) : std::clamp(start, low, high);
  for (int evaluation = 0; evaluation < kMaxEvaluations; ++evaluation) {
    const LogTailStep step = evaluate(s);
    if (step.h == 0.0) break;
    if (step.h < 0.0) {
      low = s;
    } else {
      high = s;
    }
    const double bound = tolerance * std::max(1.0, std::fabs(s));
    const double newton = s - step.h / step.slope;
    // A step this small is taken as it is (it may round to s itself).
    if (std::fabs(newton - s) <= bound) return newton;
    s = newton > low && newton < high ? newton : 0.5 * (low + high);
    if (high - low <= bound) break;
  }
  return s;
}

}  // namespace specfun::detail
