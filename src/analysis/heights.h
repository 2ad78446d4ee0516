// Heights between successive extrema, and the time rule of the reports.
#pragma once

namespace vorna {

// The time of sample position k: (k * dt + t0) - dt, evaluated in exactly
// this order; k is a real so the listing's real counter can use it. Inline:
// the listing and the reader's spacing check take it once a sample.
inline double sample_time(double k, double t0, double dt) {
  const double scaled = k * dt;
  const double shifted = scaled + t0;
  return shifted - dt;
}

struct HeightResult {
  double max_height = 0.0;
  double time_of_max_height = 0.0;
};

// heights[0] = 0 (set even when m is 0); heights[j] = values[j] - values[j-1].
// The largest absolute height and the time of the extremum closing it; the
// first pair wins a tie. heights must hold at least one entry. With times
// (each sample's own time, by 0-based position) the time of the maximum is
// the sample's own instead of the even grid's.
HeightResult height_statistics(int m, const double* values, const int* positions, double t0,
                               double dt, double* heights, const double* times = nullptr);

}  // namespace vorna
