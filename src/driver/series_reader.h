// The time window dialogue and the reading of the time series file.
#pragma once

#include "analysis/series.h"

namespace vorna {

// Asks for the first and last time of the window, then reads the connected
// series file: comment lines ("$", "#" or "!" first) and blank lines are
// passed over, every other line gives a time and a value. Values whose time
// lies in the window are appended to the series; the first line past the
// window end stops the reading. A malformed line or answer ends the run,
// with a line that says where it stands.
void read_series(Series& series);

// Reads the data lines of the connected series file into the series for the
// window [window_start, window_end]; no dialogue.
void read_series_lines(Series& series, double window_start, double window_end);

}  // namespace vorna
