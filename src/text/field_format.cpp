// The field conversions with exact integer fast paths.
//
// A finite double is m x 2^e with an integer m < 2^53. Both real fields need
// an integer round_half_even(m x 2^e x 10^k): k = d for Fw.d, and k chosen so
// that d + 1 digits remain for 1PEw.d. Writing 10^k = 5^k x 2^k, the product
// m x 5^k (k <= 27: 5^k < 2^63) is exact in 128 bits, and the power of two
// is a shift whose dropped bits decide the rounding exactly; for k < 0 it is
// an exact 128-bit division by 5^-k (shifted). Whatever these bounds do not
// cover goes to std::to_chars (field_format_general.cpp).
#include "text/field_format.h"

#include <cstdint>
#include <cstring>

#include "text/field_format_detail.h"

namespace vorna {
namespace {

__extension__ typedef unsigned __int128 uint128;

using field_format_detail::overflow_field;
using field_format_detail::ScaledDigits;
using field_format_detail::word_field;

// The helpers of the hot paths are inlined into the three conversions.
#define VORNA_INLINE __attribute__((always_inline)) inline

constexpr std::uint64_t kSignBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kExponentMask = std::uint64_t{0x7ff} << 52;
constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << 52) - 1;

// Largest k with 5^k in the table (5^27 < 2^63).
constexpr int kMaxPow5 = 27;
// Largest d of the exponent fast path: 10^(d+1) must fit 64 bits.
constexpr int kMaxFastExponentDecimals = 17;

struct Pow5Table {
  std::uint64_t v[kMaxPow5 + 1];
  constexpr Pow5Table() : v{} {
    v[0] = 1;
    for (int i = 1; i <= kMaxPow5; ++i) v[i] = v[i - 1] * 5;
  }
};
constexpr Pow5Table kPow5{};

struct Pow10Table {
  std::uint64_t v[20];
  constexpr Pow10Table() : v{} {
    v[0] = 1;
    for (int i = 1; i < 20; ++i) v[i] = v[i - 1] * 10;
  }
};
constexpr Pow10Table kPow10{};

// "00", "01", ..., "99": two digits per lookup.
struct DigitPairs {
  char c[200];
  constexpr DigitPairs() : c{} {
    for (int i = 0; i < 100; ++i) {
      c[2 * i] = static_cast<char>('0' + i / 10);
      c[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
  }
};
constexpr DigitPairs kPairs{};

VORNA_INLINE std::uint64_t bits_of(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// |x| = mantissa x 2^exponent for finite nonzero bits, mantissa < 2^53.
struct Binary {
  std::uint64_t mantissa;
  int exponent;
};

VORNA_INLINE Binary decompose(std::uint64_t magnitude_bits) {
  const int biased = static_cast<int>(magnitude_bits >> 52);
  const std::uint64_t fraction = magnitude_bits & kFractionMask;
  if (biased == 0) return {fraction, -1074};
  return {fraction | (std::uint64_t{1} << 52), biased - 1075};
}

// Number of decimal digits of v; 0 for v == 0. 999 -> 3, 1000 -> 4.
VORNA_INLINE int decimal_digits(std::uint64_t v) {
  const int bits = 64 - __builtin_clzll(v | 1);
  const int approx = (bits * 1233) >> 12;  // floor(bits x log10 2), digits - 1 or digits
  return approx + (v >= kPow10.v[approx] ? 1 : 0);
}

// Writes the low `count` decimal digits of v (leading zeros included) so
// that they end just before `end`; returns their start. v keeps the digits
// above them: 12345 with count 3 writes "345" and leaves 12.
VORNA_INLINE char* put_digits(char* end, std::uint64_t& v, int count) {
  while (count >= 2) {
    const std::uint64_t q = v / 100;
    const unsigned pair = static_cast<unsigned>(v - q * 100);
    end -= 2;
    std::memcpy(end, kPairs.c + 2 * pair, 2);
    v = q;
    count -= 2;
  }
  if (count != 0) {
    const std::uint64_t q = v / 10;
    *--end = static_cast<char>('0' + (v - q * 10));
    v = q;
  }
  return end;
}

// The 8 decimal digits of v < 10^(2 x Pairs) as ASCII in one word, the
// first digit in the lowest byte (the first in memory): 1234567 ->
// "01234567". y = v x 2^48 / 10^(2 x Pairs - 2) in fixed point (the
// multiplier rounded up); its integer part is the first pair of digits, and
// each multiplication of the fraction by 100 brings out the next pair.
// Exact for every v in range (the tests go through all v < 10^8 for each
// count). Fewer pairs, a shorter chain of multiplications.
template <int Pairs>
VORNA_INLINE std::uint64_t digits_word(std::uint64_t v) {
  static_assert(Pairs >= 1 && Pairs <= 4, "one to four pairs");
  constexpr std::uint64_t kFraction = (std::uint64_t{1} << 48) - 1;
  constexpr std::uint64_t kScale[5] = {0, std::uint64_t{1} << 48, 2814749767107u, 28147497672u,
                                       281474977u};  // ceil(2^48 / 10^(2 x Pairs - 2))
  // Leading pairs not produced are "00".
  std::uint64_t word = Pairs == 4 ? 0 : 0x3030303030303030u >> (16 * Pairs);
  std::uint64_t y = v * kScale[Pairs];
  // Unrolled: at -O2 the compiler keeps the loop and its bookkeeping.
#pragma GCC unroll 4
  for (int i = 4 - Pairs; i < 4; ++i) {
    std::uint16_t pair;
    std::memcpy(&pair, kPairs.c + 2 * (y >> 48), 2);
    word |= std::uint64_t{pair} << (16 * i);
    y = (y & kFraction) * 100;
  }
  return word;
}

VORNA_INLINE std::uint64_t eight_digits(std::uint64_t v) { return digits_word<4>(v); }

// The words above and below are built with the first character in the
// lowest byte, the order in which store8 and store4 lay them out in memory.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the digit and blank words put the first character in the lowest byte");

VORNA_INLINE void store8(char* out, std::uint64_t v) { std::memcpy(out, &v, 8); }
VORNA_INLINE void store4(char* out, std::uint32_t v) { std::memcpy(out, &v, 4); }

constexpr std::uint64_t kBlanks8 = 0x2020202020202020u;

// kLowBytes.v[n]: the lowest n bytes of a little-endian word (its first n
// characters in memory), n = 0..8.
struct LowBytes {
  std::uint64_t v[9];
  constexpr LowBytes() : v{} {
    for (int n = 0; n < 8; ++n) v[n] = (std::uint64_t{1} << (8 * n)) - 1;
    v[8] = ~std::uint64_t{0};
  }
};
constexpr LowBytes kLowBytes{};

// The n leading blanks of a field; short runs without a memset call.
VORNA_INLINE void fill_blanks(char* out, int n) {
  constexpr std::uint32_t kBlanks4 = 0x20202020u;
  if (n >= 8) {
    if (n > 16) {
      std::memset(out, ' ', static_cast<std::size_t>(n));
      return;
    }
    std::memcpy(out, &kBlanks8, 8);
    std::memcpy(out + n - 8, &kBlanks8, 8);
  } else if (n >= 4) {
    std::memcpy(out, &kBlanks4, 4);
    std::memcpy(out + n - 4, &kBlanks4, 4);
  } else {
    for (int i = 0; i < n; ++i) out[i] = ' ';
  }
}

// round_half_even(p / 2^shift) for 1 <= shift <= 63, p < 2^127. The lowest
// bit of the floor joins half - 1 as the bias, so a tie rounds up only from
// an odd floor: 62.5 -> 62, 187.5 -> 188. fits tells whether the result
// needs no more than 64 bits.
VORNA_INLINE std::uint64_t round_shift(uint128 p, int shift, bool& fits) {
  const std::uint64_t low = static_cast<std::uint64_t>(p);
  const std::uint64_t high = static_cast<std::uint64_t>(p >> 64);
  const std::uint64_t bias = (std::uint64_t{1} << (shift - 1)) - 1 + ((low >> shift) & 1);
  const std::uint64_t sum = low + bias;
  const std::uint64_t carried = high + (sum < low ? 1 : 0);
  fits = (carried >> shift) == 0;
  return (carried << (64 - shift)) | (sum >> shift);
}

struct Rounded {
  std::uint64_t value;
  bool ok;  // false: outside the exact 128-bit range, or more than 64 bits
};

// round_half_even(num / den), den < 2^127.
Rounded divide_round(uint128 num, uint128 den) {
  const uint128 q = num / den;
  if (q >= UINT64_MAX) return {0, false};
  const uint128 twice_rest = (num - q * den) << 1;
  std::uint64_t r = static_cast<std::uint64_t>(q);
  if (twice_rest > den || (twice_rest == den && (r & 1) != 0)) ++r;
  return {r, true};
}

// round_half_even(m x 2^e x 10^k) exactly, every case the 128-bit
// arithmetic covers: 10^k = 5^k x 2^k with |k| <= 27.
__attribute__((noinline)) Rounded scale_round(Binary x, int k) {
  if (k >= 0) {
    if (k > kMaxPow5) return {0, false};
    const uint128 a = static_cast<uint128>(x.mantissa) * kPow5.v[k];  // < 2^116
    const int t = x.exponent + k;
    if (t >= 0) {
      if (t >= 64 || (a >> (64 - t)) != 0) return {0, false};
      return {static_cast<std::uint64_t>(a << t), true};
    }
    const int shift = -t;
    if (shift < 64) {
      bool fits;
      const std::uint64_t r = round_shift(a, shift, fits);
      return {r, fits};
    }
    if (shift >= 128) return {0, true};  // a < 2^127: below half of 2^shift
    const uint128 q = a >> shift;
    const uint128 rest = a - (q << shift);
    const uint128 half = uint128{1} << (shift - 1);
    std::uint64_t r = static_cast<std::uint64_t>(q);  // a < 2^116, q < 2^53
    if (rest > half || (rest == half && (r & 1) != 0)) ++r;
    return {r, true};
  }
  // m x 2^e / 10^j = m x 2^(e - j) / 5^j.
  const int j = -k;
  if (j > kMaxPow5) return {0, false};
  const int t = x.exponent - j;
  uint128 num = x.mantissa;
  uint128 den = kPow5.v[j];
  if (t >= 0) {
    if (t > 74) return {0, false};  // num < 2^127
    num <<= t;
  } else {
    if (-t > 63) return {0, false};  // den < 2^126
    den <<= -t;
  }
  return divide_round(num, den);
}

// The text of Fw.d: its length and whether the 0 before the point stays.
// 0.5 in F4.3 is ".500": the 0 goes only when that alone makes it fit.
struct FixedText {
  int length;  // 0 when not even that fits
  int int_digits;
  bool sign;
};

VORNA_INLINE FixedText measure_fixed(std::uint64_t scaled, bool negative, int w, int d) {
  // F12.3 of -0.0004 is "       0.000": a value that rounds to zero has no sign.
  const bool sign = negative && scaled != 0;
  const int digits = decimal_digits(scaled);
  const int int_digits = digits > d ? digits - d : 1;
  const int length = (sign ? 1 : 0) + int_digits + 1 + d;
  if (length <= w) return {length, int_digits, sign};
  if (digits > d || length - 1 > w) return {0, 0, false};
  return {length - 1, 0, sign};
}

// Fw.d digit by digit, for any text length and width.
__attribute__((noinline)) void put_fixed_text(std::uint64_t scaled, FixedText text, int w, int d,
                                              char* out) {
  char* p = put_digits(out + w, scaled, d);
  *--p = '.';
  put_digits(p, scaled, text.int_digits);
  fill_blanks(out, w - text.length);
  if (text.sign) out[w - text.length] = '-';
}

// Lays out Fw.d from scaled = round_half_even(|x| x 10^d).
VORNA_INLINE bool lay_out_fixed(std::uint64_t scaled, bool negative, int w, int d, char* out) {
  const FixedText text = measure_fixed(scaled, negative, w, d);
  if (text.length == 0) return overflow_field(w, out);
  if (text.length > 8 || w < 8) {
    put_fixed_text(scaled, text, w, d, out);
    return false;
  }
  // The whole text fits the last 8 bytes: the 8 digits of scaled, the
  // integer digits moved down one byte for the point, then blanks and the
  // sign over the leading zeros. -123.5 in F12.3: "00123500" ->
  // "0123.500" -> "-123.500".
  const std::uint64_t digits = eight_digits(scaled);
  std::uint64_t word = ((digits >> 8) & kLowBytes.v[7 - d]) |
                       (std::uint64_t{'.'} << (8 * (7 - d))) | (digits & ~kLowBytes.v[8 - d]);
  const int first = 8 - text.length;  // the first character of the text in the word
  word = (word & ~kLowBytes.v[first]) | (kBlanks8 & kLowBytes.v[first]);
  if (text.sign) {
    word = (word & ~(std::uint64_t{0xff} << (8 * first))) | (std::uint64_t{'-'} << (8 * first));
  }
  if (w <= 16) {
    store8(out, kBlanks8);  // out[0..w-8) blank; the rest is overwritten next
  } else {
    std::memset(out, ' ', static_cast<std::size_t>(w - 8));
  }
  store8(out + w - 8, word);
  return false;
}

// The exponent part as 4 characters: E+05, E-01, +100, -324.
VORNA_INLINE std::uint32_t exponent_text(int exponent) {
  const std::uint32_t sign = exponent < 0 ? '-' : '+';
  const unsigned a = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
  std::uint16_t pair;
  if (a <= 99) {
    std::memcpy(&pair, kPairs.c + 2 * a, 2);
    return 'E' | (sign << 8) | (std::uint32_t{pair} << 16);
  }
  std::memcpy(&pair, kPairs.c + 2 * (a % 100), 2);
  return sign | ((std::uint32_t{'0'} + a / 100) << 8) | (std::uint32_t{pair} << 16);
}

// 1PEw.d digit by digit, for any d and width.
__attribute__((noinline)) void put_exponent_text(ScaledDigits x, bool negative, int w, int d,
                                                 char* out) {
  const int length = (negative ? 1 : 0) + d + 6;
  store4(out + w - 4, exponent_text(x.exponent));
  std::uint64_t digits = x.digits;
  char* p = put_digits(out + w - 4, digits, d);
  *--p = '.';
  *--p = static_cast<char>('0' + digits);
  fill_blanks(out, w - length);
  if (negative) out[w - length] = '-';
}

// Lays out 1PEw.d: sign, s0, '.', s1..sd, exponent part; d + 6 characters
// and the sign. Zero is digits 0, exponent 0: "0.00000E+00".
VORNA_INLINE bool lay_out_exponent(ScaledDigits x, bool negative, int w, int d, char* out) {
  const int length = (negative ? 1 : 0) + d + 6;
  if (length > w) return overflow_field(w, out);
  if (length > 12 || w < 12) {
    put_exponent_text(x, negative, w, d, out);
    return false;
  }
  // Sign, digits and point fit out[w-12..w-5]: the d + 1 digits (d / 2 + 1
  // pairs) are the last bytes of the word, s0 moves down one byte for the
  // point, blanks and the sign go below. -1.2345 in 1PE12.4: "00012345" ->
  // "xx1.2345" -> " -1.2345", then "E+00".
  const std::uint64_t digits = d <= 3   ? digits_word<2>(x.digits)
                               : d <= 5 ? digits_word<3>(x.digits)
                                        : digits_word<4>(x.digits);
  const int first = 12 - length;  // the first character of the text in the word
  std::uint64_t word = (digits & ~kLowBytes.v[8 - d]) | (std::uint64_t{'.'} << (8 * (7 - d))) |
                       ((digits >> 8) & (std::uint64_t{0xff} << (8 * (6 - d))));
  word |= kBlanks8 & kLowBytes.v[first];
  if (negative) word |= std::uint64_t{'-'} << (8 * first);
  if (w <= 20) {
    store8(out, kBlanks8);  // out[0..w-12) blank; the rest is overwritten next
  } else {
    std::memset(out, ' ', static_cast<std::size_t>(w - 12));
  }
  store8(out + w - 12, word);
  store4(out + w - 4, exponent_text(x.exponent));
  return false;
}

// round_half_even(|x| x 10^d) of finite magnitude bits. Inline for
// m x 5^d shifted right by 1..63 bits (d = 3: 2^-14 <= |x| < 2^49).
VORNA_INLINE Rounded fixed_digits(std::uint64_t magnitude, int d) {
  if (magnitude == 0) return {0, true};
  const Binary x = decompose(magnitude);
  const int shift = -(x.exponent + d);
  if (d > kMaxPow5 || shift < 1 || shift > 63) return scale_round(x, d);
  bool fits;
  const std::uint64_t r = round_shift(static_cast<uint128>(x.mantissa) * kPow5.v[d], shift, fits);
  return {r, fits};
}

struct Significant {
  ScaledDigits digits;
  bool ok;
};

// The digits from a guess at the decimal exponent that is the true one or
// one less; the result is exact either way.
__attribute__((noinline)) Significant exponent_digits_checked(Binary x, int d, int exponent) {
  const std::uint64_t lowest = kPow10.v[d];
  const std::uint64_t limit = kPow10.v[d + 1];
  Rounded r = scale_round(x, d - exponent);
  if (!r.ok) return {{0, 0}, false};
  if (r.value >= limit) {
    // |x| >= 10^(guess+1), or the rounding carried (9.9995 -> 10.00): one more.
    ++exponent;
    r = scale_round(x, d - exponent);
    if (!r.ok) return {{0, 0}, false};
  }
  if (r.value >= limit) return {{lowest, exponent + 1}, true};  // 9.99995 -> 1.0000E+01
  return {{r.value, exponent}, true};
}

// The d + 1 significant digits and the decimal exponent of finite nonzero
// magnitude bits.
VORNA_INLINE Significant exponent_digits(std::uint64_t magnitude, int d) {
  if (d > kMaxFastExponentDecimals) return {{0, 0}, false};
  const Binary x = decompose(magnitude);
  // 2^e2 <= |x| < 2^(e2+1), so 10^guess <= |x| < 10^(guess+2) with
  // guess = floor(e2 x log10 2) (exact for |e2| <= 1650).
  const int e2 = x.exponent + 63 - __builtin_clzll(x.mantissa);
  const int guess = (e2 * 78913) >> 18;
  // Both candidates at once: digits for the exponent guess (k digits
  // scaled by 10^k) and for guess + 1 (10^(k-1), one more bit of shift).
  const int k = d - guess;
  const int shift = -(x.exponent + k);
  if (k < 1 || k > kMaxPow5 || shift < 1 || shift > 62) {
    return exponent_digits_checked(x, d, guess);
  }
  bool fits;  // the digits stay below 10^(d+2) < 2^64
  const std::uint64_t at_guess =
      round_shift(static_cast<uint128>(x.mantissa) * kPow5.v[k], shift, fits);
  const std::uint64_t above_guess =
      round_shift(static_cast<uint128>(x.mantissa) * kPow5.v[k - 1], shift + 1, fits);
  const std::uint64_t limit = kPow10.v[d + 1];
  if (at_guess < limit) return {{at_guess, guess}, true};
  // |x| >= 10^(guess+1), or the rounding carried.
  if (above_guess < limit) return {{above_guess, guess + 1}, true};
  return {{kPow10.v[d], guess + 2}, true};  // 9.99995 -> 1.0000E+01
}

}  // namespace

namespace field_format_detail {

bool fixed_fast_digits(double value, int d, std::uint64_t& scaled) {
  const Rounded r = fixed_digits(bits_of(value) & ~kSignBit, d);
  scaled = r.value;
  return r.ok;
}

bool exponent_fast_digits(double value, int d, ScaledDigits& result) {
  const Significant s = exponent_digits(bits_of(value) & ~kSignBit, d);
  result = s.digits;
  return s.ok;
}

}  // namespace field_format_detail

bool format_integer(int value, int w, int m, char* out) {
  if (w < 0) w = 0;
  if (m < 0) m = 0;
  const bool negative = value < 0;
  // -2147483648 has the ten digits 2147483648.
  const std::uint32_t magnitude =
      negative ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  const int digits = decimal_digits(magnitude) > m ? decimal_digits(magnitude) : m;
  if (digits > w - (negative ? 1 : 0)) return overflow_field(w, out);
  std::uint64_t v = magnitude;
  char* p = put_digits(out + w, v, digits);
  if (negative) *--p = '-';
  fill_blanks(out, static_cast<int>(p - out));
  return false;
}

namespace {

// The conversions proper; d is a constant where the callers below pass one,
// and the masks and limits that depend on it fold away.
VORNA_INLINE bool fixed_field(std::uint64_t bits, int w, int d, char* out) {
  const std::uint64_t magnitude = bits & ~kSignBit;
  if (magnitude >= kExponentMask) return word_field(bits, w, out);
  if (d >= w) return overflow_field(w, out);  // the shortest text, ".ddd", has d + 1
  const Rounded scaled = fixed_digits(magnitude, d);
  if (scaled.ok) return lay_out_fixed(scaled.value, (bits & kSignBit) != 0, w, d, out);
  double abs_value;
  std::memcpy(&abs_value, &magnitude, sizeof abs_value);
  return field_format_detail::fixed_by_to_chars(abs_value, (bits & kSignBit) != 0, w, d, out);
}

VORNA_INLINE bool exponent_field(std::uint64_t bits, int w, int d, char* out) {
  const std::uint64_t magnitude = bits & ~kSignBit;
  if (magnitude >= kExponentMask) return word_field(bits, w, out);
  // Zero, positive or negative: "0.000E+00", no sign.
  const bool negative = (bits & kSignBit) != 0 && magnitude != 0;
  if (d > w - 6 - (negative ? 1 : 0)) return overflow_field(w, out);
  if (magnitude == 0) return lay_out_exponent({0, 0}, false, w, d, out);
  const Significant digits = exponent_digits(magnitude, d);
  if (digits.ok) return lay_out_exponent(digits.digits, negative, w, d, out);
  double abs_value;
  std::memcpy(&abs_value, &magnitude, sizeof abs_value);
  return field_format_detail::exponent_by_to_chars(abs_value, negative, w, d, out);
}

}  // namespace

bool format_fixed(double value, int w, int d, char* out) {
  if (w < 0) w = 0;
  const std::uint64_t bits = bits_of(value);
  switch (d) {
    case 3:
      return fixed_field(bits, w, 3, out);  // F12.3, F15.3
    default:
      return fixed_field(bits, w, d < 0 ? 0 : d, out);
  }
}

bool format_exponent(double value, int w, int d, char* out) {
  if (w < 0) w = 0;
  const std::uint64_t bits = bits_of(value);
  switch (d) {
    case 3:
      return exponent_field(bits, w, 3, out);  // 1PE12.3
    case 4:
      return exponent_field(bits, w, 4, out);  // 1PE12.4
    case 5:
      return exponent_field(bits, w, 5, out);  // 1PE15.5
    default:
      return exponent_field(bits, w, d < 0 ? 0 : d, out);
  }
}

}  // namespace vorna
