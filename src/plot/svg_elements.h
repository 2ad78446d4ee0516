// The SVG elements that both pictures are drawn with: the document's start,
// lines, circles and texts, each written straight to the output.
#pragma once

#include <string_view>

#include "plot/picture_style.h"
#include "plot/svg_output.h"

namespace vorna::plot {

// The XML declaration and the <svg> start tag of a picture of size, its
// text at the tick size and its lines at the thin stroke of fonts.
void open_svg(const PictureSize& size, const Fonts& fonts, SvgOutput& out);

void line(SvgOutput& out, double x1, double y1, double x2, double y2, const char* id = nullptr);

void circle(SvgOutput& out, double x, double y, double radius);

// A <text> element at (x, y) in size pixels; anchor "start", "middle" or
// "end". The caller writes the text and closes the element.
void text_at(SvgOutput& out, double x, double y, double size, const char* anchor);

// The text, shortened with an ellipsis to width pixels.
void write_fitted(SvgOutput& out, std::string_view text, double size, double width,
                  bool bold = false);

}  // namespace vorna::plot
