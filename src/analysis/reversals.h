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

// Records shorter than this are too short to judge their wiggles or ends:
// the warnings about them stay silent.
constexpr int kFewestSamplesJudged = 20;

// What one pass over the values measures: the record's extremes (the first
// sample of each, not-a-number passed over), and the steps between
// successive finite values and how much each differs from the one before.
struct ValueSpread {
  int finite = 0;       // values that are numbers (infinities included)
  int first_at = -1;    // 0-based positions of the first and the last value,
  int last_at = -1;     // -1 without values
  int highest_at = -1;  // of the first highest value
  int lowest_at = -1;   // and of the first lowest
  double highest = 0.0;
  double lowest = 0.0;
  double mean_bend = 0.0;      // mean absolute difference of successive steps
  double smallest_step = 0.0;  // smallest step that is not 0: the resolution
};
ValueSpread measure_spread(const double* y, int n);

// A --hysteresis band that holds a record's small reversals (noise, the
// steps of a coarse resolution, a ripple) and leaves its swings: nine times
// the mean bend, and at least twice the resolution, to two significant
// digits, as a user types it. The bend (the second difference) grows with
// the square of a wave's frequency, so it measures the wiggles of a few
// samples and hardly the swings: for gaussian noise of deviation s it is
// 1.95 s on average, and nine of it (17.6 s) hold the deepest dip the noise
// digs into a long flat crest; for a ripple of ten samples a period it is a
// quarter of the ripple's amplitude, and nine of it hold the ripple. Twice
// the resolution holds a value that dithers between two stored levels.
// 0 (no band to suggest) for records under 20 samples and when the band
// would take half the range or more: then the wiggles are as large as the
// swings (a wave of a few samples a period), and no band separates them.
double suggested_band(const ValueSpread& spread, int n);

// The mean absolute height of a table's heights[0..count); heights[0], the
// first extremum's, is no height and left out. 0 for fewer than two.
double mean_height(const double* heights, int count);

// Whether small reversals decide the maximum height of a table of every
// turn with the given maximum and mean height: the record's maximum height
// with the band suggested differs from it by more than 10 % of the larger,
// and both the band and the table's heights are small next to that swing:
// the band under a third of it, the mean height under a fifth. A wave with
// a genuine shorter wave on it (one of a third of its size, say) keeps
// heights that large, and a coarse record whose wiggles are nearly its
// seasonal swing needs a band that large: their own heights stand. When the
// band leaves no swing (a noisy ramp), the maximum height must be under a
// fifth of the range.
struct SmallReversals {
  bool decide = false;
  double band = 0.0;        // the band suggested (0: none)
  double max_height = 0.0;  // the maximum height with it
};
SmallReversals judge_small_reversals(const double* y, int n, const ValueSpread& spread,
                                     double max_height, double mean_height);

}  // namespace vorna
