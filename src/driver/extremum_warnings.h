// What the extremum table says about the reports: a maximum height that
// small reversals decide, a swing at an end of the record larger than it, or
// no height at all. Written after the series' warnings, before any report.
#pragma once

#include "analysis/reversals.h"
#include "analysis/series.h"
#include "driver/command_line.h"
#include "driver/run_warnings.h"

namespace vorna {

// The note that the reversal filter made the table (with --hysteresis),
// then at most one warning of each kind, kept with the run's warnings.
// spread is measure_spread of the series' values.
void write_extremum_notes(const Series& series, const ExtremumTable& extrema,
                          const ValueSpread& spread, const RunSettings& settings,
                          RunWarnings& warnings);

}  // namespace vorna
