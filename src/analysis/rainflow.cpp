#include "analysis/rainflow.h"

#include <cmath>
#include <limits>

namespace vorna {
namespace {

// The history being built: its arrays and its count.
struct Builder {
  double* values;
  int* positions;
  int count = 0;

  void add(double value, int position) {
    const int last = count - 1;
    if (last >= 0 && value == values[last]) return;
    if (last >= 1) {
      const double before = values[last - 1];
      const double turn = values[last];
      if ((turn > before && value > turn) || (turn < before && value < turn)) {
        values[last] = value;
        positions[last] = position;
        return;
      }
    }
    values[count] = value;
    positions[count] = position;
    ++count;
  }
};

}  // namespace

bool turns_at_every_point(const double* values, int m) {
  for (int j = 1; j < m; ++j) {
    if (!(values[j] != values[j - 1])) return false;
    if (j >= 2 && (values[j] - values[j - 1] > 0) == (values[j - 1] - values[j - 2] > 0)) {
      return false;
    }
  }
  return true;
}

LoadHistory reduce_to_turns(const double* values, const int* positions, int m, const double* y,
                            int n, bool with_ends, double* values_out, int* positions_out) {
  Builder history{values_out, positions_out};
  int first = 0;
  int last = n - 1;
  if (with_ends) {
    while (first < n && !std::isfinite(y[first])) ++first;
    while (last > first && !std::isfinite(y[last])) --last;
    if (first < n) history.add(y[first], first + 1);
  }
  for (int j = 0; j < m; ++j) history.add(values[j], positions[j]);
  if (with_ends && last > first) history.add(y[last], last + 1);
  return {values_out, positions_out, history.count};
}

int count_rainflow(const LoadHistory& history, int* stack, RainflowCycle* cycles) {
  const double* v = history.values;
  int depth = 0;
  int found = 0;
  for (int i = 0; i < history.count; ++i) {
    stack[depth++] = i;
    while (depth >= 3) {
      const double x = std::fabs(v[stack[depth - 1]] - v[stack[depth - 2]]);
      const double y = std::fabs(v[stack[depth - 2]] - v[stack[depth - 3]]);
      if (x < y) break;
      if (depth == 3) {
        // Y starts at the first point held: half a cycle, and the history
        // starts again at Y's second point.
        cycles[found++] = {stack[0], stack[1], -1};
        stack[0] = stack[1];
        stack[1] = stack[2];
        depth = 2;
      } else {
        cycles[found++] = {stack[depth - 3], stack[depth - 2], i};
        stack[depth - 3] = stack[depth - 1];
        depth -= 2;
      }
    }
  }
  for (int k = 0; k + 1 < depth; ++k) cycles[found++] = {stack[k], stack[k + 1], -1};
  return found;
}

double cycle_range(const LoadHistory& history, const RainflowCycle& cycle) {
  return std::fabs(history.values[cycle.to] - history.values[cycle.from]);
}

double cycle_mean(const LoadHistory& history, const RainflowCycle& cycle) {
  const double a = history.values[cycle.from];
  const double b = history.values[cycle.to];
  const double mean = (a + b) / 2.0;
  // Halves first only where the sum would overflow.
  return std::isfinite(mean) ? mean : a / 2.0 + b / 2.0;
}

int cycle_close(const RainflowCycle& cycle) { return cycle.full() ? cycle.closed_by : cycle.to; }

CycleSummary summarise_cycles(const LoadHistory& history, const RainflowCycle* cycles, int count,
                              double slope) {
  CycleSummary summary;
  double weighted = 0.0;
  for (int k = 0; k < count; ++k) {
    const double range = cycle_range(history, cycles[k]);
    const double n = cycles[k].full() ? 1.0 : 0.5;
    if (cycles[k].full()) {
      ++summary.full;
    } else {
      ++summary.half;
    }
    if (summary.largest < 0 || range > summary.largest_range) {
      summary.largest = k;
      summary.largest_range = range;
    }
    if (slope > 0.0) weighted += n * std::pow(range, slope);
  }
  const double total = summary.full + 0.5 * summary.half;
  summary.equivalent_range = count > 0 && slope > 0.0 ? std::pow(weighted / total, 1.0 / slope)
                                                      : std::numeric_limits<double>::quiet_NaN();
  return summary;
}

}  // namespace vorna
