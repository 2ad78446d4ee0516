// --help, --version and wrong command lines of the real program: answered
// before anything else, without the banner and without reading standard
// input.
#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/program_text.h"
#include "support/run_shell.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

// Runs the program with the arguments and an answers pipe that holds a
// first answer and stays open: a program that read it would go on to the
// next question and wait there.
RunResult run_with_arguments(const TempDir& dir, const std::vector<std::string>& arguments) {
  RunOptions options;
  options.arguments = arguments;
  VornaProcess process(dir.path(), options);
  process.send("out.prt\n");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (process.running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_FALSE(process.running()) << "still running: it waits for an answer";
  return process.wait();
}

TEST(CommandLine, HelpAndVersionEndAtOnceWithStatusZero) {
  const struct {
    std::vector<std::string> arguments;
    std::string out;
  } cases[] = {
      {{"--help"}, vorna::kUsageText},
      {{"-h"}, vorna::kUsageText},
      {{"ignored", "--help"}, vorna::kUsageText},
      {{"-h", "--bogus"}, vorna::kUsageText},
      {{"--to=never", "--help"}, vorna::kUsageText},
      {{"--version"}, "vorna 1.0\n"},
      {{"-V"}, "vorna 1.0\n"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    RunResult run = run_with_arguments(dir, c.arguments);
    EXPECT_EQ(run.status, 0) << c.arguments.back();
    EXPECT_EQ(run.out, c.out) << c.arguments.back();
    EXPECT_EQ(run.err, "") << c.arguments.back();
    EXPECT_FALSE(file_exists(dir.file("out.prt"))) << c.arguments.back();
  }
}

TEST(CommandLine, VersionIsTheBannersVersion) {
  TempDir dir;
  const std::string started = run_vorna(dir.path(), "").out;
  RunOptions options;
  options.arguments = {"--version"};
  const std::string version = run_vorna_with(dir.path(), "", options).out;
  ASSERT_EQ(version.compare(0, 6, "vorna "), 0) << version;
  ASSERT_EQ(version.back(), '\n');
  const std::string number = version.substr(6, version.size() - 7);
  EXPECT_NE(started.find("Version " + number + "/"), std::string::npos) << number;
}

TEST(CommandLine, UsageNamesTheQuestionsOutputsStatusesAndManual) {
  const std::string usage = vorna::kUsageText;
  for (const char* text : {"Give output file for misc print",
                           "Give file containing Time Series",
                           "First Time",
                           "Last Time",
                           "FORT36",
                           "fort.36",
                           "CR LF",
                           "129, 130, 131, 143",
                           "--print=FILE",
                           "--listing=FILE",
                           "--from=TIME",
                           "--to=TIME",
                           "--quiet",
                           "--json",
                           "--hysteresis=H",
                           "--time-column=COLUMN",
                           "--column=COLUMN",
                           "--delimiter=C",
                           "--decimal-comma",
                           "--times=WHICH",
                           "--time-scale=K",
                           "ISO 8601",
                           "for f in",
                           "9, 22, 24, 29, 30, 38, 39, 41, 43, 47, 59, 64, 66",
                           "man vorna",
                           "doc/vorna.1"}) {
    EXPECT_NE(usage.find(text), std::string::npos) << text;
  }
}

TEST(CommandLine, UsageErrorsAreOneLineAndStatusTwoWithoutAnyFile) {
  const struct {
    std::vector<std::string> arguments;
    std::string line;
  } cases[] = {
      {{"--verbose", "s.txt"}, "vorna: unrecognized option '--verbose'\n"},
      {{"--helpx"}, "vorna: unrecognized option '--helpx'\n"},
      {{"-z", "s.txt"}, "vorna: invalid option -- 'z'\n"},
      {{"s.txt", "-o"}, "vorna: option requires an argument -- 'o'\n"},
      {{"s.txt", "--print"}, "vorna: option '--print' requires an argument\n"},
      {{"--json=yes", "s.txt"}, "vorna: option '--json' doesn't allow an argument\n"},
      {{"s.txt", "s.txt"}, "vorna: extra operand 's.txt'\n"},
      {{"-q", "--json"}, "vorna: missing SERIES operand\n"},
      {{"--from", "start", "s.txt"},
       "vorna: invalid time for --from: 'start' (a number, or an ISO 8601 date-time, date or "
       "clock time)\n"},
      {{"-c", "force", "s.txt"},
       "vorna: no column 'force' (-c/--column) in s.txt, whose first line has 2 columns and no "
       "header: give a number from 1 to 2\n"},
      {{"-t", "0", "s.txt"},
       "vorna: no column '0' (-t/--time-column) in s.txt, whose first line has 2 columns and no "
       "header: give a number from 1 to 2\n"},
      {{"--to=2 days", "s.txt"},
       "vorna: invalid time for --to: '2 days' (a number, or an ISO 8601 date-time, date or "
       "clock time)\n"},
      {{"--hysteresis=free", "s.txt"},
       "vorna: invalid band for --hysteresis: 'free' (a number, 0 or more)\n"},
      {{"--hysteresis=-1", "s.txt"},
       "vorna: invalid band for --hysteresis: '-1' (a number, 0 or more)\n"},
      {{"s.txt", "two\nlines\x1b"}, "vorna: extra operand 'two?lines?'\n"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    write_file(dir.file("s.txt"), "0 1\n1 2\n2 1\n");
    RunResult run = run_with_arguments(dir, c.arguments);
    EXPECT_EQ(run.out, "") << c.line;
    EXPECT_EQ(run.err, c.line + "Try 'vorna --help' for more information.\n");
    EXPECT_EQ(run.status, 2) << c.line;
    for (const char* name : {"s.prt", "s.lst", "fort.36", "out.prt"}) {
      EXPECT_FALSE(file_exists(dir.file(name))) << c.line << name;
    }
  }
}

TEST(CommandLine, HelpThatCannotBeWrittenIs38) {
  TempDir dir;
  ShellResult run = run_shell(dir.path(), shell_quoted(VORNA_BINARY) + " --help >/dev/full");
  EXPECT_EQ(run.status, 38);
  EXPECT_EQ(run.output, "vorna: severe (38): error during write, unit 6, file CONOUT$\r\n");
}

}  // namespace
}  // namespace vorna_test
