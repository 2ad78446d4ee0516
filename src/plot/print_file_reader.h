// The print file that vorna writes, read back for the picture: its header
// block and its extremum table, streamed; what the picture needs is kept in
// fixed storage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "plot/block_reader.h"
#include "plot/field_reader.h"
#include "plot/plot_input.h"

namespace vorna::plot {

// A numeric field of the header block: the 12 characters as printed and
// their value.
struct HeaderField {
  char text[13] = {};
  Field value;
  std::string_view shown() const { return trim_blanks(text); }
};

struct ExtremumPoint {
  double time = 0.0;
  double value = 0.0;
};

// The two successive extrema whose height is the maximum height: the first
// pair with the largest absolute height in the table, preferring one that
// closes at the header's "Time For max height" when rounding made several
// equal.
struct MaxHeightPair {
  bool found = false;
  Field from_time, from_value, to_time, to_value;
  std::int64_t to_index = 0;  // the later extremum's 1-based place in the table
};

struct PrintFile {
  // Enough for every extremum that can be marked at the widest picture.
  static constexpr int kMaxStoredExtrema = 2048;

  char stamp[257] = {};  // header line 1 after its "#", blanks trimmed
  std::size_t stamp_length = 0;
  std::int64_t steps = 0;
  HeaderField steps_text, first_time, last_time, increment, simulation_length, max_height,
      time_of_max_height;
  bool header_asterisks = false;  // a header value too wide for its field

  std::int64_t extremum_count = 0;
  std::int64_t unplaceable_extrema = 0;  // time or value not a number
  int stored_extrema = 0;                // the first placeable ones
  ExtremumPoint extrema[kMaxStoredExtrema];
  MaxHeightPair pair;
};

// The lines of the header block, the date stamp's and the closing one
// included.
constexpr std::size_t kHeaderBlockLines = 9;

// Reads the print file at path. False with problem set when it cannot be
// read or is not a print file of the program.
bool read_print_file(const char* path, BlockReader& reader, PrintFile& file, Problem& problem);

// One line of the extremum table: its time, value and height fields; false
// when it is not one.
bool read_table_line(std::string_view line, Field& time, Field& value, Field& height);

// The text of the time field of a table line.
std::string_view table_time_text(std::string_view line);
// The text of the value field of a table line.
std::string_view table_value_text(std::string_view line);

}  // namespace vorna::plot
