// The times the reports give to sample positions, for the analyses that
// report times of their own.
#pragma once

#include "analysis/heights.h"

namespace vorna {

struct SampleClock {
  double first_time = 0.0;  // T0
  double increment = 0.0;   // DT
  // The time of 1-based sample position k, by the rule of the reports.
  double at(int k) const { return sample_time(k, first_time, increment); }
};

}  // namespace vorna
