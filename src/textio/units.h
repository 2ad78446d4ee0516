// The unit table: the program's text streams, each with its descriptor,
// output buffer and line splitter. Output is handed to the system in whole
// records only, so a file never ends inside a record.
#pragma once

#include <cstddef>

#include "util/line_reader.h"

namespace vorna {

// Unit numbers in use.
constexpr int kConsoleInput = 5;
constexpr int kConsoleOutput = 6;
constexpr int kPrintUnit = 20;
constexpr int kSeriesUnit = 21;
constexpr int kListingUnit = 36;
// The pseudo unit of in-memory transfers: numbers read out of a text field
// and records written into one. Diagnostics name it by the transfer.
constexpr int kInternalUnit = -5;
constexpr const char* kInternalReadName = "Internal List-Directed Read";
constexpr const char* kInternalWriteName = "Internal Formatted Write";

// How a file is connected: the status keywords of an open.
enum class OpenStatus { kUnknown, kOld };

// Keeps descriptors 0 to 2 open (/dev/null stands in for a closed one, so
// that no file takes its place) and starts the console units: input that is
// not a terminal is read a byte at a time, so nothing past an answer is
// taken from a shared pipe or file.
void start_units();

// Connects a named file to a unit (1 to 99, not the console). The name
// (length bytes, blanks around it dropped) is opened as given, relative to
// the working directory; diagnostics show its absolute form when that can
// be formed. Returns 0 or the error number of the failure (9, 29, 30, 43).
// A file already connected to another unit, or an output file that is
// standard input, is 30 (devices excepted); an output file that is standard
// output or standard error is written through that descriptor.
int connect_unit(int unit, const char* name, std::size_t length, OpenStatus status);

bool unit_connected(int unit);
// "CONIN$", "CONOUT$", the file name of a connected unit, or "".
const char* unit_file_name(int unit);

// The unit's next record (its bytes stay valid until the next read). An
// interrupt that arrives while the read waits ends the run.
SplitStatus unit_read_record(int unit, const char*& record, std::size_t& length);
// After a failed read or the end of the console input: the terminal it
// reads from has hung up.
bool unit_hung_up(int unit);

// Writes one whole record. The first write on the unconnected listing unit
// connects it; the first write on a file locks it against other runs and
// cuts it off. Console records go to the system at once. A failure ends the
// run with its diagnostic, after the file is cut back to its last whole
// record.
void unit_write(int unit, const char* bytes, std::size_t count);

// Writes pending output, closes the file and leaves the unit unconnected;
// a failure is the severe 38. Nothing happens for an unconnected unit.
void close_unit(int unit);
// For the endings of a run: every connected unit closed as by close_unit,
// the console written out; a unit that fails is passed to report and the
// closing goes on.
void close_all_units(void (*report)(int unit));
// Hands the pending records of files written through standard output or
// standard error, so that what follows on that stream keeps the run's order.
// A failure is reported when the unit is closed.
void flush_units_on_standard_streams();

}  // namespace vorna
