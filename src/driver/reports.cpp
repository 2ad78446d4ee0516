#include "driver/reports.h"

#include "analysis/extrema.h"
#include "analysis/heights.h"
#include "textio/layouts.h"
#include "textio/run_files.h"
#include "textio/stop.h"
#include "textio/units.h"
#include "util/text_field.h"

namespace vorna {
namespace {

ExtremumTable g_extrema;

template <std::size_t N>
constexpr std::size_t length_of(const char (&)[N]) {
  return N - 1;
}

void write_listing(const Series& series) {
  // A real counter rebuilds each time on the even grid.
  double counter = 1.0;
  for (int k = 0; k < series.count; ++k) {
    write_listing_line(sample_time(counter, series.first_time, series.increment), series.values[k]);
    counter += 1.0;
  }
  close_unit(kListingUnit);
}

void analyse(const Series& series) {
  g_extrema.count =
      locate_extrema(series.values, series.count, g_extrema.values, g_extrema.positions);
  const HeightResult result =
      height_statistics(g_extrema.count, g_extrema.values, g_extrema.positions, series.first_time,
                        series.increment, g_extrema.heights);
  g_extrema.max_height = result.max_height;
  g_extrema.time_of_max_height = result.time_of_max_height;
}

void write_header_block(const Series& series, double simulation_length, const char* header_line) {
  write_message_line(kPrintUnit, "#", 1, header_line, kTextLength);
  write_count_line(kPrintUnit, kStepsLabel, kHeaderLabelLength, series.count);
  write_fixed_line(kPrintUnit, kFirstTimeLabel, kHeaderLabelLength, series.first_time);
  write_fixed_line(kPrintUnit, kLastTimeLabel, kHeaderLabelLength, series.last_time);
  write_fixed_line(kPrintUnit, kIncrementLabel, kHeaderLabelLength, series.increment);
  write_fixed_line(kPrintUnit, kLengthLabel, kHeaderLabelLength, simulation_length);
  write_exponent_line(kPrintUnit, kMaxHeightLabel, kHeaderLabelLength, g_extrema.max_height);
  write_fixed_line(kPrintUnit, kMaxHeightTimeLabel, kHeaderLabelLength,
                   g_extrema.time_of_max_height);
  write_message_line(kPrintUnit, "#", 1, "                         ", 25);
}

void write_extremum_table(const Series& series) {
  for (int j = 0; j < g_extrema.count; ++j) {
    write_table_line(sample_time(g_extrema.positions[j], series.first_time, series.increment),
                     g_extrema.values[j], g_extrema.heights[j]);
  }
}

}  // namespace

void write_reports(const Series& series, const char* header_line) {
  static const char kSteps[] = " Number of steps in Time Series:";
  static const char kLength[] = " Simulation Length             :";
  static const char kHeight[] = " Maximum Height                :";
  static const char kTime[] = " Time For max height           :";
  write_listing(series);
  const double simulation_length = series.last_time - series.first_time;
  write_count_line(kConsoleOutput, kSteps, length_of(kSteps), series.count);
  write_fixed_line(kConsoleOutput, kLength, length_of(kLength), simulation_length);
  analyse(series);
  write_header_block(series, simulation_length, header_line);
  write_exponent_line(kConsoleOutput, kHeight, length_of(kHeight), g_extrema.max_height);
  write_fixed_line(kConsoleOutput, kTime, length_of(kTime), g_extrema.time_of_max_height);
  write_extremum_table(series);
  close_unit(kPrintUnit);
  stop_run();
}

}  // namespace vorna
