#include "textio/number_reader.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <system_error>

#include "textio/diagnostics.h"
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
inline bool is_digit(char c) { return c >= '0' && c <= '9'; }
inline bool is_truth_letter(char c) { return c == 'T' || c == 't' || c == 'F' || c == 'f'; }
inline bool is_exponent_letter(char c) { return class_of(c) == kLetter; }

// Where the exponent of a numeric value text begins, if it has one.
enum class ExponentForm { kNone, kLetter, kSign };

// A numeric value text that has passed the character-by-character syntax
// check, with what the conversion needs to know about its layout.
struct NumberText {
  const char* begin;
  const char* end;
  const char* mantissa_begin;   // after a leading sign
  const char* mantissa_end;     // the exponent letter or sign, or end
  const char* exponent_digits;  // first exponent digit (after letter and sign)
  ExponentForm exponent_form;
  bool negative;
  bool exponent_negative;
  bool only_digits;       // no sign, point or letter: may be a repeat count
  bool malformed;         // passes the syntax but the conversion refuses it (64)
  bool from_chars_ready;  // std::from_chars accepts the text as it stands
};

// A value the scan produced for the current target.
enum class ValueKind { kNull, kNumber, kSlash };
struct Value {
  ValueKind kind = ValueKind::kNull;
  double number = 0.0;
};

// Most significant digits kept for the conversion: enough for every decimal
// text to round as its exact value would (no double needs more than 768),
// the digits after them only count as "something nonzero follows".
constexpr int kKeptDigits = 800;
// Sign, kept digits, the nonzero-rest digit, 'e', exponent sign and digits,
// the terminating NUL.
constexpr int kCanonicalSize = 1 + kKeptDigits + 1 + 1 + 1 + 12 + 1;
// Exponent digits beyond this magnitude cannot change the outcome.
constexpr long long kExponentCap = 100000000;

// Writes a decimal exponent after the 'e' of the canonical text.
char* write_exponent(char* out, long long exponent) {
  *out++ = 'e';
  if (exponent < 0) {
    *out++ = '-';
    exponent = -exponent;
  }
  char digits[24];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + exponent % 10);
    exponent /= 10;
  } while (exponent != 0);
  while (count > 0) *out++ = digits[--count];
  return out;
}

// Reads the exponent digits of the text, capped so that absurdly long
// exponents stay within range.
long long exponent_value(const NumberText& text) {
  long long exponent = 0;
  if (text.exponent_form == ExponentForm::kNone) return 0;
  for (const char* p = text.exponent_digits; p < text.end; ++p) {
    exponent = exponent * 10 + (*p - '0');
    if (exponent > kExponentCap) exponent = kExponentCap;
  }
  return text.exponent_negative ? -exponent : exponent;
}

// Converts a text in the canonical form written by canonical_value. The
// conversion reports underflow to zero like overflow; the C library tells
// them apart and rounds either correctly.
bool convert_canonical(char* canonical, char* end, double& result) {
  std::from_chars_result converted = std::from_chars(canonical, end, result);
  if (converted.ec == std::errc() && converted.ptr == end) return true;
  if (converted.ec != std::errc::result_out_of_range) return false;
  *end = '\0';
  char* used = nullptr;
  double value = std::strtod(canonical, &used);
  if (used != end || std::isinf(value)) return false;
  result = value;
  return true;
}

// Converts any accepted numeric value text: its significant digits and
// decimal exponent are written as [-]digits e[-]digits and converted. A
// magnitude too large fails; one too small gives zero with the value's sign.
bool canonical_value(const NumberText& text, double& result) {
  char canonical[kCanonicalSize];
  char* out = canonical;
  if (text.negative) *out++ = '-';
  long long exponent = 0;
  int kept = 0;
  bool nonzero_rest = false;
  bool after_point = false;
  for (const char* p = text.mantissa_begin; p < text.mantissa_end; ++p) {
    char c = *p;
    if (c == '.') {
      after_point = true;
    } else if (kept == 0 && c == '0') {
      if (after_point) --exponent;
    } else if (kept < kKeptDigits) {
      *out++ = c;
      ++kept;
      if (after_point) --exponent;
    } else {
      if (!after_point) ++exponent;
      if (c != '0') nonzero_rest = true;
    }
  }
  if (kept == 0) {
    result = text.negative ? -0.0 : 0.0;
    return true;
  }
  if (nonzero_rest) {
    *out++ = '1';
    ++kept;
    --exponent;
  }
  exponent += exponent_value(text);
  // The value lies in [10^(magnitude-1), 10^magnitude).
  long long magnitude = exponent + kept;
  if (magnitude - 1 > 309) return false;
  if (magnitude < -324) {
    result = text.negative ? -0.0 : 0.0;
    return true;
  }
  out = write_exponent(out, exponent);
  return convert_canonical(canonical, out, result);
}

// Converts a numeric value text to the nearest 8-byte real.
bool convert_number(const NumberText& text, double& result) {
  if (text.malformed) return false;
  if (text.from_chars_ready) {
    double value = 0.0;
    std::from_chars_result converted = std::from_chars(text.begin, text.end, value);
    if (converted.ec == std::errc() && converted.ptr == text.end) {
      result = value;
      return true;
    }
  }
  return canonical_value(text, result);
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
  ReadStatus next_value(bool first_target, Value& value, int& repeat);

 private:
  ReadStatus read_item(Value& value);
  ReadStatus read_repeated_item(int count, Value& value, int& repeat);
  ReadStatus read_truth_value(Value& value);
  ReadStatus read_complex_value(Value& value);
  ReadStatus read_imaginary_part();
  ReadStatus read_quoted_text();
  ReadStatus scan_number_text(NumberText& text);
  bool comma_gives_null(bool separator_passed) const;
  void skip_blanks() {
    while (cursor_ < record_end_ && is_blank(*cursor_)) ++cursor_;
  }
  bool at_end() const { return cursor_ == record_end_; }
  // T or F, or a point and one of them, starts a truth value.
  bool at_truth_value() const {
    char c = *cursor_;
    return is_truth_letter(c) ||
           (c == '.' && cursor_ + 1 < record_end_ && is_truth_letter(cursor_[1]));
  }
  // Everything that does not start another kind of value starts a numeric one.
  bool at_numeric_value() const {
    char c = *cursor_;
    return !(c == '(' || c == ')' || c == '\'' || c == '"' || at_truth_value());
  }

  const char* record_begin_;
  const char* cursor_;
  const char* record_end_;
};

ReadStatus RecordScanner::next_value(bool first_target, Value& value, int& repeat) {
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
  if (!at_numeric_value()) return read_item(value);
  NumberText text;
  ReadStatus status = scan_number_text(text);
  if (status != ReadStatus::kOk) return status;
  if (!at_end() && *cursor_ == '*') {
    if (!text.only_digits || text.begin == text.end) return ReadStatus::kSyntax;
    long long count = 0;
    for (const char* p = text.begin; p < text.end; ++p) {
      count = count * 10 + (*p - '0');
      if (count > INT32_MAX) return ReadStatus::kSyntax;
    }
    return read_repeated_item(static_cast<int>(count), value, repeat);
  }
  value.kind = ValueKind::kNumber;
  return convert_number(text, value.number) ? ReadStatus::kOk : ReadStatus::kConversion;
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
  NumberText text;
  ReadStatus status = scan_number_text(text);
  if (status != ReadStatus::kOk) return status;
  value.kind = ValueKind::kNumber;
  return convert_number(text, value.number) ? ReadStatus::kOk : ReadStatus::kConversion;
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
  NumberText text;
  ReadStatus status = scan_number_text(text);
  if (status != ReadStatus::kOk) return status;
  value.kind = ValueKind::kNumber;
  if (!convert_number(text, value.number)) return ReadStatus::kConversion;
  skip_blanks();
  if (at_end()) return ReadStatus::kEndOfRecord;
  if (*cursor_ != ',') return ReadStatus::kSyntax;
  ++cursor_;
  return read_imaginary_part();
}

// [sign]digits[.digits][letter digits] and the closing parenthesis, no blank
// anywhere.
ReadStatus RecordScanner::read_imaginary_part() {
  if (!at_end() && (*cursor_ == '+' || *cursor_ == '-')) ++cursor_;
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

// Reads a numeric value text up to its end character, checking each
// character against the value syntax (59 on the first that breaks it), and
// notes the layout the conversion needs. The cursor is left on the end
// character.
ReadStatus RecordScanner::scan_number_text(NumberText& text) {
  const char* begin = cursor_;
  const char* p = begin;
  const char* end = record_end_;
  bool sign_open = false;         // a sign with no digit after it yet
  bool digit_since_sign = false;  // a digit since the start or the last sign
  bool any_digit = false;
  bool any_sign = false;
  bool point = false;
  bool letter = false;
  bool malformed = false;
  int mantissa_digits = 0;
  int exponent_digit_count = 0;
  bool exponent_sign = false;
  ExponentForm form = ExponentForm::kNone;
  const char* mantissa_begin = begin;
  const char* mantissa_end = nullptr;
  const char* exponent_digits = nullptr;
  bool negative = false;
  bool exponent_negative = false;

  for (;;) {
    // A run of digits, the bulk of most texts, in a tight loop.
    const char* run = p;
    while (p < end && is_digit(*p)) ++p;
    if (p != run) {
      int digits = static_cast<int>(p - run);
      sign_open = false;
      digit_since_sign = true;
      any_digit = true;
      if (form == ExponentForm::kNone) {
        mantissa_digits += digits;
      } else {
        if (exponent_digit_count == 0) exponent_digits = run;
        exponent_digit_count += digits;
      }
    }
    if (p == end) break;
    char c = *p;
    CharClass kind = class_of(c);
    if (kind == kValueEnd) break;
    switch (kind) {
      case kSign:
        if (sign_open) return ReadStatus::kSyntax;
        sign_open = true;
        digit_since_sign = false;
        any_sign = true;
        if (p == begin) {
          negative = c == '-';
          mantissa_begin = p + 1;
        } else if (form == ExponentForm::kNone) {
          // A sign after the mantissa starts an exponent without a letter.
          if (mantissa_digits == 0) malformed = true;
          form = ExponentForm::kSign;
          mantissa_end = p;
          exponent_negative = c == '-';
        } else if (form == ExponentForm::kLetter && !exponent_sign && exponent_digit_count == 0) {
          exponent_sign = true;
          exponent_negative = c == '-';
        } else {
          malformed = true;  // a second sign after the exponent's digits
        }
        break;
      case kPoint:
        if (point) return ReadStatus::kSyntax;
        point = true;
        if (form != ExponentForm::kNone) malformed = true;  // a point in the exponent
        break;
      case kLetter:
        if (letter || !digit_since_sign) return ReadStatus::kSyntax;
        letter = true;
        if (form == ExponentForm::kNone) {
          form = ExponentForm::kLetter;
          mantissa_end = p;
        } else {
          malformed = true;  // a letter after an exponent written with a sign
        }
        break;
      default:
        return ReadStatus::kSyntax;
    }
    ++p;
  }
  cursor_ = p;
  if (sign_open || !any_digit) return ReadStatus::kSyntax;
  if (mantissa_end == nullptr) mantissa_end = p;
  if (exponent_digits == nullptr) exponent_digits = p;
  text.begin = begin;
  text.end = p;
  text.mantissa_begin = mantissa_begin;
  text.mantissa_end = mantissa_end;
  text.exponent_digits = exponent_digits;
  text.exponent_form = form;
  text.negative = negative;
  text.exponent_negative = exponent_negative;
  text.only_digits = !any_sign && !point && !letter;
  text.malformed = malformed;
  char exponent_letter = form == ExponentForm::kLetter ? *mantissa_end : 'e';
  text.from_chars_ready =
      !malformed && *begin != '+' && form != ExponentForm::kSign &&
      (form == ExponentForm::kNone ||
       ((exponent_letter == 'e' || exponent_letter == 'E') && exponent_digit_count > 0));
  return ReadStatus::kOk;
}

}  // namespace

ReadStatus scan_numbers(const char* field, int length, double* const* targets, int count) {
  RecordScanner scanner(field, length);
  Value current;
  int repeat = 0;
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

void read_numbers(const char* field, int length, double& first) {
  double* targets[] = {&first};
  ReadStatus status = scan_numbers(field, length, targets, 1);
  if (status != ReadStatus::kOk) fail_run(static_cast<int>(status), kInternalUnit);
}

void read_numbers(const char* field, int length, double& first, double& second) {
  double* targets[] = {&first, &second};
  ReadStatus status = scan_numbers(field, length, targets, 2);
  if (status != ReadStatus::kOk) fail_run(static_cast<int>(status), kInternalUnit);
}

}  // namespace vorna
