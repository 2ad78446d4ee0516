#include "driver/cycles_and_waves.h"

#include <limits.h>

#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <new>

#include "driver/run_warnings.h"
#include "runtime/diagnostics.h"
#include "runtime/line_text.h"
#include "runtime/units.h"
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

// One line of a file's header: a label and its quantity, a count, or a
// time; a quantity or time that the analysis may not have is 0, as the
// print file shows a height that is not there.
struct HeaderLine {
  enum Kind { kValue, kTime, kCount };
  const char* label;
  Kind kind;
  double value;
};

void write_header_line(WriteTally& tally, int unit, const HeaderLine& line) {
  WriteStatement statement(tally, unit);
  statement.text(line.label, std::strlen(line.label));
  const double value = std::isnan(line.value) ? 0.0 : line.value;
  switch (line.kind) {
    case HeaderLine::kCount:
      statement.integer(static_cast<int>(line.value), kHeaderCount);
      break;
    case HeaderLine::kTime:
      statement.fixed(value, kHeaderFixed);
      break;
    case HeaderLine::kValue:
      statement.exponent(value, kHeaderExponent);
      break;
  }
  statement.finish();
}

void write_text_line(WriteTally& tally, int unit, const char* text) {
  WriteStatement(tally, unit).text(text, std::strlen(text)).finish();
}

// The header of a cycle or wave file: the series' name, the method, the
// lines, the column heads.
void write_file_header(WriteTally& tally, int unit, const char* series_name, const char* method,
                       const HeaderLine* lines, int count, const char* heads) {
  // A long name is cut to what one record holds, between whole characters.
  LineText name(WriteStatement::kRecordCapacity);
  name.add(kSeriesNameLabel).add_name(series_name);
  write_text_line(tally, unit, name.text());
  write_text_line(tally, unit, method);
  for (int i = 0; i < count; ++i) write_header_line(tally, unit, lines[i]);
  write_text_line(tally, unit, heads);
}

// Storage for count items of this run, left uninitialised: only what is
// used is touched. A system that cannot give it is the failure 41, named
// after the unit whose file is then left unwritten.
template <typename T>
std::unique_ptr<T[]> take_storage(std::size_t count, int unit, Failure& failure) {
  std::unique_ptr<T[]> storage(new (std::nothrow) T[count]);
  if (storage == nullptr && !failure.failed()) failure = {kNoMemory, unit, nullptr, nullptr};
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

CyclesAndWaves::CyclesAndWaves(const Series& series, const RunSettings& settings)
    : series_(series),
      settings_(settings),
      clock_{series.first_time, series.increment, series.file_times ? series.times : nullptr} {}

Failure CyclesAndWaves::analyse(const ExtremumTable& extrema, RunWarnings& warnings) {
  if (settings_.cycles) {
    if (Failure failure = count_cycles(extrema, warnings); failure.failed()) return failure;
  }
  if (settings_.waves) return scan_waves(warnings);
  return {};
}

Failure CyclesAndWaves::count_cycles(const ExtremumTable& extrema, RunWarnings& warnings) {
  Failure failure;
  const std::size_t room = static_cast<std::size_t>(extrema.count) + 2;
  // A table that turns at every point is the history as it stands.
  if (!settings_.cycle_ends && turns_at_every_point(extrema.values, extrema.count)) {
    history_ = {extrema.values, extrema.positions, extrema.count};
  } else {
    history_values_ = take_storage<double>(room, kCycleUnit, failure);
    history_positions_ = take_storage<int>(room, kCycleUnit, failure);
    if (failure.failed()) return failure;
    history_ = reduce_to_turns(extrema.values, extrema.positions, extrema.count, series_.values,
                               series_.count, settings_.cycle_ends, history_values_.get(),
                               history_positions_.get());
  }
  const std::unique_ptr<int[]> stack = take_storage<int>(room, kCycleUnit, failure);
  if (failure.failed()) return failure;
  cycles_ = take_storage<RainflowCycle>(room, kCycleUnit, failure);
  if (failure.failed()) return failure;
  cycle_count_ = count_rainflow(history_, stack.get(), cycles_.get());
  cycle_summary_ = summarise_cycles(history_, cycles_.get(), cycle_count_, settings_.slope);
  if (cycle_count_ > 0) return {};
  LineText line;
  line.add(kWarningPrefix).add("no cycles to count: ").add(history_.count);
  line.add(history_.count == 1 ? " turning point" : " turning points");
  line.add(" (fewer than two) in ").add(series_.count).add(" samples");
  if (!settings_.cycle_ends) line.add("; --cycle-ends counts the first and last samples too");
  warnings.write(line);
  return {};
}

Failure CyclesAndWaves::scan_waves(RunWarnings& warnings) {
  Failure failure;
  const RecordLevels levels = record_levels(series_.values, series_.count);
  level_ = settings_.level_given ? settings_.level : levels.mean;
  band_ = settings_.reversal_filter ? settings_.hysteresis : 0.0;
  const std::size_t room = static_cast<std::size_t>(series_.count) / 2 + 1;
  waves_ = take_storage<Wave>(room, kWaveUnit, failure);
  if (failure.failed()) return failure;
  wave_count_ = find_waves(series_.values, series_.count, level_, band_, clock_, waves_.get());
  const std::unique_ptr<double[]> heights =
      take_storage<double>(static_cast<std::size_t>(wave_count_) + 1, kWaveUnit, failure);
  if (failure.failed()) return failure;
  wave_summary_ = summarise_waves(waves_.get(), wave_count_, heights.get());
  if (wave_count_ > 0) return {};
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
  warnings.write(line);
  return {};
}

double CyclesAndWaves::close_time(const RainflowCycle& cycle) const {
  return clock_.at(history_.positions[cycle_close(cycle)]);
}

void CyclesAndWaves::write_cycle_file(WriteTally& tally) const {
  const int unit = kCycleUnit;
  const CycleSummary& s = cycle_summary_;
  const bool any = s.largest >= 0;
  const HeaderLine lines[] = {
      {kBandLabel, HeaderLine::kValue, settings_.reversal_filter ? settings_.hysteresis : 0.0},
      {kFullCyclesLabel, HeaderLine::kCount, static_cast<double>(s.full)},
      {kHalfCyclesLabel, HeaderLine::kCount, static_cast<double>(s.half)},
      {kLargestRangeLabel, HeaderLine::kValue, any ? s.largest_range : kNone},
      {kLargestTimeLabel, HeaderLine::kTime,
       any ? close_time(cycles_[static_cast<std::size_t>(s.largest)]) : kNone},
      // With --slope only.
      {kSlopeLabel, HeaderLine::kValue, settings_.slope},
      {kEquivalentLabel, HeaderLine::kValue, s.equivalent_range},
  };
  constexpr int kSlopeLines = 2;  // the last lines, with --slope only
  const int count = static_cast<int>(std::size(lines)) - (settings_.slope > 0.0 ? 0 : kSlopeLines);
  write_file_header(tally, unit, settings_.series_name,
                    settings_.cycle_ends ? kCycleMethodEnds : kCycleMethodExtrema, lines, count,
                    kCycleHeads);
  // The count takes two values only: their fields are formed once.
  char full_count[kCycleCount.width], half_count[kCycleCount.width];
  format_fixed(1.0, kCycleCount.width, kCycleCount.digits, full_count);
  format_fixed(0.5, kCycleCount.width, kCycleCount.digits, half_count);
  for (int k = 0; k < cycle_count_ && !tally.failed(); ++k) {
    const RainflowCycle& cycle = cycles_[static_cast<std::size_t>(k)];
    WriteStatement(tally, unit)
        .exponent(cycle_range(history_, cycle), kCycleRange)
        .exponent(cycle_mean(history_, cycle), kCycleMean)
        .text(cycle.full() ? full_count : half_count, sizeof full_count)
        .fixed(clock_.at(history_.positions[cycle.from]), kCycleStart)
        .fixed(close_time(cycle), kCycleClose)
        .finish();
  }
  if (!tally.failed()) tally.failure = close_unit(unit);
}

void CyclesAndWaves::write_wave_file(WriteTally& tally) const {
  const int unit = kWaveUnit;
  const WaveSummary& s = wave_summary_;
  const HeaderLine lines[] = {
      {kLevelLabel, HeaderLine::kValue, level_},
      {kCrossingBandLabel, HeaderLine::kValue, band_},
      {kWavesLabel, HeaderLine::kCount, static_cast<double>(s.count)},
      {kHighestLabel, HeaderLine::kValue, s.hmax},
      {kHighestTimeLabel, HeaderLine::kTime, s.time_of_hmax},
      {kHighestPeriodLabel, HeaderLine::kTime, s.tmax},
      {kThirdLabel, HeaderLine::kValue, s.h1_3},
      {kRmsLabel, HeaderLine::kValue, s.hrms},
      {kMeanPeriodLabel, HeaderLine::kTime, s.tz},
  };
  write_file_header(tally, unit, settings_.series_name,
                    settings_.level_given
                        ? "# Method                : zero down-crossing of the level given"
                        : "# Method                : zero down-crossing of the mean level",
                    lines, static_cast<int>(std::size(lines)), kWaveHeads);
  for (int k = 0; k < wave_count_ && !tally.failed(); ++k) {
    const Wave& wave = waves_[static_cast<std::size_t>(k)];
    WriteStatement(tally, unit)
        .fixed(wave.start, kWaveStart)
        .fixed(wave.period, kWavePeriod)
        .exponent(wave.height(), kWaveHeight)
        .exponent(wave.crest, kWaveCrest)
        .exponent(wave.trough, kWaveTrough)
        .finish();
  }
  if (!tally.failed()) tally.failure = close_unit(unit);
}

void CyclesAndWaves::write_files(WriteTally& tally) const {
  if (settings_.cycles) write_cycle_file(tally);
  if (settings_.waves) write_wave_file(tally);
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
