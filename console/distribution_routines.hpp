// The distributions' functions as the command line names them:
// FAMILY.FUNCTION, e.g. chisq.sf or normal.quantile_upper, taking the
// function's argument first and then the distribution's parameters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace console {

// Evaluates count rows: columns[0] holds the function's arguments,
// columns[1 + k] parameter k of the distribution.
using ColumnsBatch = void (*)(const double* const* columns, double* result, std::size_t count);

struct DistributionRoutine {
  std::string name;
  // The arguments' names; optional ones in brackets.
  std::string arguments;
  // What it computes, in a few words.
  std::string_view meaning;
  std::size_t leastArity;
  std::size_t arity;
  // The values of the optional parameters, from leastArity on.
  std::vector<double> defaults;
  ColumnsBatch evaluate;
};

// Every function of every distribution, family by family.
const std::vector<DistributionRoutine>& DistributionRoutines();

}  // namespace console
