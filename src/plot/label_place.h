// Where a label goes among what a panel shows: pure pixel geometry, so that
// the rule "never over the curve, a dot or the bar it names" is checked by
// itself. What is drawn enters as marks: the series' line, the dots, the
// measure of the maximum height with its guides and caps, and the texts
// already placed.
#pragma once

#include "plot/decimation.h"
#include "plot/print_file_reader.h"

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
  // A text's box: a line through its middle, as thick as the box is high.
  void add_box(const Box& box) {
    const double middle = (box.top + box.bottom) / 2;
    add_line(box.left, middle, box.right, middle, (box.bottom - box.top) / 2);
  }
};

// The two extrema of the maximum height, in pixels: (x1, y1) the earlier.
struct PairPoints {
  double x1, y1, x2, y2;
};

// The caps of the measure reach this far either side of it.
constexpr double kMeasureCapReach = 5.0;

// Where the measure of the pair stands: offset right of the later extremum,
// or as far left of it when that would pass right.
double measure_x(const PairPoints& pair, double offset, double right);

// The measure at measure as marks: the guides from both extrema to it, the
// measure and its caps, lines of half_width; the extrema as dots of
// dot_radius.
void add_measure_marks(const PairPoints& pair, double measure, double half_width, double dot_radius,
                       Marks& marks);

// Whether the label of a ring at x goes right of it, gap from its centre
// and width wide: only when it ends within right and does not cross the
// measure at measure (which may be not a number: no measure).
bool ring_label_goes_right(double x, double gap, double width, double right, double measure);

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
