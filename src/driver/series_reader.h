// The time window dialogue and the reading of the time series file.
#pragma once

#include "analysis/series.h"
#include "driver/input_places.h"
#include "driver/series_warnings.h"
#include "runtime/failure.h"
#include "runtime/write_statement.h"

namespace vorna {

// What reading a series uses of its run: the places that name the input in
// a failure, the watch of what the reading saw, and (for the dialogue's
// questions) the run's writes.
struct SeriesInput {
  InputPlaces& places;
  SeriesWatch& watch;
  WriteTally& tally;
};

// Asks for the first and last time of the window, then reads the connected
// series file: comment lines ("$", "#" or "!" first) and blank lines are
// passed over, every other line gives a time and a value. Values whose time
// lies in the window are appended to the series; the first line past the
// window end stops the reading. A malformed line or answer is a failure,
// with a line that says where it stands.
Failure read_series(SeriesInput& input, Series& series);

// The dialogue's Last Time when its answer is left empty: the whole series.
constexpr double kWholeSeriesEnd = 1.0e30;

// Reads the data lines of the connected series file into the series for the
// window [window_start, window_end], watched from the start; no dialogue.
Failure read_series_lines(SeriesInput& input, Series& series, double window_start,
                          double window_end);

}  // namespace vorna
