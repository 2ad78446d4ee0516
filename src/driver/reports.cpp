#include "driver/reports.h"

#include <cerrno>
#include <cstring>

#include "analysis/extrema.h"
#include "analysis/heights.h"
#include "analysis/reversals.h"
#include "driver/cycles_and_waves.h"
#include "driver/extremum_warnings.h"
#include "driver/json_writer.h"
#include "driver/run_warnings.h"
#include "runtime/diagnostics.h"
#include "runtime/layouts.h"
#include "runtime/stop.h"
#include "runtime/units.h"
#include "runtime/where_lines.h"
#include "text/run_files.h"
#include "text/text_field.h"

namespace vorna {
namespace {

// The run's extremum table, its arrays from the run's storage.
ExtremumTable g_extrema;

template <std::size_t N>
constexpr std::size_t length_of(const char (&)[N]) {
  return N - 1;
}

// The listing file's name as the JSON summary shows it; null while no
// listing line is written.
const char* g_listing_shown = nullptr;

// The time the reports give sample position (1-based): its own, or the
// even grid's.
double reported_time(const Series& series, int position) {
  return series.file_times ? series.times[position - 1]
                           : sample_time(position, series.first_time, series.increment);
}

// A run from the command line has connected the listing already; the
// dialogue's connects on its first line, so only when there is one.
// Returns the number of lines with a field too wide for it.
long write_listing(const Series& series) {
  // The scalars and the arrays are read once: the writes in the loop could
  // change any memory.
  const double first_time = series.first_time;
  const double increment = series.increment;
  const double* const values = series.values;
  const double* const times = series.times;
  long overflowed = 0;
  if (series.file_times) {
    for (int k = 0; k < series.count; ++k) overflowed += write_listing_line(times[k], values[k]);
  } else {
    // A real counter rebuilds each time on the even grid.
    double counter = 1.0;
    for (int k = 0; k < series.count; ++k) {
      overflowed += write_listing_line(sample_time(counter, first_time, increment), values[k]);
      counter += 1.0;
    }
  }
  if (series.count > 0 && unit_connected(kListingUnit)) {
    g_listing_shown = unit_file_name(kListingUnit);
  }
  close_unit(kListingUnit);
  return overflowed;
}

// The table of every interior turn, or with --hysteresis the reversals
// that the band keeps.
void analyse(const Series& series, const RunSettings& settings) {
  g_extrema.count =
      settings.reversal_filter
          ? locate_reversals(series.values, series.count, settings.hysteresis, g_extrema.values,
                             g_extrema.positions)
          : locate_extrema(series.values, series.count, g_extrema.values, g_extrema.positions);
  const HeightResult result = height_statistics(
      g_extrema.count, g_extrema.values, g_extrema.positions, series.first_time, series.increment,
      g_extrema.heights, series.file_times ? series.times : nullptr);
  g_extrema.max_height = result.max_height;
  g_extrema.time_of_max_height = result.time_of_max_height;
}

// These writers too return the number of lines with a field too wide.
long write_header_block(const Series& series, double simulation_length, const char* header_line) {
  write_message_line(kPrintUnit, "#", 1, header_line, kTextLength);
  long overflowed = write_count_line(kPrintUnit, kStepsLabel, kHeaderLabelLength, series.count);
  const struct {
    const char* label;
    double value;
  } fixed_lines[] = {
      {kFirstTimeLabel, series.first_time},
      {kLastTimeLabel, series.last_time},
      {kIncrementLabel, series.increment},
      {kLengthLabel, simulation_length},
  };
  for (const auto& line : fixed_lines) {
    overflowed += write_fixed_line(kPrintUnit, line.label, kHeaderLabelLength, line.value);
  }
  overflowed +=
      write_exponent_line(kPrintUnit, kMaxHeightLabel, kHeaderLabelLength, g_extrema.max_height);
  overflowed += write_fixed_line(kPrintUnit, kMaxHeightTimeLabel, kHeaderLabelLength,
                                 g_extrema.time_of_max_height);
  write_message_line(kPrintUnit, "#", 1, "                         ", 25);
  return overflowed;
}

long write_extremum_table(const Series& series) {
  const ExtremumTable table = g_extrema;  // read once, as in write_listing
  long overflowed = 0;
  for (int j = 0; j < table.count; ++j) {
    overflowed += write_table_line(reported_time(series, table.positions[j]), table.values[j],
                                   table.heights[j]);
  }
  return overflowed;
}

// One warning for every line that a field too wide for it turned into
// asterisks: the numbered lines say which unit, this one how many in all.
void warn_overflowed_lines(long count) {
  if (count == 0) return;
  LineText line;
  line.add(kWarningPrefix).add(count).add(count == 1 ? " line has" : " lines have");
  line.add(" a number too wide for its field, written as asterisks (error 63 above)");
  write_run_warning(line);
}

void write_to_console(void*, const char* bytes, std::size_t count) {
  unit_write(kConsoleOutput, bytes, count);
}

// "KEY":{"time":T,"value":V} for the sample at index (null without one).
void write_json_sample(JsonWriter& json, const char* key, const Series& series, int index) {
  json.raw(key);
  if (index < 0) {
    json.raw("null");
    return;
  }
  json.raw("{\"time\":");
  json.number(reported_time(series, index + 1));
  json.raw(",\"value\":");
  json.number(series.values[index]);
  json.raw("}");
}

// The summary as one JSON object on one line: the values the reports
// format, the files by the names diagnostics show, and the run's warnings.
void write_json_summary(const Series& series, double simulation_length, const RunSettings& settings,
                        const ValueSpread& spread, const char* print_shown,
                        const CyclesAndWaves& cycles_and_waves, const TableFacts* table) {
  JsonWriter json(write_to_console, nullptr);
  const struct {
    const char* key;
    const char* text;
  } names[] = {
      {"{\"series\":", settings.series_name},
      {",\"print_file\":", print_shown},
      {",\"listing_file\":", g_listing_shown},
  };
  for (const auto& name : names) {
    json.raw(name.key);
    json.name(name.text);
  }
  // Counts too are reals here: every int is one exactly, and prints in digits.
  const struct {
    const char* key;
    double value;
  } numbers[] = {
      {",\"steps\":", static_cast<double>(series.count)},
      {",\"first_time\":", series.first_time},
      {",\"last_time\":", series.last_time},
      {",\"time_increment\":", series.increment},
      {",\"simulation_length\":", simulation_length},
      {",\"extrema\":", static_cast<double>(g_extrema.count)},
      {",\"max_height\":", g_extrema.max_height},
      {",\"time_of_max_height\":", g_extrema.time_of_max_height},
  };
  for (const auto& number : numbers) {
    json.raw(number.key);
    json.number(number.value);
  }
  json.raw(",\"hysteresis\":");
  if (settings.reversal_filter) {
    json.number(settings.hysteresis);
  } else {
    json.raw("null");
  }
  write_json_sample(json, ",\"global_max\":", series, spread.highest_at);
  write_json_sample(json, ",\"global_min\":", series, spread.lowest_at);
  cycles_and_waves.write_json(json);
  if (table != nullptr) {
    json.raw(",\"column\":");
    if (table->column_named) {
      json.string(table->column);
    } else {
      json.raw(table->column[0] != '\0' ? table->column : "null");
    }
    json.raw(",\"first_timestamp\":");
    json.string(table->first_timestamp[0] != '\0' ? table->first_timestamp : nullptr);
    json.raw(",\"times\":");
    json.string(series.file_times ? "file" : "grid");
    json.raw(",\"time_scale\":");
    json.number(settings.table.time_scale);
  }
  json.raw(",\"warnings\":[");
  for (int i = 0; i < run_warning_count(); ++i) {
    if (i > 0) json.raw(",");
    json.string(run_warning_text(i));
  }
  json.raw("]}\n");
  json.flush();
}

// Why a name named on the command line could not be opened (diagnostic 30).
const char* open_failure_reason(const char* name, int cause) {
  if (name[0] == '\0') return "an empty name";
  switch (cause) {
    case EISDIR:
      return "a folder";
    case ELOOP:
      return "a loop of symbolic links";
    case EEXIST:
      return "already one of the run's files";
    case EMFILE:
    case ENFILE:
      return "too many open files";
    default:
      return std::strerror(cause);
  }
}

}  // namespace

void connect_named_file(int unit, const char* name, OpenStatus status) {
  const int error = connect_unit(unit, name, std::strlen(name), status);
  const int cause = errno;
  // An open that waited (a pipe's reader) ends early on an interrupt: the
  // interrupt, not the failed open, ends the run.
  end_if_interrupted();
  if (error == 0) return;
  // The open failure has many causes: a where-line names this one.
  if (error == kOpenFailure) {
    LineText line;
    line.add("vorna: ").add(name[0] == '\0' ? "''" : "").add_name(name).add(": ");
    prepare_where_line(error, line.add(open_failure_reason(name, cause)));
  }
  fail_run(error, unit);
}

void write_reports(const Series& series, const ExtremumTable& extrema, const char* header_line,
                   const RunSettings& settings, const TableFacts* table) {
  static const char kSteps[] = " Number of steps in Time Series:";
  static const char kLength[] = " Simulation Length             :";
  static const char kHeight[] = " Maximum Height                :";
  static const char kTime[] = " Time For max height           :";
  // With the filter a fifth line, after the four that scripts read by
  // their place.
  static const char kBand[] = " Reversals, hysteresis band    :";
  static const char kScale[] = " Times scaled by --time-scale  :";
  const bool summary_lines = settings.summary == SummaryForm::kLines;
  // The analysis comes first so that its notes join the series' warnings
  // before any report; the reports themselves keep their order.
  g_extrema = extrema;
  analyse(series, settings);
  const ValueSpread spread = measure_spread(series.values, series.count);
  write_extremum_notes(series, g_extrema, spread, settings);
  const CyclesAndWaves cycles_and_waves(series, g_extrema, settings);
  long overflowed = write_listing(series);
  const double simulation_length = series.last_time - series.first_time;
  if (summary_lines) {
    overflowed += write_count_line(kConsoleOutput, kSteps, length_of(kSteps), series.count);
    overflowed += write_fixed_line(kConsoleOutput, kLength, length_of(kLength), simulation_length);
  }
  overflowed += write_header_block(series, simulation_length, header_line);
  if (summary_lines) {
    overflowed +=
        write_exponent_line(kConsoleOutput, kHeight, length_of(kHeight), g_extrema.max_height);
    overflowed +=
        write_fixed_line(kConsoleOutput, kTime, length_of(kTime), g_extrema.time_of_max_height);
    if (settings.reversal_filter) {
      overflowed +=
          write_exponent_line(kConsoleOutput, kBand, length_of(kBand), settings.hysteresis);
    }
    if (settings.table.time_scale_given) {
      overflowed +=
          write_exponent_line(kConsoleOutput, kScale, length_of(kScale), settings.table.time_scale);
    }
  }
  overflowed += write_extremum_table(series);
  overflowed += cycles_and_waves.write_files();
  const char* print_shown = unit_file_name(kPrintUnit);
  close_unit(kPrintUnit);
  warn_overflowed_lines(overflowed);
  if (settings.summary == SummaryForm::kJson) {
    write_json_summary(series, simulation_length, settings, spread, print_shown, cycles_and_waves,
                       table);
  }
  stop_run();
}

}  // namespace vorna
