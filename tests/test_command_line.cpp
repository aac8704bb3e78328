// The program as a tool, run as a real process: --help, --version, eval
// with arguments and with rows on standard input, every error, and standard
// output closed or on a full device.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "console/command_line.hpp"
#include "specfun/specfun.hpp"
#include "tests/program_runner.hpp"

namespace {

using testing_support::ReadFile;
using testing_support::TemporaryDirectory;

struct ProcessRun {
  int status = -1;
  std::string out, errors;
  bool logExists = false;
  std::string log;
};

// Runs the program in a fresh directory with `arguments` (shell words),
// `input` on standard input and standard output sent to `stdoutTarget`
// (a redirection such as "> out.txt", ">&-" or "> /dev/full").
ProcessRun RunProcess(const std::string& arguments, const std::string& input = "",
                      const std::string& stdoutTarget = "> out.txt") {
  const TemporaryDirectory directory;
  const std::filesystem::path dir = directory.path();
  std::ofstream(dir / "in.txt", std::ios::binary) << input;
  const std::string command = "cd '" + dir.string() + "' && '" SPECFUN_PROGRAM "' " + arguments +
                              " < in.txt " + stdoutTarget + " 2> errors.txt";
  const int status = std::system(command.c_str());
  ProcessRun run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadFile(dir / "out.txt");
  run.errors = ReadFile(dir / "errors.txt");
  run.logExists = std::filesystem::exists(dir / "logtest.txt");
  if (run.logExists) run.log = ReadFile(dir / "logtest.txt");
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t begin = 0;
  for (std::size_t end; (end = text.find('\n', begin)) != std::string::npos; begin = end + 1) {
    lines.push_back(text.substr(begin, end - begin));
  }
  return lines;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The printed text reads back to exactly the value the library returns.
void ExpectPrints(const std::string& text, double expected, const std::string& what) {
  const double printed = std::strtod(text.c_str(), nullptr);
  EXPECT_TRUE(SameBits(printed, expected) || (std::isnan(printed) && std::isnan(expected)))
      << what << " printed " << text << ", the library gives " << expected;
}

TEST(CommandLine, HelpListsEveryRoutineAndEndsWithStatusZero) {
  const ProcessRun run = RunProcess("--help");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("Usage: specfun", 0), 0u);
  for (const char* routine : {"LnGamma", "QGauss", "QGaussInv", "BETAF", "FDistP", "FDistQ",
                              "StudentA", "StudentAQ", "BinomP", "BinomQ", "BetaInv", "FDistInv",
                              "StudentInv", "ChiSquare", "ChiSquareInv", "NCChiSquare"}) {
    EXPECT_NE(run.out.find("  " + std::string(routine) + " "), std::string::npos) << routine;
  }
  EXPECT_EQ(run.errors, "");
  EXPECT_FALSE(run.logExists);
}

TEST(CommandLine, VersionPrintsTheProjectVersion) {
  const ProcessRun run = RunProcess("--version");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "specfun " SPECFUN_VERSION "\n");
  EXPECT_FALSE(run.logExists);
}

// Exact results, and substitute values the routines give by definition.
TEST(CommandLine, EvalPrintsTheShortestTextOfOneValue) {
  struct Case {
    const char* arguments;
    const char* printed;
  };
  const Case cases[] = {
      {"eval QGauss 0", "0.5\n"},
      {"eval BETAF 0 2 3", "0\n"},
      {"eval BETAF 1 2 3", "1\n"},
      {"eval QGauss 40", "0\n"},
      {"eval qgauss 0", "0.5\n"},
      {"eval betaf 1 2 3", "1\n"},
  };
  for (const Case& c : cases) {
    const ProcessRun run = RunProcess(c.arguments);
    EXPECT_EQ(run.status, 0) << c.arguments;
    EXPECT_EQ(run.out, c.printed) << c.arguments;
    EXPECT_EQ(run.errors, "") << c.arguments;
    EXPECT_FALSE(run.logExists) << c.arguments;
  }
}

TEST(CommandLine, EvalArgumentsReachTheRoutineInOrder) {
  const ProcessRun chi = RunProcess("eval ChiSquare 3.5 2 1");
  ExpectPrints(chi.out, specfun::ChiSquare(3.5, 2.0, 1), "ChiSquare 3.5 2 1");
  const ProcessRun nc = RunProcess("eval NCChiSquare 4 3 2.5 0");
  ExpectPrints(nc.out, specfun::NCChiSquare(4.0, 3.0, 2.5, 0), "NCChiSquare 4 3 2.5 0");
  const ProcessRun f = RunProcess("eval FDistInv 0.05 3 1e1");
  ExpectPrints(f.out, specfun::FDistInv(0.05, 3.0, 10.0), "FDistInv 0.05 3 10");
}

// Rows separated by commas, blanks or both, CR LF line ends, the last
// without one; the tail changes between rows.
TEST(CommandLine, EvalReadsRowsFromStandardInput) {
  const ProcessRun run =
      RunProcess("eval ChiSquare", "1,2,0\n1 2 1\r\n  3.5 ,  4 , 1\n0.5\t7\t0\n2e1 30 -3");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.errors, "");
  const std::vector<std::string> lines = Lines(run.out);
  struct Row {
    double x, nu;
    std::int32_t tail;
  };
  const Row rows[] = {{1, 2, 0}, {1, 2, 1}, {3.5, 4, 1}, {0.5, 7, 0}, {20, 30, -3}};
  ASSERT_EQ(lines.size(), std::size(rows));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ExpectPrints(lines[i], specfun::ChiSquare(rows[i].x, rows[i].nu, rows[i].tail),
                 "row " + std::to_string(i + 1));
  }
  EXPECT_FALSE(run.logExists);
}

// A value outside its routine's domain is printed and named, under the
// name the user gave, with status 1; a report on a value inside the domain
// follows a line naming the routine, with status 0.
TEST(CommandLine, EvalNamesValuesOutsideTheDomain) {
  struct Case {
    const char* arguments;
    const char* printed;
    const char* errors;
    int status;
  };
  const Case cases[] = {
      {"eval QGaussInv 0", "100000002004087734272\n",
       "specfun: QGaussInv 0: outside the domain 0 < p < 1\n", 1},
      {"eval QGaussInv -0.1", "100000002004087734272\n",
       "specfun: QGaussInv -0.1: outside the domain 0 < p < 1\n", 1},
      {"eval StudentInv 2 10", "0\n",
       "specfun: StudentInv 2 10: outside the domain 0 < p < 1, nu > 0\n", 1},
      {"eval LnGamma 0", "inf\n", "specfun: LnGamma 0: outside the domain x > 0\n", 1},
      {"eval chisquare -1 2 0", "-nan\n",
       "specfun: ChiSquare -1 2 0: outside the domain x >= 0, nu > 0\n", 1},
      {"eval BETAF 0.99386 50 0.01", "0.008953307597683034\n",
       "specfun: BETAF 0.99386 50 0.01: the library reports\n"
       " Slow convergence in BETAF, last 4 vals & return:\n",
       0},
  };
  for (const Case& c : cases) {
    const ProcessRun run = RunProcess(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments;
    EXPECT_EQ(run.out, c.printed) << c.arguments;
    EXPECT_EQ(run.errors.substr(0, std::strlen(c.errors)), c.errors) << c.arguments;
  }
}

// One line per row in order: nan for a malformed or blank row, each named
// with its line; the value outside the domain printed and named; status 2
// wins over 1.
TEST(CommandLine, EvalGivesEveryRowItsLine) {
  const std::string longValue(100000, '7');
  const ProcessRun run = RunProcess(
      "eval StudentInv",
      "0.05 10\n0.01,30\nabc 3\n\n2 10\n0.5\n1,,2\n0.05 10 x" + longValue + "\n 0.5 1 \n");
  EXPECT_EQ(run.status, 2);
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 9u) << run.out;
  ExpectPrints(lines[0], specfun::StudentInv(0.05, 10.0), "row 1");
  ExpectPrints(lines[1], specfun::StudentInv(0.01, 30.0), "row 2");
  EXPECT_EQ(lines[4], "0");  // the value for p >= 1
  ExpectPrints(lines[8], specfun::StudentInv(0.5, 1.0), "row 9");
  for (std::size_t bad : {2, 3, 5, 6, 7}) EXPECT_EQ(lines[bad], "nan") << "row " << bad + 1;
  EXPECT_EQ(run.errors,
            "specfun: line 3: malformed number 'abc'\n"
            "specfun: line 4: blank row\n"
            "specfun: line 5: StudentInv 2 10: outside the domain 0 < p < 1, nu > 0\n"
            "specfun: line 6: StudentInv takes 2 arguments (p nu), not 1\n"
            "specfun: line 7: malformed number ''\n"
            "specfun: line 8: a row longer than 4096 characters\n");
  EXPECT_FALSE(run.logExists);

  const ProcessRun domainOnly = RunProcess("eval StudentInv", "0.05 10\n2 10\n");
  EXPECT_EQ(domainOnly.status, 1);
  EXPECT_EQ(Lines(domainOnly.out).size(), 2u);
  const std::string longField = std::string(1, 'x').append(longValue, 0, 1000);
  const ProcessRun cut = RunProcess("eval QGauss", "0\n" + longField + "\n");
  EXPECT_EQ(cut.status, 2);
  EXPECT_EQ(cut.out, "0.5\nnan\n");
  EXPECT_EQ(cut.errors, "specfun: line 2: malformed number '" + longField.substr(0, 32) +
                            "...' (1001 characters)\n");
}

// Rows beyond the first chunk keep their order and their line numbers.
TEST(CommandLine, EvalKeepsOrderAcrossChunks) {
  std::string input;
  for (int i = 1; i <= 10000; ++i) input += i == 7000 ? "x\n" : std::to_string(i % 7) + "\n";
  const ProcessRun run = RunProcess("eval QGauss", input);
  EXPECT_EQ(run.status, 2);
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 10000u);
  for (int i = 1; i <= 10000; i += 997) {
    ExpectPrints(lines[i - 1], specfun::QGauss(i % 7), "row " + std::to_string(i));
  }
  EXPECT_EQ(lines[6999], "nan");
  EXPECT_EQ(run.errors, "specfun: line 7000: malformed number 'x'\n");
}

// Names in any case; an unknown one suggests the nearest; the distributions'
// names take their optional parameters.
TEST(CommandLine, EvalFindsNamesInAnyCaseAndSuggestsNearOnes) {
  const char* const unknown[][2] = {
      {"Gauss", "'Gauss'; did you mean QGauss? (see specfun --help)"},
      {"studentinvv", "'studentinvv'; did you mean StudentInv? (see specfun --help)"},
      {"Normal",
       "'Normal'; did you mean normal.cdf, normal.sf or normal.log_cdf? (see specfun --help)"},
      {"zzz", "'zzz'; see specfun --help"},
  };
  for (const auto& [name, message] : unknown) {
    const ProcessRun run = RunProcess(std::string("eval ") + name + " 1");
    EXPECT_EQ(run.status, 2) << name;
    EXPECT_EQ(run.out, "") << name;
    EXPECT_EQ(run.errors, std::string("specfun: unknown routine ") + message + "\n") << name;
  }
  const ProcessRun distribution = RunProcess("eval NORMAL.Cdf", "0\n0 1 2\n0 1 2 3\n");
  EXPECT_EQ(distribution.status, 2);
  EXPECT_EQ(Lines(distribution.out).size(), 3u);
  EXPECT_EQ(distribution.errors.find("unknown"), std::string::npos);
  EXPECT_NE(distribution.errors.find(
                "specfun: line 3: normal.cdf takes 1 to 3 arguments (x [mean sd]), not 4\n"),
            std::string::npos);
}

TEST(CommandLine, EachErrorIsOneLineWithStatusTwoAndNoLog) {
  struct Case {
    const char* arguments;
    const char* input;
    const char* message;
  };
  const Case cases[] = {
      {"--bogus", "", "specfun: unknown argument '--bogus'; see specfun --help\n"},
      {"--help extra", "", "specfun: unknown argument '--help'; see specfun --help\n"},
      {"eval", "", "specfun: eval needs a routine name; see specfun --help\n"},
      {"eval QGauss 1 2", "", "specfun: QGauss takes 1 argument (x), not 2\n"},
      {"eval BETAF 0.5 2", "", "specfun: BETAF takes 3 arguments (x a b), not 2\n"},
      {"eval QGauss abc", "", "specfun: malformed number 'abc'\n"},
      {"eval QGauss 1e999", "", "specfun: malformed number '1e999'\n"},
      {"eval ChiSquare 1 2 0.5", "",
       "specfun: malformed tail '0.5' (a whole number: 0 for P, else Q)\n"},
  };
  for (const Case& c : cases) {
    const ProcessRun run = RunProcess(c.arguments, c.input);
    EXPECT_EQ(run.status, 2) << c.arguments;
    EXPECT_EQ(run.errors, c.message) << c.arguments;
    EXPECT_EQ(run.out, "") << c.arguments;
    EXPECT_FALSE(run.logExists) << c.arguments;
  }
}

TEST(CommandLine, ShortestTextReadsBackToTheSameDouble) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {{0.1, "0.1"},          {-2.5, "-2.5"},
                        {1e-300, "1e-300"},    {5e-324, "5e-324"},
                        {1.7976931348623157e308, "1.7976931348623157e+308"},
                        {0.0, "0"},            {-0.0, "-0"},
                        {HUGE_VAL, "inf"},     {-HUGE_VAL, "-inf"},
                        {std::nan(""), "nan"}, {1.0 / 3.0, "0.3333333333333333"}};
  for (const Case& c : cases) EXPECT_EQ(console::ShortestText(c.value), c.text) << c.text;
}

// With standard output closed at start the run says so and ends with
// status 2 before writing anything: no log is created.
TEST(StandardOutput, ClosedStandardOutputEndsTheRunBeforeAnyWrite) {
  for (const char* arguments : {"", "eval QGauss 1"}) {
    const ProcessRun run = RunProcess(arguments, "1\n", ">&-");
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_EQ(run.errors, "specfun: cannot write standard output: Bad file descriptor\n")
        << arguments;
    EXPECT_FALSE(run.logExists) << arguments;
  }
}

// Beyond the file-size limit (512 bytes here) a write fails like any other,
// with one line and status 2 instead of SIGXFSZ: the general test's log,
// which keeps what reached it, and standard output of 200 evaluations.
TEST(StandardOutput, FileSizeLimitEndsWithOneLineAndStatusTwo) {
  struct Case {
    const char* arguments;
    std::string input;
    const char* output;
    const char* error;
  };
  std::string rows;
  for (int i = 0; i < 200; ++i) rows += "0.5\n";
  const Case cases[] = {
      {"", "1\n", "/dev/null", "specfun: cannot write log file logtest.txt: File too large\n"},
      {"eval QGauss", rows, "out.txt", "specfun: cannot write standard output: File too large\n"}};
  for (const Case& c : cases) {
    const TemporaryDirectory directory;
    const std::filesystem::path dir = directory.path();
    std::ofstream(dir / "in.txt", std::ios::binary) << c.input;
    const std::string command = "cd '" + dir.string() + "' && (ulimit -f 1; exec '" SPECFUN_PROGRAM
                                "' " + c.arguments + " < in.txt > " + c.output + " 2> errors.txt)";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << c.arguments << ": " << status;
    EXPECT_EQ(ReadFile(dir / "errors.txt"), c.error) << c.arguments;
  }
}

// A closed standard input reads as its end: the run ends as for option 0.
TEST(StandardOutput, ClosedStandardInputEndsTheRunAsOptionZero) {
  const ProcessRun run = RunProcess("", "", "> out.txt <&-");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, testing_support::ConsoleLine(console::texts::kAnnouncement) +
                         testing_support::MenuBlock());
  EXPECT_EQ(run.errors, "");
}

TEST(StandardOutput, FullDeviceEndsWithOneLineAndStatusTwo) {
  for (const char* arguments : {"", "eval QGauss 1", "--help"}) {
    const ProcessRun run = RunProcess(arguments, "2\n5\n0\n", "> /dev/full");
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_EQ(run.errors, "specfun: cannot write standard output: No space left on device\n")
        << arguments;
  }
}

}  // namespace
