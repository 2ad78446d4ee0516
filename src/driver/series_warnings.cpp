#include "driver/series_warnings.h"

#include <cmath>
#include <cstring>

#include "analysis/heights.h"
#include "driver/run_warnings.h"
#include "runtime/diagnostics.h"
#include "runtime/line_text.h"
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

using Sighting = SeriesWatch::Sighting;

// The line read again, blank padded to the line field's length as the
// field holds it, with the truth letters made numeric text: it then fails
// exactly when a truth value was read.
bool read_truth_value(const char* record, std::size_t length) {
  char probe[kTextLength];
  const std::size_t taken = length < sizeof probe ? length : sizeof probe;
  bool letters = false;
  for (std::size_t i = 0; i < taken; ++i) {
    const char c = record[i];
    const bool truth_letter = is_truth_letter(c);
    probe[i] = truth_letter ? 'x' : c;
    letters = letters || truth_letter;
  }
  if (!letters) return false;
  std::memset(probe + taken, ' ', sizeof probe - taken);
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

LineText& add_more_lines(LineText& line, LineNumber count) {
  if (count > 1) line.add(" (and ").add(count - 1).add(count > 2 ? " more lines)" : " more line)");
  return line;
}

}  // namespace

// The warning lines of one reading, each kind by its own writer.
class SeriesWarningWriter {
 public:
  SeriesWarningWriter(const SeriesWatch& watch, const Series& series, const char* series_name,
                      RunWarnings& warnings)
      : w_(watch), series_(series), series_name_(series_name), warnings_(warnings) {}

  void write_all() {
    capacity();
    no_samples();
    passed_over();
    cut_lines();
    kept_nulls();
    missing();
    truth_values();
    clock_back();
    not_increasing();
    uneven();
    gaps();
    resolution();
  }

 private:
  LineText& add_place(LineText& line, LineNumber line_number) const {
    return line.add_name(series_name_).add(":").add(line_number).add(": ");
  }
  void emit(LineText& line) { warnings_.write(line); }
  // A kind of trouble seen on lines: the first one's place, what text adds
  // about it, and how many more lines had it.
  template <typename Text>
  void warn_at_first_line(const Sighting& seen, Text text) {
    if (seen.count == 0) return;
    LineText line;
    add_place(start_warning(line), seen.line_number);
    text(line, seen);
    emit(add_more_lines(line, seen.count));
  }

  void capacity() {
    if (!w_.capacity_reached_) return;
    LineText line;
    start_warning(line).add(
        "more than 1000000 samples in the time window; only the first 1000000 are used");
    emit(line);
  }

  void no_samples() {
    if (series_.count > 0) return;
    const bool reversed = w_.window_start_ > w_.window_end_;
    const bool past_end = w_.data_lines_ > 0 && !reversed && w_.stopped_;
    LineText line;
    start_warning(line);
    if (past_end) add_place(line, w_.stop_line_);
    line.add("no samples in the time window: ");
    if (w_.data_lines_ == 0) {
      line.add("the file holds no data lines");
    } else if (reversed) {
      line.add("the First Time ").add_real(w_.window_start_);
      line.add(" is above the Last Time ").add_real(w_.window_end_);
    } else if (past_end) {
      line.add("time ").add_real(w_.stop_time_).add(" is past the Last Time ");
      line.add_real(w_.window_end_).add(" and ends the reading");
    } else {
      line.add("all ").add(w_.data_lines_).add(" data lines have times below the First Time ");
      line.add_real(w_.window_start_);
    }
    line.add("; no listing file is written (one from an earlier run stays as it was)");
    emit(line);
  }

  void passed_over() {
    if (!w_.empty_first_time_ || w_.passed_over_ == 0) return;
    LineText line;
    start_warning(line).add(w_.passed_over_);
    line.add(w_.passed_over_ > 1 ? " samples" : " sample");
    line.add(
        " with times below 0 passed over: an empty First Time answer is 0, not the whole "
        "series; answer -1E30 to include them");
    emit(line);
  }

  void truth_values() {
    warn_at_first_line(w_.truth_values_, [&](LineText& line, const Sighting& seen) {
      line.add("a word starting with T or F was read as a truth value (-1 or 0): ");
      line.add_quoted(seen.field, seen.length);
      line.add("; a header line needs #, $ or ! first");
    });
  }

  void not_increasing() {
    warn_at_first_line(w_.not_increasing_, [&](LineText& line, const Sighting& seen) {
      line.add("time ").add_real(seen.time).add(" is not above the time before it, ");
      line.add_real(seen.other).add(": ").add_quoted(seen.field, seen.length);
      line.add("; the reports assume times that increase");
      if (has_decimal_comma(seen.field, seen.length))
        line.add(" (a comma separates numbers: no decimal commas)");
    });
  }

  void uneven() {
    warn_at_first_line(w_.uneven_, [&](LineText& line, const Sighting& seen) {
      line.add("time ").add_real(seen.time).add(" is reported as ");
      line.add_real(seen.other);
      line.add(": the reports assume an even increment DT = ").add_real(series_.increment);
      line.add(" (the first two samples' times)");
    });
  }

  // Steps larger than the increment, with the file's own times: the largest.
  void gaps() {
    const Sighting& seen = w_.gaps_;
    if (seen.count == 0) return;
    LineText line;
    add_place(start_warning(line), w_.gap_line_);
    line.add("the largest gap in the times is ").add_real(w_.largest_gap_);
    line.add(" (").add_real(w_.largest_gap_ / series_.increment).add(" steps of DT = ");
    line.add_real(series_.increment).add(") after time ").add_real(w_.gap_start_);
    line.add("; the reports keep the file's times, but an extremum inside a gap is not seen");
    if (seen.count > 1) {
      line.add(" (").add(seen.count).add(" steps are longer than DT)");
    }
    emit(line);
  }

  void missing() {
    const Sighting& seen = w_.missing_;
    if (seen.count == 0) return;
    LineText line;
    add_place(start_warning(line), seen.line_number).add(seen.count);
    line.add(seen.count > 1 ? " lines" : " line").add(" with a missing time or value (an empty ");
    line.add("field, NaN, NA, N/A, null or -) left out, the first: ");
    emit(line.add_quoted(seen.field, seen.length));
  }

  void clock_back() {
    warn_at_first_line(w_.clock_back_, [&](LineText& line, const Sighting& seen) {
      line.add("the clock time goes back from the line before: taken as the next day ");
      line.add("(midnight passed): ").add_quoted(seen.field, seen.length);
    });
  }

  void cut_lines() {
    warn_at_first_line(w_.cut_lines_, [&](LineText& line, const Sighting& seen) {
      line.add("the line is longer than 256 characters and only its first 256 are read: ");
      line.add_quoted(seen.field, seen.length);
      line.add("; the command line (vorna SERIES) reads whole lines");
    });
  }

  void kept_nulls() {
    warn_at_first_line(w_.kept_nulls_, [&](LineText& line, const Sighting& seen) {
      line.add("the line gives no ").add(w_.kept_time_ ? "time" : "value");
      line.add(" (an empty field between commas, or a slash), so the one before, ");
      line.add_real(seen.other).add(", is kept: ").add_quoted(seen.field, seen.length);
    });
  }

  // Times printed with three decimals cannot tell apart samples closer than that.
  void resolution() {
    const double step = std::fabs(series_.increment);
    if (!(step > 0.0) || step >= 0.0005) return;
    double scale = 1000.0;
    while (step * scale < 0.001 && scale < 1e12) scale *= 1000.0;
    LineText line;
    start_warning(line).add("the time increment DT = ").add_real(series_.increment);
    line.add(" is under 0.0005: the reports' times have three decimals and cannot tell the ");
    line.add("samples apart; on the command line --time-scale=").add_real(scale);
    line.add(" multiplies every time by ").add_real(scale);
    emit(line);
  }

  const SeriesWatch& w_;
  const Series& series_;
  const char* series_name_;
  RunWarnings& warnings_;
};

void SeriesWatch::Sighting::see(LineNumber at_line, const char* line, std::size_t line_length,
                                double at_time, double other_time) {
  if (count++ > 0) return;
  line_number = at_line;
  time = at_time;
  other = other_time;
  length = line_length < static_cast<std::size_t>(kTextLength) ? static_cast<int>(line_length)
                                                               : kTextLength;
  std::memcpy(field, line, static_cast<std::size_t>(length));
}

SeriesWatch::SeriesWatch(double window_start, double window_end)
    : window_start_(window_start), window_end_(window_end) {}

void SeriesWatch::possible_truth_value(LineNumber line_number, const char* record,
                                       std::size_t length) {
  if (read_truth_value(record, length)) truth_values_.see(line_number, record, length, 0.0, 0.0);
}

void SeriesWatch::not_increasing(LineNumber line_number, const char* record, std::size_t length,
                                 double time) {
  not_increasing_.see(line_number, record, length, time, previous_time_);
}

void SeriesWatch::kept_null(LineNumber line_number, const char* record, std::size_t length,
                            bool time, double kept) {
  if (kept_nulls_.count == 0) kept_time_ = time;
  kept_nulls_.see(line_number, record, length, 0.0, kept);
}

void SeriesWatch::start_spacing(double increment) {
  spacing_checked_ = increment > 0.0;
  spacing_tolerance_ = spacing_tolerance(increment);
}

void SeriesWatch::gap(LineNumber line_number, const char* record, std::size_t length, double step,
                      double before) {
  gaps_.see(line_number, record, length, step, 0.0);
  if (step > largest_gap_) {
    largest_gap_ = step;
    gap_line_ = line_number;
    gap_start_ = before;
  }
}

void SeriesWatch::uneven(LineNumber line_number, const char* record, std::size_t length,
                         double time, double reported) {
  uneven_.see(line_number, record, length, time, reported);
}

void SeriesWatch::window_end(LineNumber line_number, double time) {
  stopped_ = true;
  stop_line_ = line_number;
  stop_time_ = time;
}

void SeriesWatch::write_warnings(const Series& series, const char* series_name,
                                 RunWarnings& warnings) const {
  SeriesWarningWriter(*this, series, series_name, warnings).write_all();
}

}  // namespace vorna
