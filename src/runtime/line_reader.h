// Reading records of a unit into fixed-length, blank-padded text fields.
#pragma once

#include <cstddef>

#include "runtime/failure.h"
#include "text/line_splitter.h"

namespace vorna {

// Copies a record into field[0..length): cut when longer, blank padded.
void transfer_record(const char* record, std::size_t record_length, char* field, int length);

// What a read gives: kRecordRead, kEndOfStream, or a failure that ends the
// run: the number of its severe diagnostic or kInterrupt (see read_failure).
constexpr int kRecordRead = 0;
constexpr int kEndOfStream = -1;

// Reads the next record of the unit (console input or the series file) into
// field. At the end of the stream: with end_branch, kEndOfStream, the field
// left as it was; without, the severe end-of-file diagnostic (24). A line too
// long to buffer is 22, a failed read 39; a pending interrupt, or a console
// whose terminal hung up (the window-CLOSE event), is kInterrupt.
[[nodiscard]] int read_line(int unit, char* field, int length, bool end_branch);

// Reads the next record of the unit whole, without a field: its bytes stay
// valid until the unit's next read. kEndOfStream at the end of the stream;
// the failures are read_line's.
[[nodiscard]] int read_record(int unit, const char*& record, std::size_t& length);

// The failure that a read's status stands for: none for kRecordRead and
// kEndOfStream (the end of a stream read with the end branch).
Failure read_failure(int status, int unit);

}  // namespace vorna
