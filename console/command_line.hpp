// The program's command line: the menu without arguments, or one of
//   --help, --version, eval NAME [ARG...].
#pragma once

#include <filesystem>
#include <istream>
#include <ostream>
#include <string_view>
#include <vector>

namespace console {

// Runs what the arguments (without the program name) ask for and returns
// the exit status: the menu's without arguments (MainMenu, log at logPath);
// 0 for --help, --version and an evaluation of values in their routines'
// domains; 1 when a value lies outside its routine's domain; 2 for an
// unknown argument or routine, a wrong number of arguments, a malformed
// number or a malformed or blank row (2 wins over 1). Each failure is
// named in one line on `errors`. eval never opens the log.
int RunCommandLine(const std::vector<std::string_view>& arguments, std::istream& in,
                   std::ostream& out, std::ostream& errors, const std::filesystem::path& logPath);

// The shortest text that reads back to the same double (std::to_chars):
// 0.1, 1e-300, -2.5, inf, nan.
std::string ShortestText(double value);

}  // namespace console
