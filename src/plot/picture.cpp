#include "plot/picture.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <string_view>

#include "plot/label_place.h"
#include "plot/text_measure.h"
#include "plot/ticks.h"
#include "text/field_format.h"

namespace vorna::plot {
namespace {

// Layout rules, in pixels at the base font size unless said otherwise.
constexpr int kLeastPlotWidth = 120;  // the narrowest plot area, for plot_columns
constexpr int kColumnsPerMarker = 8;  // extrema are marked when no closer on average
constexpr double kAscent = 0.93;      // of the font size, above the baseline
constexpr double kLineHeight = 1.25;  // of the font size: ascent, descent and a little air

const char kSeriesColour[] = "#1f5fa8";
const char kExtremumColour[] = "#333333";
const char kMaxColour[] = "#d62728";
const char kNoteColour[] = "#8a4b00";
const char kAxisColour[] = "#555555";
const char kGridColour[] = "#e3e3e3";
const char kDetailColour[] = "#f0a830";
const char kGlobalColour[] = "#2a9d4b";  // the record's highest and lowest sample

enum class XMode {
  kTime,     // samples at their listing times
  kNumber,   // times cannot be told apart: samples at their numbers
  kNothing,  // no sample can be drawn
};

// A linear map from data to pixels. Halves keep the arithmetic finite when
// a range spans most of the doubles.
struct Axis {
  double low = 0.0;
  double high = 1.0;
  double pixel_low = 0.0;
  double pixel_high = 1.0;

  double map(double v) const {
    // Differences of subnormals are exact, their halves are not.
    const double span = high - low;
    if (std::isfinite(span)) return pixel_low + (v - low) / span * (pixel_high - pixel_low);
    return pixel_low + (v * 0.5 - low * 0.5) / (high * 0.5 - low * 0.5) * (pixel_high - pixel_low);
  }
};

double clamp_finite(double v) { return std::fmin(std::fmax(v, -DBL_MAX), DBL_MAX); }

// A range of one value is widened around it, so that it lands mid-axis;
// near the smallest doubles, by one of them on either side.
void widen_single(double& low, double& high) {
  if (low < high) return;
  const double half = low != 0.0 ? std::fabs(low) * 0.1 : 1.0;
  const double centre = low;
  low = clamp_finite(centre - half);
  high = clamp_finite(centre + half);
  if (!(low < high)) {
    low = std::nextafter(centre, -DBL_MAX);
    high = std::nextafter(centre, DBL_MAX);
  }
}

// Widens the range by fraction of it at either end, by one double at least.
void pad(double& low, double& high, double fraction) {
  const double span = high - low;
  const double margin =
      std::isfinite(span) ? span * fraction : (high * 0.5 - low * 0.5) * (2.0 * fraction);
  low = std::fmin(clamp_finite(low - margin), std::nextafter(low, -DBL_MAX));
  high = std::fmax(clamp_finite(high + margin), std::nextafter(high, DBL_MAX));
}

struct Notes {
  static constexpr int kMax = 8;
  char text[kMax][240] = {};
  int count = 0;

  void add(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    if (count == kMax) return;
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text[count++], sizeof text[0], format, arguments);
    va_end(arguments);
  }
};

// What the picture will show, decided before anything is drawn.
struct Plan {
  XMode mode = XMode::kNothing;
  double x_low = 0.0, x_high = 1.0, y_low = 0.0, y_high = 1.0;
  bool mark_extrema = false;
  bool draw_pair = false;
  bool detail = false;     // the detail panel of the pair's neighbourhood
  bool reversals = false;  // the run's extrema are reversals kept by a band
  Notes notes;
};

long long as_count(std::int64_t n) { return static_cast<long long>(n); }

const char* samples(std::int64_t n) { return n == 1 ? "sample" : "samples"; }

void choose_axes(const Listing& listing, Plan& plan) {
  if (listing.times.low < listing.times.high ||
      (listing.timed_samples == 1 && listing.valued_samples == 1)) {
    plan.mode = XMode::kTime;
    plan.x_low = listing.times.low;
    plan.x_high = listing.times.high;
    plan.y_low = listing.timed_values.low;
    plan.y_high = listing.timed_values.high;
  } else if (listing.valued_samples > 0) {
    plan.mode = XMode::kNumber;
    plan.x_low = listing.numbers.low;
    plan.x_high = listing.numbers.high;
    plan.y_low = listing.values.low;
    plan.y_high = listing.values.high;
  } else {
    plan.mode = XMode::kNothing;
    return;
  }
  widen_single(plan.x_low, plan.x_high);
  widen_single(plan.y_low, plan.y_high);
  pad(plan.y_low, plan.y_high, 0.05);
}

void note_left_out_samples(const PrintFile& file, const Listing& listing, Plan& plan) {
  Notes& notes = plan.notes;
  if (plan.mode == XMode::kNothing) {
    if (file.steps == 0) {
      notes.add("The series has no samples.");
    } else {
      notes.add("No sample of the listing has both a time and a value to draw.");
    }
    return;
  }
  if (plan.mode == XMode::kTime && listing.time_asterisks > 0) {
    notes.add(
        "Left out: %lld %s with asterisks for the time in the listing (too wide for the "
        "field).",
        as_count(listing.time_asterisks), samples(listing.time_asterisks));
  }
  if (plan.mode == XMode::kTime && listing.time_words > 0) {
    notes.add("Left out: %lld %s with NaN or Infinity for the time.", as_count(listing.time_words),
              samples(listing.time_words));
  }
  if (listing.value_not_number > 0) {
    notes.add(
        "Left out: %lld %s with a value that is not a number (NaN, Infinity or "
        "asterisks).",
        as_count(listing.value_not_number), samples(listing.value_not_number));
  }
  if (plan.mode == XMode::kNumber) {
    if (file.increment.value.is_number() && file.increment.value.value == 0.0) {
      notes.add("Time increment %.*s: samples drawn by their number; extrema not placed.",
                static_cast<int>(file.increment.shown().size()), file.increment.shown().data());
    } else {
      notes.add(
          "The listing's times cannot be told apart: samples drawn by their number; "
          "extrema not placed.");
    }
  }
}

void plan_extrema(const PrintFile& file, int columns, Plan& plan) {
  Notes& notes = plan.notes;
  if (plan.mode != XMode::kTime) return;
  if (file.extremum_count > columns / kColumnsPerMarker) {
    notes.add("%lld extrema: too many to mark at this width.", as_count(file.extremum_count));
  } else {
    plan.mark_extrema = file.stored_extrema > 0;
    if (file.unplaceable_extrema > 0) {
      notes.add(
          "Left out: %lld %s with a time or value that is not a number (asterisks, NaN "
          "or Infinity).",
          as_count(file.unplaceable_extrema),
          file.unplaceable_extrema == 1 ? "extremum" : "extrema");
    }
  }
  const MaxHeightPair& pair = file.pair;
  if (!pair.found) {
    notes.add(file.extremum_count < 2 ? "Fewer than two extrema: no height to mark."
                                      : "No two successive extrema differ: no height to mark.");
  } else if (pair.from_time.is_number() && pair.from_value.is_number() &&
             pair.to_time.is_number() && pair.to_value.is_number()) {
    plan.draw_pair = true;
  } else {
    notes.add("The pair of extrema of the maximum height cannot be placed.");
  }
}

// The header's times are the series reader's; the listing's are rebuilt on
// an even grid. Uneven sampling parts them: the picture follows the listing.
void note_header_against_listing(const PrintFile& file, const Listing& listing, Plan& plan) {
  if (listing.lines == 0) return;
  const struct {
    const HeaderField& field;
    const char* name;
    const char* listing_time;
    const char* which;
  } ends[] = {{file.first_time, "First Time", listing.first_time, "first"},
              {file.last_time, "Last Time", listing.last_time, "last"}};
  for (const auto& end : ends) {
    const std::string_view header = end.field.shown();
    const char lead = end.listing_time[0];
    const bool listing_number = (lead >= '0' && lead <= '9') || lead == '-' || lead == '.';
    if (!end.field.value.is_number() || !listing_number || header == end.listing_time) continue;
    plan.notes.add(
        "The print file's %s %.*s is not the listing's %s time %s (uneven sampling?): drawn as "
        "the listing says.",
        end.name, static_cast<int>(header.size()), header.data(), end.which, end.listing_time);
  }
}

// Values so close together that no round step parts them (near the
// smallest doubles) are drawn all the same, their axis labelled at its ends.
void note_tiny_values(Plan& plan) {
  if (plan.mode == XMode::kNothing || choose_ticks(plan.y_low, plan.y_high, 2).count >= 2) return;
  plan.notes.add(
      "The values lie too close together for round ticks (near the smallest doubles): the "
      "value axis is labelled at its ends.");
}

void note_time_gaps(const Listing& listing, Plan& plan) {
  if (plan.mode != XMode::kTime || listing.time_gaps == 0) return;
  plan.notes.add("%lld %s in time (a step over 1.5 time increments): the line breaks there.",
                 as_count(listing.time_gaps), listing.time_gaps == 1 ? "gap" : "gaps");
}

// A detail panel of half the record or more shows little that the plot
// above it does not.
bool detail_worth_showing(const Listing& listing) {
  const DetailWindow& window = listing.detail;
  return window.shown() && 2 * (window.last - window.first + 1) < listing.lines;
}

Plan plan_picture(const PrintFile& file, const Listing& listing, int columns) {
  Plan plan;
  choose_axes(listing, plan);
  note_left_out_samples(file, listing, plan);
  plan_extrema(file, columns, plan);
  if (file.header_asterisks) {
    plan.notes.add(
        "Some values of the print file's header are asterisks (too wide for "
        "their fields).");
  }
  note_header_against_listing(file, listing, plan);
  note_time_gaps(listing, plan);
  note_tiny_values(plan);
  plan.detail = plan.draw_pair && detail_worth_showing(listing);
  return plan;
}

// Font sizes follow the picture, so that a large figure shrunk to a column
// keeps legible labels: the base is a 64th of the width or a 26th of the
// height, whichever is less, and never under 11 pixels; no text is under
// 10 pixels.
struct Fonts {
  double base, title, subtitle, legend, note, tick, label, margin;
  double stroke;  // the width of a thin line, which grows with the text
};

Fonts fonts_for(const PictureSize& size) {
  const double base = std::fmax(11.0, std::fmin(size.width / 64.0, size.height / 26.0));
  const double smallest = 10.0;
  return {base,
          1.3 * base,
          std::fmax(smallest, 0.85 * base),
          std::fmax(smallest, 0.9 * base),
          std::fmax(smallest, 0.85 * base),
          base,
          base,
          std::fmax(4.0, std::round(0.6 * base)),
          std::fmax(1.0, std::round(base / 1.5) / 10)};
}

// A text the picture composes: quoted file texts, numbers and words.
struct Text {
  char bytes[8192];
  std::size_t size = 0;

  Text& add(std::string_view part) {
    size += part.copy(bytes + size, sizeof bytes - size);
    return *this;
  }
  // A number as the picture shows it: the hyphen-minus of the field texts
  // becomes the minus sign U+2212.
  Text& number(std::string_view digits) {
    for (char c : digits)
      add(c == '-' ? std::string_view("\xE2\x88\x92") : std::string_view(&c, 1));
    return *this;
  }
  Text& integer(long long value) {
    char digits[24];
    const int length = std::snprintf(digits, sizeof digits, "%lld", value);
    return number(std::string_view(digits, static_cast<std::size_t>(length)));
  }
  std::string_view view() const { return {bytes, size}; }
};

// An exponent field's text ("2.535E+00", "-1.386E-01", "1.000+100") in
// plain decimals when that needs no invented digit and no more than four
// zeros after the point ("2.535", "-0.1386"); otherwise as it is.
Text& add_plain_decimal(Text& text, std::string_view field) {
  const std::size_t point = field.find('.');
  std::size_t mark = field.find_first_of("E+-", point == std::string_view::npos ? 0 : point);
  if (point == std::string_view::npos || mark == std::string_view::npos) return text.number(field);
  if (field[mark] != 'E') {
    // A three-digit exponent has no letter in the field ("1.482-323"); the
    // picture gives it one, so that it does not read as a subtraction.
    return text.number(field.substr(0, mark)).add("E").number(field.substr(mark));
  }
  const std::string_view sign = field.substr(0, point - 1);
  std::string_view exponent_text = field.substr(field[mark] == 'E' ? mark + 1 : mark);
  const bool negative = !exponent_text.empty() && exponent_text[0] == '-';
  int exponent = 0;
  for (char c : exponent_text.substr(1)) exponent = exponent * 10 + (c - '0');
  if (negative) exponent = -exponent;
  char digits[32];
  std::size_t count = 0;
  digits[count++] = field[point - 1];
  for (char c : field.substr(point + 1, mark - point - 1)) digits[count++] = c;
  const int after = static_cast<int>(count) - 1;  // digits after the point
  if (exponent > after || exponent < -4) return text.number(field);
  char plain[48];
  std::size_t length = 0;
  if (exponent < 0) {
    plain[length++] = '0';
    plain[length++] = '.';
    for (int i = -1; i > exponent; --i) plain[length++] = '0';
    for (std::size_t i = 0; i < count; ++i) plain[length++] = digits[i];
  } else {
    for (std::size_t i = 0; i < count; ++i) {
      if (static_cast<int>(i) == exponent + 1) plain[length++] = '.';
      plain[length++] = digits[i];
    }
  }
  text.number(sign);
  return text.number(std::string_view(plain, length));
}

// The texts of the print file that the picture quotes.
struct Quoted {
  std::string_view stamp, steps, first, last, height, height_time;
};

Quoted quoted_texts(const PrintFile& file) {
  return {std::string_view(file.stamp, file.stamp_length),
          file.steps_text.shown(),
          file.first_time.shown(),
          file.last_time.shown(),
          file.max_height.shown(),
          file.time_of_max_height.shown()};
}

// "wave.txt: 300 steps, time 0.000 to 29.900" (the series, or the print
// file when the series is not known), or the title given.
void compose_title(const Quoted& q, const PictureSources& sources, const PictureTexts& texts,
                   Text& title) {
  if (texts.title != nullptr) {
    title.add(texts.title);
    return;
  }
  title.add(texts.series != nullptr ? texts.series : sources.print_file);
  title.add(": ").number(q.steps).add(" steps, time ");
  title.number(q.first).add(" to ").number(q.last);
}

void compose_height_label(const Quoted& q, Text& label) {
  label.add("max height ");
  add_plain_decimal(label, q.height).add(" at ").number(q.height_time);
}

// The legend's entries: a swatch and a text each, laid out in rows.
enum class Swatch { kLine, kDot, kMeasure, kRange };
struct LegendItem {
  Swatch swatch = Swatch::kLine;
  Text text;
  double x = 0.0, baseline = 0.0;
};

// One plot area with its axes.
struct Panel {
  double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0;
  double x_low = 0.0, x_high = 1.0, y_low = 0.0, y_high = 1.0;
  Axis x, y;
  Ticks x_ticks, y_ticks;
  bool end_label = false;  // the last time labelled at the right end
};

struct Layout {
  Fonts f;
  double width = 0.0, height = 0.0;
  double title_baseline = 0.0, subtitle_baseline = 0.0;
  static constexpr int kMaxLegend = 4;
  LegendItem legend[kMaxLegend];
  int legend_count = 0;
  double notes_top = 0.0;
  Panel overview, detail;
  double detail_caption_baseline = 0.0;
  double x_label_baseline = 0.0;
};

double swatch_width(const Fonts& f) { return 1.6 * f.legend; }

double legend_item_width(const LegendItem& item, const Fonts& f) {
  return swatch_width(f) + 0.4 * f.legend + text_width(item.text.view(), f.legend);
}

void compose_legend(const PrintFile& file, const Plan& plan, const Quoted& q, Layout& layout) {
  LegendItem* items = layout.legend;
  int& count = layout.legend_count;
  if (plan.mode != XMode::kNothing) {
    items[count].swatch = Swatch::kLine;
    items[count++]
        .text.add("series, ")
        .number(q.steps)
        .add(file.steps == 1 ? " sample" : " samples");
  }
  if (plan.mark_extrema) {
    items[count].swatch = Swatch::kDot;
    items[count++]
        .text.add(plan.reversals ? "reversals, " : "extrema, ")
        .integer(as_count(file.extremum_count));
  }
  if (plan.draw_pair) {
    items[count].swatch = Swatch::kMeasure;
    compose_height_label(q, items[count++].text);
  }
  if (plan.detail) {
    items[count].swatch = Swatch::kRange;
    items[count++].text.add("detail range");
  }
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

// The label of a tick, with the minus sign.
Text tick_text(double value, const Ticks& ticks) {
  char label[kMaxLabel];
  Text text;
  text.number(std::string_view(label, tick_label(value, ticks, label)));
  return text;
}

double widest_tick_label(const Ticks& ticks, double size) {
  double widest = 0.0;
  for (int i = 0; i < ticks.count; ++i) {
    widest = std::fmax(widest, text_width(tick_text(ticks.values[i], ticks).view(), size));
  }
  return widest;
}

// A time in fixed point with decimals decimals, as the listing writes times
// with 3; false when it is too large to show so.
bool fixed_time_text(double time, int decimals, Text& text) {
  char field[32];
  if (!(std::fabs(time) < 1e9)) return false;
  format_fixed(time, 31, decimals, field);
  std::string_view shown(field, 31);
  while (!shown.empty() && shown.front() == ' ') shown.remove_prefix(1);
  if (!shown.empty() && shown.back() == '.') shown.remove_suffix(1);
  text.number(shown);
  return true;
}

// The time at the right end of the axis with the decimals of the axis's
// tick labels; false when those would round the listed time (29.900 beside
// ticks 0 to 25) or the ticks take the exponent form.
bool end_time_text(double time, const Ticks& ticks, Text& text) {
  const int decimals = tick_decimals(ticks);
  Text listed;
  if (decimals < 0 || !fixed_time_text(time, 3, listed)) return false;
  int needed = 3;
  while (needed > 0 && listed.bytes[listed.size - 4 + static_cast<std::size_t>(needed)] == '0') {
    --needed;
  }
  return needed <= decimals && fixed_time_text(time, decimals, text);
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

// The vertical layout from the top: title, date stamp, legend, notes, the
// plot, the detail panel under it; false when the detail panel does not fit.
bool place_rows(const Quoted& q, const Plan& plan, Layout& layout) {
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
  const double top = y + 0.5 * f.tick + 0.3 * f.base;
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
  layout.overview.end_label = plan.mode == XMode::kTime && end.size > 0;
}

// The whole layout. A detail panel that leaves either plot too low is
// dropped, with a note, and the rows laid out again.
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

void open_svg(const PictureSize& size, const Fonts& f, SvgOutput& out) {
  out.text("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
  out.text("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"").integer(size.width);
  out.text("\" height=\"").integer(size.height).text("\" viewBox=\"0 0 ").integer(size.width);
  out.text(" ").integer(size.height);
  out.text("\" font-family=\"DejaVu Sans, Verdana, sans-serif\" font-size=\"");
  out.coordinate(f.tick).text("\" stroke-width=\"").coordinate(f.stroke).text("\">\n");
}

void line(SvgOutput& out, double x1, double y1, double x2, double y2, const char* id = nullptr) {
  out.text("<line ");
  if (id != nullptr) out.text("id=\"").text(id).text("\" ");
  out.text("x1=\"").coordinate(x1).text("\" y1=\"").coordinate(y1);
  out.text("\" x2=\"").coordinate(x2).text("\" y2=\"").coordinate(y2).text("\"/>\n");
}

void circle(SvgOutput& out, double x, double y, double radius) {
  out.text("<circle r=\"").coordinate(radius).text("\" cx=\"").coordinate(x).text("\" cy=\"");
  out.coordinate(y).text("\"/>\n");
}

// A <text> element at (x, y) in size pixels; anchor "start", "middle" or
// "end". The caller writes the text and closes the element.
void text_at(SvgOutput& out, double x, double y, double size, const char* anchor) {
  out.text("<text x=\"").coordinate(x).text("\" y=\"").coordinate(y);
  out.text("\" font-size=\"").coordinate(size);
  out.text("\" text-anchor=\"").text(anchor).text("\">");
}

// The text, shortened with an ellipsis to width pixels.
void write_fitted(SvgOutput& out, std::string_view text, double size, double width,
                  bool bold = false) {
  const std::size_t fits = fitting_prefix(text, size, width, bold);
  out.escaped(text.substr(0, fits));
  if (fits < text.size()) out.text(kEllipsis);
}

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

// Title, date stamp, legend and notes above the plot area.
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
  if (plan.notes.count == 0) return;
  out.text("<g id=\"notes\" fill=\"").text(kNoteColour).text("\">\n");
  for (int i = 0; i < plan.notes.count; ++i) {
    const double baseline = layout.notes_top + kLineHeight * f.note * i + kAscent * f.note;
    text_at(out, f.margin, baseline, f.note, "start");
    write_fitted(out, plan.notes.text[i], f.note, room);
    out.text("</text>\n");
  }
  out.text("</g>\n");
}

// Grid, frame, ticks and tick labels of one panel.
void draw_panel_axes(const Panel& panel, const Fonts& f, SvgOutput& out) {
  const Ticks& x_ticks = panel.x_ticks;
  const Ticks& y_ticks = panel.y_ticks;
  out.text("<g stroke=\"").text(kGridColour).text("\">\n");
  for (int i = 0; i < x_ticks.count; ++i) {
    const double px = panel.x.map(x_ticks.values[i]);
    line(out, px, panel.top, px, panel.bottom);
  }
  for (int i = 0; i < y_ticks.count; ++i) {
    const double py = panel.y.map(y_ticks.values[i]);
    line(out, panel.left, py, panel.right, py);
  }
  out.text("</g>\n<g stroke=\"").text(kAxisColour).text("\">\n");
  out.text("<rect fill=\"none\" x=\"").coordinate(panel.left).text("\" y=\"");
  out.coordinate(panel.top).text("\" width=\"").coordinate(panel.right - panel.left);
  out.text("\" height=\"").coordinate(panel.bottom - panel.top).text("\"/>\n");
  const double mark = 0.4 * f.base;
  for (int i = 0; i < x_ticks.count; ++i) {
    const double px = panel.x.map(x_ticks.values[i]);
    line(out, px, panel.bottom, px, panel.bottom + mark);
  }
  for (int i = 0; i < y_ticks.count; ++i) {
    const double py = panel.y.map(y_ticks.values[i]);
    line(out, panel.left - mark, py, panel.left, py);
  }
  out.text("</g>\n<g class=\"tick-labels\" fill=\"").text(kAxisColour).text("\">\n");
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
    // A tick label that would touch the last time's gives way to it.
    if (end_half >= 0 &&
        px + text_width(label.view(), f.tick) / 2 + 0.5 * f.tick >= panel.right - end_half) {
      continue;
    }
    text_at(out, px, x_baseline, f.tick, "middle");
    out.escaped(label.view()).text("</text>\n");
  }
  for (int i = 0; i < y_ticks.count; ++i) {
    const double py = panel.y.map(y_ticks.values[i]);
    text_at(out, panel.left - mark - 0.2 * f.base, py + 0.35 * f.tick, f.tick, "end");
    out.escaped(tick_text(y_ticks.values[i], y_ticks).view()).text("</text>\n");
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

// What a panel shows, in pixels, for placing the height label clear of it.
Marks g_marks;

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

void draw_series(const ColumnDecimator& columns, std::int64_t first, XMode mode, const Panel& panel,
                 double stroke, SvgOutput& out) {
  out.text("<path class=\"series\" fill=\"none\" stroke=\"").text(kSeriesColour);
  out.text("\" stroke-width=\"").coordinate(1.2 * stroke);
  out.text("\" stroke-linejoin=\"round\" d=\"");
  bool first_point = true;
  for_each_drawn_point(columns, first, mode, panel, [&](double x, double y, bool starts_run) {
    if (!first_point) out.text(" ");
    first_point = false;
    out.text(starts_run ? "M" : "L").coordinate(x).text(" ").coordinate(y);
    g_marks.add(x, y, !starts_run, 0.6 * stroke);
  });
  out.text("\"/>\n");

  // A point with no neighbour on its line would not show: it gets a dot.
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

void draw_extremum_dot(double x, double y, double radius, SvgOutput& out) {
  circle(out, x, y, radius);
  g_marks.add(x, y, false, radius);
}

struct PairPoints {
  double x1, y1, x2, y2;
};

// The pair's dots, guides and measure as marks that the label keeps clear of.
void mark_max_height(const PairPoints& p, double measure, const Fonts& f) {
  const double half_width = 0.75 * f.stroke;
  g_marks.add_line(p.x1, p.y1, measure, p.y1, half_width);
  g_marks.add_line(p.x2, p.y2, measure, p.y2, half_width);
  g_marks.add_line(measure, p.y1, measure, p.y2, half_width);
  g_marks.add_line(measure - 5, p.y1, measure + 5, p.y1, half_width);
  g_marks.add_line(measure - 5, p.y2, measure + 5, p.y2, half_width);
  g_marks.add(p.x1, p.y1, false, 0.3 * f.base + f.stroke);
  g_marks.add(p.x2, p.y2, false, 0.3 * f.base + f.stroke);
}

// The height label beside its measure, where it covers no mark; where no
// place near the measure is free, the legend alone names the height.
void draw_height_label(const Text& label, const PairPoints& p, double measure, const Panel& panel,
                       const Fonts& f, SvgOutput& out) {
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
  if (!place_label(request, g_marks, box)) return;
  out.text("<text stroke=\"none\" fill=\"").text(kMaxColour).text("\" x=\"");
  out.coordinate(box.left).text("\" y=\"").coordinate(box.top + kAscent * f.tick);
  out.text("\" font-size=\"").coordinate(f.tick).text("\">").escaped(label.view());
  out.text("</text>\n");
}

// The pair of maximum height: both extrema highlighted, a vertical measure
// just beside the later one between the two values, dashed guides from the
// extrema to it, and the label where it covers the fewest drawn marks.
void draw_max_height(const PairPoints& p, const Text& label, const Panel& panel, const Fonts& f,
                     const char* id, SvgOutput& out) {
  const double offset = 0.6 * f.base;
  const double measure = p.x2 + offset <= panel.right ? p.x2 + offset : p.x2 - offset;
  out.text("<g id=\"").text(id).text("\" stroke=\"").text(kMaxColour).text("\">\n");
  out.text("<g stroke-dasharray=\"").coordinate(4 * f.stroke).text(" ");
  out.coordinate(3 * f.stroke).text("\">\n");
  line(out, p.x1, p.y1, measure, p.y1);
  line(out, p.x2, p.y2, measure, p.y2);
  out.text("</g>\n<g stroke-width=\"").coordinate(1.5 * f.stroke).text("\">\n");
  line(out, measure, p.y1, measure, p.y2, "measure");
  line(out, measure - 5, p.y1, measure + 5, p.y1);
  line(out, measure - 5, p.y2, measure + 5, p.y2);
  out.text("</g>\n<g fill=\"").text(kMaxColour).text("\" stroke=\"white\">\n");
  circle(out, p.x1, p.y1, 0.3 * f.base);
  circle(out, p.x2, p.y2, 0.3 * f.base);
  out.text("</g>\n");
  mark_max_height(p, measure, f);
  draw_height_label(label, p, measure, panel, f, out);
  out.text("</g>\n");
}

ColumnDecimator g_detail_columns;

// Every sample of the detail window, spread over the panel's columns (one
// sample per column when they fit); the line breaks at gaps in time.
void spread_detail(const DetailWindow& window, int columns, double gap_limit) {
  g_detail_columns.reset(window.last - window.first + 1, columns);
  double previous_time = std::numeric_limits<double>::quiet_NaN();
  for (std::int64_t k = window.first; k <= window.last; ++k) {
    const SamplePoint& sample = window.sample(k);
    if (is_time_gap(previous_time, sample.time, gap_limit)) g_detail_columns.add_gap();
    if (std::isfinite(sample.time)) previous_time = sample.time;
    if (!std::isfinite(sample.value)) {
      g_detail_columns.add_gap();
    } else {
      g_detail_columns.add({k - window.first + 1, sample.time, sample.value});
    }
  }
}

double detail_x(const SamplePoint& sample, XMode mode) {
  return mode == XMode::kTime ? sample.time : static_cast<double>(sample.number);
}

void draw_detail(const Listing& listing, const Plan& plan, const Text& height_label,
                 const Layout& layout, SvgOutput& out) {
  const DetailWindow& window = listing.detail;
  const Panel& panel = layout.detail;
  const Fonts& f = layout.f;
  out.text("<g id=\"detail\">\n");
  Text caption;
  caption.add("Detail around the maximum height: samples ").integer(window.first);
  caption.add(" to ").integer(window.last);
  const bool every =
      static_cast<double>(window.last - window.first + 1) <= panel.right - panel.left;
  if (every) caption.add(", every sample");
  text_at(out, panel.left, layout.detail_caption_baseline, f.legend, "start");
  write_fitted(out, caption.view(), f.legend, layout.width - f.margin - panel.left);
  out.text("</text>\n");
  draw_panel_axes(panel, f, out);
  g_marks.count = 0;
  spread_detail(window, static_cast<int>(panel.right - panel.left), listing.gap_limit);
  draw_series(g_detail_columns, window.first, plan.mode, panel, f.stroke, out);
  // Extrema are marked when no closer on average than in the overview.
  std::int64_t extrema = 0;
  for (std::int64_t k = window.first; k <= window.last; ++k) extrema += window.is_extremum(k);
  const bool mark = extrema <= g_detail_columns.column_count() / kColumnsPerMarker;
  out.text("<g class=\"extrema\" fill=\"").text(kExtremumColour).text("\">\n");
  for (std::int64_t k = window.first; k <= window.last && mark; ++k) {
    const SamplePoint& sample = window.sample(k);
    const double at = detail_x(sample, plan.mode);
    if (!window.is_extremum(k) || !std::isfinite(at) || !std::isfinite(sample.value)) continue;
    draw_extremum_dot(panel.x.map(at), panel.y.map(sample.value), 0.22 * f.base, out);
  }
  out.text("</g>\n");
  const SamplePoint& from = window.sample(window.from);
  const SamplePoint& to = window.sample(window.to);
  if (std::isfinite(detail_x(from, plan.mode)) && std::isfinite(detail_x(to, plan.mode))) {
    draw_max_height({panel.x.map(detail_x(from, plan.mode)), panel.y.map(from.value),
                     panel.x.map(detail_x(to, plan.mode)), panel.y.map(to.value)},
                    height_label, panel, f, "detail-max-height", out);
  }
  out.text("</g>\n");
}

// A ring and its label (from left at baseline, width wide) as marks that
// the height label keeps clear of.
void mark_ring_and_label(double x, double y, double radius, double left, double baseline,
                         double width, const Fonts& f) {
  g_marks.add(x, y, false, radius + f.stroke);
  const double top = baseline - kAscent * f.tick, bottom = baseline + 0.25 * f.tick;
  const double middle = (top + bottom) / 2;
  g_marks.add_line(left, middle, left + width, middle, (bottom - top) / 2);
}

// The record's highest and lowest sample (the first of each), from the
// listing: a ring around each, labelled "max" and "min" beside it, towards
// the inside of the plot; on the right unless that leaves the plot or
// crosses the measure at measure_x.
void draw_global_extremes(const Listing& listing, const Plan& plan, const Panel& panel,
                          double measure_x, const Fonts& f, SvgOutput& out) {
  if (listing.valued_samples == 0) return;
  out.text("<g id=\"global-extremes\" fill=\"none\" stroke=\"").text(kGlobalColour);
  out.text("\">\n");
  const struct {
    const SamplePoint& sample;
    const char* label;
    double baseline;  // below the ring's centre, in font sizes
  } marks[] = {{listing.highest, "max", 0.9}, {listing.lowest, "min", -0.1}};
  const double radius = 0.45 * f.base;
  for (const auto& mark : marks) {
    const double at = detail_x(mark.sample, plan.mode);
    if (!std::isfinite(at)) continue;
    const double x = panel.x.map(at), y = panel.y.map(mark.sample.value);
    circle(out, x, y, radius);
    const double gap = radius + 0.2 * f.tick;
    const double right_end = x + 2 * gap + text_width(mark.label, f.tick);
    const bool right = right_end <= panel.right && !(measure_x > x - gap && measure_x < right_end);
    out.text("<g stroke=\"none\" fill=\"").text(kGlobalColour).text("\">");
    text_at(out, right ? x + gap : x - gap, y + mark.baseline * f.tick, f.tick,
            right ? "start" : "end");
    out.text(mark.label).text("</text></g>\n");
    const double label_width = text_width(mark.label, f.tick);
    mark_ring_and_label(x, y, radius, right ? x + gap : x - gap - label_width,
                        y + mark.baseline * f.tick, label_width, f);
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

}  // namespace

int plot_columns(const PictureSize& size) {
  // The plot area at its narrowest value labels: wider labels leave fewer
  // pixels, so a column never spans more than one.
  const Fonts f = fonts_for(size);
  const double left = f.margin + kLineHeight * f.label + 1.0 * f.base + 2.0 * f.tick;
  const int columns = static_cast<int>(size.width - left - f.margin - 1.8 * f.tick);
  return std::max(columns, kLeastPlotWidth);
}

void draw_picture(const PrintFile& file, const Listing& listing, const PictureSources& sources,
                  const PictureSize& size, const PictureTexts& texts, SvgOutput& out) {
  Plan plan = plan_picture(file, listing, plot_columns(size));
  if (!texts.detail) plan.detail = false;
  if (texts.hysteresis != nullptr) {
    plan.reversals = true;
    plan.notes.add(
        "Extrema: the reversals that the series moves back from by at least %s "
        "(vorna --hysteresis).",
        texts.hysteresis);
  }
  const Quoted q = quoted_texts(file);
  Layout layout;
  lay_out(file, listing, plan, q, size, layout);
  const Panel& overview = layout.overview;
  Text title, height_label;
  compose_title(q, sources, texts, title);
  compose_height_label(q, height_label);

  open_svg(size, layout.f, out);
  out.text("<title>").escaped(title.view()).text("</title>\n");
  write_description(file, listing, plan, q, sources, out);
  out.text("<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n");
  draw_headings(plan, q, title, layout, out);
  out.text("<g id=\"overview\">\n");
  if (plan.mode != XMode::kNothing) draw_panel_axes(overview, layout.f, out);
  if (plan.detail) draw_detail_range(listing, plan, overview, out);
  g_marks.count = 0;
  if (plan.mode != XMode::kNothing) {
    out.text("<g id=\"series\">\n");
    draw_series(listing.columns, 1, plan.mode, overview, layout.f.stroke, out);
    out.text("</g>\n");
  }
  if (plan.mark_extrema) {
    out.text("<g id=\"extrema\" fill=\"").text(kExtremumColour).text("\">\n");
    for (int i = 0; i < file.stored_extrema; ++i) {
      draw_extremum_dot(overview.x.map(file.extrema[i].time), overview.y.map(file.extrema[i].value),
                        0.22 * layout.f.base, out);
    }
    out.text("</g>\n");
  }
  if (plan.mode != XMode::kNothing) {
    // The measure stands a little right of the pair's later extremum.
    const double measure_x =
        plan.draw_pair ? overview.x.map(file.pair.to_time.value) + 0.6 * layout.f.base : NAN;
    draw_global_extremes(listing, plan, overview, measure_x, layout.f, out);
  }
  if (plan.draw_pair) {
    const MaxHeightPair& pair = file.pair;
    draw_max_height({overview.x.map(pair.from_time.value), overview.y.map(pair.from_value.value),
                     overview.x.map(pair.to_time.value), overview.y.map(pair.to_value.value)},
                    height_label, overview, layout.f, "max-height", out);
  }
  out.text("</g>\n");
  if (plan.detail) draw_detail(listing, plan, height_label, layout, out);
  draw_axis_labels(plan, texts, layout, out);
  out.text("</svg>\n");
}

}  // namespace vorna::plot
