// The general test of option 1: the library at fixed arguments, written to
// the log.
#pragma once

#include "console/channels.hpp"

namespace gentest {

// Writes the log-gamma table and the F, Student's t and chi-square round
// trips to the log as free-form records; writes nothing to the console.
void GeneralTest(console::LogChannel& log);

}  // namespace gentest
