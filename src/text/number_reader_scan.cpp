// The cold parts of the number scanner: the rest of a refused text, the
// leading digits of a long mantissa, and the diagnostic number of each
// reason to refuse.
//
// Worked example of a refusal: "1+5E3,7" leaves the number form at the
// letter (an exponent written with a sign, then a letter). The rest, "E3",
// keeps the value syntax (one letter, a digit since the last sign), so the
// text is refused as kLetterAfterSignExponent, 64, and token.end points at
// the comma. "1+5E3E" would meet a second letter: kSecondLetter, 59.
#include "text/number_reader_scan.h"

#include <cstddef>
#include <cstring>

namespace vorna {

namespace number_reader_detail {
namespace {

// What the value syntax needs to know of the text read so far.
struct SyntaxState {
  bool sign_open;         // a sign with no digit after it yet
  bool digit_since_sign;  // a digit since the start or the last sign
  bool any_digit;
  bool point;
  bool letter;
};

// The state after the part of a text that the number form read: the
// mantissa holds digits and at most one point; the exponent part, from
// mantissa_end to at, starts with its letter or its sign, and a sign with no
// digit after it yet is its last character.
SyntaxState state_at(const char* begin, const char* mantissa_begin, const char* mantissa_end,
                     const char* at) {
  const auto mantissa_length = static_cast<std::size_t>(mantissa_end - mantissa_begin);
  const bool point = std::memchr(mantissa_begin, '.', mantissa_length) != nullptr;
  const bool any_digit = mantissa_length > (point ? 1u : 0u);
  const bool exponent = at != mantissa_end;
  const bool sign_open = exponent ? is_sign(at[-1]) : !any_digit && mantissa_begin != begin;
  const bool letter = exponent && is_exponent_letter(*mantissa_end);
  return {sign_open, any_digit && !sign_open, any_digit, point, letter};
}

// The 64 case of the place where the number form stopped, should the text
// keep the value syntax.
NumberRejection form_rejection(const SyntaxState& state, const char* at) {
  // An exponent before any digit: .+5, +.E5 fails the syntax anyway.
  if (!state.any_digit) return NumberRejection::kNoMantissaDigit;
  // Only a point can follow an exponent's sign and keep the syntax: 1E+.5.
  if (state.sign_open) return NumberRejection::kPointInExponent;
  // A character after a complete number. A point there is a second one (59)
  // unless an exponent came before it; an exponent letter follows an
  // exponent written with a sign (after a letter it is a second one, 59).
  switch (class_of(*at)) {
    case kSign:
      return NumberRejection::kSignAfterExponent;
    case kPoint:
      return NumberRejection::kPointInExponent;
    case kLetter:
      return NumberRejection::kLetterAfterSignExponent;
    default:
      return NumberRejection::kStrayCharacter;
  }
}

}  // namespace

Refusal refuse_text(const char* begin, const char* mantissa_begin, const char* mantissa_end,
                    const char* at, const char* record_end) {
  SyntaxState state = state_at(begin, mantissa_begin, mantissa_end, at);
  const NumberRejection if_syntax_holds = form_rejection(state, at);
  NumberRejection broken = NumberRejection::kNone;
  const char* p = at;
  for (; p < record_end && class_of(*p) != kValueEnd; ++p) {
    switch (class_of(*p)) {
      case kDigit:
        state.sign_open = false;
        state.digit_since_sign = true;
        state.any_digit = true;
        continue;
      case kSign:
        if (state.sign_open) broken = NumberRejection::kSignAfterSign;
        state.sign_open = true;
        state.digit_since_sign = false;
        break;
      case kPoint:
        if (state.point) broken = NumberRejection::kSecondPoint;
        state.point = true;
        break;
      case kLetter:
        if (state.letter) {
          broken = NumberRejection::kSecondLetter;
        } else if (!state.digit_since_sign) {
          broken = NumberRejection::kLetterWithoutDigit;
        }
        state.letter = true;
        break;
      default:
        broken = NumberRejection::kStrayCharacter;
        break;
    }
    if (broken != NumberRejection::kNone) return {broken, p};
  }
  if (state.sign_open) return {NumberRejection::kSignWithoutDigit, p};
  // With a sign, the digit after the last one is already there.
  if (!state.any_digit) return {NumberRejection::kNoDigit, p};
  return {if_syntax_holds, p};
}

LeadingDigits keep_leading_digits(const char* mantissa_begin, const char* mantissa_end) {
  std::uint64_t significand = 0;
  std::int64_t exponent = 0;
  int kept = 0;
  bool after_point = false;
  bool more = false;
  for (const char* p = mantissa_begin; p < mantissa_end; ++p) {
    if (*p == '.') {
      after_point = true;
    } else if (kept == 0 && *p == '0') {
      if (after_point) --exponent;
    } else if (kept < kSignificandDigits) {
      significand = significand * 10 + digit_of(*p);
      ++kept;
      if (after_point) --exponent;
    } else {
      if (!after_point) ++exponent;
      if (*p != '0') more = true;
    }
  }
  return {significand, exponent, more};
}

}  // namespace number_reader_detail

ReadStatus status_of(NumberRejection rejection) {
  switch (rejection) {
    case NumberRejection::kNone:
      return ReadStatus::kOk;
    case NumberRejection::kStrayCharacter:
    case NumberRejection::kSignAfterSign:
    case NumberRejection::kSecondPoint:
    case NumberRejection::kSecondLetter:
    case NumberRejection::kLetterWithoutDigit:
    case NumberRejection::kSignWithoutDigit:
    case NumberRejection::kNoDigit:
      return ReadStatus::kSyntax;
    case NumberRejection::kNoMantissaDigit:
    case NumberRejection::kSignAfterExponent:
    case NumberRejection::kPointInExponent:
    case NumberRejection::kLetterAfterSignExponent:
    case NumberRejection::kOverflow:
      return ReadStatus::kConversion;
  }
  return ReadStatus::kConversion;  // not reached: every case is listed
}

NumberRejection scan_number_text(const char* begin, const char* record_end, NumberToken& token) {
  return number_reader_detail::scan_number(begin, record_end, token);
}

}  // namespace vorna
