// The times the reports give to sample positions, for the analyses that
// report times of their own.
#pragma once

#include "analysis/heights.h"

namespace vorna {

struct SampleClock {
  double first_time = 0.0;  // T0
  double increment = 0.0;   // DT
  // Each sample's own time from the file, by 0-based position; null: the
  // even grid of the reports.
  const double* times = nullptr;
  // The time of 1-based sample position k, as the reports give it.
  double at(int k) const {
    return times != nullptr ? times[k - 1] : sample_time(k, first_time, increment);
  }
};

}  // namespace vorna
