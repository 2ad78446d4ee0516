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
// and the drawing (picture_draw).
#pragma once

#include "plot/listing_reader.h"
#include "plot/picture_style.h"
#include "plot/print_file_reader.h"
#include "plot/svg_output.h"

namespace vorna::plot {

// The columns the samples are spread over before the picture is drawn: the
// pixel columns of the plot area at its narrowest value labels (wider labels
// leave fewer pixels, so a column never spans more than one).
int plot_columns(const PictureSize& size);

// Texts the command line may give; null: the picture's own.
struct PictureTexts {
  const char* title = nullptr;
  const char* series = nullptr;  // the series' name, for the default title
  const char* x_label = nullptr;
  const char* y_label = nullptr;
  bool detail = true;  // the detail panel, when the series has more samples than columns
  // The band of the run's --hysteresis, as given: its extrema are reversals.
  const char* hysteresis = nullptr;
};

// Names shown in the picture's description.
struct PictureSources {
  const char* print_file = "";
  const char* listing = "";
};

void draw_picture(const PrintFile& file, const Listing& listing, const PictureSources& sources,
                  const PictureSize& size, const PictureTexts& texts, SvgOutput& out);

}  // namespace vorna::plot
