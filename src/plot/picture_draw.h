// The SVG drawing of the picture of a run, part by part, as its plan and
// layout say: the description, the headings, the overview plot, the detail
// panel and the axis labels.
#pragma once

#include "plot/decimation.h"
#include "plot/label_place.h"
#include "plot/picture_layout.h"
#include "plot/picture_plan.h"
#include "plot/picture_text.h"
#include "plot/svg_output.h"

namespace vorna::plot {

// The working storage of one drawing: what a panel shows, for placing the
// height label clear of it, and the detail panel's samples spread over its
// columns.
struct DrawingStorage {
  Marks marks;
  ColumnDecimator detail_columns;
};

// The <desc> element: what the picture shows, in words, and its notes.
void write_description(const PrintFile& file, const Listing& listing, const Plan& plan,
                       const Quoted& q, const PictureSources& sources, SvgOutput& out);

// Title, date stamp, legend and notes above the plot area.
void draw_headings(const Plan& plan, const Quoted& q, const Text& title, const Layout& layout,
                   SvgOutput& out);

// The overview plot: its axes, the detail panel's range, the series, the
// extrema, the record's highest and lowest sample and the pair of maximum
// height with its label.
void draw_overview(const PrintFile& file, const Listing& listing, const Plan& plan,
                   const Text& height_label, const Layout& layout, DrawingStorage& storage,
                   SvgOutput& out);

// The detail panel: every sample around the pair of maximum height.
void draw_detail(const Listing& listing, const Plan& plan, const Text& height_label,
                 const Layout& layout, DrawingStorage& storage, SvgOutput& out);

// The axis labels, the given ones or the picture's own, and "no samples"
// in an empty plot.
void draw_axis_labels(const Plan& plan, const PictureTexts& texts, const Layout& layout,
                      SvgOutput& out);

}  // namespace vorna::plot
