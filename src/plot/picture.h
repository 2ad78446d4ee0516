// The SVG picture of one run: a title naming the run, the date stamp and a
// legend; the series as a line, its extrema, the pair of maximum height with
// a vertical measure, axes with round ticks; a detail panel of every sample
// around that pair when the series has more samples than columns; notes on
// whatever could not be drawn. Text sizes follow the picture's size, and
// every text is measured, so nothing reaches the margin at the edges.
//
// It is made in steps, each in its own file: the plan of what to show and
// its notes (picture_plan), the texts (picture_text), the layout
// (picture_layout), the label's place among what is drawn (label_place)
// and the drawing (picture_draw), from what the command line asks
// (picture_options).
#pragma once

#include "plot/listing_reader.h"
#include "plot/picture_options.h"
#include "plot/picture_style.h"
#include "plot/print_file_reader.h"
#include "plot/svg_output.h"

namespace vorna::plot {

void draw_picture(const PrintFile& file, const Listing& listing, const PictureSources& sources,
                  const PictureSize& size, const PictureTexts& texts, SvgOutput& out);

}  // namespace vorna::plot
