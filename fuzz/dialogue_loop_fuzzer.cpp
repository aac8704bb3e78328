// The whole program driven by arbitrary bytes as its console input. Every
// run must end with status 0 and nothing on the error channel (the end of
// the input ends the program as option 0 does), and its log must hold only
// dialogue titles, header lines with their value rows and, after option 1,
// the general test's records. Hangs and sanitizer reports are libFuzzer's.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "console/menu.hpp"
#include "fuzz_check.hpp"
#include "log_grammar.hpp"

namespace {

// The log lives in a directory of this process, removed at exit.
std::filesystem::path& WorkDirectory() {
  static std::filesystem::path directory;
  return directory;
}

std::filesystem::path LogPath() { return WorkDirectory() / "logtest.txt"; }

void RemoveWorkDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(WorkDirectory(), ignored);
}

struct Run {
  int status = -1;
  std::string errors;
  std::vector<std::string> log;
};

std::vector<std::string> ReadLogLines() {
  std::ifstream file(LogPath(), std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  fuzz::Require(text.empty() || text.back() == '\n', "the log ends inside a record");
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

Run RunProgram(std::string_view input) {
  std::filesystem::remove(LogPath());
  std::istringstream in{std::string(input)};
  std::ostringstream out;
  std::ostringstream errors;
  Run run;
  run.status = console::MainMenu(in, out, errors, LogPath());
  run.errors = errors.str();
  run.log = ReadLogLines();
  return run;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + '\n';
  return text;
}

void RequireNormalEnd(const Run& run) {
  fuzz::Require(run.status == 0, "exit status " + std::to_string(run.status));
  fuzz::Require(run.errors.empty(), "error output: " + run.errors);
}

// The records of option 1, taken once from a run of "1" alone; the general
// test is fixed, so every later run that chooses it ends its log with them.
const std::vector<std::string>& GeneralTestRecords() {
  static const std::vector<std::string> records = [] {
    const Run run = RunProgram("1\n");
    RequireNormalEnd(run);
    for (const std::string& line : run.log) {
      fuzz::Require(fuzz::IsGeneralTestRecord(line), "general test record \"" + line + "\"");
    }
    return run.log;
  }();
  return records;
}

bool EndsWith(const std::vector<std::string>& lines, const std::vector<std::string>& tail) {
  return !tail.empty() && lines.size() >= tail.size() &&
         std::equal(tail.begin(), tail.end(), lines.end() - static_cast<std::ptrdiff_t>(tail.size()));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string pattern = (std::filesystem::temp_directory_path() / "specfun-fuzz-XXXXXX").string();
  fuzz::Require(::mkdtemp(pattern.data()) != nullptr, "cannot make a temporary directory");
  WorkDirectory() = pattern;
  std::atexit(RemoveWorkDirectory);
  GeneralTestRecords();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Run run = RunProgram(std::string_view(reinterpret_cast<const char*>(data), size));
  RequireNormalEnd(run);
  const std::vector<std::string>& generalTest = GeneralTestRecords();
  if (EndsWith(run.log, generalTest)) run.log.resize(run.log.size() - generalTest.size());
  if (const std::optional<std::string> fault = fuzz::FirstDialogueLogFault(run.log)) {
    fuzz::Fail(*fault + "\nlog:\n" + Joined(run.log));
  }
  return 0;
}
