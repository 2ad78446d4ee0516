#include "runtime/date_stamp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <string>

namespace vorna {
namespace {

ClockReading march_2007() { return {2007, 3, 2, 9, 5, 3}; }
ClockReading year_as_years_since_1900() { return {107, 3, 2, 9, 5, 3}; }

std::string stamp(int length = 80, ClockFunction clock = march_2007) {
  std::string result(static_cast<std::size_t>(length), '?');
  EXPECT_FALSE(date_stamp(result.data(), length, clock).failed());
  return result;
}

std::string padded(const std::string& text, std::size_t length = 80) {
  return text + std::string(length - text.size(), ' ');
}

TEST(DateStamp, GivesTheDateAndTimeToTheSecond) {
  EXPECT_EQ(stamp(), padded(" Date : 2007-03-02 09:05:03"));
}

TEST(DateStamp, YearBelow1000CountsFrom1900) {
  EXPECT_EQ(stamp(80, year_as_years_since_1900), padded(" Date : 2007-03-02 09:05:03"));
}

TEST(DateStamp, ShortResultTakesTheFirstCharacters) {
  EXPECT_EQ(stamp(12), " Date : 2007");
  EXPECT_EQ(stamp(256), padded(" Date : 2007-03-02 09:05:03", 256));
}

TEST(DateStamp, RealClockGivesTheLocalTimeOfTheCall) {
  const std::time_t before = std::time(nullptr);
  const std::string text = stamp(80, read_clock);
  const std::time_t after = std::time(nullptr);
  std::tm parsed{};
  ASSERT_NE(strptime(text.c_str(), " Date : %Y-%m-%d %H:%M:%S", &parsed), nullptr) << text;
  parsed.tm_isdst = -1;
  const std::time_t when = std::mktime(&parsed);
  EXPECT_GE(when, before - 1);
  EXPECT_LE(when, after);
  EXPECT_EQ(text.substr(27), std::string(53, ' '));
  // The calendar year itself, not the years since 1900 that the stamp
  // would mend only up to the year 2899.
  std::tm local{};
  ASSERT_NE(localtime_r(&after, &local), nullptr);
  EXPECT_EQ(read_clock().year, local.tm_year + 1900);
}

ClockReading year_12345() { return {12345, 3, 2, 9, 5, 3}; }

TEST(DateStamp, AYearTooWideIsAsterisksAndAnInMemoryWriteDiagnostic) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(stamp(80, year_12345), padded(" Date : ****-03-02 09:05:03"));
  EXPECT_EQ(
      ::testing::internal::GetCapturedStderr(),
      "vorna: error (63): output conversion error, unit -5, file Internal Formatted Write\r\n");
}

}  // namespace
}  // namespace vorna
