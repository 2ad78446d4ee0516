// The cycle count (--cycles) and the wave scan (--waves) of a run from the
// command line: their files, their warnings and their part of the JSON
// summary.
#pragma once

#include <memory>

#include "analysis/rainflow.h"
#include "analysis/series.h"
#include "analysis/waves.h"
#include "driver/command_line.h"
#include "driver/json_writer.h"
#include "driver/run_warnings.h"
#include "runtime/failure.h"
#include "runtime/write_statement.h"

namespace vorna {

// The name of the cycle file (unit kCycleUnit) or of the wave file
// (kWaveUnit): the one given, or the series' base name with .cyc or .wav
// built in spare
// (kSpareNameSize bytes, room for a base name and its suffix); null when the run writes none.
const char* cycle_or_wave_file_name(const RunSettings& settings, int unit, char* spare);
constexpr int kSpareNameSize = 264;

class CyclesAndWaves {
 public:
  CyclesAndWaves(const Series& series, const RunSettings& settings);

  // Counts and scans what the settings ask for, with storage for this run
  // (the failure 41 when the system cannot give it), and writes a warning
  // for each analysis that finds nothing.
  Failure analyse(const ExtremumTable& extrema, RunWarnings& warnings);

  // The cycle and wave files, each written and closed, through the tally.
  void write_files(WriteTally& tally) const;
  // ,"cycles":{...} and ,"waves":{...} for the analyses asked for.
  void write_json(JsonWriter& json) const;

 private:
  Failure count_cycles(const ExtremumTable& extrema, RunWarnings& warnings);
  Failure scan_waves(RunWarnings& warnings);
  void write_cycle_file(WriteTally& tally) const;
  void write_wave_file(WriteTally& tally) const;
  double close_time(const RainflowCycle& cycle) const;

  const Series& series_;
  const RunSettings& settings_;
  SampleClock clock_;
  // Storage for this run, as large as the analysis may need.
  std::unique_ptr<double[]> history_values_;
  std::unique_ptr<int[]> history_positions_;
  LoadHistory history_{nullptr, nullptr, 0};
  std::unique_ptr<RainflowCycle[]> cycles_;
  int cycle_count_ = 0;
  CycleSummary cycle_summary_;
  double level_ = 0.0;
  double band_ = 0.0;
  std::unique_ptr<Wave[]> waves_;
  int wave_count_ = 0;
  WaveSummary wave_summary_;
};

}  // namespace vorna
