#include "plot/picture.h"

#include <memory>

#include "plot/picture_draw.h"
#include "plot/picture_layout.h"
#include "plot/picture_plan.h"
#include "plot/picture_text.h"
#include "plot/svg_elements.h"

namespace vorna::plot {

void draw_picture(const PrintFile& file, const Listing& listing, const PictureSources& sources,
                  const PictureSize& size, const PictureTexts& texts, SvgOutput& out) {
  Plan plan = plan_picture(file, listing, plot_columns(size), texts);
  const Quoted q = quoted_texts(file);
  Layout layout;
  lay_out(file, listing, plan, q, size, layout);
  Text title, height_label;
  compose_title(q, sources, texts, title);
  compose_height_label(q, height_label);
  // Too large for the stack: one block for the whole picture.
  const auto storage = std::make_unique<DrawingStorage>();

  open_svg(size, layout.f, out);
  out.text("<title>").escaped(title.view()).text("</title>\n");
  write_description(file, listing, plan, q, sources, out);
  out.text("<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n");
  draw_headings(plan, q, title, layout, out);
  draw_overview(file, listing, plan, height_label, layout, *storage, out);
  if (plan.detail) draw_detail(listing, plan, height_label, layout, *storage, out);
  draw_axis_labels(plan, texts, layout, out);
  out.text("</svg>\n");
}

}  // namespace vorna::plot
