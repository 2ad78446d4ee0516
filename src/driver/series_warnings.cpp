#include "driver/series_warnings.h"

#include <cmath>
#include <cstring>

#include "analysis/heights.h"
#include "driver/input_places.h"
#include "driver/run_warnings.h"
#include "textio/diagnostics.h"
#include "textio/where_lines.h"
#include "util/text_field.h"

namespace vorna {
namespace {

// A sample whose time in the file is farther than this from the time the
// reports give it is off the even grid: 1 % of the increment, and never
// less than half the last decimal of the reports' times (F12.3), so that
// times written with few decimals and the rounding of 8-byte reals up to a
// million samples stay well inside.
double spacing_tolerance(double increment) {
  const double share = 0.01 * std::fabs(increment);
  return share > 0.0005 ? share : 0.0005;
}

// The first line of one kind of trouble, and how many lines had it.
struct Sighting {
  LineNumber count = 0;
  LineNumber line_number = 0;
  double time = 0.0;
  double other = 0.0;  // the time before it, or the time the reports give it
  char field[kTextLength];

  void see(LineNumber at_line, const char* line_field, double at_time, double other_time) {
    if (count++ > 0) return;
    line_number = at_line;
    time = at_time;
    other = other_time;
    std::memcpy(field, line_field, kTextLength);
  }
};

struct Watch {
  double window_start = 0.0;
  double window_end = 0.0;
  LineNumber data_lines = 0;
  LineNumber passed_over = 0;
  bool capacity_reached = false;
  bool stopped = false;
  LineNumber stop_line = 0;
  double stop_time = 0.0;
  bool any_time = false;
  double previous_time = 0.0;
  Sighting truth_values;
  Sighting not_increasing;
  Sighting uneven;
};

Watch g_watch;
bool g_empty_first_time = false;

// A truth value (a word starting with T or F) gives -1 or 0; only such a
// line is looked at again, out of line, so a clean file pays two compares.
bool may_hold_truth_value(double time, double value) {
  return time == 0.0 || time == -1.0 || value == 0.0 || value == -1.0;
}

// The line read again with the truth letters made numeric text, which then
// fails exactly when a truth value was read.
[[gnu::noinline]] bool read_truth_value(const char* field) {
  char probe[kTextLength];
  bool letters = false;
  for (int i = 0; i < kTextLength; ++i) {
    const char c = field[i];
    const bool truth_letter = c == 'T' || c == 't' || c == 'F' || c == 'f';
    probe[i] = truth_letter ? 'x' : c;
    letters = letters || truth_letter;
  }
  if (!letters) return false;
  double first = 0.0;
  double second = 0.0;
  double* targets[] = {&first, &second};
  return scan_numbers(probe, kTextLength, targets, 2) != ReadStatus::kOk;
}

// A comma between two digits: decimal commas, which the reader takes as
// separators.
bool has_decimal_comma(const char* field) {
  for (int i = 1; i + 1 < kTextLength; ++i) {
    if (field[i] == ',' && field[i - 1] >= '0' && field[i - 1] <= '9' && field[i + 1] >= '0' &&
        field[i + 1] <= '9') {
      return true;
    }
  }
  return false;
}

LineText& start_warning(LineText& line) { return line.add(kWarningPrefix); }

LineText& add_place(LineText& line, LineNumber line_number) {
  return line.add_name(series_file_name()).add(":").add(line_number).add(": ");
}

LineText& add_more_lines(LineText& line, LineNumber count) {
  if (count > 1) line.add(" (and ").add(count - 1).add(count > 2 ? " more lines)" : " more line)");
  return line;
}

void emit(const LineText& line) { write_run_warning(line); }

void warn_capacity() {
  if (!g_watch.capacity_reached) return;
  LineText line;
  start_warning(line).add(
      "more than 1000000 samples in the time window; only the first 1000000 are used");
  emit(line);
}

void warn_no_samples(const Series& series) {
  if (series.count > 0) return;
  const bool reversed = g_watch.window_start > g_watch.window_end;
  const bool past_end = g_watch.data_lines > 0 && !reversed && g_watch.stopped;
  LineText line;
  start_warning(line);
  if (past_end) add_place(line, g_watch.stop_line);
  line.add("no samples in the time window: ");
  if (g_watch.data_lines == 0) {
    line.add("the file holds no data lines");
  } else if (reversed) {
    line.add("the First Time ").add_real(g_watch.window_start);
    line.add(" is above the Last Time ").add_real(g_watch.window_end);
  } else if (past_end) {
    line.add("time ").add_real(g_watch.stop_time).add(" is past the Last Time ");
    line.add_real(g_watch.window_end).add(" and ends the reading");
  } else {
    line.add("all ").add(g_watch.data_lines).add(" data lines have times below the First Time ");
    line.add_real(g_watch.window_start);
  }
  line.add("; no listing file is written (one from an earlier run stays as it was)");
  emit(line);
}

void warn_passed_over() {
  if (!g_empty_first_time || g_watch.passed_over == 0) return;
  LineText line;
  start_warning(line).add(g_watch.passed_over);
  line.add(g_watch.passed_over > 1 ? " samples" : " sample");
  line.add(
      " with times below 0 passed over: an empty First Time answer is 0, not the whole "
      "series; answer -1E30 to include them");
  emit(line);
}

void warn_truth_values() {
  const Sighting& seen = g_watch.truth_values;
  if (seen.count == 0) return;
  LineText line;
  add_place(start_warning(line), seen.line_number);
  line.add("a word starting with T or F was read as a truth value (-1 or 0): ");
  line.add_quoted(seen.field, kTextLength);
  line.add("; a header line needs #, $ or ! first");
  emit(add_more_lines(line, seen.count));
}

void warn_not_increasing() {
  const Sighting& seen = g_watch.not_increasing;
  if (seen.count == 0) return;
  LineText line;
  add_place(start_warning(line), seen.line_number);
  line.add("time ").add_real(seen.time).add(" is not above the time before it, ");
  line.add_real(seen.other).add(": ").add_quoted(seen.field, kTextLength);
  line.add("; the reports assume times that increase");
  if (has_decimal_comma(seen.field)) line.add(" (a comma separates numbers: no decimal commas)");
  emit(add_more_lines(line, seen.count));
}

void warn_uneven(const Series& series) {
  const Sighting& seen = g_watch.uneven;
  if (seen.count == 0) return;
  LineText line;
  add_place(start_warning(line), seen.line_number);
  line.add("time ").add_real(seen.time).add(" is reported as ").add_real(seen.other);
  line.add(": the reports assume an even increment DT = ").add_real(series.increment);
  line.add(" (the first two samples' times)");
  emit(add_more_lines(line, seen.count));
}

}  // namespace

void watch_series_reading(double window_start, double window_end) {
  g_watch = Watch{};
  g_watch.window_start = window_start;
  g_watch.window_end = window_end;
}

void note_empty_first_time(bool empty) { g_empty_first_time = empty; }

void watch_data_line(LineNumber line_number, const char* field, double time, double value) {
  ++g_watch.data_lines;
  if (may_hold_truth_value(time, value) && read_truth_value(field)) {
    g_watch.truth_values.see(line_number, field, time, 0.0);
  }
  if (g_watch.any_time && !(time > g_watch.previous_time)) {
    g_watch.not_increasing.see(line_number, field, time, g_watch.previous_time);
  }
  g_watch.any_time = true;
  g_watch.previous_time = time;
}

void watch_passed_over() { ++g_watch.passed_over; }

void watch_accepted(LineNumber line_number, const char* field, double time, const Series& series) {
  if (series.count < 3 || !(series.increment > 0.0)) return;
  const double reported =
      sample_time(static_cast<double>(series.count), series.first_time, series.increment);
  if (std::fabs(time - reported) > spacing_tolerance(series.increment)) {
    g_watch.uneven.see(line_number, field, time, reported);
  }
}

void watch_window_end(LineNumber line_number, double time) {
  g_watch.stopped = true;
  g_watch.stop_line = line_number;
  g_watch.stop_time = time;
}

void watch_capacity_reached() { g_watch.capacity_reached = true; }

void write_series_warnings(const Series& series) {
  forget_run_warnings();
  warn_capacity();
  warn_no_samples(series);
  warn_passed_over();
  warn_truth_values();
  warn_not_increasing();
  warn_uneven(series);
}

}  // namespace vorna
