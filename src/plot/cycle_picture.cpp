#include "plot/cycle_picture.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "plot/field_reader.h"
#include "plot/picture_style.h"
#include "plot/picture_text.h"
#include "plot/svg_elements.h"
#include "plot/text_measure.h"
#include "plot/ticks.h"
#include "text/run_files.h"

namespace vorna::plot {
namespace {

constexpr char kKind[] = "cycle file";
// The title and the note are cut at this many bytes.
constexpr std::size_t kTextRoom = 1023;

bool starts_with(std::string_view line, std::string_view prefix) {
  return line.substr(0, prefix.size()) == prefix;
}

bool not_a_cycle_file(const char* path, const BlockReader& reader, const char* why,
                      Problem& problem) {
  problem.set("%s:%lld: not a VORNA %s (%s)", path, static_cast<long long>(reader.line_number()),
              kKind, why);
  return false;
}

// The next line; false with the problem set at the end of the file or on
// a failure.
bool next_line(const char* path, BlockReader& reader, std::string_view& line, Problem& problem) {
  const BlockReader::Status status = reader.next_line(line);
  if (status == BlockReader::Status::kLine) return true;
  if (status == BlockReader::Status::kEnd) {
    problem.set("%s:%lld: not a VORNA %s (it ends inside its header)", path,
                static_cast<long long>(reader.line_number() + 1), kKind);
    return false;
  }
  return report_read_failure(status, path, reader, kKind, problem);
}

bool read_count(std::string_view line, std::string_view label, std::int64_t& count) {
  return starts_with(line, label) && read_integer_field(line.substr(kHeaderLabelLength), count) &&
         count >= 0;
}

// The header block, from the series' name to the column heads.
bool read_header(const char* path, BlockReader& reader, CycleFile& file, Problem& problem) {
  std::string_view line;
  if (!next_line(path, reader, line, problem)) return false;
  if (!starts_with(line, kSeriesNameLabel)) {
    return not_a_cycle_file(path, reader, "expected the series' name", problem);
  }
  const std::string_view name = line.substr(kHeaderLabelLength);
  file.series[name.copy(file.series, sizeof file.series - 1)] = '\0';
  if (!next_line(path, reader, line, problem)) return false;
  if (!starts_with(line, kCycleMethodLabel)) {
    return not_a_cycle_file(path, reader, "expected the rainflow method", problem);
  }
  bool full = false, half = false;
  while (next_line(path, reader, line, problem)) {
    if (line == kCycleHeads) {
      if (full && half) return true;
      return not_a_cycle_file(path, reader, "no counts of full and half cycles", problem);
    }
    if (!starts_with(line, "#")) {
      return not_a_cycle_file(path, reader, "expected the column heads", problem);
    }
    full = full || read_count(line, kFullCyclesLabel, file.full);
    half = half || read_count(line, kHalfCyclesLabel, file.half);
    if (starts_with(line, kLargestRangeLabel)) {
      const std::string_view text = line.substr(kHeaderLabelLength);
      file.largest.text[text.copy(file.largest.text, sizeof file.largest.text - 1)] = '\0';
      file.largest.value = read_exponent_field(text, kHeaderExponent.digits);
    }
  }
  return false;
}

// One line per cycle, as many as the header counts.
bool read_cycles(const char* path, BlockReader& reader, CycleFile& file, Problem& problem) {
  const std::int64_t expected = file.full + file.half;
  file.cycles.reset(new CountedRange[static_cast<std::size_t>(expected) + 1]);
  std::int64_t lines = 0;
  std::string_view line;
  BlockReader::Status status;
  while ((status = reader.next_line(line)) == BlockReader::Status::kLine) {
    if (lines == expected) {
      return not_a_cycle_file(path, reader, "more cycles than its header counts", problem);
    }
    ++lines;
    const bool whole = line.size() == kCycleLineLength;
    const Field range =
        whole ? read_exponent_field(field_text(line, kCycleRange), kCycleRange.digits) : Field{};
    const Field count =
        whole ? read_fixed_field(field_text(line, kCycleCount), kCycleCount.digits) : Field{};
    if (!range.is_valid() || !count.is_number() || (count.value != 1.0 && count.value != 0.5)) {
      return not_a_cycle_file(path, reader, "expected a range, a mean, a count and two times",
                              problem);
    }
    if (range.is_number()) {
      file.cycles[static_cast<std::size_t>(file.count++)] = {range.value, count.value};
    } else {
      ++file.unplaceable;
    }
  }
  if (status == BlockReader::Status::kError) {
    return report_read_failure(status, path, reader, kKind, problem);
  }
  if (lines < expected) {
    problem.set("%s: %lld cycle lines, but its header counts %lld", path,
                static_cast<long long>(lines), static_cast<long long>(expected));
    return false;
  }
  return true;
}

// The plot area and its two scales: the range linear from 0, the count of
// cycles logarithmic over whole decades.
struct Frame {
  double left, top, right, bottom;
  double range_high;
  int decade_low, decade_high;  // 10^low .. 10^high cycles
  double x(double range) const { return left + range / range_high * (right - left); }
  double y(double count) const {
    return bottom - (std::log10(count) - decade_low) / (decade_high - decade_low) * (bottom - top);
  }
};

// "0.001" to "1000000", then "1E+07", "1E-04".
Text decade_label(int decade) {
  Text label;
  if (decade >= -3 && decade <= 6) {
    label.count(std::pow(10.0, decade));
  } else {
    char text[16];
    const int length = std::snprintf(text, sizeof text, "1E%+03d", decade);
    label.add(std::string_view(text, static_cast<std::size_t>(length)));
  }
  return label;
}

void draw_axes(const Frame& frame, const Ticks& ticks, const Fonts& f, SvgOutput& out) {
  out.text("<g stroke=\"").text(kGridColour).text("\">\n");
  for (int i = 0; i < ticks.count; ++i) {
    const double px = frame.x(ticks.values[i]);
    line(out, px, frame.top, px, frame.bottom);
  }
  for (int d = frame.decade_low; d < frame.decade_high; ++d) {
    for (int k = 1; k <= 9; ++k) {
      const double py = frame.y(k * std::pow(10.0, d));
      line(out, frame.left, py, frame.right, py);
    }
  }
  out.text("</g>\n<g stroke=\"").text(kAxisColour).text("\">\n");
  out.text("<rect fill=\"none\" x=\"").coordinate(frame.left).text("\" y=\"");
  out.coordinate(frame.top).text("\" width=\"").coordinate(frame.right - frame.left);
  out.text("\" height=\"").coordinate(frame.bottom - frame.top).text("\"/>\n");
  const double mark = 0.4 * f.base;
  for (int i = 0; i < ticks.count; ++i) {
    const double px = frame.x(ticks.values[i]);
    line(out, px, frame.bottom, px, frame.bottom + mark);
  }
  for (int d = frame.decade_low; d <= frame.decade_high; ++d) {
    const double py = frame.y(std::pow(10.0, d));
    line(out, frame.left - mark, py, frame.left, py);
  }
  out.text("</g>\n<g class=\"tick-labels\" fill=\"").text(kAxisColour).text("\">\n");
  for (int i = 0; i < ticks.count; ++i) {
    char label[kMaxLabel];
    const std::size_t length = tick_label(ticks.values[i], ticks, label);
    text_at(out, frame.x(ticks.values[i]), frame.bottom + mark + kAscent * f.tick, f.tick,
            "middle");
    out.escaped(std::string_view(label, length)).text("</text>\n");
  }
  for (int d = frame.decade_low; d <= frame.decade_high; ++d) {
    text_at(out, frame.left - mark - 0.2 * f.base, frame.y(std::pow(10.0, d)) + 0.35 * f.tick,
            f.tick, "end");
    out.escaped(decade_label(d).view()).text("</text>\n");
  }
  out.text("</g>\n");
}

// The exceedance curve: from the largest range down, the count of cycles
// at least as large steps up at each range. A pixel column gets one step,
// up to the highest count it reaches.
void draw_curve(const CycleFile& file, const Frame& frame, const Fonts& f, SvgOutput& out) {
  out.text("<path id=\"exceedance\" fill=\"none\" stroke=\"").text(kSeriesColour);
  out.text("\" stroke-width=\"").coordinate(2 * f.stroke).text("\" d=\"M");
  double total = 0.0;
  double column = std::round(frame.x(file.cycles[0].range) * 10) / 10;
  double pending = frame.bottom;
  out.coordinate(column).text(" ").coordinate(pending);
  for (std::int64_t i = 0; i < file.count; ++i) {
    const CountedRange& cycle = file.cycles[static_cast<std::size_t>(i)];
    total += cycle.count;
    if (i + 1 < file.count && file.cycles[static_cast<std::size_t>(i + 1)].range == cycle.range) {
      continue;
    }
    const double px = std::round(frame.x(cycle.range) * 10) / 10;
    if (px != column) {
      out.text(" V").coordinate(pending).text(" H").coordinate(px);
      column = px;
    }
    pending = frame.y(total);
  }
  out.text(" V").coordinate(pending).text(" H").coordinate(frame.left).text("\"/>\n");
}

// The count of cycles with the largest range, the least the curve shows.
double least_count(const CycleFile& file) {
  double least = 0.0;
  for (std::int64_t i = 0;
       i < file.count && file.cycles[static_cast<std::size_t>(i)].range == file.cycles[0].range;
       ++i) {
    least += file.cycles[static_cast<std::size_t>(i)].count;
  }
  return least;
}

// The title given, or "run.cyc: 1 full and 6 half cycles of run.txt".
Text compose_cycle_title(const CycleFile& file, const char* source, const PictureTexts& texts) {
  Text title(kTextRoom);
  if (texts.title != nullptr) return title.add(texts.title), title;
  title.add(source).add(": ").count(static_cast<double>(file.full)).add(" full and ");
  title.count(static_cast<double>(file.half)).add(" half cycles of ").add(file.series);
  return title;
}

Text compose_note(const CycleFile& file) {
  Text note(kTextRoom);
  if (file.count == 0) note.add("No cycles to draw.");
  if (file.unplaceable > 0) {
    note.count(static_cast<double>(file.unplaceable));
    note.add(" cycles without a finite range are left out.");
  }
  return note;
}

// The rows from the top (title, note, plot, tick labels, axis label) and
// the columns (axis label, decade labels, plot, half the last tick label).
struct CycleLayout {
  double title_baseline, note_baseline, x_label_baseline;
  Frame frame;
  Ticks ticks;
};

CycleLayout lay_out(const CycleFile& file, double total, bool with_note, const PictureSize& size,
                    const Fonts& f) {
  CycleLayout layout{};
  layout.title_baseline = f.margin + kAscent * f.title;
  double top = layout.title_baseline + (kLineHeight - kAscent) * f.title + 0.6 * f.base;
  layout.note_baseline = top + kAscent * f.note;
  if (with_note) top += kLineHeight * f.note + 0.3 * f.base;
  layout.x_label_baseline = size.height - f.margin - (kLineHeight - kAscent) * f.base;
  Frame& frame = layout.frame;
  frame.top = top + 0.5 * f.tick;  // half the top decade's label stands above it
  frame.bottom = layout.x_label_baseline - (kLineHeight + 0.4) * f.base - kLineHeight * f.tick;
  frame.range_high = file.count > 0 && file.cycles[0].range > 0 ? file.cycles[0].range : 1.0;
  frame.decade_low = file.count > 0 && least_count(file) < 1.0 ? -1 : 0;
  frame.decade_high = std::max(frame.decade_low + 1,
                               static_cast<int>(std::ceil(std::log10(std::fmax(total, 1.0)))));
  double widest = 0.0;
  for (int d = frame.decade_low; d <= frame.decade_high; ++d) {
    widest = std::fmax(widest, text_width(decade_label(d).view(), f.tick));
  }
  frame.left = f.margin + kLineHeight * f.base + 0.6 * f.base + widest;
  // Half the widest range label may reach right of the plot.
  const double width = size.width - f.margin - frame.left;
  layout.ticks =
      choose_ticks(0.0, frame.range_high, std::max(2, static_cast<int>(width / (5.0 * f.tick))));
  frame.right =
      size.width - f.margin - 0.35 * f.tick * static_cast<double>(longest_tick_label(layout.ticks));
  return layout;
}

}  // namespace

bool read_cycle_file(const char* path, BlockReader& reader, CycleFile& file, Problem& problem) {
  if (!open_input(path, reader, problem)) return false;
  const bool read =
      read_header(path, reader, file, problem) && read_cycles(path, reader, file, problem);
  reader.close();
  if (!read) return false;
  std::sort(file.cycles.get(), file.cycles.get() + file.count,
            [](const CountedRange& a, const CountedRange& b) { return a.range > b.range; });
  return true;
}

void draw_cycle_picture(const CycleFile& file, const char* source, const PictureSize& size,
                        const PictureTexts& texts, SvgOutput& out) {
  const Fonts f = fonts_for(size);
  double total = 0.0;
  for (std::int64_t i = 0; i < file.count; ++i) {
    total += file.cycles[static_cast<std::size_t>(i)].count;
  }
  const Text title = compose_cycle_title(file, source, texts);
  const Text note = compose_note(file);
  const CycleLayout layout = lay_out(file, total, note.size() > 0, size, f);
  const Frame& frame = layout.frame;

  open_svg(size, f, out);
  out.text("<title>").escaped(title.view()).text("</title>\n");
  out.text("<desc>Range exceedance of the rainflow cycles of ").escaped(file.series);
  out.text(": for each range, the cycles with at least that range (a half cycle counts 0.5), ");
  out.text("on a logarithmic scale.</desc>\n");
  out.text("<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n");
  const double room = size.width - 2 * f.margin;
  text_at(out, f.margin, layout.title_baseline, f.title, "start");
  out.text("<tspan font-weight=\"bold\">");
  write_fitted(out, title.view(), f.title, room, true);
  out.text("</tspan></text>\n");
  if (note.size() > 0) {
    out.text("<g id=\"notes\" fill=\"").text(kNoteColour).text("\">\n");
    text_at(out, f.margin, layout.note_baseline, f.note, "start");
    write_fitted(out, note.view(), f.note, room);
    out.text("</text>\n</g>\n");
  }
  draw_axes(frame, layout.ticks, f, out);
  if (file.count > 0) draw_curve(file, frame, f, out);
  const char* x_label = texts.x_label != nullptr ? texts.x_label : "Range";
  const char* y_label =
      texts.y_label != nullptr ? texts.y_label : "Cycles with at least this range";
  out.text("<g id=\"axis-labels\">\n");
  text_at(out, (frame.left + frame.right) / 2, layout.x_label_baseline, f.base, "middle");
  write_fitted(out, x_label, f.base, frame.right - frame.left);
  out.text("</text>\n<text text-anchor=\"middle\" font-size=\"").coordinate(f.base);
  out.text("\" transform=\"translate(").coordinate(f.margin + kAscent * f.base).text(" ");
  out.coordinate((frame.top + frame.bottom) / 2).text(") rotate(-90)\">");
  write_fitted(out, y_label, f.base, frame.bottom - frame.top);
  out.text("</text>\n</g>\n</svg>\n");
}

}  // namespace vorna::plot
