#include "driver/cycles_and_waves.h"

#include <limits.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "driver/run_warnings.h"
#include "runtime/diagnostics.h"
#include "runtime/stop.h"
#include "runtime/units.h"
#include "runtime/where_lines.h"
#include "runtime/write_statement.h"
#include "text/run_files.h"

namespace vorna {
namespace {

static_assert(kSpareNameSize >= NAME_MAX + 8, "a base name, a suffix and its end");

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// The other header labels (the shared ones are in run_files.h).
constexpr char kBandLabel[] = "# Hysteresis band       : ";
constexpr char kLargestTimeLabel[] = "# Time of largest range : ";
constexpr char kSlopeLabel[] = "# Slope                 : ";
constexpr char kEquivalentLabel[] = "# Equivalent range      : ";
constexpr char kLevelLabel[] = "# Level                 : ";
constexpr char kCrossingBandLabel[] = "# Crossing band         : ";
constexpr char kWavesLabel[] = "# Waves                 : ";
constexpr char kHighestLabel[] = "# Highest wave          : ";
constexpr char kHighestTimeLabel[] = "# Time of highest wave  : ";
constexpr char kHighestPeriodLabel[] = "# Period of highest wave: ";
constexpr char kThirdLabel[] = "# Mean of highest third : ";
constexpr char kRmsLabel[] = "# Root-mean-square      : ";
constexpr char kMeanPeriodLabel[] = "# Mean period           : ";

template <std::size_t N>
void write_text_line(int unit, const char (&text)[N]) {
  WriteStatement(unit).text(text).finish();
}
// These writers return whether a field was too wide for its value.
template <std::size_t N>
bool write_count(int unit, const char (&label)[N], int value) {
  return WriteStatement(unit).text(label).integer(value, kHeaderCountWidth).finish();
}
// A quantity that the analysis may not have: 0 in the header, as the
// print file shows a height that is not there.
template <std::size_t N>
bool write_value(int unit, const char (&label)[N], double value) {
  return WriteStatement(unit)
      .text(label)
      .exponent(std::isnan(value) ? 0.0 : value, kHeaderExponent.width, kHeaderExponent.digits)
      .finish();
}
template <std::size_t N>
bool write_time(int unit, const char (&label)[N], double value) {
  return WriteStatement(unit)
      .text(label)
      .fixed(std::isnan(value) ? 0.0 : value, kHeaderFixed.width, kHeaderFixed.digits)
      .finish();
}

// Storage for count items of this run, left uninitialised: only what is
// used is touched. A system that cannot give it ends the run with the 41,
// named after the unit whose file is then left unwritten.
template <typename T>
std::unique_ptr<T[]> take_storage(std::size_t count, int unit) {
  std::unique_ptr<T[]> storage(new (std::nothrow) T[count]);
  if (storage == nullptr) fail_run(kNoMemory, unit);
  return storage;
}

}  // namespace

const char* cycle_or_wave_file_name(const RunSettings& settings, int unit, char* spare) {
  const bool cycles = unit == kCycleUnit;
  if (!(cycles ? settings.cycles : settings.waves)) return nullptr;
  const char* given = cycles ? settings.cycle_name : settings.wave_name;
  if (given != nullptr) return given;
  series_base_name(settings.series_name, cycles ? ".cyc" : ".wav", spare, kSpareNameSize);
  return spare;
}

CyclesAndWaves::CyclesAndWaves(const Series& series, const ExtremumTable& extrema,
                               const RunSettings& settings)
    : series_(series),
      settings_(settings),
      clock_{series.first_time, series.increment, series.file_times ? series.times : nullptr} {
  if (settings.cycles) count_cycles(extrema);
  if (settings.waves) scan_waves();
}

void CyclesAndWaves::count_cycles(const ExtremumTable& extrema) {
  const std::size_t room = static_cast<std::size_t>(extrema.count) + 2;
  // A table that turns at every point is the history as it stands.
  if (!settings_.cycle_ends && turns_at_every_point(extrema.values, extrema.count)) {
    history_ = {extrema.values, extrema.positions, extrema.count};
  } else {
    history_values_ = take_storage<double>(room, kCycleUnit);
    history_positions_ = take_storage<int>(room, kCycleUnit);
    history_ = reduce_to_turns(extrema.values, extrema.positions, extrema.count, series_.values,
                               series_.count, settings_.cycle_ends, history_values_.get(),
                               history_positions_.get());
  }
  const std::unique_ptr<int[]> stack = take_storage<int>(room, kCycleUnit);
  cycles_ = take_storage<RainflowCycle>(room, kCycleUnit);
  cycle_count_ = count_rainflow(history_, stack.get(), cycles_.get());
  cycle_summary_ = summarise_cycles(history_, cycles_.get(), cycle_count_, settings_.slope);
  if (cycle_count_ > 0) return;
  LineText line;
  line.add(kWarningPrefix).add("no cycles to count: ").add(history_.count);
  line.add(history_.count == 1 ? " turning point" : " turning points");
  line.add(" (fewer than two) in ").add(series_.count).add(" samples");
  if (!settings_.cycle_ends) line.add("; --cycle-ends counts the first and last samples too");
  write_run_warning(line);
}

void CyclesAndWaves::scan_waves() {
  const RecordLevels levels = record_levels(series_.values, series_.count);
  level_ = settings_.level_given ? settings_.level : levels.mean;
  band_ = settings_.reversal_filter ? settings_.hysteresis : 0.0;
  const std::size_t room = static_cast<std::size_t>(series_.count) / 2 + 1;
  waves_ = take_storage<Wave>(room, kWaveUnit);
  wave_count_ = find_waves(series_.values, series_.count, level_, band_, clock_, waves_.get());
  const std::unique_ptr<double[]> heights =
      take_storage<double>(static_cast<std::size_t>(wave_count_) + 1, kWaveUnit);
  wave_summary_ = summarise_waves(waves_.get(), wave_count_, heights.get());
  if (wave_count_ > 0) return;
  LineText line;
  line.add(kWarningPrefix).add("no waves: ");
  if (std::isnan(levels.mean)) {
    line.add("the record has no finite samples");
  } else if (levels.lowest == levels.highest) {
    line.add("the record is constant at ").add_real(levels.lowest);
  } else if (band_ >= levels.highest - levels.lowest) {
    line.add("the crossing band ").add_real(band_).add(" (--hysteresis) is not narrower than ");
    line.add("the record's range, ").add_real(levels.lowest).add(" to ").add_real(levels.highest);
  } else {
    line.add("fewer than two down-crossings of the level ").add_real(level_);
  }
  write_run_warning(line);
}

double CyclesAndWaves::close_time(const RainflowCycle& cycle) const {
  return clock_.at(history_.positions[cycle_close(cycle)]);
}

void CyclesAndWaves::write_header_name(int unit) const {
  LineText name;
  name.add(kSeriesNameLabel).add_name(settings_.series_name);
  WriteStatement(unit).text(name.text(), std::strlen(name.text())).finish();
}

long CyclesAndWaves::write_cycle_file() const {
  const int unit = kCycleUnit;
  write_header_name(unit);
  if (settings_.cycle_ends) {
    write_text_line(unit, "# Method                : rainflow, three-point; extrema and ends");
  } else {
    write_text_line(unit, "# Method                : rainflow, three-point; extrema only");
  }
  long overflowed =
      write_value(unit, kBandLabel, settings_.reversal_filter ? settings_.hysteresis : 0.0);
  overflowed += write_count(unit, kFullCyclesLabel, cycle_summary_.full);
  overflowed += write_count(unit, kHalfCyclesLabel, cycle_summary_.half);
  const bool any = cycle_summary_.largest >= 0;
  overflowed += write_value(unit, kLargestRangeLabel, any ? cycle_summary_.largest_range : kNone);
  overflowed += write_time(
      unit, kLargestTimeLabel,
      any ? close_time(cycles_[static_cast<std::size_t>(cycle_summary_.largest)]) : kNone);
  if (settings_.slope > 0.0) {
    overflowed += write_value(unit, kSlopeLabel, settings_.slope);
    overflowed += write_value(unit, kEquivalentLabel, cycle_summary_.equivalent_range);
  }
  write_text_line(unit, kCycleHeads);
  // The count takes two values only: their fields are formed once.
  char full_count[kCycleCount.width], half_count[kCycleCount.width];
  format_fixed(1.0, kCycleCount.width, kCycleCount.digits, full_count);
  format_fixed(0.5, kCycleCount.width, kCycleCount.digits, half_count);
  for (int k = 0; k < cycle_count_; ++k) {
    const RainflowCycle& cycle = cycles_[static_cast<std::size_t>(k)];
    overflowed +=
        WriteStatement(unit)
            .exponent(cycle_range(history_, cycle), kCycleValue.width, kCycleValue.digits)
            .exponent(cycle_mean(history_, cycle), kCycleValue.width, kCycleValue.digits)
            .text(cycle.full() ? full_count : half_count, sizeof full_count)
            .fixed(clock_.at(history_.positions[cycle.from]), kCycleTime.width, kCycleTime.digits)
            .fixed(close_time(cycle), kCycleTime.width, kCycleTime.digits)
            .finish();
  }
  close_unit(unit);
  return overflowed;
}

long CyclesAndWaves::write_wave_file() const {
  const int unit = kWaveUnit;
  write_header_name(unit);
  if (settings_.level_given) {
    write_text_line(unit, "# Method                : zero down-crossing of the level given");
  } else {
    write_text_line(unit, "# Method                : zero down-crossing of the mean level");
  }
  const WaveSummary& s = wave_summary_;
  long overflowed = write_value(unit, kLevelLabel, level_);
  overflowed += write_value(unit, kCrossingBandLabel, band_);
  overflowed += write_count(unit, kWavesLabel, s.count);
  overflowed += write_value(unit, kHighestLabel, s.hmax);
  overflowed += write_time(unit, kHighestTimeLabel, s.time_of_hmax);
  overflowed += write_time(unit, kHighestPeriodLabel, s.tmax);
  overflowed += write_value(unit, kThirdLabel, s.h1_3);
  overflowed += write_value(unit, kRmsLabel, s.hrms);
  overflowed += write_time(unit, kMeanPeriodLabel, s.tz);
  write_text_line(unit, kWaveHeads);
  for (int k = 0; k < wave_count_; ++k) {
    const Wave& wave = waves_[static_cast<std::size_t>(k)];
    overflowed += WriteStatement(unit)
                      .fixed(wave.start, kWaveTime.width, kWaveTime.digits)
                      .fixed(wave.period, kWaveTime.width, kWaveTime.digits)
                      .exponent(wave.height(), kWaveValue.width, kWaveValue.digits)
                      .exponent(wave.crest, kWaveValue.width, kWaveValue.digits)
                      .exponent(wave.trough, kWaveValue.width, kWaveValue.digits)
                      .finish();
  }
  close_unit(unit);
  return overflowed;
}

long CyclesAndWaves::write_files() const {
  return (settings_.cycles ? write_cycle_file() : 0) + (settings_.waves ? write_wave_file() : 0);
}

void CyclesAndWaves::write_json(JsonWriter& json) const {
  const auto key = [&json](const char* name, double value) {
    json.raw(",\"");
    json.raw(name);
    json.raw("\":");
    json.number(value);
  };
  if (settings_.cycles) {
    const CycleSummary& s = cycle_summary_;
    const bool any = s.largest >= 0;
    json.raw(",\"cycles\":{\"full\":");
    json.number(s.full);
    key("half", s.half);
    key("largest_range", any ? s.largest_range : kNone);
    key("time_of_largest_range",
        any ? close_time(cycles_[static_cast<std::size_t>(s.largest)]) : kNone);
    if (settings_.slope > 0.0) {
      key("slope", settings_.slope);
      key("equivalent_range", s.equivalent_range);
    }
    json.raw("}");
  }
  if (settings_.waves) {
    const WaveSummary& s = wave_summary_;
    json.raw(",\"waves\":{\"level\":");
    json.number(level_);
    key("band", band_);
    key("count", s.count);
    key("hmax", s.hmax);
    key("time_of_hmax", s.time_of_hmax);
    key("h1_3", s.h1_3);
    key("hrms", s.hrms);
    key("tz", s.tz);
    key("tmax", s.tmax);
    json.raw("}");
  }
}

}  // namespace vorna
