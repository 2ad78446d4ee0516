// The command line. Without arguments the program is the console dialogue;
// with a SERIES it makes one run without questions, its files and window
// given by options; --help (-h) and --version (-V) are answered at once.
#pragma once

#include <limits.h>

#include <limits>

#include "text/time_stamps.h"

namespace vorna {

// What the console shows of a run's result.
enum class SummaryForm {
  kLines,  // the four summary lines
  kNone,   // nothing (--quiet)
  kJson,   // one JSON object (--json)
};

// How a run from the command line reads its series as a table.
struct TableSettings {
  char delimiter = 0;              // -d; 0: as the first line shows
  const char* time_column = "1";   // -t: a 1-based number or a header name
  const char* value_column = "2";  // -c
  bool decimal_comma = false;      // --decimal-comma
  bool grid_times = false;         // --times=grid: the dialogue's even grid
  bool time_scale_given = false;   // --time-scale
  double time_scale = 1.0;         // every time is multiplied by it
  // --from and --to as given, read into the window once every option is
  // known; a window end may be a date or clock time instead of a number.
  const char* start_text = nullptr;
  const char* end_text = nullptr;
  bool start_is_stamp = false;
  bool end_is_stamp = false;
  TimeStamp start_stamp;
  TimeStamp end_stamp;
};

// How a run gets its files and window: from the dialogue, or from the
// command line. The names point into the program's arguments or into the
// default names' storage below, so a copy's names may be the original's.
struct RunSettings {
  bool dialogue = true;
  const char* series_name = nullptr;   // as given; "-" is standard input
  const char* series_path = nullptr;   // the file opened for it
  const char* print_name = nullptr;    // -o, or the series' base name with .prt
  const char* listing_name = nullptr;  // -l, FORT36's name, or base.lst; null: dialogue
  // --from, --to: one number each (in the --time-scale unit); the whole
  // series without them.
  double window_start = -std::numeric_limits<double>::infinity();
  double window_end = std::numeric_limits<double>::infinity();
  SummaryForm summary = SummaryForm::kLines;
  // --hysteresis: the extrema are the reversals kept by a band of this
  // height (0 or more) instead of every interior turn.
  bool reversal_filter = false;
  double hysteresis = 0.0;
  // --cycles: rainflow counting of the extrema into the cycle file
  // (--cycle-file, null: the series' base name with .cyc); --cycle-ends
  // counts the record's first and last samples as points too; --slope (more
  // than 0) adds the damage-equivalent range.
  bool cycles = false;
  const char* cycle_name = nullptr;
  bool cycle_ends = false;
  double slope = 0.0;
  // --waves: zero down-crossing waves into the wave file (--wave-file, null:
  // the base name with .wav), about --level or else the record's mean.
  bool waves = false;
  const char* wave_name = nullptr;
  bool level_given = false;
  double level = 0.0;
  TableSettings table;
  // The default names: the series' base name, which names one file in a
  // folder, and its suffix; or the name FORT36 gives.
  char default_print_name[NAME_MAX + 8] = "";
  char default_listing_name[PATH_MAX + 1] = "";
};

enum class CommandLineRequest { kDialogue, kRun, kHelp, kVersion, kUsageError };

// Reads the arguments into settings. For kUsageError, problem holds the
// line that names it (without the program's name and line end). argv may
// be reordered: options may follow the SERIES.
CommandLineRequest read_command_line(int argc, char* argv[], RunSettings& settings, char* problem,
                                     int problem_size);

// The name of a series without its folders and its last extension
// ("data/wave.txt" is "wave"; "-" is "stdin") with suffix appended, into
// out (size bytes, cut when longer).
void series_base_name(const char* series, const char* suffix, char* out, int size);

// What --help and --version write on standard output.
extern const char kUsageText[];
extern const char kVersionText[];

}  // namespace vorna
