// How a run ends: the normal stop, a severe diagnostic and an interrupt all
// end here, after every unit is closed on whole records.
#pragma once

#include "runtime/system_io.h"
#include "runtime/unit_table.h"

namespace vorna {

// Takes SIGINT, SIGQUIT, SIGHUP and SIGTERM, except those ignored when the
// program started (nohup, background jobs): the handler only records the
// signal. They are blocked but in the program's waits, which an interrupt
// ends. Ignores SIGPIPE and SIGXFSZ (blocks them where that is refused), so
// a vanished reader or a file-size limit is a failed write.
void install_interrupt_handler();

// The safe points call end_if_interrupted. After an interrupt it writes the
// line "program aborting due to <event> event" ("control-C",
// "control-BREAK", "window-CLOSE", "TERMINATE"), closes every unit and ends
// the process by the signal itself, so the shell sees 128 + its number.
[[noreturn]] void end_by_pending_interrupt();
inline void end_if_interrupted() {
  if (pending_interrupt() != 0) end_by_pending_interrupt();
}
// Ends the run as the signal's interrupt does, unless the signal was
// ignored when the program started; then it returns.
void end_by_event(int signal_number);

// Closes every connected unit and ends the process with status 0. A failure
// to write is the severe 38 instead.
[[noreturn]] void stop_run();

// Writes the diagnostic line for the unit; file_name, when given, stands for
// the unit's own. A severe diagnostic closes every unit and ends the process
// with the low 8 bits of its condition code; an error returns.
void issue_diagnostic(int number, int unit, const char* file_name = nullptr);
// The same for a diagnostic known to be severe: the one place where a severe
// diagnostic line is written and the run ends.
[[noreturn]] void fail_run(int number, int unit, const char* file_name = nullptr);
// The same before any unit is in use: the line without unit and file.
[[noreturn]] void fail_without_unit(int number);
// A line that tells what the run is doing about a unit, "vorna: info: ...".
void report_note(const char* text, int unit);

// The one way a unit's failure ends the run: a pending interrupt ends it as
// the interrupt; any other failure is the severe diagnostic of fail_run.
[[noreturn]] void end_by_failure(UnitResult failure);
inline void end_on_failure(UnitResult result) {
  if (!result.done()) end_by_failure(result);
}

// Ends the process at once with the status; no unit is touched.
[[noreturn]] void end_process(int status);

}  // namespace vorna
