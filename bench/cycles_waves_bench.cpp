// Rainflow counting and the zero down-crossing scan on 1,000,000 noisy
// samples: each is one pass, the count with a stack.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "analysis/extrema.h"
#include "analysis/rainflow.h"
#include "analysis/waves.h"

namespace {

constexpr int kSamples = 1000000;

// Three waves and uniform noise, as the program's noisy bench series.
struct Record {
  std::unique_ptr<double[]> samples{new double[kSamples]};
  std::unique_ptr<double[]> values{new double[kSamples]};
  std::unique_ptr<int[]> positions{new int[kSamples]};
  int extrema = 0;
  Record() {
    std::uint64_t state = 0x9e3779b97f4a7c15ULL;
    for (int i = 0; i < kSamples; ++i) {
      state = state * 6364136223846793005ULL + 1442695040888963407ULL;
      const double noise = (static_cast<double>(state >> 11) * 0x1.0p-53 - 0.5) * 0.04;
      const double t = i * 0.001;
      samples[i] = std::sin(2.3 * t) + 0.6 * std::sin(11.9 * t) + 0.25 * std::sin(45.9 * t) + noise;
    }
    extrema = vorna::locate_extrema(samples.get(), kSamples, values.get(), positions.get());
  }
};

void BM_Rainflow(benchmark::State& state) {
  const Record record;
  const std::size_t room = static_cast<std::size_t>(record.extrema) + 2;
  std::unique_ptr<double[]> values(new double[room]);
  std::unique_ptr<int[]> positions(new int[room]);
  std::unique_ptr<int[]> stack(new int[room]);
  std::unique_ptr<vorna::RainflowCycle[]> cycles(new vorna::RainflowCycle[room]);
  int count = 0;
  for (auto _ : state) {
    const vorna::LoadHistory history = vorna::reduce_to_turns(
        record.values.get(), record.positions.get(), record.extrema, record.samples.get(), kSamples,
        false, values.get(), positions.get());
    count = vorna::count_rainflow(history, stack.get(), cycles.get());
    benchmark::DoNotOptimize(
        vorna::summarise_cycles(history, cycles.get(), count, 0.0).largest_range);
  }
  state.counters["extrema"] = record.extrema;
  state.counters["cycles"] = count;
  state.SetItemsProcessed(state.iterations() * record.extrema);
}
BENCHMARK(BM_Rainflow)->Unit(benchmark::kMillisecond);

void BM_Waves(benchmark::State& state) {
  const Record record;
  std::unique_ptr<vorna::Wave[]> waves(new vorna::Wave[kSamples / 2 + 1]);
  std::unique_ptr<double[]> heights(new double[kSamples / 2 + 1]);
  int count = 0;
  for (auto _ : state) {
    const vorna::RecordLevels levels = vorna::record_levels(record.samples.get(), kSamples);
    count = vorna::find_waves(record.samples.get(), kSamples, levels.mean, 0.0, {0.0, 0.001},
                              waves.get());
    benchmark::DoNotOptimize(vorna::summarise_waves(waves.get(), count, heights.get()).h1_3);
  }
  state.counters["waves"] = count;
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_Waves)->Unit(benchmark::kMillisecond);

}  // namespace
