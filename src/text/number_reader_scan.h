// The number scanner, the middle stage of the number reader: one numeric
// value text into a NumberToken, or the named reason it is refused.
//
// Worked example: "-12.50E+3" is the sign, the mantissa "12.50" (digits 1250,
// two of them after the point) and the exponent +3, so the token is
// significand 1250, exponent 3 - 2 = 1, negative. A text that leaves the
// form [sign] digits [. digits] [letter [sign] digits | sign digits] is
// refused: "1E5.5" leaves it at the point, and the rest of the text keeps the
// value syntax, so it is refused as a point in the exponent (64); "1.5.5"
// leaves it at the second point, which breaks the syntax itself (59).
//
// The scan is inlined into the record scanner (number_reader.cpp); the cold
// parts are in number_reader_scan.cpp.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "text/number_reader_digits.h"
#include "text/number_token.h"

namespace vorna {

// Scans the numeric value text that starts at begin and runs to the next
// blank, tab, comma, slash, closing parenthesis or asterisk, or to
// record_end. On kNone the token describes it; on a 64 case token.end is
// still the end of the text.
NumberRejection scan_number_text(const char* begin, const char* record_end, NumberToken& token);

namespace number_reader_detail {

// How a character takes part in a numeric value text.
enum CharClass : unsigned char {
  kOther,     // breaks the value syntax
  kDigit,     // 0 to 9
  kSign,      // + or -
  kPoint,     // the decimal point
  kLetter,    // an exponent letter: D, E or Q in either case
  kValueEnd,  // blank, tab, comma, slash, closing parenthesis or asterisk
};

struct CharClassTable {
  CharClass of[256];
  constexpr CharClassTable() : of() {
    for (int c = '0'; c <= '9'; ++c) of[c] = kDigit;
    of[static_cast<unsigned char>('+')] = kSign;
    of[static_cast<unsigned char>('-')] = kSign;
    of[static_cast<unsigned char>('.')] = kPoint;
    for (char c : {'D', 'E', 'Q', 'd', 'e', 'q'}) of[static_cast<unsigned char>(c)] = kLetter;
    for (char c : {' ', '\t', ',', '/', ')', '*'}) of[static_cast<unsigned char>(c)] = kValueEnd;
  }
};
constexpr CharClassTable kCharClass;

inline CharClass class_of(char c) { return kCharClass.of[static_cast<unsigned char>(c)]; }
inline bool is_blank(char c) { return c == ' ' || c == '\t'; }
inline std::uint64_t digit_of(char c) { return static_cast<unsigned char>(c) - std::uint64_t{'0'}; }
inline bool is_digit(char c) { return digit_of(c) < 10; }
inline bool is_sign(char c) { return c == '+' || c == '-'; }
inline bool is_exponent_letter(char c) { return class_of(c) == kLetter; }

// A 64-bit integer holds any 19 decimal digits.
constexpr int kSignificandDigits = 19;
// Exponent digits stop counting here: far beyond any real's range, and far
// from overflowing when the mantissa's own shift is added.
constexpr std::int64_t kExponentCap = 1000000000000000;  // 10^15

// A refused text: the reason, and the character that ended the check.
struct Refusal {
  NumberRejection rejection;
  const char* end;
};

// A text that left the number form at the character at: its sign, if any,
// from begin to mantissa_begin, its mantissa up to mantissa_end, and from
// there to at as much of an exponent as it had. The number form's own
// reading of where it stopped gives the 64 case; the rest of the text is
// then checked against the value syntax, and the first character that
// breaks it refuses the text as that 59 case instead. Everything before at
// was in the number form, which always keeps the syntax.
Refusal refuse_text(const char* begin, const char* mantissa_begin, const char* mantissa_end,
                    const char* at, const char* record_end);

// The same, recorded in the token. The token never leaves the inlined scan,
// so that its fields stay in registers.
inline NumberRejection refuse(const char* begin, const char* mantissa_begin,
                              const char* mantissa_end, const char* at, const char* record_end,
                              NumberToken& token) {
  const Refusal refusal = refuse_text(begin, mantissa_begin, mantissa_end, at, record_end);
  token.end = refusal.end;
  return refusal.rejection;
}

constexpr std::uint64_t kPowersOfTen[9] = {1,      10,      100,      1000,     10000,
                                           100000, 1000000, 10000000, 100000000};

// A run of digits from p on, appended to value (modulo 2^64 past 19
// digits); returns the end of the run. One by one: best for the short runs
// before a point.
inline const char* read_digits(const char* p, const char* end, std::uint64_t& value) {
  while (p < end && is_digit(*p)) {
    value = value * 10 + digit_of(*p);
    ++p;
  }
  return p;
}

// The same for the longer runs after a point: eight characters are looked
// at in one step while the record holds them; the digits among them are
// moved to the top of the word, zeros coming in below, and converted at once.
inline const char* read_many_digits(const char* p, const char* end, std::uint64_t& value) {
  while (end - p >= 8) {
    const std::uint64_t word = load_eight(p);
    const std::uint64_t others = non_digit_bytes(word);
    if (others == 0) {
      value = value * kPowersOfTen[8] + eight_digit_value(word - kZeros);
      p += 8;
      continue;
    }
    const int count = __builtin_ctzll(others) / 8;
    if (count == 0) return p;
    const std::uint64_t digits = (word - kZeros) << (8 * (8 - count));
    value = value * kPowersOfTen[count] + eight_digit_value(digits);
    return p + count;
  }
  return read_digits(p, end, value);
}

// Exponent digits from p on, capped; returns the end of the run.
inline const char* read_exponent_digits(const char* p, const char* end, std::int64_t& value) {
  while (p < end && is_digit(*p)) {
    if (value < kExponentCap) value = value * 10 + static_cast<std::int64_t>(digit_of(*p));
    ++p;
  }
  return p;
}

// The first 19 significant digits of a longer mantissa, the exponent of the
// last of them, and whether a nonzero digit follows.
struct LeadingDigits {
  std::uint64_t significand;
  std::int64_t exponent;
  bool more;
};
LeadingDigits keep_leading_digits(const char* mantissa_begin, const char* mantissa_end);

// Whether p is past the numeric value text: at the record end or on a value
// end character.
inline bool at_text_end(const char* p, const char* record_end) {
  return p == record_end || class_of(*p) == kValueEnd;
}

// The number form, with at least one mantissa digit, read in one pass. The
// three places where a text can leave the form hand it to refuse() with the
// positions the scan has reached.
__attribute__((always_inline)) inline NumberRejection scan_number(const char* begin,
                                                                  const char* record_end,
                                                                  NumberToken& token) {
  const char* p = begin;
  bool negative = false;
  if (p < record_end && is_sign(*p)) {
    negative = *p == '-';
    ++p;
  }
  const char* const mantissa_begin = p;
  std::uint64_t significand = 0;
  p = read_digits(p, record_end, significand);
  std::int64_t digits = p - mantissa_begin;
  std::int64_t fraction_digits = 0;
  if (p < record_end && *p == '.') {
    const char* fraction = p + 1;
    p = read_many_digits(fraction, record_end, significand);
    fraction_digits = p - fraction;
    digits += fraction_digits;
  }
  const char* const mantissa_end = p;
  if (digits == 0) return refuse(begin, mantissa_begin, mantissa_end, p, record_end, token);

  std::int64_t exponent = 0;
  if (!at_text_end(p, record_end)) {
    if (is_exponent_letter(*p) || is_sign(*p)) {
      if (!is_sign(*p)) ++p;  // the letter; 1E alone is an exponent of 0
      bool negative_exponent = false;
      if (p < record_end && is_sign(*p)) {
        negative_exponent = *p == '-';
        ++p;
        if (p == record_end || !is_digit(*p)) {
          return refuse(begin, mantissa_begin, mantissa_end, p, record_end, token);
        }
      }
      p = read_exponent_digits(p, record_end, exponent);
      if (negative_exponent) exponent = -exponent;
    }
    if (!at_text_end(p, record_end)) {
      return refuse(begin, mantissa_begin, mantissa_end, p, record_end, token);
    }
  }

  token.negative = negative;
  token.mantissa_begin = mantissa_begin;
  token.mantissa_end = mantissa_end;
  token.end = p;
  if (digits > kSignificandDigits) {
    const LeadingDigits leading = keep_leading_digits(mantissa_begin, mantissa_end);
    token.significand = leading.significand;
    token.exponent = leading.exponent;
    token.more_digits = leading.more;
  } else {
    token.significand = significand;
    token.exponent = -fraction_digits;
    token.more_digits = false;
  }
  token.exponent += exponent;
  return NumberRejection::kNone;
}

}  // namespace number_reader_detail
}  // namespace vorna
