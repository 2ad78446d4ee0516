// How a run ends: the normal stop, a severe diagnostic and an interrupt all
// end in end_run, which main calls, after every unit is closed on whole
// records.
#pragma once

#include "runtime/diagnostics.h"
#include "runtime/failure.h"
#include "runtime/system_io.h"
#include "runtime/unit_table.h"

namespace vorna {

// Takes SIGINT, SIGQUIT, SIGHUP and SIGTERM, except those ignored when the
// program started (nohup, background jobs): the handler only records the
// signal. They are blocked but in the program's waits, which an interrupt
// ends. Ignores SIGPIPE and SIGXFSZ (blocks them where that is refused), so
// a vanished reader or a file-size limit is a failed write.
void install_interrupt_handler();

// The failure by which a pending interrupt ends the run.
inline Failure interrupted() { return {kInterrupt, kNoUnit, nullptr, nullptr}; }
// At a safe point: the interrupt's failure when one is pending, else none.
inline Failure check_interrupt() { return pending_interrupt() != 0 ? interrupted() : Failure{}; }
// The failure of an operation on a unit: a pending interrupt ends the run
// as the interrupt; any other failure is the severe diagnostic.
inline Failure unit_failure(UnitResult result) {
  if (result.done()) return {};
  if (pending_interrupt() != 0) return interrupted();
  return {result.number, result.unit, nullptr, nullptr};
}
// Records the signal's interrupt, unless the signal was ignored when the
// program started; returns whether it did.
bool take_event(int signal_number);

// Writes a diagnostic's line for the unit, after the output the standard
// streams still hold: an error whose run goes on (such as the 63), or a
// failure's as the run ends; file_name, when given, stands for the unit's own.
void report_unit_diagnostic(int number, int unit, const char* file_name = nullptr);

// Ends the run and returns the process's exit status; only main calls it.
// Without a failure, the normal stop: every unit closed and the replaced
// files renamed into place, status 0 (a failure to write is the severe 38
// instead). A failure's diagnostic line and its where-line, then every unit
// closed and the results of a failed run removed; the status is the low 8
// bits of its condition code. After an interrupt it writes the line
// "program aborting due to <event> event" ("control-C", "control-BREAK",
// "window-CLOSE", "TERMINATE"), closes every unit and ends the process by
// the signal itself, so the shell sees 128 + its number.
int end_run(const Failure& failure);

}  // namespace vorna
