// Local extremum detection over the samples.
#pragma once

namespace vorna {

// Scans y[0..n) once and stores every interior peak and trough, in order of
// position: values[j] is a copy of the sample, positions[j] its 1-based
// position. Returns the count m (0 when n < 3). The arrays must hold n
// entries.
int locate_extrema(const double* y, int n, double* values, int* positions);

}  // namespace vorna
