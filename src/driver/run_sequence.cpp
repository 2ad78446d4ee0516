#include "driver/run_sequence.h"

#include <cstring>
#include <initializer_list>

#include "analysis/series.h"
#include "driver/cycles_and_waves.h"
#include "driver/input_places.h"
#include "driver/reports.h"
#include "driver/series_reader.h"
#include "driver/series_warnings.h"
#include "driver/table_reader.h"
#include "runtime/date_stamp.h"
#include "runtime/diagnostics.h"
#include "runtime/file_connection.h"
#include "runtime/layouts.h"
#include "runtime/prompt.h"
#include "runtime/stop.h"
#include "runtime/units.h"
#include "text/text_field.h"

namespace vorna {
namespace {

char g_header_line[kTextLength];
char g_print_file_name[kTextLength];
char g_series_file_name[kTextLength];

void take_date_stamp() {
  char stamp[kWorkFieldLength];
  date_stamp(stamp, kWorkFieldLength, 6);
  std::memcpy(g_header_line, stamp, sizeof stamp);
  std::memset(g_header_line + sizeof stamp, ' ', kTextLength - sizeof stamp);
}

// Asks for a file name until the file is connected; each failure prints the
// failure text followed by the whole name field.
void connect_by_dialogue(char* name, const char* prompt, int unit, int mode,
                         const char* failure_text) {
  int failure_flag = -1;
  int error_number = 0;
  for (;;) {
    std::memset(name, ' ', kTextLength);
    write_prompt(kConsoleOutput, prompt, static_cast<int>(std::strlen(prompt)));
    read_answer(name, kTextLength);
    open_text_file(name, kTextLength, unit, mode, failure_flag, &error_number);
    if (failure_flag == 0) break;
    write_message_line(kConsoleOutput, failure_text, std::strlen(failure_text), name, kTextLength);
    note_refused_answer(name, kTextLength, error_number);
  }
  forget_refused_answer();
}

}  // namespace

void run_program(const RunSettings& settings) {
  start_units();
  RunStorage storage;
  if (!storage.allocate()) fail_without_unit(kNoMemory);
  Series& series = storage.series();
  install_interrupt_handler();
  take_date_stamp();
  if (settings.dialogue) {
    write_banner();
    connect_by_dialogue(g_print_file_name, "Give output file for misc print   :  ", kPrintUnit, 0,
                        " Cannot Open file :");
    connect_by_dialogue(g_series_file_name, "Give file containing Time Series  :  ", kSeriesUnit, 1,
                        " Nonexisting file :");
    name_series_file(g_series_file_name, kTextLength);
    read_series(series);
    write_series_warnings(series);
    write_reports(series, storage.extrema(), g_header_line, settings, nullptr);
  }
  // The series first, up to its first data line: a run whose series is
  // missing, or has not the columns asked for, touches no output. Both
  // outputs are taken before the rest is read, so that a run that fails
  // leaves neither of their names behind.
  connect_named_file(kSeriesUnit, settings.series_path, OpenStatus::kOld);
  name_series_exactly(settings.series_name);
  TableReader table(settings, series);
  table.start();
  connect_named_file(kPrintUnit, settings.print_name, OpenStatus::kReplace);
  if (settings.listing_name != nullptr) {
    connect_named_file(kListingUnit, settings.listing_name, OpenStatus::kReplace);
  }
  for (const int unit : {kCycleUnit, kWaveUnit}) {
    char spare[kSpareNameSize];
    const char* name = cycle_or_wave_file_name(settings, unit, spare);
    if (name != nullptr) connect_named_file(unit, name, OpenStatus::kReplace);
  }
  table.read_rest();
  write_series_warnings(series);
  write_reports(series, storage.extrema(), g_header_line, settings, &table.facts());
}

}  // namespace vorna
