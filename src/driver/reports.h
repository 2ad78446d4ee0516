// The listing file, the console summary and the print file.
#pragma once

#include "analysis/series.h"
#include "driver/command_line.h"
#include "driver/input_places.h"
#include "driver/run_warnings.h"
#include "driver/table_reader.h"
#include "runtime/failure.h"
#include "runtime/unit_table.h"
#include "runtime/write_statement.h"

namespace vorna {

// What the reports are made of: the series read, the settings, and the
// run's warnings and writes.
struct ReportInput {
  const Series& series;
  // The 256-character date stamp line.
  const char* header_line;
  // The summary's form and, for a run from the command line, the listing
  // file's name and the names the JSON summary shows.
  const RunSettings& settings;
  // For a run from the command line, what the JSON shows of its table;
  // null for the dialogue's.
  const TableFacts* table;
  RunWarnings& warnings;
  WriteTally& tally;
};

// Runs the analysis (the reversals with a band for --hysteresis) and writes
// its notes and warnings, writes the listing file and closes it, prints the
// number of steps and the simulation length, writes the print file's header
// block, prints the maximum height and its time, writes the extremum table,
// and closes the print file. The times are the series' own (file_times) or
// the even grid. extrema is the run's table (its arrays from the run's
// storage), filled here. Returns the failure that ends the run, or none for
// the normal stop.
Failure write_reports(const ReportInput& input, ExtremumTable extrema);

// A file named on the command line is connected at once, or its diagnostic
// is the failure that ends the run: there is nobody to ask again.
Failure connect_named_file(InputPlaces& places, int unit, const char* name, OpenStatus status);

}  // namespace vorna
