// The number reader's vocabulary, shared by its stages: the outcome of a
// read, why a value text is refused, and a value text that passed the scan.
// It includes none of the stages, so that each of them and the reader built
// on them can include it.
#pragma once

#include <cstdint>

namespace vorna {

// Outcome of a scan; the failures carry their diagnostic numbers.
enum class ReadStatus : int {
  kOk = 0,
  kEndOfRecord = 24,  // the field ended before every target had its value
  kSyntax = 59,       // a value whose characters break the value syntax
  kConversion = 64,   // a value that passes the syntax but cannot be converted
};

// Why a numeric value text is refused: one case per rule. The cases up to
// kNoDigit break the value syntax (59); the others pass it but cannot be
// converted (64).
enum class NumberRejection : unsigned char {
  kNone,
  kStrayCharacter,      // not a digit, sign, point or exponent letter: 2.5abc, 1\r
  kSignAfterSign,       // a sign while the last sign has no digit after it: --5, 1E+-5
  kSecondPoint,         // a second decimal point: 1.5.5, 1.5E3.
  kSecondLetter,        // a second exponent letter: 1E5E5
  kLetterWithoutDigit,  // an exponent letter with no digit since the start or last sign: E5, 1+E5
  kSignWithoutDigit,    // the text ends with no digit after its last sign: 5+, 1E+, +
  kNoDigit,             // a text without a sign holds no digit: a lone point, an empty text
  kNoMantissaDigit,     // the exponent comes before any digit of the value: .+5
  kSignAfterExponent,   // a sign after the exponent's digits: 1+5+5, 1E5+3
  kPointInExponent,     // a point in the exponent: 1E5.5, 1+.5
  kLetterAfterSignExponent,  // an exponent letter after an exponent written with a sign: 1+5E3
  kOverflow,                 // the magnitude rounds beyond the largest finite real: 1E309
};

ReadStatus status_of(NumberRejection rejection);

// A numeric value text that passed the scan: value = (significand + rest) x
// 10^exponent, where rest is in [0, 1) and nonzero exactly when more_digits.
// The significand holds the leading significant digits, at most 19, trailing
// zeros included, so its decimal length is their count ("0.0250" gives 250
// and -4). The exponent is capped far beyond any real's range.
struct NumberToken {
  std::uint64_t significand = 0;
  std::int64_t exponent = 0;
  bool more_digits = false;  // nonzero digits beyond the significand's
  bool negative = false;
  const char* mantissa_begin = nullptr;  // the digits and point, after a sign
  const char* mantissa_end = nullptr;
  const char* end = nullptr;  // the character that ended the text
};

}  // namespace vorna
