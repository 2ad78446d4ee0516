// What the series reader saw that would make the reports mislead (data
// dropped, times uneven or not increasing, numbers read from words, nothing
// in the window), and the warning lines that say so once the series is read.
#pragma once

#include <cmath>
#include <cstddef>

#include "analysis/heights.h"
#include "analysis/series.h"
#include "runtime/line_text.h"
#include "text/text_field.h"

namespace vorna {

class RunWarnings;

// The reader's observations, in the order it reads. One watch serves one
// reading, for the window given.
class SeriesWatch {
 public:
  SeriesWatch(double window_start, double window_end);

  // Whether the First Time answer was empty (it then means 0).
  void note_empty_first_time(bool empty) { empty_first_time_ = empty; }
  // The checks every data line gets are inline, made in the reader's own
  // loop; only a line that shows trouble is handed on to be kept. Lines are
  // records of length bytes: a dialogue line counts up to the line field's
  // 256 characters (its warning shows no trailing blanks either way).
  // Every data line (both readers), with its time: times must increase.
  void data_line(LineNumber line_number, const char* record, std::size_t length, double time) {
    if (data_lines_++ > 0 && !(time > previous_time_)) {
      not_increasing(line_number, record, length, time);
    }
    previous_time_ = time;
  }
  // A dialogue data line whose time or value is 0 or -1 may hold a truth
  // value (a word starting with T or F); the line is read again to tell.
  static bool may_hold_truth_value(double time, double value) {
    return time == 0.0 || time == -1.0 || value == 0.0 || value == -1.0;
  }
  void possible_truth_value(LineNumber line_number, const char* record, std::size_t length);
  // A data line below the window start, passed over.
  void passed_over() { ++passed_over_; }
  // A sample just accepted as the series' last: from the third on, with an
  // increment above 0, its time must lie on the even grid, or with the
  // file's own times follow the one before by no more than the increment
  // (a gap).
  void accepted(LineNumber line_number, const char* record, std::size_t length, double time,
                const Series& series) {
    const int count = series.count;
    if (count <= 2) {
      if (count == 2) start_spacing(series.increment);
      return;
    }
    if (!spacing_checked_) return;
    if (series.file_times) {
      const double before = series.times[count - 2];
      const double step = time - before;
      if (step - series.increment > spacing_tolerance_) {
        gap(line_number, record, length, step, before);
      }
      return;
    }
    const double reported =
        sample_time(static_cast<double>(count), series.first_time, series.increment);
    if (std::fabs(time - reported) > spacing_tolerance_) {
      uneven(line_number, record, length, time, reported);
    }
  }
  // A table's line left out for a missing time or value.
  void missing_value(LineNumber line_number, const char* record, std::size_t length) {
    missing_.see(line_number, record, length, 0.0, 0.0);
  }
  // A clock time below the one before it, taken as the next day.
  void clock_back(LineNumber line_number, const char* record, std::size_t length) {
    clock_back_.see(line_number, record, length, 0.0, 0.0);
  }
  // The dialogue's data lines: one longer than the line field (cut), and
  // one that gave no time or value, so that the previous one (kept) stands.
  void cut_line(LineNumber line_number, const char* field) {
    cut_lines_.see(line_number, field, 0.0, 0.0);
  }
  void kept_null(LineNumber line_number, const char* record, std::size_t length, bool time,
                 double kept);
  // The data line past the window end that stopped the reading.
  void window_end(LineNumber line_number, double time);
  // A sample in the window that the full series could not take.
  void capacity_reached() { capacity_reached_ = true; }

  // Writes one "vorna: warning: " line for each kind of trouble seen (at
  // most one a kind, with a count of further lines), kept with the run's
  // warnings; series_name names the file in them. Called once the series
  // is read, before any report.
  void write_warnings(const Series& series, const char* series_name, RunWarnings& warnings) const;

  // The first line of one kind of trouble, and how many lines had it.
  struct Sighting {
    LineNumber count = 0;
    LineNumber line_number = 0;
    double time = 0.0;
    double other = 0.0;  // the time before it, or the time the reports give it
    char field[kTextLength];
    int length = 0;  // of the line, up to kTextLength

    void see(LineNumber at_line, const char* line, std::size_t line_length, double at_time,
             double other_time);
    void see(LineNumber at_line, const char* line_field, double at_time, double other_time) {
      see(at_line, line_field, kTextLength, at_time, other_time);
    }
  };

 private:
  friend class SeriesWarningWriter;

  // The rare lines the inline checks hand on.
  void not_increasing(LineNumber line_number, const char* record, std::size_t length, double time);
  void start_spacing(double increment);
  void gap(LineNumber line_number, const char* record, std::size_t length, double step,
           double before);
  void uneven(LineNumber line_number, const char* record, std::size_t length, double time,
              double reported);

  double window_start_;
  double window_end_;
  bool empty_first_time_ = false;
  LineNumber data_lines_ = 0;
  LineNumber passed_over_ = 0;
  bool capacity_reached_ = false;
  bool stopped_ = false;
  LineNumber stop_line_ = 0;
  double stop_time_ = 0.0;
  double previous_time_ = 0.0;
  // Known once two samples give the increment.
  bool spacing_checked_ = false;
  double spacing_tolerance_ = 0.0;
  Sighting truth_values_;
  Sighting not_increasing_;
  Sighting uneven_;
  // With the file's own times: the largest step beyond the increment (its
  // time is the step, other the time before it).
  Sighting gaps_;
  double largest_gap_ = 0.0;
  LineNumber gap_line_ = 0;
  double gap_start_ = 0.0;
  Sighting missing_;
  Sighting clock_back_;
  Sighting cut_lines_;
  Sighting kept_nulls_;
  bool kept_time_ = false;  // the first kept null was the time, not the value
};

}  // namespace vorna
