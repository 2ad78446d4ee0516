#include "driver/series_reader.h"

#include <cstring>

#include "textio/diagnostics.h"
#include "textio/number_reader.h"
#include "textio/units.h"
#include "util/line_reader.h"
#include "util/prompt.h"
#include "util/text_field.h"

namespace vorna {
namespace {

char g_line_field[kTextLength];

// An entry whose first character is a blank (an empty answer) takes the
// default; otherwise one number is read, and an entry that gives none leaves
// the value at 0.
double read_window_entry(const char* prompt, double default_value) {
  std::memset(g_line_field, ' ', kTextLength);
  write_prompt(kConsoleOutput, prompt, static_cast<int>(std::strlen(prompt)));
  read_line(kConsoleInput, g_line_field, kTextLength, false);
  if (g_line_field[0] == ' ') return default_value;
  double value = 0.0;
  read_numbers(g_line_field, kTextLength, value);
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

}  // namespace

void read_series_lines(Series& series, double window_start, double window_end) {
  // Time and value carry over from the previous data line when a line does
  // not give them.
  double time = 0.0;
  double value = 0.0;
  for (;;) {
    if (read_line(kSeriesUnit, g_line_field, kTextLength, true) == -1) return;
    if (is_comment_line(g_line_field) || is_blank_line(g_line_field)) continue;
    read_numbers(g_line_field, kTextLength, time, value);
    if (time < window_start) continue;
    if (time > window_end) return;
    if (series.count == kSeriesCapacity) {
      write_error_line(
          "vorna: info: more than 1000000 samples in the time window; only the first 1000000 "
          "are used");
      return;
    }
    series.values[series.count++] = value;
    if (series.count == 1) series.first_time = time;
    series.last_time = time;
    if (series.count == 2) series.increment = time - series.first_time;
  }
}

void read_series(Series& series) {
  const double window_start = read_window_entry("First Time        / whole series/ :  ", 0.0);
  const double window_end = read_window_entry("Last Time         / whole series/ :  ", 1.0e30);
  read_series_lines(series, window_start, window_end);
}

}  // namespace vorna
