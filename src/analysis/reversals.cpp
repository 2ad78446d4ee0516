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

// Where kept reversals go: into a table, in locate_extrema's form.
struct TableSink {
  double* values;
  int* positions;
  int count = 0;
  void keep(double value, int index) {
    values[count] = value;
    positions[count] = index + 1;
    ++count;
  }
};

// Or only into the maximum height between successive ones, by
// height_statistics' rule: a strictly larger absolute height replaces it.
struct MaxHeightSink {
  int count = 0;
  double previous = 0.0;
  double max_height = 0.0;
  void keep(double value, int) {
    if (count > 0) {
      const double height = std::fabs(value - previous);
      if (height > max_height) max_height = height;
    }
    previous = value;
    ++count;
  }
};

// The scan's state: before the first move of at least the band the
// direction is unknown, and the lowest and highest samples so far are both
// candidates; afterwards one candidate turn is followed.
template <typename Sink>
struct ReversalScan {
  double band;
  Sink sink;
  int direction = 0;  // +1 rising, -1 falling, 0 not yet known
  int low = -1;       // index of the lowest sample so far (direction 0)
  int high = -1;      // index of the highest sample so far (direction 0)
  int turn = -1;      // the candidate turn (direction +1: a peak, -1: a trough)
  int first = -1;     // index of the first sample that is a number

  // A move back of `distance` confirms the candidate.
  bool moved_back(double distance) const { return distance >= band && distance > 0.0; }

  void keep(const double* y, int index) { sink.keep(y[index], index); }

  // Equal values move the candidate on, so a level run at a turn stands on
  // its last sample. The lowest or highest sample before the first move is a
  // turn unless it is the first sample itself: any sample after the first
  // either came to it from the other side or ends a level run that the
  // record starts with, and the default table takes such a run's last
  // sample as a turn too (5, 5, 0: a peak at the second sample).
  void start(const double* y, int i) {
    if (first < 0) {
      first = low = high = i;
      return;
    }
    if (y[i] >= y[high]) high = i;
    if (y[i] <= y[low]) low = i;
    if (!moved_back(y[high] - y[low])) return;
    if (high > low) {
      if (low != first) keep(y, low);
      direction = 1;
      turn = high;
    } else {
      if (high != first) keep(y, high);
      direction = -1;
      turn = low;
    }
  }
};

// Follows the candidate turn from sample i on, in the direction found: the
// turn's value stays in a register, and each direction has its own loop. A
// not-a-number neither moves the candidate nor confirms it, so it needs no
// test of its own here.
template <typename Sink>
void follow_reversals(const double* y, int i, int n, ReversalScan<Sink>& scan) {
  int turn = scan.turn;
  double at_turn = y[turn];
  bool rising = scan.direction > 0;
  while (i < n) {
    if (rising) {
      for (; i < n; ++i) {
        const double v = y[i];
        if (v >= at_turn) {
          at_turn = v;
          turn = i;
        } else if (scan.moved_back(at_turn - v)) {
          break;
        }
      }
    } else {
      for (; i < n; ++i) {
        const double v = y[i];
        if (v <= at_turn) {
          at_turn = v;
          turn = i;
        } else if (scan.moved_back(v - at_turn)) {
          break;
        }
      }
    }
    if (i == n) break;
    // Sample i moved back far enough: the candidate is a reversal, and i the
    // next candidate, the other way.
    scan.sink.keep(at_turn, turn);
    rising = !rising;
    turn = i;
    at_turn = y[i];
    ++i;
  }
}

template <typename Sink>
Sink scan_reversals(const double* y, int n, double band, Sink sink) {
  ReversalScan<Sink> scan{band, sink};
  int i = 0;
  for (; i < n && scan.direction == 0; ++i) {
    if (!std::isnan(y[i])) scan.start(y, i);
  }
  if (scan.direction != 0) follow_reversals(y, i, n, scan);
  // The last candidate was never confirmed: the record ends before the
  // series moved back from it, so it is no reversal.
  return scan.sink;
}

}  // namespace

int locate_reversals(const double* y, int n, double band, double* values, int* positions) {
  return scan_reversals(y, n, band, TableSink{values, positions}).count;
}

double reversal_max_height(const double* y, int n, double band, int* count) {
  const MaxHeightSink result = scan_reversals(y, n, band, MaxHeightSink{});
  if (count != nullptr) *count = result.count;
  return result.max_height;
}

ValueSpread measure_spread(const double* y, int n) {
  ValueSpread spread;
  // Locals, not the result's fields, so that the loop keeps them in
  // registers; the counts that follow from others are formed at the end.
  int numbers = 0;  // values that are not a not-a-number
  int last_at = -1;
  int highest_at = -1;
  int lowest_at = -1;
  double highest = 0.0;
  double lowest = 0.0;
  double bend_sum = 0.0;
  double smallest_step = HUGE_VAL;
  double previous = 0.0;
  double previous_step = 0.0;
  int finite_values = 0;
  for (int i = 0; i < n; ++i) {
    const double v = y[i];
    // The common case, a finite value after two others: the extremes are
    // set, and the value has a step and a bend.
    if (finite_values >= 2 && std::isfinite(v)) {
      last_at = i;
      ++numbers;
      if (v > highest) {
        highest = v;
        highest_at = i;
      } else if (v < lowest) {
        lowest = v;
        lowest_at = i;
      }
      const double step = v - previous;
      const double size = std::fabs(step);
      if (size > 0.0 && size < smallest_step) smallest_step = size;
      bend_sum += std::fabs(step - previous_step);
      ++finite_values;
      previous = v;
      previous_step = step;
      continue;
    }
    if (std::isnan(v)) continue;
    last_at = i;
    if (numbers++ == 0) {
      highest = lowest = v;
      spread.first_at = highest_at = lowest_at = i;
    } else if (v > highest) {
      highest = v;
      highest_at = i;
    } else if (v < lowest) {
      lowest = v;
      lowest_at = i;
    }
    if (!std::isfinite(v)) continue;
    const double step = v - previous;
    if (finite_values >= 1) {
      const double size = std::fabs(step);
      if (size > 0.0 && size < smallest_step) smallest_step = size;
    }
    if (finite_values >= 2) bend_sum += std::fabs(step - previous_step);
    ++finite_values;
    previous = v;
    previous_step = step;
  }
  spread.finite = numbers;
  spread.last_at = last_at;
  spread.highest_at = highest_at;
  spread.lowest_at = lowest_at;
  spread.highest = highest;
  spread.lowest = lowest;
  // Every finite value from the third on added one bend.
  const int bends = finite_values > 2 ? finite_values - 2 : 0;
  if (bends > 0) spread.mean_bend = bend_sum / bends;
  if (smallest_step < HUGE_VAL) spread.smallest_step = smallest_step;
  return spread;
}

double suggested_band(const ValueSpread& spread, int n) {
  if (n < kFewestSamplesJudged) return 0.0;
  const double band = two_digits(std::fmax(9.0 * spread.mean_bend, 2.0 * spread.smallest_step));
  // Infinite or not-a-number ranges fail the test too.
  if (!(band > 0.0 && band < 0.5 * (spread.highest - spread.lowest))) return 0.0;
  return band;
}

double mean_height(const double* heights, int count) {
  if (count < 2) return 0.0;
  double sum = 0.0;
  for (int j = 1; j < count; ++j) sum += std::fabs(heights[j]);
  return sum / (count - 1);
}

SmallReversals judge_small_reversals(const double* y, int n, const ValueSpread& spread,
                                     double max_height, double mean_height) {
  SmallReversals result;
  result.band = suggested_band(spread, n);
  if (result.band == 0.0) return result;
  result.max_height = reversal_max_height(y, n, result.band);
  const double larger = std::fmax(result.max_height, max_height);
  const bool differ = std::fabs(result.max_height - max_height) > 0.1 * larger;
  if (result.max_height > 0.0) {
    result.decide =
        differ && result.band <= result.max_height / 3.0 && mean_height < 0.2 * result.max_height;
  } else {
    // No swing is left (a noisy ramp): the heights were wiggles if even the
    // largest is small next to the range.
    result.decide = differ && max_height < 0.2 * (spread.highest - spread.lowest);
  }
  return result;
}

}  // namespace vorna
