// The free-form number reader, in three stages read in this order:
//   number_reader.cpp          the record: separators, null values, repeat
//                              counts and the kinds of value around numbers
//   number_reader_scan.*       one numeric value text into a token, or the
//                              named reason it is refused (59 or 64)
//   number_reader_convert.*    the token into the nearest 8-byte real
// with number_reader_digits.h, the eight-characters-at-once steps.
//
// Worked example, the record "1.5E2 , ,-0.25" read into two targets: blanks
// are passed, "1.5E2" is scanned and converted, 150 goes to the first
// target; the comma after it is that value's separator, the second comma a
// null value, so the second target keeps what it held. Every target being
// served, "-0.25" is never looked at. The record "2*7" gives 7 to both.
#include "text/number_reader.h"

#include <cstdint>

#include "text/number_reader_convert.h"
#include "text/number_reader_digits.h"
#include "text/number_reader_scan.h"

namespace vorna {
namespace {

using number_reader_detail::class_of;
using number_reader_detail::convert;
using number_reader_detail::is_blank;
using number_reader_detail::is_digit;
using number_reader_detail::is_exponent_letter;
using number_reader_detail::is_sign;
using number_reader_detail::kBlanks;
using number_reader_detail::kDigit;
using number_reader_detail::kSign;
using number_reader_detail::load_eight;
using number_reader_detail::scan_number;

// The status of a scanned or converted value; a rejection is rare.
inline ReadStatus status_after(NumberRejection rejection) {
  return rejection == NumberRejection::kNone ? ReadStatus::kOk : status_of(rejection);
}

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
  if (status_after(rejection) == ReadStatus::kSyntax) return ReadStatus::kSyntax;
  cursor_ = token.end;
  if (repeat != nullptr && !at_end() && *cursor_ == '*') {
    int count = 0;
    if (!repeat_count(begin, token, count)) return ReadStatus::kSyntax;
    return read_repeated_item(count, value, *repeat);
  }
  if (rejection == NumberRejection::kNone) rejection = convert(token, value.number);
  value.kind = ValueKind::kNumber;
  return status_after(rejection);
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

}  // namespace

ReadStatus scan_numbers(const char* field, int length, double* const* targets, int count) {
  return scan_record(field, length, targets, count);
}

}  // namespace vorna
