#include "textio/stop.h"

#include <pthread.h>
#include <signal.h>

#include <thread>

#include "textio/diagnostics.h"
#include "textio/units.h"

namespace vorna {
namespace {

const char* event_name(int signal_number) {
  switch (signal_number) {
    case SIGINT:
      return "control-C";
    case SIGQUIT:
      return "control-BREAK";
    default:
      return "window-CLOSE";
  }
}

sigset_t interrupt_signals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGQUIT);
  sigaddset(&signals, SIGHUP);
  return signals;
}

[[noreturn]] void handle_interrupts(sigset_t signals) {
  int signal_number = 0;
  while (sigwait(&signals, &signal_number) != 0) {
  }
  if (units_lock_for_interrupt()) {
    write_interrupt_diagnostic(event_name(signal_number));
    close_all_units();
  } else {
    // The main thread is stuck in a write: end without touching its buffers
    // (the console buffer included, which that write may be using).
    write_interrupt_diagnostic(event_name(signal_number), false);
  }
  end_process(128 + signal_number);
}

}  // namespace

void stop_run() {
  close_unit(kPrintUnit);
  close_unit(kSeriesUnit);
  close_unit(kListingUnit);
  unit_flush(kConsoleOutput);
  end_process(0);
}

void install_interrupt_handler() {
  signal(SIGPIPE, SIG_IGN);
  sigset_t signals = interrupt_signals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  units_lock_for_main_thread();
  std::thread(handle_interrupts, signals).detach();
}

}  // namespace vorna
