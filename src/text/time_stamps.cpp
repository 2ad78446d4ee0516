#include "text/time_stamps.h"

#include <cstddef>

namespace vorna {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Exactly count digits at p (p + count must not pass end).
bool read_fixed(const char*& p, const char* end, int count, int& value) {
  if (end - p < count) return false;
  value = 0;
  for (int i = 0; i < count; ++i) {
    if (!is_digit(p[i])) return false;
    value = value * 10 + (p[i] - '0');
  }
  p += count;
  return true;
}

// Days from 1970-01-01 to the date (proleptic Gregorian calendar).
std::int64_t days_from_civil(int year, int month, int day) {
  const int y = month <= 2 ? year - 1 : year;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int year_of_era = y - era * 400;
  const int day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return std::int64_t{era} * 146097 + day_of_era - 719468;
}

int days_in_month(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// hh:mm[:ss[.f]] (one or two hour digits) from p on; leaves p after it.
// Returns kNotStamp when the form is not there at all.
StampReading read_clock(const char*& p, const char* end, std::int64_t& micros) {
  int hour = 0;
  int minute = 0;
  int second = 0;
  const char* start = p;
  while (p < end && is_digit(*p) && p - start < 2) hour = hour * 10 + (*p++ - '0');
  if (p == start || p == end || *p != ':') return StampReading::kNotStamp;
  ++p;
  if (!read_fixed(p, end, 2, minute)) return StampReading::kNotStamp;
  std::int64_t fraction = 0;
  if (p < end && *p == ':') {
    ++p;
    if (!read_fixed(p, end, 2, second)) return StampReading::kNotStamp;
    if (p < end && (*p == '.' || *p == ',')) {
      ++p;
      int places = 0;
      for (; p < end && is_digit(*p); ++p, ++places) {
        if (places < 6) fraction = fraction * 10 + (*p - '0');
      }
      if (places == 0) return StampReading::kNotStamp;
      if (places > 6) return StampReading::kTooFine;
      for (; places < 6; ++places) fraction *= 10;
    }
  }
  if (hour > 23 || minute > 59 || second > 59) return StampReading::kOutOfRange;
  micros = ((hour * 60 + minute) * std::int64_t{60} + second) * 1000000 + fraction;
  return StampReading::kStamp;
}

// Z, +hh:mm, +hhmm or +hh after a date-time: the offset east of UTC.
bool read_zone(const char*& p, const char* end, std::int64_t& offset_micros) {
  offset_micros = 0;
  if (p == end) return true;
  if ((*p == 'Z' || *p == 'z') && p + 1 == end) {
    ++p;
    return true;
  }
  if (*p != '+' && *p != '-') return false;
  const bool west = *p == '-';
  ++p;
  int hours = 0;
  int minutes = 0;
  if (!read_fixed(p, end, 2, hours)) return false;
  if (p < end && *p == ':') ++p;
  if (p < end && !read_fixed(p, end, 2, minutes)) return false;
  if (p != end || hours > 23 || minutes > 59) return false;
  offset_micros = (hours * 60 + minutes) * std::int64_t{60000000};
  if (west) offset_micros = -offset_micros;
  return true;
}

bool is_month_name(const char* begin, const char* end) {
  static const char* const kMonths[12] = {"january",   "february", "march",    "april",
                                          "may",       "june",     "july",     "august",
                                          "september", "october",  "november", "december"};
  const std::ptrdiff_t length = end - begin;
  if (length < 3) return false;
  for (const char* month : kMonths) {
    std::ptrdiff_t i = 0;
    while (i < length && month[i] != '\0' && lower(begin[i]) == month[i]) ++i;
    if (i == length && (length == 3 || month[i] == '\0')) return true;
  }
  return false;
}

// A run of digits from p on: its length.
int digit_run(const char*& p, const char* end) {
  const char* start = p;
  while (p < end && is_digit(*p)) ++p;
  return static_cast<int>(p - start);
}

// d S d [S d] at the start, S one of / . - the same both times: 2/27/2003,
// 05.03.2024, 1-1-1995; with two groups only a year and a month (2024-03).
bool numeric_date_start(const char* begin, const char* end) {
  const char* p = begin;
  const int first = digit_run(p, end);
  if (first == 0 || p == end || (*p != '/' && *p != '.' && *p != '-')) return false;
  const char separator = *p++;
  const int second = digit_run(p, end);
  if (second == 0) return false;
  if (p == end || *p != separator) {
    return first == 4 && second <= 2 && separator != '.' && p == end;
  }
  ++p;
  const int third = digit_run(p, end);
  if (third == 0 || (p < end && is_digit(*p))) return false;
  return separator == '/' || first == 4 || third == 4 || third == 2;
}

}  // namespace

StampReading read_time_stamp(const char* begin, const char* end, TimeStamp& stamp) {
  const char* p = begin;
  int year = 0;
  int month = 0;
  int day = 0;
  const bool date = end - begin >= 10 && read_fixed(p, end, 4, year) && *p++ == '-' &&
                    read_fixed(p, end, 2, month) && *p++ == '-' && read_fixed(p, end, 2, day);
  if (!date) {
    p = begin;
    std::int64_t micros = 0;
    const StampReading clock = read_clock(p, end, micros);
    if (clock != StampReading::kStamp) return clock;
    if (p != end) return StampReading::kNotStamp;
    stamp.form = StampForm::kClock;
    stamp.micros = micros;
    return StampReading::kStamp;
  }
  if (month < 1 || month > 12 || day < 1 || day > days_in_month(year, month)) {
    return StampReading::kOutOfRange;
  }
  const std::int64_t day_micros = days_from_civil(year, month, day) * kMicrosPerDay;
  if (p == end) {
    stamp.form = StampForm::kDate;
    stamp.micros = day_micros;
    return StampReading::kStamp;
  }
  if (*p != 'T' && *p != 't' && *p != ' ') return StampReading::kOtherDateForm;
  ++p;
  std::int64_t clock_micros = 0;
  const StampReading clock = read_clock(p, end, clock_micros);
  if (clock == StampReading::kNotStamp) return StampReading::kOtherDateForm;
  if (clock != StampReading::kStamp) return clock;
  std::int64_t offset = 0;
  if (!read_zone(p, end, offset)) return StampReading::kOtherDateForm;
  stamp.form = StampForm::kDateTime;
  stamp.micros = day_micros + clock_micros - offset;
  return StampReading::kStamp;
}

bool looks_like_date(const char* begin, const char* end) {
  if (numeric_date_start(begin, end)) return true;
  bool digit = false;
  bool month = false;
  for (const char* p = begin; p < end;) {
    if (is_letter(*p)) {
      const char* word = p;
      while (p < end && is_letter(*p)) ++p;
      month = month || is_month_name(word, p);
    } else {
      digit = digit || is_digit(*p);
      ++p;
    }
  }
  return month && digit;
}

double seconds_between(std::int64_t from_micros, std::int64_t to_micros) {
  return static_cast<double>(to_micros - from_micros) / 1e6;
}

}  // namespace vorna
