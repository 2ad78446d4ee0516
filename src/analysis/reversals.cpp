#include "analysis/reversals.h"

#include <charconv>
#include <cmath>

namespace vorna {
namespace {

// value to two significant digits, so that a user can type it as it is
// shown.
double two_digits(double value) {
  char text[32];
  const auto written =
      std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 1);
  std::from_chars(text, written.ptr, value);
  return value;
}

// The scan's state: before the first move of at least the band the
// direction is unknown, and the lowest and highest samples so far are both
// candidates; afterwards one candidate turn is followed.
struct ReversalScan {
  double band;
  double* values;
  int* positions;
  int count = 0;
  int direction = 0;  // +1 rising, -1 falling, 0 not yet known
  int low = -1;       // index of the lowest sample so far (direction 0)
  int high = -1;      // index of the highest sample so far (direction 0)
  int turn = -1;      // the candidate turn (direction +1: a peak, -1: a trough)
  int first = -1;     // index of the first sample that is a number

  // A move back of `distance` confirms the candidate.
  bool moved_back(double distance) const { return distance >= band && distance > 0.0; }

  void keep(const double* y, int index) {
    values[count] = y[index];
    positions[count] = index + 1;
    ++count;
  }

  // Equal values move the candidate on, so a level run at a turn stands on
  // its last sample. The lowest or highest sample before the first move is a
  // turn only when the series came to it from the other side: a record that
  // starts on it starts there, it does not turn.
  void start(const double* y, int i) {
    if (first < 0) {
      first = low = high = i;
      return;
    }
    if (y[i] >= y[high]) high = i;
    if (y[i] <= y[low]) low = i;
    if (!moved_back(y[high] - y[low])) return;
    if (high > low) {
      if (y[low] < y[first]) keep(y, low);
      direction = 1;
      turn = high;
    } else {
      if (y[high] > y[first]) keep(y, high);
      direction = -1;
      turn = low;
    }
  }

  void follow(const double* y, int i) {
    const double v = y[i];
    const double at_turn = y[turn];
    if (direction > 0 ? v >= at_turn : v <= at_turn) {
      turn = i;
    } else if (moved_back(direction > 0 ? at_turn - v : v - at_turn)) {
      keep(y, turn);
      direction = -direction;
      turn = i;
    }
  }
};

}  // namespace

int locate_reversals(const double* y, int n, double band, double* values, int* positions) {
  ReversalScan scan{band, values, positions};
  for (int i = 0; i < n; ++i) {
    if (std::isnan(y[i])) continue;
    if (scan.direction == 0) {
      scan.start(y, i);
    } else {
      scan.follow(y, i);
    }
  }
  // The last candidate was never confirmed: the record ends before the
  // series moved back from it, so it is no reversal.
  return scan.count;
}

NoiseAssessment assess_noise(const double* y, int n, int extremum_count, double max_height) {
  NoiseAssessment result;
  double step_sum = 0.0;
  int steps = 0;
  bool any = false;
  double previous = 0.0;
  for (int i = 0; i < n; ++i) {
    const double v = y[i];
    if (!std::isfinite(v)) continue;
    if (!any) {
      result.lowest = result.highest = v;
    } else {
      if (v < result.lowest) result.lowest = v;
      if (v > result.highest) result.highest = v;
      step_sum += std::fabs(v - previous);
      ++steps;
    }
    any = true;
    previous = v;
  }
  constexpr int kFewestJudged = 20;
  if (n < kFewestJudged || steps == 0) return result;
  const double mean_step = step_sum / steps;
  result.dense = extremum_count > n / 4;
  result.small = extremum_count >= 2 && max_height < 0.05 * (result.highest - result.lowest);
  result.suggested_band = two_digits(4.0 * mean_step);
  // A band that holds the wiggles must leave swings to count: when it would
  // take half the range, every step is as large as the record's own swings
  // (a wave of a few samples a period), and no band would help.
  const bool band_leaves_swings = result.suggested_band < 0.5 * (result.highest - result.lowest);
  result.noise_decides = (result.dense || result.small) && band_leaves_swings;
  return result;
}

}  // namespace vorna
