#include "driver/extremum_warnings.h"

#include "analysis/reversals.h"
#include "driver/run_warnings.h"
#include "textio/diagnostics.h"
#include "textio/where_lines.h"

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
  write_error_line(line.text());
}

// Only the table of every interior turn is judged: the filter is the cure.
void warn_noise(const Series& series, const ExtremumTable& extrema) {
  const NoiseAssessment noise =
      assess_noise(series.values, series.count, extrema.count, extrema.max_height);
  if (!noise.noise_decides) return;
  LineText line;
  line.add(kWarningPrefix).add("noise decides the maximum height ").add_real(extrema.max_height);
  line.add(": ").add(extrema.count).add(" extrema in ").add(series.count).add(" samples");
  if (noise.dense) line.add(" (more than one in four)");
  line.add(", values from ").add_real(noise.lowest).add(" to ").add_real(noise.highest);
  if (noise.small) line.add(" (the height is under 5 % of that range)");
  line.add("; count reversals with a band instead, e.g. --hysteresis=");
  line.add_real(noise.suggested_band);
  write_run_warning(line);
}

void warn_no_height(const Series& series, const ExtremumTable& extrema, bool filtered) {
  if (series.count == 0 || extrema.count >= 2) return;
  LineText line;
  line.add(kWarningPrefix).add("fewer than two extrema (").add(extrema.count).add(") in ");
  line.add(series.count).add(series.count > 1 ? " samples" : " sample");
  line.add(": there is no height, so the Maximum Height 0 and the Time For max height ");
  line.add("0.000 are not a height and a time of the record");
  if (filtered) line.add("; the --hysteresis band may be wider than every swing");
  write_run_warning(line);
}

}  // namespace

void write_extremum_notes(const Series& series, const ExtremumTable& extrema,
                          const RunSettings& settings) {
  if (settings.reversal_filter) {
    note_filter(extrema, settings.hysteresis);
  } else {
    warn_noise(series, extrema);
  }
  warn_no_height(series, extrema, settings.reversal_filter);
}

}  // namespace vorna
