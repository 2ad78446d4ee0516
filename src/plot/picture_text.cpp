#include "plot/picture_text.h"

#include <cmath>
#include <cstdio>

#include "text/field_format.h"

namespace vorna::plot {

Text& Text::add(std::string_view part) {
  size_ += part.copy(bytes_ + size_, room_ - size_);
  return *this;
}

Text& Text::number(std::string_view digits) {
  for (char c : digits) add(c == '-' ? std::string_view("\xE2\x88\x92") : std::string_view(&c, 1));
  return *this;
}

Text& Text::integer(long long value) {
  char digits[24];
  const int length = std::snprintf(digits, sizeof digits, "%lld", value);
  return number(std::string_view(digits, static_cast<std::size_t>(length)));
}

Text& Text::count(double value) {
  char digits[32];
  const int length = std::snprintf(digits, sizeof digits, "%.15g", value);
  return add(std::string_view(digits, static_cast<std::size_t>(length)));
}

namespace {

// The value of an exponent text ("+00", "-01", "100").
int exponent_of(std::string_view text) {
  const bool negative = !text.empty() && text[0] == '-';
  int exponent = 0;
  for (char c : text.substr(1)) exponent = exponent * 10 + (c - '0');
  return negative ? -exponent : exponent;
}

// The digits of a mantissa written with its point moved by exponent places.
std::string_view shifted_point(std::string_view digits, int exponent, char (&plain)[48]) {
  std::size_t length = 0;
  if (exponent < 0) {
    plain[length++] = '0';
    plain[length++] = '.';
    for (int i = -1; i > exponent; --i) plain[length++] = '0';
    for (char c : digits) plain[length++] = c;
  } else {
    for (std::size_t i = 0; i < digits.size(); ++i) {
      if (static_cast<int>(i) == exponent + 1) plain[length++] = '.';
      plain[length++] = digits[i];
    }
  }
  return {plain, length};
}

}  // namespace

Text& add_plain_decimal(Text& text, std::string_view field) {
  const std::size_t point = field.find('.');
  const std::size_t mark = field.find_first_of("E+-", point == std::string_view::npos ? 0 : point);
  if (point == std::string_view::npos || mark == std::string_view::npos) return text.number(field);
  if (field[mark] != 'E') {
    // A three-digit exponent has no letter in the field ("1.482-323"); the
    // picture gives it one, so that it does not read as a subtraction.
    return text.number(field.substr(0, mark)).add("E").number(field.substr(mark));
  }
  const std::string_view sign = field.substr(0, point - 1);
  const int exponent = exponent_of(field.substr(mark + 1));
  char digits[32];
  std::size_t count = 0;
  digits[count++] = field[point - 1];
  for (char c : field.substr(point + 1, mark - point - 1)) digits[count++] = c;
  const int after = static_cast<int>(count) - 1;  // digits after the point
  if (exponent > after || exponent < -4) return text.number(field);
  char plain[48];
  text.number(sign);
  return text.number(shifted_point(std::string_view(digits, count), exponent, plain));
}

Quoted quoted_texts(const PrintFile& file) {
  return {std::string_view(file.stamp, file.stamp_length),
          file.steps_text.shown(),
          file.first_time.shown(),
          file.last_time.shown(),
          file.max_height.shown(),
          file.time_of_max_height.shown()};
}

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

Text tick_text(double value, const Ticks& ticks) {
  char label[kMaxLabel];
  Text text;
  text.number(std::string_view(label, tick_label(value, ticks, label)));
  return text;
}

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

bool end_time_text(double time, const Ticks& ticks, Text& text) {
  const int decimals = tick_decimals(ticks);
  Text listed;
  if (decimals < 0 || !fixed_time_text(time, 3, listed)) return false;
  // The decimals the listed time needs: its three less its trailing zeros.
  const std::string_view shown = listed.view();
  int needed = 3;
  while (needed > 0 && shown[shown.size() - 4 + static_cast<std::size_t>(needed)] == '0') {
    --needed;
  }
  return needed <= decimals && fixed_time_text(time, decimals, text);
}

}  // namespace vorna::plot
