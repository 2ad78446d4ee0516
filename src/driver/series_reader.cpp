#include "driver/series_reader.h"

#include <cstdint>
#include <cstring>

#include "driver/input_places.h"
#include "driver/series_warnings.h"
#include "runtime/line_reader.h"
#include "runtime/line_text.h"
#include "runtime/units.h"
#include "text/number_reader.h"
#include "text/text_field.h"

namespace vorna {
namespace {

// An entry whose first character is a blank (an empty answer) takes the
// default; otherwise one number is read, and an entry that gives none leaves
// the value at 0. question names the entry in a where-line.
Failure read_window_entry(SeriesInput& input, const char* prompt, const char* question,
                          double default_value, double& value, bool& empty) {
  char field[kTextLength];
  if (Failure failure = input.places.ask(input.tally, prompt, field, kTextLength);
      failure.failed()) {
    return failure;
  }
  empty = field[0] == ' ';
  value = empty ? default_value : 0.0;
  if (empty) return {};
  return input.places.read_answer_number(field, kTextLength, question, value);
}

bool is_comment_line(const char* record, int length) {
  return length > 0 && (record[0] == '$' || record[0] == '#' || record[0] == '!');
}

// All blanks in the line field: the line's first 256 characters are.
bool is_blank_line(const char* record, int length) {
  for (int i = 0; i < length; ++i) {
    if (record[i] != ' ') return false;
  }
  return true;
}

// A not-a-number that no number read gives: the mark of a target that a
// data line left without a value.
constexpr std::uint64_t kUnsetBits = 0x7ff8dead0000beefULL;

double unset_value() {
  double value;
  std::memcpy(&value, &kUnsetBits, sizeof value);
  return value;
}

bool is_unset(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits == kUnsetBits;
}

// A target the line gave nothing keeps the previous line's number.
bool keep_previous(double& target, double previous) {
  if (!is_unset(target)) return false;
  target = previous;
  return true;
}

}  // namespace

// The numbers are read from the record itself, up to the line field's
// length, not from a blank-padded copy: a line that reads well reads the
// same either way (the reader meets the record end where it would meet the
// blanks). A line that fails is read again from the padded field, whose
// failure is the one reported (after a complex value the blanks give 59
// where the record end gives 24).
Failure read_series_lines(SeriesInput& input, Series& series, double window_start,
                          double window_end) {
  SeriesWatch& watch = input.watch;
  watch = SeriesWatch(window_start, window_end);
  // Time and value carry over from the previous data line when a line does
  // not give them.
  double time = 0.0;
  double value = 0.0;
  double* targets[] = {&time, &value};
  LineNumber line_number = 0;
  double* const values = series.values;
  for (;;) {
    const char* record;
    std::size_t record_length;
    const int read = read_record(kSeriesUnit, record, record_length);
    if (read != kRecordRead) return read_failure(read, kSeriesUnit);
    ++line_number;
    const int length = record_length < static_cast<std::size_t>(kTextLength)
                           ? static_cast<int>(record_length)
                           : kTextLength;
    if (is_comment_line(record, length) || is_blank_line(record, length)) continue;
    if (record_length > static_cast<std::size_t>(kTextLength)) {
      watch.cut_line(line_number, record);
    }
    const double previous_time = time;
    const double previous_value = value;
    time = unset_value();
    value = unset_value();
    if (scan_numbers(record, length, targets, 2) != ReadStatus::kOk) {
      char field[kTextLength];
      transfer_record(record, record_length, field, kTextLength);
      time = unset_value();
      value = unset_value();
      const ReadStatus status = scan_numbers(field, kTextLength, targets, 2);
      if (status != ReadStatus::kOk) {
        return input.places.fail_on_data_line(status, field, kTextLength, line_number);
      }
    }
    const bool time_kept = keep_previous(time, previous_time);
    if (keep_previous(value, previous_value) || time_kept) {
      watch.kept_null(line_number, record, record_length, time_kept, time_kept ? time : value);
    }
    if (SeriesWatch::may_hold_truth_value(time, value)) {
      watch.possible_truth_value(line_number, record, record_length);
    }
    watch.data_line(line_number, record, record_length, time);
    if (time < window_start) {
      watch.passed_over();
      continue;
    }
    if (time > window_end) {
      watch.window_end(line_number, time);
      return {};
    }
    if (series.count == kSeriesCapacity) {
      watch.capacity_reached();
      return {};
    }
    values[series.count++] = value;
    if (series.count == 1) series.first_time = time;
    series.last_time = time;
    if (series.count == 2) series.increment = time - series.first_time;
    watch.accepted(line_number, record, record_length, time, series);
  }
}

Failure read_series(SeriesInput& input, Series& series) {
  bool empty_start = false;
  bool empty_end = false;
  double window_start = 0.0;
  double window_end = 0.0;
  if (Failure failure = read_window_entry(input, "First Time        / whole series/ :  ",
                                          "First Time", 0.0, window_start, empty_start);
      failure.failed()) {
    return failure;
  }
  if (Failure failure = read_window_entry(input, "Last Time         / whole series/ :  ",
                                          "Last Time", kWholeSeriesEnd, window_end, empty_end);
      failure.failed()) {
    return failure;
  }
  const Failure failure = read_series_lines(input, series, window_start, window_end);
  input.watch.note_empty_first_time(empty_start);
  return failure;
}

}  // namespace vorna
