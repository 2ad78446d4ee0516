#include "analysis/waves.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace vorna {
namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// The lowest and highest of a stretch of samples; empty at first.
struct Extent {
  double lowest = std::numeric_limits<double>::infinity();
  double highest = -std::numeric_limits<double>::infinity();
  bool empty() const { return lowest > highest; }
  void add(double value) {
    lowest = std::min(lowest, value);
    highest = std::max(highest, value);
  }
  void add(const Extent& other) {
    lowest = std::min(lowest, other.lowest);
    highest = std::max(highest, other.highest);
  }
};

}  // namespace

RecordLevels record_levels(const double* y, int n) {
  Extent extent;
  double sum = 0.0;
  int finite = 0;
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(y[i])) continue;
    extent.add(y[i]);
    sum += y[i];
    ++finite;
  }
  if (finite == 0) return {kNone, kNone, kNone};
  return {extent.lowest, extent.highest, sum / finite};
}

int find_waves(const double* y, int n, double level, double band, const SampleClock& clock,
               Wave* waves) {
  const double above = level + band / 2.0;
  const double below = level - band / 2.0;
  int found = 0;
  int previous = -1;  // the last finite sample
  bool was_above = false;
  bool started = false;
  double start = 0.0;
  double passage = 0.0;  // the time of the latest passage down through the level
  // The samples of the wave under way up to the latest passage, and those
  // since it (all at or below the level), which belong to the next wave
  // when the passage is counted.
  Extent body;
  Extent tail;
  for (int i = 0; i < n; ++i) {
    const double value = y[i];
    if (!std::isfinite(value)) continue;
    if (value > level) {
      body.add(tail);
      tail = Extent();
      body.add(value);
    } else if (previous >= 0 && y[previous] > level) {
      const double t0 = clock.at(previous + 1);
      const double t1 = clock.at(i + 1);
      passage = t0 + (t1 - t0) * ((y[previous] - level) / (y[previous] - value));
      body.add(tail);
      tail = Extent();
      tail.add(value);
    } else if (!tail.empty()) {
      tail.add(value);
    } else {
      body.add(value);
    }
    previous = i;
    if (value > above) {
      was_above = true;
    } else if (value < below && was_above) {
      was_above = false;
      if (started) waves[found++] = {start, passage - start, body.highest, body.lowest};
      started = true;
      start = passage;
      body = tail;
      tail = Extent();
    }
  }
  return found;
}

WaveSummary summarise_waves(const Wave* waves, int count, double* heights) {
  WaveSummary summary;
  summary.count = count;
  summary.hmax = summary.time_of_hmax = summary.tmax = kNone;
  summary.h1_3 = summary.hrms = summary.tz = kNone;
  if (count == 0) return summary;
  double squares = 0.0;
  double periods = 0.0;
  for (int k = 0; k < count; ++k) {
    const double height = waves[k].height();
    heights[k] = height;
    if (summary.highest < 0 || height > waves[summary.highest].height()) summary.highest = k;
    squares += height * height;
    periods += waves[k].period;
  }
  const Wave& highest = waves[summary.highest];
  summary.hmax = highest.height();
  summary.time_of_hmax = highest.start;
  summary.tmax = highest.period;
  summary.hrms = std::sqrt(squares / count);
  summary.tz = periods / count;
  // The highest third, summed from the highest down.
  const int third = std::max(1, count / 3);
  std::nth_element(heights, heights + third - 1, heights + count, std::greater<double>());
  std::sort(heights, heights + third, std::greater<double>());
  double sum = 0.0;
  for (int k = 0; k < third; ++k) sum += heights[k];
  summary.h1_3 = sum / third;
  return summary;
}

}  // namespace vorna
