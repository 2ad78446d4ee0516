// The listing file, the console summary and the print file.
#pragma once

#include "analysis/series.h"
#include "driver/command_line.h"
#include "driver/table_reader.h"
#include "runtime/units.h"

namespace vorna {

// Runs the analysis (the reversals with a band for --hysteresis) and writes
// its notes and warnings, writes the listing file and closes it, prints the
// number of steps and the simulation length, writes the print file's header
// block, prints the maximum height and its time, writes the extremum table,
// and stops the run. header_line is the 256-character date stamp line. The
// settings give the summary's form and, for a run from the command line,
// the listing file's name and the names the JSON summary shows; table, for
// such a run, what the JSON shows of its table. The times are the series'
// own (file_times) or the even grid. extrema is the run's table, filled here.
[[noreturn]] void write_reports(const Series& series, const ExtremumTable& extrema,
                                const char* header_line, const RunSettings& settings,
                                const TableFacts* table);

// A file named on the command line is connected at once, or its diagnostic
// ends the run: there is nobody to ask again.
void connect_named_file(int unit, const char* name, OpenStatus status);

}  // namespace vorna
