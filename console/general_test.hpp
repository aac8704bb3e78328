// The general test of option 1: the library at fixed arguments, written to
// the log.
#pragma once

#include "console/channels.hpp"

namespace console {

// Writes the log-gamma table and the F, Student's t and chi-square round
// trips to the log as free-form records; writes nothing to the console.
void GeneralTest(LogChannel& log);

}  // namespace console
