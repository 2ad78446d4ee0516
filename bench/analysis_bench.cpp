// Series analysis on a full sample array: extremum detection followed by the
// height statistics, on 1,000,000 noisy samples.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "analysis/extrema.h"
#include "analysis/heights.h"
#include "analysis/reversals.h"
#include "analysis/series.h"

namespace {

constexpr int kSamples = vorna::kSeriesCapacity;

// All storage is static, as in the program; nothing is allocated in the
// timed region.
double samples[kSamples];
double extremum_values[kSamples];
int extremum_positions[kSamples];
double extremum_heights[kSamples];

// A slow wave with uniform noise on top, quantised so that plateaus occur.
void fill_samples() {
  std::uint64_t state = 0x9e3779b97f4a7c15ULL;
  for (int i = 0; i < kSamples; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    const double noise = static_cast<double>(state >> 11) * 0x1.0p-53 - 0.5;
    const double wave = std::sin(i * 0.001) * 10.0;
    samples[i] = std::round((wave + noise) * 8.0) / 8.0;
  }
}

// The default extremum table (band < 0) or the reversals with a band.
int locate(double band) {
  if (band < 0)
    return vorna::locate_extrema(samples, kSamples, extremum_values, extremum_positions);
  return vorna::locate_reversals(samples, kSamples, band, extremum_values, extremum_positions);
}

void BM_ExtremaAndHeights(benchmark::State& state) {
  fill_samples();
  const double band = static_cast<double>(state.range(0)) / 8.0;
  int m = 0;
  for (auto _ : state) {
    m = locate(band);
    const vorna::HeightResult r = vorna::height_statistics(m, extremum_values, extremum_positions,
                                                           0.0, 0.01, extremum_heights);
    benchmark::DoNotOptimize(r);
    benchmark::ClobberMemory();
  }
  state.counters["extrema"] = m;
  state.counters["ns_per_sample"] = benchmark::Counter(
      static_cast<double>(kSamples),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetItemsProcessed(state.iterations() * kSamples);
}
// -8: the default table; 0: reversals without a band; 8: a band of 1.0,
// wider than the noise.
BENCHMARK(BM_ExtremaAndHeights)->Arg(-8)->Arg(0)->Arg(8)->Unit(benchmark::kMillisecond);

// The judgement that every run without --hysteresis adds: one pass for the
// range and the steps, one more for the maximum height with the band
// suggested.
void BM_JudgeSmallReversals(benchmark::State& state) {
  fill_samples();
  for (auto _ : state) {
    const vorna::ValueSpread spread = vorna::measure_spread(samples, kSamples);
    const vorna::SmallReversals s =
        vorna::judge_small_reversals(samples, kSamples, spread, 0.125, 0.1);
    benchmark::DoNotOptimize(s);
  }
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_JudgeSmallReversals)->Unit(benchmark::kMillisecond);

}  // namespace
