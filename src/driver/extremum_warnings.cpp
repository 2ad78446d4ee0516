#include "driver/extremum_warnings.h"

#include <cmath>

#include "driver/run_warnings.h"
#include "runtime/diagnostics.h"
#include "runtime/line_text.h"

namespace vorna {
namespace {

void note_filter(const ExtremumTable& extrema, double band) {
  LineText line;
  line.add("vorna: info: the extrema are the reversals that the series moves back from by at ");
  line.add("least the --hysteresis band ")
      .add_real(band)
      .add(": ")
      .add(extrema.count)
      .add(" found");
  write_error_line(line);
}

// Heights in the warnings: four digits, as the reports show them.
constexpr int kHeightDigits = 4;

// Only the table of every interior turn is judged: the filter is the cure.
void warn_small_reversals(const Series& series, const ExtremumTable& extrema,
                          const ValueSpread& spread, RunWarnings& warnings) {
  const SmallReversals small =
      judge_small_reversals(series.values, series.count, spread, extrema.max_height,
                            mean_height(extrema.heights, extrema.count));
  if (!small.decide) return;
  LineText line;
  line.add(kWarningPrefix).add("small reversals decide the maximum height: ");
  line.add_real(extrema.max_height, kHeightDigits).add(" with every turn an extremum, ");
  line.add_real(small.max_height, kHeightDigits).add(" with --hysteresis=").add_real(small.band);
  line.add(" (").add(extrema.count).add(" extrema in ").add(series.count).add(" samples)");
  warnings.write(line);
}

// A swing at an end of the record that no height holds: from the first
// sample to the first extremum, or from the last extremum to the last
// sample, more than 10 % larger than the maximum height.
void warn_end_swings(const Series& series, const ExtremumTable& extrema, const ValueSpread& spread,
                     RunWarnings& warnings) {
  if (extrema.count < 2 || series.count < kFewestSamplesJudged) return;
  const double limit = 1.1 * extrema.max_height;
  const double start = std::fabs(extrema.values[0] - series.values[spread.first_at]);
  const double end = std::fabs(series.values[spread.last_at] - extrema.values[extrema.count - 1]);
  const bool at_start = start > limit;
  const bool at_end = end > limit;
  if (!at_start && !at_end) return;
  LineText line;
  line.add(kWarningPrefix).add(at_start && at_end ? "the swings" : "the swing");
  if (at_start)
    line.add(" from the first sample to the first extremum, ").add_real(start, kHeightDigits);
  if (at_start && at_end) line.add(", and");
  if (at_end) line.add(" from the last extremum to the last sample, ").add_real(end, kHeightDigits);
  line.add(at_start && at_end ? ", are" : ", is").add(" larger than the maximum height ");
  line.add_real(extrema.max_height, kHeightDigits);
  line.add(": the first and the last sample are never extrema, so no height holds ");
  line.add(at_start && at_end ? "them" : "it");
  warnings.write(line);
}

void warn_no_height(const Series& series, const ExtremumTable& extrema, bool filtered,
                    RunWarnings& warnings) {
  if (series.count == 0 || extrema.count >= 2) return;
  LineText line;
  line.add(kWarningPrefix).add("fewer than two extrema (").add(extrema.count).add(") in ");
  line.add(series.count).add(series.count > 1 ? " samples" : " sample");
  line.add(": there is no height, so the Maximum Height 0 and the Time For max height ");
  line.add("0.000 are not a height and a time of the record");
  if (filtered) line.add("; the --hysteresis band may be wider than every swing");
  warnings.write(line);
}

}  // namespace

void write_extremum_notes(const Series& series, const ExtremumTable& extrema,
                          const ValueSpread& spread, const RunSettings& settings,
                          RunWarnings& warnings) {
  if (settings.reversal_filter) {
    note_filter(extrema, settings.hysteresis);
  } else {
    warn_small_reversals(series, extrema, spread, warnings);
  }
  warn_end_swings(series, extrema, spread, warnings);
  warn_no_height(series, extrema, settings.reversal_filter, warnings);
}

}  // namespace vorna
