// The program end to end: start-up, menu, option 2, the log's lifecycle and
// the end of the input.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/program_runner.hpp"

namespace {

using testing_support::ConsoleLine;
using testing_support::LogLine;
namespace texts = console::texts;

using testing_support::MenuBlock;
using testing_support::ReadFile;
using testing_support::RunProgram;
using testing_support::RunProgramIn;
using testing_support::TemporaryDirectory;

const std::string kAnnouncement = ConsoleLine(texts::kAnnouncement);

void WriteFile(const std::filesystem::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

TEST(Program, OptionZeroEndsAtOnce) {
  const auto run = RunProgram("0\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.console, kAnnouncement + MenuBlock());
  EXPECT_TRUE(run.logExists);
  EXPECT_EQ(run.log, "");
}

TEST(Program, EmptyLineOrLoneSignReadsAsZero) {
  for (const char* input : {"\n", "+\n", "-\n", "    3\n", "\r\n"}) {
    const auto run = RunProgram(input);
    EXPECT_EQ(run.status, 0) << input;
    EXPECT_EQ(run.console, kAnnouncement + MenuBlock()) << input;
  }
}

TEST(Program, EndOfInputEndsTheRunAsOptionZero) {
  const auto atMenu = RunProgram("");
  EXPECT_EQ(atMenu.status, 0);
  EXPECT_EQ(atMenu.console, kAnnouncement + MenuBlock());
  const auto inReader = RunProgram("2\nabc\n");
  EXPECT_EQ(inReader.status, 0);
  const std::string prompt = ConsoleLine(texts::kNonnegativeLimit.prompt);
  EXPECT_EQ(inReader.console, kAnnouncement + MenuBlock() + ConsoleLine(texts::kLogGammaTitle) + prompt +
                                  ConsoleLine(texts::kNonnegativeLimit.readError) + ConsoleLine(texts::kTryAgain) +
                                  prompt);
  EXPECT_EQ(inReader.log, LogLine(texts::kLogGammaTitle));
}

TEST(Program, SelectionErrors) {
  const auto run = RunProgram("abc\n3x\n1.5\n12345\n1 0\n-1\n0\n");
  const std::string invalid = ConsoleLine(texts::kInvalidSelection);
  EXPECT_EQ(run.console, kAnnouncement + MenuBlock() + invalid + MenuBlock() + invalid +
                             MenuBlock() + invalid + MenuBlock() +
                             " Option not in range:  1234\n" + MenuBlock() +
                             " Option not in range:  10\n" + MenuBlock() +
                             " Option not in range: -1\n" + MenuBlock());
  EXPECT_EQ(run.log, "");
}

TEST(Program, LogGammaDialogue) {
  const auto run = RunProgram("2\n1\n2\n0\n2\n200\n2\n-3\n1e-20\n0\n");
  const std::string title = ConsoleLine(texts::kLogGammaTitle);
  const std::string prompt = ConsoleLine(texts::kNonnegativeLimit.prompt);
  const std::string header = ConsoleLine(texts::kLogGammaHeader);
  const std::string rows[] = {
      // ln Γ(1) is not exactly 0 with these operations, so Γ(1) prints just below 1.
      "   1.00000000000000 -2.109423746787797E-015  0.999999999999998",
      "   0.000000000000000  INF -NaN",
      "   200.000000000000  857.933669825857  INF",
      "   1.000000000000000E-020  46.0517018598809  1.000000000000001E+020",
  };
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.console,
            kAnnouncement + MenuBlock() + title + prompt + header + rows[0] + "\n" + MenuBlock() +
                title + prompt + header + rows[1] + "\n" + MenuBlock() + title + prompt + header +
                rows[2] + "\n" + MenuBlock() + title + prompt +
                ConsoleLine(texts::kNonnegativeLimit.rangeMessage) + ConsoleLine(texts::kTryAgain) + prompt + header +
                rows[3] + "\n" + MenuBlock());
  std::string log;
  for (const std::string& row : rows) {
    log += LogLine(texts::kLogGammaTitle) + LogLine(texts::kLogGammaHeader) + row + "\n";
  }
  EXPECT_EQ(run.log, log);
}

TEST(LogLifecycle, ExistingLogIsUntouchedByARunWithoutRecords) {
  const TemporaryDirectory directory;
  const std::string old = "an older run's records\nkept as they were\n";
  WriteFile(directory.path() / "logtest.txt", old);
  for (const char* input : {"0\n", "", "abc\n17\n0\n"}) {
    const auto run = RunProgramIn(directory.path(), input);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.log, old) << input;
  }
}

// ln Γ(0.5) comes out 1.8e-15 below ln √π, so Γ(0.5) prints ...551, not ...552.
TEST(LogLifecycle, ARunThatWritesRecordsLeavesOnlyItsOwn) {
  const TemporaryDirectory directory;
  WriteFile(directory.path() / "logtest.txt", std::string(10000, 'x') + "\n");
  const auto run = RunProgramIn(directory.path(), "2\n0.5\n0\n");
  EXPECT_EQ(run.log,
            "Log Gamma function\nx, log(Gamma(x)), Gamma(x)\n"
            "   0.500000000000000  0.572364942924698  1.77245385090551\n");
}

TEST(LogLifecycle, UnopenableLogIsReportedWithStatusOne) {
  const TemporaryDirectory directory;
  std::filesystem::create_directory(directory.path() / "logtest.txt");
  const auto isDirectory = RunProgramIn(directory.path(), "0\n");
  EXPECT_EQ(isDirectory.status, 1);
  EXPECT_EQ(isDirectory.console, kAnnouncement);  // no menu
  EXPECT_NE(isDirectory.errors.find("logtest.txt"), std::string::npos);
  EXPECT_NE(isDirectory.errors.find("Is a directory"), std::string::npos);

  const auto missing = RunProgramIn(directory.path() / "no" / "such", "0\n");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.errors.find("No such file or directory"), std::string::npos);
}

TEST(LogLifecycle, FailedWriteIsNeverReportedAsSuccess) {
  std::istringstream in("2\n1\n0\n");
  std::ostringstream out, errors;
  const int status = console::MainMenu(in, out, errors, "/dev/full");
  EXPECT_NE(status, 0);
  EXPECT_NE(errors.str().find("/dev/full"), std::string::npos);
}

// The real executable, started in a fresh directory with piped input.
TEST(Executable, RunsOptionTwoAndEndsWithStatusZero) {
  const TemporaryDirectory directory;
  WriteFile(directory.path() / "input.txt", "2\n0.5\n0\n");
  const std::string command = "cd '" + directory.path().string() + "' && '" SPECFUN_PROGRAM
                              "' < input.txt > console.txt 2> errors.txt";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::string row = "   0.500000000000000  0.572364942924698  1.77245385090551\n";
  EXPECT_EQ(ReadFile(directory.path() / "console.txt"),
            kAnnouncement + MenuBlock() +
                ConsoleLine(texts::kLogGammaTitle) + ConsoleLine(texts::kNonnegativeLimit.prompt) + ConsoleLine(texts::kLogGammaHeader) +
                row + MenuBlock());
  EXPECT_EQ(ReadFile(directory.path() / "logtest.txt"),
            LogLine(texts::kLogGammaTitle) + LogLine(texts::kLogGammaHeader) + row);
  EXPECT_EQ(ReadFile(directory.path() / "errors.txt"), "");
}

}  // namespace
