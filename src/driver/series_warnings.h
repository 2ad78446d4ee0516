// What the series reader saw that would make the reports mislead (data
// dropped, times uneven or not increasing, numbers read from words, nothing
// in the window), and the warning lines that say so once the series is read.
#pragma once

#include "analysis/series.h"
#include "textio/where_lines.h"

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
// A data line just accepted as the series' last sample.
void watch_accepted(LineNumber line_number, const char* field, double time, const Series& series);
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
