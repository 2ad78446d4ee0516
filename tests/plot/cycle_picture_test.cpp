// vorna-plot --cycles: the range exceedance of a cycle file that vorna
// wrote, its steps on the logarithmic count scale, a file without cycles,
// and files that are no cycle file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "plot/run_command.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

// The standard example load history: ranges 9 (0.5), 8 (1.0), 6 (0.5),
// 4 (1.5) and 3 (0.5), so at least 0.5, 1.5, 2, 3.5 and 4 cycles.
const std::string kHistory = "0 0\n1 -2\n2 1\n3 -3\n4 5\n5 -1\n6 3\n7 -4\n8 4\n9 -2\n10 0\n";

// Runs vorna --cycles on the series as r.txt, then vorna-plot on r.cyc.
RunResult plot_cycles_of(const TempDir& dir, const std::string& series,
                         std::vector<std::string> plot_arguments = {}) {
  write_file(dir.file("r.txt"), series);
  RunOptions options;
  options.arguments = {"-q", "--cycles", "r.txt"};
  EXPECT_EQ(run_vorna_with(dir.path(), "", options).status, 0);
  plot_arguments.insert(plot_arguments.begin(), {"--cycles=r.cyc", "-o", "r.svg"});
  return run_plot(dir.path(), plot_arguments);
}

// The numbers after each letter of a path's data.
std::vector<double> coordinates_after(const std::string& path, char letter) {
  std::vector<double> values;
  for (std::size_t at = path.find(letter); at != std::string::npos;
       at = path.find(letter, at + 1)) {
    values.push_back(std::strtod(path.c_str() + at + 1, nullptr));
  }
  return values;
}

TEST(CyclePicture, StepsUpAtEachRangeOnALogarithmicScale) {
  TempDir dir;
  const RunResult plot = plot_cycles_of(dir, kHistory);
  ASSERT_EQ(plot.status, 0) << plot.err;
  const std::string svg = read_file(dir.file("r.svg"));
  EXPECT_NE(svg.find("<title>r.cyc: 1 full and 6 half cycles of r.txt</title>"), std::string::npos);
  const std::vector<std::string> curve = elements_of(svg, "<path id=\"exceedance\"");
  ASSERT_EQ(curve.size(), 1u);
  const std::string d = attribute_of(curve[0], "d");
  // From the largest range leftwards: up to each count, across to the next
  // range, and across to range 0 after the last.
  const std::vector<double> ups = coordinates_after(d, 'V');
  const std::vector<double> acrosses = coordinates_after(d, 'H');
  ASSERT_EQ(ups.size(), 5u) << d;
  ASSERT_EQ(acrosses.size(), 5u) << d;
  const double counts[] = {0.5, 1.5, 2, 3.5, 4};
  for (std::size_t i = 1; i < 5; ++i) {
    EXPECT_NEAR((ups[0] - ups[i]) / (ups[0] - ups[4]),
                std::log(counts[i] / counts[0]) / std::log(counts[4] / counts[0]), 0.01)
        << d;
  }
  // Ranges 8, 6, 4 and 3 stand at their place between range 0 and range 9.
  const double ranges[] = {8, 6, 4, 3, 0};
  const double start = std::strtod(d.c_str() + 1, nullptr);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_NEAR((acrosses[i] - acrosses[4]) / (start - acrosses[4]), ranges[i] / 9, 0.01) << d;
  }
}

TEST(CyclePicture, AFileWithoutCyclesIsDrawnWithANote) {
  TempDir dir;
  const RunResult plot = plot_cycles_of(dir, "0 1\n1 1\n2 1\n", {"--width=300", "--height=300"});
  ASSERT_EQ(plot.status, 0) << plot.err;
  const std::string svg = read_file(dir.file("r.svg"));
  EXPECT_NE(svg.find("No cycles to draw."), std::string::npos);
  EXPECT_EQ(svg.find("id=\"exceedance\""), std::string::npos);
}

TEST(CyclePicture, WhatIsNoCycleFileIsRefusedWithOneLine) {
  TempDir dir;
  ASSERT_EQ(plot_cycles_of(dir, kHistory).status, 0);
  const std::string cycles = read_file(dir.file("r.cyc"));
  write_file(dir.file("cut.cyc"), cycles.substr(0, cycles.size() - 62));
  write_file(dir.file("extra.cyc"), cycles + cycles.substr(cycles.size() - 62));
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {{"--cycles=r.prt"},
       1,
       "vorna-plot: r.prt:1: not a VORNA cycle file (expected the series' name)\n"},
      {{"--cycles=cut.cyc"}, 1, "vorna-plot: cut.cyc: 6 cycle lines, but its header counts 7\n"},
      {{"--cycles=extra.cyc"},
       1,
       "vorna-plot: extra.cyc:16: not a VORNA cycle file (more cycles than its header counts)\n"},
      {{"--cycles=r.cyc", "-o", "r.cyc"},
       1,
       "vorna-plot: r.cyc: is the input file r.cyc; name another output\n"},
      {{"--cycles=r.cyc", "r.prt"},
       2,
       "vorna-plot: extra operand 'r.prt': --cycles draws its file alone\n"
       "Try 'vorna-plot --help' for more information.\n"},
  };
  for (const Case& test : cases) {
    const RunResult plot = run_plot(dir.path(), test.arguments);
    EXPECT_EQ(plot.status, test.status) << test.arguments[0];
    EXPECT_EQ(plot.err, test.err);
  }
  EXPECT_EQ(read_file(dir.file("r.cyc")), cycles);
}

}  // namespace
}  // namespace vorna_test
