// Connecting a named file to a unit, in the status-returning form: neither
// routine writes anything or ends the run.
#pragma once

namespace vorna {

// Status codes of open_unit_file.
constexpr int kStatusOld = 2;
constexpr int kStatusUnknown = 1;
// Error code of a unit outside 1 to 99.
constexpr int kUnitOutOfRange = -901;

// Connects the first name_length characters of name to the unit: 0 on
// success, -901 for a unit outside 1..99, -s for a failure with error number
// s (29 not found, 9 access denied, 30 other, 43 malformed name).
void open_unit_file(const char* name, int name_length, int unit, int status_code, int& error_code);

// The dialogue's wrapper: mode 1 needs an existing file, mode 0 creates a
// missing one. The name is passed with its trimmed length. failure_flag is
// -1 when this attempt failed, 0 when it succeeded; error_number, when
// given, receives the failure's error number (0 on success).
void open_text_file(const char* name, int name_length, int unit, int mode, int& failure_flag,
                    int* error_number = nullptr);

}  // namespace vorna
