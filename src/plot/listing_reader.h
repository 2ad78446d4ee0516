// The listing that vorna writes (one line per sample), read back for the
// picture beside the print file of the same run: streamed, its samples
// spread over the plot's columns and counted, the samples around the pair
// of maximum height kept for the detail panel.
#pragma once

#include <cstdint>
#include <limits>

#include "plot/block_reader.h"
#include "plot/decimation.h"
#include "plot/field_reader.h"
#include "plot/listing_samples.h"
#include "plot/plot_input.h"
#include "plot/print_file_reader.h"

namespace vorna::plot {

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
  // Gaps in time: steps between timed samples longer than gap_limit.
  double gap_limit = std::numeric_limits<double>::infinity();
  double previous_time = std::numeric_limits<double>::quiet_NaN();
  std::int64_t time_gaps = 0;
};

// The least step between two listed times that is a gap in the record:
// more than 1.5 time increments, beyond what the listing's three decimals
// can blur. None (infinity) without an increment above 0.
double time_gap_limit(const Field& increment);

// Whether the step from previous to time is a gap (never when either is
// not a number).
inline bool is_time_gap(double previous, double time, double limit) {
  return time - previous > limit;
}

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
