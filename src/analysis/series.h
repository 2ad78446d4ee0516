// The series data shared by the reader, the analysis and the reports: a
// fixed capacity, allocated once per run by its owner (RunStorage).
#pragma once

#include <memory>

namespace vorna {

constexpr int kSeriesCapacity = 1000000;

// The accepted samples and the series scalars.
struct Series {
  int count = 0;             // N
  double first_time = 0.0;   // T0
  double last_time = 0.0;    // TL
  double increment = 0.0;    // DT
  double* values = nullptr;  // Y(1..N), stored from index 0; kSeriesCapacity of them
  // Each sample's own time as the file gives it, kept by the command line's
  // table reader; the reports use them instead of the even grid when
  // file_times is set.
  bool file_times = false;
  double* times = nullptr;  // kSeriesCapacity of them
};

// The extrema of a series with their heights; kSeriesCapacity of each.
struct ExtremumTable {
  int count = 0;              // m
  double* values = nullptr;   // E(1..m), bit-for-bit copies of samples
  int* positions = nullptr;   // P(1..m), 1-based sample positions
  double* heights = nullptr;  // H(1..m); H(1) is 0
  double max_height = 0.0;
  double time_of_max_height = 0.0;
};

// The arrays of one run, taken from the system once, at the start of a run
// (never for --help, --version or a wrong command line), and kept to its end.
class RunStorage {
 public:
  // False when the system cannot give them; the tables stay without arrays.
  bool allocate();
  Series& series() { return series_; }
  ExtremumTable& extrema() { return extrema_; }

 private:
  std::unique_ptr<double[]> samples_;
  std::unique_ptr<double[]> times_;
  std::unique_ptr<double[]> extremum_values_;
  std::unique_ptr<int[]> positions_;
  std::unique_ptr<double[]> heights_;
  Series series_;
  ExtremumTable extrema_;
};

}  // namespace vorna
