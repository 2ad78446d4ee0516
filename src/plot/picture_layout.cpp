#include "plot/picture_layout.h"

#include <algorithm>

#include "plot/text_measure.h"

namespace vorna::plot {
namespace {

constexpr int kLeastPlotWidth = 120;  // the narrowest plot area, for plot_columns

long long as_count(std::int64_t n) { return static_cast<long long>(n); }

double legend_item_width(const LegendItem& item, const Fonts& f) {
  return swatch_width(f) + 0.4 * f.legend + text_width(item.text.view(), f.legend);
}

LegendItem& next_legend_item(Swatch swatch, Layout& layout) {
  LegendItem& item = layout.legend[layout.legend_count++];
  item.swatch = swatch;
  return item;
}

void compose_legend(const PrintFile& file, const Plan& plan, const Quoted& q, Layout& layout) {
  if (plan.mode != XMode::kNothing) {
    next_legend_item(Swatch::kLine, layout)
        .text.add("series, ")
        .number(q.steps)
        .add(file.steps == 1 ? " sample" : " samples");
  }
  if (plan.mark_extrema) {
    next_legend_item(Swatch::kDot, layout)
        .text.add(plan.reversals ? "reversals, " : "extrema, ")
        .integer(as_count(file.extremum_count));
  }
  if (plan.draw_pair) compose_height_label(q, next_legend_item(Swatch::kMeasure, layout).text);
  if (plan.detail) next_legend_item(Swatch::kRange, layout).text.add("detail range");
}

// Places the legend's entries in rows from the top y; returns the y below them.
double place_legend(Layout& layout, double y) {
  const Fonts& f = layout.f;
  const double row_height = 1.4 * f.legend;
  double x = f.margin;
  bool row_used = false;
  for (int i = 0; i < layout.legend_count; ++i) {
    LegendItem& item = layout.legend[i];
    const double width = legend_item_width(item, f);
    if (row_used && x + width > layout.width - f.margin) {
      y += row_height;
      x = f.margin;
    }
    item.x = x;
    item.baseline = y + kAscent * f.legend;
    x += width + 1.2 * f.legend;
    row_used = true;
  }
  return row_used ? y + row_height : y;
}

double widest_tick_label(const Ticks& ticks, double size) {
  double widest = 0.0;
  for (int i = 0; i < ticks.count; ++i) {
    widest = std::fmax(widest, text_width(tick_text(ticks.values[i], ticks).view(), size));
  }
  return widest;
}

// Time ticks, as many as fit with no two labels touching; sample numbers
// are whole.
Ticks x_ticks_for(const Panel& panel, XMode mode, const Fonts& f) {
  const double width = panel.right - panel.left;
  const double min_step = mode == XMode::kNumber ? 1.0 : 0.0;
  for (int max_count = static_cast<int>(width / (4.0 * f.tick));; --max_count) {
    const Ticks ticks = choose_ticks(panel.x_low, panel.x_high, max_count, min_step);
    if (max_count <= 2 || ticks.count < 2) return ticks;
    const double spacing = ticks.step * 0.5 / (panel.x_high * 0.5 - panel.x_low * 0.5) * width;
    if (widest_tick_label(ticks, f.tick) + 0.8 * f.tick <= spacing) return ticks;
  }
}

// Ticks at both ends of a range too narrow for round steps (values near
// the smallest doubles), labelled with four digits in the exponent form.
Ticks end_ticks(double low, double high) {
  Ticks ticks;
  const double largest = std::fmax(std::fabs(low), std::fabs(high));
  if (!(low < high) || !std::isfinite(largest)) return ticks;
  ticks.values[0] = low;
  ticks.values[1] = high;
  ticks.count = 2;
  ticks.step = high - low;
  ticks.power = static_cast<int>(std::floor(std::log10(largest))) - 3;
  return ticks;
}

Ticks y_ticks_for(const Panel& panel, const Fonts& f) {
  const Ticks ticks = choose_ticks(panel.y_low, panel.y_high,
                                   static_cast<int>((panel.bottom - panel.top) / (2.2 * f.tick)));
  if (ticks.count >= 2) return ticks;
  const Ticks fewer = choose_ticks(panel.y_low, panel.y_high, 2);
  return fewer.count >= 2 ? fewer : end_ticks(panel.y_low, panel.y_high);
}

// The detail window's ranges: its times (or numbers) and finite values.
void detail_ranges(const Listing& listing, XMode mode, Panel& panel) {
  const DetailWindow& window = listing.detail;
  Range x, y;
  for (std::int64_t k = window.first; k <= window.last; ++k) {
    const SamplePoint& sample = window.sample(k);
    const double at = mode == XMode::kTime ? sample.time : static_cast<double>(sample.number);
    if (std::isfinite(at) && std::isfinite(sample.value)) {
      x.add(at);
      y.add(sample.value);
    }
  }
  panel.x_low = x.low;
  panel.x_high = x.high;
  panel.y_low = y.low;
  panel.y_high = y.high;
  widen_single(panel.x_low, panel.x_high);
  widen_single(panel.y_low, panel.y_high);
  pad(panel.y_low, panel.y_high, 0.05);
}

// The rows above the plot: title, date stamp, legend and notes; returns
// the plot's top.
double place_headings(const Quoted& q, const Plan& plan, Layout& layout) {
  const Fonts& f = layout.f;
  double y = f.margin;
  layout.title_baseline = y + kAscent * f.title;
  y += kLineHeight * f.title;
  if (!q.stamp.empty()) {
    layout.subtitle_baseline = y + kAscent * f.subtitle;
    y += kLineHeight * f.subtitle;
  }
  y = place_legend(layout, y + 0.2 * f.base);
  layout.notes_top = y;
  y += kLineHeight * f.note * plan.notes.count;
  return y + 0.5 * f.tick + 0.3 * f.base;
}

// The vertical layout from the top: the headings, the plot, the detail
// panel under it; false when the detail panel does not fit.
bool place_rows(const Quoted& q, const Plan& plan, Layout& layout) {
  const Fonts& f = layout.f;
  const double top = place_headings(q, plan, layout);
  layout.x_label_baseline = layout.height - f.margin - (kLineHeight - kAscent) * f.label;
  const double tick_area = 0.4 * f.base + kLineHeight * f.tick;
  const double bottom = layout.height - f.margin - kLineHeight * f.label - tick_area;
  Panel& overview = layout.overview;
  overview.top = top;
  overview.bottom = bottom;
  if (!plan.detail) return true;
  const double caption = 0.6 * f.base + kLineHeight * f.legend;
  const double shared = bottom - top - tick_area - caption;
  overview.bottom = top + 0.55 * shared;
  Panel& detail = layout.detail;
  detail.top = overview.bottom + tick_area + caption;
  detail.bottom = bottom;
  layout.detail_caption_baseline = detail.top - 0.3 * f.base - (kLineHeight - kAscent) * f.legend;
  return overview.bottom - overview.top >= 3 * f.base && detail.bottom - detail.top >= 3 * f.base;
}

// The x ticks of a panel. A label centred on a tick near either end may
// reach past the margin: the plot narrows by that much and the ticks are
// chosen again.
void place_x_ticks(Panel& panel, XMode mode, const Layout& layout) {
  const Fonts& f = layout.f;
  for (int attempt = 0; attempt < 4; ++attempt) {
    panel.x = {panel.x_low, panel.x_high, panel.left, panel.right};
    panel.y = {panel.y_low, panel.y_high, panel.bottom, panel.top};
    if (mode == XMode::kNothing) return;
    panel.x_ticks = x_ticks_for(panel, mode, f);
    double left_over = 0.0, right_over = 0.0;
    for (int i = 0; i < panel.x_ticks.count; ++i) {
      const double px = panel.x.map(panel.x_ticks.values[i]);
      const double half =
          text_width(tick_text(panel.x_ticks.values[i], panel.x_ticks).view(), f.tick) / 2;
      left_over = std::fmax(left_over, f.margin - (px - half));
      right_over = std::fmax(right_over, px + half - (layout.width - f.margin));
    }
    if (left_over <= 0.0 && right_over <= 0.0) return;
    panel.left += left_over;
    panel.right -= right_over;
  }
}

// The horizontal layout: room left of the plots for the value labels and
// the rotated axis label, right of them for half the last time label.
void place_columns(const Plan& plan, Layout& layout) {
  const Fonts& f = layout.f;
  Panel* panels[2] = {&layout.overview, plan.detail ? &layout.detail : nullptr};
  double widest = 0.0;
  for (Panel* panel : panels) {
    if (panel == nullptr || plan.mode == XMode::kNothing) continue;
    panel->y_ticks = y_ticks_for(*panel, f);
    widest = std::fmax(widest, widest_tick_label(panel->y_ticks, f.tick));
  }
  const double left = std::fmin(
      f.margin + kLineHeight * f.label + 0.4 * f.base + widest + 0.6 * f.base, layout.width / 2.0);
  double right_room = 1.8 * f.tick;  // half a label of three digits, about
  Text end;
  if (plan.mode == XMode::kTime && fixed_time_text(plan.x_high, 3, end)) {
    right_room = std::fmax(right_room, text_width(end.view(), f.tick) / 2);
  }
  for (Panel* panel : panels) {
    if (panel == nullptr) continue;
    panel->left = std::fmax(left, f.margin + 2.5 * f.tick);
    panel->right = layout.width - f.margin - right_room;
    place_x_ticks(*panel, plan.mode, layout);
  }
  layout.overview.end_label = plan.mode == XMode::kTime && end.size() > 0;
}

}  // namespace

double swatch_width(const Fonts& f) { return 1.6 * f.legend; }

void lay_out(const PrintFile& file, const Listing& listing, Plan& plan, const Quoted& q,
             const PictureSize& size, Layout& layout) {
  for (;;) {
    layout = Layout();
    layout.f = fonts_for(size);
    layout.width = size.width;
    layout.height = size.height;
    compose_legend(file, plan, q, layout);
    if (place_rows(q, plan, layout)) break;
    plan.detail = false;
    plan.notes.add("No room for the detail panel at this height.");
  }
  Panel& overview = layout.overview;
  overview.x_low = plan.x_low;
  overview.x_high = plan.x_high;
  overview.y_low = plan.y_low;
  overview.y_high = plan.y_high;
  if (plan.detail) detail_ranges(listing, plan.mode, layout.detail);
  place_columns(plan, layout);
}

int plot_columns(const PictureSize& size) {
  // The plot area at its narrowest value labels: wider labels leave fewer
  // pixels, so a column never spans more than one.
  const Fonts f = fonts_for(size);
  const double left = f.margin + kLineHeight * f.label + 1.0 * f.base + 2.0 * f.tick;
  const int columns = static_cast<int>(size.width - left - f.margin - 1.8 * f.tick);
  return std::max(columns, kLeastPlotWidth);
}

}  // namespace vorna::plot
