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
#include "runtime/line_text.h"
#include "runtime/stop.h"
#include "runtime/units.h"
#include "text/run_files.h"
#include "text/text_field.h"

namespace vorna {
namespace {

template <std::size_t N>
constexpr std::size_t length_of(const char (&)[N]) {
  return N - 1;
}

// The time the reports give sample position (1-based): its own, or the
// even grid's.
double reported_time(const Series& series, int position) {
  return series.file_times ? series.times[position - 1]
                           : sample_time(position, series.first_time, series.increment);
}

// A run from the command line has connected the listing already; the
// dialogue's connects on its first line, so only when there is one.
// Returns the listing file's name as the JSON summary shows it; null when no
// listing line is written.
const char* write_listing(WriteTally& tally, const Series& series) {
  // The scalars and the arrays are read once: the writes in the loop could
  // change any memory.
  const double first_time = series.first_time;
  const double increment = series.increment;
  const double* const values = series.values;
  const double* const times = series.times;
  RecordStream lines(tally, kListingUnit);
  if (series.file_times) {
    for (int k = 0; k < series.count && !tally.failed(); ++k) {
      write_listing_line(lines, times[k], values[k]);
    }
  } else {
    // A real counter rebuilds each time on the even grid.
    double counter = 1.0;
    for (int k = 0; k < series.count && !tally.failed(); ++k) {
      write_listing_line(lines, sample_time(counter, first_time, increment), values[k]);
      counter += 1.0;
    }
  }
  lines.finish();
  if (tally.failed()) return nullptr;
  const char* shown =
      series.count > 0 && unit_connected(kListingUnit) ? unit_file_name(kListingUnit) : nullptr;
  tally.failure = close_unit(kListingUnit);
  return shown;
}

// The table of every interior turn, or with --hysteresis the reversals
// that the band keeps.
void analyse(const Series& series, const RunSettings& settings, ExtremumTable& extrema) {
  extrema.count =
      settings.reversal_filter
          ? locate_reversals(series.values, series.count, settings.hysteresis, extrema.values,
                             extrema.positions)
          : locate_extrema(series.values, series.count, extrema.values, extrema.positions);
  const HeightResult result = height_statistics(
      extrema.count, extrema.values, extrema.positions, series.first_time, series.increment,
      extrema.heights, series.file_times ? series.times : nullptr);
  extrema.max_height = result.max_height;
  extrema.time_of_max_height = result.time_of_max_height;
}

void write_header_block(WriteTally& tally, const Series& series, const ExtremumTable& extrema,
                        double simulation_length, const char* header_line) {
  write_message_line(tally, kPrintUnit, "#", 1, header_line, kTextLength);
  write_count_line(tally, kPrintUnit, kStepsLabel, kHeaderLabelLength, series.count);
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
    write_fixed_line(tally, kPrintUnit, line.label, kHeaderLabelLength, line.value);
  }
  write_exponent_line(tally, kPrintUnit, kMaxHeightLabel, kHeaderLabelLength, extrema.max_height);
  write_fixed_line(tally, kPrintUnit, kMaxHeightTimeLabel, kHeaderLabelLength,
                   extrema.time_of_max_height);
  write_message_line(tally, kPrintUnit, "#", 1, "                         ", 25);
}

void write_extremum_table(WriteTally& tally, const Series& series, const ExtremumTable& extrema) {
  const ExtremumTable table = extrema;  // read once, as in write_listing
  RecordStream lines(tally, kPrintUnit);
  for (int j = 0; j < table.count && !tally.failed(); ++j) {
    write_table_line(lines, reported_time(series, table.positions[j]), table.values[j],
                     table.heights[j]);
  }
  lines.finish();
}

// One warning for every line that a field too wide for it turned into
// asterisks: the numbered lines say which unit, this one how many in all.
void warn_overflowed_lines(long count, RunWarnings& warnings) {
  if (count == 0) return;
  LineText line;
  line.add(kWarningPrefix).add(count).add(count == 1 ? " line has" : " lines have");
  line.add(" a number too wide for its field, written as asterisks (error 63 above)");
  warnings.write(line);
}

// The JSON summary's output: the console, through the run's tally.
void write_to_console(void* tally, const char* bytes, std::size_t count) {
  WriteTally& run = *static_cast<WriteTally*>(tally);
  if (!run.failed()) run.failure = unit_write(kConsoleOutput, bytes, count);
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
void write_json_summary(const ReportInput& input, const ExtremumTable& extrema,
                        double simulation_length, const ValueSpread& spread,
                        const char* print_shown, const char* listing_shown,
                        const CyclesAndWaves& cycles_and_waves) {
  const Series& series = input.series;
  const RunSettings& settings = input.settings;
  const TableFacts* table = input.table;
  JsonWriter json(write_to_console, &input.tally);
  const struct {
    const char* key;
    const char* text;
  } names[] = {
      {"{\"series\":", settings.series_name},
      {",\"print_file\":", print_shown},
      {",\"listing_file\":", listing_shown},
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
      {",\"extrema\":", static_cast<double>(extrema.count)},
      {",\"max_height\":", extrema.max_height},
      {",\"time_of_max_height\":", extrema.time_of_max_height},
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
  for (int i = 0; i < input.warnings.count(); ++i) {
    if (i > 0) json.raw(",");
    json.string(input.warnings.text(i));
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

Failure connect_named_file(InputPlaces& places, int unit, const char* name, OpenStatus status) {
  const int error = connect_unit(unit, name, std::strlen(name), status);
  const int cause = errno;
  // An open that waited (a pipe's reader) ends early on an interrupt: the
  // interrupt, not the failed open, ends the run.
  if (Failure failure = check_interrupt(); failure.failed()) return failure;
  if (error == 0) return {};
  // The open failure has many causes: a where-line names this one.
  if (error == kOpenFailure) {
    LineText line;
    line.add("vorna: ").add(name[0] == '\0' ? "''" : "").add_name(name).add(": ");
    return places.fail_where(error, unit, line.add(open_failure_reason(name, cause)));
  }
  return {error, unit, nullptr, nullptr};
}

Failure write_reports(const ReportInput& input, ExtremumTable extrema) {
  static const char kSteps[] = " Number of steps in Time Series:";
  static const char kLength[] = " Simulation Length             :";
  static const char kHeight[] = " Maximum Height                :";
  static const char kTime[] = " Time For max height           :";
  // With the filter a fifth line, after the four that scripts read by
  // their place.
  static const char kBand[] = " Reversals, hysteresis band    :";
  static const char kScale[] = " Times scaled by --time-scale  :";
  const Series& series = input.series;
  const RunSettings& settings = input.settings;
  WriteTally& tally = input.tally;
  const bool summary_lines = settings.summary == SummaryForm::kLines;
  // The analysis comes first so that its notes join the series' warnings
  // before any report; the reports themselves keep their order.
  analyse(series, settings, extrema);
  const ValueSpread spread = measure_spread(series.values, series.count);
  write_extremum_notes(series, extrema, spread, settings, input.warnings);
  CyclesAndWaves cycles_and_waves(series, settings);
  if (Failure failure = cycles_and_waves.analyse(extrema, input.warnings); failure.failed()) {
    return failure;
  }
  const char* listing_shown = write_listing(tally, series);
  const double simulation_length = series.last_time - series.first_time;
  if (summary_lines) {
    write_count_line(tally, kConsoleOutput, kSteps, length_of(kSteps), series.count);
    write_fixed_line(tally, kConsoleOutput, kLength, length_of(kLength), simulation_length);
  }
  write_header_block(tally, series, extrema, simulation_length, input.header_line);
  if (summary_lines) {
    write_exponent_line(tally, kConsoleOutput, kHeight, length_of(kHeight), extrema.max_height);
    write_fixed_line(tally, kConsoleOutput, kTime, length_of(kTime), extrema.time_of_max_height);
    if (settings.reversal_filter) {
      write_exponent_line(tally, kConsoleOutput, kBand, length_of(kBand), settings.hysteresis);
    }
    if (settings.table.time_scale_given) {
      write_exponent_line(tally, kConsoleOutput, kScale, length_of(kScale),
                          settings.table.time_scale);
    }
  }
  write_extremum_table(tally, series, extrema);
  cycles_and_waves.write_files(tally);
  if (tally.failed()) return tally.failure;
  const char* print_shown = unit_file_name(kPrintUnit);
  if (Failure failure = close_unit(kPrintUnit); failure.failed()) return failure;
  warn_overflowed_lines(tally.overflowed, input.warnings);
  if (settings.summary == SummaryForm::kJson) {
    write_json_summary(input, extrema, simulation_length, spread, print_shown, listing_shown,
                       cycles_and_waves);
  }
  return tally.failure;
}

}  // namespace vorna
