#include "plot/picture_draw.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "plot/svg_elements.h"
#include "plot/text_measure.h"

namespace vorna::plot {
namespace {

void draw_swatch(const LegendItem& item, const Fonts& f, SvgOutput& out) {
  const double x = item.x, w = swatch_width(f);
  const double middle = item.baseline - 0.33 * f.legend;
  const double half = 0.4 * f.legend;
  switch (item.swatch) {
    case Swatch::kLine:
      out.text("<line stroke=\"").text(kSeriesColour).text("\" stroke-width=\"");
      out.coordinate(2 * f.stroke).text("\" x1=\"");
      out.coordinate(x).text("\" y1=\"").coordinate(middle).text("\" x2=\"").coordinate(x + w);
      out.text("\" y2=\"").coordinate(middle).text("\"/>\n");
      break;
    case Swatch::kDot:
      out.text("<circle fill=\"").text(kExtremumColour).text("\" r=\"").coordinate(0.2 * f.legend);
      out.text("\" cx=\"").coordinate(x + w / 2).text("\" cy=\"").coordinate(middle);
      out.text("\"/>\n");
      break;
    case Swatch::kMeasure:
      out.text("<g stroke=\"").text(kMaxColour).text("\" stroke-width=\"");
      out.coordinate(1.5 * f.stroke).text("\">\n");
      line(out, x + w / 2, middle - half, x + w / 2, middle + half);
      line(out, x + w / 2 - half / 2, middle - half, x + w / 2 + half / 2, middle - half);
      line(out, x + w / 2 - half / 2, middle + half, x + w / 2 + half / 2, middle + half);
      out.text("</g>\n");
      break;
    case Swatch::kRange:
      out.text("<rect fill=\"").text(kDetailColour).text("\" fill-opacity=\"0.25\" stroke=\"");
      out.text(kDetailColour).text("\" x=\"").coordinate(x).text("\" y=\"");
      out.coordinate(middle - half).text("\" width=\"").coordinate(w).text("\" height=\"");
      out.coordinate(2 * half).text("\"/>\n");
      break;
  }
}

void draw_legend(const Layout& layout, SvgOutput& out) {
  const Fonts& f = layout.f;
  out.text("<g id=\"legend\">\n");
  for (int i = 0; i < layout.legend_count; ++i) {
    const LegendItem& item = layout.legend[i];
    draw_swatch(item, f, out);
    const double x = item.x + swatch_width(f) + 0.4 * f.legend;
    text_at(out, x, item.baseline, f.legend, "start");
    write_fitted(out, item.text.view(), f.legend, layout.width - f.margin - x);
    out.text("</text>\n");
  }
  out.text("</g>\n");
}

void draw_notes(const Notes& notes, const Layout& layout, SvgOutput& out) {
  if (notes.count == 0) return;
  const Fonts& f = layout.f;
  out.text("<g id=\"notes\" fill=\"").text(kNoteColour).text("\">\n");
  for (int i = 0; i < notes.count; ++i) {
    const double baseline = layout.notes_top + kLineHeight * f.note * i + kAscent * f.note;
    text_at(out, f.margin, baseline, f.note, "start");
    write_fitted(out, notes.text[i], f.note, layout.width - 2 * f.margin);
    out.text("</text>\n");
  }
  out.text("</g>\n");
}

void draw_grid(const Panel& panel, SvgOutput& out) {
  out.text("<g stroke=\"").text(kGridColour).text("\">\n");
  for (int i = 0; i < panel.x_ticks.count; ++i) {
    const double px = panel.x.map(panel.x_ticks.values[i]);
    line(out, px, panel.top, px, panel.bottom);
  }
  for (int i = 0; i < panel.y_ticks.count; ++i) {
    const double py = panel.y.map(panel.y_ticks.values[i]);
    line(out, panel.left, py, panel.right, py);
  }
  out.text("</g>\n");
}

void draw_frame_and_tick_marks(const Panel& panel, double mark, SvgOutput& out) {
  out.text("<g stroke=\"").text(kAxisColour).text("\">\n");
  out.text("<rect fill=\"none\" x=\"").coordinate(panel.left).text("\" y=\"");
  out.coordinate(panel.top).text("\" width=\"").coordinate(panel.right - panel.left);
  out.text("\" height=\"").coordinate(panel.bottom - panel.top).text("\"/>\n");
  for (int i = 0; i < panel.x_ticks.count; ++i) {
    const double px = panel.x.map(panel.x_ticks.values[i]);
    line(out, px, panel.bottom, px, panel.bottom + mark);
  }
  for (int i = 0; i < panel.y_ticks.count; ++i) {
    const double py = panel.y.map(panel.y_ticks.values[i]);
    line(out, panel.left - mark, py, panel.left, py);
  }
  out.text("</g>\n");
}

// The time tick labels; the last time, when the panel shows it at the
// right end, goes first, and a tick label that would touch it gives way.
void draw_x_tick_labels(const Panel& panel, double mark, const Fonts& f, SvgOutput& out) {
  const Ticks& x_ticks = panel.x_ticks;
  const double x_baseline = panel.bottom + mark + kAscent * f.tick;
  Text end;
  double end_half = -1.0;
  if (panel.end_label && end_time_text(panel.x_high, x_ticks, end)) {
    end_half = text_width(end.view(), f.tick) / 2;
    text_at(out, panel.right, x_baseline, f.tick, "middle");
    out.escaped(end.view()).text("</text>\n");
    line(out, panel.right, panel.bottom, panel.right, panel.bottom + mark);
  }
  for (int i = 0; i < x_ticks.count; ++i) {
    const Text label = tick_text(x_ticks.values[i], x_ticks);
    const double px = panel.x.map(x_ticks.values[i]);
    if (end_half >= 0 &&
        px + text_width(label.view(), f.tick) / 2 + 0.5 * f.tick >= panel.right - end_half) {
      continue;
    }
    text_at(out, px, x_baseline, f.tick, "middle");
    out.escaped(label.view()).text("</text>\n");
  }
}

void draw_y_tick_labels(const Panel& panel, double mark, const Fonts& f, SvgOutput& out) {
  const Ticks& y_ticks = panel.y_ticks;
  for (int i = 0; i < y_ticks.count; ++i) {
    const double py = panel.y.map(y_ticks.values[i]);
    text_at(out, panel.left - mark - 0.2 * f.base, py + 0.35 * f.tick, f.tick, "end");
    out.escaped(tick_text(y_ticks.values[i], y_ticks).view()).text("</text>\n");
  }
}

// Grid, frame, ticks and tick labels of one panel.
void draw_panel_axes(const Panel& panel, const Fonts& f, SvgOutput& out) {
  const double mark = 0.4 * f.base;
  draw_grid(panel, out);
  draw_frame_and_tick_marks(panel, mark, out);
  out.text("<g class=\"tick-labels\" fill=\"").text(kAxisColour).text("\">\n");
  draw_x_tick_labels(panel, mark, f, out);
  draw_y_tick_labels(panel, mark, f, out);
  out.text("</g>\n");
}

// Calls visit(x, y, starts_run) for every kept sample of columns that has a
// place; a sample without one (its time unknown on a time axis) breaks the
// line. Sample numbers are counted from first.
template <typename Visit>
void for_each_drawn_point(const ColumnDecimator& columns, std::int64_t first, XMode mode,
                          const Panel& panel, Visit visit) {
  bool broken = true;
  columns.for_each_point([&](const SamplePoint& sample, bool starts_run) {
    const double at =
        mode == XMode::kTime ? sample.time : static_cast<double>(sample.number + first - 1);
    if (!std::isfinite(at)) {
      broken = true;
      return;
    }
    visit(panel.x.map(at), panel.y.map(sample.value), starts_run || broken);
    broken = false;
  });
}

// A point with no neighbour on its line would not show: it gets a dot.
void draw_lone_samples(const ColumnDecimator& columns, std::int64_t first, XMode mode,
                       const Panel& panel, double stroke, SvgOutput& out) {
  out.text("<g class=\"lone-samples\" fill=\"").text(kSeriesColour).text("\">\n");
  bool have_previous = false;
  double previous_x = 0.0, previous_y = 0.0;
  int run_length = 0;
  const auto end_run = [&]() {
    if (have_previous && run_length == 1) circle(out, previous_x, previous_y, 2.5 * stroke);
  };
  for_each_drawn_point(columns, first, mode, panel, [&](double x, double y, bool starts_run) {
    if (starts_run) {
      end_run();
      run_length = 0;
    }
    ++run_length;
    have_previous = true;
    previous_x = x;
    previous_y = y;
  });
  end_run();
  out.text("</g>\n");
}

void draw_series(const ColumnDecimator& columns, std::int64_t first, XMode mode, const Panel& panel,
                 double stroke, Marks& marks, SvgOutput& out) {
  out.text("<path class=\"series\" fill=\"none\" stroke=\"").text(kSeriesColour);
  out.text("\" stroke-width=\"").coordinate(1.2 * stroke);
  out.text("\" stroke-linejoin=\"round\" d=\"");
  bool first_point = true;
  for_each_drawn_point(columns, first, mode, panel, [&](double x, double y, bool starts_run) {
    if (!first_point) out.text(" ");
    first_point = false;
    out.text(starts_run ? "M" : "L").coordinate(x).text(" ").coordinate(y);
    marks.add(x, y, !starts_run, 0.6 * stroke);
  });
  out.text("\"/>\n");
  draw_lone_samples(columns, first, mode, panel, stroke, out);
}

void draw_extremum_dot(double x, double y, double radius, Marks& marks, SvgOutput& out) {
  circle(out, x, y, radius);
  marks.add(x, y, false, radius);
}

// The height label beside its measure, where it covers no mark; where no
// place near the measure is free, the legend alone names the height.
void draw_height_label(const Text& label, const PairPoints& p, double measure, const Panel& panel,
                       const Fonts& f, const Marks& marks, SvgOutput& out) {
  const double inset = 2.0;
  LabelRequest request;
  request.area = {panel.left + inset, panel.top + inset, panel.right - inset, panel.bottom - inset};
  request.bar_x = measure;
  request.bar_top = std::fmin(p.y1, p.y2);
  request.bar_bottom = std::fmax(p.y1, p.y2);
  request.width = text_width(label.view(), f.tick);
  request.height = kLineHeight * f.tick;
  request.clearance = 0.3 * f.base;
  request.reach = 8.0 * f.base;
  Box box;
  if (!place_label(request, marks, box)) return;
  out.text("<text stroke=\"none\" fill=\"").text(kMaxColour).text("\" x=\"");
  out.coordinate(box.left).text("\" y=\"").coordinate(box.top + kAscent * f.tick);
  out.text("\" font-size=\"").coordinate(f.tick).text("\">").escaped(label.view());
  out.text("</text>\n");
}

// The pair of maximum height: both extrema highlighted, a vertical measure
// just beside the later one between the two values, dashed guides from the
// extrema to it, and the label where it covers no drawn mark.
void draw_max_height(const PairPoints& p, const Text& label, const Panel& panel, const Fonts& f,
                     const char* id, Marks& marks, SvgOutput& out) {
  const double measure = measure_x(p, 0.6 * f.base, panel.right);
  const double cap = kMeasureCapReach;
  out.text("<g id=\"").text(id).text("\" stroke=\"").text(kMaxColour).text("\">\n");
  out.text("<g stroke-dasharray=\"").coordinate(4 * f.stroke).text(" ");
  out.coordinate(3 * f.stroke).text("\">\n");
  line(out, p.x1, p.y1, measure, p.y1);
  line(out, p.x2, p.y2, measure, p.y2);
  out.text("</g>\n<g stroke-width=\"").coordinate(1.5 * f.stroke).text("\">\n");
  line(out, measure, p.y1, measure, p.y2, "measure");
  line(out, measure - cap, p.y1, measure + cap, p.y1);
  line(out, measure - cap, p.y2, measure + cap, p.y2);
  out.text("</g>\n<g fill=\"").text(kMaxColour).text("\" stroke=\"white\">\n");
  circle(out, p.x1, p.y1, 0.3 * f.base);
  circle(out, p.x2, p.y2, 0.3 * f.base);
  out.text("</g>\n");
  add_measure_marks(p, measure, 0.75 * f.stroke, 0.3 * f.base + f.stroke, marks);
  draw_height_label(label, p, measure, panel, f, marks, out);
  out.text("</g>\n");
}

// Every sample of the detail window, spread over the panel's columns (one
// sample per column when they fit); the line breaks at gaps in time.
void spread_detail(const DetailWindow& window, int column_count, double gap_limit,
                   ColumnDecimator& columns) {
  columns.reset(window.last - window.first + 1, column_count);
  double previous_time = std::numeric_limits<double>::quiet_NaN();
  for (std::int64_t k = window.first; k <= window.last; ++k) {
    const SamplePoint& sample = window.sample(k);
    if (is_time_gap(previous_time, sample.time, gap_limit)) columns.add_gap();
    if (std::isfinite(sample.time)) previous_time = sample.time;
    if (!std::isfinite(sample.value)) {
      columns.add_gap();
    } else {
      columns.add({k - window.first + 1, sample.time, sample.value});
    }
  }
}

double detail_x(const SamplePoint& sample, XMode mode) {
  return mode == XMode::kTime ? sample.time : static_cast<double>(sample.number);
}

void draw_detail_caption(const DetailWindow& window, const Layout& layout, SvgOutput& out) {
  const Panel& panel = layout.detail;
  const Fonts& f = layout.f;
  Text caption;
  caption.add("Detail around the maximum height: samples ").integer(window.first);
  caption.add(" to ").integer(window.last);
  const bool every =
      static_cast<double>(window.last - window.first + 1) <= panel.right - panel.left;
  if (every) caption.add(", every sample");
  text_at(out, panel.left, layout.detail_caption_baseline, f.legend, "start");
  write_fitted(out, caption.view(), f.legend, layout.width - f.margin - panel.left);
  out.text("</text>\n");
}

// The extrema of the detail window, when no closer on average than in the
// overview.
void draw_detail_extrema(const DetailWindow& window, XMode mode, const Panel& panel, const Fonts& f,
                         DrawingStorage& storage, SvgOutput& out) {
  std::int64_t extrema = 0;
  for (std::int64_t k = window.first; k <= window.last; ++k) extrema += window.is_extremum(k);
  const bool mark = extrema <= storage.detail_columns.column_count() / kColumnsPerMarker;
  out.text("<g class=\"extrema\" fill=\"").text(kExtremumColour).text("\">\n");
  for (std::int64_t k = window.first; k <= window.last && mark; ++k) {
    const SamplePoint& sample = window.sample(k);
    const double at = detail_x(sample, mode);
    if (!window.is_extremum(k) || !std::isfinite(at) || !std::isfinite(sample.value)) continue;
    draw_extremum_dot(panel.x.map(at), panel.y.map(sample.value), 0.22 * f.base, storage.marks,
                      out);
  }
  out.text("</g>\n");
}

// The record's highest and lowest sample (the first of each), from the
// listing: a ring around each, labelled "max" and "min" beside it, towards
// the inside of the plot; on the right unless that leaves the plot or
// crosses the measure at measure.
void draw_global_extremes(const Listing& listing, const Plan& plan, const Panel& panel,
                          double measure, const Fonts& f, Marks& marks, SvgOutput& out) {
  if (listing.valued_samples == 0) return;
  out.text("<g id=\"global-extremes\" fill=\"none\" stroke=\"").text(kGlobalColour);
  out.text("\">\n");
  const struct {
    const SamplePoint& sample;
    const char* label;
    double baseline;  // below the ring's centre, in font sizes
  } rings[] = {{listing.highest, "max", 0.9}, {listing.lowest, "min", -0.1}};
  const double radius = 0.45 * f.base;
  for (const auto& ring : rings) {
    const double at = detail_x(ring.sample, plan.mode);
    if (!std::isfinite(at)) continue;
    const double x = panel.x.map(at), y = panel.y.map(ring.sample.value);
    circle(out, x, y, radius);
    const double gap = radius + 0.2 * f.tick;
    const double label_width = text_width(ring.label, f.tick);
    const bool right = ring_label_goes_right(x, gap, label_width, panel.right, measure);
    const double baseline = y + ring.baseline * f.tick;
    out.text("<g stroke=\"none\" fill=\"").text(kGlobalColour).text("\">");
    text_at(out, right ? x + gap : x - gap, baseline, f.tick, right ? "start" : "end");
    out.text(ring.label).text("</text></g>\n");
    marks.add(x, y, false, radius + f.stroke);
    const double left = right ? x + gap : x - gap - label_width;
    marks.add_box(
        {left, baseline - kAscent * f.tick, left + label_width, baseline + 0.25 * f.tick});
  }
  out.text("</g>\n");
}

// The detail panel's range, marked on the overview.
void draw_detail_range(const Listing& listing, const Plan& plan, const Panel& overview,
                       SvgOutput& out) {
  const DetailWindow& window = listing.detail;
  const double from = detail_x(window.sample(window.first), plan.mode);
  const double to = detail_x(window.sample(window.last), plan.mode);
  if (!std::isfinite(from) || !std::isfinite(to)) return;
  const double left = overview.x.map(std::fmin(from, to));
  const double right = std::fmax(overview.x.map(std::fmax(from, to)), left + 2);
  out.text("<rect id=\"detail-range\" fill=\"").text(kDetailColour);
  out.text("\" fill-opacity=\"0.25\" stroke=\"").text(kDetailColour).text("\" x=\"");
  out.coordinate(left).text("\" y=\"").coordinate(overview.top).text("\" width=\"");
  out.coordinate(right - left).text("\" height=\"").coordinate(overview.bottom - overview.top);
  out.text("\"/>\n");
}

void draw_extrema(const PrintFile& file, const Panel& overview, const Fonts& f, Marks& marks,
                  SvgOutput& out) {
  out.text("<g id=\"extrema\" fill=\"").text(kExtremumColour).text("\">\n");
  for (int i = 0; i < file.stored_extrema; ++i) {
    draw_extremum_dot(overview.x.map(file.extrema[i].time), overview.y.map(file.extrema[i].value),
                      0.22 * f.base, marks, out);
  }
  out.text("</g>\n");
}

}  // namespace

void write_description(const PrintFile& file, const Listing& listing, const Plan& plan,
                       const Quoted& q, const PictureSources& sources, SvgOutput& out) {
  out.text("<desc>The time series of the VORNA print file ").escaped(sources.print_file);
  out.text(" and its listing ").escaped(sources.listing).text(": ").escaped(q.steps);
  out.text(" samples");
  if (plan.mode == XMode::kTime) {
    out.text(", drawn as a line of value over time from ").escaped(q.first);
    out.text(" to ").escaped(q.last);
  } else if (plan.mode == XMode::kNumber) {
    out.text(", drawn as a line of value over sample number");
  }
  if (plan.mark_extrema) {
    out.text("; its ").integer(file.extremum_count).text(" extrema are marked with dots");
  }
  if (plan.draw_pair) {
    out.text("; the largest height between two successive extrema, ").escaped(q.height);
    out.text(" at ").escaped(q.height_time);
    out.text(", is a red vertical measure between that pair of extrema");
  }
  if (plan.detail) {
    out.text("; a detail panel below shows samples ").integer(listing.detail.first);
    out.text(" to ").integer(listing.detail.last).text(" around that pair");
  }
  out.text(".");
  for (int i = 0; i < plan.notes.count; ++i) out.text(" ").escaped(plan.notes.text[i]);
  out.text("</desc>\n");
}

void draw_headings(const Plan& plan, const Quoted& q, const Text& title, const Layout& layout,
                   SvgOutput& out) {
  const Fonts& f = layout.f;
  const double room = layout.width - 2 * f.margin;
  text_at(out, f.margin, layout.title_baseline, f.title, "start");
  out.text("<tspan font-weight=\"bold\">");
  write_fitted(out, title.view(), f.title, room, true);
  out.text("</tspan></text>\n");
  if (!q.stamp.empty()) {
    out.text("<g id=\"date-stamp\" fill=\"").text(kAxisColour).text("\">\n");
    text_at(out, f.margin, layout.subtitle_baseline, f.subtitle, "start");
    write_fitted(out, q.stamp, f.subtitle, room);
    out.text("</text>\n</g>\n");
  }
  draw_legend(layout, out);
  draw_notes(plan.notes, layout, out);
}

void draw_overview(const PrintFile& file, const Listing& listing, const Plan& plan,
                   const Text& height_label, const Layout& layout, DrawingStorage& storage,
                   SvgOutput& out) {
  const Panel& overview = layout.overview;
  const Fonts& f = layout.f;
  Marks& marks = storage.marks;
  out.text("<g id=\"overview\">\n");
  if (plan.mode != XMode::kNothing) draw_panel_axes(overview, f, out);
  if (plan.detail) draw_detail_range(listing, plan, overview, out);
  marks.count = 0;
  if (plan.mode != XMode::kNothing) {
    out.text("<g id=\"series\">\n");
    draw_series(listing.columns, 1, plan.mode, overview, f.stroke, marks, out);
    out.text("</g>\n");
  }
  if (plan.mark_extrema) draw_extrema(file, overview, f, marks, out);
  if (plan.mode != XMode::kNothing) {
    // The rings' labels keep clear of where the measure stands right of
    // the pair's later extremum.
    const double measure =
        plan.draw_pair ? overview.x.map(file.pair.to_time.value) + 0.6 * f.base : NAN;
    draw_global_extremes(listing, plan, overview, measure, f, marks, out);
  }
  if (plan.draw_pair) {
    const MaxHeightPair& pair = file.pair;
    draw_max_height({overview.x.map(pair.from_time.value), overview.y.map(pair.from_value.value),
                     overview.x.map(pair.to_time.value), overview.y.map(pair.to_value.value)},
                    height_label, overview, f, "max-height", marks, out);
  }
  out.text("</g>\n");
}

void draw_detail(const Listing& listing, const Plan& plan, const Text& height_label,
                 const Layout& layout, DrawingStorage& storage, SvgOutput& out) {
  const DetailWindow& window = listing.detail;
  const Panel& panel = layout.detail;
  const Fonts& f = layout.f;
  out.text("<g id=\"detail\">\n");
  draw_detail_caption(window, layout, out);
  draw_panel_axes(panel, f, out);
  storage.marks.count = 0;
  spread_detail(window, static_cast<int>(panel.right - panel.left), listing.gap_limit,
                storage.detail_columns);
  draw_series(storage.detail_columns, window.first, plan.mode, panel, f.stroke, storage.marks, out);
  draw_detail_extrema(window, plan.mode, panel, f, storage, out);
  const SamplePoint& from = window.sample(window.from);
  const SamplePoint& to = window.sample(window.to);
  if (std::isfinite(detail_x(from, plan.mode)) && std::isfinite(detail_x(to, plan.mode))) {
    draw_max_height({panel.x.map(detail_x(from, plan.mode)), panel.y.map(from.value),
                     panel.x.map(detail_x(to, plan.mode)), panel.y.map(to.value)},
                    height_label, panel, f, "detail-max-height", storage.marks, out);
  }
  out.text("</g>\n");
}

void draw_axis_labels(const Plan& plan, const PictureTexts& texts, const Layout& layout,
                      SvgOutput& out) {
  const Fonts& f = layout.f;
  const Panel& top = layout.overview;
  const Panel& bottom = plan.detail ? layout.detail : layout.overview;
  const char* x_label = texts.x_label != nullptr
                            ? texts.x_label
                            : (plan.mode == XMode::kNumber ? "Sample number" : "Time");
  const char* y_label = texts.y_label != nullptr ? texts.y_label : "Value";
  out.text("<g id=\"axis-labels\">\n");
  text_at(out, (top.left + top.right) / 2, layout.x_label_baseline, f.label, "middle");
  write_fitted(out, x_label, f.label, top.right - top.left);
  out.text("</text>\n");
  const double middle = (top.top + bottom.bottom) / 2;
  out.text("<text text-anchor=\"middle\" font-size=\"").coordinate(f.label);
  out.text("\" transform=\"translate(").coordinate(f.margin + kAscent * f.label).text(" ");
  out.coordinate(middle).text(") rotate(-90)\">");
  write_fitted(out, y_label, f.label, bottom.bottom - top.top);
  out.text("</text>\n</g>\n");
  if (plan.mode == XMode::kNothing) {
    text_at(out, (top.left + top.right) / 2, (top.top + top.bottom) / 2, f.base, "middle");
    out.text("no samples</text>\n");
  }
}

}  // namespace vorna::plot
