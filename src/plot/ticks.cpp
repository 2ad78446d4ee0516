#include "plot/ticks.h"

#include <cfloat>
#include <cmath>

#include "plot/field_reader.h"
#include "text/field_format.h"

namespace vorna::plot {
namespace {

// Fixed-point labels up to this many decimals and below kFixedLimit.
constexpr int kMaxFixedDecimals = 6;
constexpr double kFixedLimit = 1e9;

// The smallest step of the sequence ... 0.5, 1, 2, 5, 10 ... that is at
// least raw, as step = mantissa x 10^power.
void round_step_up(double raw, Ticks& ticks) {
  int power = static_cast<int>(std::floor(std::log10(raw)));
  // log10 may land one off near powers of ten; settle on 10^power <= raw.
  while (std::pow(10.0, power) > raw) --power;
  while (std::pow(10.0, power + 1) <= raw) ++power;
  const double base = std::pow(10.0, power);
  for (double mantissa : {1.0, 2.0, 5.0, 10.0}) {
    const double step = mantissa * base;
    // Near the largest doubles the next round step overflows: the last
    // finite one serves, with a few ticks more than asked for.
    if (!std::isfinite(step)) return;
    ticks.step = step;
    ticks.power = mantissa == 10.0 ? power + 1 : power;
    if (step >= raw) return;
  }
}

// The next smaller step of the sequence: 5 -> 2 -> 1 -> 0.5.
void step_down(Ticks& ticks) {
  const double base = std::pow(10.0, ticks.power);
  const double mantissa = std::round(ticks.step / base);
  if (mantissa > 1.0) {
    ticks.step = (mantissa > 2.0 ? 2.0 : 1.0) * base;
  } else {
    --ticks.power;
    ticks.step = 5.0 * std::pow(10.0, ticks.power);
  }
}

// Every multiple i x step in [low, high], with whole i, so a tick at 0 is
// exactly +0. The quotients are inexact (-0.3 / 0.1 is
// -2.9999999999999996): a tick a billionth of a step outside the range
// still counts as on its end.
void place_ticks(double low, double high, Ticks& ticks) {
  const double slack = 1e-9;
  const double first = std::ceil(low / ticks.step - slack) + 0.0;
  const double last = std::floor(high / ticks.step + slack);
  ticks.count = 0;
  for (double i = first; i <= last && ticks.count < Ticks::kMaxCount; i += 1.0) {
    ticks.values[ticks.count++] = i * ticks.step;
    if (i + 1.0 == i) break;
  }
}

}  // namespace

Ticks choose_ticks(double low, double high, int max_count, double min_step) {
  Ticks ticks;
  if (max_count < 2) max_count = 2;
  if (max_count > Ticks::kMaxCount - 1) max_count = Ticks::kMaxCount - 1;
  // Halves keep the span finite for a range across most of the doubles.
  const double half_span = high * 0.5 - low * 0.5;
  if (!std::isfinite(half_span) || !(half_span > 0.0)) return ticks;
  const double raw = half_span / max_count * 2.0;
  if (!(raw >= DBL_MIN)) return ticks;
  round_step_up(raw, ticks);
  if (ticks.step < min_step) round_step_up(min_step, ticks);
  if (!std::isfinite(ticks.step)) return ticks;
  place_ticks(low, high, ticks);
  // A range between two multiples: smaller steps until two ticks show. A
  // step of half the range always gives them.
  while (ticks.count < 2 && ticks.step > min_step && ticks.step * 0.5 > DBL_MIN) {
    step_down(ticks);
    place_ticks(low, high, ticks);
  }
  return ticks;
}

namespace {

double largest_tick(const Ticks& ticks) {
  return std::fmax(std::fabs(ticks.values[0]),
                   std::fabs(ticks.values[ticks.count > 0 ? ticks.count - 1 : 0]));
}

}  // namespace

int tick_decimals(const Ticks& ticks) {
  const int decimals = ticks.power < 0 ? -ticks.power : 0;
  return decimals <= kMaxFixedDecimals && largest_tick(ticks) < kFixedLimit ? decimals : -1;
}

std::size_t tick_label(double value, const Ticks& ticks, char* out) {
  char field[kMaxLabel];
  const int decimals = tick_decimals(ticks);
  const double largest = largest_tick(ticks);
  const bool fixed = decimals >= 0;
  if (!fixed && value == 0.0) {  // zero needs no exponent
    out[0] = '0';
    return 1;
  }
  if (fixed) {
    format_fixed(value, static_cast<int>(kMaxLabel), decimals, field);
  } else {
    // Enough significant digits to tell neighbouring ticks apart.
    const int magnitude = largest > 0.0 ? static_cast<int>(std::floor(std::log10(largest))) : 0;
    int digits = magnitude - ticks.power;
    if (digits < 1) digits = 1;
    if (digits > 16) digits = 16;
    format_exponent(value, static_cast<int>(kMaxLabel), digits, field);
  }
  std::string_view text = trim_blanks(std::string_view(field, kMaxLabel));
  // F with no decimals ends in its point ("25."): a round tick needs none.
  if (!text.empty() && text.back() == '.') text.remove_suffix(1);
  // A three-digit exponent has no letter in the field ("1.5+308"); a label
  // keeps it ("1.5E+308").
  const std::size_t sign = text.find_last_of("+-");
  if (!fixed && sign != std::string_view::npos && sign > 0 && text[sign - 1] != 'E') {
    text.copy(out, sign);
    out[sign] = 'E';
    text.substr(sign).copy(out + sign + 1, text.size() - sign);
    return text.size() + 1;
  }
  text.copy(out, text.size());
  return text.size();
}

std::size_t longest_tick_label(const Ticks& ticks) {
  char label[kMaxLabel];
  std::size_t longest = 0;
  for (int i = 0; i < ticks.count; ++i) {
    const std::size_t length = tick_label(ticks.values[i], ticks, label);
    if (length > longest) longest = length;
  }
  return longest;
}

}  // namespace vorna::plot
