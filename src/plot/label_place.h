// Where a label goes among what a panel shows: pure pixel geometry, so that
// the rule "never over the curve, a dot or the bar it names" is checked by
// itself.
#pragma once

#include "plot/decimation.h"
#include "plot/plot_input.h"

namespace vorna::plot {

// A rectangle in pixels, y growing downwards.
struct Box {
  double left, top, right, bottom;
};

// What is drawn in a panel, in pixels: points, each a dot of its radius or,
// when joined, the end of a line of that half width from the point before.
struct Marks {
  static constexpr int kMax = 2 * ColumnDecimator::kMaxColumns + PrintFile::kMaxStoredExtrema + 64;
  double x[kMax], y[kMax], radius[kMax];
  bool joined[kMax];  // a line runs from the point before to this one
  int count = 0;

  void add(double px, double py, bool joined_to_previous, double half_width = 0.0) {
    if (count == kMax) return;
    x[count] = px;
    y[count] = py;
    radius[count] = half_width;
    joined[count++] = joined_to_previous;
  }
  void add_line(double x1, double y1, double x2, double y2, double half_width) {
    add(x1, y1, false, half_width);
    add(x2, y2, true, half_width);
  }
};

// Whether the segment from (x1, y1) to (x2, y2) meets the box.
bool segment_meets(const Box& box, double x1, double y1, double x2, double y2);

// How many marks meet the box grown by clearance (and by each mark's own
// radius) on every side.
int covered_marks(const Box& box, double clearance, const Marks& marks);

// A label of width x height for a vertical bar from (bar_x, bar_top) down to
// (bar_x, bar_bottom).
struct LabelRequest {
  Box area;                           // the label stays inside it
  double bar_x, bar_top, bar_bottom;  // the bar, which marks should hold too
  double width, height;
  double clearance;  // kept free around the label
  double reach;      // the farthest the label may stand from the bar
};

// The place nearest the bar, inside the area and within reach, where the
// label meets no mark; ties go to the place level with the bar's middle,
// then to its right. False when there is none.
bool place_label(const LabelRequest& request, const Marks& marks, Box& placed);

}  // namespace vorna::plot
