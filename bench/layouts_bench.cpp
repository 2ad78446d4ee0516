// Whole report lines through the layout engine and the unit buffers, written
// to /dev/null: the per-line cost of the listing and the extremum table.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "runtime/layouts.h"
#include "runtime/units.h"

namespace {

std::vector<double> noisy_values(std::size_t count) {
  std::vector<double> values(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double t = 0.001 * static_cast<double>(i);
    values[i] = std::sin(2.3 * t) + 0.6 * std::sin(11.9 * t) + 0.01 * std::sin(977.0 * t);
  }
  return values;
}

void BM_ListingLineLayout(benchmark::State& state) {
  setenv("FORT36", "/dev/null", 1);
  const std::vector<double> values = noisy_values(4096);
  vorna::WriteTally tally;
  vorna::RecordStream lines(tally, vorna::kListingUnit);
  std::size_t k = 0;
  for (auto _ : state) {
    const std::size_t i = k++ & 4095;
    vorna::write_listing_line(lines, 0.001 * static_cast<double>(k), values[i]);
  }
  lines.finish();
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_ListingLineLayout);

void BM_TableLineLayout(benchmark::State& state) {
  if (!vorna::unit_connected(vorna::kPrintUnit)) {
    vorna::connect_unit(vorna::kPrintUnit, "/dev/null", 9, vorna::OpenStatus::kUnknown);
  }
  const std::vector<double> values = noisy_values(4096);
  vorna::WriteTally tally;
  vorna::RecordStream lines(tally, vorna::kPrintUnit);
  std::size_t k = 0;
  for (auto _ : state) {
    const std::size_t i = k++ & 4095;
    vorna::write_table_line(lines, 0.002 * static_cast<double>(k), values[i],
                            values[i] - values[(i + 1) & 4095]);
  }
  lines.finish();
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_TableLineLayout);

}  // namespace
