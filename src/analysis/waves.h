// Zero down-crossing waves of a record: a wave runs from one down-crossing
// of a level to the next; its height is its crest minus its trough.
#pragma once

#include "analysis/sample_clock.h"

namespace vorna {

struct Wave {
  double start;   // the time of the down-crossing that starts it
  double period;  // to the down-crossing that ends it
  double crest;   // its highest sample
  double trough;  // its lowest sample
  double height() const { return crest - trough; }
};

// The finite samples' lowest, highest and mean value; with none, all three
// are not a number.
struct RecordLevels {
  double lowest;
  double highest;
  double mean;
};
RecordLevels record_levels(const double* y, int n);

// Scans y[0..n) once and stores its waves in order into waves (room for
// n / 2 + 1) and returns their number. A down-crossing counts when the
// record goes from above level + band / 2 to below level - band / 2; its
// time is where the record last passed down through the level itself
// before that, interpolated linearly between the two samples around the
// passage. Samples that are not finite are passed over. The part of the
// record before the first counted crossing and after the last is no wave.
int find_waves(const double* y, int n, double level, double band, const SampleClock& clock,
               Wave* waves);

struct WaveSummary {
  int count = 0;
  int highest = -1;  // index of the first of the highest waves; -1 with none
  // The highest wave, its start and period; the mean height of the highest
  // third (of max(1, count / 3) waves); the root-mean-square height; the
  // mean period. Not a number without waves.
  double hmax;
  double time_of_hmax;
  double tmax;
  double h1_3;
  double hrms;
  double tz;
};

// heights: room for count values, overwritten.
WaveSummary summarise_waves(const Wave* waves, int count, double* heights);

}  // namespace vorna
