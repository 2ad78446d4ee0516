// How a run ends: the normal stop and console interrupts.
#pragma once

namespace vorna {

// Closes every connected unit (writing out pending output) and ends the
// process with status 0. A failure to write is the severe 38 instead.
[[noreturn]] void stop_run();

// Blocks SIGINT, SIGQUIT and SIGHUP in the calling thread and hands them to
// a thread of their own, which writes the interrupt line ("control-C",
// "control-BREAK", "window-CLOSE"), closes every unit and ends the process
// with 128 + the signal number: an interrupted run never reports success.
// The calling thread takes the unit lock. Also ignores SIGPIPE, so that a
// vanished reader is a failed write.
void install_interrupt_handler();

}  // namespace vorna
