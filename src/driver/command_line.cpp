#include "driver/command_line.h"

#include <getopt.h>
#include <limits.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>

#include "system/usage_error.h"
#include "text/formatted_text.h"
#include "text/run_files.h"
#include "text/strict_number.h"
#include "text/text_field.h"
#include "text/time_stamps.h"

namespace vorna {

const char kUsageText[] =
    "Usage: vorna\n"
    "  or:  vorna [OPTION]... SERIES\n"
    "\n"
    "Finds the local maxima and minima of one time series, the height between\n"
    "every two successive extrema, and the largest height and its time.\n"
    "\n"
    "Without arguments, after a banner it asks four questions on standard input,\n"
    "one line each:\n"
    "  Give output file for misc print     the print file to write\n"
    "  Give file containing Time Series    the time series file to read\n"
    "  First Time                          start of the window (empty: 0)\n"
    "  Last Time                           end of the window (empty: 1.0E+30)\n"
    "\n"
    "With a SERIES file it makes one run without banner and questions; a SERIES\n"
    "of - is standard input (base name stdin).\n"
    "  -o, --print=FILE     the print file (default: the base name of SERIES\n"
    "                       with .prt, in the working directory)\n"
    "  -l, --listing=FILE   the listing file (default: FORT36 when it is set,\n"
    "                       else the base name of SERIES with .lst)\n"
    "      --from=TIME      first time of the window (default: none)\n"
    "      --to=TIME        last time of the window (default: none)\n"
    "  -t, --time-column=COLUMN  the column of the times (default: 1)\n"
    "  -c, --column=COLUMN  the column of the values (default: 2); a COLUMN is\n"
    "                       its number from 1, or its name in the header line\n"
    "  -d, --delimiter=C    the character between fields: a comma, semicolon,\n"
    "                       tab (or 'tab'), or a blank for runs of blanks (default:\n"
    "                       the first data or header line's)\n"
    "      --decimal-comma  numbers are written 0,25 (the delimiter is then not\n"
    "                       a comma)\n"
    "      --times=WHICH    file: each sample's own time from the file (default);\n"
    "                       grid: the dialogue's even grid from the first two\n"
    "                       times\n"
    "      --time-scale=K   multiply every time by K (1000: milliseconds); the\n"
    "                       window's TIME numbers are then in that unit too\n"
    "  -q, --quiet          no summary on standard output\n"
    "      --json           the summary as one JSON object on standard output\n"
    "      --hysteresis=H   extrema are the reversals that the series moves back\n"
    "                       from by at least H (0 or more), for noisy records\n"
    "      --cycles         count the load cycles between the extrema (rainflow)\n"
    "                       into a cycle file, the base name of SERIES with .cyc\n"
    "      --cycle-file=F   the cycle file (and --cycles)\n"
    "      --cycle-ends     the first and last samples count as turns too\n"
    "                       (and --cycles)\n"
    "      --slope=M        the damage-equivalent range for slope M (more than 0)\n"
    "                       (and --cycles)\n"
    "      --waves          zero down-crossing waves into a wave file, the base\n"
    "                       name of SERIES with .wav; with --hysteresis=H a\n"
    "                       crossing goes from H/2 above the level to H/2 below\n"
    "      --wave-file=F    the wave file (and --waves)\n"
    "      --level=Z        the level the waves cross (default: the mean value)\n"
    "                       (and --waves)\n"
    "  -h, --help           show this text and exit\n"
    "  -V, --version        show the version and exit\n"
    "A FILE of - is standard output. Names are used exactly as given.\n"
    "The base name drops the folders and the last extension. A TIME, H, M or Z\n"
    "is one number and nothing else (2.5, -1E3, 1.0D1); for a time column of\n"
    "dates or clock times a TIME may also be an ISO 8601 date-time, date or clock\n"
    "time (2024-03-05T14:00:10, 2024-03-05, 14:00:10), and a number there counts\n"
    "seconds from the file's first time. Without --from and --to the window is\n"
    "the whole series.\n"
    "\n"
    "With a SERIES the file is read as a table: lines that start with #, $ or !\n"
    "are comments; a first line that is not all numbers names the columns; a\n"
    "time column may hold ISO 8601 date-times, dates or clock times, read as\n"
    "seconds after the first sample; a line whose time or value is empty, NaN,\n"
    "NA, N/A, null or - is left out.\n"
    "\n"
    "It writes a four-line summary on standard output, the print file (a header\n"
    "block and one line per extremum) and the listing file (one line per sample).\n"
    "In the dialogue the listing file is named by the environment variable\n"
    "FORT36, or fort.36 when it is unset. Every line of the three ends with CR LF.\n"
    "\n"
    "Standard error: a numbered diagnostic \"vorna: severe (59): ...\" ends the run;\n"
    "after one caused by a data line or an answer, \"vorna: FILE:LINE: TEXT\" or\n"
    "\"vorna: (standard input):LINE: TEXT\" says where. \"vorna: warning: ...\" lines\n"
    "(uneven or decreasing times, truth values, no samples, samples passed over\n"
    "or dropped, heights decided by noise, fewer than two extrema, no cycles or\n"
    "no waves) change nothing else: outputs and exit status stay the same.\n"
    "\n"
    "Exit status:\n"
    "  0                  the run finished\n"
    "  2                  a wrong command line\n"
    "  9, 22, 24, 29, 30, 38, 39, 41, 43, 47, 59, 64, 66\n"
    "                     a severe diagnostic ended the run (its number)\n"
    "  129, 130, 131, 143 SIGHUP, SIGINT, SIGQUIT or SIGTERM ended the run\n"
    "\n"
    "Examples:\n"
    "  vorna data/wave.txt       write wave.prt and wave.lst here, show the summary\n"
    "  for f in data/*.txt; do vorna -q \"$f\" || echo \"$f: failed\"; done\n"
    "\n"
    "Manual: man vorna (after make install), or man ./doc/vorna.1 in the sources.\n";

const char kVersionText[] = "vorna 1.0\n";

namespace {

// Values of the options that have no short form.
enum : int {
  kFromOption = 256,
  kToOption,
  kJsonOption,
  kHysteresisOption,
  kDecimalCommaOption,
  kTimesOption,
  kTimeScaleOption,
  kCyclesOption,
  kCycleFileOption,
  kCycleEndsOption,
  kSlopeOption,
  kWavesOption,
  kWaveFileOption,
  kLevelOption,
};

const option kOptions[] = {
    {"print", required_argument, nullptr, 'o'},
    {"listing", required_argument, nullptr, 'l'},
    {"from", required_argument, nullptr, kFromOption},
    {"to", required_argument, nullptr, kToOption},
    {"quiet", no_argument, nullptr, 'q'},
    {"json", no_argument, nullptr, kJsonOption},
    {"hysteresis", required_argument, nullptr, kHysteresisOption},
    {"time-column", required_argument, nullptr, 't'},
    {"column", required_argument, nullptr, 'c'},
    {"delimiter", required_argument, nullptr, 'd'},
    {"decimal-comma", no_argument, nullptr, kDecimalCommaOption},
    {"times", required_argument, nullptr, kTimesOption},
    {"time-scale", required_argument, nullptr, kTimeScaleOption},
    {"cycles", no_argument, nullptr, kCyclesOption},
    {"cycle-file", required_argument, nullptr, kCycleFileOption},
    {"cycle-ends", no_argument, nullptr, kCycleEndsOption},
    {"slope", required_argument, nullptr, kSlopeOption},
    {"waves", no_argument, nullptr, kWavesOption},
    {"wave-file", required_argument, nullptr, kWaveFileOption},
    {"level", required_argument, nullptr, kLevelOption},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};
// The leading colon tells a missing value apart from an unknown option.
const char kShortOptions[] = ":o:l:t:c:d:qhV";

// "-" names standard output.
const char* output_name(const char* name) {
  return std::strcmp(name, "-") == 0 ? "/dev/stdout" : name;
}

// One number, the whole text; with decimal commas the comma is the decimal
// mark and a point is refused.
bool read_window_number(const char* text, bool decimal_comma, double& value) {
  if (!decimal_comma) return read_strict_number(text, value);
  char copy[128];
  const std::size_t length = std::strlen(text);
  if (length >= sizeof copy || std::strchr(text, '.') != nullptr) return false;
  for (std::size_t i = 0; i <= length; ++i) copy[i] = text[i] == ',' ? '.' : text[i];
  return read_strict_number(copy, value);
}

// --from or --to: one number, or an ISO 8601 date-time, date or clock time.
bool read_window_end(const char* option, const char* text, bool decimal_comma, double& number,
                     bool& is_stamp, TimeStamp& stamp, char* problem, int size) {
  if (read_window_number(text, decimal_comma, number)) return true;
  const char* end = text + std::strlen(text);
  const StampReading reading = read_time_stamp(text, end, stamp);
  if (reading == StampReading::kStamp) {
    is_stamp = true;
    return true;
  }
  const char* why = "a number, or an ISO 8601 date-time, date or clock time";
  if (reading == StampReading::kOutOfRange) {
    why = "a date or time of day that does not exist";
  } else if (reading == StampReading::kTooFine) {
    why = "more than six decimals of a second";
  } else if (reading == StampReading::kOtherDateForm || looks_like_date(text, end)) {
    why = "write dates in ISO 8601: 2024-03-05, 2024-03-05T14:00:00.250";
  } else if (!decimal_comma && read_window_number(text, true, number)) {
    why = "a decimal comma needs --decimal-comma";
  }
  format_text(problem, static_cast<std::size_t>(size), "invalid time for --%s: '%s' (%s)", option,
              text, why);
  return false;
}

// -d: one character, or the word tab; a blank stands for runs of blanks.
bool read_delimiter(const char* text, char& delimiter) {
  if (std::strcmp(text, "tab") == 0 || std::strcmp(text, "\\t") == 0) {
    delimiter = '\t';
    return true;
  }
  if (std::strlen(text) != 1) return false;
  delimiter = text[0];
  const bool digit_or_sign = (delimiter >= '0' && delimiter <= '9') || delimiter == '+' ||
                             delimiter == '-' || delimiter == '.' || delimiter == '"';
  return !digit_or_sign && (delimiter == '\t' || static_cast<unsigned char>(delimiter) >= 32);
}

// The table options that need the others: read once every option is known.
bool finish_table_settings(RunSettings& settings, char* problem, int size) {
  TableSettings& table = settings.table;
  if (table.decimal_comma && table.delimiter == ',') {
    format_text(problem, static_cast<std::size_t>(size),
                "--delimiter=, cannot go with --decimal-comma");
    return false;
  }
  if (table.start_text != nullptr &&
      !read_window_end("from", table.start_text, table.decimal_comma, settings.window_start,
                       table.start_is_stamp, table.start_stamp, problem, size)) {
    return false;
  }
  return table.end_text == nullptr ||
         read_window_end("to", table.end_text, table.decimal_comma, settings.window_end,
                         table.end_is_stamp, table.end_stamp, problem, size);
}

// The names a run without -o or -l uses.
void set_default_names(RunSettings& settings) {
  if (settings.print_name == nullptr) {
    series_base_name(settings.series_name, ".prt", settings.default_print_name,
                     sizeof settings.default_print_name);
    settings.print_name = settings.default_print_name;
  }
  if (settings.listing_name == nullptr && listing_name_is_set()) {
    const std::string_view listing = listing_name_from_environment();
    std::snprintf(settings.default_listing_name, sizeof settings.default_listing_name, "%.*s",
                  static_cast<int>(listing.size()), listing.data());
    settings.listing_name = settings.default_listing_name;
  } else if (settings.listing_name == nullptr) {
    series_base_name(settings.series_name, ".lst", settings.default_listing_name,
                     sizeof settings.default_listing_name);
    settings.listing_name = settings.default_listing_name;
  }
  settings.print_name = output_name(settings.print_name);
  settings.listing_name = output_name(settings.listing_name);
  settings.series_path =
      std::strcmp(settings.series_name, "-") == 0 ? "/dev/stdin" : settings.series_name;
}

// The options of the cycle count and the wave scan; false, with the
// problem, for a slope or level that is no number of its kind.
bool read_analysis_option(int option, const char* value, RunSettings& settings, char* problem,
                          int problem_size) {
  switch (option) {
    case kCycleFileOption:
      settings.cycle_name = output_name(value);
      break;
    case kCycleEndsOption:
      settings.cycle_ends = true;
      break;
    case kSlopeOption:
      if (!read_strict_number(value, settings.slope) || !(settings.slope > 0.0)) {
        format_text(problem, static_cast<std::size_t>(problem_size),
                    "invalid slope for --slope: '%s' (a number, more than 0)", value);
        return false;
      }
      break;
    case kWaveFileOption:
      settings.wave_name = output_name(value);
      break;
    case kLevelOption:
      settings.level_given = true;
      if (!read_strict_number(value, settings.level)) {
        format_text(problem, static_cast<std::size_t>(problem_size),
                    "invalid level for --level: '%s' (a number)", value);
        return false;
      }
      break;
    default:
      break;
  }
  const bool cycle_option = option == kCyclesOption || option == kCycleFileOption ||
                            option == kCycleEndsOption || option == kSlopeOption;
  settings.cycles |= cycle_option;
  settings.waves |= !cycle_option;
  return true;
}

}  // namespace

void series_base_name(const char* series, const char* suffix, char* out, int size) {
  const char* base = std::strcmp(series, "-") == 0 ? "stdin" : series;
  if (const char* slash = std::strrchr(base, '/')) base = slash + 1;
  const char* dot = std::strrchr(base, '.');
  const int base_length = static_cast<int>(
      dot != nullptr && dot != base ? static_cast<std::size_t>(dot - base) : std::strlen(base));
  std::snprintf(out, static_cast<std::size_t>(size), "%.*s%s", base_length, base, suffix);
}

namespace {

// One option of a run into settings; false, with the problem, for a wrong
// one. element is the argument getopt_long stopped at.
bool apply_option(int result, const char* element, RunSettings& settings, char* problem,
                  int problem_size) {
  switch (result) {
    case 'o':
      settings.print_name = optarg;
      return true;
    case 'l':
      settings.listing_name = optarg;
      return true;
    case kFromOption:
      // Read once every option is known (--decimal-comma may follow).
      settings.table.start_text = optarg;
      return true;
    case kToOption:
      settings.table.end_text = optarg;
      return true;
    case 't':
      settings.table.time_column = optarg;
      return true;
    case 'c':
      settings.table.value_column = optarg;
      return true;
    case 'd':
      if (read_delimiter(optarg, settings.table.delimiter)) return true;
      format_text(problem, static_cast<std::size_t>(problem_size),
                  "invalid delimiter for --delimiter: '%s' (one character: , ; tab or a blank)",
                  optarg);
      return false;
    case kDecimalCommaOption:
      settings.table.decimal_comma = true;
      return true;
    case kTimesOption:
      settings.table.grid_times = std::strcmp(optarg, "grid") == 0;
      if (settings.table.grid_times || std::strcmp(optarg, "file") == 0) return true;
      format_text(problem, static_cast<std::size_t>(problem_size),
                  "invalid value for --times: '%s' (file or grid)", optarg);
      return false;
    case kTimeScaleOption:
      settings.table.time_scale_given = true;
      if (read_strict_number(optarg, settings.table.time_scale) &&
          settings.table.time_scale > 0.0 &&
          settings.table.time_scale <= std::numeric_limits<double>::max()) {
        return true;
      }
      format_text(problem, static_cast<std::size_t>(problem_size),
                  "invalid factor for --time-scale: '%s' (a number above 0)", optarg);
      return false;
    case kHysteresisOption:
      settings.reversal_filter = true;
      if (read_band(optarg, settings.hysteresis)) return true;
      format_text(problem, static_cast<std::size_t>(problem_size),
                  "invalid band for --hysteresis: '%s' (a number, 0 or more)", optarg);
      return false;
    case kCyclesOption:
    case kCycleFileOption:
    case kCycleEndsOption:
    case kSlopeOption:
    case kWavesOption:
    case kWaveFileOption:
    case kLevelOption:
      return read_analysis_option(result, optarg, settings, problem, problem_size);
    case 'q':
      settings.summary = SummaryForm::kNone;
      return true;
    case kJsonOption:
      settings.summary = SummaryForm::kJson;
      return true;
    default:
      describe_refused_option(result, element, kOptions, problem,
                              static_cast<std::size_t>(problem_size));
      return false;
  }
}

}  // namespace

CommandLineRequest read_command_line(int argc, char* argv[], RunSettings& settings, char* problem,
                                     int problem_size) {
  settings = RunSettings();
  if (argc <= 1) return CommandLineRequest::kDialogue;
  settings.dialogue = false;
  CommandLineRequest answer = CommandLineRequest::kRun;
  bool wrong = false;  // the first wrong option's problem is kept
  optind = 0;          // a fresh scan, also when called again
  opterr = 0;
  int result;
  while ((result = getopt_long(argc, argv, kShortOptions, kOptions, nullptr)) != -1) {
    if (result == 'h' || result == 'V') {
      // Answered before anything else; the first of them decides.
      if (answer == CommandLineRequest::kRun) {
        answer = result == 'h' ? CommandLineRequest::kHelp : CommandLineRequest::kVersion;
      }
    } else if (!wrong) {
      wrong = !apply_option(result, argv[optind - 1], settings, problem, problem_size);
    }
  }
  if (answer != CommandLineRequest::kRun) return answer;
  if (wrong || !finish_table_settings(settings, problem, problem_size)) {
    return CommandLineRequest::kUsageError;
  }
  if (optind == argc) {
    format_text(problem, static_cast<std::size_t>(problem_size), "missing SERIES operand");
    return CommandLineRequest::kUsageError;
  }
  if (optind + 1 < argc) {
    format_text(problem, static_cast<std::size_t>(problem_size), "extra operand '%s'",
                argv[optind + 1]);
    return CommandLineRequest::kUsageError;
  }
  settings.series_name = argv[optind];
  set_default_names(settings);
  return CommandLineRequest::kRun;
}

}  // namespace vorna
