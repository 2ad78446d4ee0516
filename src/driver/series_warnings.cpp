#include "driver/series_warnings.h"

#include <cmath>
#include <cstring>

#include "analysis/heights.h"
#include "driver/input_places.h"
#include "driver/run_warnings.h"
#include "runtime/diagnostics.h"
#include "runtime/where_lines.h"
#include "text/number_reader.h"
#include "text/text_field.h"

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
  int length = 0;  // of the line, up to kTextLength

  void see(LineNumber at_line, const char* line, std::size_t line_length, double at_time,
           double other_time) {
    if (count++ > 0) return;
    line_number = at_line;
    time = at_time;
    other = other_time;
    length = line_length < static_cast<std::size_t>(kTextLength) ? static_cast<int>(line_length)
                                                                 : kTextLength;
    std::memcpy(field, line, static_cast<std::size_t>(length));
  }
  void see(LineNumber at_line, const char* line_field, double at_time, double other_time) {
    see(at_line, line_field, kTextLength, at_time, other_time);
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
  // With the file's own times: the largest step beyond the increment (its
  // time is the step, other the time before it).
  Sighting gaps;
  double largest_gap = 0.0;
  LineNumber gap_line = 0;
  double gap_start = 0.0;
  Sighting missing;
  Sighting clock_back;
  Sighting cut_lines;
  Sighting kept_nulls;
  bool kept_time = false;  // the first kept null was the time, not the value
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
    const bool truth_letter = is_truth_letter(c);
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
bool has_decimal_comma(const char* field, int length) {
  for (int i = 1; i + 1 < length; ++i) {
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
  line.add_quoted(seen.field, seen.length);
  line.add("; a header line needs #, $ or ! first");
  emit(add_more_lines(line, seen.count));
}

void warn_not_increasing() {
  const Sighting& seen = g_watch.not_increasing;
  if (seen.count == 0) return;
  LineText line;
  add_place(start_warning(line), seen.line_number);
  line.add("time ").add_real(seen.time).add(" is not above the time before it, ");
  line.add_real(seen.other).add(": ").add_quoted(seen.field, seen.length);
  line.add("; the reports assume times that increase");
  if (has_decimal_comma(seen.field, seen.length))
    line.add(" (a comma separates numbers: no decimal commas)");
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

// Steps larger than the increment, with the file's own times: the largest.
void warn_gaps(const Series& series) {
  const Sighting& seen = g_watch.gaps;
  if (seen.count == 0) return;
  LineText line;
  add_place(start_warning(line), g_watch.gap_line);
  line.add("the largest gap in the times is ").add_real(g_watch.largest_gap);
  line.add(" (").add_real(g_watch.largest_gap / series.increment).add(" steps of DT = ");
  line.add_real(series.increment).add(") after time ").add_real(g_watch.gap_start);
  line.add("; the reports keep the file's times, but an extremum inside a gap is not seen");
  if (seen.count > 1) {
    line.add(" (").add(seen.count).add(" steps are longer than DT)");
  }
  emit(line);
}

void warn_missing() {
  const Sighting& seen = g_watch.missing;
  if (seen.count == 0) return;
  LineText line;
  add_place(start_warning(line), seen.line_number).add(seen.count);
  line.add(seen.count > 1 ? " lines" : " line").add(" with a missing time or value (an empty ");
  line.add("field, NaN, NA, N/A, null or -) left out, the first: ");
  emit(line.add_quoted(seen.field, seen.length));
}

void warn_clock_back() {
  const Sighting& seen = g_watch.clock_back;
  if (seen.count == 0) return;
  LineText line;
  add_place(start_warning(line), seen.line_number);
  line.add("the clock time goes back from the line before: taken as the next day ");
  line.add("(midnight passed): ").add_quoted(seen.field, seen.length);
  emit(add_more_lines(line, seen.count));
}

void warn_cut_lines() {
  const Sighting& seen = g_watch.cut_lines;
  if (seen.count == 0) return;
  LineText line;
  add_place(start_warning(line), seen.line_number);
  line.add("the line is longer than 256 characters and only its first 256 are read: ");
  line.add_quoted(seen.field, seen.length);
  line.add("; the command line (vorna SERIES) reads whole lines");
  emit(add_more_lines(line, seen.count));
}

void warn_kept_nulls() {
  const Sighting& seen = g_watch.kept_nulls;
  if (seen.count == 0) return;
  LineText line;
  add_place(start_warning(line), seen.line_number);
  line.add("the line gives no ").add(g_watch.kept_time ? "time" : "value");
  line.add(" (an empty field between commas, or a slash), so the one before, ");
  line.add_real(seen.other).add(", is kept: ").add_quoted(seen.field, seen.length);
  emit(add_more_lines(line, seen.count));
}

// Times printed with three decimals cannot tell apart samples closer than that.
void warn_resolution(const Series& series) {
  const double step = std::fabs(series.increment);
  if (!(step > 0.0) || step >= 0.0005) return;
  double scale = 1000.0;
  while (step * scale < 0.001 && scale < 1e12) scale *= 1000.0;
  LineText line;
  start_warning(line).add("the time increment DT = ").add_real(series.increment);
  line.add(" is under 0.0005: the reports' times have three decimals and cannot tell the ");
  line.add("samples apart; on the command line --time-scale=").add_real(scale);
  line.add(" multiplies every time by ").add_real(scale);
  emit(line);
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

void watch_table_line(LineNumber line_number, const char* record, std::size_t length, double time) {
  ++g_watch.data_lines;
  if (g_watch.any_time && !(time > g_watch.previous_time)) {
    g_watch.not_increasing.see(line_number, record, length, time, g_watch.previous_time);
  }
  g_watch.any_time = true;
  g_watch.previous_time = time;
}

void watch_missing_value(LineNumber line_number, const char* record, std::size_t length) {
  g_watch.missing.see(line_number, record, length, 0.0, 0.0);
}

void watch_clock_back(LineNumber line_number, const char* record, std::size_t length) {
  g_watch.clock_back.see(line_number, record, length, 0.0, 0.0);
}

void watch_cut_line(LineNumber line_number, const char* field) {
  g_watch.cut_lines.see(line_number, field, 0.0, 0.0);
}

void watch_kept_null(LineNumber line_number, const char* field, bool time, double kept) {
  if (g_watch.kept_nulls.count == 0) g_watch.kept_time = time;
  g_watch.kept_nulls.see(line_number, field, 0.0, kept);
}

void watch_accepted(LineNumber line_number, const char* field, std::size_t length, double time,
                    const Series& series) {
  if (series.count < 3 || !(series.increment > 0.0)) return;
  if (series.file_times) {
    const double step = time - series.times[series.count - 2];
    if (step - series.increment > spacing_tolerance(series.increment)) {
      g_watch.gaps.see(line_number, field, length, step, 0.0);
      if (step > g_watch.largest_gap) {
        g_watch.largest_gap = step;
        g_watch.gap_line = line_number;
        g_watch.gap_start = series.times[series.count - 2];
      }
    }
    return;
  }
  const double reported =
      sample_time(static_cast<double>(series.count), series.first_time, series.increment);
  if (std::fabs(time - reported) > spacing_tolerance(series.increment)) {
    g_watch.uneven.see(line_number, field, length, time, reported);
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
  warn_cut_lines();
  warn_kept_nulls();
  warn_missing();
  warn_truth_values();
  warn_clock_back();
  warn_not_increasing();
  warn_uneven(series);
  warn_gaps(series);
  warn_resolution(series);
}

}  // namespace vorna
