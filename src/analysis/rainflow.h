// Rainflow counting of a load history: the three-point method, one pass
// with a stack. The history is the run's extrema (or its reversals), and
// each range the stack closes becomes a full cycle; what the stack holds at
// the end, the residue, becomes half cycles.
#pragma once

namespace vorna {

// The history counted: points that turn at every point, values[j] and
// positions[j] (1-based sample positions) as in an extremum table.
struct LoadHistory {
  const double* values;
  const int* positions;
  int count = 0;
};

// Whether values[0..m) turn at every point already: no two successive
// equal, each step against the one before.
bool turns_at_every_point(const double* values, int m);

// Reduces values[0..m) with their positions to a history whose points turn
// at every point, into values_out and positions_out (room for m + 2 points),
// and returns it:
// - a point equal to the last point kept is dropped (a level step is no
//   turn; the earlier point stays, and with it the earlier time);
// - a point that goes on in the direction of the last two kept takes the
//   place of the last one (a step inside a swing is no turn).
// With the ends, the first and the last finite sample of y[0..n) stand
// before and after the extrema as points of their own, and go through the
// same rules: a record that starts or ends inside a swing counts that swing
// as a half cycle.
LoadHistory reduce_to_turns(const double* values, const int* positions, int m, const double* y,
                            int n, bool with_ends, double* values_out, int* positions_out);

// One cycle: the range from history point `from` to history point `to`
// (from < to). A full cycle was closed by the range that ended at point
// `closed_by`; a half cycle has closed_by -1.
struct RainflowCycle {
  int from;
  int to;
  int closed_by;
  bool full() const { return closed_by >= 0; }
};

// Counts the history's cycles in the order found into cycles (room for
// history.count entries; stack likewise) and returns their number. At each
// new point, with X the latest range and Y the one before it: while
// |X| >= |Y| (an equal range closes too), Y is a full cycle and leaves the
// stack, unless Y starts at the history's first point still held: then Y
// is a half cycle and only its first point leaves. At the end each range
// of the residue is a half cycle.
int count_rainflow(const LoadHistory& history, int* stack, RainflowCycle* cycles);

// The range and mean of a cycle.
double cycle_range(const LoadHistory& history, const RainflowCycle& cycle);
double cycle_mean(const LoadHistory& history, const RainflowCycle& cycle);
// The history point at which a cycle closes: the point whose range closed a
// full cycle, the second point of a half cycle.
int cycle_close(const RainflowCycle& cycle);

struct CycleSummary {
  int full = 0;
  int half = 0;
  int largest = -1;  // index of the first cycle with the largest range; -1 with none
  double largest_range = 0.0;
  // (sum of n * R^slope / sum of n)^(1/slope), n 1 or 0.5; not a number
  // without cycles or without a slope (slope 0).
  double equivalent_range = 0.0;
};

CycleSummary summarise_cycles(const LoadHistory& history, const RainflowCycle* cycles, int count,
                              double slope);

}  // namespace vorna
