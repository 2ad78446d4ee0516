// The listing file, the console summary and the print file.
#pragma once

#include "analysis/series.h"

namespace vorna {

// Writes the listing file and closes it, prints the number of steps and the
// simulation length, runs the analysis, writes the print file's header
// block, prints the maximum height and its time, writes the extremum table,
// and stops the run. header_line is the 256-character date stamp line.
[[noreturn]] void write_reports(const Series& series, const char* header_line);

}  // namespace vorna
