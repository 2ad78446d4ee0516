// The samples of a listing as its reader and the check that the print
// file and the listing are of one run (one_run_check) share them: one line
// read, and the window of samples around the pair of maximum height, whose
// ends the check finds. It includes neither of the two.
#pragma once

#include <cstdint>
#include <string_view>

#include "plot/decimation.h"
#include "plot/field_reader.h"

namespace vorna::plot {

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

// One listing line, read.
struct ListingLine {
  std::int64_t number = 0;
  std::string_view time_text;  // trimmed
  std::string_view value_text;
  Field time, value;
  bool extremum = false;  // met as an extremum of the table
};

}  // namespace vorna::plot
