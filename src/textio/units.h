// The unit table: the program's handles for its text streams, their output
// buffers, and the lock that keeps the interrupt thread from closing a unit
// while the main thread writes to it.
#pragma once

#include <cstddef>

namespace vorna {

// Unit numbers in use.
constexpr int kConsoleInput = 5;
constexpr int kConsoleOutput = 6;
constexpr int kPrintUnit = 20;
constexpr int kSeriesUnit = 21;
constexpr int kListingUnit = 36;
// The pseudo unit of reads out of a text field.
constexpr int kInternalUnit = -5;

// Longest absolute file name a unit keeps.
constexpr std::size_t kMaxFileName = 4096 + 260;

// How a file is connected: the status keywords of an open.
enum class OpenStatus { kUnknown, kOld };

// Connects a named file to a unit (20, 21 or 36). The name (name_length
// bytes, blanks around it dropped) is made absolute against the working
// directory and becomes the unit's file name. Returns 0 on success or the
// error number of the failure (29, 9, 30, 43). Writes nothing.
int connect_unit(int unit, const char* name, std::size_t name_length, OpenStatus status);

bool unit_connected(int unit);
// The name diagnostics show: the absolute file name, "CONIN$", "CONOUT$",
// or "Internal List-Directed Read" for the pseudo unit.
const char* unit_file_name(int unit);
// File descriptor of a connected unit, -1 otherwise.
int unit_descriptor(int unit);
// Counts the unit's connections, so that a reader can tell a new file from
// the one it read before.
unsigned unit_connection_count(int unit);

// Appends bytes to the unit's output buffer. The first write on the
// unconnected listing unit connects it. A failed connection or write, or a
// unit connected for reading only, is a severe diagnostic that ends the run.
void unit_write(int unit, const char* bytes, std::size_t count);
// Hands the unit's pending output to the system.
void unit_flush(int unit);

// The same, but a failure only drops the output: for the console before a
// diagnostic line.
void unit_flush_quietly(int unit);

// Writes pending output, closes the file and leaves the unit unconnected.
// Nothing happens for an unconnected unit.
void close_unit(int unit);
// Closes every connected unit; console output is written out, not closed.
// Failures while closing are reported but do not end the closing.
void close_all_units();

// Locking between the main thread and the interrupt thread. The main thread
// holds the unit lock whenever it runs, and lets go of it only around calls
// that may block on input. Until the interrupt thread is started these do
// nothing.
void units_lock_for_main_thread();
class UnitsUnlocked {
 public:
  UnitsUnlocked();
  ~UnitsUnlocked();
  UnitsUnlocked(const UnitsUnlocked&) = delete;
  UnitsUnlocked& operator=(const UnitsUnlocked&) = delete;
};
// Called by the interrupt thread: marks an interrupt as pending and takes the
// unit lock, waiting at most a few seconds. Returns whether it got the lock.
bool units_lock_for_interrupt();
// Called by the main thread at points where it may stop (each buffer
// flush): when an interrupt is pending it lets go of the lock and waits to
// be ended by the interrupt thread.
void yield_to_pending_interrupt();

}  // namespace vorna
