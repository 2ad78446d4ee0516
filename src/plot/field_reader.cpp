#include "plot/field_reader.h"

#include <cfloat>
#include <charconv>
#include <cstddef>
#include <limits>
#include <system_error>

namespace vorna::plot {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::size_t leading_blanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  return i;
}

std::size_t digits_from(std::string_view text, std::size_t i) {
  std::size_t start = i;
  while (i < text.size() && is_digit(text[i])) ++i;
  return i - start;
}

bool all_asterisks(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c != '*') return false;
  }
  return true;
}

// One blank, the word, blanks to the width: the field of NaN and Infinity.
bool read_word_field(std::string_view text, Field& field) {
  if (text.size() < 2 || text[0] != ' ' || text[1] == ' ') return false;
  std::string_view rest = text.substr(1);
  std::size_t end = rest.find(' ');
  std::string_view word = rest.substr(0, end);
  if (end != std::string_view::npos && leading_blanks(rest.substr(end)) != rest.size() - end) {
    return false;
  }
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  if (word == "NaN") {
    field = {FieldKind::kNotANumber, std::numeric_limits<double>::quiet_NaN()};
  } else if (word == "Infinity") {
    field = {FieldKind::kInfinity, kInfinity};
  } else if (word == "-Infinity") {
    field = {FieldKind::kInfinity, -kInfinity};
  } else {
    return false;
  }
  return true;
}

// The words and the overflow form, common to both real fields.
bool read_special_field(std::string_view text, Field& field) {
  if (all_asterisks(text)) {
    field = {FieldKind::kAsterisks, 0.0};
    return true;
  }
  return read_word_field(text, field);
}

// Exact conversion of a checked decimal text. A text beyond the range of a
// double (1PE12.3 rounds the largest double up to "1.798+308") takes the
// largest finite value or zero with its sign.
Field convert(const char* first, const char* last, bool exponent_positive) {
  double value = 0.0;
  const std::from_chars_result result = std::from_chars(first, last, value);
  if (result.ptr != last) return {};
  if (result.ec == std::errc::result_out_of_range) {
    value = exponent_positive ? DBL_MAX : 0.0;
    if (*first == '-') value = -value;
  } else if (result.ec != std::errc()) {
    return {};
  }
  return {FieldKind::kNumber, value};
}

// Blanks, an optional "-", whole digits, "." and exactly decimals digits:
// the number part of both real fields, from start to end.
struct Mantissa {
  std::size_t start = 0;
  std::size_t end = 0;
  std::size_t whole_digits = 0;
};

bool scan_mantissa(std::string_view text, int decimals, Mantissa& mantissa) {
  std::size_t i = leading_blanks(text);
  mantissa.start = i;
  if (i < text.size() && text[i] == '-') ++i;
  mantissa.whole_digits = digits_from(text, i);
  i += mantissa.whole_digits;
  if (i >= text.size() || text[i] != '.') return false;
  ++i;
  const std::size_t wanted = static_cast<std::size_t>(decimals);
  if (digits_from(text, i) != wanted) return false;
  mantissa.end = i + wanted;
  return true;
}

}  // namespace

Field read_fixed_field(std::string_view text, int decimals) {
  Field field;
  if (read_special_field(text, field)) return field;
  Mantissa mantissa;
  if (!scan_mantissa(text, decimals, mantissa) || mantissa.end != text.size() ||
      (mantissa.whole_digits == 0 && decimals == 0)) {
    return {};
  }
  return convert(text.data() + mantissa.start, text.data() + text.size(), true);
}

Field read_exponent_field(std::string_view text, int decimals) {
  Field field;
  if (read_special_field(text, field)) return field;
  Mantissa mantissa;
  if (!scan_mantissa(text, decimals, mantissa) || mantissa.whole_digits != 1) return {};
  std::size_t i = mantissa.end;
  std::size_t exponent_digits = 3;
  if (i < text.size() && text[i] == 'E') {
    ++i;
    exponent_digits = 2;
  }
  if (i >= text.size() || (text[i] != '+' && text[i] != '-')) return {};
  const bool exponent_positive = text[i] == '+';
  const std::size_t sign = i++;
  if (digits_from(text, i) != exponent_digits || i + exponent_digits != text.size()) return {};

  // The mantissa, an 'e', then the signed exponent: the form from_chars reads.
  char number[40];
  const std::size_t mantissa_length = mantissa.end - mantissa.start;
  const std::size_t exponent_length = text.size() - sign;
  if (mantissa_length + 1 + exponent_length > sizeof number) return {};
  text.copy(number, mantissa_length, mantissa.start);
  number[mantissa_length] = 'e';
  text.copy(number + mantissa_length + 1, exponent_length, sign);
  return convert(number, number + mantissa_length + 1 + exponent_length, exponent_positive);
}

bool read_integer_field(std::string_view text, std::int64_t& value) {
  std::size_t i = leading_blanks(text);
  const std::size_t start = i;
  if (i < text.size() && text[i] == '-') ++i;
  if (digits_from(text, i) == 0 || i + digits_from(text, i) != text.size()) return false;
  const std::from_chars_result result =
      std::from_chars(text.data() + start, text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

std::string_view trim_blanks(std::string_view text) {
  const std::size_t first = leading_blanks(text);
  std::size_t last = text.size();
  while (last > first && text[last - 1] == ' ') --last;
  return text.substr(first, last - first);
}

}  // namespace vorna::plot
