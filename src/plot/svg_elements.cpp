#include "plot/svg_elements.h"

#include "plot/text_measure.h"

namespace vorna::plot {

void open_svg(const PictureSize& size, const Fonts& fonts, SvgOutput& out) {
  out.text("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
  out.text("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"").integer(size.width);
  out.text("\" height=\"").integer(size.height).text("\" viewBox=\"0 0 ").integer(size.width);
  out.text(" ").integer(size.height);
  out.text("\" font-family=\"DejaVu Sans, Verdana, sans-serif\" font-size=\"");
  out.coordinate(fonts.tick).text("\" stroke-width=\"").coordinate(fonts.stroke).text("\">\n");
}

void line(SvgOutput& out, double x1, double y1, double x2, double y2, const char* id) {
  out.text("<line ");
  if (id != nullptr) out.text("id=\"").text(id).text("\" ");
  out.text("x1=\"").coordinate(x1).text("\" y1=\"").coordinate(y1);
  out.text("\" x2=\"").coordinate(x2).text("\" y2=\"").coordinate(y2).text("\"/>\n");
}

void circle(SvgOutput& out, double x, double y, double radius) {
  out.text("<circle r=\"").coordinate(radius).text("\" cx=\"").coordinate(x).text("\" cy=\"");
  out.coordinate(y).text("\"/>\n");
}

void text_at(SvgOutput& out, double x, double y, double size, const char* anchor) {
  out.text("<text x=\"").coordinate(x).text("\" y=\"").coordinate(y);
  out.text("\" font-size=\"").coordinate(size);
  out.text("\" text-anchor=\"").text(anchor).text("\">");
}

void write_fitted(SvgOutput& out, std::string_view text, double size, double width, bool bold) {
  const std::size_t fits = fitting_prefix(text, size, width, bold);
  out.escaped(text.substr(0, fits));
  if (fits < text.size()) out.text(kEllipsis);
}

}  // namespace vorna::plot
