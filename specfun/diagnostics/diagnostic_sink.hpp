// The library's one route for its diagnostics (internal).
#pragma once

#include <cstddef>
#include <initializer_list>

#include "specfun/diagnostics.hpp"

namespace specfun::detail {

// Hands a report of one record to the installed diagnostic sink.
void EmitDiagnostic(std::initializer_list<RecordItem> items);

// Hands a report of the first `count` of `records` (all of them by default)
// to the installed diagnostic sink, in one call.
void EmitDiagnosticReport(std::initializer_list<std::initializer_list<RecordItem>> records,
                          std::size_t count = static_cast<std::size_t>(-1));

}  // namespace specfun::detail
