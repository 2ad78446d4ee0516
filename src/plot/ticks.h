// Axis ticks at round values: steps of 1, 2 or 5 times a power of ten, and
// their labels in the program's own field forms (F and 1PE).
#pragma once

#include <cstddef>

namespace vorna::plot {

struct Ticks {
  static constexpr int kMaxCount = 64;  // room for 63 steps and both ends
  double step = 0.0;                    // 1, 2 or 5 x 10^power
  int power = 0;
  int count = 0;
  double values[kMaxCount] = {};
};

// The smallest step of 1, 2 or 5 x 10^k, and not below min_step (itself
// such a step), that is at least (high - low) / max_count (max_count taken
// as 2 to 63), and every multiple of it inside [low, high]: at most
// max_count + 1 ticks. When the range falls between two multiples, the
// next smaller steps until two ticks show. An empty, reversed or
// non-finite range gives none.
Ticks choose_ticks(double low, double high, int max_count, double min_step = 0.0);

// The length of the longest label of ticks.
std::size_t longest_tick_label(const Ticks& ticks);

// The label of tick value: fixed-point with just the decimals the step
// needs ("0.5", "25", "0.002"); the exponent form ("1.5E+09", "5.0E-07")
// for ticks of 10^9 and above or steps below 10^-6, where zero is "0".
// Writes at most kMaxLabel characters, no terminator; returns the length.
constexpr std::size_t kMaxLabel = 32;
std::size_t tick_label(double value, const Ticks& ticks, char* out);

// The decimals of every fixed-point label of ticks; -1 when they take the
// exponent form.
int tick_decimals(const Ticks& ticks);

}  // namespace vorna::plot
