// The three outputs of a whole run, byte for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "support/program_text.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

struct Job {
  TempDir dir;
  RunResult result;
  std::string print;
  std::string listing;
};

void run_series(Job& run, const std::string& series, const Environment& environment = {}) {
  write_file(run.dir.file("s.txt"), series);
  run.result = run_vorna(run.dir.path(), "out.prt\ns.txt\n\n\n", environment);
  run.print = read_file(run.dir.file("out.prt"));
  run.listing = read_file(run.dir.file("fort.36"));
}

TEST(Reports, ThreeSamplesWithOnePeak) {
  Job run;
  run_series(run, "0 0\n2 1\n4 0\n");
  EXPECT_EQ(run.result.status, 0);
  // One extremum gives no height: its 0 and time 0.000 come with a warning.
  EXPECT_EQ(run.result.err, no_height_warning(1, 3));
  EXPECT_EQ(run.result.out,
            banner() + kPrompts + console_summary("3", "4.000", "0.000E+00", "0.000"));
  EXPECT_EQ(run.listing, listing_line("0.000", "0.00000E+00") +
                             listing_line("2.000", "1.00000E+00") +
                             listing_line("4.000", "0.00000E+00"));
  EXPECT_EQ(after_stamp_line(run.print),
            print_header("3", "0.000", "4.000", "2.000", "4.000", "0.000E+00", "0.000") +
                table_line("2.000", "1.0000E+00", "0.0000E+00"));
}

TEST(Reports, HeightsBetweenSuccessiveExtrema) {
  // Peaks and troughs at positions 3, 5, 7 and 9 of a series 0.5 apart from 10.
  Job run;
  run_series(run,
             "# probe\n10.0 0\n10.5 1\n11.0 2.5\n11.5 1\n12.0 -1.25\n12.5 0\n13.0 3\n13.5 2\n"
             "14.0 0.5\n14.5 1\n");
  EXPECT_EQ(run.result.status, 0) << run.result.err;
  EXPECT_EQ(run.result.out,
            banner() + kPrompts + console_summary("10", "4.500", "4.250E+00", "13.000"));
  EXPECT_EQ(after_stamp_line(run.print),
            print_header("10", "10.000", "14.500", "0.500", "4.500", "4.250E+00", "13.000") +
                table_line("11.000", "2.5000E+00", "0.0000E+00") +
                table_line("12.000", "-1.2500E+00", "-3.7500E+00") +
                table_line("13.000", "3.0000E+00", "4.2500E+00") +
                table_line("14.000", "5.0000E-01", "-2.5000E+00"));
}

TEST(Reports, TimesAreRebuiltOnTheEvenGrid) {
  // Only the first two times count: the rest of the file's times are ignored.
  Job run;
  run_series(run, "0 0\n1 5\n3 0\n4 5\n10 0\n");
  EXPECT_EQ(run.listing,
            listing_line("0.000", "0.00000E+00") + listing_line("1.000", "5.00000E+00") +
                listing_line("2.000", "0.00000E+00") + listing_line("3.000", "5.00000E+00") +
                listing_line("4.000", "0.00000E+00"));
  EXPECT_EQ(after_stamp_line(run.print),
            print_header("5", "0.000", "10.000", "1.000", "10.000", "5.000E+00", "2.000") +
                table_line("1.000", "5.0000E+00", "0.0000E+00") +
                table_line("2.000", "0.0000E+00", "-5.0000E+00") +
                table_line("3.000", "5.0000E+00", "5.0000E+00"));
}

TEST(Reports, ValueTooWideForItsFieldShowsAsterisksAndOneDiagnosticALine) {
  Job run;
  run_series(run, "100000000 1\n100000001 2\n100000002 1\n");
  EXPECT_EQ(run.result.status, 0);
  const std::string name = run.dir.file("out.prt");
  const std::string overflow =
      "vorna: error (63): output conversion error, unit 20, file " + name + "\r\n";
  // Header lines 3 and 4 and the one table line overflow; one warning counts
  // them after the last.
  EXPECT_EQ(run.result.err, no_height_warning(1, 3) + overflow + overflow + overflow +
                                "vorna: warning: 3 lines have a number too wide for its field, "
                                "written as asterisks (error 63 above)\r\n");
  EXPECT_EQ(
      after_stamp_line(run.print),
      print_header("3", "************", "************", "1.000", "2.000", "0.000E+00", "0.000") +
          table_line("************", "2.0000E+00", "0.0000E+00"));
  EXPECT_EQ(run.listing.substr(0, 32), listing_line("100000000.000", "1.00000E+00"));
}

// The listing and the extremum table are laid out straight into their
// units' buffers; a diagnostic hands the lines before it to the system, so
// on standard output each diagnostic still follows its own line, and the
// lines after it are the run's.
TEST(Reports, ListingOnStandardOutputKeepsEachDiagnosticAfterItsLine) {
  TempDir dir;
  write_file(dir.file("s.txt"), "0 1\n1 2\n1E12 1\n2E12 3\n3E12 0\n");
  RunOptions options;
  options.merge_error_into_output = true;
  options.input = RunOptions::Input::kDevNull;
  options.arguments = {"-q", "-l", "-", "s.txt"};
  const RunResult run = run_vorna_with(dir.path(), "", options);
  EXPECT_EQ(run.status, 0);
  const std::string stars = "***************";
  const std::string overflow =
      "vorna: error (63): output conversion error, unit 36, file /dev/stdout\r\n";
  const std::string listing =
      listing_line("0.000", "1.00000E+00") + listing_line("1.000", "2.00000E+00") +
      listing_line(stars, "1.00000E+00") + overflow + listing_line(stars, "3.00000E+00") +
      overflow + listing_line(stars, "0.00000E+00") + overflow;
  const std::size_t start = run.out.find(listing_line("0.000", "1.00000E+00"));
  ASSERT_NE(start, std::string::npos) << run.out;
  EXPECT_EQ(run.out.substr(start, listing.size()), listing);
}

// A listing longer than the unit's output buffer (1 MiB): the lines laid
// out in place run out of room, the line that does not fit goes through
// the unit, and the room is found again behind it. Every line as snprintf
// lays it out (F15.3 and 1PE15.5 are %15.3f and %15.5E for these numbers).
TEST(Reports, ListingLongerThanTheOutputBufferIsWholeAndInOrder) {
  TempDir dir;
  constexpr int kLines = 40000;  // 32 bytes each: 1.28 MB
  std::string series;
  std::string expected;
  for (int k = 0; k < kLines; ++k) {
    const int value = k % 7 - 3;
    series += std::to_string(k) + " " + std::to_string(value) + "\n";
    char line[40];
    std::snprintf(line, sizeof line, "%15.3f%15.5E\r\n", static_cast<double>(k),
                  static_cast<double>(value));
    expected += line;
  }
  write_file(dir.file("s.txt"), series);
  RunOptions options;
  options.input = RunOptions::Input::kDevNull;
  options.arguments = {"-q", "s.txt"};
  const RunResult run = run_vorna_with(dir.path(), "", options);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(read_file(dir.file("s.lst")) == expected);
}

TEST(Reports, ListingFileNamedByTheEnvironment) {
  const Environment cases[] = {
      {{"FORT36", "listing.txt"}}, {{"fort36", "listing.txt"}}, {{"Fort36", "  listing.txt  "}}};
  for (const Environment& environment : cases) {
    Job run;
    run_series(run, "0 0\n1 1\n", environment);
    EXPECT_EQ(run.result.status, 0) << run.result.err;
    EXPECT_FALSE(file_exists(run.dir.file("fort.36")));
    EXPECT_EQ(read_file(run.dir.file("listing.txt")),
              listing_line("0.000", "0.00000E+00") + listing_line("1.000", "1.00000E+00"));
  }
}

TEST(Reports, ExistingOutputFilesAreReplacedByExactlyThisRun) {
  Job run;
  std::string hundred_lines;
  for (int i = 1; i <= 100; ++i) hundred_lines += "previous line " + std::to_string(i) + "\r\n";
  write_file(run.dir.file("out.prt"), hundred_lines);
  write_file(run.dir.file("fort.36"), hundred_lines);
  run_series(run, "0 0\n1 1\n2 0\n3 1\n4 0\n");
  EXPECT_EQ(run.result.status, 0);
  int lines = 0;
  for (char c : run.print) lines += c == '\n';
  EXPECT_EQ(lines, 12);
  EXPECT_EQ(run.print.find("previous"), std::string::npos);
  EXPECT_EQ(run.listing.size(), 5u * 32);
}

TEST(Reports, DateStampIsTakenWhenTheRunStarts) {
  Job run;
  const std::time_t before = std::time(nullptr);
  run_series(run, "0 0\n");
  const std::time_t after = std::time(nullptr);
  ASSERT_GE(run.print.size(), 28u);
  std::tm parsed{};
  ASSERT_NE(strptime(run.print.substr(1, 27).c_str(), " Date : %Y-%m-%d %H:%M:%S", &parsed),
            nullptr);
  parsed.tm_isdst = -1;
  const std::time_t stamped = std::mktime(&parsed);
  EXPECT_GE(stamped, before - 1);
  EXPECT_LE(stamped, after);
}

TEST(Reports, FailingPrintFileWriteIsFatal38) {
  Job run;
  write_file(run.dir.file("s.txt"), "0 0\n1 1\n2 0\n");
  run.result = run_vorna(run.dir.path(), "/dev/full\ns.txt\n\n\n");
  EXPECT_EQ(run.result.status, 38);
  EXPECT_EQ(run.result.err,
            no_height_warning(1, 3) +
                "vorna: severe (38): error during write, unit 20, file /dev/full\r\n");
  // The listing was written and closed before the print file failed.
  EXPECT_EQ(read_file(run.dir.file("fort.36")).size(), 3u * 32);
}

}  // namespace
}  // namespace vorna_test
