// What the extremum table says about the reports: a maximum height that
// noise decides, or no height at all. Written after the series' warnings,
// before any report.
#pragma once

#include "analysis/series.h"
#include "driver/command_line.h"

namespace vorna {

// The note that the reversal filter made the table (with --hysteresis),
// then at most one warning of each kind, kept with the run's warnings.
void write_extremum_notes(const Series& series, const ExtremumTable& extrema,
                          const RunSettings& settings);

}  // namespace vorna
