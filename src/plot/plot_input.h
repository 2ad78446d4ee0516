// What the readers of the files that vorna writes share: the problem that
// stops a reading, one line for standard error, and the words it says when
// a file cannot be opened or read or a line is too long. The readers are
// print_file_reader (the print file), listing_reader (the listing) and
// one_run_check (whether the two are of one run); cycle_picture reads the
// cycle file.
#pragma once

#include "plot/block_reader.h"

namespace vorna::plot {

// What stopped the reading: one line for standard error, without the
// program's name and without a line end.
struct Problem {
  char message[640] = {};
  void set(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // More text after the message, as far as it has room.
  void append(const char* format, ...) __attribute__((format(printf, 2, 3)));
};

// Opens path into reader; false with problem set ("cannot open") when it
// cannot.
bool open_input(const char* path, BlockReader& reader, Problem& problem);

// Why a line could not be had (status kError or kTooLong; kEnd sets
// nothing): the problem names the file and, for a line too long, the line
// of the VORNA file of that kind it should be. Always false.
bool report_read_failure(BlockReader::Status status, const char* path, const BlockReader& reader,
                         const char* kind, Problem& problem);

// The number of the line a problem is about: the one just read, or the one
// that the end of the file left missing.
long long line_in_question(const BlockReader& reader, BlockReader::Status status);

}  // namespace vorna::plot
