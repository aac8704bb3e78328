// The console program: the interactive menu, or a command-line evaluation.
#include <unistd.h>

#include <iostream>
#include <string_view>
#include <vector>

#include "console/command_line.hpp"
#include "console/standard_streams.hpp"

int main(int argc, char** argv) {
  // Before anything is opened, so that the log can never take the place of
  // a closed standard descriptor.
  // With standard output closed nothing the program writes could be seen:
  // it ends before writing anything, the log included.
  if (console::OpenClosedStandardDescriptors()) return console::ReportClosedStandardOutput();
  console::IgnoreFileSizeSignal();
  console::DescriptorOutput standardOutput(STDOUT_FILENO);
  std::ostream out(&standardOutput);
  console::DescriptorInput standardInput(STDIN_FILENO);
  std::istream in(&standardInput);
  in.tie(&out);  // prompts are written out before an answer is read
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const int status = console::RunCommandLine(arguments, in, out, std::cerr, "logtest.txt");
  in.tie(nullptr);
  return console::FinishStandardOutput(standardOutput, status);
}
