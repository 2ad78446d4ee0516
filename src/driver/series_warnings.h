// What the series reader saw that would make the reports mislead (data
// dropped, times uneven or not increasing, numbers read from words, nothing
// in the window), and the warning lines that say so once the series is read.
#pragma once

#include <cstddef>

#include "analysis/series.h"
#include "runtime/where_lines.h"

namespace vorna {

// The reader's observations, in the order it reads. watch_series_reading
// starts a new reading for the window and forgets the last one's.
void watch_series_reading(double window_start, double window_end);
// Whether the First Time answer was empty (it then means 0); kept until the
// next call.
void note_empty_first_time(bool empty);
// Every data line, with the numbers it gave.
void watch_data_line(LineNumber line_number, const char* field, double time, double value);
// A data line below the window start, passed over.
void watch_passed_over();
// A data line (length bytes) just accepted as the series' last sample: off
// the even grid, or with the file's own times a step longer than the
// increment (a gap).
void watch_accepted(LineNumber line_number, const char* field, std::size_t length, double time,
                    const Series& series);
// A table's data line (the command line), with its time: a table has no
// truth values.
void watch_table_line(LineNumber line_number, const char* record, std::size_t length, double time);
// A table's line left out for a missing time or value.
void watch_missing_value(LineNumber line_number, const char* record, std::size_t length);
// A clock time below the one before it, taken as the next day.
void watch_clock_back(LineNumber line_number, const char* record, std::size_t length);
// The dialogue's data lines: one longer than the line field (cut), and one
// that gave no time or value, so that the previous one (kept) stands.
void watch_cut_line(LineNumber line_number, const char* field);
void watch_kept_null(LineNumber line_number, const char* field, bool time, double kept);
// The data line past the window end that stopped the reading.
void watch_window_end(LineNumber line_number, double time);
// A sample in the window that the full series could not take.
void watch_capacity_reached();

// Writes one "vorna: warning: " line for each kind of trouble seen (at most
// one a kind, with a count of further lines) and keeps their texts for
// run_warning_text, in place of those of an earlier reading. Called once the
// series is read, before any report.
void write_series_warnings(const Series& series);

}  // namespace vorna
