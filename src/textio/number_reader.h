// The free-form number reader: 8-byte reals out of a blank-padded text field.
#pragma once

namespace vorna {

// Outcome of a scan; the failures carry their diagnostic numbers.
enum class ReadStatus : int {
  kOk = 0,
  kEndOfRecord = 24,  // the field ended before every target had its value
  kSyntax = 59,       // a value whose characters break the value syntax
  kConversion = 64,   // a value that passes the syntax but cannot be converted
};

// Reads one value for each of the count targets, in order, from
// field[0..length) taken as one input record. A target that receives nothing
// (a null value, or after a slash) keeps its value. Stops as soon as every
// target is served: the rest of the field is not looked at.
ReadStatus scan_numbers(const char* field, int length, double* const* targets, int count);

// The program's calls: a failure is a severe diagnostic for the pseudo unit
// -5, file "Internal List-Directed Read", and ends the run.
void read_numbers(const char* field, int length, double& first);
void read_numbers(const char* field, int length, double& first, double& second);

}  // namespace vorna
