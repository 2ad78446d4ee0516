// Where everything of the picture of a run goes, in pixels: the rows from
// the top (title, date stamp, legend, notes, the plot, the detail panel
// under it, the axis label) and the columns (the value labels, the plots,
// half the last time label), with each panel's axes and ticks.
#pragma once

#include <cmath>

#include "plot/picture_plan.h"
#include "plot/picture_style.h"
#include "plot/picture_text.h"
#include "plot/ticks.h"

namespace vorna::plot {

// A linear map from data to pixels. Halves keep the arithmetic finite when
// a range spans most of the doubles.
struct Axis {
  double low = 0.0;
  double high = 1.0;
  double pixel_low = 0.0;
  double pixel_high = 1.0;

  double map(double v) const {
    // Differences of subnormals are exact, their halves are not.
    const double span = high - low;
    if (std::isfinite(span)) return pixel_low + (v - low) / span * (pixel_high - pixel_low);
    return pixel_low + (v * 0.5 - low * 0.5) / (high * 0.5 - low * 0.5) * (pixel_high - pixel_low);
  }
};

// The legend's entries: a swatch and a text each, laid out in rows.
enum class Swatch { kLine, kDot, kMeasure, kRange };
struct LegendItem {
  Swatch swatch = Swatch::kLine;
  Text text;
  double x = 0.0, baseline = 0.0;
};

// One plot area with its axes.
struct Panel {
  double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0;
  double x_low = 0.0, x_high = 1.0, y_low = 0.0, y_high = 1.0;
  Axis x, y;
  Ticks x_ticks, y_ticks;
  bool end_label = false;  // the last time labelled at the right end
};

struct Layout {
  Fonts f;
  double width = 0.0, height = 0.0;
  double title_baseline = 0.0, subtitle_baseline = 0.0;
  static constexpr int kMaxLegend = 4;
  LegendItem legend[kMaxLegend];
  int legend_count = 0;
  double notes_top = 0.0;
  Panel overview, detail;
  double detail_caption_baseline = 0.0;
  double x_label_baseline = 0.0;
};

// The whole layout of the plan at size. A detail panel that leaves either
// plot too low is dropped from the plan, with a note, and the rows laid out
// again.
void lay_out(const PrintFile& file, const Listing& listing, Plan& plan, const Quoted& q,
             const PictureSize& size, Layout& layout);

// The columns the samples are spread over before the picture is drawn: the
// pixel columns of the plot area at its narrowest value labels (wider labels
// leave fewer pixels, so a column never spans more than one).
int plot_columns(const PictureSize& size);

// The width of a legend entry's swatch.
double swatch_width(const Fonts& f);

}  // namespace vorna::plot
