// Reading back the fields that vorna writes: Fw.d, 1PEw.d and Iw texts,
// their overflow form (a row of asterisks) and the words NaN and Infinity.
// Only what the program writes is accepted, so a file of another kind is
// told apart at its first line.
#pragma once

#include <cstdint>
#include <string_view>

namespace vorna::plot {

enum class FieldKind {
  kNumber,      // a finite number
  kAsterisks,   // the overflow form: the value was too wide for its field
  kNotANumber,  // " NaN" and blanks
  kInfinity,    // " Infinity" or " -Infinity" and blanks
  kInvalid,     // none of these
};

struct Field {
  FieldKind kind = FieldKind::kInvalid;
  double value = 0.0;  // the number, or +-infinity for kInfinity

  bool is_number() const { return kind == FieldKind::kNumber; }
  bool is_valid() const { return kind != FieldKind::kInvalid; }
};

// Fw.d: blanks, then [-]digits.d-digits ending in the last column; the 0
// before the point may be missing. "      24.700" is 24.7.
Field read_fixed_field(std::string_view text, int decimals);

// 1PEw.d: blanks, then [-]digit.d-digits and the exponent E+dd / E-dd, or
// +ddd / -ddd without the letter. "   2.535E+00" is 2.535, "1.000+100" is
// 1e100.
Field read_exponent_field(std::string_view text, int decimals);

// Iw: blanks, then [-]digits ending in the last column.
bool read_integer_field(std::string_view text, std::int64_t& value);

// The text without the blanks at either end.
std::string_view trim_blanks(std::string_view text);

}  // namespace vorna::plot
