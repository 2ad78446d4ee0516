#include "driver/series_reader.h"

#include <cstdint>
#include <cstring>

#include "driver/input_places.h"
#include "driver/series_warnings.h"
#include "runtime/line_reader.h"
#include "runtime/prompt.h"
#include "runtime/units.h"
#include "runtime/where_lines.h"
#include "text/number_reader.h"
#include "text/text_field.h"

namespace vorna {
namespace {

char g_line_field[kTextLength];

// An entry whose first character is a blank (an empty answer) takes the
// default; otherwise one number is read, and an entry that gives none leaves
// the value at 0. question names the entry in a where-line.
double read_window_entry(const char* prompt, const char* question, double default_value,
                         bool& empty) {
  std::memset(g_line_field, ' ', kTextLength);
  write_prompt(kConsoleOutput, prompt, static_cast<int>(std::strlen(prompt)));
  read_answer(g_line_field, kTextLength);
  empty = g_line_field[0] == ' ';
  if (empty) return default_value;
  double value = 0.0;
  read_answer_number(g_line_field, kTextLength, question, value);
  return value;
}

bool is_comment_line(const char* field) {
  return field[0] == '$' || field[0] == '#' || field[0] == '!';
}

bool is_blank_line(const char* field) {
  for (int i = 0; i < kTextLength; ++i) {
    if (field[i] != ' ') return false;
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

void read_series_lines(Series& series, double window_start, double window_end) {
  watch_series_reading(window_start, window_end);
  // Time and value carry over from the previous data line when a line does
  // not give them.
  double time = 0.0;
  double value = 0.0;
  double* targets[] = {&time, &value};
  LineNumber line_number = 0;
  double* const values = series.values;
  for (;;) {
    std::size_t record_length;
    if (read_line(kSeriesUnit, g_line_field, kTextLength, true, record_length) == -1) return;
    ++line_number;
    if (is_comment_line(g_line_field) || is_blank_line(g_line_field)) continue;
    if (record_length > static_cast<std::size_t>(kTextLength)) {
      watch_cut_line(line_number, g_line_field);
    }
    const double previous_time = time;
    const double previous_value = value;
    time = unset_value();
    value = unset_value();
    const ReadStatus status = scan_numbers(g_line_field, kTextLength, targets, 2);
    if (status != ReadStatus::kOk)
      fail_on_data_line(status, g_line_field, kTextLength, line_number);
    const bool time_kept = keep_previous(time, previous_time);
    if (keep_previous(value, previous_value) || time_kept) {
      watch_kept_null(line_number, g_line_field, time_kept, time_kept ? time : value);
    }
    watch_data_line(line_number, g_line_field, time, value);
    if (time < window_start) {
      watch_passed_over();
      continue;
    }
    if (time > window_end) {
      watch_window_end(line_number, time);
      return;
    }
    if (series.count == kSeriesCapacity) {
      watch_capacity_reached();
      return;
    }
    values[series.count++] = value;
    if (series.count == 1) series.first_time = time;
    series.last_time = time;
    if (series.count == 2) series.increment = time - series.first_time;
    watch_accepted(line_number, g_line_field, kTextLength, time, series);
  }
}

void read_series(Series& series) {
  bool empty_start = false;
  bool empty_end = false;
  const double window_start =
      read_window_entry("First Time        / whole series/ :  ", "First Time", 0.0, empty_start);
  const double window_end =
      read_window_entry("Last Time         / whole series/ :  ", "Last Time", 1.0e30, empty_end);
  note_empty_first_time(empty_start);
  read_series_lines(series, window_start, window_end);
}

}  // namespace vorna
