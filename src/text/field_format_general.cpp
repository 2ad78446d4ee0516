// The general path of the real fields: std::to_chars with a precision (it
// rounds the exact binary value, half-way cases to even), then the field
// rules laid over its digits. Also the words and the overflow form.
#include <charconv>
#include <cstdint>
#include <cstring>

#include "text/field_format_detail.h"

namespace vorna {
namespace field_format_detail {
namespace {

constexpr std::uint64_t kSignBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kExponentMask = std::uint64_t{0x7ff} << 52;

// Decimals past the 1074th of a double are all 0 (its last bit is 2^-1074),
// and its exact value has at most 767 significant digits; further digits
// are written as zeros without asking std::to_chars.
constexpr int kMaxFixedPrecision = 1074;
constexpr int kMaxExponentPrecision = 780;

void fill(char* out, int n, char c) {
  if (n > 0) std::memset(out, c, static_cast<std::size_t>(n));
}

// floor(log2 |x|) of a finite nonzero magnitude.
int binary_exponent(double magnitude) {
  std::uint64_t bits;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int biased = static_cast<int>(bits >> 52);
  if (biased != 0) return biased - 1023;
  return -1011 - __builtin_clzll(bits);  // subnormal: 2^-1074 x fraction
}

}  // namespace

bool overflow_field(int w, char* out) {
  fill(out, w, '*');
  return true;
}

bool word_field(std::uint64_t bits, int w, char* out) {
  const char* word = "NaN";
  int length = 3;
  if ((bits & ~kSignBit) == kExponentMask) {
    const bool negative = (bits & kSignBit) != 0;
    word = negative ? "-Infinity" : "Infinity";
    length = negative ? 9 : 8;
  }
  if (length + 1 > w) return overflow_field(w, out);
  out[0] = ' ';
  std::memcpy(out + 1, word, static_cast<std::size_t>(length));
  fill(out + 1 + length, w - 1 - length, ' ');
  return false;
}

bool fixed_by_to_chars(double magnitude, bool negative, int w, int d, char* out) {
  if (d >= w) return overflow_field(w, out);  // the shortest text, ".ddd", has d + 1
  // Values of 1 and more have at least floor(e2 x log10 2) + 1 integer
  // digits and a sign when negative: 1.0E300 in F12.3 needs no digits made.
  if (magnitude >= 1.0) {
    const int e2 = binary_exponent(magnitude);
    const int least_length = (negative ? 1 : 0) + ((e2 * 78913) >> 18) + 1 + 1 + d;
    if (least_length > w) return overflow_field(w, out);
  }
  const int precision = d < kMaxFixedPrecision ? d : kMaxFixedPrecision;
  char text[1 + 309 + 1 + kMaxFixedPrecision + 8];
  const std::to_chars_result r =
      std::to_chars(text, text + sizeof text, magnitude, std::chars_format::fixed, precision);
  const char* const end = r.ptr;
  const char* point = text;
  while (point != end && *point != '.') ++point;
  const int int_digits = static_cast<int>(point - text);
  const char* const decimals = point == end ? end : point + 1;

  bool zero = true;
  for (const char* c = text; c != end; ++c) {
    if (*c >= '1' && *c <= '9') zero = false;
  }
  // F12.3 of -0.0004 is "       0.000": a value that rounds to zero has no sign.
  const bool sign = negative && !zero;
  const bool int_part_zero = int_digits == 1 && text[0] == '0';
  int kept_int_digits = int_digits;
  int length = (sign ? 1 : 0) + int_digits + 1 + d;
  if (length > w) {
    // 0.5 in F4.3 is ".500": the 0 goes only when that alone makes it fit.
    if (!int_part_zero || length - 1 > w) return overflow_field(w, out);
    kept_int_digits = 0;
    --length;
  }
  char* p = out + w - (d - precision);
  fill(p, d - precision, '0');
  p -= precision;
  std::memcpy(p, decimals, static_cast<std::size_t>(precision));
  *--p = '.';
  p -= kept_int_digits;
  std::memcpy(p, text, static_cast<std::size_t>(kept_int_digits));
  if (sign) *--p = '-';
  fill(out, static_cast<int>(p - out), ' ');
  return false;
}

bool exponent_by_to_chars(double magnitude, bool negative, int w, int d, char* out) {
  if (d > w - 6 - (negative ? 1 : 0)) return overflow_field(w, out);
  const int precision = d < kMaxExponentPrecision ? d : kMaxExponentPrecision;
  // "1.2345e+05", "5e-324" for precision 0.
  char text[1 + 1 + kMaxExponentPrecision + 8];
  const std::to_chars_result r =
      std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, precision);
  const char* e = r.ptr;
  while (*--e != 'e') {
  }
  int exponent = 0;
  for (const char* c = e + 2; c != r.ptr; ++c) exponent = exponent * 10 + (*c - '0');
  if (e[1] == '-') exponent = -exponent;
  const unsigned a = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);

  char* p = out + w - 4;
  // E+05 for |e| <= 99; +100 and -324 without the letter.
  if (a <= 99) {
    p[0] = 'E';
    p[1] = exponent < 0 ? '-' : '+';
    p[2] = static_cast<char>('0' + a / 10);
    p[3] = static_cast<char>('0' + a % 10);
  } else {
    p[0] = exponent < 0 ? '-' : '+';
    p[1] = static_cast<char>('0' + a / 100);
    p[2] = static_cast<char>('0' + a / 10 % 10);
    p[3] = static_cast<char>('0' + a % 10);
  }
  p -= d - precision;
  fill(p, d - precision, '0');
  p -= precision;
  std::memcpy(p, text + 2, static_cast<std::size_t>(precision));
  *--p = '.';
  *--p = text[0];
  if (negative) *--p = '-';
  fill(out, static_cast<int>(p - out), ' ');
  return false;
}

namespace {

// A value as the fields take it apart: its bits, its sign, its magnitude,
// and whether it is a number at all (not NaN or an infinity).
struct SignedValue {
  std::uint64_t bits;
  bool negative;
  bool finite;
  double magnitude;
};

SignedValue split_sign(double value) {
  SignedValue split;
  std::memcpy(&split.bits, &value, sizeof split.bits);
  const std::uint64_t magnitude_bits = split.bits & ~kSignBit;
  split.negative = (split.bits & kSignBit) != 0;
  split.finite = magnitude_bits < kExponentMask;
  std::memcpy(&split.magnitude, &magnitude_bits, sizeof split.magnitude);
  return split;
}

// A negative width or count of digits counts as 0.
void clamp_field(int& w, int& d) {
  if (w < 0) w = 0;
  if (d < 0) d = 0;
}

// Zero, positive or negative, as an exponent field: "0.000E+00", no sign.
bool zero_exponent_field(int w, int d, char* out) {
  if (d > w - 6) return overflow_field(w, out);
  char* p = out + w - 4;
  std::memcpy(p, "E+00", 4);
  p -= d;
  fill(p, d, '0');
  *--p = '.';
  *--p = '0';
  fill(out, static_cast<int>(p - out), ' ');
  return false;
}

}  // namespace

bool format_fixed_general(double value, int w, int d, char* out) {
  clamp_field(w, d);
  const SignedValue split = split_sign(value);
  if (!split.finite) return word_field(split.bits, w, out);
  return fixed_by_to_chars(split.magnitude, split.negative, w, d, out);
}

bool format_exponent_general(double value, int w, int d, char* out) {
  clamp_field(w, d);
  const SignedValue split = split_sign(value);
  if (!split.finite) return word_field(split.bits, w, out);
  if (split.magnitude == 0.0) return zero_exponent_field(w, d, out);
  return exponent_by_to_chars(split.magnitude, split.negative, w, d, out);
}

}  // namespace field_format_detail
}  // namespace vorna
