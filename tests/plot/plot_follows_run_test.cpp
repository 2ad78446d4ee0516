// vorna-plot after a command-line run: the listing beside the print file
// without being named, the run's JSON summary for the files, the band and
// the series, a failure that says which listing it took and which one was
// meant, and the examples of --help as they stand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plot/run_command.h"
#include "support/run_shell.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

const std::string kSourceDir = VORNA_SOURCE_DIR;

// The wave example and a shorter series in directory; vorna run on the
// wave from the command line: wave.prt and wave.lst.
void prepare_wave_run(const TempDir& directory) {
  write_file(directory.file("wave.txt"), read_file(kSourceDir + "/examples/wave.txt"));
  write_file(directory.file("short.txt"), "0 1\n1 3\n2 2\n3 5\n4 1\n");
  const RunResult run = run_command(directory.path(), {VORNA_BINARY, "-q", "wave.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
}

std::string title_of(const std::string& svg) {
  const std::size_t begin = svg.find("<title>") + 7;
  return svg.substr(begin, svg.find("</title>") - begin);
}

struct Case {
  const char* name;
  const char* shell;  // run in the directory after prepare_wave_run
  std::vector<std::string> arguments;
  Environment environment;
  const char* listing;  // as the picture's description names it; "" for a failure
  const char* error;    // the one line of a failure
};

TEST(PlotFollowsRun, TakesTheListingTheRunWrote) {
  const Case cases[] = {
      {"beside the print file", "true", {"wave.prt"}, {}, "wave.lst", ""},
      {"beside it, a dialogue's fort.36 there too",
       "printf 'out.prt\\nshort.txt\\n\\n\\n' | " VORNA_BINARY " >/dev/null",
       {"wave.prt"},
       {},
       "wave.lst",
       ""},
      {"FORT36 set",
       "cp wave.lst other.lst",
       {"wave.prt"},
       {{"FORT36", "other.lst"}},
       "other.lst",
       ""},
      {"the dialogue's fort.36 without one beside",
       "printf 'out.prt\\nwave.txt\\n\\n\\n' | " VORNA_BINARY " >/dev/null",
       {"out.prt"},
       {},
       "fort.36",
       ""},
      {"neither",
       "rm wave.lst",
       {"wave.prt"},
       {},
       "",
       "vorna-plot: fort.36: cannot open: No such file or directory (no LISTING given, and no "
       "wave.lst beside wave.prt: took fort.36)\n"},
      {"one beside of another run",
       "printf 'wave.prt\\nshort.txt\\n\\n\\n' | " VORNA_BINARY " >/dev/null",
       {"wave.prt"},
       {},
       "",
       "vorna-plot: wave.lst:6: more lines than the 5 Time Series steps of wave.prt (no LISTING "
       "given: took wave.lst, beside wave.prt; after a dialogue run, name its listing, such as "
       "fort.36)\n"},
      {"FORT36 naming none",
       "true",
       {"wave.prt"},
       {{"FORT36", "gone.lst"}},
       "",
       "vorna-plot: gone.lst: cannot open: No such file or directory (no LISTING given: took "
       "gone.lst, which FORT36 names)\n"},
  };
  for (const Case& c : cases) {
    TempDir directory;
    prepare_wave_run(directory);
    ASSERT_EQ(run_shell(directory.path(), c.shell).status, 0) << c.name;
    const RunResult plot = run_plot(directory.path(), c.arguments, c.environment);
    if (c.error[0] != '\0') {
      EXPECT_EQ(plot.status, 1) << c.name;
      EXPECT_EQ(plot.err, c.error) << c.name;
      continue;
    }
    ASSERT_EQ(plot.status, 0) << c.name << ": " << plot.err;
    EXPECT_NE(plot.out.find(std::string("its listing ") + c.listing + ":"), std::string::npos)
        << c.name;
  }
}

TEST(PlotFollowsRun, TakesTheFilesBandAndSeriesFromTheRunSummary) {
  TempDir directory;
  prepare_wave_run(directory);
  const RunResult json = run_command(
      directory.path(), {VORNA_BINARY, "--json", "--hysteresis=0.5", "-o", "h.prt", "wave.txt"});
  ASSERT_EQ(json.status, 0) << json.err;
  write_file(directory.file("run.json"), json.out);

  const RunResult plot = run_plot(directory.path(), {"--run=run.json"});
  ASSERT_EQ(plot.status, 0) << plot.err;
  EXPECT_EQ(title_of(plot.out), "wave.txt: 300 steps, time 0.000 to 29.900");
  EXPECT_NE(plot.out.find("at least 0.5 (vorna --hysteresis)"), std::string::npos);
  EXPECT_NE(plot.out.find(">reversals, "), std::string::npos);
  EXPECT_NE(plot.out.find("print file " + directory.file("h.prt")), std::string::npos);

  // The command line comes first: its print file (with its own listing
  // rule), band and title.
  const RunResult given =
      run_plot(directory.path(), {"--run=run.json", "--hysteresis=0.25", "--title=T", "wave.prt"});
  ASSERT_EQ(given.status, 0) << given.err;
  EXPECT_EQ(title_of(given.out), "T");
  EXPECT_NE(given.out.find("at least 0.25 (vorna --hysteresis)"), std::string::npos);
  EXPECT_NE(given.out.find("its listing wave.lst:"), std::string::npos);

  // A listing moved away since: the failure says who named it.
  ASSERT_EQ(run_shell(directory.path(), "mv wave.lst moved.lst").status, 0);
  const RunResult moved = run_plot(directory.path(), {"--run=run.json"});
  EXPECT_EQ(moved.status, 1);
  EXPECT_EQ(moved.err, "vorna-plot: " + directory.file("wave.lst") +
                           ": cannot open: No such file or directory (the listing that run.json "
                           "names)\n");

  write_file(directory.file("two.json"), json.out + json.out);
  const RunResult two = run_plot(directory.path(), {"--run=two.json"});
  EXPECT_EQ(two.status, 1);
  EXPECT_EQ(two.err,
            "vorna-plot: two.json:2:1: not a vorna --json summary (a second run: give the "
            "summary of one run)\n");
}

// Every example of --help runs as it stands, in a folder holding the
// wave example, with vorna and vorna-plot on the PATH.
TEST(PlotFollowsRun, HelpExamplesRunAsWritten) {
  TempDir directory;
  write_file(directory.file("wave.txt"), read_file(kSourceDir + "/examples/wave.txt"));
  const RunResult help = run_plot(directory.path(), {"--help"});
  const std::size_t examples = help.out.find("Examples:\n");
  ASSERT_NE(examples, std::string::npos);
  std::string commands = "set -e\n";
  std::vector<std::string> pictures;
  for (std::size_t at = examples + 10; at < help.out.size();) {
    const std::size_t end = help.out.find('\n', at);
    const std::string line = help.out.substr(at, end - at);
    at = end + 1;
    if (line.rfind("  ", 0) != 0) break;
    commands += line.substr(2) + "\n";
    const std::size_t svg = line.find(".svg");
    if (svg != std::string::npos) {
      const std::size_t start = line.find_last_of(" =", svg) + 1;
      pictures.push_back(line.substr(start, svg + 4 - start));
    }
  }
  const std::string programs =
      std::string(VORNA_PLOT_BINARY).substr(0, std::string(VORNA_PLOT_BINARY).find_last_of('/'));
  const ShellResult run = run_shell(directory.path(), commands, programs);
  EXPECT_EQ(run.status, 0) << commands << run.output;
  ASSERT_GE(pictures.size(), 3u) << commands;
  for (const std::string& picture : pictures) {
    const std::string svg = read_file(directory.file(picture));
    EXPECT_EQ(svg.substr(svg.size() < 7 ? 0 : svg.size() - 7), "</svg>\n") << picture;
  }
}

}  // namespace
}  // namespace vorna_test
