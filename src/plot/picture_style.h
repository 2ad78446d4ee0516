// The look that both pictures share: their size, font sizes that follow
// it, the line metrics of the text, and the colours.
#pragma once

namespace vorna::plot {

struct PictureSize {
  static constexpr int kMinWidth = 300;
  static constexpr int kMaxWidth = 10000;
  static constexpr int kMinHeight = 300;
  static constexpr int kMaxHeight = 10000;
  int width = 1200;
  int height = 500;
};

// Line metrics, as fractions of the font size.
constexpr double kAscent = 0.93;      // above the baseline
constexpr double kLineHeight = 1.25;  // ascent, descent and a little air

inline constexpr char kSeriesColour[] = "#1f5fa8";  // the series, the exceedance curve
inline constexpr char kExtremumColour[] = "#333333";
inline constexpr char kMaxColour[] = "#d62728";
inline constexpr char kNoteColour[] = "#8a4b00";
inline constexpr char kAxisColour[] = "#555555";
inline constexpr char kGridColour[] = "#e3e3e3";
inline constexpr char kDetailColour[] = "#f0a830";
inline constexpr char kGlobalColour[] = "#2a9d4b";  // the record's highest and lowest sample

// Font sizes follow the picture, so that a large figure shrunk to a column
// keeps legible labels: the base is a 64th of the width or a 26th of the
// height, whichever is less, and never under 11 pixels; no text is under
// 10 pixels.
struct Fonts {
  double base, title, subtitle, legend, note, tick, label, margin;
  double stroke;  // the width of a thin line, which grows with the text
};

Fonts fonts_for(const PictureSize& size);

}  // namespace vorna::plot
