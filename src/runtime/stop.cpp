#include "runtime/stop.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <initializer_list>

#include "runtime/diagnostics.h"
#include "runtime/system_io.h"
#include "runtime/unit_table.h"

namespace vorna {
namespace {

constexpr int kInterruptSignals[] = {SIGINT, SIGQUIT, SIGHUP, SIGTERM};

const char* event_name(int signal_number) {
  switch (signal_number) {
    case SIGINT:
      return "control-C";
    case SIGQUIT:
      return "control-BREAK";
    case SIGHUP:
      return "window-CLOSE";
    default:
      return "TERMINATE";
  }
}

// No SA_RESTART: a wait that an interrupt ends returns at once.
bool set_action(int signal_number, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  return sigaction(signal_number, &action, nullptr) == 0;
}

bool ignored(int signal_number) {
  struct sigaction current;
  return sigaction(signal_number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

void report_close_failure(int unit) {
  write_diagnostic_line(kWriteError, unit, unit_file_name(unit));
}

// A run that does not end normally leaves no output of its own names.
void discard_results() {
  const char* removed[4];
  const int count = discard_replaced_files(removed, 4);
  if (count > 0) write_removed_files_line(removed, count);
}

// The signal's own ending: its default action (no core file for SIGQUIT).
[[noreturn]] void end_by_signal(int signal_number) {
  signal(signal_number, SIG_DFL);
  if (signal_number == SIGQUIT) {
    rlimit core;
    if (getrlimit(RLIMIT_CORE, &core) == 0) {
      core.rlim_cur = 0;
      setrlimit(RLIMIT_CORE, &core);
    }
    prctl(PR_SET_DUMPABLE, 0);  // also for a core handler behind a pipe
  }
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal_number);
  sigprocmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal_number);
  _exit(128 + signal_number);
}

// An interrupt ends the process by its signal, after the line and the
// units: the one ending besides main's.
[[noreturn]] void end_by_pending_interrupt() {
  const int signal_number = pending_interrupt();
  flush_units_on_standard_streams();
  write_interrupt_line(event_name(signal_number));
  close_all_units(report_close_failure);
  discard_results();
  end_by_signal(signal_number);
}

// An interrupt blocked since the last wait counts, so does one that came
// while the files were written out.
void end_if_interrupted() {
  take_blocked_interrupts();
  if (pending_interrupt() != 0) end_by_pending_interrupt();
}

// The normal stop: 0, or 38 when a unit fails to close or a file to be
// renamed into place.
int stop_normally() {
  end_if_interrupted();
  if (close_all_units(report_close_failure) > 0) {
    discard_results();
    return kWriteError;
  }
  end_if_interrupted();
  const UnitResult renamed = commit_replaced_files();
  if (!renamed.done()) {
    report_close_failure(renamed.unit);
    return kWriteError;
  }
  return 0;
}

int exit_status(int number) { return static_cast<int>(condition_code(number) & 0xFFu); }

}  // namespace

void install_interrupt_handler() {
  // SIGPIPE and SIGXFSZ ignored, or blocked when that is refused: either way
  // the write fails instead of the process ending.
  sigset_t blocked, kept_blocked;
  sigemptyset(&blocked);
  sigemptyset(&kept_blocked);
  for (int signal_number : {SIGPIPE, SIGXFSZ}) {
    if (!set_action(signal_number, SIG_IGN)) {
      sigaddset(&blocked, signal_number);
      sigaddset(&kept_blocked, signal_number);
    }
  }
  // Only an interrupt whose handler is in place is blocked: one the system
  // kept at its default action still ends the process as it comes.
  for (int signal_number : kInterruptSignals) {
    if (!ignored(signal_number) && set_action(signal_number, record_interrupt)) {
      sigaddset(&blocked, signal_number);
    }
  }
  // The waits let the interrupts in, never the two above.
  sigset_t in_waits;
  if (sigprocmask(SIG_BLOCK, &blocked, &in_waits) != 0) return;
  for (int signal_number : {SIGPIPE, SIGXFSZ}) {
    if (sigismember(&kept_blocked, signal_number) == 1) sigaddset(&in_waits, signal_number);
  }
  wait_with_signal_mask(in_waits);
}

bool take_event(int signal_number) {
  if (ignored(signal_number)) return false;
  record_interrupt(signal_number);
  return true;
}

void report_unit_diagnostic(int number, int unit, const char* file_name) {
  flush_units_on_standard_streams();
  write_diagnostic_line(number, unit, file_name != nullptr ? file_name : unit_file_name(unit));
}

int end_run(const Failure& failure) {
  if (!failure.failed()) return stop_normally();
  if (failure.number == kInterrupt) end_by_pending_interrupt();
  if (failure.unit == kNoUnit) {
    write_plain_diagnostic_line(failure.number);
    return exit_status(failure.number);
  }
  report_unit_diagnostic(failure.number, failure.unit, failure.file_name);
  if (failure.where_line != nullptr) write_error_line(failure.where_line);
  close_all_units(report_close_failure);
  discard_results();
  return exit_status(failure.number);
}

}  // namespace vorna
