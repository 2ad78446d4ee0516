// The unit table: the program's text streams, each with its descriptor,
// output buffer and line splitter. Output is handed to the system in whole
// records only, so a file never ends inside a record. Nothing here ends the
// run: a failure comes back as a value for the caller to act on.
#pragma once

#include <cstddef>

#include "text/line_splitter.h"

namespace vorna {

// Unit numbers in use.
constexpr int kConsoleInput = 5;
constexpr int kConsoleOutput = 6;
constexpr int kPrintUnit = 20;
constexpr int kSeriesUnit = 21;
constexpr int kListingUnit = 36;
// The cycle and wave files of --cycles and --waves.
constexpr int kCycleUnit = 22;
constexpr int kWaveUnit = 23;
// The pseudo unit of in-memory transfers: numbers read out of a text field
// and records written into one. Diagnostics name it by the transfer.
constexpr int kInternalUnit = -5;
constexpr const char* kInternalReadName = "Internal List-Directed Read";
constexpr const char* kInternalWriteName = "Internal Formatted Write";
// Longest file name a unit is given, in characters.
constexpr std::size_t kUnitNameLength = 256;

// How a file is connected: the status keywords of an open, and the
// command line's outputs.
enum class OpenStatus {
  kUnknown,  // written, created when missing, cut off at the first write
  kOld,      // read, must exist
  // Written as kUnknown, but a regular file (or a new one) is written to a
  // temporary file in its folder (through symbolic links) and renamed into
  // place only at the normal stop; standard output, devices and pipes are
  // written through.
  kReplace,
};

// The outcome of an operation on a unit: done, or the severe diagnostic
// (number and unit) that is to end the run. An interrupt that is pending
// after the operation is the number kInterrupt.
struct UnitResult {
  int number = 0;
  int unit = 0;
  bool done() const { return number == 0; }
};

// Keeps descriptors 0 to 2 open (/dev/null stands in for a closed one, so
// that no file takes its place; a closed standard output is a failed
// console) and starts the console units: input from a file or a device is
// read in blocks, input from a pipe a byte at a time, so nothing past an
// answer is taken from a stream another program may read on.
void start_units();

// Connects a named file to a unit (1 to 99, not the console). The name
// (length bytes, a blank is a character) is opened as given, relative to
// the working directory; diagnostics show its absolute form when that can
// be formed. Returns 0 or the error number of the failure (9, 29, 30, 43).
// A file already connected to another unit, an output file that is standard
// input, or an input file that is standard output is 30 (devices
// excepted). An output file that is standard output or standard error is
// written through that descriptor; an input file that is standard input
// reads on from where the console input stands. A named pipe written is
// opened once it has a reader, waited for until an interrupt comes (then
// 30, the interrupt pending).
int connect_unit(int unit, const char* name, std::size_t length, OpenStatus status);

bool unit_connected(int unit);
// "CONIN$", "CONOUT$", the file name of a connected unit, or "".
const char* unit_file_name(int unit);

// The unit's next record (its bytes stay valid until the next read). An
// interrupt that arrives while the read waits ends it as a failed read.
SplitStatus unit_read_record(int unit, const char*& record, std::size_t& length);
// After a failed read or the end of the console input: the terminal it
// reads from has hung up.
bool unit_hung_up(int unit);

// Writes one whole record. The first write on the unconnected listing unit
// connects it; the first write on a file locks it against other runs and
// cuts it off, unless an interrupt is pending first. Console records go to
// the system at once. After a failed write the file is cut back to its last
// whole record.
UnitResult unit_put_record(int unit, const char* bytes, std::size_t count);

// Output laid out in place: the free bytes of the unit's output buffer,
// behind its pending records, when the next record may go there as
// unit_put_record would put it (a file connected, written before and
// writable; not the console); empty otherwise, and the record then goes
// through unit_put_record. Records laid out in the room become pending
// output with unit_take_room, before anything else uses the unit. The
// caller checks for a pending interrupt before each record, as
// unit_put_record does.
struct OutputRoom {
  char* at = nullptr;
  std::size_t size = 0;
};
OutputRoom unit_output_room(int unit);
void unit_take_room(int unit, std::size_t count);

// Writes pending output, closes the file and leaves the unit unconnected;
// a failure is the 38. Nothing happens for an unconnected unit.
UnitResult unit_close(int unit);
// For the endings of a run: every connected unit closed as by unit_close,
// the console written out; a unit that fails is passed to report and the
// closing goes on. Returns the number that failed.
int close_all_units(void (*report)(int unit));
// At the normal stop, after the units are closed: each file of status
// kReplace that was written is renamed into place, one never written goes.
// A failed rename is the 38 for its unit (the others are still renamed).
UnitResult commit_replaced_files();
// At any other ending: the temporary files go, and so do the files of the
// same names from an earlier run, so that no result is left that this run
// did not make. Their shown names, at most capacity, go to removed; returns
// their count.
int discard_replaced_files(const char* removed[], int capacity);

// Hands the pending records of files written through standard output or
// standard error, so that what follows on that stream keeps the run's order.
// A failure is reported when the unit is closed.
void flush_units_on_standard_streams();

}  // namespace vorna
