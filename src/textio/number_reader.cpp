#include "textio/number_reader.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "textio/diagnostics.h"
#include "textio/stop.h"
#include "textio/units.h"

namespace vorna {
namespace {

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
inline bool is_truth_letter(char c) { return c == 'T' || c == 't' || c == 'F' || c == 'f'; }
inline bool is_exponent_letter(char c) { return class_of(c) == kLetter; }

// ---------------------------------------------------------------------------
// Scanner: the value syntax, and the token of a text that fits it.

// A 64-bit integer holds any 19 decimal digits.
constexpr int kSignificandDigits = 19;
// Exponent digits stop counting here: far beyond any real's range, and far
// from overflowing when the mantissa's own shift is added.
constexpr std::int64_t kExponentCap = 1000000000000000;  // 10^15

// The value syntax's verdict on a text: the rule that its first offending
// character breaks (or kNone), and the character that ended the text.
struct SyntaxCheck {
  NumberRejection rejection;
  const char* end;
};

// The value syntax, tested character by character from the start of the text
// to its end.
SyntaxCheck check_value_syntax(const char* begin, const char* record_end) {
  bool sign_open = false;         // a sign with no digit after it yet
  bool digit_since_sign = false;  // a digit since the start or the last sign
  bool any_digit = false;
  bool point = false;
  bool letter = false;
  const char* p = begin;
  for (; p < record_end && class_of(*p) != kValueEnd; ++p) {
    switch (class_of(*p)) {
      case kDigit:
        sign_open = false;
        digit_since_sign = true;
        any_digit = true;
        break;
      case kSign:
        if (sign_open) return {NumberRejection::kSignAfterSign, p};
        sign_open = true;
        digit_since_sign = false;
        break;
      case kPoint:
        if (point) return {NumberRejection::kSecondPoint, p};
        point = true;
        break;
      case kLetter:
        if (letter) return {NumberRejection::kSecondLetter, p};
        if (!digit_since_sign) return {NumberRejection::kLetterWithoutDigit, p};
        letter = true;
        break;
      default:
        return {NumberRejection::kStrayCharacter, p};
    }
  }
  if (sign_open) return {NumberRejection::kSignWithoutDigit, p};
  // With a sign, the digit after the last one is already there.
  if (!any_digit) return {NumberRejection::kNoDigit, p};
  return {NumberRejection::kNone, p};
}

// A text that left the number form [sign] digits [. digits] [exponent]: the
// value syntax decides whether it is 59; if the syntax holds, the text is
// refused for the 64 rule that the number form broke.
inline NumberRejection refuse(const char* begin, const char* record_end,
                              NumberRejection if_syntax_holds, NumberToken& token) {
  const SyntaxCheck syntax = check_value_syntax(begin, record_end);
  token.end = syntax.end;
  return syntax.rejection != NumberRejection::kNone ? syntax.rejection : if_syntax_holds;
}

// The 64 rule that a character breaks where the number form has ended but the
// text goes on. A point there is a second one (59) unless an exponent came
// before it; an exponent letter follows an exponent written with a sign
// (after a letter it is a second one, 59).
NumberRejection rejection_after_number(char c) {
  switch (class_of(c)) {
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

// Eight characters as one word, the first in the lowest byte.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the word reads assume little-endian");
inline std::uint64_t load_eight(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

constexpr std::uint64_t kZeros = 0x3030303030303030u;
constexpr std::uint64_t kBlanks = 0x2020202020202020u;

// The top bit of each byte of the word that is no digit: a byte below '0'
// borrows into its top bit when '0' is taken away, a byte above '9' carries
// into it when 0x46 is added. The lowest byte that is no digit is always
// marked (no carry or borrow reaches it from the digits below).
inline std::uint64_t non_digit_bytes(std::uint64_t word) {
  return ((word + 0x4646464646464646u) | (word - kZeros)) & 0x8080808080808080u;
}

// The number that eight digit values (0 to 9, one per byte, the first in the
// lowest byte) stand for: pairs, then groups of four, then all eight.
inline std::uint64_t eight_digit_value(std::uint64_t digits) {
  constexpr std::uint64_t kMask = 0x000000FF000000FFu;
  constexpr std::uint64_t kHigh = 100 + (std::uint64_t{1000000} << 32);
  constexpr std::uint64_t kLow = 1 + (std::uint64_t{10000} << 32);
  digits = digits * 10 + (digits >> 8);
  return (((digits & kMask) * kHigh) + (((digits >> 16) & kMask) * kLow)) >> 32;
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

// Whether p is past the numeric value text: at the record end or on a value
// end character.
inline bool at_text_end(const char* p, const char* record_end) {
  return p == record_end || class_of(*p) == kValueEnd;
}

// The number form [sign] digits [. digits] [letter [sign] digits | sign
// digits], with at least one mantissa digit, read in one pass; every text in
// that form passes the value syntax. Whatever leaves the form goes to
// refuse().
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
  if (digits == 0) return refuse(begin, record_end, NumberRejection::kNoMantissaDigit, token);

  std::int64_t exponent = 0;
  if (!at_text_end(p, record_end)) {
    if (is_exponent_letter(*p) || is_sign(*p)) {
      if (!is_sign(*p)) ++p;  // the letter; 1E alone is an exponent of 0
      bool negative_exponent = false;
      if (p < record_end && is_sign(*p)) {
        negative_exponent = *p == '-';
        ++p;
        // Only a point can follow a sign and keep the syntax: 1E+.5, 1+.5.
        if (p == record_end || !is_digit(*p)) {
          return refuse(begin, record_end, NumberRejection::kPointInExponent, token);
        }
      }
      p = read_exponent_digits(p, record_end, exponent);
      if (negative_exponent) exponent = -exponent;
    }
    if (!at_text_end(p, record_end)) {
      return refuse(begin, record_end, rejection_after_number(*p), token);
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

}  // namespace

ReadStatus status_of(NumberRejection rejection) {
  if (rejection == NumberRejection::kNone) return ReadStatus::kOk;
  return rejection <= NumberRejection::kNoDigit ? ReadStatus::kSyntax : ReadStatus::kConversion;
}

NumberRejection scan_number_text(const char* begin, const char* record_end, NumberToken& token) {
  return scan_number(begin, record_end, token);
}

// ---------------------------------------------------------------------------
// Converter: one exact operation where it suffices, std::from_chars on a
// canonical text otherwise.

namespace {

// Every integer up to 2^53 is exact in a double, and so is 10^k for k <= 22:
// the one multiplication or division of two exact operands is then rounded
// once, correctly, to the nearest real.
constexpr std::uint64_t kLargestExactInteger = std::uint64_t{1} << 53;
constexpr int kLargestExactPower = 22;
constexpr double kExactPowersOfTen[kLargestExactPower + 1] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

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

// [-]digits e[-]digits through std::from_chars. Out of range are only the
// two ends, told apart by the magnitude: beyond the largest finite real (64),
// or below half the smallest subnormal (zero with the value's sign).
NumberRejection convert_canonical(NumberToken token, double& result) {
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
  return convert_canonical(token, result);
}

}  // namespace

NumberRejection convert_number(const NumberToken& token, double& result) {
  return convert(token, result);
}

// ---------------------------------------------------------------------------
// The record: separators, null values, repeat counts and the other kinds of
// value around the numeric ones.

namespace {

// A value the scan produced for the current target.
enum class ValueKind { kNull, kNumber, kSlash };
struct Value {
  ValueKind kind = ValueKind::kNull;
  double number = 0.0;
};

// The digits before an asterisk as a repeat count: plain digits only, within
// a 32-bit integer.
bool repeat_count(const char* begin, const NumberToken& token, int& count) {
  for (const char* p = begin; p < token.end; ++p) {
    if (!is_digit(*p)) return false;
  }
  if (token.more_digits || token.exponent != 0 || token.significand > INT32_MAX) return false;
  count = static_cast<int>(token.significand);
  return true;
}

// Reads the characters of the current target's items, in one pass over the
// record.
class RecordScanner {
 public:
  RecordScanner(const char* field, int length)
      : record_begin_(field), cursor_(field), record_end_(field + (length > 0 ? length : 0)) {}

  // Finds and reads the next value for a target (no repeat count running):
  // null values from commas, a slash, a repeat count with its value, or a
  // single value. repeat receives the number of further targets that take
  // the same value.
  __attribute__((always_inline)) ReadStatus next_value(bool first_target, Value& value,
                                                       int& repeat);

 private:
  __attribute__((always_inline)) ReadStatus read_number(Value& value, int* repeat);
  ReadStatus read_item(Value& value);
  ReadStatus read_repeated_item(int count, Value& value, int& repeat);
  ReadStatus read_truth_value(Value& value);
  ReadStatus read_complex_value(Value& value);
  ReadStatus read_imaginary_part();
  ReadStatus read_quoted_text();
  bool comma_gives_null(bool separator_passed) const;
  // Passes blanks eight at a time while the record holds eight more
  // characters, and a tab where one stops the run.
  void skip_blanks() {
    for (;;) {
      if (record_end_ - cursor_ < 8) {
        while (cursor_ < record_end_ && is_blank(*cursor_)) ++cursor_;
        return;
      }
      // Blanks give zero bytes; the lowest set bit is in the first other.
      const std::uint64_t others = load_eight(cursor_) ^ kBlanks;
      if (others == 0) {
        cursor_ += 8;
        continue;
      }
      cursor_ += __builtin_ctzll(others) / 8;
      if (*cursor_ != '\t') return;
      ++cursor_;
    }
  }
  bool at_end() const { return cursor_ == record_end_; }
  // T or F, or a point and one of them, starts a truth value.
  bool at_truth_value() const {
    char c = *cursor_;
    return is_truth_letter(c) ||
           (c == '.' && cursor_ + 1 < record_end_ && is_truth_letter(cursor_[1]));
  }
  // Everything that does not start another kind of value starts a numeric
  // one; a digit or a sign, the usual start, is told at once.
  bool at_numeric_value() const {
    char c = *cursor_;
    if (class_of(c) == kDigit || class_of(c) == kSign) return true;
    return !(c == '(' || c == ')' || c == '\'' || c == '"' || at_truth_value());
  }

  const char* record_begin_;
  const char* cursor_;
  const char* record_end_;
};

inline ReadStatus RecordScanner::next_value(bool first_target, Value& value, int& repeat) {
  repeat = 0;
  bool separator_passed = false;
  for (;;) {
    skip_blanks();
    if (at_end()) return ReadStatus::kEndOfRecord;
    char c = *cursor_;
    if (c == '/') {
      value.kind = ValueKind::kSlash;
      return ReadStatus::kOk;
    }
    if (c != ',') break;
    if (first_target || comma_gives_null(separator_passed)) {
      ++cursor_;
      value.kind = ValueKind::kNull;
      return ReadStatus::kOk;
    }
    // The separator after the previous value.
    ++cursor_;
    separator_passed = true;
  }
  // A numeric value, the common case; it may turn out to be a repeat count.
  if (at_numeric_value()) return read_number(value, &repeat);
  return read_item(value);
}

// A numeric value text at the cursor, converted into the value. Where repeat
// counts may stand (repeat given), a text that ends at an asterisk is one.
inline ReadStatus RecordScanner::read_number(Value& value, int* repeat) {
  const char* begin = cursor_;
  NumberToken token;
  NumberRejection rejection = scan_number(begin, record_end_, token);
  if (status_of(rejection) == ReadStatus::kSyntax) return ReadStatus::kSyntax;
  cursor_ = token.end;
  if (repeat != nullptr && !at_end() && *cursor_ == '*') {
    int count = 0;
    if (!repeat_count(begin, token, count)) return ReadStatus::kSyntax;
    return read_repeated_item(count, value, *repeat);
  }
  if (rejection == NumberRejection::kNone) rejection = convert(token, value.number);
  value.kind = ValueKind::kNumber;
  return status_of(rejection);
}

// A comma met where a value should start, after the separator of the
// previous value was looked for: it is a null value when the last character
// before it (blanks and tabs aside) is a comma, or when this target already
// passed its separator comma.
bool RecordScanner::comma_gives_null(bool separator_passed) const {
  if (separator_passed) return true;
  const char* p = cursor_;
  while (p > record_begin_ && is_blank(p[-1])) --p;
  return p == record_begin_ || p[-1] == ',';
}

// The form r* with the cursor on the asterisk: r null values when a blank, a
// tab or the record end follows, otherwise r copies of the value after it.
// A count of zero acts as one.
ReadStatus RecordScanner::read_repeated_item(int count, Value& value, int& repeat) {
  ++cursor_;
  repeat = count > 0 ? count - 1 : 0;
  if (at_end() || is_blank(*cursor_)) {
    value.kind = ValueKind::kNull;
    return ReadStatus::kOk;
  }
  char c = *cursor_;
  if (c == '/') {
    value.kind = ValueKind::kSlash;
    return ReadStatus::kOk;
  }
  if (c == ',') {
    // The comma right after the asterisk: r null values.
    ++cursor_;
    value.kind = ValueKind::kNull;
    return ReadStatus::kOk;
  }
  return read_item(value);
}

// One value that is not a null value or a slash: a truth value, a complex
// value, a quoted text or a numeric value. A numeric value here is never a
// repeat count: its text ends at an asterisk like at any other value end.
ReadStatus RecordScanner::read_item(Value& value) {
  char c = *cursor_;
  if (at_truth_value()) return read_truth_value(value);
  if (c == '(') return read_complex_value(value);
  if (c == ')') return ReadStatus::kSyntax;
  if (c == '\'' || c == '"') return read_quoted_text();
  return read_number(value, nullptr);
}

// T or F, optionally after a point: -1.0 for true, 0.0 for false. The rest of
// the word, whatever it holds, is passed over.
ReadStatus RecordScanner::read_truth_value(Value& value) {
  if (*cursor_ == '.') ++cursor_;
  char letter = *cursor_;
  value.kind = ValueKind::kNumber;
  value.number = (letter == 'T' || letter == 't') ? -1.0 : 0.0;
  while (cursor_ < record_end_) {
    char c = *cursor_;
    if (is_blank(c) || c == ',' || c == '/' || c == ')') break;
    ++cursor_;
  }
  return ReadStatus::kOk;
}

// (real,imaginary): the real part goes to the target, the imaginary part is
// only checked. The record ending after the real part is an end of record.
ReadStatus RecordScanner::read_complex_value(Value& value) {
  ++cursor_;
  skip_blanks();
  ReadStatus status = read_number(value, nullptr);
  if (status != ReadStatus::kOk) return status;
  skip_blanks();
  if (at_end()) return ReadStatus::kEndOfRecord;
  if (*cursor_ != ',') return ReadStatus::kSyntax;
  ++cursor_;
  return read_imaginary_part();
}

// [sign]digits[.digits][letter digits] and the closing parenthesis, no blank
// anywhere.
ReadStatus RecordScanner::read_imaginary_part() {
  if (!at_end() && is_sign(*cursor_)) ++cursor_;
  if (at_end()) return ReadStatus::kEndOfRecord;
  if (!is_digit(*cursor_)) return ReadStatus::kSyntax;
  while (!at_end() && is_digit(*cursor_)) ++cursor_;
  if (!at_end() && *cursor_ == '.') {
    ++cursor_;
    while (!at_end() && is_digit(*cursor_)) ++cursor_;
  }
  if (!at_end() && is_exponent_letter(*cursor_)) {
    ++cursor_;
    while (!at_end() && is_digit(*cursor_)) ++cursor_;
  }
  if (at_end()) return ReadStatus::kEndOfRecord;
  if (*cursor_ != ')') return ReadStatus::kSyntax;
  ++cursor_;
  return ReadStatus::kOk;
}

// A quoted text cannot go to a real target; an unclosed one breaks the
// syntax. A doubled quote inside stands for one.
ReadStatus RecordScanner::read_quoted_text() {
  char quote = *cursor_++;
  while (cursor_ < record_end_) {
    if (*cursor_++ != quote) continue;
    if (cursor_ < record_end_ && *cursor_ == quote) {
      ++cursor_;
      continue;
    }
    return ReadStatus::kConversion;
  }
  return ReadStatus::kSyntax;
}

// Serves the targets in order. Inlined into each caller, and the loop
// unrolled, so that the program's calls with their one or two targets run
// straight through.
__attribute__((always_inline)) inline ReadStatus scan_record(const char* field, int length,
                                                             double* const* targets, int count) {
  RecordScanner scanner(field, length);
  Value current;
  int repeat = 0;
#pragma GCC unroll 2
  for (int index = 0; index < count; ++index) {
    if (repeat > 0) {
      // A running repeat count: the same value again, or nothing.
      --repeat;
      if (current.kind == ValueKind::kNumber) *targets[index] = current.number;
      continue;
    }
    ReadStatus status = scanner.next_value(index == 0, current, repeat);
    if (status != ReadStatus::kOk) return status;
    if (current.kind == ValueKind::kSlash) return ReadStatus::kOk;
    if (current.kind == ValueKind::kNumber) *targets[index] = current.number;
  }
  return ReadStatus::kOk;
}

// The one place where a failed read ends the run.
void fail_on(ReadStatus status) {
  if (status != ReadStatus::kOk) fail_run(static_cast<int>(status), kInternalUnit);
}

}  // namespace

ReadStatus scan_numbers(const char* field, int length, double* const* targets, int count) {
  return scan_record(field, length, targets, count);
}

void read_numbers(const char* field, int length, double& first) {
  double* targets[] = {&first};
  fail_on(scan_record(field, length, targets, 1));
}

void read_numbers(const char* field, int length, double& first, double& second) {
  double* targets[] = {&first, &second};
  fail_on(scan_record(field, length, targets, 2));
}

}  // namespace vorna
