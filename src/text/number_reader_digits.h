// Eight characters of a record at once: the word loads and the digit step
// that the record scanner and the number scanner share.
//
// The technique (SWAR, "SIMD within a register": one 64-bit word holds eight
// characters and each step works on all of them) is the one published by
// Daniel Lemire and co-authors for fast decimal parsing ("Number Parsing at a
// Gigabyte per Second", 2021, and its library, which credits the
// multiply-and-shift form to aqrit).
//
// Worked example, the text "12345678":
//   the word, first character in the lowest byte     0x3837363534333231
//   minus kZeros ('0' in every byte)                  0x0807060504030201
//   x 10 + (>> 8): byte i = 10 x d[i] + d[i + 1]      bytes 0, 2, 4, 6 hold
//                                                     12, 34, 56, 78
//   (bytes 0 and 4) x (100 + 10^6 x 2^32), high half  12 x 10^6 + 56 x 100
//   (bytes 2 and 6) x (1 + 10^4 x 2^32), high half    34 x 10^4 + 78
//   sum of the high halves                            12345678
// Each pair is at most 99, so no byte carries into the next; the low halves
// of the products stay below 2^32 and never reach the high half.
#pragma once

#include <cstdint>
#include <cstring>

namespace vorna {
namespace number_reader_detail {

// The words are read with the first character in the lowest byte.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the word reads take the first character as the lowest byte");

inline std::uint64_t load_eight(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

constexpr std::uint64_t kZeros = 0x3030303030303030u;
constexpr std::uint64_t kBlanks = 0x2020202020202020u;

// The top bit of each byte of the word that is no digit: a byte below '0'
// borrows into its top bit when '0' is taken away, a byte above '9' carries
// into it when 0x46 is added ('9' + 0x46 = 0x7F, the largest that does not).
// The lowest byte that is no digit is always marked (no carry or borrow
// reaches it from the digits below). "12.5" then blanks marks byte 2 first.
inline std::uint64_t non_digit_bytes(std::uint64_t word) {
  return ((word + 0x4646464646464646u) | (word - kZeros)) & 0x8080808080808080u;
}

// The number that eight digit values (0 to 9, one per byte, the first in the
// lowest byte) stand for: pairs, then groups of four, then all eight (see the
// worked example above). Fewer digits, moved to the top of the word with
// zeros coming in below, give their own value: "125" as 0x050201 << 40 gives
// 00000125.
inline std::uint64_t eight_digit_value(std::uint64_t digits) {
  constexpr std::uint64_t kMask = 0x000000FF000000FFu;
  constexpr std::uint64_t kHigh = 100 + (std::uint64_t{1000000} << 32);
  constexpr std::uint64_t kLow = 1 + (std::uint64_t{10000} << 32);
  digits = digits * 10 + (digits >> 8);
  return (((digits & kMask) * kHigh) + (((digits >> 16) & kMask) * kLow)) >> 32;
}

}  // namespace number_reader_detail
}  // namespace vorna
