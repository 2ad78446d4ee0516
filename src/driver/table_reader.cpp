#include "driver/table_reader.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "runtime/diagnostics.h"
#include "runtime/line_reader.h"
#include "runtime/line_text.h"
#include "runtime/unit_table.h"

namespace vorna {
namespace {

// Of a line longer than this only this much is quoted in a message.
constexpr std::size_t kQuotedRoom = 1024;

int quoted_length(std::size_t length) {
  return static_cast<int>(length < kQuotedRoom ? length : kQuotedRoom);
}

bool is_comment(const char* record, std::size_t length) {
  return length > 0 && (record[0] == '$' || record[0] == '#' || record[0] == '!');
}

bool is_blank_record(const char* record, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (record[i] != ' ' && record[i] != '\t') return false;
  }
  return true;
}

// A line that holds no data: empty, a comment or blanks. Only a line that
// starts with a blank can be blank, which spares the scan of the others.
bool holds_no_data(const char* record, std::size_t length) {
  return length == 0 || is_comment(record, length) ||
         ((record[0] == ' ' || record[0] == '\t') && is_blank_record(record, length));
}

int field_length(FieldSpan field) {
  return quoted_length(static_cast<std::size_t>(field.end - field.begin));
}

bool same_text(FieldSpan field, const char* text, bool ignore_case) {
  const std::size_t length = static_cast<std::size_t>(field.end - field.begin);
  if (std::strlen(text) != length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    char a = field.begin[i];
    char b = text[i];
    if (ignore_case) {
      if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
      if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    }
    if (a != b) return false;
  }
  return true;
}

// A column given by number: 1-based plain digits; 0 when it is a name.
long column_number(const char* text) {
  long number = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9') return 0;
    if (number < kMaxColumns + 1) number = number * 10 + (*p - '0');
  }
  return text[0] == '\0' ? 0 : (number > 0 ? number : -1);
}

void copy_field(FieldSpan field, char* out, std::size_t size) {
  std::size_t length = static_cast<std::size_t>(field.end - field.begin);
  if (length >= size) length = size - 1;
  std::memcpy(out, field.begin, length);
  out[length] = '\0';
}

bool has_blank_between_digits(FieldSpan field) {
  for (const char* p = field.begin + 1; p + 1 < field.end; ++p) {
    if (*p == ' ' && p[-1] >= '0' && p[-1] <= '9' && p[1] >= '0' && p[1] <= '9') return true;
  }
  return false;
}

bool is_stamp_like(FieldSpan field) {
  TimeStamp stamp;
  return read_time_stamp(field.begin, field.end, stamp) != StampReading::kNotStamp ||
         looks_like_date(field.begin, field.end);
}

// 2024-03 is a number to the number reader (2024E-03), and a year and a
// month to anyone else; only texts of that length are looked at again.
bool is_year_and_month(FieldSpan field) {
  const auto length = field.end - field.begin;
  return (length == 6 || length == 7) && field.begin[4] == '-' &&
         looks_like_date(field.begin, field.end);
}

// A header names its columns: some field is no number, missing value or
// time, holds a letter or a byte of a UTF-8 character, and does not start
// like a number (0x00ff00 is data a table may carry).
bool is_name(FieldSpan field) {
  const char* first = field.begin;
  if (first < field.end && (*first == '+' || *first == '-' || *first == '.')) ++first;
  if (first < field.end && *first >= '0' && *first <= '9') return false;
  for (const char* p = field.begin; p < field.end; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 128) return true;
  }
  return false;
}

const char* form_name(StampForm form) {
  return form == StampForm::kClock ? "clock times" : "dates";
}

// A window end given as a clock time fits a column of clock times only; a
// date or date-time fits dates and date-times.
bool fits(StampForm bound, StampForm column) {
  return (bound == StampForm::kClock) == (column == StampForm::kClock);
}

const char kNotIso[] = "a date that is not in ISO 8601 form";
const char kIsoFix[] = "write dates as 2024-03-05, date-times as 2024-03-05T14:00:00.250";
const char kCommaFix[] = "if the commas are decimal commas, read the file with --decimal-comma";

}  // namespace

TableReader::TableReader(const RunSettings& settings, SeriesInput& input, Series& series)
    : settings_(settings),
      table_(settings.table),
      places_(input.places),
      watch_(input.watch),
      series_(series) {
  series_.file_times = !table_.grid_times;
  watch_ = SeriesWatch(settings.window_start, settings.window_end);
  time_.option = "-t/--time-column";
  value_.option = "-c/--column";
}

bool TableReader::is_header(const FieldSpan* fields, int count) const {
  for (int i = 0; i < count; ++i) {
    double number;
    if (read_number_field(fields[i], table_.decimal_comma, number) == FieldRead::kNotNumber &&
        is_name(fields[i]) && !is_stamp_like(fields[i])) {
      return true;
    }
  }
  return false;
}

int TableReader::find_column(const char* wanted, const char* option, const FieldSpan* names,
                             int count, bool header) {
  const long number = column_number(wanted);
  if (number > 0 && number <= count) return static_cast<int>(number - 1);
  if (number == 0 && header) {
    for (const bool ignore_case : {false, true}) {
      for (int i = 0; i < count; ++i) {
        if (same_text(names[i], wanted, ignore_case)) return i;
      }
    }
  }
  LineText problem;
  problem.add("no column '").add_name(wanted).add("' (").add(option).add(") in ");
  problem.add_name(places_.series_file_name());
  if (header) {
    problem.add("; its columns are:");
    for (int i = 0; i < count; ++i) {
      problem.add(i > 0 ? ", " : " ").add(i + 1).add(" ");
      problem.add_quoted(names[i].begin, field_length(names[i]));
    }
  } else {
    problem.add(", whose first line has ").add(count).add(count == 1 ? " column" : " columns");
    problem.add(" and no header: give a number from 1 to ").add(count);
  }
  end_with_problem(problem);
  return -1;
}

void TableReader::end_with_problem(const LineText& problem) {
  failure_ = places_.fail_where(kUsageProblem, kNoUnit, problem);
}

LineText& TableReader::add_where(LineText& line) const {
  return line.add("vorna: ")
      .add_name(places_.series_file_name())
      .add(":")
      .add(line_number_)
      .add(": ");
}

bool TableReader::choose_columns(const FieldSpan* names, int count, bool header) {
  time_.index = find_column(table_.time_column, time_.option, names, count, header);
  if (time_.index < 0) return false;
  value_.index = find_column(table_.value_column, value_.option, names, count, header);
  if (value_.index < 0) return false;
  needed_ = (time_.index > value_.index ? time_.index : value_.index) + 1;
  const Column* columns[] = {&time_, &value_};
  for (int i = 0; i < 2; ++i) {
    if (header) copy_field(names[columns[i]->index], header_names_[i], sizeof header_names_[i]);
  }
  if (header && header_names_[1][0] != '\0') {
    std::memcpy(facts_.column, header_names_[1], sizeof facts_.column);
    facts_.column_named = true;
  } else {
    std::snprintf(facts_.column, sizeof facts_.column, "%d", value_.index + 1);
  }
  return true;
}

// Inline: read_rest's loop over a million lines keeps it in place (a call
// here cost 17 instructions a line in bench/count_instructions.sh).
inline int TableReader::next_data_line(const char*& record, std::size_t& length) {
  for (;;) {
    const int read = read_record(kSeriesUnit, record, length);
    if (read != kRecordRead) return read;
    ++line_number_;
    if (!holds_no_data(record, length)) return kRecordRead;
  }
}

Failure TableReader::start() {
  FieldSpan* const fields = fields_;
  const char* record;
  std::size_t length;
  if (const int read = next_data_line(record, length); read != kRecordRead) {
    return read_failure(read, kSeriesUnit);
  }
  delimiter_ = table_.delimiter != 0 ? table_.delimiter
                                     : detect_delimiter(record, length, table_.decimal_comma);
  const int count = split_fields(record, length, delimiter_, fields, kMaxColumns);
  const bool header = is_header(fields, count);
  if (!choose_columns(fields, count, header)) return failure_;
  if (header) {
    LineText note;
    note.add("vorna: info: ").add_name(places_.series_file_name()).add(":").add(line_number_);
    note.add(": the first line is taken as a header naming the columns: ");
    write_error_line(note.add_quoted(record, quoted_length(length)));
    return {};
  }
  // Read with the rest, once the outputs are connected: the bytes stay in
  // the unit's buffer until its next read.
  pending_record_ = record;
  pending_length_ = length;
  return {};
}

Failure TableReader::read_rest() {
  if (pending_record_ != nullptr && !take_line(pending_record_, pending_length_)) return failure_;
  pending_record_ = nullptr;
  const char* record;
  std::size_t length;
  int read;
  while ((read = next_data_line(record, length)) == kRecordRead) {
    if (!take_line(record, length)) return failure_;
  }
  return read_failure(read, kSeriesUnit);
}

bool TableReader::fail_on_field(int status, const Column& column, FieldSpan field,
                                const char* reason, const char* fix) {
  LineText line;
  add_where(line).add("column ").add(column.index + 1);
  add_column_name(line, column)
      .add(" holds ")
      .add_quoted(field.begin, field_length(field))
      .add(", ")
      .add(reason);
  if (fix != nullptr) line.add("; ").add(fix);
  failure_ = places_.fail_where(status, kInternalUnit, line);
  return false;
}

bool TableReader::fail_on_number(FieldRead read, const Column& column, FieldSpan field) {
  const bool time = &column == &time_;
  const char* reason = time ? "not a number, a missing value or a date or clock time"
                            : "not a number or a missing value";
  const char* fix = nullptr;
  switch (read) {
    case FieldRead::kOutOfRange:
      return fail_on_field(kInputConversion, column, field, "beyond the range of 8-byte reals",
                           nullptr);
    case FieldRead::kDecimalComma:
      reason = "a number with a decimal comma";
      fix = kCommaFix;
      break;
    case FieldRead::kPointInDecimalCommaNumber:
      reason = "a point in a number read with --decimal-comma";
      fix = "thousands separators are not read";
      break;
    default:
      // Decimal commas split by a comma delimiter leave blanks between digits.
      if (delimiter_ == ',' && has_blank_between_digits(field)) fix = kCommaFix;
      break;
  }
  return fail_on_field(kSyntaxError, column, field, reason, fix);
}

bool TableReader::fail_on_short_line(int count, const char* record, std::size_t length) {
  const Column& column = time_.index >= count ? time_ : value_;
  LineText line;
  add_where(line).add("the line ends before column ").add(column.index + 1);
  add_column_name(line, column).add(": ");
  line.add_quoted(record, quoted_length(length));
  failure_ = places_.fail_where(kEndOfFile, kInternalUnit, line);
  return false;
}

LineText& TableReader::add_column_name(LineText& line, const Column& column) const {
  const char* name = header_names_[&column == &time_ ? 0 : 1];
  if (name[0] == '\0') return line;
  return line.add(" (").add_quoted(name, static_cast<int>(std::strlen(name))).add(")");
}

bool TableReader::take_form(FieldSpan time_field) {
  form_known_ = true;
  form_line_ = line_number_;
  TimeStamp stamp;
  stamps_ = read_time_stamp(time_field.begin, time_field.end, stamp) == StampReading::kStamp;
  const bool bounds[] = {table_.start_is_stamp, table_.end_is_stamp};
  const TimeStamp* bound_stamps[] = {&table_.start_stamp, &table_.end_stamp};
  for (int i = 0; i < 2; ++i) {
    if (!bounds[i] || (stamps_ && fits(bound_stamps[i]->form, stamp.form))) continue;
    LineText problem;
    problem.add(i == 0 ? "--from" : "--to").add(" is ");
    problem.add(bound_stamps[i]->form == StampForm::kClock ? "a clock time" : "a date");
    problem.add(", but the time column of ").add_name(places_.series_file_name());
    problem.add(" holds ");
    problem.add(stamps_ ? form_name(stamp.form) : "numbers").add(" (line ").add(line_number_);
    problem.add(": ").add_quoted(time_field.begin, field_length(time_field)).add(")");
    end_with_problem(problem);
    return false;
  }
  if (!stamps_) return true;
  form_ = stamp.form;
  first_instant_ = stamp.micros;
  previous_clock_ = stamp.micros;
  return true;
}

bool TableReader::read_time(FieldSpan field, const char* record, std::size_t length, double& time,
                            std::int64_t& instant) {
  if (!stamps_) {
    const FieldRead read = read_number_field(field, table_.decimal_comma, time);
    if (read == FieldRead::kNumber && !is_year_and_month(field)) {
      time *= table_.time_scale;
      return true;
    }
    if (read == FieldRead::kMissing) return false;
    if (!is_stamp_like(field)) return fail_on_number(read, time_, field);
    TimeStamp stamp;
    if (read_time_stamp(field.begin, field.end, stamp) == StampReading::kStamp) {
      return fail_on_field(kSyntaxError, time_, field,
                           "a date or clock time in a column of numbers", nullptr);
    }
    return fail_on_field(kSyntaxError, time_, field, kNotIso, kIsoFix);
  }
  if (is_missing_field(field)) return false;
  TimeStamp stamp;
  switch (read_time_stamp(field.begin, field.end, stamp)) {
    case StampReading::kStamp:
      break;
    case StampReading::kOutOfRange:
      return fail_on_field(kSyntaxError, time_, field, "a date or time of day that does not exist",
                           nullptr);
    case StampReading::kTooFine:
      return fail_on_field(kSyntaxError, time_, field, "more than six decimals of a second",
                           "times are read to the microsecond");
    case StampReading::kOtherDateForm:
      return fail_on_field(kSyntaxError, time_, field, kNotIso, kIsoFix);
    case StampReading::kNotStamp:
      if (looks_like_date(field.begin, field.end)) {
        return fail_on_field(kSyntaxError, time_, field, kNotIso, kIsoFix);
      }
      return fail_on_field(kSyntaxError, time_, field,
                           "not a date or clock time as the column's first", nullptr);
  }
  if (!fits(stamp.form, form_)) {
    return fail_on_field(kSyntaxError, time_, field,
                         form_ == StampForm::kClock ? "a date in a column of clock times"
                                                    : "a clock time in a column of dates",
                         nullptr);
  }
  instant = stamp.micros;
  if (form_ == StampForm::kClock) {
    instant += days_passed_;
    if (instant < previous_clock_) {
      days_passed_ += kMicrosPerDay;
      instant += kMicrosPerDay;
      watch_.clock_back(line_number_, record, length);
    }
    previous_clock_ = instant;
  }
  time = seconds_between(first_instant_, instant) * table_.time_scale;
  return true;
}

void TableReader::accept(double time, std::int64_t instant, double value, FieldSpan time_field,
                         const char* record, std::size_t length) {
  if (series_.count == 0 && stamps_) {
    origin_ = instant;
    copy_field(time_field, facts_.first_timestamp, sizeof facts_.first_timestamp);
    char* blank = std::strchr(facts_.first_timestamp, ' ');
    if (blank != nullptr) *blank = 'T';
  }
  if (stamps_) time = seconds_between(origin_, instant) * table_.time_scale;
  const int n = series_.count++;
  series_.values[n] = value;
  series_.times[n] = time;
  if (n == 0) series_.first_time = time;
  series_.last_time = time;
  if (n == 1) series_.increment = time - series_.first_time;
  watch_.accepted(line_number_, record, length, time, series_);
}

bool TableReader::take_line(const char* record, std::size_t length) {
  double time = 0.0;
  double value = 0.0;
  // Most lines of most tables: two plain numbers, read in one pass.
  if (form_known_ && !stamps_ && !table_.decimal_comma &&
      read_plain_numbers(record, length, delimiter_, needed_, time_.index, value_.index, time,
                         value)) {
    return take_sample(time * table_.time_scale, 0, value, FieldSpan{record, record}, record,
                       length);
  }
  FieldSpan* const fields = fields_;
  const int count = split_fields(record, length, delimiter_, fields, needed_);
  if (count < needed_) return fail_on_short_line(count, record, length);
  const FieldSpan time_field = fields[time_.index];
  const FieldSpan value_field = fields[value_.index];
  if (!form_known_ && !is_missing_field(time_field) && !take_form(time_field)) return false;
  std::int64_t instant = 0;
  const bool has_time = read_time(time_field, record, length, time, instant);
  if (failure_.failed()) return false;
  const FieldRead read = read_number_field(value_field, table_.decimal_comma, value);
  if (read != FieldRead::kNumber && read != FieldRead::kMissing) {
    return fail_on_number(read, value_, value_field);
  }
  if (!has_time || read == FieldRead::kMissing) {
    watch_.missing_value(line_number_, record, length);
    return true;
  }
  return take_sample(time, instant, value, time_field, record, length);
}

bool TableReader::take_sample(double time, std::int64_t instant, double value, FieldSpan time_field,
                              const char* record, std::size_t length) {
  watch_.data_line(line_number_, record, length, time);
  const bool below =
      table_.start_is_stamp ? instant < table_.start_stamp.micros : time < settings_.window_start;
  if (below) {
    watch_.passed_over();
    return true;
  }
  const bool past =
      table_.end_is_stamp ? instant > table_.end_stamp.micros : time > settings_.window_end;
  if (past) {
    watch_.window_end(line_number_, time);
    return false;
  }
  if (series_.count == kSeriesCapacity) {
    watch_.capacity_reached();
    return false;
  }
  accept(time, instant, value, time_field, record, length);
  return true;
}

}  // namespace vorna
