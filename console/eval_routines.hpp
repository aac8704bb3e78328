// The routines that `specfun eval` evaluates: their names, arguments,
// meanings and domains, and the batch routines that evaluate rows of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/distribution_routines.hpp"

namespace console {

using Batch1 = void (*)(const double*, double*, std::size_t);
using Batch2 = void (*)(const double*, const double*, double*, std::size_t);
using Batch3 = void (*)(const double*, const double*, const double*, double*, std::size_t);
using TailBatch2 = void (*)(const double*, const double*, std::int32_t, double*, std::size_t);
using TailBatch3 = void (*)(const double*, const double*, const double*, std::int32_t, double*,
                            std::size_t);
// Whether one row of arguments lies in a routine's domain.
using DomainTest = bool (*)(const double* row);

// What a routine computes and where it is defined, as --help shows it.
struct RoutineText {
  std::string_view arguments;
  std::string_view meaning;
  std::string_view domain;
};

// One routine: its name, what it computes and the batch routine that
// evaluates rows of it. A tail selector, where there is one, is the last
// argument and one value for each run of rows.
class Routine {
 public:
  constexpr Routine(std::string_view name, RoutineText text, DomainTest inDomain, Batch1 batch)
      : name(name), arity(1), text_(text), inDomain_(inDomain), one_(batch) {}
  constexpr Routine(std::string_view name, RoutineText text, DomainTest inDomain, Batch2 batch)
      : name(name), arity(2), text_(text), inDomain_(inDomain), two_(batch) {}
  constexpr Routine(std::string_view name, RoutineText text, DomainTest inDomain, Batch3 batch)
      : name(name), arity(3), text_(text), inDomain_(inDomain), three_(batch) {}
  constexpr Routine(std::string_view name, RoutineText text, DomainTest inDomain,
                    TailBatch2 batch)
      : name(name), arity(3), takesTail(true), text_(text), inDomain_(inDomain),
        tailTwo_(batch) {}
  constexpr Routine(std::string_view name, RoutineText text, DomainTest inDomain,
                    TailBatch3 batch)
      : name(name), arity(4), takesTail(true), text_(text), inDomain_(inDomain),
        tailThree_(batch) {}
  explicit Routine(const DistributionRoutine& routine);

  // result[i] for the rows i < count of columns[k][i], argument k of row i.
  void Evaluate(const double* const* columns, std::size_t count, double* result) const;

  // Whether the row's arguments lie in the routine's documented domain and
  // its value is a number.
  bool InDomain(const double* row, double value) const;

  std::string_view arguments() const { return text_.arguments; }
  std::string_view meaning() const { return text_.meaning; }
  // The domain in words; empty where it is wherever the value is a number.
  std::string_view domain() const { return text_.domain; }

  std::string_view name;
  std::size_t arity;
  // Fewer arguments than arity take defaults[k - leastArity] for argument k.
  std::size_t leastArity = arity;
  const double* defaults = nullptr;
  bool takesTail = false;

 private:
  RoutineText text_;
  DomainTest inDomain_ = nullptr;
  Batch1 one_ = nullptr;
  Batch2 two_ = nullptr;
  Batch3 three_ = nullptr;
  TailBatch2 tailTwo_ = nullptr;
  TailBatch3 tailThree_ = nullptr;
  ColumnsBatch columns_ = nullptr;
};

// The library's routines, in the order --help lists them.
const std::vector<Routine>& LibraryRoutines();

// The distributions' functions (console/distribution_routines.hpp).
const std::vector<Routine>& DistributionRoutineTable();

// The routine of that name, in any mix of upper and lower case; nullptr if
// there is none.
const Routine* FindRoutine(std::string_view name);

// The names nearest to an unknown one (fewest letters to change, add or
// drop, in any case; a family's name is near its functions), at most
// three, nearest first; none when every name is far from it.
std::vector<std::string_view> NearestRoutineNames(std::string_view name);

}  // namespace console
