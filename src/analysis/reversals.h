// Reversals of a measured record: the turns of the series where its
// direction changes, kept only when the series moves back from them by at
// least a band. An alternative extremum table for noisy or quantised
// records, where every sample-to-sample wiggle would otherwise count.
#pragma once

namespace vorna {

// Scans y[0..n) once and stores the kept reversals, in order of position,
// in the same form as locate_extrema: values[j] a copy of the sample,
// positions[j] its 1-based position; returns their count.
//
// - A reversal is a sample where the direction of the series changes. A
//   level run on a slope (1, 2, 2, 3) is no reversal; a level run at a turn
//   (1, 3, 3, 1) is one, standing on the run's last sample, as the default
//   extremum table places a plateau's extremum, so that both tables agree on
//   every clean turn.
// - A reversal is kept only once the series has moved back from it by at
//   least `band` (and by more than nothing): with band 0.75 the series
//   0, 2, 1.5, 3, 0 keeps the 3 only (the dip to 1.5 is 0.5 deep); with
//   band 0.5 it keeps 2, 1.5 and 3.
// - The first and the last sample are never reversals: the record may start
//   or end in the middle of a swing. Not-a-number samples are passed over.
int locate_reversals(const double* y, int n, double band, double* values, int* positions);

// What the values say about whether noise decides the maximum height.
struct NoiseAssessment {
  bool noise_decides = false;  // the warning is due: dense or small
  bool dense = false;          // more than one extremum in four samples
  bool small = false;          // the maximum height under 5 % of the range
  double lowest = 0.0;         // the range of the finite values
  double highest = 0.0;
  double suggested_band = 0.0;  // a --hysteresis value to try
};

// The maximum height is most likely a wiggle when either
// - the extrema are dense: more than one in four samples (a clean sampled
//   wave has two per period, so this takes a period under 8 samples; white
//   noise turns at two samples in three), or
// - the maximum height is below 5 % of the range of the values: the heights
//   are steps of the recording's resolution, not swings of the record.
// Both only when the band suggested stays below half the range: steps as
// large as that belong to a wave of a few samples a period, not to noise.
// Records under 20 samples are never judged. The band suggested is four
// times the mean step, to two significant digits: wide enough to hold a
// noise excursion, narrow against a real swing.
NoiseAssessment assess_noise(const double* y, int n, int extremum_count, double max_height);

}  // namespace vorna
