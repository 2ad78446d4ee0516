// The texts the pictures compose: quoted file texts, numbers and words, the
// title and the height's label, and the labels of ticks and times. Numbers
// take the minus sign U+2212 where the field texts have a hyphen-minus.
#pragma once

#include <cstddef>
#include <string_view>

#include "plot/picture_options.h"
#include "plot/print_file_reader.h"
#include "plot/ticks.h"

namespace vorna::plot {

// A text built in fixed storage; what does not fit in its room is cut.
class Text {
 public:
  static constexpr std::size_t kCapacity = 8192;

  Text() = default;
  // A text of at most room bytes (up to kCapacity).
  explicit Text(std::size_t room) : room_(room < kCapacity ? room : kCapacity) {}

  Text& add(std::string_view part);
  // A number as the picture shows it: the hyphen-minus of the field texts
  // becomes the minus sign U+2212.
  Text& number(std::string_view digits);
  Text& integer(long long value);
  // A count as "%.15g" writes it ("3", "0.5"), as it is.
  Text& count(double value);

  std::string_view view() const { return {bytes_, size_}; }
  std::size_t size() const { return size_; }

 private:
  char bytes_[kCapacity];
  std::size_t size_ = 0;
  std::size_t room_ = kCapacity;
};

// An exponent field's text ("2.535E+00", "-1.386E-01", "1.000+100") in
// plain decimals when that needs no invented digit and no more than four
// zeros after the point ("2.535", "-0.1386"); otherwise as it is.
Text& add_plain_decimal(Text& text, std::string_view field);

// The texts of the print file that the picture quotes.
struct Quoted {
  std::string_view stamp, steps, first, last, height, height_time;
};

Quoted quoted_texts(const PrintFile& file);

// "wave.txt: 300 steps, time 0.000 to 29.900" (the series, or the print
// file when the series is not known), or the title given.
void compose_title(const Quoted& q, const PictureSources& sources, const PictureTexts& texts,
                   Text& title);

// "max height 4.176 at 16.600".
void compose_height_label(const Quoted& q, Text& label);

// The label of a tick, with the minus sign.
Text tick_text(double value, const Ticks& ticks);

// A time in fixed point with decimals decimals, as the listing writes times
// with 3; false when it is too large to show so.
bool fixed_time_text(double time, int decimals, Text& text);

// The time at the right end of the axis with the decimals of the axis's
// tick labels; false when those would round the listed time (29.900 beside
// ticks 0 to 25) or the ticks take the exponent form.
bool end_time_text(double time, const Ticks& ticks, Text& text);

}  // namespace vorna::plot
