// The free-form number reader: 8-byte reals out of a blank-padded text field.
// Built on its stages, read in this order: the scan of one value text
// (number_reader_scan.h) and its conversion (number_reader_convert.h).
#pragma once

#include "text/number_token.h"

namespace vorna {

// Reads one value for each of the count targets, in order, from
// field[0..length) taken as one input record. A target that receives nothing
// (a null value, or after a slash) keeps its value. Stops as soon as every
// target is served: the rest of the field is not looked at.
ReadStatus scan_numbers(const char* field, int length, double* const* targets, int count);

// The letters a truth value begins with (T or F in either case, maybe after
// a point); the reader gives it -1 for true, 0 for false.
inline bool is_truth_letter(char c) { return c == 'T' || c == 't' || c == 'F' || c == 'f'; }

}  // namespace vorna
