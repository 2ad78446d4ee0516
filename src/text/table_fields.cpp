#include "text/table_fields.h"

#include <cstring>

#include "text/number_reader_convert.h"
#include "text/number_reader_scan.h"

namespace vorna {
namespace {

bool is_field_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether the field's bytes are word, ignoring case.
bool equals_word(FieldSpan field, const char* word) {
  const std::size_t length = static_cast<std::size_t>(field.end - field.begin);
  if (std::strlen(word) != length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if (lower(field.begin[i]) != word[i]) return false;
  }
  return true;
}

// The field from p on up to the next delimiter (or a quoted field); leaves
// p on the delimiter or at end.
FieldSpan take_field(const char*& p, const char* end, char delimiter) {
  while (p < end && is_field_blank(*p) && *p != delimiter) ++p;
  FieldSpan field{p, p};
  if (p < end && *p == '"') {
    const char* close =
        static_cast<const char*>(std::memchr(p + 1, '"', static_cast<std::size_t>(end - p - 1)));
    if (close != nullptr) {
      field = {p + 1, close};
      p = close + 1;
      while (p < end && *p != delimiter) ++p;
      return field;
    }
  }
  if (delimiter == kBlankRuns) {
    while (p < end && !is_field_blank(*p) && *p != ',') ++p;
    field.end = p;
    return field;
  }
  const char* stop =
      static_cast<const char*>(std::memchr(p, delimiter, static_cast<std::size_t>(end - p)));
  p = stop != nullptr ? stop : end;
  field.end = p;
  while (field.end > field.begin && is_field_blank(field.end[-1])) --field.end;
  return field;
}

// A tab-separated field with blanks inside and no letter: numbers aligned
// with tabs and blanks mixed, which only blanks and tabs together separate.
bool has_blank_separated_numbers(const char* line, std::size_t length) {
  const char* p = line;
  const char* const end = line + length;
  while (p < end) {
    const FieldSpan field = take_field(p, end, '\t');
    bool inner_blank = false;
    bool letter = false;
    for (const char* c = field.begin; c < field.end; ++c) {
      inner_blank = inner_blank || *c == ' ';
      letter = letter || (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z');
    }
    if (inner_blank && !letter) return true;
    if (p < end) ++p;
  }
  return false;
}

FieldRead scan_field(const char* begin, const char* end, double& value) {
  using namespace number_reader_detail;
  NumberToken token;
  const NumberRejection rejection = scan_number(begin, end, token);
  if (rejection == NumberRejection::kNone && token.end == end) {
    if (convert(token, value) == NumberRejection::kNone) return FieldRead::kNumber;
    return FieldRead::kOutOfRange;
  }
  return FieldRead::kNotNumber;
}

// A field of decimal commas, read through a copy with points.
FieldRead scan_decimal_comma_field(FieldSpan field, double& value) {
  char copy[128];
  const std::size_t length = static_cast<std::size_t>(field.end - field.begin);
  if (length > sizeof copy) return FieldRead::kNotNumber;
  for (std::size_t i = 0; i < length; ++i) {
    const char c = field.begin[i];
    if (c == '.') return FieldRead::kPointInDecimalCommaNumber;
    copy[i] = c == ',' ? '.' : c;
  }
  return scan_field(copy, copy + length, value);
}

// Blanks (and tabs, unless they delimit) before or after a field.
const char* skip_field_blanks(const char* p, const char* end, char delimiter) {
  while (p < end && (*p == ' ' || (*p == '\t' && delimiter != '\t'))) ++p;
  return p;
}

// One plain number from p, the whole field; returns the field's end (the
// delimiter, a blank run or the line end), or null.
const char* read_plain_field(const char* p, const char* end, char delimiter, double& value) {
  using namespace number_reader_detail;
  const char* field_end = end;
  if (delimiter != kBlankRuns) {
    const void* stop = std::memchr(p, delimiter, static_cast<std::size_t>(end - p));
    if (stop != nullptr) field_end = static_cast<const char*>(stop);
  }
  NumberToken token;
  if (scan_number(p, field_end, token) != NumberRejection::kNone) return nullptr;
  const char* after = token.end;
  if (delimiter == kBlankRuns) {
    if (after != end && !is_field_blank(*after) && *after != ',') return nullptr;
  } else if (skip_field_blanks(after, field_end, delimiter) != field_end) {
    return nullptr;
  }
  // 2024-03 is a year and a month, which the general reading refuses.
  const auto length = after - p;
  if ((length == 6 || length == 7) && p[4] == '-') return nullptr;
  if (convert(token, value) != NumberRejection::kNone) return nullptr;
  return delimiter == kBlankRuns ? after : field_end;
}

}  // namespace

bool read_plain_numbers(const char* line, std::size_t length, char delimiter, int needed, int first,
                        int second, double& first_value, double& second_value) {
  const char* p = line;
  const char* const end = line + length;
  for (int column = 0; column < needed; ++column) {
    p = skip_field_blanks(p, end, delimiter);
    if (column == first || column == second) {
      double value;
      p = read_plain_field(p, end, delimiter, value);
      if (p == nullptr) return false;
      if (column == first) first_value = value;
      if (column == second) second_value = value;
    } else if (delimiter == kBlankRuns) {
      if (p < end && *p == '"') return false;
      while (p < end && !is_field_blank(*p) && *p != ',') ++p;
    } else {
      if (p < end && *p == '"') return false;
      const void* stop = std::memchr(p, delimiter, static_cast<std::size_t>(end - p));
      p = stop != nullptr ? static_cast<const char*>(stop) : end;
    }
    if (column + 1 == needed) break;
    // The separator to the next field.
    if (delimiter == kBlankRuns) {
      p = skip_field_blanks(p, end, delimiter);
      if (p < end && *p == ',') p = skip_field_blanks(p + 1, end, delimiter);
    } else if (p < end) {
      ++p;
    }
    if (p == end) return false;
  }
  return true;
}

char detect_delimiter(const char* line, std::size_t length, bool decimal_comma) {
  if (std::memchr(line, '\t', length) != nullptr) {
    return has_blank_separated_numbers(line, length) ? kBlankRuns : '\t';
  }
  if (std::memchr(line, ';', length) != nullptr) return ';';
  if (!decimal_comma && std::memchr(line, ',', length) != nullptr) return ',';
  return kBlankRuns;
}

int split_fields(const char* line, std::size_t length, char delimiter, FieldSpan* fields,
                 int capacity) {
  const char* p = line;
  const char* const end = line + length;
  int count = 0;
  if (delimiter == kBlankRuns) {
    // The free-form separators: a run of blanks and tabs with at most one
    // comma in it; two commas have an empty field between them.
    while (p < end && is_field_blank(*p)) ++p;
    if (p == end) return 0;
    while (count < capacity) {
      fields[count++] = take_field(p, end, delimiter);
      while (p < end && is_field_blank(*p)) ++p;
      if (p == end) break;
      if (*p == ',') {
        ++p;
        while (p < end && is_field_blank(*p)) ++p;
        if (p == end && count < capacity) fields[count++] = FieldSpan{p, p};
      }
      if (p == end) break;
    }
    return count;
  }
  while (count < capacity) {
    fields[count++] = take_field(p, end, delimiter);
    if (p == end) break;
    ++p;  // the delimiter
  }
  return count;
}

bool has_comma_between_digits(FieldSpan field) {
  for (const char* p = field.begin + 1; p + 1 < field.end; ++p) {
    if (*p == ',' && is_digit(p[-1]) && is_digit(p[1])) return true;
  }
  return false;
}

bool is_missing_field(FieldSpan field) {
  if (field.begin == field.end) return true;
  static const char* const kMissingWords[] = {"nan", "na", "n/a", "null", "-"};
  for (const char* word : kMissingWords) {
    if (equals_word(field, word)) return true;
  }
  return false;
}

FieldRead read_number_field(FieldSpan field, bool decimal_comma, double& value) {
  if (field.begin != field.end) {
    const FieldRead read = decimal_comma ? scan_decimal_comma_field(field, value)
                                         : scan_field(field.begin, field.end, value);
    if (read != FieldRead::kNotNumber) return read;
  }
  if (is_missing_field(field)) return FieldRead::kMissing;
  if (!decimal_comma && has_comma_between_digits(field)) return FieldRead::kDecimalComma;
  return FieldRead::kNotNumber;
}

}  // namespace vorna
