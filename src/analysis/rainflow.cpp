#include "analysis/rainflow.h"

#include <cmath>
#include <limits>

namespace vorna {
namespace {

void add_point(LoadHistory& history, double value, int position) {
  const int last = history.count - 1;
  if (last >= 0 && value == history.values[last]) return;
  if (last >= 1) {
    const double before = history.values[last - 1];
    const double turn = history.values[last];
    if ((turn > before && value > turn) || (turn < before && value < turn)) {
      history.values[last] = value;
      history.positions[last] = position;
      return;
    }
  }
  history.values[history.count] = value;
  history.positions[history.count] = position;
  ++history.count;
}

}  // namespace

void reduce_to_turns(const double* values, const int* positions, int m, const double* y, int n,
                     bool with_ends, LoadHistory& history) {
  history.count = 0;
  int first = 0;
  int last = n - 1;
  if (with_ends) {
    while (first < n && !std::isfinite(y[first])) ++first;
    while (last > first && !std::isfinite(y[last])) --last;
    if (first < n) add_point(history, y[first], first + 1);
  }
  for (int j = 0; j < m; ++j) add_point(history, values[j], positions[j]);
  if (with_ends && last > first) add_point(history, y[last], last + 1);
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
