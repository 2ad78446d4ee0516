#include "analysis/extrema.h"

namespace vorna {

// The three groups are tested in order: cur above prev, below prev, equal to
// it. Every comparison with a not-a-number is false, so a not-a-number among
// prev, cur and next gives no extremum. On a plateau the extremum falls on
// its last sample.
int locate_extrema(const double* y, int n, double* values, int* positions) {
  int m = 0;
  for (int i = 1; i + 1 < n; ++i) {
    const double prev = y[i - 1];
    const double cur = y[i];
    const double next = y[i + 1];
    bool extremum;
    if (cur > prev) {
      extremum = next < cur;
    } else if (cur < prev) {
      extremum = next > cur;
    } else if (cur == prev) {
      extremum = next < cur || next > cur;
    } else {
      extremum = false;
    }
    if (extremum) {
      values[m] = cur;
      positions[m] = i + 1;
      ++m;
    }
  }
  return m;
}

}  // namespace vorna
