#include "driver/run_sequence.h"

#include <cstring>

#include "driver/cycles_and_waves.h"
#include "driver/reports.h"
#include "driver/series_reader.h"
#include "driver/table_reader.h"
#include "runtime/date_stamp.h"
#include "runtime/diagnostics.h"
#include "runtime/file_connection.h"
#include "runtime/layouts.h"
#include "runtime/stop.h"
#include "runtime/units.h"
#include "system/usage_error.h"

namespace vorna {
namespace {

Failure take_date_stamp(char* header_line) {
  char stamp[kWorkFieldLength];
  const Failure failure = date_stamp(stamp, kWorkFieldLength);
  std::memcpy(header_line, stamp, sizeof stamp);
  std::memset(header_line + sizeof stamp, ' ', kTextLength - sizeof stamp);
  return failure;
}

// Asks for a file name until the file is connected; each failure prints the
// failure text followed by the whole name field.
Failure connect_by_dialogue(Run& run, char* name, const char* prompt, int unit, int mode,
                            const char* failure_text) {
  int failure_flag = -1;
  int error_number = 0;
  for (;;) {
    if (Failure failure = run.places.ask(run.tally, prompt, name, kTextLength); failure.failed()) {
      return failure;
    }
    open_text_file(name, kTextLength, unit, mode, failure_flag, &error_number);
    if (failure_flag == 0) break;
    write_message_line(run.tally, kConsoleOutput, failure_text, std::strlen(failure_text), name,
                       kTextLength);
    if (run.tally.failed()) return run.tally.failure;
    run.places.note_refused_answer(name, kTextLength, error_number);
  }
  run.places.forget_refused_answer();
  return {};
}

Failure run_dialogue(Run& run, SeriesInput& input, Series& series) {
  write_banner(run.tally);
  if (run.tally.failed()) return run.tally.failure;
  const struct {
    char* name;
    const char* prompt;
    int unit;
    int mode;
    const char* failure_text;
  } files[] = {
      {run.print_file_name, "Give output file for misc print   :  ", kPrintUnit, 0,
       " Cannot Open file :"},
      {run.series_file_name, "Give file containing Time Series  :  ", kSeriesUnit, 1,
       " Nonexisting file :"},
  };
  for (const auto& file : files) {
    if (Failure failure = connect_by_dialogue(run, file.name, file.prompt, file.unit, file.mode,
                                              file.failure_text);
        failure.failed()) {
      return failure;
    }
  }
  run.places.name_series_file(run.series_file_name, kTextLength);
  if (Failure failure = read_series(input, series); failure.failed()) return failure;
  run.watch.write_warnings(series, run.places.series_file_name(), run.warnings);
  return write_reports({series, run.header_line, run.settings, nullptr, run.warnings, run.tally},
                       run.storage.extrema());
}

// The series first, up to its first data line: a run whose series is
// missing, or has not the columns asked for, touches no output. Both
// outputs are taken before the rest is read, so that a run that fails
// leaves neither of their names behind.
Failure run_from_command_line(Run& run, SeriesInput& input, Series& series) {
  const RunSettings& settings = run.settings;
  if (Failure failure =
          connect_named_file(run.places, kSeriesUnit, settings.series_path, OpenStatus::kOld);
      failure.failed()) {
    return failure;
  }
  run.places.name_series_exactly(settings.series_name);
  TableReader table(settings, input, series);
  if (Failure failure = table.start(); failure.failed()) return failure;
  // The print file always; the listing, cycle and wave files when named.
  char spare[2][kSpareNameSize];
  const struct {
    int unit;
    const char* name;
  } outputs[] = {
      {kPrintUnit, settings.print_name},
      {kListingUnit, settings.listing_name},
      {kCycleUnit, cycle_or_wave_file_name(settings, kCycleUnit, spare[0])},
      {kWaveUnit, cycle_or_wave_file_name(settings, kWaveUnit, spare[1])},
  };
  for (const auto& output : outputs) {
    if (output.name == nullptr) continue;
    if (Failure failure =
            connect_named_file(run.places, output.unit, output.name, OpenStatus::kReplace);
        failure.failed()) {
      return failure;
    }
  }
  if (Failure failure = table.read_rest(); failure.failed()) return failure;
  run.watch.write_warnings(series, run.places.series_file_name(), run.warnings);
  return write_reports({series, run.header_line, settings, &table.facts(), run.warnings, run.tally},
                       run.storage.extrema());
}

}  // namespace

Failure run_program(Run& run, int argc, char* argv[]) {
  switch (read_command_line(argc, argv, run.settings, run.problem, sizeof run.problem)) {
    case CommandLineRequest::kDialogue:
    case CommandLineRequest::kRun:
      break;
    case CommandLineRequest::kHelp:
      return unit_write(kConsoleOutput, kUsageText, std::strlen(kUsageText));
    case CommandLineRequest::kVersion:
      return unit_write(kConsoleOutput, kVersionText, std::strlen(kVersionText));
    case CommandLineRequest::kUsageError:
      return {kUsageProblem, kNoUnit, nullptr, run.problem};
  }
  start_units();
  if (!run.storage.allocate()) return {kNoMemory, kNoUnit, nullptr, nullptr};
  Series& series = run.storage.series();
  install_interrupt_handler();
  if (Failure failure = take_date_stamp(run.header_line); failure.failed()) return failure;
  SeriesInput input{run.places, run.watch, run.tally};
  return run.settings.dialogue ? run_dialogue(run, input, series)
                               : run_from_command_line(run, input, series);
}

int end_program(const Failure& failure) {
  if (failure.number == kUsageProblem) {
    write_usage_error("vorna", failure.where_line);
    return 2;
  }
  return end_run(failure);
}

}  // namespace vorna
