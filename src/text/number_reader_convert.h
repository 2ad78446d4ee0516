// The converter, the last stage of the number reader: a NumberToken into
// the nearest 8-byte real.
//
// Worked example: the token of "-12.50E+3" (significand 1250, exponent 1,
// negative) takes the exact path: 1250 and 10^1 are both exact reals, so the
// one multiplication rounds once, correctly, and gives -12500. The token of
// "0.12345678901234567891" (twenty significant digits) does not: its digits
// go into the canonical text "12345678901234567891e-20", which
// std::from_chars converts.
//
// The exact path is inlined into the record scanner (number_reader.cpp); the
// canonical text is written in number_reader_convert.cpp.
#pragma once

#include <cstdint>

#include "text/number_token.h"

namespace vorna {

// The 8-byte real nearest to the token's value; a value too small becomes a
// subnormal or zero with its sign. kOverflow leaves result as it was.
NumberRejection convert_number(const NumberToken& token, double& result);

namespace number_reader_detail {

// Every integer up to 2^53 is exact in a double, and so is 10^k for k <= 22:
// the one multiplication or division of two exact operands is then rounded
// once, correctly, to the nearest real.
constexpr std::uint64_t kLargestExactInteger = std::uint64_t{1} << 53;
constexpr int kLargestExactPower = 22;
constexpr double kExactPowersOfTen[kLargestExactPower + 1] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Any token, through a canonical text [-]digits e[-]digits and
// std::from_chars.
NumberRejection convert_canonical(const NumberToken& token, double& result);

__attribute__((always_inline)) inline NumberRejection convert(const NumberToken& token,
                                                              double& result) {
  if (!token.more_digits && token.significand <= kLargestExactInteger &&
      token.exponent >= -kLargestExactPower && token.exponent <= kLargestExactPower) {
    double value = static_cast<double>(token.significand);
    if (token.exponent < 0) {
      value /= kExactPowersOfTen[-token.exponent];
    } else {
      value *= kExactPowersOfTen[token.exponent];
    }
    result = token.negative ? -value : value;
    return NumberRejection::kNone;
  }
  // A copy goes out, so that the inlined scan's token never has its address
  // taken and stays in registers on the exact path.
  const NumberToken copy = token;
  return convert_canonical(copy, result);
}

}  // namespace number_reader_detail
}  // namespace vorna
