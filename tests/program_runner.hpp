// Runs the whole program in-process on a given console input, with the log
// in a fresh temporary directory.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "console/channels.hpp"
#include "console/menu.hpp"
#include "console/texts.hpp"

namespace testing_support {

// A log that keeps its records in memory.
class StringLog final : public console::LogChannel {
 public:
  void WriteLine(std::string_view line) override {
    text_ += line;
    text_ += '\n';
  }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

struct ProgramRun {
  std::string console;  // everything written to standard output
  std::string errors;   // everything written to standard error
  std::string log;      // the log file afterwards ("" when absent)
  bool logExists = false;
  int status = -1;
};

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

// A directory that is removed when the object goes out of scope.
class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "specfun-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Runs MainMenu with `input` as the console input, in `directory`.
inline ProgramRun RunProgramIn(const std::filesystem::path& directory, const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream errors;
  ProgramRun run;
  const std::filesystem::path log = directory / "logtest.txt";
  run.status = console::MainMenu(in, out, errors, log);
  run.console = out.str();
  run.errors = errors.str();
  run.logExists = std::filesystem::exists(log);
  if (run.logExists) run.log = ReadFile(log);
  return run;
}

inline ProgramRun RunProgram(const std::string& input) {
  const TemporaryDirectory directory;
  return RunProgramIn(directory.path(), input);
}

// A text as a free-form console line (a leading blank) and as an exact-text
// log line.
inline std::string LogLine(std::string_view text) {
  std::string line(text);
  line += '\n';
  return line;
}
inline std::string ConsoleLine(std::string_view text) { return ' ' + LogLine(text); }

// The prompts of the shared readers as the console shows them.
inline const std::string kProbabilityPrompt = ConsoleLine(console::texts::kProbability.prompt);
inline const std::string kDegreesPrompt = ConsoleLine(console::texts::kDegreesOfFreedom.prompt);

// The menu block as the program shows it before every selection.
inline const std::string& MenuBlock() {
  static const std::string menu = [] {
    std::string block;
    for (std::string_view line : console::texts::kMenu) block += LogLine(line);
    return block;
  }();
  return menu;
}

}  // namespace testing_support
