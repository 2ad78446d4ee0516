// What the picture of a run will show, decided before anything is laid out
// or drawn: the axes' mode and ranges, whether the extrema, the pair of
// maximum height and the detail panel are shown, and the notes on whatever
// cannot be drawn.
#pragma once

#include "plot/listing_reader.h"
#include "plot/picture_options.h"
#include "plot/print_file_reader.h"

namespace vorna::plot {

// Extrema are marked when no closer on average than this many columns.
constexpr int kColumnsPerMarker = 8;

enum class XMode {
  kTime,     // samples at their listing times
  kNumber,   // times cannot be told apart: samples at their numbers
  kNothing,  // no sample can be drawn
};

// The notes above the plot, in the order they were added.
struct Notes {
  static constexpr int kMax = 8;
  char text[kMax][240] = {};
  int count = 0;

  void add(const char* format, ...) __attribute__((format(printf, 2, 3)));
};

struct Plan {
  XMode mode = XMode::kNothing;
  double x_low = 0.0, x_high = 1.0, y_low = 0.0, y_high = 1.0;
  bool mark_extrema = false;
  bool draw_pair = false;
  bool detail = false;     // the detail panel of the pair's neighbourhood
  bool reversals = false;  // the run's extrema are reversals kept by a band
  Notes notes;
};

// The plan for the files of one run on a plot of columns pixel columns,
// with what the command line asked.
Plan plan_picture(const PrintFile& file, const Listing& listing, int columns,
                  const PictureTexts& texts);

// A range of one value widened around it, so that it lands mid-axis; near
// the smallest doubles, by one of them on either side.
void widen_single(double& low, double& high);

// The range widened by fraction of it at either end, by one double at least.
void pad(double& low, double& high, double fraction);

}  // namespace vorna::plot
