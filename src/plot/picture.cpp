#include "plot/picture.h"

#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string_view>

#include "plot/ticks.h"

namespace vorna::plot {
namespace {

// Layout, in pixels.
constexpr int kMarginLeft = 84;
constexpr int kMarginRight = 24;
constexpr int kMarginBottom = 50;
constexpr int kTitleBaseline = 24;
constexpr int kLegendBaseline = 46;
constexpr int kNotesTop = 60;
constexpr int kNoteStep = 16;
constexpr double kCharWidth = 6.8;    // about one character of 12px sans-serif
constexpr int kColumnsPerMarker = 8;  // extrema are marked when no closer on average
constexpr int kPixelsPerXTick = 90;
constexpr int kPixelsPerYTick = 45;

const char kSeriesColour[] = "#1f5fa8";
const char kExtremumColour[] = "#333333";
const char kMaxColour[] = "#d62728";
const char kNoteColour[] = "#8a4b00";
const char kAxisColour[] = "#555555";
const char kGridColour[] = "#e3e3e3";

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
    return pixel_low + (v * 0.5 - low * 0.5) / (high * 0.5 - low * 0.5) * (pixel_high - pixel_low);
  }
};

double clamp_finite(double v) { return std::fmin(std::fmax(v, -DBL_MAX), DBL_MAX); }

// A range of one value is widened around it, so that it lands mid-axis.
void widen_single(double& low, double& high) {
  if (low < high) return;
  const double half = low != 0.0 ? std::fabs(low) * 0.1 : 1.0;
  const double centre = low;
  low = clamp_finite(centre - half);
  high = clamp_finite(centre + half);
}

void pad(double& low, double& high, double fraction) {
  const double margin = (high * 0.5 - low * 0.5) * (2.0 * fraction);
  low = clamp_finite(low - margin);
  high = clamp_finite(high + margin);
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
  return plan;
}

// The plot area, its axes and their ticks.
struct Frame {
  double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0;
  Axis x, y;
  Ticks x_ticks, y_ticks;
};

// Time ticks, as many as fit with no two labels touching; sample numbers
// are whole.
Ticks x_ticks_for(const Plan& plan, double width) {
  const double min_step = plan.mode == XMode::kNumber ? 1.0 : 0.0;
  for (int max_count = static_cast<int>(width / kPixelsPerXTick);; --max_count) {
    const Ticks ticks = choose_ticks(plan.x_low, plan.x_high, max_count, min_step);
    if (max_count <= 2 || ticks.count < 2) return ticks;
    const double spacing = ticks.step * 0.5 / (plan.x_high * 0.5 - plan.x_low * 0.5) * width;
    if (static_cast<double>(longest_tick_label(ticks)) * kCharWidth + 12 <= spacing) {
      return ticks;
    }
  }
}

Frame frame_for(const Plan& plan, const PictureSize& size) {
  Frame frame;
  frame.top = kNotesTop + kNoteStep * plan.notes.count;
  frame.bottom = size.height - kMarginBottom;
  frame.right = size.width - kMarginRight;
  if (plan.mode != XMode::kNothing) {
    frame.y_ticks = choose_ticks(plan.y_low, plan.y_high,
                                 static_cast<int>((frame.bottom - frame.top) / kPixelsPerYTick));
  }
  // Room for the longest value label left of the axis.
  const double labels = 26 + static_cast<double>(longest_tick_label(frame.y_ticks)) * kCharWidth;
  frame.left = std::fmin(std::fmax(kMarginLeft, labels), size.width / 3.0);
  if (plan.mode != XMode::kNothing) frame.x_ticks = x_ticks_for(plan, frame.right - frame.left);
  frame.x = {plan.x_low, plan.x_high, frame.left, frame.right};
  frame.y = {plan.y_low, plan.y_high, frame.bottom, frame.top};
  return frame;
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

void write_title_text(const Quoted& q, SvgOutput& out) {
  if (!q.stamp.empty()) out.escaped(q.stamp).text(" \xC2\xB7 ");
  out.escaped(q.steps).text(" steps \xC2\xB7 time ").escaped(q.first).text(" to ").escaped(q.last);
}

void write_height_label(const Quoted& q, SvgOutput& out) {
  out.text("max height ").escaped(q.height).text(" at ").escaped(q.height_time);
}

std::size_t height_label_length(const Quoted& q) {
  return 15 + q.height.size() + q.height_time.size();
}

void write_description(const PrintFile& file, const Plan& plan, const Quoted& q,
                       const PictureSources& sources, SvgOutput& out) {
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
  out.text(".");
  for (int i = 0; i < plan.notes.count; ++i) out.text(" ").escaped(plan.notes.text[i]);
  out.text("</desc>\n");
}

void open_svg(const PictureSize& size, SvgOutput& out) {
  out.text("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
  out.text("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"").integer(size.width);
  out.text("\" height=\"").integer(size.height).text("\" viewBox=\"0 0 ").integer(size.width);
  out.text(" ").integer(size.height);
  out.text("\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"12\">\n");
}

void line(SvgOutput& out, double x1, double y1, double x2, double y2, const char* id = nullptr) {
  out.text("<line ");
  if (id != nullptr) out.text("id=\"").text(id).text("\" ");
  out.text("x1=\"").coordinate(x1).text("\" y1=\"").coordinate(y1);
  out.text("\" x2=\"").coordinate(x2).text("\" y2=\"").coordinate(y2).text("\"/>\n");
}

void circle(SvgOutput& out, double x, double y, const char* radius) {
  out.text("<circle r=\"").text(radius).text("\" cx=\"").coordinate(x).text("\" cy=\"");
  out.coordinate(y).text("\"/>\n");
}

void text_at(SvgOutput& out, double x, double y, const char* anchor) {
  out.text("<text x=\"").coordinate(x).text("\" y=\"").coordinate(y);
  out.text("\" text-anchor=\"").text(anchor).text("\">");
}

// Title, legend and notes above the plot area.
void draw_headings(const PrintFile& file, const Plan& plan, const Quoted& q, const Frame& frame,
                   SvgOutput& out) {
  out.text("<text x=\"").coordinate(frame.left).text("\" y=\"").integer(kTitleBaseline);
  out.text("\" font-size=\"15\" font-weight=\"bold\">");
  write_title_text(q, out);
  out.text("</text>\n");

  double x = frame.left;
  const double y = kLegendBaseline;
  out.text("<g id=\"legend\">\n");
  out.text("<line stroke=\"").text(kSeriesColour).text("\" stroke-width=\"2\" x1=\"");
  out.coordinate(x).text("\" y1=\"").coordinate(y - 4).text("\" x2=\"").coordinate(x + 18);
  out.text("\" y2=\"").coordinate(y - 4).text("\"/>\n");
  text_at(out, x + 24, y, "start");
  out.text("series, ").escaped(q.steps).text(" ").text(samples(file.steps)).text("</text>\n");
  x += 24 + (16 + static_cast<double>(q.steps.size())) * kCharWidth + 20;
  if (plan.mark_extrema) {
    out.text("<circle fill=\"").text(kExtremumColour).text("\" r=\"3\" cx=\"").coordinate(x + 9);
    out.text("\" cy=\"").coordinate(y - 4).text("\"/>\n");
    text_at(out, x + 24, y, "start");
    char count[24];
    const std::size_t length = static_cast<std::size_t>(
        std::snprintf(count, sizeof count, "%lld", as_count(file.extremum_count)));
    out.text("extrema, ").text(std::string_view(count, length)).text("</text>\n");
    x += 24 + static_cast<double>(9 + length) * kCharWidth + 20;
  }
  out.text("<g stroke=\"").text(kMaxColour).text("\" stroke-width=\"1.5\">\n");
  line(out, x + 9, y - 11, x + 9, y + 2);
  line(out, x + 5, y - 11, x + 13, y - 11);
  line(out, x + 5, y + 2, x + 13, y + 2);
  out.text("</g>\n");
  text_at(out, x + 24, y, "start");
  write_height_label(q, out);
  out.text("</text>\n</g>\n");

  if (plan.notes.count == 0) return;
  out.text("<g id=\"notes\" fill=\"").text(kNoteColour).text("\">\n");
  for (int i = 0; i < plan.notes.count; ++i) {
    text_at(out, frame.left, kNotesTop + 4 + kNoteStep * i, "start");
    out.escaped(plan.notes.text[i]).text("</text>\n");
  }
  out.text("</g>\n");
}

void draw_axes(const Plan& plan, const Frame& frame, const PictureSize& size, SvgOutput& out) {
  const Ticks& x_ticks = frame.x_ticks;
  const Ticks& y_ticks = frame.y_ticks;
  out.text("<g id=\"grid\" stroke=\"").text(kGridColour).text("\">\n");
  for (int i = 0; i < x_ticks.count; ++i) {
    const double px = frame.x.map(x_ticks.values[i]);
    line(out, px, frame.top, px, frame.bottom);
  }
  for (int i = 0; i < y_ticks.count; ++i) {
    const double py = frame.y.map(y_ticks.values[i]);
    line(out, frame.left, py, frame.right, py);
  }
  out.text("</g>\n<g id=\"axes\" stroke=\"").text(kAxisColour).text("\">\n");
  out.text("<rect fill=\"none\" x=\"").coordinate(frame.left).text("\" y=\"");
  out.coordinate(frame.top).text("\" width=\"").coordinate(frame.right - frame.left);
  out.text("\" height=\"").coordinate(frame.bottom - frame.top).text("\"/>\n");
  for (int i = 0; i < x_ticks.count; ++i) {
    const double px = frame.x.map(x_ticks.values[i]);
    line(out, px, frame.bottom, px, frame.bottom + 5);
  }
  for (int i = 0; i < y_ticks.count; ++i) {
    const double py = frame.y.map(y_ticks.values[i]);
    line(out, frame.left - 5, py, frame.left, py);
  }
  out.text("</g>\n<g id=\"tick-labels\" fill=\"").text(kAxisColour).text("\">\n");
  char label[kMaxLabel];
  for (int i = 0; i < x_ticks.count; ++i) {
    text_at(out, frame.x.map(x_ticks.values[i]), frame.bottom + 19, "middle");
    out.text(std::string_view(label, tick_label(x_ticks.values[i], x_ticks, label)));
    out.text("</text>\n");
  }
  for (int i = 0; i < y_ticks.count; ++i) {
    text_at(out, frame.left - 8, frame.y.map(y_ticks.values[i]) + 4, "end");
    out.text(std::string_view(label, tick_label(y_ticks.values[i], y_ticks, label)));
    out.text("</text>\n");
  }
  out.text("</g>\n<g id=\"axis-labels\" font-size=\"13\">\n");
  text_at(out, (frame.left + frame.right) / 2, size.height - 10, "middle");
  out.text(plan.mode == XMode::kNumber ? "Sample number" : "Time").text("</text>\n");
  const double middle = (frame.top + frame.bottom) / 2;
  out.text("<text text-anchor=\"middle\" transform=\"translate(18 ").coordinate(middle);
  out.text(") rotate(-90)\">Value</text>\n</g>\n");
  if (plan.mode == XMode::kNothing) {
    out.text("<text fill=\"#999999\" font-size=\"16\" x=\"")
        .coordinate((frame.left + frame.right) / 2);
    out.text("\" y=\"").coordinate(middle).text("\" text-anchor=\"middle\">no samples</text>\n");
  }
}

// Calls visit(x, y, starts_run) for every kept sample that has a place; a
// sample without one (its time unknown on a time axis) breaks the line.
template <typename Visit>
void for_each_drawn_point(const Listing& listing, const Plan& plan, const Frame& frame,
                          Visit visit) {
  bool broken = true;
  listing.columns.for_each_point([&](const SamplePoint& sample, bool starts_run) {
    const double at = plan.mode == XMode::kTime ? sample.time : static_cast<double>(sample.number);
    if (!std::isfinite(at)) {
      broken = true;
      return;
    }
    visit(frame.x.map(at), frame.y.map(sample.value), starts_run || broken);
    broken = false;
  });
}

void draw_series(const Listing& listing, const Plan& plan, const Frame& frame, SvgOutput& out) {
  if (plan.mode == XMode::kNothing) return;
  out.text("<path id=\"series\" fill=\"none\" stroke=\"").text(kSeriesColour);
  out.text("\" stroke-width=\"1.2\" stroke-linejoin=\"round\" d=\"");
  bool first = true;
  for_each_drawn_point(listing, plan, frame, [&](double x, double y, bool starts_run) {
    if (!first) out.text(" ");
    first = false;
    out.text(starts_run ? "M" : "L").coordinate(x).text(" ").coordinate(y);
  });
  out.text("\"/>\n");

  // A point with no neighbour on its line would not show: it gets a dot.
  out.text("<g id=\"lone-samples\" fill=\"").text(kSeriesColour).text("\">\n");
  bool have_previous = false;
  double previous_x = 0.0, previous_y = 0.0;
  int run_length = 0;
  const auto end_run = [&]() {
    if (have_previous && run_length == 1) circle(out, previous_x, previous_y, "2.5");
  };
  for_each_drawn_point(listing, plan, frame, [&](double x, double y, bool starts_run) {
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

void draw_extrema(const PrintFile& file, const Plan& plan, const Frame& frame, SvgOutput& out) {
  if (!plan.mark_extrema) return;
  out.text("<g id=\"extrema\" fill=\"").text(kExtremumColour).text("\">\n");
  for (int i = 0; i < file.stored_extrema; ++i) {
    circle(out, frame.x.map(file.extrema[i].time), frame.y.map(file.extrema[i].value), "3");
  }
  out.text("</g>\n");
}

// The pair of maximum height: both extrema highlighted, a vertical measure
// just beside the later one between the two values, dashed guides from the
// extrema to it, and the label.
void draw_max_height(const PrintFile& file, const Plan& plan, const Quoted& q, const Frame& frame,
                     SvgOutput& out) {
  if (!plan.draw_pair) return;
  const MaxHeightPair& pair = file.pair;
  const double x1 = frame.x.map(pair.from_time.value), y1 = frame.y.map(pair.from_value.value);
  const double x2 = frame.x.map(pair.to_time.value), y2 = frame.y.map(pair.to_value.value);
  const double measure = x2 + 12 <= frame.right ? x2 + 12 : x2 - 12;

  out.text("<g id=\"max-height\" stroke=\"").text(kMaxColour).text("\">\n");
  out.text("<g stroke-dasharray=\"4 3\">\n");
  line(out, x1, y1, measure, y1);
  line(out, x2, y2, measure, y2);
  out.text("</g>\n<g stroke-width=\"1.5\">\n");
  line(out, measure, y1, measure, y2, "measure");
  line(out, measure - 5, y1, measure + 5, y1);
  line(out, measure - 5, y2, measure + 5, y2);
  out.text("</g>\n<g fill=\"").text(kMaxColour).text("\" stroke=\"white\">\n");
  circle(out, x1, y1, "4.5");
  circle(out, x2, y2, "4.5");
  out.text("</g>\n");

  // The label goes right of the measure, or else left of the pair, so that
  // it never hides the swing between the two.
  const double width = static_cast<double>(height_label_length(q)) * kCharWidth;
  const bool on_right = measure + 8 + width <= frame.right;
  const double label_x = on_right ? measure + 8 : std::fmin(std::fmin(x1, x2), measure) - 8;
  const double label_y = (y1 + y2) / 2 + 4;
  out.text("<rect stroke=\"none\" fill=\"white\" fill-opacity=\"0.8\" x=\"");
  out.coordinate(on_right ? label_x - 3 : label_x - width - 3).text("\" y=\"");
  out.coordinate(label_y - 13).text("\" width=\"").coordinate(width + 6);
  out.text("\" height=\"17\"/>\n");
  out.text("<text stroke=\"none\" fill=\"").text(kMaxColour).text("\" x=\"").coordinate(label_x);
  out.text("\" y=\"").coordinate(label_y).text("\" text-anchor=\"");
  out.text(on_right ? "start" : "end").text("\">");
  write_height_label(q, out);
  out.text("</text>\n</g>\n");
}

}  // namespace

int plot_columns(const PictureSize& size) { return size.width - kMarginLeft - kMarginRight; }

void draw_picture(const PrintFile& file, const Listing& listing, const PictureSources& sources,
                  const PictureSize& size, SvgOutput& out) {
  const Plan plan = plan_picture(file, listing, plot_columns(size));
  const Frame frame = frame_for(plan, size);
  const Quoted q = quoted_texts(file);

  open_svg(size, out);
  out.text("<title>");
  write_title_text(q, out);
  out.text("</title>\n");
  write_description(file, plan, q, sources, out);
  out.text("<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n");
  draw_headings(file, plan, q, frame, out);
  draw_axes(plan, frame, size, out);
  draw_series(listing, plan, frame, out);
  draw_extrema(file, plan, frame, out);
  draw_max_height(file, plan, q, frame, out);
  out.text("</svg>\n");
}

}  // namespace vorna::plot
