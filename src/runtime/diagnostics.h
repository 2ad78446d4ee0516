// Diagnostic lines on the standard error stream: their numbers, severities
// and condition codes, and how a line is laid out. Nothing here ends the run.
#pragma once

#include "runtime/line_text.h"

namespace vorna {

// Error numbers of the diagnostics this program can meet.
enum DiagnosticNumber : int {
  kAccessDenied = 9,
  kRecordTooLong = 22,
  kEndOfFile = 24,
  kFileNotFound = 29,
  kOpenFailure = 30,
  kWriteError = 38,
  kReadError = 39,
  kNoMemory = 41,  // the run's arrays cannot be had
  kFileNameError = 43,
  kWriteToReadOnly = 47,
  kSyntaxError = 59,
  kOutputConversion = 63,
  kInputConversion = 64,
  kRecordOverflow = 66,
  kInterrupt = 200,
};

// The top two bits of a condition code.
enum class Severity { kError = 2, kSevere = 3 };

Severity severity_of(int number);
// The 32-bit condition code: severity in the top two bits, number in the low 16.
unsigned condition_code(int number);

// Each line below ends with CR LF and goes to the system in one piece; a
// control character (below 32, DEL, U+0080 to U+009F) or a byte outside
// valid UTF-8 in a file name is shown as '?', so a line stays one line and
// the terminal shows it as text.

// "vorna: <severity> (<number>): <text>, unit <unit>, file <file_name>".
void write_diagnostic_line(int number, int unit, const char* file_name);
// "vorna: info: removed <name> and <name> of an earlier run: a failed run
// leaves no results" (count 1 to 4 names).
void write_removed_files_line(const char* const names[], int count);
// "vorna: <severity> (<number>): <text>", for a diagnostic about no unit.
void write_plain_diagnostic_line(int number);
// "vorna: error (200): program aborting due to <event> event".
void write_interrupt_line(const char* event);
// "vorna: info: <text>, unit <unit>, file <file_name>".
void write_note_line(const char* text, int unit, const char* file_name);
// Any other line, as it stands.
void write_error_line(const char* text);
void write_error_line(LineText& line);

}  // namespace vorna
