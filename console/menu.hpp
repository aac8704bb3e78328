// The main program: start-up, the menu loop and the end of the run.
#pragma once

#include <filesystem>
#include <istream>
#include <ostream>

#include "console/channels.hpp"

namespace console {

// Sets the floating-point environment, announces and opens the log at
// logPath, runs the menu until option 0, option 1 or the end of the input,
// and closes the log. Returns the exit status: 0 after a normal end, 1 when
// the log cannot be opened, 2 when it cannot be written or closed (the
// reason goes to `errors`).
int MainMenu(std::istream& in, std::ostream& out, std::ostream& errors,
             const std::filesystem::path& logPath);

// The menu loop alone, on open channels; returns when the run should end,
// also when the console output has failed.
void RunMenu(Channels& channels);

// Round to nearest, every floating-point exception masked, subnormal results
// kept, doubles computed with their 53-bit significand.
void SetFloatingPointEnvironment();

}  // namespace console
