// The series data shared by the reader, the analysis and the reports: fixed
// capacity, statically allocated by their owner.
#pragma once

namespace vorna {

constexpr int kSeriesCapacity = 1000000;

// The accepted samples and the series scalars.
struct Series {
  int count = 0;                   // N
  double first_time = 0.0;         // T0
  double last_time = 0.0;          // TL
  double increment = 0.0;          // DT
  double values[kSeriesCapacity];  // Y(1..N), stored from index 0
  // Each sample's own time as the file gives it, kept by the command line's
  // table reader; the reports use them instead of the even grid when
  // file_times is set.
  bool file_times = false;
  double times[kSeriesCapacity];
};

// The extrema of a series with their heights.
struct ExtremumTable {
  int count = 0;                    // m
  double values[kSeriesCapacity];   // E(1..m), bit-for-bit copies of samples
  int positions[kSeriesCapacity];   // P(1..m), 1-based sample positions
  double heights[kSeriesCapacity];  // H(1..m); H(1) is 0
  double max_height = 0.0;
  double time_of_max_height = 0.0;
};

}  // namespace vorna
