#include "analysis/heights.h"

#include <cmath>

namespace vorna {

HeightResult height_statistics(int m, const double* values, const int* positions, double t0,
                               double dt, double* heights, const double* times) {
  HeightResult result;
  heights[0] = 0.0;
  for (int j = 1; j < m; ++j) {
    const double height = values[j] - values[j - 1];
    heights[j] = height;
    // Strictly greater: a later equal height keeps the earlier time, and a
    // not-a-number never replaces the maximum.
    if (std::fabs(height) > result.max_height) {
      result.max_height = std::fabs(height);
      result.time_of_max_height =
          times != nullptr ? times[positions[j] - 1] : sample_time(positions[j], t0, dt);
    }
  }
  return result;
}

}  // namespace vorna
