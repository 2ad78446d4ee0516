// --cycles and --waves on real runs: the standard example load history in
// the cycle file and the JSON summary, the wave file, files that are
// another file of the run, records without cycles or waves, wrong values,
// and a noisy sea whose waves the crossing band finds again.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/run_vorna.h"

namespace vorna_test {
namespace {

// The standard example load history between two samples at 0.
const std::string kHistory = "0 0\n1 -2\n2 1\n3 -3\n4 5\n5 -1\n6 3\n7 -4\n8 4\n9 -2\n10 0\n";

RunResult run_in(const TempDir& dir, std::vector<std::string> arguments) {
  RunOptions options;
  options.arguments = std::move(arguments);
  return run_vorna_with(dir.path(), "", options);
}

std::string json_object(const std::string& json, const std::string& key) {
  const std::size_t at = json.find("\"" + key + "\":{");
  if (at == std::string::npos) return "(none)";
  return json.substr(at, json.find('}', at) + 1 - at);
}

TEST(CyclesAndWaves, StandardHistoryInTheCycleFileAndTheJson) {
  TempDir dir;
  write_file(dir.file("history.txt"), kHistory);
  const RunResult run = run_in(dir, {"--json", "--cycles", "--slope=3", "history.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  // Ranges 3 (0.5), 4 (1.5), 6 (0.5), 8 (1.0), 9 (0.5); the full 4 closes at
  // the -4 of time 7; the equivalent range is (1094 / 4)^(1/3).
  EXPECT_EQ(read_file(dir.file("history.cyc")),
            "# Series                : history.txt\r\n"
            "# Method                : rainflow, three-point; extrema only\r\n"
            "# Hysteresis band       :    0.000E+00\r\n"
            "# Full cycles           :            1\r\n"
            "# Half cycles           :            6\r\n"
            "# Largest range         :    9.000E+00\r\n"
            "# Time of largest range :        7.000\r\n"
            "# Slope                 :    3.000E+00\r\n"
            "# Equivalent range      :    6.491E+00\r\n"
            "#      Range        Mean       Count       Start       Close\r\n"
            "  3.0000E+00 -5.0000E-01         0.5       1.000       2.000\r\n"
            "  4.0000E+00 -1.0000E+00         0.5       2.000       3.000\r\n"
            "  4.0000E+00  1.0000E+00         1.0       5.000       7.000\r\n"
            "  8.0000E+00  1.0000E+00         0.5       3.000       4.000\r\n"
            "  9.0000E+00  5.0000E-01         0.5       4.000       7.000\r\n"
            "  8.0000E+00  0.0000E+00         0.5       7.000       8.000\r\n"
            "  6.0000E+00  1.0000E+00         0.5       8.000       9.000\r\n");
  const std::string prefix =
      "\"cycles\":{\"full\":1,\"half\":6,\"largest_range\":9,\"time_of_largest_range\":7,"
      "\"slope\":3,\"equivalent_range\":";
  const std::string cycles = json_object(run.out, "cycles");
  ASSERT_EQ(cycles.substr(0, prefix.size()), prefix);
  EXPECT_EQ(std::strtod(cycles.c_str() + prefix.size(), nullptr),
            std::pow((0.5 * 27 + 1.5 * 64 + 0.5 * 216 + 512 + 0.5 * 729) / 4.0, 1.0 / 3.0));
  // The ends of the record count as points with --cycle-ends: the first 0
  // starts a half 2 before the others, the last 0 ends the residue with one.
  const RunResult ends = run_in(dir, {"--json", "--cycle-ends", "history.txt"});
  EXPECT_EQ(json_object(ends.out, "cycles"),
            "\"cycles\":{\"full\":1,\"half\":8,\"largest_range\":9,\"time_of_largest_range\":7}");
}

TEST(CyclesAndWaves, WavesAboutALevelInTheWaveFile) {
  TempDir dir;
  write_file(dir.file("history.txt"), kHistory);
  const RunResult run = run_in(dir, {"--json", "--waves", "--level=0", "history.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  // Down-crossings at 2 + 1/4, 4 + 5/6, 6 + 3/7 and 8 + 4/6.
  EXPECT_EQ(read_file(dir.file("history.wav")),
            "# Series                : history.txt\r\n"
            "# Method                : zero down-crossing of the level given\r\n"
            "# Level                 :    0.000E+00\r\n"
            "# Crossing band         :    0.000E+00\r\n"
            "# Waves                 :            3\r\n"
            "# Highest wave          :    8.000E+00\r\n"
            "# Time of highest wave  :        2.250\r\n"
            "# Period of highest wave:        2.583\r\n"
            "# Mean of highest third :    8.000E+00\r\n"
            "# Root-mean-square      :    6.928E+00\r\n"
            "# Mean period           :        2.139\r\n"
            "#      Start      Period      Height       Crest      Trough\r\n"
            "       2.250       2.583  8.0000E+00  5.0000E+00 -3.0000E+00\r\n"
            "       4.833       1.595  4.0000E+00  3.0000E+00 -1.0000E+00\r\n"
            "       6.429       2.238  8.0000E+00  4.0000E+00 -4.0000E+00\r\n");
  EXPECT_NE(run.out.find("\"waves\":{\"level\":0,\"band\":0,\"count\":3,\"hmax\":8,"
                         "\"time_of_hmax\":2.25,\"h1_3\":8,"),
            std::string::npos)
      << run.out;
}

TEST(CyclesAndWaves, TimesAreTheReportsTimes) {
  // Samples at 0, 1, 4 and 6: the file's own times by default, the even
  // grid with --times=grid.
  TempDir dir;
  write_file(dir.file("r.txt"), "0 1\n1 -1\n4 1\n6 -1\n");
  const RunResult file = run_in(dir, {"--json", "--waves", "--level=0", "r.txt"});
  EXPECT_NE(file.out.find("\"time_of_hmax\":0.5,\"h1_3\":2,\"hrms\":2,\"tz\":4.5,"),
            std::string::npos)
      << file.out;
  const RunResult grid = run_in(dir, {"--json", "--waves", "--level=0", "--times=grid", "r.txt"});
  EXPECT_NE(grid.out.find("\"tz\":2,"), std::string::npos) << grid.out;
}

TEST(CyclesAndWaves, WithoutTheOptionsNoFileAndNoKey) {
  TempDir dir;
  write_file(dir.file("history.txt"), kHistory);
  const RunResult run = run_in(dir, {"--json", "history.txt"});
  EXPECT_EQ(run.out.find("cycles"), std::string::npos);
  EXPECT_EQ(run.out.find("waves"), std::string::npos);
  EXPECT_FALSE(file_exists(dir.file("history.cyc")) || file_exists(dir.file("history.wav")));
}

TEST(CyclesAndWaves, AFileThatIsAnotherFileOfTheRunIs30) {
  struct Case {
    std::vector<std::string> arguments;
    int unit;
  };
  const Case cases[] = {
      {{"--cycle-file=history.txt"}, 22},
      {{"--wave-file=history.txt"}, 23},
      {{"--cycle-file=history.prt"}, 22},
      {{"--cycles", "--wave-file=history.cyc"}, 23},
      {{"-l", "out.lst", "--wave-file=out.lst"}, 23},
  };
  for (const Case& test : cases) {
    TempDir dir;
    write_file(dir.file("history.txt"), kHistory);
    std::vector<std::string> arguments = test.arguments;
    arguments.push_back("history.txt");
    const RunResult run = run_in(dir, arguments);
    EXPECT_EQ(run.status, 30) << arguments[0];
    EXPECT_EQ(
        run.err.rfind("vorna: severe (30): open failure, unit " + std::to_string(test.unit), 0), 0u)
        << run.err;
    EXPECT_EQ(read_file(dir.file("history.txt")), kHistory);
  }
}

TEST(CyclesAndWaves, NothingToCountWritesTheHeadersAndSaysWhy) {
  struct Case {
    const char* name;
    std::string series;
    std::vector<std::string> options;
    std::string warnings;  // as the JSON lists them
  };
  const Case cases[] = {
      {"constant",
       "0 2\n1 2\n2 2\n",
       {},
       "\"no cycles to count: 0 turning points (fewer than two) in 3 samples; --cycle-ends "
       "counts the first and last samples too\",\"no waves: the record is constant at 2\""},
      {"band wider than the range",
       "0 0\n1 1\n2 0\n3 1\n4 0\n",
       {"--hysteresis=2"},
       "\"no cycles to count: 0 turning points (fewer than two) in 5 samples; --cycle-ends "
       "counts the first and last samples too\",\"no waves: the crossing band 2 (--hysteresis) "
       "is not narrower than the record's range, 0 to 1\""},
      {"one crossing",
       "0 1\n1 -1\n2 1\n",
       {"--cycle-ends"},
       "\"no waves: fewer than two down-crossings of the level 0.3333333333\""},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    TempDir dir;
    write_file(dir.file("r.txt"), test.series);
    std::vector<std::string> arguments = {"--json", "--cycles", "--waves"};
    arguments.insert(arguments.end(), test.options.begin(), test.options.end());
    arguments.push_back("r.txt");
    const RunResult run = run_in(dir, arguments);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find(test.warnings + "]"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"count\":0,\"hmax\":null"), std::string::npos) << run.out;
    const std::string waves = read_file(dir.file("r.wav"));
    const std::string heads = "#      Start      Period      Height       Crest      Trough\r\n";
    EXPECT_EQ(waves.substr(waves.size() - heads.size()), heads);
  }
}

// A series' name longer than a record: the cycle and wave files name it
// cut to one record between whole characters, and the lines on standard
// error give it whole.
TEST(CyclesAndWaves, ASeriesNameLongerThanARecordIsCutBetweenCharacters) {
  TempDir dir;
  std::string folder;
  for (int i = 0; i < 120; ++i) folder += "\xc3\xa9";  // U+00E9, 2 bytes
  std::string name = "x";  // so that byte 1024 of the line falls inside a character
  for (int depth = 0; depth < 5; ++depth) {
    name += folder;
    ASSERT_EQ(mkdir(dir.file(name).c_str(), 0700), 0);
    name += "/";
  }
  write_file(dir.file(name + "r.txt"), kHistory + "11 x\n");
  const RunResult run = run_in(dir, {"--cycles", "--waves", name + "r.txt"});
  EXPECT_EQ(run.status, 59);
  EXPECT_NE(run.err.find("\r\nvorna: " + name + "r.txt:12: "), std::string::npos);
  EXPECT_EQ(run.err.compare(run.err.size() - 15, 15, "missing value\r\n"), 0);
  write_file(dir.file(name + "r.txt"), kHistory);
  ASSERT_EQ(run_in(dir, {"--cycles", "--waves", name + "r.txt"}).status, 0);
  for (const char* file : {"r.cyc", "r.wav"}) {
    const std::string text = read_file(dir.file(file));
    const std::string first = text.substr(0, text.find("\r\n"));
    // The label, "x", four folders of 241 bytes and 16 characters: 1023
    // bytes, as the 17th character would end at byte 1025.
    EXPECT_TRUE(first == "# Series                : " + name.substr(0, 997)) << file;
  }
}

TEST(CyclesAndWaves, WrongSlopeOrLevelIsAUsageError) {
  const char* const wrong[] = {"--slope=0",   "--slope=-3", "--slope=x",  "--level=1e999",
                               "--level=abc", "--level=",   "--level=1,5"};
  for (const char* argument : wrong) {
    TempDir dir;
    const RunResult run = run_in(dir, {argument, "r.txt"});
    EXPECT_EQ(run.status, 2) << argument;
    EXPECT_NE(run.err.find(std::string("'") + (std::strchr(argument, '=') + 1) + "'"),
              std::string::npos)
        << run.err;
  }
}

// Twenty minutes of a sea at 10 Hz from 40 components, with probe noise.
std::string sea(double noise) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> phase(0.0, 2.0 * M_PI);
  std::normal_distribution<double> gauss(0.0, 1.0);
  std::vector<double> phases(40);
  for (double& p : phases) p = phase(random);
  std::string text;
  char line[64];
  for (int k = 0; k < 12000; ++k) {
    double v = 0.0;
    for (int c = 0; c < 40; ++c) {
      const double f = 0.07 + 0.004 * c;
      v += 0.12 * std::exp(-std::pow((f - 0.1) / 0.04, 2)) *
           std::sin(2 * M_PI * f * k * 0.1 + phases[c]);
    }
    std::snprintf(line, sizeof line, "%.1f %.4f\n", k * 0.1, v + noise * gauss(random));
    text += line;
  }
  return text;
}

double wave_count(const TempDir& dir, const std::string& band) {
  std::vector<std::string> arguments = {"--json", "--waves", "r.txt"};
  if (!band.empty()) arguments.insert(arguments.begin(), "--hysteresis=" + band);
  const RunResult run = run_in(dir, arguments);
  return std::strtod(run.out.c_str() + run.out.find("\"count\":") + 8, nullptr);
}

TEST(CyclesAndWaves, TheCrossingBandFindsTheWavesOfANoisySea) {
  TempDir clean;
  write_file(clean.file("r.txt"), sea(0.0));
  const double waves = wave_count(clean, "");
  TempDir noisy;
  write_file(noisy.file("r.txt"), sea(0.02));
  EXPECT_GT(wave_count(noisy, ""), 1.2 * waves);
  EXPECT_NEAR(wave_count(noisy, "0.1"), waves, 2);
}

}  // namespace
}  // namespace vorna_test
