#include "driver/series_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver/input_places.h"
#include "driver/run_warnings.h"
#include "driver/series_warnings.h"
#include "runtime/file_connection.h"
#include "runtime/line_text.h"
#include "runtime/units.h"
#include "support/run_vorna.h"
#include "text/text_field.h"

namespace vorna {
namespace {

// One run's arrays, taken once for all the tests.
Series& test_series() {
  static RunStorage storage;
  static const bool allocated = storage.allocate();
  EXPECT_TRUE(allocated);
  return storage.series();
}

// What a reading uses of its run, fresh for each test.
struct Reading {
  InputPlaces places;
  SeriesWatch watch{0.0, 0.0};
  WriteTally tally;
  SeriesInput input{places, watch, tally};
};

// Reads the text as the series file for the window into the test's series;
// returns the reading's failure.
Failure read_lines(const std::string& text, double start, double end, Reading& reading) {
  vorna_test::TempDir dir;
  vorna_test::write_file(dir.file("series.txt"), text);
  std::string name = dir.file("series.txt");
  name.resize(256, ' ');
  int failure_flag = 0;
  open_text_file(name.data(), 256, kSeriesUnit, 1, failure_flag);
  EXPECT_EQ(failure_flag, 0);
  Series& series = test_series();
  series.count = 0;
  series.first_time = series.last_time = series.increment = 0.0;
  const Failure failure = read_series_lines(reading.input, series, start, end);
  EXPECT_FALSE(close_unit(kSeriesUnit).failed());
  return failure;
}

// The same for a text that reads well: the series.
const Series& read_text(const std::string& text, double start, double end, Reading& reading) {
  EXPECT_FALSE(read_lines(text, start, end, reading).failed());
  return test_series();
}

const Series& read_text(const std::string& text, double start = 0.0, double end = kWholeSeriesEnd) {
  Reading reading;
  return read_text(text, start, end, reading);
}

std::vector<double> values_of(const Series& series) {
  return std::vector<double>(series.values, series.values + series.count);
}

TEST(ReadSeriesLines, DerivesFirstAndLastTimeAndIncrement) {
  const Series& s = read_text("0 10\n1 11\n3 13\n4 14\n");
  EXPECT_EQ(values_of(s), (std::vector<double>{10, 11, 13, 14}));
  EXPECT_EQ(s.first_time, 0.0);
  EXPECT_EQ(s.last_time, 4.0);
  EXPECT_EQ(s.increment, 1.0);
}

TEST(ReadSeriesLines, WindowPassesOverAndStops) {
  const Series& s = read_text("0 1\n1 2\n2 3\n3 4\n4 5\n2 6\n", 1.5, 3.0);
  EXPECT_EQ(values_of(s), (std::vector<double>{3, 4}));
  EXPECT_EQ(s.first_time, 2.0);
  EXPECT_EQ(s.last_time, 3.0);
  EXPECT_EQ(s.increment, 1.0);
}

TEST(ReadSeriesLines, StartAboveEndStopsAtTheFirstTimeNotBelowTheStart) {
  const Series& s = read_text("1 1\n5 2\n9 3\n", 5.0, 2.0);
  EXPECT_EQ(s.count, 0);
}

TEST(ReadSeriesLines, EmptyAndSingleSeriesKeepZeroScalars) {
  const Series& empty = read_text("# nothing\n\n");
  EXPECT_EQ(empty.count, 0);
  EXPECT_EQ(empty.increment, 0.0);
  const Series& single = read_text("2.5 7\n");
  EXPECT_EQ(single.count, 1);
  EXPECT_EQ(single.first_time, 2.5);
  EXPECT_EQ(single.last_time, 2.5);
  EXPECT_EQ(single.increment, 0.0);
}

TEST(ReadSeriesLines, LongLinesAreCutAtTheFieldLength) {
  // Numbers beyond column 256 are never seen; the cut line still has two.
  const std::string long_line = "1 2" + std::string(300, ' ') + "garbage\n";
  const Series& s = read_text(long_line + "2 3\n");
  EXPECT_EQ(values_of(s), (std::vector<double>{2, 3}));
}

// The numbers come from the record itself, not from a blank-padded copy;
// a line ending where the blanks of the field would follow fails as the
// field does (after a complex value: 59, not 24).
TEST(ReadSeriesLines, LinesFailAsTheirBlankPaddedFieldWould) {
  const struct {
    const char* line;
    int number;  // 0: read well
  } cases[] = {
      {"(3.5,1", 59}, {"(3.5,", 59}, {"(3.5", 24},    {"5", 24},  {"5,\t", 24},
      {"'5 1", 59},   {"1 .", 59},   {"1E309 2", 64}, {"2*", 0},  {"(3.5,1.0) 8", 0},
      {"1 2.", 0},    {"T 4", 0},    {"2*7.5", 0},    {"1 /", 0}, {"1,,", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    Reading reading;
    EXPECT_EQ(
        read_lines(std::string("0 1\n") + c.line + "\n", 0.0, kWholeSeriesEnd, reading).number,
        c.number);
  }
  // The field's 256th character ends the value that runs past it.
  const Series& s = read_text(std::string(250, ' ') + "3 456789\n");
  EXPECT_EQ(values_of(s), (std::vector<double>{4567}));
}

TEST(ReadSeriesLines, WarningsOfTheReadingAreKeptForTheRunOneTextAKind) {
  Reading reading;
  const Series& s = read_text("0 1\n1 2\n1 3\n5 1\n", 0.0, kWholeSeriesEnd, reading);
  RunWarnings warnings;
  reading.watch.write_warnings(s, "series.txt", warnings);
  ASSERT_EQ(warnings.count(), 2);
  EXPECT_EQ(std::string(warnings.text(0)),
            "series.txt:3: time 1 is not above the time before it, 1: \"1 3\"; the reports assume "
            "times that increase");
  EXPECT_EQ(std::string(warnings.text(1)),
            "series.txt:3: time 1 is reported as 2: the reports assume an even increment DT = 1 "
            "(the first two samples' times) (and 1 more line)");
  EXPECT_EQ(std::string(warnings.text(2)), "");
  Reading clean;
  RunWarnings none;
  clean.watch.write_warnings(read_text("0 1\n1 2\n", 0.0, kWholeSeriesEnd, clean), "series.txt",
                             none);
  EXPECT_EQ(none.count(), 0);
}

// A file of more lines than 32 bits count: the warning names the line by
// its whole number.
TEST(SeriesWarnings, NameLinesPastTwoToTheThirtyFirst) {
  SeriesWatch watch(0.0, kWholeSeriesEnd);
  const LineNumber far = 3000000001;
  watch.data_line(far - 1, "5 1", 3, 5.0);
  watch.data_line(far, "4 1", 3, 4.0);
  RunWarnings warnings;
  watch.write_warnings(test_series(), "long.txt", warnings);
  std::string texts;
  for (int i = 0; i < warnings.count(); ++i) texts += std::string(warnings.text(i)) + "\n";
  EXPECT_NE(texts.find("long.txt:3000000001: time 4 is not above the time before it, 5"),
            std::string::npos)
      << texts;
}

}  // namespace
}  // namespace vorna
