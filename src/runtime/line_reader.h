// Reading records of a unit into fixed-length, blank-padded text fields.
#pragma once

#include <cstddef>

#include "text/line_splitter.h"

namespace vorna {

// Copies a record into field[0..length): cut when longer, blank padded.
void transfer_record(const char* record, std::size_t record_length, char* field, int length);

// Reads the next record of the unit (console input or the series file) into
// field. At the end of the stream: with end_branch, returns -1 and leaves the
// field as it was; without, it is the severe end-of-file diagnostic. Returns
// 0 for a record. A line too long to buffer (22) or a failed read (39) ends
// the run; so does an interrupt, and a console whose terminal hung up is the
// window-CLOSE event.
int read_line(int unit, char* field, int length, bool end_branch);
// The same, also giving the record's own length (a longer one is cut).
int read_line(int unit, char* field, int length, bool end_branch, std::size_t& record_length);

// Reads the next record of the unit whole, without a field: its bytes stay
// valid until the unit's next read. Returns -1 at the end of the stream;
// the failures are read_line's.
int read_record(int unit, const char*& record, std::size_t& length);

}  // namespace vorna
