// The program's reads and writes on descriptors, its waits, and the one flag
// an interrupt leaves for them. Nothing here ends the run or reports:
// callers get counts and results.
#pragma once

#include <signal.h>

#include <csignal>
#include <cstddef>

namespace vorna {

// The signal number of an interrupt that arrived, 0 while none has.
extern volatile std::sig_atomic_t g_interrupt_signal;

// Records an interrupt (the signal number); safe in a signal handler.
void record_interrupt(int signal_number);
// The recorded signal, 0 when none arrived. Cheap: the safe points ask
// after every record.
inline int pending_interrupt() { return g_interrupt_signal; }

// The interrupts are blocked all the time but in the program's waits: the
// mask given here is the one every wait runs with, so an interrupt that
// came before a wait still ends it. Before this is called the waits use the
// mask in force.
void wait_with_signal_mask(const sigset_t& mask);
// Lets an interrupt that came while blocked reach its handler now.
void take_blocked_interrupts();
// Sleeps for the time or until an interrupt arrives.
void sleep_interruptibly(int milliseconds);

// How a write ended.
enum class WriteOutcome {
  kAll,      // every byte taken
  kDropped,  // an interrupt is pending and the grace time ran out: the rest is dropped
  kFailed,   // the system refused; error holds its errno
};

struct WriteResult {
  std::size_t written;  // bytes handed over; after a pipe or terminal, up to a record end
  WriteOutcome outcome;
  int error;
};

// Hands count bytes to the descriptor. A descriptor that is not ready (a
// full pipe, EAGAIN) is waited for. A pipe or terminal gets at most PIPE_BUF
// bytes a write, cut at a line end where the piece holds one, so what it has
// taken ends on a whole record. Once an interrupt is pending, a descriptor
// other than a regular file gets a short grace time in all.
WriteResult write_fully(int fd, const char* bytes, std::size_t count);

// One read: the count read (> 0), 0 at the end, or -1 with errno set. The
// descriptor is waited for (also when it is non-blocking); an interrupt,
// even one that came just before, ends the wait with EINTR.
long read_some(int fd, char* into, std::size_t capacity);

}  // namespace vorna
