// Pieces of the field conversions shared by the integer fast paths
// (field_format.cpp) and the general std::to_chars path
// (field_format_general.cpp). Private to the field conversions and their
// tests.
#pragma once

#include <cstdint>

namespace vorna {
namespace field_format_detail {

// The overflow form: w asterisks. Returns true, the overflow result.
bool overflow_field(int w, char* out);

// The field of a not-a-number or an infinity (bits: exponent all ones): one
// blank, the word ("NaN", "Infinity", "-Infinity"), blanks to the width. In
// a 12-character field -Infinity is " -Infinity  ". A width too narrow for
// the blank and the word takes the overflow form.
bool word_field(std::uint64_t bits, int w, char* out);

// Fw.d of the finite value (negative ? -magnitude : magnitude) through
// std::to_chars. Any d >= 0 and w >= 0.
bool fixed_by_to_chars(double magnitude, bool negative, int w, int d, char* out);

// 1PEw.d of the finite, nonzero value (negative ? -magnitude : magnitude)
// through std::to_chars. Any d >= 0 and w >= 0.
bool exponent_by_to_chars(double magnitude, bool negative, int w, int d, char* out);

// The whole conversions with the general path alone (words and zero as in
// the public functions, every finite value through std::to_chars): the
// reference that the fast paths are tested against.
bool format_fixed_general(double value, int w, int d, char* out);
bool format_exponent_general(double value, int w, int d, char* out);

// The parts of an exponent field of a nonzero value: digits holds the d + 1
// significant digits (10^d <= digits < 10^(d+1)), exponent is e of
// s0.s1...sd x 10^e.
struct ScaledDigits {
  std::uint64_t digits;
  int exponent;
};

// The fixed-point fast path: round_half_even(|value| x 10^d) for a finite
// value, when the integer arithmetic covers it. Returns false when it does
// not (then the general path decides).
bool fixed_fast_digits(double value, int d, std::uint64_t& scaled);

// The exponent fast path for a finite nonzero value with d + 1 significant
// digits. Returns false when the integer arithmetic does not cover it.
bool exponent_fast_digits(double value, int d, ScaledDigits& result);

}  // namespace field_format_detail
}  // namespace vorna
