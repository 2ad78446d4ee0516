// Inputs vorna-plot can trust: a print file and a listing of two runs are
// refused, a header the listing contradicts is said in a note, and the
// output never destroys an input, an existing file or a log.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "plot/run_command.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

const std::string kSourceDir = VORNA_SOURCE_DIR;

void run_vorna_on(const TempDir& directory, const std::string& series) {
  write_file(directory.file("series.txt"), series);
  const RunResult run = run_vorna(directory.path(), "out.prt\nseries.txt\n\n\n");
  ASSERT_EQ(run.status, 0) << run.err;
}

std::string wave_series() { return read_file(kSourceDir + "/examples/wave.txt"); }

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t begin = 0;
  for (std::size_t end; (end = text.find("\r\n", begin)) != std::string::npos; begin = end + 2) {
    lines.push_back(text.substr(begin, end - begin));
  }
  return lines;
}

std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  const std::size_t last = text.find_last_not_of(' ');
  return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// The wave with every value raised by one: a run of the same length whose
// extrema have other values.
std::string raised_wave() {
  std::string raised;
  const std::string wave = wave_series();
  std::size_t begin = 0;
  for (std::size_t end; (end = wave.find('\n', begin)) != std::string::npos; begin = end + 1) {
    const std::string line = wave.substr(begin, end - begin);
    double time = 0, value = 0;
    if (line.empty() || line[0] == '#' ||
        std::sscanf(line.c_str(), "%lf,%lf", &time, &value) != 2) {
      raised += line + "\n";
      continue;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.17g %.17g\n", time, value + 1.0);
    raised += text;
  }
  return raised;
}

TEST(PlotInputs, FilesOfTwoRunsAreRefusedAtTheFirstExtremumThatDiffers) {
  TempDir directory;
  run_vorna_on(directory, wave_series());
  ASSERT_EQ(rename(directory.file("fort.36").c_str(), directory.file("first.36").c_str()), 0);
  run_vorna_on(directory, raised_wave());
  // The first extremum of the table (line 10) and the first run's sample
  // at its time.
  const std::vector<std::string> table = lines_of(read_file(directory.file("out.prt")));
  ASSERT_GT(table.size(), 10u);
  const std::string time = trimmed(table[9].substr(0, 12));
  const std::string value = trimmed(table[9].substr(12, 12));
  const std::vector<std::string> listing = lines_of(read_file(directory.file("first.36")));
  std::size_t line = 0;
  while (line < listing.size() && trimmed(listing[line].substr(0, 15)) != time) ++line;
  ASSERT_LT(line, listing.size());
  const RunResult plot = run_plot(directory.path(), {"out.prt", "first.36", "-o", "out.svg"});
  EXPECT_EQ(plot.status, 1);
  EXPECT_EQ(plot.err, "vorna-plot: out.prt:10: the extremum at time " + time + " is " + value +
                          ", but first.36:" + std::to_string(line + 1) + " has " +
                          trimmed(listing[line].substr(15)) +
                          " at that time: not the files of one run\n");
  EXPECT_FALSE(file_exists(directory.file("out.svg")));
}

TEST(PlotInputs, AnExtremumWithoutItsSampleIsRefused) {
  TempDir directory;
  run_vorna_on(directory, wave_series());
  // The time of the table's last extremum moved where no sample is.
  std::string print = read_file(directory.file("out.prt"));
  const std::vector<std::string> table = lines_of(print);
  const std::string last = table.back();
  const std::string moved = "     999.000" + last.substr(12);
  print.replace(print.rfind(last), last.size(), moved);
  write_file(directory.file("out.prt"), print);
  const RunResult plot = run_plot(directory.path(), {"out.prt", "-o", "out.svg"});
  EXPECT_EQ(plot.status, 1);
  EXPECT_EQ(plot.err, "vorna-plot: out.prt:" + std::to_string(table.size()) +
                          ": no sample of fort.36 at the extremum's time 999.000: not the files "
                          "of one run (no LISTING given, and no out.lst beside out.prt: took "
                          "fort.36)\n");
}

TEST(PlotInputs, UnevenSamplingIsDrawnAsTheListingSaysWithANote) {
  TempDir directory;
  run_vorna_on(directory, "0 1\n1 3\n2 2\n3 5\n10 1\n");
  const RunResult plot = run_plot(directory.path(), {"out.prt", "-o", "out.svg"});
  ASSERT_EQ(plot.status, 0) << plot.err;
  const std::string svg = read_file(directory.file("out.svg"));
  EXPECT_NE(svg.find(">The print file&#39;s Last Time 10.000 is not the listing&#39;s last time "
                     "4.000 (uneven sampling?): drawn as the listing says.</text>"),
            std::string::npos);
  // The axis ends at the listing's last time.
  EXPECT_NE(svg.find("text-anchor=\"middle\">4.0</text>"), std::string::npos);
}

// The output named as an input, by any name, is refused before anything
// is written; the input keeps its bytes.
TEST(PlotInputs, OutputThatIsAnInputIsRefused) {
  TempDir directory;
  run_vorna_on(directory, wave_series());
  ASSERT_EQ(link(directory.file("fort.36").c_str(), directory.file("hard.36").c_str()), 0);
  ASSERT_EQ(symlink("out.prt", directory.file("soft.prt").c_str()), 0);
  const std::string print = read_file(directory.file("out.prt"));
  const std::string listing = read_file(directory.file("fort.36"));
  const struct {
    std::vector<std::string> arguments;
    const char* error;
  } cases[] = {
      {{"out.prt", "-o", "out.prt"},
       "vorna-plot: out.prt: is the input file out.prt; name another output\n"},
      {{"out.prt", "-o", "./out.prt"},
       "vorna-plot: ./out.prt: is the input file out.prt; name another output\n"},
      {{"out.prt", "-o", "soft.prt"},
       "vorna-plot: soft.prt: is the input file out.prt; name another output\n"},
      {{"out.prt", "--output=hard.36"},
       "vorna-plot: hard.36: is the input file fort.36; name another output\n"},
  };
  for (const auto& c : cases) {
    const RunResult plot = run_plot(directory.path(), c.arguments);
    EXPECT_EQ(plot.status, 1) << c.arguments[2];
    EXPECT_EQ(plot.err, c.error);
    EXPECT_EQ(read_file(directory.file("out.prt")), print);
    EXPECT_EQ(read_file(directory.file("fort.36")), listing);
  }
}

std::string shell_quoted(const std::string& text) { return "'" + text + "'"; }

TEST(PlotInputs, AFailedWriteLeavesTheOldFileAndNoHalfPicture) {
  TempDir directory;
  run_vorna_on(directory, wave_series());
  // A picture larger than the file size limit: the write fails part way.
  write_file(directory.file("old.svg"), "the old picture\n");
  const RunResult plot = run_command(
      directory.path(),
      {"/bin/sh", "-c",
       "ulimit -f 4 && " + shell_quoted(VORNA_PLOT_BINARY) + " out.prt -o old.svg 2>&1"});
  EXPECT_EQ(plot.status, 1);
  EXPECT_EQ(plot.out, "vorna-plot: old.svg: cannot write: File too large\n");
  EXPECT_EQ(read_file(directory.file("old.svg")), "the old picture\n");
  // Nothing but the files of the run and the old picture is left.
  const RunResult listing = run_command(directory.path(), {"/bin/ls", "-A"});
  EXPECT_EQ(listing.out, "fort.36\nold.svg\nout.prt\nseries.txt\n");
}

TEST(PlotInputs, AReplacedFileKeepsItsModeAndANewOneFollowsTheUmask) {
  TempDir directory;
  run_vorna_on(directory, wave_series());
  write_file(directory.file("kept.svg"), "old\n");
  ASSERT_EQ(chmod(directory.file("kept.svg").c_str(), 0640), 0);
  ASSERT_EQ(run_plot(directory.path(), {"out.prt", "-o", "kept.svg"}).status, 0);
  const RunResult fresh = run_command(
      directory.path(),
      {"/bin/sh", "-c", "umask 027 && " + shell_quoted(VORNA_PLOT_BINARY) + " out.prt -o new.svg"});
  ASSERT_EQ(fresh.status, 0) << fresh.err;
  struct stat kept, made;
  ASSERT_EQ(stat(directory.file("kept.svg").c_str(), &kept), 0);
  ASSERT_EQ(stat(directory.file("new.svg").c_str(), &made), 0);
  EXPECT_EQ(kept.st_mode & 0777, 0640u);
  EXPECT_EQ(made.st_mode & 0777, 0640u);
  EXPECT_NE(read_file(directory.file("kept.svg")), "old\n");
}

// Standard output is written through, never cut: a log it appends to
// keeps its lines.
TEST(PlotInputs, StandardOutputByNameAppendsToALog) {
  TempDir directory;
  run_vorna_on(directory, wave_series());
  write_file(directory.file("log.txt"), "first line\n");
  const RunResult plot = run_command(
      directory.path(),
      {"/bin/sh", "-c", shell_quoted(VORNA_PLOT_BINARY) + " out.prt -o /dev/stdout >> log.txt"});
  ASSERT_EQ(plot.status, 0) << plot.err;
  const std::string log = read_file(directory.file("log.txt"));
  EXPECT_EQ(log.substr(0, 11), "first line\n");
  EXPECT_EQ(log.substr(11, 5), "<?xml");
  EXPECT_EQ(log.substr(log.size() - 7), "</svg>\n");
}

TEST(PlotInputs, EveryWriteIsChecked) {
  TempDir directory;
  for (const char* option : {"--version", "--help"}) {
    const RunResult run = run_command(
        directory.path(),
        {"/bin/sh", "-c", shell_quoted(VORNA_PLOT_BINARY) + " " + option + " > /dev/full"});
    EXPECT_EQ(run.status, 1) << option;
    EXPECT_EQ(run.err, "vorna-plot: standard output: cannot write: No space left on device\n")
        << option;
  }
}

}  // namespace
}  // namespace vorna_test
