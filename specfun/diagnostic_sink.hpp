// The library's one route for its diagnostics (internal).
#pragma once

#include <initializer_list>

#include "specfun/diagnostics.hpp"

namespace specfun::detail {

// Hands one record to the installed diagnostic sink.
void EmitDiagnostic(std::initializer_list<RecordItem> items);

}  // namespace specfun::detail
