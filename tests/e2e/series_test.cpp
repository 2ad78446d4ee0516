// Reading the series file through the real program: windows, line kinds,
// carried-over values, line ends and the sample capacity.
#include <gtest/gtest.h>

#include <string>

#include "support/program_text.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

struct Outcome {
  RunResult run;
  std::string listing;
};

Outcome run_on(const std::string& series, const std::string& window = "\n\n") {
  TempDir dir;
  write_file(dir.file("s.txt"), series);
  Outcome outcome{run_vorna(dir.path(), "out.prt\ns.txt\n" + window), ""};
  outcome.listing = read_file(dir.file("fort.36"));
  return outcome;
}

TEST(SeriesReading, DefaultWindowPassesOverNegativeTimes) {
  Outcome o = run_on("-2 9\n-1 8\n0 1\n1 2\n2 1\n");
  EXPECT_EQ(o.run.status, 0) << o.run.err;
  EXPECT_EQ(o.listing, listing_line("0.000", "1.00000E+00") + listing_line("1.000", "2.00000E+00") +
                           listing_line("2.000", "1.00000E+00"));
}

TEST(SeriesReading, WindowStopsAtTheFirstLinePastItsEnd) {
  // The line after 4 is never read, so its garbage does no harm.
  Outcome o = run_on("0 10\n1 11\n2 12\n3 13\n4 14\n2 15\ngarbage\n", "1.5\n3\n");
  EXPECT_EQ(o.run.status, 0) << o.run.err;
  EXPECT_EQ(o.listing, listing_line("2.000", "1.20000E+01") + listing_line("3.000", "1.30000E+01"));
  EXPECT_NE(o.run.out.find(console_summary("2", "1.000", "0.000E+00", "0.000")), std::string::npos);
}

TEST(SeriesReading, TimeEqualToTheWindowEndIsAccepted) {
  Outcome o = run_on("1 1\n2 2\n3 3\n", "\n2\n");
  EXPECT_EQ(o.listing, listing_line("1.000", "1.00000E+00") + listing_line("2.000", "2.00000E+00"));
}

TEST(SeriesReading, WindowEntryWithALeadingBlankTakesTheDefault) {
  Outcome o = run_on("-1 1\n5 2\n", " 5\n 1\n");
  EXPECT_EQ(o.listing, listing_line("5.000", "2.00000E+00"));
}

TEST(SeriesReading, WindowEntryWithoutAValueLeavesZero) {
  // A slash gives no value: the start stays 0 and the end becomes 0, not 1E30.
  Outcome o = run_on("-1 1\n0 2\n1 3\n", "/\n,\n");
  EXPECT_EQ(o.listing, listing_line("0.000", "2.00000E+00"));
}

TEST(SeriesReading, CommentsAndBlankLinesOnlyGiveAnEmptySeries) {
  TempDir dir;
  write_file(dir.file("s.txt"), "# one\n$ two\n! three\n\n   \n\r\n");
  write_file(dir.file("fort.36"), "old listing\n");
  RunResult run = run_vorna(dir.path(), "out.prt\ns.txt\n\n\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, banner() + kPrompts + console_summary("0", "0.000", "0.000E+00", "0.000"));
  EXPECT_EQ(read_file(dir.file("fort.36")), "old listing\n");
  EXPECT_EQ(after_stamp_line(read_file(dir.file("out.prt"))),
            print_header("0", "0.000", "0.000", "0.000", "0.000", "0.000E+00", "0.000"));
}

TEST(SeriesReading, SingleLineGivesZeroIncrement) {
  TempDir dir;
  write_file(dir.file("s.txt"), "7.25 3\n");
  RunResult run = run_vorna(dir.path(), "out.prt\ns.txt\n\n\n");
  EXPECT_EQ(after_stamp_line(read_file(dir.file("out.prt"))),
            print_header("1", "7.250", "7.250", "0.000", "0.000", "0.000E+00", "0.000"));
}

TEST(SeriesReading, CommentsMayStandAnywhereAndOnlyTheFirstCharacterCounts) {
  Outcome o = run_on("# head\n0 1\n!5 5 a comment with numbers\n1 2\n# after the end\n", "\n1\n");
  EXPECT_EQ(o.run.status, 0) << o.run.err;
  EXPECT_EQ(o.listing, listing_line("0.000", "1.00000E+00") + listing_line("1.000", "2.00000E+00"));
}

TEST(SeriesReading, BlankBeforeTheMarkMakesADataLineThatIsFatal) {
  Outcome o = run_on("0 1\n #not a comment\n1 2\n");
  EXPECT_EQ(o.run.status, 59);
  EXPECT_EQ(o.run.err,
            kSyntaxError + "vorna: s.txt:2: the time is not a number: \" #not a comment\"\r\n");
  EXPECT_EQ(o.run.out, banner() + kPrompts);
}

TEST(SeriesReading, MalformedLineBeforeTheWindowIsStillFatal) {
  Outcome o = run_on("0 1\n1\n5 2\n", "3\n\n");
  EXPECT_EQ(o.run.status, 24);
  EXPECT_EQ(o.run.err,
            "vorna: severe (24): end-of-file during read, unit -5, file Internal List-Directed "
            "Read\r\nvorna: s.txt:2: no value on the line: \"1\"\r\n");
}

TEST(SeriesReading, ValuesALineDoesNotGiveCarryOver) {
  // "3 /" keeps the value 5; ",7" keeps the time 3 and takes 7.
  Outcome o = run_on("1 5\n3 /\n,7\n");
  EXPECT_EQ(o.run.status, 0) << o.run.err;
  EXPECT_EQ(o.listing, listing_line("1.000", "5.00000E+00") + listing_line("3.000", "5.00000E+00") +
                           listing_line("5.000", "7.00000E+00"));
}

TEST(SeriesReading, CarriageReturnLineEndsGiveTheSameResult) {
  const std::string lf = "# c\n0 1\n1 3\n\n2 2\n";
  const std::string crlf = "# c\r\n0 1\r\n1 3\r\n\r\n2 2\r\n";
  Outcome a = run_on(lf);
  Outcome b = run_on(crlf);
  EXPECT_EQ(a.run.status, 0);
  EXPECT_EQ(a.listing, b.listing);
  EXPECT_EQ(a.run.out, b.run.out);
}

TEST(SeriesReading, ControlZEndsTheFile) {
  Outcome o = run_on("0 1\n1 2\n\x1a\n2 garbage\n");
  EXPECT_EQ(o.run.status, 0) << o.run.err;
  EXPECT_EQ(o.listing, listing_line("0.000", "1.00000E+00") + listing_line("1.000", "2.00000E+00"));
}

TEST(SeriesReading, LastLineWithoutLineEndIsRead) {
  Outcome o = run_on("0 1\n1 2");
  EXPECT_EQ(o.listing, listing_line("0.000", "1.00000E+00") + listing_line("1.000", "2.00000E+00"));
}

TEST(SeriesReading, SlowMoreThanTheCapacityKeepsTheFirstMillion) {
  std::string series;
  series.reserve(12'000'000);
  for (int k = 0; k <= 1'000'000; ++k)
    series += std::to_string(k) + " " + std::to_string(k % 3) + "\n";
  Outcome o = run_on(series);
  EXPECT_EQ(o.run.status, 0);
  EXPECT_EQ(o.run.err,
            "vorna: warning: more than 1000000 samples in the time window; only the first 1000000 "
            "are used\r\n");
  EXPECT_NE(o.run.out.find(" Number of steps in Time Series:     1000000\r\n"), std::string::npos);
  EXPECT_EQ(o.listing.size(), 1'000'000u * 32);
  EXPECT_EQ(o.listing.substr(o.listing.size() - 32), listing_line("999999.000", "0.00000E+00"));
}

TEST(SeriesReading, SlowExactlyTheCapacityGivesNoWarning) {
  std::string series;
  series.reserve(12'000'000);
  for (int k = 0; k < 1'000'000; ++k) series += std::to_string(k) + " 1\n";
  Outcome o = run_on(series);
  EXPECT_EQ(o.run.status, 0);
  // A level record: only the warning that it has no height.
  EXPECT_EQ(o.run.err, no_height_warning(0, 1'000'000));
}

}  // namespace
}  // namespace vorna_test
