// Field conversions on the values of a run: times 0..1000 in steps of 0.001
// and a noisy sine within +-2. Each benchmark's time per iteration is one
// field (or one line); the *_ToChars variants are the same fields through
// std::to_chars with a precision, the baseline.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "text/field_format.h"
#include "text/field_format_detail.h"

namespace {

constexpr std::size_t kSamples = 1000001;

const std::vector<double>& times() {
  static const std::vector<double> values = [] {
    std::vector<double> v(kSamples);
    for (std::size_t k = 0; k < kSamples; ++k) v[k] = static_cast<double>(k) * 0.001;
    return v;
  }();
  return values;
}

const std::vector<double>& sine_values() {
  static const std::vector<double> values = [] {
    std::vector<double> v(kSamples);
    std::mt19937_64 random(1);
    std::uniform_real_distribution<double> noise(-0.1, 0.1);
    for (std::size_t k = 0; k < kSamples; ++k) {
      v[k] = 1.85 * std::sin(static_cast<double>(k) * 0.001 * 0.7) + noise(random);
    }
    return v;
  }();
  return values;
}

using RealField = bool (*)(double, int, int, char*);

void run_real_field(benchmark::State& state, RealField format, const std::vector<double>& values,
                    int w, int d) {
  char out[64];
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(format(values[i], w, d, out));
    benchmark::ClobberMemory();
    if (++i == values.size()) i = 0;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

const RealField kFixed = vorna::format_fixed;
const RealField kExponent = vorna::format_exponent;
const RealField kFixedToChars = vorna::field_format_detail::format_fixed_general;
const RealField kExponentToChars = vorna::field_format_detail::format_exponent_general;

void BM_F15_3(benchmark::State& s) { run_real_field(s, kFixed, times(), 15, 3); }
void BM_F15_3_ToChars(benchmark::State& s) { run_real_field(s, kFixedToChars, times(), 15, 3); }
void BM_F12_3(benchmark::State& s) { run_real_field(s, kFixed, times(), 12, 3); }
void BM_F12_3_ToChars(benchmark::State& s) { run_real_field(s, kFixedToChars, times(), 12, 3); }
void BM_1PE15_5(benchmark::State& s) { run_real_field(s, kExponent, sine_values(), 15, 5); }
void BM_1PE15_5_ToChars(benchmark::State& s) {
  run_real_field(s, kExponentToChars, sine_values(), 15, 5);
}
void BM_1PE12_4(benchmark::State& s) { run_real_field(s, kExponent, sine_values(), 12, 4); }
void BM_1PE12_4_ToChars(benchmark::State& s) {
  run_real_field(s, kExponentToChars, sine_values(), 12, 4);
}
void BM_1PE12_3(benchmark::State& s) { run_real_field(s, kExponent, sine_values(), 12, 3); }
void BM_1PE12_3_ToChars(benchmark::State& s) {
  run_real_field(s, kExponentToChars, sine_values(), 12, 3);
}

void BM_I12(benchmark::State& state) {
  char out[16];
  int value = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(vorna::format_integer(value, 12, 1, out));
    benchmark::ClobberMemory();
    value = value == 1000000 ? 0 : value + 1;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

BENCHMARK(BM_F15_3);
BENCHMARK(BM_F15_3_ToChars);
BENCHMARK(BM_F12_3);
BENCHMARK(BM_F12_3_ToChars);
BENCHMARK(BM_1PE15_5);
BENCHMARK(BM_1PE15_5_ToChars);
BENCHMARK(BM_1PE12_4);
BENCHMARK(BM_1PE12_4_ToChars);
BENCHMARK(BM_1PE12_3);
BENCHMARK(BM_1PE12_3_ToChars);
BENCHMARK(BM_I12);

// Lines into a 64 KiB buffer, as the listing and the extremum table are
// built: fields side by side, then CR LF.
constexpr std::size_t kBuffer = 1 << 16;

// (F15.3, 1P, E15.5): time and value of one sample.
void listing_lines(benchmark::State& state, RealField fixed, RealField exponent) {
  static char buffer[kBuffer];
  const std::vector<double>& t = times();
  const std::vector<double>& y = sine_values();
  std::size_t at = 0;
  std::size_t i = 0;
  for (auto _ : state) {
    if (at + 32 > kBuffer) at = 0;
    char* p = buffer + at;
    fixed(t[i], 15, 3, p);
    exponent(y[i], 15, 5, p + 15);
    std::memcpy(p + 30, "\r\n", 2);
    at += 32;
    benchmark::ClobberMemory();
    if (++i == t.size()) i = 0;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

// (F12.3, 1P, 2E12.4): time, value and height of one extremum.
void extremum_lines(benchmark::State& state, RealField fixed, RealField exponent) {
  static char buffer[kBuffer];
  const std::vector<double>& t = times();
  const std::vector<double>& y = sine_values();
  std::size_t at = 0;
  std::size_t i = 0;
  for (auto _ : state) {
    if (at + 38 > kBuffer) at = 0;
    char* p = buffer + at;
    fixed(t[i], 12, 3, p);
    exponent(y[i], 12, 4, p + 12);
    exponent(y[i] - y[i == 0 ? 0 : i - 1] * 0.5, 12, 4, p + 24);
    std::memcpy(p + 36, "\r\n", 2);
    at += 38;
    benchmark::ClobberMemory();
    if (++i == t.size()) i = 0;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void BM_ListingLine(benchmark::State& s) { listing_lines(s, kFixed, kExponent); }
void BM_ListingLine_ToChars(benchmark::State& s) {
  listing_lines(s, kFixedToChars, kExponentToChars);
}
void BM_ExtremumLine(benchmark::State& s) { extremum_lines(s, kFixed, kExponent); }
void BM_ExtremumLine_ToChars(benchmark::State& s) {
  extremum_lines(s, kFixedToChars, kExponentToChars);
}

BENCHMARK(BM_ListingLine);
BENCHMARK(BM_ListingLine_ToChars);
BENCHMARK(BM_ExtremumLine);
BENCHMARK(BM_ExtremumLine_ToChars);

}  // namespace
