// The program's reads and writes on descriptors, and the one flag an
// interrupt leaves for them. Nothing here ends the run or reports: callers
// get counts and errno.
#pragma once

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

// Hands all count bytes to the descriptor and returns how many it took; a
// shorter count means a failure with errno set. A descriptor that is not
// ready (a full pipe, EAGAIN) is waited for. Once an interrupt is pending,
// a descriptor other than a regular file gets a short grace time in all:
// what it cannot take by then is dropped, errno 0.
std::size_t write_fully(int fd, const char* bytes, std::size_t count);

// One read: the count read (> 0), 0 at the end, or -1 with errno set. The
// descriptor is waited for (also when it is non-blocking); an interrupt,
// even one that came just before, ends the wait with EINTR.
long read_some(int fd, char* into, std::size_t capacity);

}  // namespace vorna
