// Feeds arbitrary text to the free-form number reader and to a slow, obvious
// reference reader written here straight from the rules of the value syntax
// (the conversion ends in strtod; no code is shared with the reader). Each
// text is read once in a blank-padded field of the program's length and once
// in a buffer of exactly the text's length (so that any read past the record
// end is caught), with one and with two targets. The two readers must agree
// on the status and on the bits of every target.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "text/number_reader.h"

namespace {

constexpr std::size_t kFieldLength = 256;
// A pattern no value text gives: a target still holding it received nothing.
constexpr std::uint64_t kUntouched = 0x7FF4DEADBEEF0001ull;

void require(bool condition) {
  if (!condition) std::abort();
}

std::uint64_t bits_of(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

double untouched() {
  double value;
  std::memcpy(&value, &kUntouched, sizeof value);
  return value;
}

// ---------------------------------------------------------------------------
// The reference reader.

namespace reference {

constexpr int kOk = 0;
constexpr int kEndOfRecord = 24;
constexpr int kSyntax = 59;
constexpr int kConversion = 64;

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_sign(char c) { return c == '+' || c == '-'; }
bool is_exponent_letter(char c) {
  return c == 'D' || c == 'E' || c == 'Q' || c == 'd' || c == 'e' || c == 'q';
}
bool is_truth_letter(char c) { return c == 'T' || c == 't' || c == 'F' || c == 'f'; }
bool ends_value(char c) { return is_blank(c) || c == ',' || c == '/' || c == ')' || c == '*'; }

enum class Kind { kNull, kNumber, kSlash };

struct Item {
  int status = kOk;
  Kind kind = Kind::kNull;
  double number = 0.0;
};

struct Record {
  const char* text;
  int length;
  int pos = 0;
  bool at_end() const { return pos >= length; }
  char here() const { return text[pos]; }
  void skip_blanks() {
    while (!at_end() && is_blank(here())) ++pos;
  }
};

// The characters of a numeric value: up to a value end character or the
// record end.
std::string value_text(Record& record) {
  const int start = record.pos;
  while (!record.at_end() && !ends_value(record.here())) ++record.pos;
  return std::string(record.text + start, static_cast<std::size_t>(record.pos - start));
}

// Digits, signs (not two with no digit between), one point, one exponent
// letter after a digit (counted from the start or the last sign), nothing
// else; at the end a digit after the last sign, and at least one digit.
bool breaks_syntax(const std::string& text) {
  bool sign_open = false;
  bool digit_since_sign = false;
  bool any_digit = false;
  bool point = false;
  bool letter = false;
  for (char c : text) {
    if (is_digit(c)) {
      sign_open = false;
      digit_since_sign = true;
      any_digit = true;
    } else if (is_sign(c)) {
      if (sign_open) return true;
      sign_open = true;
      digit_since_sign = false;
    } else if (c == '.') {
      if (point) return true;
      point = true;
    } else if (is_exponent_letter(c)) {
      if (letter || !digit_since_sign) return true;
      letter = true;
    } else {
      return true;
    }
  }
  return sign_open || !any_digit;
}

// [sign] digits with at most one point, then a letter with an optional sign
// and digits (none: exponent 0), or a sign and digits; all of the text. The
// value is strtod's on the same number written with an 'e'; beyond the
// largest finite real it is a conversion error.
int convert(const std::string& text, double& value) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  std::string written;
  if (i < n && is_sign(text[i])) written += text[i++];
  bool point = false;
  int digits = 0;
  for (; i < n; ++i) {
    if (is_digit(text[i])) {
      ++digits;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
    written += text[i];
  }
  if (digits == 0) return kConversion;
  std::string exponent;
  if (i < n && (is_exponent_letter(text[i]) || is_sign(text[i]))) {
    const bool letter = is_exponent_letter(text[i]);
    if (letter) ++i;
    if (i < n && is_sign(text[i])) exponent += text[i++];
    const std::size_t first_digit = i;
    while (i < n && is_digit(text[i])) exponent += text[i++];
    const bool has_digits = i > first_digit;
    if (!has_digits && (!letter || !exponent.empty())) return kConversion;
  }
  if (i != n) return kConversion;
  written += 'e';
  written += exponent.empty() ? "0" : exponent;
  char* end = nullptr;
  const double converted = std::strtod(written.c_str(), &end);
  require(end == written.c_str() + written.size());
  if (std::isinf(converted)) return kConversion;
  value = converted;
  return kOk;
}

Item numeric_value(Record& record) {
  const std::string text = value_text(record);
  Item item;
  if (breaks_syntax(text)) {
    item.status = kSyntax;
    return item;
  }
  item.status = convert(text, item.number);
  item.kind = Kind::kNumber;
  return item;
}

Item truth_value(Record& record) {
  if (record.here() == '.') ++record.pos;
  Item item;
  item.kind = Kind::kNumber;
  item.number = (record.here() == 'T' || record.here() == 't') ? -1.0 : 0.0;
  while (!record.at_end()) {
    const char c = record.here();
    if (is_blank(c) || c == ',' || c == '/' || c == ')') break;
    ++record.pos;
  }
  return item;
}

// (real,imaginary): the imaginary part is [sign]digit digits[.digits]
// [letter digits] right after the comma, then the closing parenthesis. The
// record ending inside the value is an end of record.
Item complex_value(Record& record) {
  ++record.pos;
  record.skip_blanks();
  Item item = numeric_value(record);
  if (item.status != kOk) return item;
  record.skip_blanks();
  if (record.at_end()) return Item{kEndOfRecord};
  if (record.here() != ',') return Item{kSyntax};
  ++record.pos;
  if (!record.at_end() && is_sign(record.here())) ++record.pos;
  if (record.at_end()) return Item{kEndOfRecord};
  if (!is_digit(record.here())) return Item{kSyntax};
  while (!record.at_end() && is_digit(record.here())) ++record.pos;
  if (!record.at_end() && record.here() == '.') {
    ++record.pos;
    while (!record.at_end() && is_digit(record.here())) ++record.pos;
  }
  if (!record.at_end() && is_exponent_letter(record.here())) {
    ++record.pos;
    while (!record.at_end() && is_digit(record.here())) ++record.pos;
  }
  if (record.at_end()) return Item{kEndOfRecord};
  if (record.here() != ')') return Item{kSyntax};
  ++record.pos;
  return item;
}

// A quoted text cannot go to a real; unclosed, it breaks the syntax.
Item quoted_text(Record& record) {
  const char quote = record.here();
  ++record.pos;
  while (!record.at_end()) {
    if (record.here() != quote) {
      ++record.pos;
      continue;
    }
    ++record.pos;
    if (!record.at_end() && record.here() == quote) {
      ++record.pos;
      continue;
    }
    return Item{kConversion};
  }
  return Item{kSyntax};
}

// The value starting at the cursor. Where a repeat count may stand (repeat
// given), a numeric text that ends at an asterisk is one: plain digits of a
// 32-bit integer, a count of zero acting as one.
Item item_at(Record& record, int* repeat) {
  const char c = record.here();
  const bool truth = is_truth_letter(c) || (c == '.' && record.pos + 1 < record.length &&
                                            is_truth_letter(record.text[record.pos + 1]));
  if (truth) return truth_value(record);
  if (c == '(') return complex_value(record);
  if (c == ')') return Item{kSyntax};
  if (c == '\'' || c == '"') return quoted_text(record);
  if (repeat == nullptr) return numeric_value(record);
  const int start = record.pos;
  const std::string text = value_text(record);
  if (breaks_syntax(text)) return Item{kSyntax};
  if (record.at_end() || record.here() != '*') {
    record.pos = start;
    return numeric_value(record);
  }
  long long count = 0;
  for (char digit : text) {
    if (!is_digit(digit)) return Item{kSyntax};
    count = count * 10 + (digit - '0');
    if (count > 2147483647) return Item{kSyntax};
  }
  ++record.pos;
  *repeat = count > 0 ? static_cast<int>(count) - 1 : 0;
  if (record.at_end() || is_blank(record.here())) return Item{};
  if (record.here() == '/') return Item{kOk, Kind::kSlash};
  if (record.here() == ',') {
    ++record.pos;
    return Item{};
  }
  return item_at(record, nullptr);
}

// The next value for a target: blanks and tabs skipped, a slash, a comma that
// gives a null value (first target; a comma or the record start before it,
// blanks aside; or a separator comma already passed), or a value.
Item next_item(Record& record, bool first_target, int& repeat) {
  bool separator_passed = false;
  for (;;) {
    record.skip_blanks();
    if (record.at_end()) return Item{kEndOfRecord};
    const char c = record.here();
    if (c == '/') return Item{kOk, Kind::kSlash};
    if (c != ',') break;
    int before = record.pos - 1;
    while (before >= 0 && is_blank(record.text[before])) --before;
    const bool null_value =
        first_target || separator_passed || before < 0 || record.text[before] == ',';
    ++record.pos;
    if (null_value) return Item{};
    separator_passed = true;
  }
  return item_at(record, &repeat);
}

int read(const char* field, int length, double* targets, int count) {
  Record record{field, length};
  Item current;
  int repeat = 0;
  for (int target = 0; target < count; ++target) {
    if (repeat > 0) {
      --repeat;
      if (current.kind == Kind::kNumber) targets[target] = current.number;
      continue;
    }
    current = next_item(record, target == 0, repeat);
    if (current.status != kOk) return current.status;
    if (current.kind == Kind::kSlash) return kOk;
    if (current.kind == Kind::kNumber) targets[target] = current.number;
  }
  return kOk;
}

}  // namespace reference

// ---------------------------------------------------------------------------

void compare_with_reference(const char* field, int length, int count) {
  double values[2] = {untouched(), untouched()};
  double* targets[] = {&values[0], &values[1]};
  const vorna::ReadStatus status = vorna::scan_numbers(field, length, targets, count);
  double expected[2] = {untouched(), untouched()};
  const int expected_status = reference::read(field, length, expected, count);
  require(static_cast<int>(status) == expected_status);
  for (int i = 0; i < 2; ++i) require(bits_of(values[i]) == bits_of(expected[i]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t used = size < kFieldLength ? size : kFieldLength;
  // The program's case: a full blank-padded field.
  std::unique_ptr<char[]> field(new char[kFieldLength]);
  std::memset(field.get(), ' ', kFieldLength);
  std::memcpy(field.get(), data, used);
  // The record cut at the text's end, in a buffer of exactly that size.
  std::unique_ptr<char[]> exact(new char[used > 0 ? used : 1]);
  std::memcpy(exact.get(), data, used);
  for (int count = 1; count <= 2; ++count) {
    compare_with_reference(field.get(), static_cast<int>(kFieldLength), count);
    compare_with_reference(exact.get(), static_cast<int>(used), count);
  }
  return 0;
}
