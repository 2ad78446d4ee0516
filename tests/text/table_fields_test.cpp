// A table line's fields, read as numbers, missing values or times: the
// numbers against glibc's strtod, the times against glibc's timegm.
#include "text/table_fields.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "text/time_stamps.h"

namespace {

using vorna::FieldRead;
using vorna::FieldSpan;

FieldSpan span_of(const std::string& text) { return {text.data(), text.data() + text.size()}; }

std::vector<std::string> split(const std::string& line, char delimiter, int capacity = 16) {
  std::vector<FieldSpan> fields(static_cast<std::size_t>(capacity));
  const int count =
      vorna::split_fields(line.data(), line.size(), delimiter, fields.data(), capacity);
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) {
    const FieldSpan& f = fields[static_cast<std::size_t>(i)];
    texts.emplace_back(f.begin, f.end);
  }
  return texts;
}

TEST(TableFields, SplitByTheDelimiter) {
  using Texts = std::vector<std::string>;
  const struct {
    std::string line;
    char delimiter;
    Texts fields;
  } cases[] = {
      {"1,2,3", ',', {"1", "2", "3"}},
      {" 1 , 2 ,", ',', {"1", "2", ""}},
      {"1,,3", ',', {"1", "", "3"}},
      {"\"a, b\",\"c\" ,d", ',', {"a, b", "c", "d"}},
      {"elapsed time;force", ';', {"elapsed time", "force"}},
      {"1\t\t3", '\t', {"1", "", "3"}},
      {" a b\t", '\t', {"a b", ""}},
      {"  1   2\t3  ", ' ', {"1", "2", "3"}},
      {"1,2 , 3,,4", ' ', {"1", "2", "3", "", "4"}},
      {",5", ' ', {"", "5"}},
      {"5 ,", ' ', {"5", ""}},
      {"\"x y\" z", ' ', {"x y", "z"}},
      {"   ", ' ', {}},
      {"", ',', {""}},
  };
  for (const auto& c : cases) EXPECT_EQ(split(c.line, c.delimiter), c.fields) << c.line;
  // Splitting stops at the fields asked for.
  EXPECT_EQ(split("1,2,3,4", ',', 2), (Texts{"1", "2"}));
  EXPECT_EQ(split("1 2 3 4", ' ', 3), (Texts{"1", "2", "3"}));
}

TEST(TableFields, DelimiterIsATabASemicolonACommaOrBlanks) {
  const struct {
    std::string line;
    bool decimal_comma;
    char delimiter;
  } cases[] = {
      {"a\tb;c,d", false, '\t'}, {"a;b,c", false, ';'},  {"a, b c", false, ','},
      {"a  b", false, ' '},      {"0,5 1,5", true, ' '}, {"0,5;1,5", true, ';'},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vorna::detect_delimiter(c.line.data(), c.line.size(), c.decimal_comma), c.delimiter)
        << c.line;
  }
}

TEST(TableFields, NumbersAreTheFreeFormReadersRealsAndNothingElse) {
  const char* numbers[] = {"1.5",
                           "-0",
                           "1E3",
                           "1.0D3",
                           "2.5-3",
                           ".5",
                           "5.",
                           "+7",
                           "1e-400",
                           "0.1",
                           "1.0q3",
                           "9007199254740993",
                           "123456789012345678901234567890",
                           "2.2250738585072011e-308"};
  for (const char* text : numbers) {
    std::string fortran = text;
    for (char& c : fortran) {
      if (c == 'D' || c == 'q') c = 'E';
    }
    if (fortran == "2.5-3") fortran = "2.5E-3";
    double value = 0.0;
    ASSERT_EQ(vorna::read_number_field(span_of(text), false, value), FieldRead::kNumber) << text;
    const double expected = std::strtod(fortran.c_str(), nullptr);
    EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << text;
  }
  const struct {
    std::string text;
    bool decimal_comma;
    FieldRead read;
  } cases[] = {
      {"", false, FieldRead::kMissing},
      {"NaN", false, FieldRead::kMissing},
      {"na", false, FieldRead::kMissing},
      {"N/A", false, FieldRead::kMissing},
      {"Null", false, FieldRead::kMissing},
      {"-", false, FieldRead::kMissing},
      {"T", false, FieldRead::kNotNumber},
      {".true.", false, FieldRead::kNotNumber},
      {"3*1.5", false, FieldRead::kNotNumber},
      {"/", false, FieldRead::kNotNumber},
      {"'5'", false, FieldRead::kNotNumber},
      {"1 2", false, FieldRead::kNotNumber},
      {"Inf", false, FieldRead::kNotNumber},
      {"nan2", false, FieldRead::kNotNumber},
      {"1E400", false, FieldRead::kOutOfRange},
      {"0,25", false, FieldRead::kDecimalComma},
      {"0,25", true, FieldRead::kNumber},
      {"1.234,5", true, FieldRead::kPointInDecimalCommaNumber},
      {"-1,5E2", true, FieldRead::kNumber},
      {"NA", true, FieldRead::kMissing},
  };
  for (const auto& c : cases) {
    double value = 0.0;
    EXPECT_EQ(vorna::read_number_field(span_of(c.text), c.decimal_comma, value), c.read) << c.text;
  }
  double value = 0.0;
  vorna::read_number_field(span_of("-1,5E2"), true, value);
  EXPECT_EQ(value, -150.0);
}

// The one-pass reading of plain lines gives what splitting and reading each
// field gives, and leaves every other line to that general reading.
TEST(TableFields, PlainNumbersInOnePassAgreeWithTheGeneralReading) {
  const struct {
    std::string line;
    char delimiter;
    int needed, first, second;
    bool plain;
  } cases[] = {
      {"0.5   1.25E+03", ' ', 2, 0, 1, true},
      {"\t0.5\t, -2 extra words", ' ', 2, 0, 1, true},
      {"1.5,2.5", ' ', 2, 0, 1, true},
      {"1 2 3 4.5", ' ', 4, 0, 3, true},
      {"1 2 3 4.5", ' ', 4, 3, 3, true},
      {"1,,2", ' ', 2, 0, 1, false},
      {"1 2*3", ' ', 2, 0, 1, false},
      {"1 2/", ' ', 2, 0, 1, false},
      {"1", ' ', 2, 0, 1, false},
      {"1 NaN", ' ', 2, 0, 1, false},
      {"\"1\" 2", ' ', 2, 0, 1, false},
      {"2024-03 1", ' ', 2, 0, 1, false},
      {"1 1E400", ' ', 2, 0, 1, false},
      {"0.1, 7 ,x,9", ',', 4, 0, 3, true},
      {" 0.1 ;2.5;", ';', 2, 0, 1, true},
      {"0.1;2,5", ';', 2, 0, 1, false},
      {"0.1\t\t3", '\t', 3, 0, 2, true},
      {"0.1\t\t3", '\t', 3, 0, 1, false},
      {"1,2 3", ',', 2, 0, 1, false},
      {"1,\"a,b\",3", ',', 3, 0, 2, false},
      {"1,2", ',', 3, 0, 2, false},
  };
  for (const auto& c : cases) {
    double first = 0.0;
    double second = 0.0;
    const bool plain = vorna::read_plain_numbers(c.line.data(), c.line.size(), c.delimiter,
                                                 c.needed, c.first, c.second, first, second);
    EXPECT_EQ(plain, c.plain) << c.line;
    if (!plain) continue;
    std::vector<FieldSpan> fields(static_cast<std::size_t>(c.needed));
    ASSERT_EQ(
        vorna::split_fields(c.line.data(), c.line.size(), c.delimiter, fields.data(), c.needed),
        c.needed)
        << c.line;
    double expected_first = 0.0;
    double expected_second = 0.0;
    EXPECT_EQ(
        vorna::read_number_field(fields[static_cast<std::size_t>(c.first)], false, expected_first),
        FieldRead::kNumber);
    EXPECT_EQ(vorna::read_number_field(fields[static_cast<std::size_t>(c.second)], false,
                                       expected_second),
              FieldRead::kNumber);
    EXPECT_EQ(first, expected_first) << c.line;
    EXPECT_EQ(second, expected_second) << c.line;
  }
}

// The reference: glibc's timegm of the same calendar time.
std::int64_t reference_micros(int year, int month, int day, int hour, int minute, int second,
                              std::int64_t fraction_micros, int offset_minutes) {
  std::tm tm = {};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  const std::int64_t seconds = static_cast<std::int64_t>(timegm(&tm)) - offset_minutes * 60;
  return seconds * 1000000 + fraction_micros;
}

TEST(TimeStamps, IsoFormsAreExactMicroseconds) {
  const struct {
    std::string text;
    vorna::StampForm form;
    std::int64_t micros;
  } cases[] = {
      {"2024-03-05T14:00:00.250", vorna::StampForm::kDateTime,
       reference_micros(2024, 3, 5, 14, 0, 0, 250000, 0)},
      {"2024-03-05 14:00", vorna::StampForm::kDateTime,
       reference_micros(2024, 3, 5, 14, 0, 0, 0, 0)},
      {"2024-03-05t14:00:59,5Z", vorna::StampForm::kDateTime,
       reference_micros(2024, 3, 5, 14, 0, 59, 500000, 0)},
      {"2024-03-05T14:00:00.000001+05:30", vorna::StampForm::kDateTime,
       reference_micros(2024, 3, 5, 14, 0, 0, 1, 330)},
      {"1969-12-31T23:59:59-0100", vorna::StampForm::kDateTime,
       reference_micros(1969, 12, 31, 23, 59, 59, 0, -60)},
      {"2000-02-29", vorna::StampForm::kDate, reference_micros(2000, 2, 29, 0, 0, 0, 0, 0)},
      {"1900-03-01", vorna::StampForm::kDate, reference_micros(1900, 3, 1, 0, 0, 0, 0, 0)},
      {"9999-12-31T23:59:59.999999", vorna::StampForm::kDateTime,
       reference_micros(9999, 12, 31, 23, 59, 59, 999999, 0)},
      {"0001-01-01", vorna::StampForm::kDate, reference_micros(1, 1, 1, 0, 0, 0, 0, 0)},
      {"14:00:00.25", vorna::StampForm::kClock, (14 * 3600) * std::int64_t{1000000} + 250000},
      {"9:05", vorna::StampForm::kClock, (9 * 3600 + 5 * 60) * std::int64_t{1000000}},
  };
  for (const auto& c : cases) {
    vorna::TimeStamp stamp;
    ASSERT_EQ(vorna::read_time_stamp(c.text.data(), c.text.data() + c.text.size(), stamp),
              vorna::StampReading::kStamp)
        << c.text;
    EXPECT_EQ(stamp.form, c.form) << c.text;
    EXPECT_EQ(stamp.micros, c.micros) << c.text;
  }
  // Seconds between two stamps: the real nearest the exact count.
  EXPECT_EQ(vorna::seconds_between(0, 250000), 0.25);
  EXPECT_EQ(vorna::seconds_between(1, 100001), 0.1);
  const std::int64_t years = std::int64_t{200} * 365 * vorna::kMicrosPerDay + 1;
  EXPECT_EQ(vorna::seconds_between(0, years), std::strtod("6307200000.000001", nullptr));
}

TEST(TimeStamps, OtherFormsAreToldApart) {
  const struct {
    std::string text;
    vorna::StampReading reading;
    bool date_like;  // for kNotStamp: looks like a date written another way
  } cases[] = {
      {"2024-02-30", vorna::StampReading::kOutOfRange, false},
      {"2023-02-29T00:00", vorna::StampReading::kOutOfRange, false},
      {"24:00:00", vorna::StampReading::kOutOfRange, false},
      {"12:60", vorna::StampReading::kOutOfRange, false},
      {"2024-13-01", vorna::StampReading::kOutOfRange, false},
      {"12:00:00.1234567", vorna::StampReading::kTooFine, false},
      {"2024-03-05X", vorna::StampReading::kOtherDateForm, false},
      {"2024-03-05T14", vorna::StampReading::kOtherDateForm, false},
      {"2024-03-05T14:00+1", vorna::StampReading::kOtherDateForm, false},
      {"2/27/2003", vorna::StampReading::kNotStamp, true},
      {"05.03.2024", vorna::StampReading::kNotStamp, true},
      {"Jan-1-1995", vorna::StampReading::kNotStamp, true},
      {"1 March 2024", vorna::StampReading::kNotStamp, true},
      {"2024-03", vorna::StampReading::kNotStamp, true},
      {"1.5", vorna::StampReading::kNotStamp, false},
      {"1.5.5", vorna::StampReading::kNotStamp, false},
      {"2.5-3", vorna::StampReading::kNotStamp, false},
      {"may", vorna::StampReading::kNotStamp, false},
      {"12:5", vorna::StampReading::kNotStamp, false},
      {"12:00:", vorna::StampReading::kNotStamp, false},
  };
  for (const auto& c : cases) {
    const char* begin = c.text.data();
    const char* end = begin + c.text.size();
    vorna::TimeStamp stamp;
    EXPECT_EQ(vorna::read_time_stamp(begin, end, stamp), c.reading) << c.text;
    if (c.reading == vorna::StampReading::kNotStamp) {
      EXPECT_EQ(vorna::looks_like_date(begin, end), c.date_like) << c.text;
    }
  }
}

}  // namespace
