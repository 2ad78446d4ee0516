// The converter's general path: the canonical text of a token that the exact
// one-operation path does not cover.
//
// Worked example: "1.000000000000000000001" has more significant digits than
// the significand keeps, so the mantissa's digits are copied, leading zeros
// and the point left out, into "1000000000000000000001e-21"; std::from_chars
// rounds that text once, as the exact decimal value would round.
#include "text/number_reader_convert.h"

#include <charconv>
#include <system_error>

namespace vorna {
namespace number_reader_detail {
namespace {

// Most significant digits written into the canonical text: enough for every
// decimal text to round as its exact value would (no half-way point between
// two reals has more than 768 significant digits); a nonzero rest after them
// is written as one more digit 1.
constexpr int kKeptDigits = 800;
// Sign, the kept digits and the digit for the rest, 'e', the exponent.
constexpr int kCanonicalSize = 1 + kKeptDigits + 1 + 1 + 20;

int decimal_length(std::uint64_t value) {
  int length = 0;
  do {
    ++length;
    value /= 10;
  } while (value != 0);
  return length;
}

// Writes the mantissa's significant digits, at most kKeptDigits of them and
// then a 1 if a nonzero digit was left out; count receives how many.
char* write_significant_digits(const NumberToken& token, char* out, int& count) {
  count = 0;
  bool nonzero_rest = false;
  for (const char* p = token.mantissa_begin; p < token.mantissa_end; ++p) {
    if (*p == '.' || (count == 0 && *p == '0')) continue;
    if (count < kKeptDigits) {
      *out++ = *p;
      ++count;
    } else if (*p != '0') {
      nonzero_rest = true;
    }
  }
  if (nonzero_rest) {
    *out++ = '1';
    ++count;
  }
  return out;
}

}  // namespace

// Out of range are only the two ends, told apart by the magnitude: beyond
// the largest finite real (64), or below half the smallest subnormal (zero
// with the value's sign).
NumberRejection convert_canonical(const NumberToken& token, double& result) {
  const double zero = token.negative ? -0.0 : 0.0;
  if (token.significand == 0) {
    result = zero;
    return NumberRejection::kNone;
  }
  // The value lies in [10^(magnitude-1), 10^magnitude).
  const std::int64_t magnitude = token.exponent + decimal_length(token.significand);
  if (magnitude > 309) return NumberRejection::kOverflow;
  if (magnitude < -324) {
    result = zero;
    return NumberRejection::kNone;
  }
  // The sizes above leave room for every part; the spare byte only keeps
  // the 'e' inside the array in the compiler's eyes, should a to_chars fail.
  char canonical[kCanonicalSize + 1];
  char* const limit = canonical + kCanonicalSize;
  char* out = canonical;
  if (token.negative) *out++ = '-';
  std::int64_t exponent = token.exponent;
  if (token.more_digits) {
    int count = 0;
    out = write_significant_digits(token, out, count);
    exponent = magnitude - count;
  } else {
    out = std::to_chars(out, limit, token.significand).ptr;
  }
  *out++ = 'e';
  out = std::to_chars(out, limit, exponent).ptr;
  double value = 0.0;
  if (std::from_chars(canonical, out, value).ec == std::errc::result_out_of_range) {
    if (magnitude > 0) return NumberRejection::kOverflow;
    value = zero;
  }
  result = value;
  return NumberRejection::kNone;
}

}  // namespace number_reader_detail

NumberRejection convert_number(const NumberToken& token, double& result) {
  return number_reader_detail::convert(token, result);
}

}  // namespace vorna
