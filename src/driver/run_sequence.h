// The program's run: the files and the window from the dialogue (banner and
// questions) or from the command line, then the series, the reports and the
// stop. A run is an object: nothing of it outlives it, so one process may
// make several runs, one after the other.
#pragma once

#include "analysis/series.h"
#include "driver/command_line.h"
#include "driver/input_places.h"
#include "driver/run_warnings.h"
#include "driver/series_warnings.h"
#include "runtime/failure.h"
#include "runtime/write_statement.h"
#include "text/text_field.h"

namespace vorna {

// One run's state, passed to the parts that read, analyse and report. Its
// failure's texts live here, so it outlives the failure until end_program.
struct Run {
  RunSettings settings;
  // The sample and extremum arrays, allocated once for the run.
  RunStorage storage;
  InputPlaces places;
  SeriesWatch watch{0.0, 0.0};
  RunWarnings warnings;
  WriteTally tally;
  char header_line[kTextLength] = {};
  char print_file_name[kTextLength] = {};
  char series_file_name[kTextLength] = {};
  // A wrong command line's problem.
  char problem[512] = {};
};

// Makes the run the arguments ask for: the dialogue without any, --help or
// --version, or a run from the command line. Returns the failure that ends
// it, or none for the normal stop.
Failure run_program(Run& run, int argc, char* argv[]);

// Ends the run as main does: the usage error of a wrong command line
// (status 2), else end_run. Returns the exit status.
int end_program(const Failure& failure);

}  // namespace vorna
