// The fields of a table's line: split by one delimiter, each read as a
// whole as a number, a missing value or neither. Nothing here allocates:
// a field is a span of the line.
#pragma once

#include <cstddef>

namespace vorna {

// Runs of blanks and tabs between fields, with at most one comma in a run,
// as the free-form reader separates numbers (the delimiter's stand-in).
constexpr char kBlankRuns = ' ';

struct FieldSpan {
  const char* begin;
  const char* end;
};

// The delimiter a line shows: a tab, else a semicolon, else a comma (never
// with decimal commas), else runs of blanks. Tabs between fields that hold
// numbers separated by blanks are runs of blanks too.
char detect_delimiter(const char* line, std::size_t length, bool decimal_comma);

// Splits the line into its first fields (at most capacity), blanks and tabs
// around each dropped, and one pair of double quotes around a field taken
// off (a delimiter between them is part of the field). Returns how many
// fields there are, counting no further than capacity.
int split_fields(const char* line, std::size_t length, char delimiter, FieldSpan* fields,
                 int capacity);

// What a field holds.
enum class FieldRead : unsigned char {
  kNumber,                     // read, the same real that the free-form reader gives
  kMissing,                    // empty, NaN, NA, N/A, null or - in any case
  kNotNumber,                  // anything else
  kDecimalComma,               // a comma between digits, read without decimal commas
  kPointInDecimalCommaNumber,  // a point in a number read with decimal commas
  kOutOfRange,                 // a number beyond the range of 8-byte reals
};

// Reads a whole field as one number: the number reader's forms (1.5, -2,
// 1E3, 1.0D3, 2.5-3), with a decimal comma in place of the point when
// decimal_comma is set. No truth values, repeat counts, slashes or quotes.
FieldRead read_number_field(FieldSpan field, bool decimal_comma, double& value);

bool is_missing_field(FieldSpan field);

// The common line at speed: fields 0 to needed - 1 split by the delimiter,
// of which the two columns first and second (0-based, below needed, maybe
// the same) are plain numbers, read to the values read_number_field gives.
// Returns false, with nothing promised of the values, for any line that
// needs the general reading: a field that is missing, quoted, a word, a
// time or broken, a short line, decimal commas.
bool read_plain_numbers(const char* line, std::size_t length, char delimiter, int needed, int first,
                        int second, double& first_value, double& second_value);

// A comma with a digit on each side: a decimal comma, or a field's end.
bool has_comma_between_digits(FieldSpan field);

}  // namespace vorna
