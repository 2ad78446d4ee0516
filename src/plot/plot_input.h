// The two files that vorna writes, read back for the picture: the print
// file (header block and extremum table) and the listing (one line per
// sample). Both are streamed; what the picture needs is kept in fixed
// storage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

#include "plot/block_reader.h"
#include "plot/decimation.h"
#include "plot/field_reader.h"

namespace vorna::plot {

// What stopped the reading: one line for standard error, without the
// program's name and without a line end.
struct Problem {
  char message[640] = {};
  void set(const char* format, ...) __attribute__((format(printf, 2, 3)));
};

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

// The samples around the pair of maximum height, every one as the listing
// has it (a value that is not a number as NaN), for the detail panel.
struct DetailWindow {
  static constexpr std::int64_t kCapacity = 2 * ColumnDecimator::kMaxColumns;
  std::int64_t first = 0, last = 0;  // sample numbers; none when first is 0
  std::int64_t from = 0, to = 0;     // the pair's sample numbers
  SamplePoint samples[kCapacity];    // sample k at (k - 1) % kCapacity
  bool extremum[kCapacity] = {};     // an extremum of the table

  bool shown() const { return first > 0; }
  static std::int64_t slot(std::int64_t number) { return (number - 1) % kCapacity; }
  const SamplePoint& sample(std::int64_t number) const { return samples[slot(number)]; }
  bool is_extremum(std::int64_t number) const { return extremum[slot(number)]; }
};

// A closed range that grows with every value added.
struct Range {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  void add(double v) {
    if (v < low) low = v;
    if (v > high) high = v;
  }
  bool empty() const { return !(low <= high); }
};

struct Listing {
  std::int64_t lines = 0;
  std::int64_t time_asterisks = 0;               // time too wide for its field
  std::int64_t time_words = 0;                   // time NaN or Infinity
  std::int64_t value_not_number = 0;             // value NaN, Infinity or asterisks
  std::int64_t timed_samples = 0;                // time and value both numbers
  std::int64_t valued_samples = 0;               // value a number
  Range times;                                   // of the timed samples
  Range timed_values;                            // values of the timed samples
  Range values;                                  // values of the valued samples
  Range numbers;                                 // sample numbers of the valued samples
  char first_time[16] = {}, last_time[16] = {};  // of the first and last line, trimmed
  SamplePoint highest, lowest;                   // the first valued sample of each
  ColumnDecimator columns;
  DetailWindow detail;
};

// Reads the print file at path. False with problem set when it cannot be
// read or is not a print file of the program.
bool read_print_file(const char* path, BlockReader& reader, PrintFile& file, Problem& problem);

// Reads the listing at path into listing, spreading its samples over
// columns columns. It must be the listing of the run that wrote the print
// file at print_path: its line count is the "Time Series steps", and the
// sample at the time of each extremum of the table, which table_reader
// reads once more beside it, has the extremum's value to the printed
// precision. A missing listing is an empty one when steps is 0: the
// program writes none then. With detail_columns above 0 and more samples
// than that, the samples around the pair of maximum height are kept.
bool read_listing(const char* path, const char* print_path, const PrintFile& file, int columns,
                  int detail_columns, BlockReader& reader, BlockReader& table_reader,
                  Listing& listing, Problem& problem);

}  // namespace vorna::plot
