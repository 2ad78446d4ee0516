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

// The maximum height that the reversals with `band` give, as
// height_statistics would find it from locate_reversals' table, without
// storing the table; count, when given, receives the number of reversals.
double reversal_max_height(const double* y, int n, double band, int* count = nullptr);

// What one pass over the values measures: the record's extremes (the first
// sample of each, not-a-number passed over) and the steps between
// successive finite values.
struct ValueSpread {
  int finite = 0;          // values that are numbers (infinities included)
  int highest_at = -1;     // 0-based position of the first highest value
  int lowest_at = -1;      // and of the first lowest; -1 without values
  double highest = 0.0;
  double lowest = 0.0;
  double mean_step = 0.0;      // mean absolute step between finite values
  double smallest_step = 0.0;  // smallest step that is not 0: the resolution
};
ValueSpread measure_spread(const double* y, int n);

// A --hysteresis band that holds a record's small reversals (noise, the
// steps of a coarse resolution, a ripple) and leaves its swings: eight
// times the mean step, and at least twice the resolution, to two
// significant digits, as a user types it. Eight mean steps hold the deepest
// dip that gaussian noise digs into a long flat crest, twice the resolution
// a value that dithers between two stored levels. 0 (no band to suggest)
// for records under 20 samples and when the band would take half the range
// or more: then the steps are as large as the swings (a wave of a few
// samples a period), and no band separates them.
double suggested_band(const ValueSpread& spread, int n);

// Whether the small reversals decide the maximum height: the record's
// maximum height with the band suggested differs from the one given by more
// than 10 % of the larger.
struct SmallReversals {
  bool decide = false;
  double band = 0.0;        // the band suggested (0: none)
  double max_height = 0.0;  // the maximum height with it
};
SmallReversals judge_small_reversals(const double* y, int n, const ValueSpread& spread,
                                     double max_height);

}  // namespace vorna
