// vorna-plot end to end: vorna writes the files from a series, vorna-plot
// draws them; the pictures are checked as XML (xmllint) and rendered by a
// real SVG renderer (rsvg-convert); every failure is one line and a status.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "plot/run_command.h"
#include "support/run_shell.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

const std::string kSourceDir = VORNA_SOURCE_DIR;
const char kAnswers[] = "out.prt\nseries.txt\n\n\n";

// Runs vorna on the series in directory: out.prt and fort.36 (or the
// FORT36 of environment) are left there.
void run_vorna_on(const TempDir& directory, const std::string& series,
                  const Environment& environment = {}) {
  write_file(directory.file("series.txt"), series);
  const RunResult run = run_vorna(directory.path(), kAnswers, environment);
  ASSERT_EQ(run.status, 0) << run.err;
}

std::string wave_series() { return read_file(kSourceDir + "/examples/wave.txt"); }

std::size_t count_of(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// The width and height in a PNG's header; false when it is not a PNG.
bool png_size(const std::string& png, std::uint32_t& width, std::uint32_t& height) {
  if (png.size() < 24 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
      png.compare(12, 4, "IHDR") != 0) {
    return false;
  }
  auto big_endian = [&](std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
      value = value << 8 | static_cast<unsigned char>(png[at + i]);
    return value;
  };
  width = big_endian(16);
  height = big_endian(20);
  return true;
}

// Checks the picture with xmllint when it is there; false when it is not.
bool check_well_formed(const TempDir& directory, const std::string& svg_name) {
  const std::string xmllint = find_on_path("xmllint");
  if (xmllint.empty()) return false;
  const RunResult lint = run_command(directory.path(), {xmllint, "--noout", svg_name});
  EXPECT_EQ(lint.status, 0) << svg_name << ":\n" << lint.err;
  return true;
}

class WaveExample : public testing::Test {
 protected:
  void SetUp() override {
    run_vorna_on(directory_, wave_series());
    const RunResult plot = run_plot(directory_.path(), {"out.prt", "fort.36", "-o", "out.svg"});
    ASSERT_EQ(plot.status, 0) << plot.err;
    EXPECT_EQ(plot.out, "");
    EXPECT_EQ(plot.err, "");
    svg_ = read_file(directory_.file("out.svg"));
  }
  TempDir directory_;
  std::string svg_;
};

TEST_F(WaveExample, ShowsTheSeriesItsExtremaAndTheMaximumHeight) {
  EXPECT_EQ(svg_.compare(0, 38, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"), 0);
  EXPECT_NE(svg_.find("viewBox=\"0 0 1200 500\""), std::string::npos);
  EXPECT_EQ(count_of(svg_, "<title>"), 1u);
  EXPECT_EQ(count_of(svg_, "<desc>"), 1u);
  // The title from the header block: the date stamp, steps, first and last
  // time, as the print file has them.
  EXPECT_NE(svg_.find("<title>out.prt: 300 steps, time 0.000 to 29.900</title>"),
            std::string::npos);
  EXPECT_NE(without_date_stamps(svg_).find(">Date : (stamp)</text>"), std::string::npos);
  // The label in the legend and at the measure, in plain decimals.
  EXPECT_EQ(count_of(svg_, "max height 2.535 at 24.700"), 2u);
  EXPECT_NE(svg_.find("extrema, 19"), std::string::npos);
  const std::size_t extrema = svg_.find("<g id=\"extrema\"");
  ASSERT_NE(extrema, std::string::npos);
  EXPECT_EQ(count_of(svg_.substr(extrema, svg_.find("</g>", extrema) - extrema), "<circle"), 19u);
  // 300 samples over more columns: every one is a point of the line.
  const std::size_t series = svg_.find("<path class=\"series\"");
  ASSERT_NE(series, std::string::npos);
  const std::string path = svg_.substr(series, svg_.find("/>", series) - series);
  EXPECT_EQ(count_of(path, "M"), 1u);
  EXPECT_EQ(count_of(path, "L"), 299u);
  EXPECT_EQ(svg_.find("id=\"notes\""), std::string::npos);
}

// The longest name a folder allows is an output like any other.
TEST_F(WaveExample, WritesToAnOutputWithTheLongestNameAFolderAllows) {
  const std::string name = std::string(251, 'p') + ".svg";
  const RunResult plot = run_plot(directory_.path(), {"out.prt", "-o", name});
  ASSERT_EQ(plot.status, 0) << plot.err;
  EXPECT_EQ(read_file(directory_.file(name)), read_file(directory_.file("out.svg")));
}

// A run of vorna --hysteresis: its extrema are reversals, and the picture
// says by which band.
TEST_F(WaveExample, NamesTheBandOfARunWithHysteresis) {
  // The band is read as vorna reads it, and named in its shortest form.
  const RunResult plot = run_plot(directory_.path(), {"out.prt", "--hysteresis=+2.5D-1"});
  ASSERT_EQ(plot.status, 0) << plot.err;
  EXPECT_NE(plot.out.find("reversals, 19"), std::string::npos);
  EXPECT_EQ(plot.out.find("extrema, 19"), std::string::npos);
  EXPECT_NE(plot.out.find("Extrema: the reversals that the series moves back from by at least "
                          "0.25 (vorna --hysteresis)."),
            std::string::npos);
}

TEST_F(WaveExample, IsWellFormedXml) {
  if (!check_well_formed(directory_, "out.svg")) {
    GTEST_SKIP() << "xmllint is not installed (Debian package libxml2-utils)";
  }
}

TEST_F(WaveExample, RendersToAPictureThatIsNotBlank) {
  const std::string rsvg = find_on_path("rsvg-convert");
  if (rsvg.empty()) GTEST_SKIP() << "rsvg-convert is not installed (Debian package librsvg2-bin)";
  const RunResult render = run_command(directory_.path(), {rsvg, "out.svg", "-o", "out.png"});
  ASSERT_EQ(render.status, 0) << render.err;
  std::uint32_t width = 0, height = 0;
  const std::string png = read_file(directory_.file("out.png"));
  ASSERT_TRUE(png_size(png, width, height));
  EXPECT_EQ(width, 1200u);
  EXPECT_EQ(height, 500u);

  // A blank page of the same size packs into a few kilobytes.
  write_file(directory_.file("blank.svg"),
             "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1200\" height=\"500\">"
             "<rect width=\"100%\" height=\"100%\" fill=\"white\"/></svg>");
  ASSERT_EQ(run_command(directory_.path(), {rsvg, "blank.svg", "-o", "blank.png"}).status, 0);
  EXPECT_GT(png.size(), 5 * read_file(directory_.file("blank.png")).size());

  // Drawn alone, the line and the extrema cover nearly the whole plot
  // area of 1074 x 331 pixels.
  struct Part {
    const char* id;
    std::uint32_t min_width, max_width, min_height, max_height;
  };
  for (const Part& part :
       {Part{"series", 1050, 1100, 290, 340}, Part{"extrema", 1000, 1100, 290, 340}}) {
    const std::string name = std::string(part.id) + ".png";
    const RunResult alone =
        run_command(directory_.path(), {rsvg, "-i", part.id, "out.svg", "-o", name});
    ASSERT_EQ(alone.status, 0) << part.id << ": " << alone.err;
    ASSERT_TRUE(png_size(read_file(directory_.file(name)), width, height)) << part.id;
    EXPECT_GE(width, part.min_width) << part.id;
    EXPECT_LE(width, part.max_width) << part.id;
    EXPECT_GE(height, part.min_height) << part.id;
    EXPECT_LE(height, part.max_height) << part.id;
  }
}

// The red pair sits at the times 22.700 and 24.700 of the table (the plot
// maps 0 to 29.9 onto x 80.8 to 1155.3), and the measure runs between their
// values just right of the later one.
TEST_F(WaveExample, MeasureJoinsThePairOfMaximumHeight) {
  const std::vector<std::string> pair = elements_of(svg_, "<circle r=\"5.6\"");
  const std::vector<std::string> measure = elements_of(svg_, "<line id=\"measure\"");
  ASSERT_EQ(pair.size(), 2u);
  ASSERT_EQ(measure.size(), 1u);
  EXPECT_EQ(attribute_of(pair[0], "cx"), "896.5");  // 80.8 + 1074.5 * 22.7 / 29.9
  EXPECT_EQ(attribute_of(pair[1], "cx"), "968.4");  // 80.8 + 1074.5 * 24.7 / 29.9
  const std::string x = attribute_of(measure[0], "x1");
  EXPECT_EQ(attribute_of(measure[0], "x2"), x);
  EXPECT_GT(std::stod(x), 968.4);
  EXPECT_LE(std::stod(x), 968.4 + 15);
  EXPECT_EQ(attribute_of(measure[0], "y1"), attribute_of(pair[0], "cy"));
  EXPECT_EQ(attribute_of(measure[0], "y2"), attribute_of(pair[1], "cy"));
  // From 1.1490 up to -1.3864: the later value is lower.
  EXPECT_GT(std::stod(attribute_of(pair[1], "cy")), std::stod(attribute_of(pair[0], "cy")));
}

// An output through a symbolic link writes the file it leads to, also when
// that file does not exist yet, and the link stays; a loop of links is
// refused and stays as it was.
TEST_F(WaveExample, WritesThroughALinkAndRefusesALoop) {
  ASSERT_EQ(mkdir(directory_.file("pictures").c_str(), 0755), 0);
  ASSERT_EQ(symlink("pictures/wave.svg", directory_.file("dangling.svg").c_str()), 0);
  ASSERT_EQ(symlink("loop.svg", directory_.file("loop.svg").c_str()), 0);
  const RunResult through = run_plot(directory_.path(), {"out.prt", "-o", "dangling.svg"});
  ASSERT_EQ(through.status, 0) << through.err;
  EXPECT_EQ(read_file(directory_.file("pictures/wave.svg")), svg_);
  const RunResult loop = run_plot(directory_.path(), {"out.prt", "-o", "loop.svg"});
  EXPECT_EQ(loop.status, 1);
  EXPECT_EQ(loop.err, "vorna-plot: loop.svg: cannot create: Too many levels of symbolic links\n");
  for (const char* link : {"dangling.svg", "loop.svg"}) {
    struct stat info;
    ASSERT_EQ(lstat(directory_.file(link).c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode)) << link;
  }
}

// A LISTING of "-" is standard input, where vorna -l - writes it.
TEST_F(WaveExample, ReadsTheListingFromStandardInput) {
  const ShellResult piped = run_shell(
      directory_.path(), shell_quoted(VORNA_PLOT_BINARY) + " out.prt - -o piped.svg < fort.36");
  ASSERT_EQ(piped.status, 0) << piped.output;
  std::string svg = read_file(directory_.file("piped.svg"));
  const std::size_t name = svg.find("listing /dev/stdin:");
  ASSERT_NE(name, std::string::npos);
  EXPECT_EQ(svg.replace(name, 19, "listing fort.36:"), svg_);
}

// The record's highest sample, 2.5759 at 19.6, and its lowest, -2.6985 at
// 8.4, ringed and labelled from the listing.
TEST_F(WaveExample, RingsTheRecordsHighestAndLowestSample) {
  const std::size_t group = svg_.find("<g id=\"global-extremes\"");
  ASSERT_NE(group, std::string::npos);
  const std::string marks = svg_.substr(group, svg_.find("</g>\n</g>", group) - group);
  const std::vector<std::string> rings = elements_of(marks, "<circle");
  ASSERT_EQ(rings.size(), 2u);
  EXPECT_EQ(attribute_of(rings[0], "cx"), "785.1");  // 80.8 + 1074.5 * 19.6 / 29.9, rounded down
  EXPECT_EQ(attribute_of(rings[1], "cx"), "382.7");  // 80.8 + 1074.5 * 8.4 / 29.9
  EXPECT_LT(std::stod(attribute_of(rings[0], "cy")), std::stod(attribute_of(rings[1], "cy")));
  EXPECT_NE(marks.find(">max</text>"), std::string::npos);
  EXPECT_NE(marks.find(">min</text>"), std::string::npos);
}

TEST(PlotProgram, ListingFromFort36InAnyCaseToStandardOutput) {
  TempDir directory;
  run_vorna_on(directory, wave_series(), {{"FORT36", " wave.lst "}});
  ASSERT_TRUE(file_exists(directory.file("wave.lst")));
  const RunResult plot = run_plot(directory.path(), {"out.prt"}, {{"fort36", "  wave.lst"}});
  ASSERT_EQ(plot.status, 0) << plot.err;
  EXPECT_NE(plot.out.find("max height 2.535 at 24.700"), std::string::npos);
  EXPECT_NE(plot.out.find("its listing wave.lst:"), std::string::npos);
  EXPECT_EQ(plot.out.substr(plot.out.size() - 7), "</svg>\n");
}

const char kExpectedHelp[] =
    "Usage: vorna-plot [OPTION]... PRINTFILE [LISTING]\n"
    "  or:  vorna-plot [OPTION]... --run=SUMMARY [PRINTFILE [LISTING]]\n"
    "Draw the series of a VORNA run, its extrema and its maximum height as an\n"
    "SVG picture.\n"
    "\n"
    "PRINTFILE is the print file of the run, LISTING its listing file. Without\n"
    "LISTING: BASE.lst beside a PRINTFILE BASE.prt, as vorna SERIES writes them,\n"
    "when the environment variable FORT36 is unset and that file is there; else\n"
    "the file FORT36 names, else fort.36, as the dialogue writes it. Both files\n"
    "must come from one run: the picture is refused otherwise.\n"
    "\n"
    "  -o, --output=FILE      write the picture to FILE (default: standard output)\n"
    "      --run=SUMMARY      the run's JSON summary (vorna --json ... > SUMMARY):\n"
    "                         its print and listing files when no PRINTFILE is\n"
    "                         given, its band, its series in the default title\n"
    "                         and its column in the default value label\n"
    "      --width=PIXELS     picture width, 300 to 10000 (default 1200)\n"
    "      --height=PIXELS    picture height, 300 to 10000 (default 500)\n"
    "      --title=TEXT       title above the plot (default: the series' name,\n"
    "                         or the print file's, then steps and times)\n"
    "      --xlabel=TEXT      label of the horizontal axis (default: Time)\n"
    "      --ylabel=TEXT      label of the vertical axis (default: Value)\n"
    "      --no-detail        no detail panel of the maximum height\n"
    "      --hysteresis=BAND  the run used vorna --hysteresis=BAND: say so, and\n"
    "                         call its extrema reversals (--run tells it too)\n"
    "      --cycles=FILE      draw the cycle file of vorna --cycles instead: the\n"
    "                         cycles with at least each range (no PRINTFILE)\n"
    "  -h, --help             display this help and exit\n"
    "  -V, --version          output version information and exit\n"
    "\n"
    "When the plot has fewer pixel columns than the series has samples, a detail\n"
    "panel below it shows every sample around the pair of maximum height, if\n"
    "they are fewer than half the series.\n"
    "\n"
    "Exit status: 0 when the picture is written, 1 when a file cannot be read\n"
    "or written or is not one that vorna writes, 2 for a wrong command line.\n"
    "\n"
    "Examples:\n"
    "  vorna wave.txt && vorna-plot wave.prt -o wave.svg\n"
    "  vorna --json --hysteresis=0.5 wave.txt > run.json\n"
    "  vorna-plot --run=run.json -o run.svg\n"
    "  vorna-plot --title='Run 7' --ylabel='Level (m)' wave.prt wave.lst > run7.svg\n";

TEST(PlotProgram, HelpAndVersion) {
  TempDir directory;
  for (const char* option : {"--version", "-V"}) {
    const RunResult version = run_plot(directory.path(), {option});
    EXPECT_EQ(version.status, 0) << option;
    EXPECT_EQ(version.out, "vorna-plot 1.0\n") << option;
  }
  for (const char* option : {"--help", "-h"}) {
    const RunResult help = run_plot(directory.path(), {option});
    EXPECT_EQ(help.status, 0) << option;
    EXPECT_EQ(help.out, kExpectedHelp) << option;
    EXPECT_EQ(help.err, "") << option;
  }
}

// How a failing case is set up in a directory holding the wave example's
// out.prt and fort.36.
struct FailureCase {
  const char* name;
  std::vector<std::string> arguments;
  void (*prepare)(const TempDir&);
  int status;
  const char* error;
};

std::string lines_without(const std::string& text, int from_line, int count) {
  std::size_t begin = 0;
  for (int i = 1; i < from_line; ++i) begin = text.find('\n', begin) + 1;
  std::size_t end = begin;
  for (int i = 0; i < count; ++i) end = text.find('\n', end) + 1;
  return text.substr(0, begin) + text.substr(end);
}

std::string with_line_replaced(const std::string& text, int line, const std::string& bytes) {
  std::size_t begin = 0;
  for (int i = 1; i < line; ++i) begin = text.find('\n', begin) + 1;
  const std::size_t end = text.find('\n', begin) + 1;
  return text.substr(0, begin) + bytes + text.substr(end);
}

void nothing(const TempDir&) {}

TEST(PlotProgram, FailuresAreOneLineAndAStatus) {
  const FailureCase cases[] = {
      {"no operand",
       {},
       nothing,
       2,
       "vorna-plot: missing PRINTFILE operand\n"
       "Try 'vorna-plot --help' for more information.\n"},
      {"bad width",
       {"--width=20", "out.prt"},
       nothing,
       2,
       "vorna-plot: invalid width '20': give a whole number of pixels from 300 to 10000\n"
       "Try 'vorna-plot --help' for more information.\n"},
      {"missing print file",
       {"none.prt", "-o", "out.svg"},
       nothing,
       1,
       "vorna-plot: none.prt: cannot open: No such file or directory\n"},
      {"directory as print file",
       {"sub", "-o", "out.svg"},
       [](const TempDir& d) { ASSERT_EQ(mkdir(d.file("sub").c_str(), 0755), 0); },
       1,
       "vorna-plot: sub: cannot read: Is a directory\n"},
      {"series as print file",
       {"series.txt", "-o", "out.svg"},
       nothing,
       1,
       "vorna-plot: series.txt:2: not a VORNA print file (expected the \"Time Series steps\" "
       "line)\n"},
      {"listing as print file",
       {"fort.36", "-o", "out.svg"},
       nothing,
       1,
       "vorna-plot: fort.36:1: not a VORNA print file (expected \"#\" and the date stamp)\n"},
      {"empty print file",
       {"empty.prt", "-o", "out.svg"},
       [](const TempDir& d) { write_file(d.file("empty.prt"), ""); },
       1,
       "vorna-plot: empty.prt:1: not a VORNA print file (the file is empty)\n"},
      {"header cut short",
       {"out.prt", "-o", "out.svg"},
       [](const TempDir& d) {
         write_file(d.file("out.prt"), lines_without(read_file(d.file("out.prt")), 6, 100));
       },
       1,
       "vorna-plot: out.prt:6: not a VORNA print file (expected the \"Simulation Length\" "
       "line)\n"},
      {"header end missing",
       {"out.prt", "-o", "out.svg"},
       [](const TempDir& d) {
         write_file(d.file("out.prt"), lines_without(read_file(d.file("out.prt")), 9, 1));
       },
       1,
       "vorna-plot: out.prt:9: not a VORNA print file (expected \"#\" and blanks ending the "
       "header)\n"},
      {"bad extremum line",
       {"out.prt", "-o", "out.svg"},
       [](const TempDir& d) {
         write_file(d.file("out.prt"), with_line_replaced(read_file(d.file("out.prt")), 12,
                                                          "       3.300  7.5156E-01\r\n"));
       },
       1,
       "vorna-plot: out.prt:12: not a VORNA print file (expected an extremum line: time, value "
       "and height in 36 columns)\n"},
      {"missing listing",
       {"out.prt", "none.36", "-o", "out.svg"},
       nothing,
       1,
       "vorna-plot: none.36: cannot open: No such file or directory\n"},
      {"listing a line short",
       {"out.prt", "-o", "out.svg"},
       [](const TempDir& d) {
         write_file(d.file("fort.36"), lines_without(read_file(d.file("fort.36")), 300, 1));
       },
       1,
       "vorna-plot: fort.36: 299 lines, but out.prt has 300 Time Series steps (no LISTING "
       "given, and no out.lst beside out.prt: took fort.36)\n"},
      {"listing a line long",
       {"out.prt", "-o", "out.svg"},
       [](const TempDir& d) {
         write_file(d.file("fort.36"),
                    read_file(d.file("fort.36")) + "         30.000    1.00000E+00\r\n");
       },
       1,
       "vorna-plot: fort.36:301: more lines than the 300 Time Series steps of out.prt (no "
       "LISTING given, and no out.lst beside out.prt: took fort.36)\n"},
      {"bad listing line",
       {"out.prt", "fort.36", "-o", "out.svg"},
       [](const TempDir& d) {
         write_file(d.file("fort.36"),
                    with_line_replaced(read_file(d.file("fort.36")), 17, "1.6 2.1\r\n"));
       },
       1,
       "vorna-plot: fort.36:17: not a VORNA listing (expected a time and a value in 30 "
       "columns)\n"},
      {"output directory missing",
       {"out.prt", "-o", "none/out.svg"},
       nothing,
       1,
       "vorna-plot: none/out.svg: cannot create: No such file or directory\n"},
      {"output full",
       {"out.prt", "-o", "/dev/full"},
       nothing,
       1,
       "vorna-plot: /dev/full: cannot write: No space left on device\n"},
  };
  for (const FailureCase& c : cases) {
    TempDir directory;
    run_vorna_on(directory, wave_series());
    c.prepare(directory);
    const RunResult plot = run_plot(directory.path(), c.arguments);
    EXPECT_EQ(plot.status, c.status) << c.name;
    EXPECT_EQ(plot.err, c.error) << c.name;
    EXPECT_EQ(plot.out, "") << c.name;
    EXPECT_FALSE(file_exists(directory.file("out.svg"))) << c.name;
  }
}

struct EdgeCase {
  const char* name;
  std::string series;
  std::vector<std::string> expected;  // parts of the picture
};

TEST(PlotProgram, EdgeCasesAreDrawnAndSaySo) {
  std::string many_extrema;
  for (int k = 0; k < 400; ++k) {
    many_extrema += std::to_string(k) + (k % 2 == 0 ? " 0\n" : " 1\n");
  }
  many_extrema += "400 9\n401 0\n";
  const EdgeCase cases[] = {
      {"no samples", "# nothing\n", {"The series has no samples.", ">no samples</text>"}},
      {"one sample",
       "1.5 2.0\n",
       {"Fewer than two extrema: no height to mark.",
        "<g class=\"lone-samples\" fill=\"#1f5fa8\">\n<circle r=", "series, 1 sample<"}},
      {"two samples", "1.5 2.0\n2.5 3.0\n", {"Fewer than two extrema", "<path class=\"series\""}},
      {"constant", "0 4\n1 4\n2 4\n3 4\n", {"Fewer than two extrema", ">4.0</text>"}},
      {"time increment 0",
       "5 1\n5 3\n6 2\n7 5\n8 1\n",
       {"Time increment 0.000: samples drawn by their number; extrema not placed.",
        ">Sample number</text>"}},
      {"times too wide for the print file",
       "1e8 1\n1.5e8 3\n2e8 2\n2.5e8 5\n3e8 1\n",
       {"Left out: 3 extrema with a time or value that is not a number",
        "The pair of extrema of the maximum height cannot be placed.",
        "Some values of the print file&#39;s header are asterisks",
        "time ************ to ************", ">300000000</text>", ">250000000</text>"}},
      {"times too wide for the listing",
       "9.99999999998e10 1\n9.99999999999e10 3\n1e11 2\n1.00000000001e11 5\n1.00000000002e11 1\n",
       {"Left out: 3 samples with asterisks for the time in the listing"}},
      {"values near the largest doubles",
       "0 1.7e308\n1 -1.7e308\n2 1.6e308\n3 -1.5e308\n4 1.7e308\n",
       {">1.5E+308</text>",
        ">\xE2\x88\x92"
        "1.5E+308</text>",
        ">0</text>", "max height Infinity at 2.000"}},
      {"too many extrema",
       many_extrema,
       {"399 extrema: too many to mark at this width.", "max height 9.000 at 400.000",
        "id=\"max-height\""}},
  };
  for (const EdgeCase& c : cases) {
    TempDir directory;
    run_vorna_on(directory, c.series);
    const RunResult plot = run_plot(directory.path(), {"out.prt", "-o", "out.svg"});
    ASSERT_EQ(plot.status, 0) << c.name << ": " << plot.err;
    EXPECT_EQ(plot.err, "") << c.name;
    const std::string svg = read_file(directory.file("out.svg"));
    for (const std::string& part : c.expected) {
      EXPECT_NE(svg.find(part), std::string::npos) << c.name << ": no " << part;
    }
    check_well_formed(directory, "out.svg");
  }
}

TEST(PlotProgram, ValuesThatAreNotNumbersBreakTheLine) {
  TempDir directory;
  run_vorna_on(directory, wave_series());
  std::string listing = read_file(directory.file("fort.36"));
  listing = with_line_replaced(listing, 100, "          9.900 NaN           \r\n");
  listing = with_line_replaced(listing, 200, "         19.900 -Infinity     \r\n");
  write_file(directory.file("fort.36"), listing);
  const RunResult plot = run_plot(directory.path(), {"out.prt", "-o", "out.svg"});
  ASSERT_EQ(plot.status, 0) << plot.err;
  const std::string svg = read_file(directory.file("out.svg"));
  EXPECT_NE(svg.find("Left out: 2 samples with a value that is not a number"), std::string::npos);
  const std::size_t series = svg.find("<path class=\"series\"");
  const std::string path = svg.substr(series, svg.find("/>", series) - series);
  EXPECT_EQ(count_of(path, "M"), 3u);
  EXPECT_EQ(count_of(path, "L"), 295u);
}

}  // namespace
}  // namespace vorna_test
