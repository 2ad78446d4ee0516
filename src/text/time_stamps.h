// Clock and calendar times in a table's time column: ISO 8601 date-times,
// dates and clock times read into whole microseconds, so that the seconds
// between two of them are exact; and the other ways of writing a date,
// which are recognised so that they are refused by name instead of being
// read as a number ("2024-03" is 2.024 to the number reader, "2/27/2003" is 2).
#pragma once

#include <cstdint>

namespace vorna {

enum class StampForm : unsigned char {
  kDateTime,  // 2024-03-05T14:00:00.250, a blank instead of T, optional Z or +hh:mm
  kDate,      // 2024-03-05: midnight
  kClock,     // 14:00:00.25, hh:mm[:ss[.f]]: the time of day, no date
};

struct TimeStamp {
  StampForm form = StampForm::kDateTime;
  // Dates and date-times: microseconds since 1970-01-01T00:00:00 in the
  // stamp's own zone, moved to UTC when it names an offset (Z or +hh:mm).
  // Clock times: microseconds since midnight.
  std::int64_t micros = 0;
};

enum class StampReading : unsigned char {
  kStamp,         // one of the three forms, read
  kNotStamp,      // no date or clock form at all: a number or a word
  kOutOfRange,    // the form, with a month, day, hour, minute or second that does not exist
  kTooFine,       // the form, with more than six decimals of a second
  kOtherDateForm  // a date written another way: 2/27/2003, 05.03.2024, Jan-1-1995, 2024-03
};

// Reads text[begin, end) as a whole (no blanks around it).
StampReading read_time_stamp(const char* begin, const char* end, TimeStamp& stamp);

// Whether a text that is not a stamp is written as a date (see kOtherDateForm).
bool looks_like_date(const char* begin, const char* end);

// The seconds from one stamp to a later one, as the 8-byte real nearest to
// the exact count of microseconds (exact below 285 years).
double seconds_between(std::int64_t from_micros, std::int64_t to_micros);

constexpr std::int64_t kMicrosPerDay = std::int64_t{86400} * 1000000;

}  // namespace vorna
